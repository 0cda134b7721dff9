// The typesetters, checked against a renderer that records its calls: positions, argument order,
// wrapping, the line-break rules, the box's limits and the vertical columns.

#include "script/commands/CFuncString.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "../RecordingFont.h"
#include "app/CVeskDoc.h"
#include "app/TestApp.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "script/ScriptState.h"
#include "support/TempDir.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Pair;

std::vector<std::pair<int32_t, int32_t>> Positions(const RecordingFont& font)
{
    std::vector<std::pair<int32_t, int32_t>> positions;
    for (const GlyphCall& call : font.Calls)
        positions.emplace_back(call.X, call.Y);
    return positions;
}

// Left 0, Right 100, half-width cell 10, lines of 20 down to 100.
TextBox Box(const char* text, uint8_t rules)
{
    TextBox box;
    box.Text = CStringUTF8(text);
    box.CellWidth = 10;
    box.LineHeight = 20;
    box.Right = 100;
    box.Bottom = 100;
    box.UseLineBreakRules = rules;
    return box;
}

class CFuncStringTest : public ::testing::Test
{
protected:
    // Lays the box out (and, when asked, in columns too) and expects no glyph and an unmoved
    // cursor.
    void ExpectNothingDrawn(const TextBox& box, bool vertical_too)
    {
        for (bool vertical : {false, true}) {
            if (vertical && !vertical_too)
                continue;
            RecordingFont font;
            TextBox laid = box;
            if (vertical)
                m_typesetter.TypesetTextVertical(laid, &font);
            else
                m_typesetter.TypesetText(laid, &font);
            EXPECT_TRUE(font.Calls.empty()) << vertical;
            EXPECT_EQ(laid.CursorX, box.CursorX) << vertical;
            EXPECT_EQ(laid.CursorY, box.CursorY) << vertical;
        }
    }

    RecordingFont m_font;
    CFuncString m_typesetter;
};

