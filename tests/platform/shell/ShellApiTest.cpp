#include "platform/shell/ShellApi.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/kernel/Unicode.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace {

std::string AppDataFolder(HRESULT& result)
{
    char16_t path[MAX_PATH] = {u'x'};
    result = SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return platform::Utf16ToUtf8(path);
}

} // namespace

TEST(ShellApi, AppDataIsTheXdgDataHomeAndIsCreatedWithItsParents)
{
    TempDir dir;
    const std::string data_home = dir.PathOf("a/b/share");
    ScopedEnv env("XDG_DATA_HOME", (data_home + "/").c_str());
    HRESULT result = E_FAIL;
    EXPECT_EQ(AppDataFolder(result), data_home); // no trailing separator
    EXPECT_EQ(result, S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(data_home));
}

TEST(ShellApi, WithoutXdgDataHomeTheFolderIsBelowHome)
{
    TempDir dir;
    ScopedEnv home("HOME", dir.Path().c_str());
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/share"}) {
        ScopedEnv env("XDG_DATA_HOME", unusable);
        HRESULT result = E_FAIL;
        EXPECT_EQ(AppDataFolder(result), dir.PathOf(".local/share"));
        EXPECT_EQ(result, S_OK);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.PathOf(".local/share")));
}

TEST(ShellApi, FailsWhenTheFolderCannotBeMade)
{
    TempDir dir;
    const std::string blocker = dir.PathOf("file");
    {
        std::FILE* f = std::fopen(blocker.c_str(), "w");
        std::fclose(f);
    }
    ScopedEnv env("XDG_DATA_HOME", (blocker + "/share").c_str());
    HRESULT result = S_OK;
    EXPECT_EQ(AppDataFolder(result), "");
    EXPECT_EQ(result, E_FAIL);
}

TEST(ShellApi, OnlyTheAppDataFolderIsKnown)
{
    char16_t path[MAX_PATH] = {};
    EXPECT_EQ(SHGetFolderPathW(nullptr, 0x0005 /* documents */, nullptr, 0, path), E_INVALIDARG);
}
