#include <algorithm>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CWinApp.h"
#include "foundation/ConfigSettings.h"
#include "graphics/EffectClock.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/VirtualClock.h"
#include "screens/base/CBacklogScreen.h"
#include "screens/map/CStatusPlate.h"
#include "screens/map/CSubMap.h"
#include "screens/map/TownMapFixture.h"
#include "screens/system/CSaveDialog.h"
#include "script/ScriptState.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"
#include "townmap/TownMapWriter.h"

namespace {

// A side menu whose button under the pointer, states and answers the test sets.
class MenuMap : public FileMap
{
public:
    MenuMap()
    {
        for (int32_t slot = 0; slot < SIDE_MENU_SLOTS; ++slot)
            ButtonMap[static_cast<size_t>(slot)] = slot;
    }
    int32_t HitTest(int32_t, int32_t) override { return hit; }
    int32_t GetButtonState(int32_t code) override { return code == disabled ? 1 : 0; }
    void DrawButton(int32_t id, int32_t state, int32_t) override { drawn.push_back({id, state}); }
    void ToggleMenu() override { ++toggles; }
    void OpenMenu() override { ++opens, open = 1; }
    void CloseMenu() override { ++closes, open = 0; }
    int32_t IsOpen() override { return open; }
    int32_t hit = -1;
    int32_t disabled = -1;
    int toggles = 0;
    int opens = 0;
    int closes = 0;
    int32_t open = 0;
    std::vector<std::pair<int32_t, int32_t>> drawn;
};

// A backlog that counts its runs and ends each at once.
class CountingBacklog : public CBacklogScreen
{
public:
    void ModalLoop() override
    {
        ++runs;
        Result = ScriptValue::FromInteger(-1);
    }
    int runs = 0;
};

// A sub map that answers at once.
class AnsweringSubMap : public CSubMap
{
public:
    void OnOpen() override { Running = 1; }
    void OnClose() override {}
    void ModalLoop() override { Result = ScriptValue::FromInteger(answer); }
    int32_t answer = -1;
};

class CCpsScreenThreadTest : public TownMapFixture
{
protected:
    CCpsScreenThreadTest()
    {
        tools::MoverBlockSpec spec;
        spec.movers = {{0x41, 0, 1, 2, 3, 4, 0x10, 0}};
        spec.programs = {{{9, 0}}};
        for (size_t i = 0; i < spec.movers.size(); ++i) {
            State().Flags[7091 + 3 * i] = static_cast<uint8_t>(spec.movers[i].x);
            State().Flags[7092 + 3 * i] = static_cast<uint8_t>(spec.movers[i].y);
        }
        map.files["walk.map"] = tools::BuildWalkMap(Free(60, 40));
        map.files["movers.bin"] = tools::BuildMoverBlock(spec);
        map.LoadWalkMap("walk.map");
        map.LoadMovers("movers.bin");
        auto sub_map = std::make_unique<AnsweringSubMap>();
        sub_map_answer = &sub_map->answer;
        saved_sub_map = GetGameWork()->ExchangeScreen(std::unique_ptr<CSubMap>());
        GetGameWork()->ExchangeScreen(std::move(sub_map));
    }
    ~CCpsScreenThreadTest() override
    {
        GetGameWork()->ExchangeScreen(std::move(saved_sub_map));
        SetSpeed(1);
        SetConfigGameMode(0);
    }
    static void SetSpeed(int speed) { GetApp()->GetConfigDocument()->SetInt("/Config/MapSpeed", speed); }
    // The times of the steps Update makes over the span, the clock moving 1 ms a pass.
    std::vector<uint32_t> StepTimes(uint32_t span)
    {
        std::vector<uint32_t> times;
        uint32_t last = map.LastStepTime;
        for (uint32_t t = 0; t < span; ++t) {
            platform::VirtualClock::Advance(1);
            map.Update();
            if (map.LastStepTime != last)
                times.push_back(last = map.LastStepTime);
        }
        return times;
    }

    MenuMap map;
    int32_t* sub_map_answer = nullptr;
    std::unique_ptr<CSubMap> saved_sub_map;
};

} // namespace

