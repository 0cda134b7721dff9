#include "platform/kernel/ModuleApi.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"

namespace {

TEST(ModuleFileName, ComesFromTheEnvironmentWhenSet)
{
    setenv("VESK_MODULE_PATH", "/opt/game/vesk", 1);
    char16_t buffer[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), 14u);
    EXPECT_EQ(std::u16string(buffer), u"/opt/game/vesk");

    // Too small: truncated with its NUL, the full size returned, ERROR_INSUFFICIENT_BUFFER.
    char16_t small[5];
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_EQ(std::u16string(small), u"/opt");
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    unsetenv("VESK_MODULE_PATH");
}

TEST(ModuleFileName, IsTheRunningExecutableOtherwise)
{
    unsetenv("VESK_MODULE_PATH");
    char16_t buffer[4096];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, 4096);
    ASSERT_GT(length, 0u);
    const std::u16string path(buffer, length);
    EXPECT_EQ(path.front(), u'/');
    EXPECT_NE(path.find(u"platform_tests"), std::u16string::npos);
}

} // namespace
