#include "platform/kernel/ModuleApi.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"

TEST(StringResource, SizeZeroLendsTheTextAndItsLength)
{
    const char16_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), 115, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_EQ(length, 10);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, 10), u"config.xml");
}

TEST(StringResource, CopiesWhatFitsWithItsNul)
{
    char16_t buffer[8];
    EXPECT_EQ(LoadStringW(nullptr, 109, buffer, 8), 7);
    EXPECT_EQ(std::u16string(buffer), u"man_01.");
    char16_t whole[32];
    EXPECT_EQ(LoadStringW(nullptr, 109, whole, 32), 11);
    EXPECT_EQ(std::u16string(whole), u"man_01.html");
    EXPECT_GT(LoadStringW(nullptr, 103, whole, 32), 0);
}

TEST(StringResource, MissingIdGivesNothing)
{
    char16_t buffer[4] = {u'x'};
    EXPECT_EQ(LoadStringW(nullptr, 1, buffer, 4), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleW(u"other.dll"), nullptr);
}