TEST_F(CCpsScreenThreadTest, StepsArePacedByTheMapSpeedWithoutCatchingUp)
{
    struct Case
    {
        int speed;
        uint32_t gap;
    } cases[] = {{0, 67}, {1, 34}, {2, 17}, {3, 34}};
    for (const Case& c : cases) {
        SetSpeed(c.speed);
        map.Running = 1;
        StepTimes(200);
        const std::vector<uint32_t> times = StepTimes(300);
        ASSERT_GE(times.size(), 2u);
        for (size_t i = 1; i < times.size(); ++i)
            EXPECT_EQ(times[i] - times[i - 1], c.gap) << "speed " << c.speed;
        // A slow frame: one step now, the next a whole interval later.
        platform::VirtualClock::Advance(1000);
        map.Update();
        const uint32_t after = map.LastStepTime;
        const std::vector<uint32_t> next = StepTimes(c.gap);
        ASSERT_EQ(next.size(), 1u);
        EXPECT_EQ(next[0] - after, c.gap);
    }
}

TEST_F(CCpsScreenThreadTest, OnlyStepsThatShowSomethingKeepTheNextOneDue)
{
    // The leader steered from (10, 10); a walker counting down, then stepping right until the
    // map's edge (60 columns) blocks it; a third pacing one cell right and back for ever, once
    // it is let go.
    tools::MoverBlockSpec spec;
    spec.movers = {
        {0x41, 0, 1, 2, 10, 10, 0x10, 0}, {0x11, 0, 1, 2, 55, 20, 0x30, 1}, {0x11, 0, 1, 2, 30, 30, 0x10, 2}};
    spec.programs = {{{14, 0}}, {{9, 3}, {5, 0}}, {{5, 1}, {4, 1}}};
    map.files["movers.bin"] = tools::BuildMoverBlock(spec);
    const uint8_t places[] = {10, 10, 0x10, 55, 20, 0x30, 30, 30, 0x10};
    std::copy(std::begin(places), std::end(places), State().Flags.begin() + 7091);
    ASSERT_EQ(map.LoadMovers("movers.bin"), 1u);
    map.MoverAt(2).SetState(0);
    SetSpeed(1);
    map.Running = 1;
    platform::SetIdleWait(+[](uint32_t) { return false; }); // this thread's rests take the notes
    // One pass of Update after the clock moved on; the step it leaves due, if any.
    const auto pass = [&](uint32_t ms) {
        platform::VirtualClock::Advance(ms);
        platform::TakeDueTime(); // the last pass's note, whose time has come
        map.Update();
        return platform::TakeDueTime();
    };
    const auto noted = [&](uint32_t ms) {
        const std::optional<uint32_t> due = pass(ms);
        return due.has_value() && *due == map.LastUpdateStep + 34;
    };
    // The walker counts down, then walks to the edge, a step each pass however far apart the
    // passes come: only the leader's steps redraw the view, so none of its steps is noted.
    for (int step = 0; step < 7; ++step)
        EXPECT_FALSE(pass(35).has_value()) << "step " << step << " at " << map.MoverAt(1).X();
    EXPECT_EQ(map.MoverAt(1).X(), 59);
    EXPECT_FALSE(pass(1000).has_value()) << "still nothing, a second later";
    // A held arrow walks the leader a cell every step, the first at once, however soon after the
    // last step; let go, the map rests again.
    m_keyboard.down = {205};
    EXPECT_TRUE(noted(1));
    EXPECT_EQ(map.MoverAt(0).X(), 11);
    for (int step = 0; step < 2; ++step)
        EXPECT_TRUE(noted(34)) << "arrow, step " << step;
    EXPECT_EQ(map.MoverAt(0).X(), 13);
    m_keyboard.down.clear();
    EXPECT_FALSE(pass(34).has_value()) << "the leader stands";
    // So does a held button, towards the pointer, until the leader stands under it; held on, the
    // steps stay due while another mover walks and might free its way, and not once none does.
    m_mouse.left_down = 1;
    PointAt(15 * 40 + 20, 11 * 40 + 20);
    for (int step = 0; step < 3; ++step)
        EXPECT_TRUE(noted(34)) << "button, step " << step;
    EXPECT_EQ(map.MoverAt(0).X(), 15);
    EXPECT_FALSE(pass(34).has_value()) << "the leader at " << map.MoverAt(0).X();
    map.MoverAt(2).SetState(0x11);
    for (int step = 0; step < 3; ++step)
        EXPECT_TRUE(noted(34)) << "the third mover, step " << step;
    map.MoverAt(2).SetState(0);
    EXPECT_FALSE(pass(34).has_value()) << "the leader at " << map.MoverAt(0).X();
    m_mouse.left_down = 0;
    // After a rest through steps that only the third mover would have taken, the turn a press
    // brings (on the side menu, far right) does not steer the leader; the next step does.
    map.MoverAt(2).SetState(0x11);
    EXPECT_FALSE(pass(34).has_value());
    m_mouse.left_down = 1;
    PointAt(1900, 11 * 40 + 20);
    EXPECT_FALSE(pass(1000).has_value() && map.MoverAt(0).X() != 15) << "stepped at the press";
    EXPECT_TRUE(noted(34));
    EXPECT_EQ(map.MoverAt(0).X(), 16);
    m_mouse.left_down = 0;
    platform::SetIdleWait(nullptr);
}

