// The line-break rules, case by case: where a character goes after the pen has advanced.

#include "foundation/LineBreakRules.h"

#include <gtest/gtest.h>

namespace {

struct RuleCase
{
    const char* Name;
    bool Vertical;
    const char* Character;
    int32_t X, Y, Start, Hang;                  // before
    int32_t ExpectedX, ExpectedY, ExpectedHang; // after
};

// Horizontal: box (0, 0)-(100, 200), W 20, H 30. Vertical: box (0, 0)-(600, 100), column W 40,
// character H 20.
const RuleCase RULE_CASES[] = {
    {"ClosingMarkAtTheEdgeStays", false, "。", 100, 0, 1, 0, 100, 0, 0},
    {"ClosingMarkOneCellPastTheEdgeHangs", false, "。", 120, 0, 1, 0, 120, 0, 1},
    {"CharacterAfterAHangWraps", false, "あ", 140, 0, 1, 1, 0, 30, 0},
    {"SecondClosingMarkAfterAHangWraps", false, "、", 140, 0, 1, 1, 0, 30, 0},
    {"ClosingMarkFurtherOutStaysWithoutHanging", false, "」", 160, 0, 1, 0, 160, 0, 0},
    {"OrdinaryCharacterAtTheEdgeWraps", false, "あ", 100, 0, 1, 0, 0, 30, 0},
    {"OrdinaryCharacterPastTheEdgeWraps", false, "a", 130, 60, 1, 0, 0, 90, 0},
    {"OpeningMarkAtTheMarginHangsBeforeIt", false, "「", 0, 0, 1, 0, -20, 0, 1},
    {"CharacterAfterAnOpeningHangIsNotMoved", false, "あ", 0, 0, 1, 1, 0, 0, 0},
    {"OpeningMarkWithoutTheStartFlagStays", false, "「", 0, 0, 0, 0, 0, 0, 0},
    {"OpeningQuotationMarkIsNoHangingMark", false, "“", 0, 0, 1, 0, 0, 0, 0},
    {"OpeningMarkAtTheEdgeWrapsAndHangs", false, "（", 100, 0, 1, 0, -20, 30, 1},
    {"MiddleDotHangsAtTheLineEnd", false, "・", 120, 0, 1, 0, 120, 0, 1},
    {"MiddleDotHangsBeforeTheMargin", false, "・", 0, 30, 1, 0, -20, 30, 1},
    {"InsideTheLineNothingMoves", false, "あ", 40, 0, 1, 0, 40, 0, 0},
    {"VerticalWrapsToTheColumnOnTheLeft", true, "あ", 500, 100, 1, 0, 460, 0, 0},
    {"VerticalClosingMarkHangsBelowTheBottom", true, "。", 500, 120, 1, 0, 500, 120, 1},
    {"VerticalClosingMarkAtTheBottomStays", true, "。", 500, 100, 1, 0, 500, 100, 0},
    {"VerticalOpeningMarkHangsAboveTheTop", true, "『", 500, 0, 1, 0, 500, -20, 1},
    {"VerticalCharacterAfterAHangWraps", true, "い", 500, 140, 1, 1, 460, 0, 0},
};

class LineBreakRulesTest : public ::testing::TestWithParam<RuleCase>
{};

TEST_P(LineBreakRulesTest, PlacesTheCharacter)
{
    const RuleCase& c = GetParam();
    int32_t x = c.X;
    int32_t y = c.Y;
    int32_t hang = c.Hang;
    const CStringUTF8 character(c.Character);
    if (c.Vertical)
        ApplyLineBreakRulesVertical(character, x, y, 40, 20, LineBreakBox{0, 0, 600, 100}, c.Start, hang);
    else
        ApplyLineBreakRules(character, x, y, 20, 30, LineBreakBox{0, 0, 100, 200}, c.Start, hang);
    EXPECT_EQ(x, c.ExpectedX);
    EXPECT_EQ(y, c.ExpectedY);
    EXPECT_EQ(hang, c.ExpectedHang);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineBreakRulesTest, ::testing::ValuesIn(RULE_CASES),
                         [](const ::testing::TestParamInfo<RuleCase>& info) { return info.param.Name; });

TEST(LineBreakMarks, EveryClosingAndOpeningMarkIsKnown)
{
    for (const char* mark :
         {"）", "〕", "］", "｝", "〉", "》", "」", "』", "】", "。", "、", "・", "？", "！", "”", "’"}) {
        int32_t x = 120, y = 0, hang = 0;
        ApplyLineBreakRules(CStringUTF8(mark), x, y, 20, 30, LineBreakBox{0, 0, 100, 200}, 1, hang);
        EXPECT_EQ(hang, 1) << mark;
    }
    for (const char* mark : {"（", "〔", "［", "｛", "〈", "《", "「", "『", "【", "・"}) {
        int32_t x = 0, y = 0, hang = 0;
        ApplyLineBreakRules(CStringUTF8(mark), x, y, 20, 30, LineBreakBox{0, 0, 100, 200}, 1, hang);
        EXPECT_EQ(x, -20) << mark;
    }
}

// The full-width comma may start a line of story text, never one of a language table's text.
TEST(LineBreakMarks, OnlyTheTablesKeepTheFullWidthCommaOffALineStart)
{
    int32_t x = 100, y = 0, hang = 0;
    ApplyLineBreakRules(CStringUTF8("，"), x, y, 20, 30, LineBreakBox{0, 0, 100, 200}, 1, hang);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 30);
    x = 100;
    y = 0;
    ApplyLineBreakRules(u'，', x, y, 20, 30, LineBreakBox{0, 0, 100, 200}, 1, hang, ClosingMarks::TableText);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(IsLineStartForbidden(u'，', ClosingMarks::Story));
    EXPECT_TRUE(IsLineStartForbidden(u'，', ClosingMarks::TableText));
}

// Only a text that is exactly one mark is that mark: two characters, a cut or an overlong
// encoding of it wrap as any other text.
TEST(LineBreakMarks, OnlyTheMarkItselfMatches)
{
    for (const char* text : {"。。", "\xE3\x80", "\xF0\x83\x80\x82", ""}) {
        int32_t x = 120, y = 0, hang = 0;
        ApplyLineBreakRules(CStringUTF8(text), x, y, 20, 30, LineBreakBox{0, 0, 100, 200}, 1, hang);
        EXPECT_EQ(x, 0) << text;
        EXPECT_EQ(y, 30) << text;
    }
    EXPECT_EQ(LineBreakUnitOf(CStringUTF8("。")), u'。');
    EXPECT_EQ(LineBreakUnitOf(CStringUTF8("a")), u'a');
}

} // namespace
