#include "foundation/CStringUTF8.h"

#include <cwchar>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "foundation/CString.h"
#include "platform/kernel/VersionApi.h"

namespace {

// UTF-8 forms written out by hand from the code points.
const std::string HIRAGANA_A = "\xE3\x81\x82";           // U+3042, wide
const std::string GRINNING_FACE = "\xF0\x9F\x98\x80";    // U+1F600, wide
const std::string C_CEDILLA = "\xC3\xA7";                // U+00E7, neutral
const std::string E_ACUTE = "\xC3\xA9";                  // U+00E9, ambiguous
const std::string GREEK_ALPHA = "\xCE\x91";              // U+0391, ambiguous
const std::string CYRILLIC_ZHE = "\xD0\x96";             // U+0416, ambiguous
const std::string EM_DASH = "\xE2\x80\x94";              // U+2014, ambiguous
const std::string ELLIPSIS = "\xE2\x80\xA6";             // U+2026, ambiguous
const std::string PRIVATE_USE = "\xEE\x80\x80";          // U+E000, ambiguous
const std::string HALFWIDTH_KATAKANA_A = "\xEF\xBD\xB1"; // U+FF71, halfwidth
const std::string A_WITH_DOT_BELOW = "\xE1\xBA\xA0";     // U+1EA0, neutral, lead byte 0xE1
const std::string PEH_WITH_SMALL_V = "\xE0\xA2\xBE";     // U+08BE, neutral, assigned in 13.0
const std::string ALEF_WITH_FATHA = "\xE0\xA1\xB0";      // U+0870, assigned in 14.0: not in the table

int WidthOf(const std::string& text)
{
    return CStringUTF8(text).GetWidth();
}

} // namespace

TEST(CStringUTF8, CountsCharactersAndHalfWidthUnits)
{
    const CStringUTF8 one(HIRAGANA_A);
    EXPECT_EQ(one.GetLength(), 3);
    EXPECT_EQ(one.GetCharCount(), 1);
    EXPECT_EQ(one.GetWidth(), 2);

    const CStringUTF8 two("a" + HIRAGANA_A);
    EXPECT_EQ(two.GetCharCount(), 2);
    EXPECT_EQ(two.GetWidth(), 3);

    const CStringUTF8 emoji(GRINNING_FACE);
    EXPECT_EQ(emoji.GetCharCount(), 1);
    EXPECT_EQ(emoji.GetWidth(), 2);
}

TEST(CStringUTF8, WidthFollowsTheEastAsianWidthClass)
{
    EXPECT_EQ(WidthOf(C_CEDILLA), 1);
    EXPECT_EQ(WidthOf(A_WITH_DOT_BELOW), 1);
    EXPECT_EQ(WidthOf(HALFWIDTH_KATAKANA_A), 1);
    EXPECT_EQ(WidthOf(PEH_WITH_SMALL_V), 1);
    EXPECT_EQ(WidthOf("a~ "), 3);
    // Ambiguous characters count as full width.
    for (const std::string& ambiguous : {E_ACUTE, GREEK_ALPHA, CYRILLIC_ZHE, EM_DASH, ELLIPSIS, PRIVATE_USE})
        EXPECT_EQ(WidthOf(ambiguous), 2) << ambiguous;
    // A character newer than the table is unlisted, and unlisted counts as full width.
    EXPECT_EQ(WidthOf(ALEF_WITH_FATHA), 2);
    EXPECT_EQ(IsFullWidthChar(CStringUTF8(HIRAGANA_A + "a")), 1);
    EXPECT_EQ(IsFullWidthChar(CStringUTF8("a" + HIRAGANA_A)), 0);
}

TEST(CStringUTF8, CharacterSizeComesFromTheLeadByte)
{
    const CStringUTF8 text;
    EXPECT_EQ(text.GetCharSize('\x41'), 1);
    EXPECT_EQ(text.GetCharSize('\x80'), 1); // continuation byte
    EXPECT_EQ(text.GetCharSize('\xC1'), 1); // never a valid lead
    EXPECT_EQ(text.GetCharSize('\xC2'), 2);
    EXPECT_EQ(text.GetCharSize('\xE0'), 3);
    EXPECT_EQ(text.GetCharSize('\xE1'), 3);
    EXPECT_EQ(text.GetCharSize('\xF1'), 4);
    EXPECT_EQ(CStringUTF8(A_WITH_DOT_BELOW).GetCharCount(), 1);
}