TEST_F(CCpsScreenThreadTest, ShiftOrCtrlStepFastExceptInSkipMode)
{
    struct Case
    {
        uint32_t key;
        bool skipping;
        bool fast;
    } cases[] = {{0, false, false},  {42, false, true}, {54, false, true}, {29, false, true},
                 {157, false, true}, {42, true, false}, {157, true, false}};
    for (const Case& c : cases) {
        m_keyboard.down.clear();
        if (c.key != 0)
            m_keyboard.down.insert(c.key);
        State().SetEngineStateWord(c.skipping ? 0x4000 : 0);
        map.RunFrame();
        EXPECT_EQ(map.FastStep, c.fast) << c.key << " " << c.skipping;
    }
    m_keyboard.down.clear();
    State().SetEngineStateWord(0);
}

TEST_F(CCpsScreenThreadTest, AnEventAreaEndsTheScreenWithItsId)
{
    map.files["events.bin"] = tools::BuildEventAreaFile({{0x123, 0, 0, 59, 39, 0x0F}});
    map.LoadEventAreas("events.bin", 3);
    map.Running = 1;
    StepTimes(40);
    EXPECT_EQ(map.Running, 0);
    EXPECT_EQ(map.Result.Integer, 0x123);
}

TEST_F(CCpsScreenThreadTest, CancelRunsTheSubMap)
{
    // The sub map itself, not the side menu's way to it, which also takes and drops a snapshot.
    GetGameWork()->SetStatusBits(STATUS_SNAPSHOT_TAKEN);
    *sub_map_answer = -1;
    map.OnCancel();
    EXPECT_NE(GetGameWork()->GetStatus() & STATUS_SNAPSHOT_TAKEN, 0u);
    GetGameWork()->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);

    for (auto [answer, running, result] : std::vector<std::array<int32_t, 3>>{{-1, 1, 77}, {5, 0, 0xFF05}}) {
        *sub_map_answer = answer;
        map.Running = 1;
        map.Result = ScriptValue::FromInteger(77);
        map.OnCancel();
        EXPECT_EQ(map.Running, running);
        EXPECT_EQ(map.Result.Integer, result);
    }
}

TEST_F(CCpsScreenThreadTest, SideMenuButtons)
{
    // A disabled button does nothing at all; the backlog button nothing while the backlog is empty.
    for (auto [button, disabled] : std::vector<std::array<int32_t, 2>>{{0, 0}, {4, -1}}) {
        map.disabled = disabled;
        map.drawn.clear();
        map.HoverId = 0xF00 + button;
        map.OnDecide();
        EXPECT_TRUE(map.drawn.empty()) << button;
        EXPECT_EQ(map.toggles, 0);
        EXPECT_TRUE(TakeOkCancelSounds().empty());
    }
    map.disabled = -1;
    map.HoverId = 0xF00;
    map.OnDecide();
    EXPECT_EQ(map.toggles, 1);
    EXPECT_EQ(map.HoverId, -1);
    EXPECT_EQ(map.drawn, (std::vector<std::pair<int32_t, int32_t>>{{0, 2}, {0, 0}}));
    // The sub-map button ends the map with the sub map's answer.
    *sub_map_answer = 3;
    map.Running = 1;
    map.HoverId = 0xF05;
    map.OnDecide();
    EXPECT_EQ(map.Running, 0);
    EXPECT_EQ(map.Result.Integer, 0xFF03);
}

