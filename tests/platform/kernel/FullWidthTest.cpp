#include "platform/kernel/FullWidthApi.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/ErrorApi.h"
#include "platform/user/ClipboardApi.h"

TEST(FullWidthTest, MapsPrintablesSpaceSignsAndHalfWidthKana)
{
    struct Case
    {
        std::u16string in, out;
    } cases[] = {
        {u"Ab1!~", u"Ａｂ１！～"},      {u"a b", u"ａ\u3000ｂ"},   {u"\u00A5\u00A2", u"￥￠"},
        {u"ｶﾞｷﾞﾊﾟﾎﾞｳﾞ", u"ガギパボヴ"}, {u"ｱﾞﾟｰ｡", u"ア゛゜ー。"}, // marks a kana cannot take stay separate
        {u"かな漢字", u"かな漢字"},
    };
    for (const Case& c : cases) {
        char16_t out[32] = {};
        const int needed = LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, c.in.c_str(), -1, nullptr, 0);
        EXPECT_EQ(needed, static_cast<int>(c.out.size()) + 1);
        EXPECT_EQ(LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, c.in.c_str(), -1, out, 32), needed);
        EXPECT_EQ(std::u16string(out), c.out);
    }
    char16_t small[2] = {};
    EXPECT_EQ(LCMapStringW(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, u"abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(LCMapStringW(LOCALE_SYSTEM_DEFAULT, 0x100, u"abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(ClipboardTest, TextIsReadThroughAnOpenClipboardOnly)
{
    platform::SetClipboardUtf8("");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    platform::SetClipboardUtf8("名前 x");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr) << "closed";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "open once";
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(reinterpret_cast<HGLOBAL>(data)))),
              u"名前 x");
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GlobalLock(reinterpret_cast<HGLOBAL>(data)), nullptr) << "freed at close";
    platform::SetClipboardUtf8("");
}