TEST(CStringUTF8, TruncateToWidthDropsAWideCharacterThatWouldPassTheLimit)
{
    CStringUTF8 two_wide(HIRAGANA_A + HIRAGANA_A + "a");
    two_wide.TruncateToWidth(3);
    EXPECT_EQ(two_wide.GetStdString(), HIRAGANA_A);

    CStringUTF8 narrow_first("a" + HIRAGANA_A);
    narrow_first.TruncateToWidth(2);
    EXPECT_EQ(narrow_first.GetStdString(), "a");

    CStringUTF8 plain("abcdef");
    plain.TruncateToWidth(4);
    EXPECT_EQ(plain.GetStdString(), "abcd");
    EXPECT_EQ(plain.GetCharCount(), 4);
}

TEST(CStringUTF8, CharacterIndexesPastTheEndAnswerTheFirstCharacter)
{
    const CStringUTF8 abc("abc");
    EXPECT_EQ(abc.GetCharOffset(5), 0);
    EXPECT_EQ(abc.GetCharAt(5), "a");

    const CStringUTF8 mixed("a" + HIRAGANA_A + "b");
    EXPECT_EQ(mixed.GetCharOffset(1), 1);
    EXPECT_EQ(mixed.GetCharOffset(2), 4);
    EXPECT_EQ(mixed.GetCharAt(1), HIRAGANA_A);
    EXPECT_EQ(mixed.CharAt(2).GetStdString(), "b");
}

TEST(CStringUTF8, CachesFollowEveryChange)
{
    CStringUTF8 text("ab");
    EXPECT_EQ(text.GetCharCount(), 2);
    EXPECT_EQ(text.GetCharAt(1), "b");
    text.Append(HIRAGANA_A);
    EXPECT_EQ(text.GetCharCount(), 3);
    EXPECT_EQ(text.GetWidth(), 4);
    EXPECT_EQ(text.GetCharAt(2), HIRAGANA_A);
    text.Delete(0, 1);
    EXPECT_EQ(text.GetCharAt(1), HIRAGANA_A);
    text.Assign(HIRAGANA_A + HIRAGANA_A);
    EXPECT_EQ(text.GetWidth(), 4);
    text.Empty();
    EXPECT_EQ(text.GetCharCount(), 0);
    EXPECT_TRUE(text.IsEmpty());
}

// A lead byte may announce more bytes than the text still holds; nothing may read past the end.
TEST(CStringUTF8, ACutOffSequenceAtTheEndStaysInsideTheText)
{
    const std::string cut = "a\xE3\x81"; // "a" and the first two bytes of U+3042
    CStringUTF8 text(cut);
    EXPECT_EQ(text.GetCharCount(), 2);
    EXPECT_EQ(text.GetCharAt(1), "\xE3\x81");
    EXPECT_EQ(text.GetCharOffset(2), 0);
    EXPECT_EQ(text.FindFrom("z", 1), -1);

    CStringUTF8 truncated(cut);
    truncated.TruncateToWidth(10);
    EXPECT_EQ(truncated.GetStdString(), cut);

    CStringUTF8 deleted(cut);
    deleted.DeleteChar(1);
    EXPECT_EQ(deleted.GetStdString(), "a");

    CStringUTF8 lone_lead("\xF0");
    EXPECT_EQ(lone_lead.GetCharCount(), 1);
    EXPECT_EQ(lone_lead.GetCharAt(0), "\xF0");
    lone_lead.ReplaceChar('/', 0);
    EXPECT_EQ(lone_lead.GetStdString(), "\xF0");
}

TEST(CStringUTF8, FormatKeepsTextsLongerThanTheFirstBuffer)
{
    for (size_t length : {1022u, 1023u, 1024u, 1025u, 2047u, 2048u, 2049u, 5000u}) {
        const std::string long_text(length, 'x');
        CStringUTF8 text;
        const CStringUTF8 result = text.Format("%s|%d", long_text.c_str(), 42);
        EXPECT_EQ(text.GetStdString(), long_text + "|42") << length;
        EXPECT_EQ(result.GetLength(), static_cast<int>(length + 3));
    }
    CStringUTF8 appended("n=");
    appended.AppendFormat("%03d/%s", 7, HIRAGANA_A.c_str());
    EXPECT_EQ(appended.GetStdString(), "n=007/" + HIRAGANA_A);
}

TEST(CStringUTF8, FormatThatCannotBeWrittenEndsEmpty)
{
    // U+3042 has no form in the "C" locale, so formatting fails for a reason other than size.
    CStringUTF8 text("old");
    text.Format("%lc", static_cast<wint_t>(0x3042));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CStringUTF8, ReplaceAllContinuesBehindTheInsertedText)
{
    CStringUTF8 text("aaa");
    text.ReplaceAll("a", "aa");
    EXPECT_EQ(text.GetStdString(), "aaaaaa");

    CStringUTF8 path("a/b/c");
    path.ReplaceAll("/", "\\\\");
    EXPECT_EQ(path.GetStdString(), "a\\\\b\\\\c");

    CStringUTF8 unchanged("abc");
    unchanged.ReplaceAll("", "x"); // an empty pattern would match for ever
    EXPECT_EQ(unchanged.GetStdString(), "abc");
}

