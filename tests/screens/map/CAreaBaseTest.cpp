#include "screens/map/CAreaBase.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "foundation/ConfigSettings.h"
#include "screens/base/IRightMenu.h"
#include "screens/map/AreaFixture.h"
#include "screens/map/CAreaSelect.h"
#include "screens/map/CStatusPlate.h"

namespace {

constexpr int OPEN = 30; // pumps the opening slide may take

class StubMenu : public IRightMenu
{
public:
    StubMenu()
    {
        for (int32_t slot = 0; slot < SIDE_MENU_SLOTS; ++slot)
            ButtonMap[static_cast<size_t>(slot)] = slot;
    }
    int32_t IsOpen() override { return open; }
    void OpenMenu() override { open = 1; }
    void CloseMenu() override { open = 0; }
    void ToggleMenu() override { open = open != 0 ? 0 : 1; }
    // The tab: a strip at the menu's left edge while it is open.
    int32_t HitTest(int32_t x, int32_t) override { return open != 0 && x >= 1520 && x < 1600 ? 0xF00 : -1; }
    int32_t GetButtonState(int32_t kind) override { return kind == 6 ? six_state : 0; }
    int32_t open = 0;
    int32_t six_state = 0;
};

class CAreaBaseThreadTest : public AreaFixture
{
protected:
    CAreaBaseThreadTest() { GetGameWork()->GetAreaSelect()->HitSource = "area_places.area"; }

    static CAreaBase& Screen() { return *GetGameWork()->GetAreaBase(); }

