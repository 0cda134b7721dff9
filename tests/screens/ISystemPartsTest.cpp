#include "screens/system/ISystemParts.h"

#include <cstring>
#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"

namespace {

constexpr uint32_t OLD_PAGE = 0xFF2040A0u;
constexpr uint32_t NEW_PAGE = 0xFFC03010u;
constexpr uint32_t GAME = 0xFF000000u; // nothing else is drawn under the pages here

class TestPage : public ISystemParts
{
public:
    using ISystemParts::MaskImageLayer;
    using ISystemParts::MaskLayer;
    using ISystemParts::SharedFont;
    using ISystemParts::ViewImageLayer;
    using ISystemParts::ViewLayer;
    using ISystemParts::WorkLayer;
};

class ISystemPartsThreadTest : public ScreenFixture
{
protected:
    ISystemPartsThreadTest() { EXPECT_EQ(m_page.CreateParts(), 1); }

    // Fills a layer whole and marks it drawn.
    static void Fill(CSpriteLayer* sprite, uint32_t colour)
    {
        SpriteLayerOf(sprite)->FillRect(0, 0, 1920, 1080, colour, 1);
        sprite->Invalidate(1, *sprite->GetRect());
    }

    FlagBuffer& State() { return *GetScriptState().m_current_state; }

