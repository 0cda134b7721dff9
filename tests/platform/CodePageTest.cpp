#include "platform/kernel/CodePageApi.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"

namespace {

std::u16string Decode(UINT code_page, const std::string& bytes)
{
    const int length =
        MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(length), u'\0');
    EXPECT_EQ(
        MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length),
        length);
    return wide;
}

std::string Encode(UINT code_page, const std::u16string& wide, BOOL* used_default = nullptr,
                   const char* default_char = nullptr)
{
    const int length = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                           0, default_char, used_default);
    std::string bytes(static_cast<size_t>(length), '\0');
    EXPECT_EQ(WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                                  length, default_char, used_default),
              length);
    return bytes;
}

} // namespace

TEST(CodePage, AnsiIsJapaneseCp932)
{
    EXPECT_EQ(GetACP(), 932u);
    struct Case
    {
        std::string bytes;
        char16_t expected;
    };
    // Mappings of the Windows CP932 table.
    const Case cases[] = {
        {"\x82\xA0", 0x3042}, // hiragana a
        {"\x81\x60", 0xFF5E}, // wave dash row: fullwidth tilde, not U+301C
        {"\x81\x5F", 0xFF3C}, // fullwidth reverse solidus
        {"\x5C", 0x005C},     // the yen-sign byte stays a backslash
        {"\x87\x40", 0x2460}, // NEC extension: circled digit one
        {"\xB1", 0xFF71},     // half-width katakana a
        {"\x7E", 0x007E},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(CP_ACP, c.bytes), std::u16string(1, c.expected)) << int(c.bytes[0] & 0xFF);
        EXPECT_EQ(Decode(CP_932, c.bytes), std::u16string(1, c.expected));
        EXPECT_EQ(Encode(CP_ACP, std::u16string(1, c.expected)), c.bytes);
    }
}

TEST(CodePage, UndecodableCp932BecomesMiddleDot)
{
    struct Case
    {
        std::string bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"\x82\x20", u"\u30FB "},                // bad trail byte: the space behind the lead survives
        {"a\x82", u"a\u30FB"},                   // a lone lead byte at the end
        {"\x85\x40z", u"\u30FBz"},               // a well-formed pair without a character is one unit
        {"\xFD\x80\xA0", u"\u30FB\u30FB\u30FB"}, // bytes that are no character at all
        {"\x82\xA0\x82", u"\u3042\u30FB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(CP_ACP, c.bytes), c.expected) << c.bytes.size() << " bytes";
}

TEST(CodePage, StrictDecodingRefusesUndecodableCp932)
{
    char16_t wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "\x82\xA0", 2, wide, 8), 1);
    EXPECT_EQ(wide[0], u'あ');
    for (const char* bad : {"\x82\x20", "\xA0", "\x82"}) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bad, -1, wide, 8), 0) << bad;
        EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    }
    EXPECT_TRUE(IsDBCSLeadByteEx(CP_ACP, 0x82));
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0xE0));
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_ACP, 0xA0));
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_UTF8, 0x82));
}

TEST(CodePage, UnmappableOutputBecomesTheDefaultCharacter)
{
    BOOL used = FALSE;
    EXPECT_EQ(Encode(CP_ACP, u"\u3042\u00E9b", &used), "\x82\xA0?b");
    EXPECT_EQ(used, TRUE);
    EXPECT_EQ(Encode(CP_ACP, u"\xD83D\xDE00", &used), "?"); // one code point, one substitute
    EXPECT_EQ(Encode(CP_ACP, u"a\xDC00", &used), "a?");     // unpaired surrogate
    EXPECT_EQ(Encode(CP_ACP, u"\u00E9", &used, "*"), "*");
    EXPECT_EQ(Encode(CP_ACP, u"\u3042", &used), "\x82\xA0");
    EXPECT_EQ(used, FALSE);
}

TEST(CodePage, Utf8DecodesEachBadSequenceToReplacement)
{
    EXPECT_EQ(Decode(CP_UTF8, "a\xC3\xA7\xF0\x9F\x98\x80"), u"a\u00E7\xD83D\xDE00");
    EXPECT_EQ(Decode(CP_UTF8, "\xFF\xE3\x81"
                              "b"),
              u"\uFFFD\uFFFDb");
    EXPECT_EQ(Decode(CP_UTF8, std::string("a\0b", 3)), std::u16string(u"a\0b", 3)); // explicit length
    EXPECT_EQ(Encode(CP_UTF8, u"\u3042"), "\xE3\x81\x82");
}

TEST(CodePage, MinusOneLengthCountsTheNul)
{
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, nullptr, 0), 3);
    char16_t wide[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x82\xA0z", -1, wide, 4), 3);
    EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"\u3042z\0", 3));
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u3042", -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\0b", -1, nullptr, 0), 2); // ends at the NUL
}

TEST(CodePage, ReportsBadCalls)
{
    char16_t small[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", 2, small, 2), 2); // exact fit

    char narrow[1];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u3042", 1, narrow, 1, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    const auto expect_invalid = [](int result) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        SetLastError(0);
    };
    expect_invalid(MultiByteToWideChar(CP_UTF8, 0, "a", 0, nullptr, 0));
    expect_invalid(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, nullptr, 0));
    expect_invalid(MultiByteToWideChar(1252, 0, "a", 1, nullptr, 0));
    expect_invalid(MultiByteToWideChar(CP_UTF8, 0, "a", 1, nullptr, 5));
    BOOL used = FALSE;
    expect_invalid(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, nullptr, 0, nullptr, &used));
}