    int32_t Run(int32_t mode, std::function<void(int)> step, int budget = OPEN + 30)
    {
        Screen().Result = ScriptValue::FromInteger(99);
        GetGameWork()->GetAreaSelect()->Result = ScriptValue::FromInteger(0);
        OnPump([&](int pump) {
            if (step)
                step(pump);
            if (pump == budget) {
                Screen().Running = 0;
                GetGameWork()->GetAreaSelect()->Running = 0;
            }
        });
        const int32_t result = Screen().RunWithMode(mode);
        OnPump(nullptr);
        return result;
    }
    std::function<void(int)> ClickAt(int32_t x, int32_t y, int at = OPEN)
    {
        return [this, x, y, at](int pump) {
            if (pump == 1)
                PointAt(x, y);
            m_mouse.left_down = pump >= at && pump < at + 2 ? 1 : 0;
        };
    }
};

constexpr int32_t BACK_X = 1389 + 60, DECIDE_X = 1129 + 60, AREA_X = 1259 + 60, QSAVE_X = 409 + 60,
                  ROW_Y = 803 + 60;

TEST_F(CAreaBaseThreadTest, FixedButtonsDecideTheirAnswersAndRefusedOnesStaySilent)
{
    struct Case
    {
        int32_t mode;
        uint8_t hide_decide;
        int32_t x;
        int32_t expected;
        bool sound;
    };
    const Case cases[] = {
        {0, 0, DECIDE_X, AREA_ID_DECIDE, true},
        {2, 0, DECIDE_X, AREA_ID_DECIDE, true},
        {0, 0, BACK_X, 0, true},
        {1, 0, DECIDE_X, 99, false},
        {2, 1, DECIDE_X, 99, false},
    };
    for (const Case& c : cases) {
        State().Flags[AREA_HIDE_DECIDE_FLAG] = c.hide_decide;
        TakeOkCancelSounds();
        EXPECT_EQ(Run(c.mode, ClickAt(c.x, ROW_Y)), c.expected) << c.mode << " " << c.x;
        EXPECT_EQ(!TakeOkCancelSounds().empty(), c.sound) << c.mode << " " << c.x;
    }
    const auto escape = [this](int pump) {
        m_keyboard.down = pump >= OPEN && pump < OPEN + 2 ? std::set<uint32_t>{1} : std::set<uint32_t>{};
    };
    EXPECT_EQ(Run(0, escape), 0);
}

TEST_F(CAreaBaseThreadTest, TheAreaScreensAnswerEndsThePlaceScreenAndItsZeroBringsItBack)
{
    // Area select, then a place of the area screen: the place screen ends with its answer.
    int area_pump = 0;
    const int32_t chosen = Run(
        0,
        [&](int pump) {
            if (pump == 1)
                PointAt(AREA_X, ROW_Y);
            m_mouse.left_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0;
            if (GetGameWork()->GetAreaSelect()->Running == 1 && area_pump == 0 && pump > OPEN + 2)
                area_pump = pump;
            if (area_pump != 0 && pump == area_pump + OPEN)
                PointAt(300, 650);
            if (area_pump != 0)
                m_mouse.left_down = pump >= area_pump + OPEN + 5 && pump < area_pump + OPEN + 7 ? 1 : 0;
        },
        200);
    EXPECT_EQ(chosen, 0x0202);
    EXPECT_EQ(State().Flags[AREA_HANDOVER_FLAG], 1);
    // With the flag set the next opening goes straight to the area screen; its back answers 0, so
    // the place screen comes in with its own areas again and the flag clears.
    AreaSelectHitAreas().Assign({});
    const int32_t after_back = Run(
        0,
        [&](int pump) {
            if (pump == 1)
                PointAt(1780 + 60, 942 + 60);
            m_mouse.left_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0;
            if (pump == 3 * OPEN)
                PointAt(DECIDE_X, ROW_Y);
            if (pump >= 4 * OPEN && pump < 4 * OPEN + 2)
                m_mouse.left_down = 1;
        },
        200);
    EXPECT_EQ(after_back, AREA_ID_DECIDE);
    EXPECT_EQ(State().Flags[AREA_HANDOVER_FLAG], 0);
    EXPECT_NE(AreaSelectHitAreas().Find(AREA_ID_QUICKLOAD), nullptr); // "areasel_00.area" again
}

// The quick save's sound says a save was made. Refused (the system file cannot be opened), each
// press says so in a box, writes nothing and stays silent; made, it sounds once and redraws quick
// load as available.
TEST_F(CAreaBaseThreadTest, AQuickSaveSoundsOnlyWhenMadeAndRedrawsQuickLoad)
{
    const std::filesystem::path system_file = m_dir.Path() / "FLAG000";
    std::filesystem::remove(system_file);
    std::filesystem::create_directory(system_file);
    State().Variables[57].Integer = 0;
    const auto saved_sounds = [this] { return std::ranges::count(TakeOkCancelSounds(), "play ses_003.wav"); };
    const auto presses = [this](int count) {
        return [this, count](int pump) {
            if (pump == 1)
                PointAt(QSAVE_X, ROW_Y);
            const int press = (pump - OPEN) / 15;
            m_mouse.left_down = pump >= OPEN && press < count && (pump - OPEN) % 15 < 2 ? 1 : 0;
        };
    };
    TakeOkCancelSounds();
    m_messages.clear();
    Run(0, presses(2), OPEN + 40);
    EXPECT_EQ(m_messages.size(), 2u) << "each refused quick save says so";
    EXPECT_EQ(saved_sounds(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "FLAG201"));
    EXPECT_EQ(State().Variables[57].Integer, 0);

    std::filesystem::remove(system_file);
    Run(0, [&](int pump) {
        presses(1)(pump);
        if (pump == OPEN + 10)
            Capture("area_base_after_quick_save.png");
    });
    EXPECT_EQ(saved_sounds(), 1);
    EXPECT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(State().Variables[57].Integer, 1);
    EXPECT_EQ(ShownCell(531 + 60, ROW_Y), std::make_pair(tools::AREA_SHEET_BUTTON + 6, 0));
}

TEST_F(CAreaBaseThreadTest, ArrowTableFollowsTheMenuAndTheDecideFlag)
{
    auto* menu = new StubMenu;
    AreaSelectParts().Menu.reset(menu);
    struct Case
    {
        int32_t hover;
        bool open;
        int32_t six_state;
        uint8_t hide_decide;
        std::array<int32_t, 4> targets; // up, down, left, right
    };
    const Case cases[] = {
        {-1, false, 0, 0, {0xF00, 0xF00, 0xF00, 0xF00}},
        {0xF02, false, 0, 0, {0xF00, 0xFF00, 0xFF00, 0xF00}},
        {0xF00, true, 0, 0, {-1, 0xF01, 0xFF00, -1}},
        {0xF04, true, 4, 0, {0xF03, 0xFF00, 0xFF00, -1}},
        {0xF04, true, 0, 0, {0xF03, 0xF05, 0xFF00, -1}},
        {0xF06, true, 4, 0, {0xF00, 0xF00, 0xFF00, 0xF00}},
        {0xF06, true, 0, 0, {0xF05, 0xFF00, 0xFF00, -1}},
        {0xF02, true, 0, 0, {0xF01, 0xF03, 0xFF00, -1}},
        {0xFF00, true, 4, 0, {0xF04, -1, 0xFF01, 0xF00}},
        {0xFF00, true, 0, 0, {0xF06, -1, 0xFF01, 0xF00}},
        {0xFF01, false, 0, 0, {0xF00, -1, 0xFF02, 0xFF00}},
        {0xFF01, false, 0, 1, {0xF00, -1, 0xFF04, 0xFF00}},
        {0xFF02, false, 0, 0, {0xF00, -1, 0xFF04, 0xFF01}},
        {0xFF03, false, 0, 0, {0xF00, -1, -1, 0xFF04}},
        {0xFF04, false, 0, 0, {0xF00, -1, 0xFF03, 0xFF02}},
        {0xFF04, false, 0, 1, {0xF00, -1, 0xFF03, 0xFF01}},
        {0xFF0F, false, 0, 0, {0xF00, -1, -1, 0xF00}},
        {0x0301, false, 0, 0, {-1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        Screen().Hover = c.hover;
        menu->open = c.open ? 1 : 0;
        menu->six_state = c.six_state;
        State().Flags[AREA_HIDE_DECIDE_FLAG] = c.hide_decide;
        for (int32_t direction = 0; direction < 4; ++direction)
            EXPECT_EQ(Screen().ArrowTarget(direction), c.targets[static_cast<size_t>(direction)])
                << std::hex << c.hover << " " << direction;
    }
}

TEST_F(CAreaBaseThreadTest, AMenuPinnedByItsTabStaysShutUntilThePointerHasLeftTheStrip)
{
    auto* menu = new StubMenu;
    AreaSelectParts().Menu.reset(menu);
    std::map<int, int32_t> open_at;
    Run(
        0,
        [&](int pump) {
            // Pump numbers after the opening slide.
            const int at = pump - OPEN;
            const std::map<int, POINT> moves{{1, {1900, 500}},  // the right edge opens it
                                             {10, {1550, 500}}, // the tab
                                             {25, {1900, 500}}, // pinned: the edge leaves it shut
                                             {32, {1530, 300}},
                                             {38, {1000, 300}}, // outside the strip: unpinned
                                             {44, {1900, 500}}};
            if (auto move = moves.find(at); move != moves.end())
                PointAt(move->second.x, move->second.y);
            m_mouse.left_down = at >= 15 && at < 17 ? 1 : 0;
            open_at[at] = menu->open;
        },
        OPEN + 50);
    for (auto [pump, open] : {std::pair{8, 1}, {20, 0}, {30, 0}, {36, 0}, {42, 0}, {49, 1}})
        EXPECT_EQ(open_at[pump], open) << "pump " << pump;
    AreaSelectParts().Menu.reset();
}

TEST_F(CAreaBaseThreadTest, ThePlateButtonTogglesTheGameModeAndRedrawsAtOnce)
{
    State().Flags[8003] = 1;
    CStatusPlate& plate = *GetGameWork()->GetStatusPlate();
    struct Case
    {
        int32_t before, after;
        uint32_t cell;
    };
    const Case cases[] = {{0, 1, tools::PLATE_BUTTON_GAME_MODE},
                          {1, 0, tools::PLATE_BUTTON_OTHER},
                          {2, 0, tools::PLATE_BUTTON_OTHER}};
    for (const Case& c : cases) {
        SetConfigGameMode(c.before);
        plate.ShowAnimated(nullptr);
        int32_t seen_after_click = -1;
        TakeOkCancelSounds();
        const int32_t result = Run(0, [&](int pump) {
            if (pump == 1)
                PointAt(900, 50);
            m_mouse.left_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0;
            if (pump == OPEN + 20) {
                Capture("area_base_plate_mode" + std::to_string(c.after) + ".png");
                seen_after_click = Screen().GameModeSeen;
            }
        });
        EXPECT_EQ(result, 99) << "the screen stays";
        EXPECT_EQ(GetConfigGameMode(), c.after) << c.before;
        EXPECT_EQ(seen_after_click, c.after) << "refreshed on the next frame, from " << c.before;
        EXPECT_EQ(ShownCell(900, 50), std::make_pair(c.cell, 0)) << c.before;
        EXPECT_FALSE(TakeOkCancelSounds().empty());
    }
    SetConfigGameMode(0);
}

} // namespace

TEST_F(CAreaBaseThreadTest, QuickLoadIsRefusedInReplayMode)
{
    State().Variables[57].Integer = 1;
    State().Variables[69].Integer = 1;
    TakeOkCancelSounds();
    EXPECT_NO_THROW(EXPECT_EQ(Run(0, ClickAt(531 + 60, ROW_Y)), 99));
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    State().Variables[69].Integer = 0;
}