TEST_F(CCpsScreenThreadTest, TheSideMenuFollowsThePointerOnlyWhenItsStateChanges)
{
    // Each pass over the pointer's path; the menu opens or closes only where its state changes,
    // never again on every pass while the pointer rests.
    struct Pass
    {
        int32_t x, y;
        int opens, closes;
    };
    const std::vector<Pass> passes{
        {900, 500, 0, 0},  {900, 500, 0, 0},  {1900, 500, 1, 0}, {1900, 500, 1, 0},
        {1600, 500, 1, 0}, {1400, 500, 1, 1}, {1400, 500, 1, 1}, {1900, 0, 1, 1},
    };
    for (size_t n = 0; n < passes.size(); ++n) {
        PointAt(passes[n].x, passes[n].y);
        map.Update();
        EXPECT_EQ(map.opens, passes[n].opens) << n;
        EXPECT_EQ(map.closes, passes[n].closes) << n;
    }
    // Closed by its tab, the menu waits for the pointer to leave once before the edge opens it.
    map.MenuOpenedByTab = true;
    PointAt(1900, 500);
    map.Update();
    EXPECT_EQ(map.opens, 1);
    PointAt(900, 500);
    map.Update();
    map.Update();
    EXPECT_EQ(map.closes, 2);
    EXPECT_FALSE(map.MenuOpenedByTab);
    PointAt(1900, 500);
    map.Update();
    EXPECT_EQ(map.opens, 2);
}

TEST_F(CCpsScreenThreadTest, GameModeChangesAreNoticed)
{
    SetConfigGameMode(0);
    map.ShownGameMode = 0;
    map.HoverId = 0xE00;
    map.OnDecide();
    EXPECT_EQ(GetConfigGameMode(), 1);
    EXPECT_EQ(map.ShownGameMode, 1u);
    EXPECT_EQ(map.HoverId, -1);
    SetConfigGameMode(0);
    map.Update();
    EXPECT_EQ(map.ShownGameMode, 0u);
}

TEST_F(CCpsScreenThreadTest, StepsGoOnAcrossTheClocksWrap)
{
    SetSpeed(1);
    platform::VirtualClock::Advance(0xFFFFFFF0u - GetEffectTime());
    map.Update();
    const std::vector<uint32_t> times = StepTimes(200);
    ASSERT_GE(times.size(), 5u);
    EXPECT_LT(times.back(), 1000u); // past the wrap
}

TEST_F(CCpsScreenThreadTest, HoverDrawsTheMenuButtonAndThePlateButtonAndClearsTheOldOne)
{
    State().Flags[8003] = 1;
    GetGameWork()->GetStatusPlate()->ShowAnimated(nullptr);
    map.Running = 1;
    map.hit = 0xF02;
    PointAt(1600, 500);
    map.Update();
    map.hit = 0xF03;
    map.Update();
    map.Update();
    EXPECT_EQ(map.drawn, (std::vector<std::pair<int32_t, int32_t>>{{2, 1}, {2, 0}, {3, 1}}));
    // Onto the plate's button, which the pointer's leaving the strip makes hoverable.
    map.hit = -1;
    PointAt(900, 50);
    map.Update();
    EXPECT_EQ(map.HoverId, 0xE00);
    // With the plate's button off the plate is nothing to hover.
    State().Flags[8003] = 0;
    map.Update();
    EXPECT_EQ(map.HoverId, -1);
    GetGameWork()->GetStatusPlate()->HideAnimated(nullptr);
}

TEST_F(CCpsScreenThreadTest, ReturnToTitleEndsWithOneAndTheBacklogButtonRunsOnlyWithEntries)
{
    // The return confirmation (dialog 3) off: confirmed at once.
    SetConfigDialogEnable(3, 0);
    map.Running = 1;
    map.HoverId = 0xF07;
    map.OnDecide();
    EXPECT_EQ(map.Running, 0);
    EXPECT_EQ(map.Result.Integer, 1);
    EXPECT_EQ(map.HoverId, -1);
    SetConfigDialogEnable(3, 1);

    // One entry with text: the backlog runs once, the button is pressed and redrawn, and the map
    // goes on.
    BacklogStore& backlog = GetScriptState().m_script_context->Backlog;
    backlog.Allocate(1);
    backlog.Entries[0]->Code = {1, 0};
    backlog.Entries[0]->BodyText = "冬休みの最初の朝です";
    ASSERT_EQ(CountBacklogEntries(), 1);
    auto counting = std::make_unique<CountingBacklog>();
    const int* runs = &counting->runs;
    std::unique_ptr<CBacklogScreen> saved = GetGameWork()->ExchangeScreen(std::unique_ptr<CBacklogScreen>());
    GetGameWork()->ExchangeScreen(std::move(counting));
    map.drawn.clear();
    map.Running = 1;
    map.HoverId = 0xF04;
    TakeOkCancelSounds();
    map.OnDecide();
    EXPECT_EQ(*runs, 1);
    GetGameWork()->ExchangeScreen(std::move(saved));
    EXPECT_EQ(map.drawn, (std::vector<std::pair<int32_t, int32_t>>{{4, 2}, {4, 0}}));
    EXPECT_FALSE(TakeOkCancelSounds().empty());
    EXPECT_EQ(map.Running, 1);
    backlog.Reset();
}