TEST_F(CFuncStringTest, EachCharacterGoesToTheRendererInItsArgumentOrder)
{
    CSpriteLayer layer;
    TextBox box = Box("あb", 1);
    box.CursorX = 30;
    box.CursorY = 40;
    box.DrawWord1 = 0x00FF'0000;
    box.DrawWord2 = 0x0000'00FF;
    box.DrawWord3 = 0x2;
    box.DrawWord4 = &layer;
    m_typesetter.TypesetText(box, &m_font);
    ASSERT_EQ(m_font.Calls.size(), 2u);
    const GlyphCall& call = m_font.Calls[0];
    EXPECT_EQ(call.Character, "あ");
    EXPECT_EQ(call.X, 30);
    EXPECT_EQ(call.Y, 40);
    EXPECT_EQ(call.Colour, 0x00FF'0000u);
    EXPECT_EQ(call.SecondColour, 0x0000'00FFu);
    EXPECT_EQ(call.Target, &layer);
    EXPECT_EQ(call.Flags, 0x2u);
    EXPECT_FALSE(call.Vertical);
    // A full-width character advances two cells, a half-width one one.
    EXPECT_EQ(m_font.Calls[1].X, 50);
    EXPECT_EQ(box.CursorX, 60);
}

TEST_F(CFuncStringTest, PlainWrappingFillsALineWithTenHalfOrFiveFullWidthCharacters)
{
    for (const char* text : {"0123456789X", "あいうえおX"}) {
        RecordingFont font;
        TextBox box = Box(text, 0);
        m_typesetter.TypesetText(box, &font);
        ASSERT_FALSE(font.Calls.empty());
        EXPECT_EQ(font.Calls.back().Character, "X");
        EXPECT_THAT(Positions(font).back(), Pair(0, 20)) << text;
        EXPECT_EQ(Positions(font)[font.Calls.size() - 2].second, 0) << text;
        EXPECT_EQ(box.CursorX, 10);
        EXPECT_EQ(box.CursorY, 20);
    }
}

TEST_F(CFuncStringTest, ClosingMarksHangPastTheLineEnd)
{
    TextBox box = Box("あいうえお。。か", 1);
    m_typesetter.TypesetText(box, &m_font);
    EXPECT_THAT(Positions(m_font), ElementsAre(Pair(0, 0), Pair(20, 0), Pair(40, 0), Pair(60, 0), Pair(80, 0),
                                               Pair(100, 0), Pair(120, 0), Pair(0, 20)));
}

TEST_F(CFuncStringTest, OpeningMarksHangBeforeTheMargin)
{
    TextBox box = Box("「あ」", 1);
    m_typesetter.TypesetText(box, &m_font);
    EXPECT_THAT(Positions(m_font), ElementsAre(Pair(-20, 0), Pair(0, 0), Pair(20, 0)));
}

TEST_F(CFuncStringTest, MiddleDotStaysAtTheLineEndAndHangsAtTheStart)
{
    TextBox box = Box("あいうえお・あ・あ", 1);
    m_typesetter.TypesetText(box, &m_font);
    // The dot reaching the edge stays on the line; the character after it wraps.
    EXPECT_THAT(Positions(m_font), ElementsAre(Pair(0, 0), Pair(20, 0), Pair(40, 0), Pair(60, 0), Pair(80, 0),
                                               Pair(100, 0), Pair(0, 20), Pair(20, 20), Pair(40, 20)));
    RecordingFont font;
    TextBox start = Box("・あ", 1);
    m_typesetter.TypesetText(start, &font);
    EXPECT_THAT(Positions(font), ElementsAre(Pair(-20, 0), Pair(0, 0)));
}

TEST_F(CFuncStringTest, NewLinesStartLinesAndStopAtTheBottom)
{
    TextBox fits = Box("あ\nい", 1);
    fits.Bottom = 60;
    m_typesetter.TypesetText(fits, &m_font);
    EXPECT_THAT(Positions(m_font), ElementsAre(Pair(0, 0), Pair(0, 20)));

    // A newline on the last line moves the cursor and ends the layout.
    RecordingFont font;
    TextBox last = Box("あ\nい", 1);
    last.Bottom = 40;
    m_typesetter.TypesetText(last, &font);
    EXPECT_THAT(Positions(font), ElementsAre(Pair(0, 0)));
    EXPECT_EQ(last.CursorX, 0);
    EXPECT_EQ(last.CursorY, 20);
}

TEST_F(CFuncStringTest, ALineEndingAtTheBottomIsDrawnAndOneBelowIsNot)
{
    TextBox exact = Box("あ", 1);
    exact.Bottom = 20;
    m_typesetter.TypesetText(exact, &m_font);
    EXPECT_EQ(m_font.Calls.size(), 1u);

    TextBox too_short = Box("あい", 1);
    too_short.CursorX = 30;
    too_short.Bottom = 19;
    ExpectNothingDrawn(too_short, false);
}

TEST_F(CFuncStringTest, EmptyTextDrawsNothing)
{
    TextBox box = Box("", 1);
    box.CursorX = 7;
    ExpectNothingDrawn(box, true);
}

TEST_F(CFuncStringTest, SceneSkipDrawsNothingAndKeepsTheCursor)
{
    TempDir dir;
    TestApp app;
    app.UseConfigFile(dir.PathOf("config.xml"));
    app.Config().SetInt("/Config/SceneSkip", 1);
    TextBox box = Box("あい", 1);
    box.CursorX = 60;
    ExpectNothingDrawn(box, true);
}

TEST_F(CFuncStringTest, VerticalColumnsRunRightToLeftAndStopAtTheLeftLimit)
{
    // Columns 20 apart from x 60; three characters of height 20 fill a column down to 60.
    TextBox box = Box("あいうえおかきく", 0);
    box.CellWidth = 20;
    box.CursorX = 60;
    box.Bottom = 60;
    m_typesetter.TypesetTextVertical(box, &m_font);
    EXPECT_THAT(Positions(m_font), ElementsAre(Pair(60, 0), Pair(60, 20), Pair(60, 40), Pair(40, 0),
                                               Pair(40, 20), Pair(40, 40)));
    EXPECT_TRUE(m_font.Calls[0].Vertical);
    EXPECT_EQ(box.CursorX, 20);

    RecordingFont font;
    TextBox narrow = Box("あ", 0);
    narrow.CellWidth = 20;
    narrow.CursorX = 19;
    m_typesetter.TypesetTextVertical(narrow, &font);
    EXPECT_TRUE(font.Calls.empty());
}

TEST_F(CFuncStringTest, VerticalLineBreakRulesWrapByTwoCells)
{
    TextBox box = Box("あいう。え「お", 1);
    box.CellWidth = 20;
    box.CursorX = 200;
    box.Bottom = 60;
    m_typesetter.TypesetTextVertical(box, &m_font);
    // う ends the column at 60; 。 hangs there; え wraps two cells left; 「 sits inside the column.
    EXPECT_THAT(Positions(m_font), ElementsAre(Pair(200, 0), Pair(200, 20), Pair(200, 40), Pair(200, 60),
                                               Pair(160, 0), Pair(160, 20), Pair(160, 40)));
}

TEST_F(CFuncStringTest, WithoutAFontTheDocumentsCurrentFontDraws)
{
    auto first = std::make_unique<RecordingFont>();
    auto second = std::make_unique<RecordingFont>();
    auto third = std::make_unique<RecordingFont>();
    RecordingFont* fonts[] = {first.get(), second.get(), third.get()};
    std::unique_ptr<CFontDIB> previous[] = {GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_MAIN, std::move(first)),
                                            GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_SECOND, std::move(second)),
                                            GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_THIRD, std::move(third))};
    const int32_t saved_index = GetScriptState().FontIndex;
    for (int32_t index : {0, 1, 2, 7}) {
        GetScriptState().FontIndex = index;
        TextBox box = Box("あ", 1);
        m_typesetter.TypesetText(box, nullptr);
    }
    GetScriptState().FontIndex = saved_index;
    EXPECT_EQ(fonts[0]->Calls.size(), 2u);
    EXPECT_EQ(fonts[1]->Calls.size(), 1u);
    EXPECT_EQ(fonts[2]->Calls.size(), 1u);
    GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_MAIN, std::move(previous[0]));
    GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_SECOND, std::move(previous[1]));
    GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_THIRD, std::move(previous[2]));
}

