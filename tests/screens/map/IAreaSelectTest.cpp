#include "screens/map/IAreaSelect.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSprite.h"
#include "screens/base/IRightMenu.h"
#include "screens/map/AreaFixture.h"
#include "screens/map/CAreaBase.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/CStatusPlate.h"
#include "script/FlagBuffer.h"
#include "sheetgen/MapSheets.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr Cell CLEAR{0xFFFFFFFFu, -1};

struct Glyph
{
    std::string text;
    int32_t x;
    int32_t y;
    bool operator==(const Glyph&) const = default;
};

class RecordingFont : public CFontDIB
{
public:
    void DrawText(CStringUTF8 character, int32_t x, int32_t y, uint32_t, uint32_t, ILayer*,
                  uint32_t flags) override
    {
        glyphs.push_back({character.GetStdString(), x, y});
        style = flags;
    }
    std::vector<Glyph> glyphs;
    uint32_t style = 0;
};

class MenuStub : public IRightMenu
{
public:
    int32_t IsOpen() override { return open; }
    int32_t HitTest(int32_t, int32_t) override { return 0xF03; }
    int32_t open = 0;
};

// A bare area screen: opens the base's hit test and font to the tests, and can fail a sprite.
class TestScreen : public IAreaSelect
{
public:
    using IAreaSelect::HitTestPoint;
    CFontDIB* HelpFont() override { return font ? font : IAreaSelect::HelpFont(); }
    CSprite* CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority, int32_t type,
                          int32_t format) override
    {
        if (++calls == failing_call)
            return nullptr;
        return IAreaSelect::CreateSprite(x, y, width, height, priority, type, format);
    }
    CSprite* LoadSprite(const CStringUTF8& name, CSprite* sprite, int32_t kind, int32_t texture_argument,
                        int32_t priority, RECT* out, int32_t x, int32_t y, int32_t fill_mode) override
    {
        loaded.push_back(name.GetStdString());
        return IAreaSelect::LoadSprite(name, sprite, kind, texture_argument, priority, out, x, y, fill_mode);
    }
    RecordingFont* font = nullptr;
    std::vector<std::string> loaded;
    int calls = 0;
    int failing_call = 0;
};

class IAreaSelectThreadTest : public AreaFixture
{
protected:
    static AreaSelectPartSet& Parts() { return AreaSelectParts(); }
    // The game work's two screens give their references back.
    static void ReleaseGameWorkParts()
    {
        GetGameWork()->GetAreaBase()->ReleaseParts();
        GetGameWork()->GetAreaSelect()->ReleaseParts();
    }
    Cell ButtonCell(int32_t button_x, int32_t button_y)
    {
        const Cell cell = ShownCell(button_x + 60, button_y + 60);
        return cell.first == 0xFFFFFFFFu ? CLEAR : cell;
    }
};

TEST_F(IAreaSelectThreadTest, PartsAreSharedUnderTheCountAndRebuiltAfterTheLastRelease)
{
    ASSERT_EQ(Parts().References, 2u); // the place and area screens of the game work
    ReleaseGameWorkParts();
    EXPECT_EQ(Parts().References, 0u);
    EXPECT_FALSE(Parts().HelpBar);
    TestScreen a, b;
    ASSERT_EQ(a.CreateParts(), 1);
    CSprite* first_bar = Parts().HelpBar.get();
    ASSERT_EQ(b.CreateParts(), 1);
    EXPECT_EQ(Parts().HelpBar.get(), first_bar);
    EXPECT_EQ(Parts().References, 2u);
    b.ReleaseParts();
    b.ReleaseParts(); // gives back only what it took
    EXPECT_EQ(Parts().References, 1u);
    a.ReleaseParts();
    EXPECT_EQ(Parts().References, 0u);
    EXPECT_FALSE(Parts().Menu);
    EXPECT_FALSE(Parts().Font);
    ASSERT_EQ(a.CreateParts(), 1);
    EXPECT_TRUE(Parts().HelpBar && Parts().Buttons[5] && Parts().Sheet);
}

TEST_F(IAreaSelectThreadTest, EveryLanguageLoadsThePlainSheet)
{
    ReleaseGameWorkParts();
    for (const int32_t language : {0, 1, 2, 3}) {
        m_app.Config().SetInt("/Config/Language", language);
        TestScreen screen;
        ASSERT_EQ(screen.CreateParts(), 1) << language;
        EXPECT_EQ(screen.loaded, std::vector<std::string>{"select_p.akb"}) << language;
        EXPECT_TRUE(Parts().Sheet) << language;
        screen.ReleaseParts();
    }
}