TEST(CStringUTF8, ReplaceCharLeavesMultiByteCharactersWhole)
{
    CStringUTF8 text("/a/" + HIRAGANA_A + "/b/");
    text.ReplaceChar('/', 0);
    EXPECT_EQ(text.GetStdString(), "a" + HIRAGANA_A + "b");

    // 0x81 is the middle byte of U+3042: it is part of the character, never a character itself.
    CStringUTF8 inner(HIRAGANA_A + "\x81");
    inner.ReplaceChar('\x81', 'x');
    EXPECT_EQ(inner.GetStdString(), HIRAGANA_A + "\x81");

    CStringUTF8 slashes("a/b");
    slashes.ReplaceChar('/', '\\');
    EXPECT_EQ(slashes.GetStdString(), "a\\b");
}

TEST(CStringUTF8, SearchesCountBytes)
{
    const CStringUTF8 text(HIRAGANA_A + "b/c/b");
    EXPECT_EQ(text.Find("b"), 3);
    EXPECT_EQ(text.Find('/'), 4);
    EXPECT_EQ(text.Find(std::string("zz")), -1);
    EXPECT_EQ(text.ReverseFind("b"), 7);
    EXPECT_EQ(text.ReverseFind('/'), 6);
    EXPECT_EQ(text.FindFrom("b", 4), 7);
    // FindFrom steps whole characters, so it never matches inside one; Find does.
    EXPECT_EQ(text.Find("\x81\x82"), 1);
    EXPECT_EQ(text.FindFrom("\x81\x82", 0), -1);
}

TEST(CStringUTF8, PositionsPastTheEndThrow)
{
    CStringUTF8 text("abc");
    try {
        text.FindFrom("a", 4);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid string position");
    }
    EXPECT_THROW(text.Delete(4, 1), std::out_of_range);
    EXPECT_EQ(text.FindFrom("a", 3), -1);
    text.Delete(1, 100);
    EXPECT_EQ(text.GetStdString(), "a");
}

TEST(CStringUTF8, EditsCharactersByIndex)
{
    CStringUTF8 text("a" + HIRAGANA_A + "b");
    text.SetCharAt(1, 0, "xy");
    EXPECT_EQ(text.GetStdString(), "axyb");
    text.DeleteChar(0);
    EXPECT_EQ(text.GetStdString(), "xyb");

    CStringUTF8 case_text("a" + HIRAGANA_A + "Z");
    case_text.MakeUpper();
    EXPECT_EQ(case_text.GetStdString(), "A" + HIRAGANA_A + "Z");
    case_text.MakeLower();
    EXPECT_EQ(case_text.GetStdString(), "a" + HIRAGANA_A + "z");
}

TEST(CStringUTF8, WideCopyIsRefreshedOnlyWhenAskedFor)
{
    CStringUTF8 text("abc");
    const char16_t* before = text.GetWideText();
    text.Assign(HIRAGANA_A);
    EXPECT_EQ(std::u16string(before), u"abc"); // the held copy is not touched by Assign
    EXPECT_EQ(std::u16string(text.GetWideText()), u"\u3042");
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(text)), u"\u3042");
}

