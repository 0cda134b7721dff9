// The executable's version resource against the version the project declares.
#include "platform/res/FileVersionApi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/kernel/ModuleApi.h"

namespace {

// a.b.c.d from the project line of the top CMakeLists.txt.
std::vector<DWORD> DeclaredVersion()
{
    const char* source = std::getenv("VESK_SOURCE_DIR");
    if (source == nullptr)
        return {};
    std::ifstream file(std::string(source) + "/CMakeLists.txt");
    std::stringstream text;
    text << file.rdbuf();
    // The four numbers after "VERSION" on the project line.
    const std::string content = text.str();
    const size_t project = content.find("project(");
    const size_t at = project == std::string::npos ? project : content.find(" VERSION ", project);
    if (at == std::string::npos)
        return {};
    std::istringstream numbers(content.substr(at + 9));
    std::vector<DWORD> version;
    DWORD value = 0;
    char dot = 0;
    for (int i = 0; i < 4 && numbers >> value; ++i) {
        version.push_back(value);
        if (i < 3 && !(numbers >> dot && dot == '.'))
            return {};
    }
    return version;
}

TEST(FileVersion, TheModuleCarriesTheProjectVersion)
{
    const std::vector<DWORD> declared = DeclaredVersion();
    ASSERT_EQ(declared.size(), 4u);
    char16_t path[4096]{};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, 4096), 0u);
    DWORD handle = 99;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    EXPECT_EQ(handle, 0u);
    ASSERT_GE(size, sizeof(VS_FIXEDFILEINFO));
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS >> 16, declared[0]);
    EXPECT_EQ(info->dwFileVersionMS & 0xFFFF, declared[1]);
    EXPECT_EQ(info->dwFileVersionLS >> 16, declared[2]);
    EXPECT_EQ(info->dwFileVersionLS & 0xFFFF, declared[3]);
    // The fixed part lies inside the caller's copy, 32-bit aligned, after the key.
    EXPECT_GE(static_cast<uint8_t*>(value), block.data() + 38);
    EXPECT_LE(static_cast<uint8_t*>(value) + length, block.data() + block.size());
}

TEST(FileVersion, OtherFilesAndSubBlocksHaveNone)
{
    EXPECT_EQ(GetFileVersionInfoSizeW(u"/usr/bin/env", nullptr), 0u);
    char16_t path[4096]{};
    GetModuleFileNameW(nullptr, path, 4096);
    std::vector<uint8_t> block(GetFileVersionInfoSizeW(path, nullptr));
    GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data());
    void* value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueW(block.data(), u"\\StringFileInfo\\041104b0\\ProductName", &value, &length));
    std::vector<uint8_t> junk(block.size(), 0);
    EXPECT_FALSE(VerQueryValueW(junk.data(), u"\\", &value, &length));
}

} // namespace