TEST_F(IAreaSelectThreadTest, AFailedCreationFreesWhatItMadeAndTheNextSucceeds)
{
    ReleaseGameWorkParts();
    for (int failing : {1, 2, 3, 8}) {
        TestScreen screen;
        screen.failing_call = failing;
        EXPECT_EQ(screen.CreateParts(), 0) << failing;
        EXPECT_EQ(Parts().References, 0u);
        EXPECT_FALSE(Parts().Menu || Parts().Font || Parts().HelpBar || Parts().Buttons[0]) << failing;
    }
    TestScreen screen;
    EXPECT_EQ(screen.CreateParts(), 1);
}

TEST_F(IAreaSelectThreadTest, HitTestLayersSharedAreasPlateMenuAndOwnTable)
{
    TestScreen screen;
    ASSERT_EQ(screen.CreateParts(), 1);
    AreaSelectHitAreas().Assign({{0x0005, 600, 0, 700, 100}, {0xFFFFFFFFu, 0, 500, 100, 600}});
    screen.HitAreas.Assign({{0x0102, 0, 200, 100, 300}, {0x0103, 0, 500, 100, 600}});
    auto* menu = new MenuStub;
    Parts().Menu.reset(menu);
    CStatusPlate& plate = *GetGameWork()->GetStatusPlate();
    struct Case
    {
        bool plate_shown;
        uint8_t live_flag;
        int32_t menu_open;
        int32_t x, y;
        int32_t expected;
    };
    const Case cases[] = {
        {true, 1, 0, 650, 50, 0x0005}, // a shared area over the plate wins
        {true, 1, 0, 900, 50, AREA_ID_PLATE},
        {true, 1, 0, 965, 50, -1},      // right edge outside
        {true, 0, 0, 900, 50, -1},      // button not live
        {false, 1, 0, 900, 50, -1},     // plate hidden
        {false, 0, 0, 50, 250, 0x0202}, // own table: group raised by one
        {false, 0, 1, 50, 250, 0xF03},  // the open menu before the own table
        {false, 0, 0, 50, 550, 0x0203}, // a shared -1 record is passed over
        {false, 0, 0, 50, 900, -1},
    };
    for (const Case& c : cases) {
        State().Flags[8003] = c.live_flag;
        if (c.plate_shown)
            plate.ShowAnimated(nullptr);
        else
            plate.HideAnimated(nullptr);
        menu->open = c.menu_open;
        EXPECT_EQ(screen.HitTestPoint(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
}

TEST_F(IAreaSelectThreadTest, TransitionsSlideTheModesButtonsAndIdleInTheirTargetState)
{
    TestScreen screen;
    ASSERT_EQ(screen.CreateParts(), 1);
    State().Variables[57].Integer = 1;
    struct Case
    {
        int32_t mode;
        std::vector<int> shown; // buttons visible after opening with the menus
    };
    const Case cases[] = {{0, {0, 1, 2, 3, 4}}, {1, {0, 1, 3, 4}}, {3, {0, 3, 4}}, {4, {3, 4, 5}}};
    for (const Case& c : cases) {
        screen.AreaSelectMode = c.mode;
        screen.OpenTransition(1);
        screen.OpenTransition(1); // already open: nothing moves
        for (int k = 0; k < AREA_BUTTON_COUNT; ++k) {
            const bool shown = std::find(c.shown.begin(), c.shown.end(), k) != c.shown.end();
            EXPECT_EQ(Parts().Buttons[k]->IsVisible() != 0, shown) << c.mode << " " << k;
            if (shown) {
                EXPECT_EQ(Parts().Buttons[k]->GetPosition().y, k == 5 ? 942 : 803);
            }
        }
        EXPECT_EQ(Parts().HelpBar->GetPosition().y, 952);
        EXPECT_TRUE(GetGameWork()->GetStatusPlate()->IsShown());
        for (int32_t id = AREA_ID_BACK; id <= AREA_ID_QUICKLOAD; ++id)
            screen.DrawFixedButton(id, 1, 0);
        Capture("area_select_open_mode" + std::to_string(c.mode) + ".png");
        if (c.mode == 4) {
            EXPECT_EQ(ButtonCell(1780, 942), Cell(tools::AREA_SHEET_BUTTON + 4, 1));
        } else {
            EXPECT_EQ(ButtonCell(1389, 803), Cell(tools::AREA_SHEET_BUTTON + 2, 1));
            EXPECT_EQ(ButtonCell(1259, 803), c.mode == 3 ? CLEAR : Cell(tools::AREA_SHEET_BUTTON + 1, 1));
        }
        EXPECT_EQ(ShownCell(409 + 600, 952 + 60), Cell(tools::AREA_SHEET_HELP_BAR, 0));
        screen.CloseTransition(1);
        screen.CloseTransition(1);
        for (int k = 0; k < AREA_BUTTON_COUNT; ++k)
            EXPECT_EQ(Parts().Buttons[k]->IsVisible(), 0) << c.mode << " " << k;
        EXPECT_EQ(Parts().HelpBar->IsVisible(), 0);
        EXPECT_EQ(Parts().HelpBar->GetPosition().y, 1160);
        EXPECT_FALSE(GetGameWork()->GetStatusPlate()->IsShown());
    }
}

TEST_F(IAreaSelectThreadTest, FixedButtonsFollowModeFlagsAndQuickSaveState)
{
    TestScreen screen;
    ASSERT_EQ(screen.CreateParts(), 1);
    screen.AreaSelectMode = 0;
    screen.OpenTransition(1);
    screen.AreaSelectMode = 4;
    Parts().Buttons[5]->SetVisibleFlag(1);
    struct Case
    {
        int32_t mode;
        uint8_t hide_decide;
        int32_t quick_saved, replay;
        Cell back, corner, decide, quick_load;
    };
    const uint32_t B = tools::AREA_SHEET_BUTTON;
    const Case cases[] = {
        {0, 0, 1, 0, {B + 2, 1}, CLEAR, {B + 0, 1}, {B + 6, 1}},
        {4, 0, 1, 0, CLEAR, {B + 4, 1}, CLEAR, {B + 6, 1}},
        {2, 0, 0, 0, {B + 2, 1}, CLEAR, {B + 3, 1}, {B + 6, 3}},
        {2, 1, 1, 1, {B + 2, 1}, CLEAR, CLEAR, {B + 6, 3}},
        {1, 0, 1, 0, {B + 2, 1}, CLEAR, CLEAR, {B + 6, 1}},
    };
    for (const Case& c : cases) {
        screen.AreaSelectMode = c.mode;
        State().Flags[AREA_HIDE_DECIDE_FLAG] = c.hide_decide;
        State().Variables[57].Integer = c.quick_saved;
        State().Variables[69].Integer = c.replay;
        for (int32_t id : {AREA_ID_BACK, AREA_ID_DECIDE, AREA_ID_QUICKLOAD, -1, 0xFF09})
            screen.DrawFixedButton(id, 1, 0);
        Capture();
        EXPECT_EQ(ButtonCell(1389, 803), c.back) << c.mode;
        EXPECT_EQ(ButtonCell(1780, 942), c.corner) << c.mode;
        EXPECT_EQ(ButtonCell(1129, 803), c.decide) << c.mode;
        EXPECT_EQ(ButtonCell(531, 803), c.quick_load) << c.mode;
    }
}

std::string Repeat(const std::string& piece, int count)
{
    std::string out;
    for (int k = 0; k < count; ++k)
        out += piece;
    return out;
}

TEST_F(IAreaSelectThreadTest, HelpTextWrapsAndCentresInTheBox)
{
    TestScreen screen;
    RecordingFont font;
    screen.font = &font;
    ASSERT_EQ(screen.CreateParts(), 1);
    State().Values[AREA_TEXT_STYLE_VALUE].Integer = 0x10;
    struct Case
    {
        std::string text;
        int32_t size;
        size_t glyphs;
        Glyph first, last;
    };
    const std::string full = "\xE3\x81\x82"; // a full-width kana
    const Case cases[] = {
        {Repeat(full, 25), 40, 25, {full, 90, 20}, {full, 90 + 24 * 40, 20}},
        {Repeat(full, 26), 40, 26, {full, 90, 0}, {full, 90, 40}},
        {Repeat("a", 50), 40, 50, {"a", 90, 20}, {"a", 90 + 49 * 20, 20}},
        {Repeat("a", 51), 40, 51, {"a", 90, 0}, {"a", 90, 40}},
        {"a\nb", 40, 2, {"a", 90, 0}, {"b", 90, 40}},
        {"a" + full, 20, 2, {"a", 90, 30}, {full, 100, 30}},
        {Repeat(full, 51), 20, 51, {full, 90, 20}, {full, 90, 40}},
    };
    for (const Case& c : cases) {
        font.glyphs.clear();
        screen.ShowHelpText(c.text.c_str(), c.size, 1);
        ASSERT_EQ(font.glyphs.size(), c.glyphs) << c.text;
        EXPECT_EQ(font.glyphs.front(), c.first) << c.text;
        EXPECT_EQ(font.glyphs.back(), c.last) << c.text;
    }
    EXPECT_EQ(font.style, 0x10u);
    font.glyphs.clear();
    screen.ShowHelpText("abc", 40, 0);
    screen.ShowHelpText("", 40, 1);
    EXPECT_TRUE(font.glyphs.empty());
}

} // namespace