TEST(CStringUTF8, ConvertsBetweenEncodings)
{
    EXPECT_EQ(CStringUTF8(u"\u3042a").GetStdString(), HIRAGANA_A + "a");
    EXPECT_EQ(CStringUTF8(std::u16string(u"\xD83D\xDE00")).GetStdString(), GRINNING_FACE);
    EXPECT_EQ(CStringUTF8(HIRAGANA_A + "\\").ToAnsi(), "\x82\xA0\\");
    EXPECT_EQ(AnsiToWide("\x82\xA0\x81\x60"), u"\u3042\uFF5E");
    EXPECT_EQ(WideToAnsi(u"\u00E9"), "?");               // no CP932 form
    EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), u"a"); // ends at the NUL
    EXPECT_EQ(Utf8ToWide("\xFF"
                         "a\xE3\x81"),
              u"\uFFFDa\uFFFD");
    EXPECT_EQ(WideToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(CStringUTF8, CodePointOfTheFirstCharacter)
{
    EXPECT_EQ(CodePointFromUtf16(u"\xD83D\xDE00"), 0x1F600u);
    EXPECT_EQ(CodePointFromUtf16(u"\xDBFF\xDFFF"), 0x10FFFFu);
    EXPECT_EQ(CodePointFromUtf16(u"\xD800"
                                 "a"),
              0u);
    EXPECT_EQ(CodePointFromUtf16(u"\xDC00"), 0xDC00u);
    EXPECT_EQ(CodePointFromUtf16(u"\u3042b"), 0x3042u);
    EXPECT_EQ(CodePointFromUtf16(u""), 0u);
}

TEST(CStringUTF8, OrdersAsUnsignedBytes)
{
    EXPECT_TRUE(CStringUTF8("ab") < CStringUTF8("abc"));
    EXPECT_TRUE(CStringUTF8("z") < CStringUTF8(HIRAGANA_A));
    EXPECT_FALSE(CStringUTF8(HIRAGANA_A) < CStringUTF8("z"));
    EXPECT_FALSE(CStringUTF8("a") < CStringUTF8("a"));
    EXPECT_TRUE(CStringUTF8("abc") == "abc");
    EXPECT_FALSE(CStringUTF8("abc") == CStringUTF8("abd"));
}

TEST(CStringUTF8, CopiesAndMovesAreIndependent)
{
    CStringUTF8 original("a" + HIRAGANA_A);
    EXPECT_EQ(original.GetCharAt(1), HIRAGANA_A); // fills the offset map
    CStringUTF8 copy(original);
    original.Assign("xyz");
    EXPECT_EQ(copy.GetCharAt(1), HIRAGANA_A);
    EXPECT_EQ(copy.GetWidth(), 3);

    CStringUTF8 moved(std::move(copy));
    EXPECT_EQ(moved.GetCharAt(1), HIRAGANA_A);
    copy.Assign("q"); // a moved-from string is still usable
    EXPECT_EQ(copy.GetCharAt(0), "q");

    const CStringUTF8 joined = CStringUTF8("a") + "b" + CStringUTF8(HIRAGANA_A);
    EXPECT_EQ(joined.GetStdString(), "ab" + HIRAGANA_A);
    EXPECT_EQ(CStringUTF8("x").Concat('y'), "xy");
}

TEST(CStringUTF8, NumbersFromTheText)
{
    EXPECT_EQ(CStringUTF8("42abc").ToInt(), 42);
    EXPECT_EQ(CStringUTF8("-7").ToLong(), -7);
    EXPECT_FLOAT_EQ(CStringUTF8("2.5").ToFloat(), 2.5f);
    EXPECT_EQ(CStringUTF8("none").ToInt(), 0);
}

TEST(CStringUTF8, LoadsTheStringTable)
{
    CStringUTF8 text("old");
    EXPECT_EQ(text.LoadString(115), 1);
    EXPECT_EQ(text.GetStdString(), "config.xml");
    text.LoadString(109);
    EXPECT_EQ(text.GetStdString(), "man_01.html");
    EXPECT_EQ(text.LoadString(9999), 1);
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CStringUTF8, CStringIsThrownAndCaughtAsItself)
{
    try {
        throw CString("archive broken");
    } catch (const CString& error) {
        EXPECT_EQ(error.GetStdString(), "archive broken");
        EXPECT_EQ(error.GetCharCount(), 14);
    }
}

class WindowsVersion : public ::testing::Test
{
protected:
    ~WindowsVersion() override { platform::ResetReportedWindowsVersion(); }
};

TEST_F(WindowsVersion, ComparesMajorAndMinorAsOneNumber)
{
    EXPECT_TRUE(IsWindowsVersionOrGreater(6, 1));
    EXPECT_TRUE(IsWindowsVersionOrGreater(6, 2));
    EXPECT_TRUE(IsWindowsVersionOrGreater(10, 0));
    EXPECT_FALSE(IsWindowsVersionOrGreater(10, 1));

    platform::SetReportedWindowsVersion(6, 1);
    EXPECT_TRUE(IsWindowsVersionOrGreater(6, 1));
    EXPECT_TRUE(IsWindowsVersionOrGreater(5, 9));
    EXPECT_FALSE(IsWindowsVersionOrGreater(6, 2));
}

TEST(CStringUTF8Numbers, OutOfRangeIntegersSaturate)
{
    EXPECT_EQ(CStringUTF8("99999999999").ToInt(), INT32_MAX);
    EXPECT_EQ(CStringUTF8("-99999999999").ToInt(), INT32_MIN);
    EXPECT_EQ(CStringUTF8("  -12ab").ToInt(), -12);
    EXPECT_EQ(CStringUTF8("0x1F").ToInt(), 0);
}
