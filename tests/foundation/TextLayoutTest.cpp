#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/TextLayout.h"

namespace {

std::u16string Units(const std::vector<char16_t>& units)
{
    return std::u16string(units.begin(), units.end());
}

} // namespace

TEST(TextLayout, WidthCountsHalfAndFullWidthUnits)
{
    EXPECT_EQ(MeasureTextWidth(u"ab\u3042\u3044"), 6);
    EXPECT_EQ(MeasureTextWidth(u"ab\\r\u3042\u3044\\r"), 2);
    EXPECT_EQ(MeasureTextWidth(u"a\\nb\\ic"), 3);
    EXPECT_EQ(MeasureTextWidth(u"\u2014\u00E9\u0101"), 4); // dash 1, e-acute 1, a-macron 2
    EXPECT_EQ(MeasureTextWidth(u"\\x"), 2);                // a lone backslash is a unit like any other
    EXPECT_EQ(MeasureTextWidth(u"\uFFAF"), 2);
    EXPECT_EQ(MeasureTextWidth(u""), 0);
}

TEST(TextLayout, CopyTextWordStopsAtSpacesMarkupAndTheNameMark)
{
    struct Case
    {
        const char16_t* text;
        std::u16string copied;
        int consumed;
    };
    const Case cases[] = {
        {u"hello world", u"hello ", 6},
        {u"ab\\ncd", u"ab", 2},
        {u"ab\\icd", u"ab", 2},
        {u"ab\\rcd", u"ab", 2},
        {u"ab\uFFAFc", u"ab", 2},
        {u"a\\b", u"a\\b", 3},
        {u"end", u"end", 3},
    };
    for (const Case& c : cases) {
        std::vector<char16_t> out = {u'>'};
        EXPECT_EQ(CopyTextWord(c.text, out), c.consumed);
        EXPECT_EQ(Units(out), u">" + c.copied); // appended behind what was there
    }
}

TEST(TextLayout, PlainSplitKeepsMarkupPairsAndDropsHiddenRuns)
{
    std::vector<char16_t> out = {u'x'};
    EXPECT_EQ(SplitTextPlain(u"a\\nb\\rhid\\nden\\rc\\id\uFFAF", out), 9);
    EXPECT_EQ(Units(out), u"a\\nbc\\id\uFFAF");
}

class SimplifiedChineseSplit : public ::testing::Test
{
protected:
    // 100 pixels wide with a 20-pixel font: ten units to a line, a line every 20 pixels.
    TextArea m_area{.left = 0, .top = 0, .right = 100, .bottom = 1000, .line_height = 20, .font_size = 20};
    std::vector<char16_t> m_out;

    std::u16string Split(const char16_t* text, int expected_count)
    {
        EXPECT_EQ(SplitTextSimplifiedChinese(text, m_out, m_area), expected_count);
        return Units(m_out);
    }
};

TEST_F(SimplifiedChineseSplit, BreaksAfterAWordThatReachesTheEdge)
{
    // "aaaa " ends at 50, "bbbb " at 100: the edge, so a break follows; "cccc" starts the next line.
    EXPECT_EQ(Split(u"aaaa bbbb cccc", 16), u"aaaa bbbb \\ncccc");
}

TEST_F(SimplifiedChineseSplit, BreaksBeforeAWordThatWouldReachTheEdge)
{
    // "aaaaaa " ends at 70; "bbbbb" would end at 120, so it starts a new line.
    EXPECT_EQ(Split(u"aaaaaa bbbbb", 14), u"aaaaaa \\nbbbbb");
}

TEST_F(SimplifiedChineseSplit, TrailingSpaceDoesNotCountWhenFitting)
{
    // "aaaaa " ends at 60; "bbb " is three units wide without its space: 60 + 30 < 100, so it stays
    // on the line, and with its space it ends at the edge, so the break comes behind it.
    EXPECT_EQ(Split(u"aaaaa bbb c", 13), u"aaaaa bbb \\nc");
}

TEST_F(SimplifiedChineseSplit, PutsAnOverlongWordOnALineOfItsOwn)
{
    EXPECT_EQ(Split(u"ab cdefghijklmno x", 22), u"ab \\ncdefghijklmno \\nx");
}

TEST_F(SimplifiedChineseSplit, DropsTheRestBelowTheBottom)
{
    m_area.bottom = 50; // the third line would end at 60
    EXPECT_EQ(Split(u"aaaaaaaaa bbbbbbbbb cccc", 24), u"aaaaaaaaa \\nbbbbbbbbb \\n");
}

TEST_F(SimplifiedChineseSplit, HandlesMarkupAndTheNameMark)
{
    // "\n" starts a new line (so "bbbbbbb" fits again), "\i" is kept, "\r" runs are dropped, the
    // name mark is one unit that moves nothing.
    EXPECT_EQ(Split(u"aaaaaaa\\nbbbbbbb\\i\\rhidden words\\r\uFFAFc", 20), u"aaaaaaa\\nbbbbbbb\\i\uFFAFc");
}

TEST_F(SimplifiedChineseSplit, AdvanceIsHalfTheFontSizeRoundedDown)
{
    m_area.font_size = 21; // still 10 pixels a unit
    EXPECT_EQ(Split(u"aaaa bbbb cccc", 16), u"aaaa bbbb \\ncccc");
}

TEST(WrapTextLine, LetsClosingMarksHangPastTheEdge)
{
    const RECT box{.left = 10, .top = 0, .right = 100, .bottom = 300};
    const LONG advance = 20;
    bool hanging = false;
    LONG x = 80;
    LONG y = 50;
    WrapTextLine(u'a', x, y, advance, 30, box, hanging); // left of the edge: nothing moves
    EXPECT_EQ(x, 80);
    x = 100;
    WrapTextLine(u'，', x, y, advance, 30, box, hanging); // at the edge: drawn there
    EXPECT_EQ(x, 100);
    EXPECT_FALSE(hanging);
    x += advance;
    WrapTextLine(u'」', x, y, advance, 30, box, hanging); // one advance past: still drawn, now hanging
    EXPECT_EQ(x, 120);
    EXPECT_TRUE(hanging);
    x += advance;
    WrapTextLine(u'、', x, y, advance, 30, box, hanging); // whatever follows starts the next line
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 80);
    EXPECT_FALSE(hanging);

    x = 100;
    WrapTextLine(u'a', x, y, advance, 30, box, hanging); // a letter at the edge starts the next line
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 110);
}

TEST(WrapTextLine, KnowsTheSeventeenClosingMarks)
{
    const std::u16string forbidden = u"）〕］｝〉》」』，】。、・？！”’";
    ASSERT_EQ(forbidden.size(), 17u);
    for (char16_t unit : forbidden)
        EXPECT_TRUE(IsLineStartForbidden(unit, ClosingMarks::TableText)) << int(unit);
    for (char16_t unit : std::u16string(u"「（a.,?!\u3000"))
        EXPECT_FALSE(IsLineStartForbidden(unit, ClosingMarks::TableText)) << int(unit);
}