// Ten half-width cells to a line: Latin text is laid out character by character, a word
// reaching the edge is cut there and a space that wraps starts the next line.
TEST_F(CFuncStringTest, LatinTextIsCutAtTheEdgeCharacterByCharacter)
{
    TextBox box = Box("the quick brown fox jumps over a lazy dog, then sleeps. abcdefghijklmn ok", 1);
    box.Bottom = 400;
    m_typesetter.TypesetText(box, &m_font);
    std::map<int32_t, std::string> lines;
    for (const GlyphCall& call : m_font.Calls) {
        lines[call.Y] += call.Character;
        EXPECT_LT(call.X, 100) << call.Character;
    }
    std::vector<std::string> text;
    for (const auto& [y, line] : lines)
        text.push_back(line);
    EXPECT_THAT(text, ElementsAre("the quick ", "brown fox ", "jumps over", " a lazy do", "g, then sl",
                                  "eeps. abcd", "efghijklmn", " ok"));
}

// Five full-width cells to a line. Story text keeps sixteen closing marks off a line start: 】
// hangs past the edge, while a full-width comma (a mark only the language tables keep there)
// wraps like any character, and an opening 【 at the edge wraps and hangs before the margin.
TEST_F(CFuncStringTest, StoryTextHangsItsClosingMarksAndWrapsAFullWidthComma)
{
    TextBox box = Box("あいうえお】かきくけこ，さしすせ【た", 1);
    m_typesetter.TypesetText(box, &m_font);
    EXPECT_THAT(Positions(m_font),
                ElementsAre(Pair(0, 0), Pair(20, 0), Pair(40, 0), Pair(60, 0), Pair(80, 0), Pair(100, 0),
                            Pair(0, 20), Pair(20, 20), Pair(40, 20), Pair(60, 20), Pair(80, 20), Pair(0, 40),
                            Pair(20, 40), Pair(40, 40), Pair(60, 40), Pair(80, 40), Pair(-20, 60),
                            Pair(0, 60)));
}

} // namespace
