#include "platform/kernel/Unicode.h"

#include <gtest/gtest.h>

using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;

TEST(Unicode, RoundTripsEveryLength)
{
    const std::string text = "a\xC3\xA7\xE3\x81\x82\xF0\x9F\x98\x80"; // a, U+00E7, U+3042, U+1F600
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, (std::u16string{u'a', 0x00E7, 0x3042, 0xD83D, 0xDE00}));
    EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Unicode, EachMalformedSequenceBecomesOneReplacement)
{
    struct Case
    {
        std::string input;
        std::u16string expected;
    };
    const Case cases[] = {
        {"\x80", u"\xFFFD"},             // stray continuation
        {"\xC0\xAF", u"\xFFFD\xFFFD"},   // overlong lead bytes are invalid on their own
        {"\xE0\x80\x80", u"\xFFFD"},     // overlong three-byte form
        {"\xED\xA0\x80", u"\xFFFD"},     // encoded surrogate
        {"\xF4\x90\x80\x80", u"\xFFFD"}, // past U+10FFFF
        {"\xE3\x81", u"\xFFFD"},         // cut off by the end of the input
        {"\xE3\x81"
         "a",
         u"\xFFFD"
         "a"}, // cut off by an ASCII byte, which survives
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.input), c.expected) << "input of " << c.input.size() << " bytes";
}

TEST(Unicode, UnpairedSurrogatesBecomeReplacement)
{
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD"
                                                         "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00}), "\xEF\xBF\xBD");
}