    TestPage m_page;
};

TEST_F(ISystemPartsThreadTest, TheOpeningTransitionFollowsWhatIsShownAndWhatWaits)
{
    struct Case
    {
        const char* name;
        bool view_shown;
        bool picture_waits;
        uint32_t shown_after;
    } cases[] = {
        {"cross-fade to the waiting picture", true, true, NEW_PAGE},
        {"fade in over a hidden view", false, true, NEW_PAGE},
        {"nothing waits: the page stays", true, false, OLD_PAGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(m_page.ViewLayer(), OLD_PAGE);
        Fill(m_page.MaskLayer(), 0);
        m_page.ViewLayer()->SetAlpha(255);
        m_page.MaskLayer()->SetAlpha(255);
        m_page.ViewLayer()->SetVisibleFlag(c.view_shown ? 1 : 0);
        m_page.MaskLayer()->SetVisibleFlag(c.view_shown ? 1 : 0);
        Fill(m_page.ViewImageLayer(), NEW_PAGE);
        Fill(m_page.MaskImageLayer(), 0);
        m_page.ViewImageLayer()->SetVisibleFlag(c.picture_waits ? 1 : 0);
        m_page.MaskImageLayer()->SetVisibleFlag(c.picture_waits ? 1 : 0);
        Capture();
        EXPECT_EQ(Shown(960, 540), c.view_shown ? OLD_PAGE : GAME);

        m_page.OpenTransition(nullptr);
        Capture();
        EXPECT_EQ(Shown(960, 540), c.shown_after);
        EXPECT_EQ(m_page.ViewLayer()->IsVisible(), 1);
        EXPECT_EQ(m_page.ViewImageLayer()->IsVisible(), 0);
        EXPECT_EQ(m_page.MaskImageLayer()->IsVisible(), 0);
    }
}

TEST_F(ISystemPartsThreadTest, TheClosingTransitionKeepsTheViewOnlyWhenAsked)
{
    for (int32_t keep : {1, 0}) {
        Fill(m_page.ViewLayer(), OLD_PAGE);
        m_page.ViewLayer()->SetAlpha(255);
        m_page.ViewLayer()->SetVisibleFlag(1);
        m_page.MaskLayer()->SetVisibleFlag(1);
        m_page.KeepView = keep;
        m_page.CloseTransition(nullptr);
        Capture();
        EXPECT_EQ(Shown(960, 540), keep ? OLD_PAGE : GAME) << "keep " << keep;
        EXPECT_EQ(m_page.ViewLayer()->IsVisible(), keep);
        EXPECT_EQ(m_page.MaskLayer()->IsVisible(), keep);
    }
}

TEST_F(ISystemPartsThreadTest, ThePartsAreMadeOnceAndLiveWhileAnyPageHoldsThem)
{
    CSpriteLayer* view = m_page.ViewLayer();
    ASSERT_NE(view, nullptr);
    EXPECT_NE(m_page.WorkLayer(), nullptr);
    EXPECT_NE(m_page.SharedFont(), nullptr);
    EXPECT_EQ(m_page.CreateParts(), 1) << "a second build";
    EXPECT_EQ(m_page.ViewLayer(), view) << "makes nothing";
    for (int cycle = 0; cycle < 3; ++cycle) {
        TestPage other;
        EXPECT_EQ(other.CreateParts(), 1);
        other.ReleaseParts();
        other.ReleaseParts(); // a second release of one page drops nothing more
        EXPECT_EQ(m_page.ViewLayer(), view) << "cycle " << cycle;
    }
    TestPage never_built; // goes without having held the parts
}

TEST_F(ISystemPartsThreadTest, TheLastHoldFreesThePartsAndTheNextBuildMakesThemAgain)
{
    // The game work's pages hold the parts too: drop them all.
    GetGameWork()->DestroyObjects();
    m_page.ReleaseParts();
    EXPECT_EQ(m_page.ViewLayer(), nullptr);
    EXPECT_EQ(m_page.SharedFont(), nullptr);
    EXPECT_EQ(m_page.CreateParts(), 1);
    EXPECT_NE(m_page.ViewLayer(), nullptr);
    EXPECT_NE(m_page.MaskImageLayer(), nullptr);
}

TEST_F(ISystemPartsThreadTest, TabStatesFollowTheGameState)
{
    FlagBuffer& state = State();
    state.Variables.resize(80, ScriptValue::FromInteger(0));
    state.Values.resize(60, ScriptValue::FromInteger(0));
    struct Case
    {
        const char* name;
        int32_t current, id, variable69, variable53, usable_bit, expected;
    } cases[] = {
        {"save on the save page", 2, 0x0E02, 0, 1, 1, 2}, {"save elsewhere", 3, 0x0E02, 0, 1, 1, 0},
        {"save during replay", 2, 0x0E02, 1, 1, 1, 3},    {"save before the story", 2, 0x0E02, 0, 1, 0, 3},
        {"load without a save", 3, 3, 0, 0, 1, 3},        {"load on the load page", 3, 3, 0, 1, 0, 2},
        {"load during replay", 3, 3, 1, 1, 1, 3},         {"title on its own page", 5, 5, 0, 1, 1, 0},
        {"title before the story", 5, 5, 0, 1, 0, 3},     {"backlog without records", 4, 4, 0, 1, 1, 3},
        {"settings on its page", 0, 0x0E00, 1, 0, 0, 2},  {"sound from settings", 0, 0x0E01, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        m_page.CurrentPage = c.current;
        state.Variables[69] = ScriptValue::FromInteger(c.variable69);
        state.Variables[53] = ScriptValue::FromInteger(c.variable53);
        state.Values[55] = ScriptValue::FromInteger(c.usable_bit ? 0x4 : 0);
        EXPECT_EQ(m_page.GetMenuTabState(c.id), c.expected) << c.name;
    }
}

// Two layers compare equal pixel for pixel.
bool SamePixels(CSpriteLayer& a, CSpriteLayer& b)
{
    for (int y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.GetPixelPtr(0, y), b.GetPixelPtr(0, y), static_cast<size_t>(a.GetWidth()) * 4) != 0)
            return false;
    return true;
}

TEST_F(ISystemPartsThreadTest, TextInARectangleWrapsAndCentresItsLines)
{
    struct Glyph
    {
        const char* character;
        int32_t x, y;
    };
    struct Case
    {
        const char* text;
        int32_t right;
        std::vector<Glyph> expected;
    } cases[] = {
        {"A", 1000, {{"A", 0, 35}}},
        {"", 1000, {}},
        {"AAAAA", 60, {{"A", 0, 20}, {"A", 15, 20}, {"A", 30, 20}, {"A", 45, 20}, {"A", 0, 50}}},
        {"\xE3\x81\x82"
         "A\nB",
         1000,
         {{"\xE3\x81\x82", 0, 20}, {"A", 30, 20}, {"B", 0, 50}}},
    };
    for (const Case& c : cases) {
        CSpriteLayer drawn;
        CSpriteLayer expected;
        drawn.Create(0, 0, 1000, 100, -1);
        expected.Create(0, 0, 1000, 100, -1);
        m_page.DrawTextInRect(c.text, &drawn, 0xFFFFFFFF, 30, 0, 0, c.right, 100);
        m_page.SharedFont()->SetFontSize(30, 30);
        for (const Glyph& g : c.expected)
            m_page.SharedFont()->DrawText(g.character, g.x, g.y, 0xFFFFFFFF, 0, &expected, 0);
        EXPECT_TRUE(SamePixels(drawn, expected)) << c.text;
    }
}

TEST_F(ISystemPartsThreadTest, FlowingTextSkipsEmptyLinesAndAnswersItsHeight)
{
    struct Case
    {
        const char* text;
        int32_t max_width;
        int32_t height;
        const char* same_as; // the text that draws the same pixels
    } cases[] = {
        {"\nAB", 40, 30, "AB"}, {"A\nB", 40, 60, nullptr}, {"A\\\\B", 40, 60, nullptr},
        {"ABC", 0, 30, ""},     {"ABCD", 2, 30, "AB"},
    };
    for (const Case& c : cases) {
        CSpriteLayer drawn;
        drawn.Create(0, 0, 400, 200, -1);
        EXPECT_EQ(m_page.DrawTextFlow(10, 10, c.text, &drawn, c.max_width, 30, 0xFFFFFFFF, 0), c.height)
            << c.text;
        if (c.same_as == nullptr)
            continue;
        CSpriteLayer expected;
        expected.Create(0, 0, 400, 200, -1);
        m_page.DrawTextFlow(10, 10, c.same_as, &expected, 40, 30, 0xFFFFFFFF, 0);
        EXPECT_TRUE(SamePixels(drawn, expected)) << c.text;
    }
}

} // namespace