namespace {

// A town map holding the side menu's shared sprites, as the message window made them.
class MenuHoldingMap : public FileMap
{
public:
    using IRightMenu::CreateSideMenu;
};

class CCpsSideMenuThreadTest : public TownMapFixture
{
protected:
    CCpsSideMenuThreadTest()
        : TownMapFixture(MessageWindowPictureEntries())
    {}
};

} // namespace

TEST_F(CCpsSideMenuThreadTest, OpeningFadesTheHiddenSideMenuInWithTheSubMapButton)
{
    MenuHoldingMap map;
    ASSERT_EQ(map.CreateSideMenu(), 1);
    // Hidden as the message window leaves it when the script runs the map.
    for (int32_t slot = 0; slot < SIDE_MENU_SLOTS; ++slot)
        IRightMenu::GetSlotSprite(slot)->SetVisibleFlag(0);
    map.OnOpen();
    EXPECT_EQ(map.MenuIndex, 1);
    EXPECT_NE(std::find(map.ButtonMap.begin(), map.ButtonMap.end(), SIDE_MENU_SCREEN), map.ButtonMap.end());
    CSpriteLayer* tab = IRightMenu::GetSlotSprite(0);
    EXPECT_EQ(tab->IsVisible(), 1);
    EXPECT_EQ(tab->GetAlpha(), 255);
    map.OnClose();
}

namespace {

// A save screen that makes the save's thumbnail from the snapshot, as a save would, and ends.
class ThumbnailProbe : public CSaveDialog
{
public:
    ThumbnailProbe()
        : CSaveDialog(SYSTEM_PAGE_SAVE)
    {}
    ScriptValue* Run(ScriptValue* out) override
    {
        thumbnail = MakeThumbnail();
        *out = ScriptValue::FromInteger(SYSTEM_PAGE_END);
        return out;
    }
    // The thumbnail's pixel as 0xRRGGBB: 192 x 108, bottom row first, blue, green, red, spare.
    uint32_t At(int x, int y) const
    {
        const size_t at = (static_cast<size_t>(107 - y) * 192 + static_cast<size_t>(x)) * 4;
        return thumbnail[at + 2] << 16 | thumbnail[at + 1] << 8 | thumbnail[at];
    }
    std::vector<uint8_t> thumbnail;
};

} // namespace

TEST_F(CCpsSideMenuThreadTest, ASaveFromTheMenuShowsTheTownWithoutTheMenuInItsThumbnail)
{
    State().Values[55] = ScriptValue::FromInteger(0x4); // the save page usable
    State().Variables.resize(96);
    MenuHoldingMap map;
    ASSERT_EQ(map.CreateSideMenu(), 1);
    auto probe = std::make_unique<ThumbnailProbe>();
    ThumbnailProbe* save = probe.get();
    auto saved = GetGameWork()->ExchangeScreen(std::unique_ptr<CSaveDialog>(std::move(probe)));
    map.OnOpen();
    map.OpenMenu();
    IRightMenu::FinishSlide();
    Capture();
    const uint32_t panel = Shown(1700, 1000) & 0xFFFFFF;
    const uint32_t town = Shown(1000, 1000) & 0xFFFFFF;
    ASSERT_NE(panel, town) << "the menu stands over the town";

    map.HoverId = 0xF00 + 1;
    ASSERT_EQ(map.GetKindAt(1), SIDE_MENU_SAVE);
    map.OnDecide();
    ASSERT_EQ(save->thumbnail.size(), 192u * 108u * 4u) << "the save screen ran";
    // Where the panel stood the thumbnail shows the town, as beside it.
    EXPECT_EQ(save->At(170, 100), save->At(100, 100));
    EXPECT_NE(save->At(170, 100), panel);
    EXPECT_FALSE(IRightMenu::IsMenuOpen());
    GetGameWork()->ExchangeScreen(std::move(saved));
    map.OnClose();
}
