// The slot machine on the screen stage: the parts sheet, backgrounds and areas from the sheet
// generator, music channel 0 and effect channel 0 recording, document sprite layer 0 drawn into.
// The task runs once per pump, after the pump script, so the script sees what the previous
// step drew. Pixels of layer 0 name the sheet cell shown there.

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "arcpack/ArchiveWriter.h"
#include "graphics/CAppTask.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/d3d/null/NullPresenter.h"
#include "platform/kernel/VirtualClock.h"
#include "screens/ScreenFixture.h"
#include "screens/extras/CSlot.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/SlotSheet.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

constexpr std::array<int32_t, 3> REEL_CENTRE_X = {710, 961, 1212};
constexpr int32_t REEL_CENTRE_Y = 256;
constexpr std::array<int32_t, 3> STOP_CENTRE_X = {710, 961, 1212};
constexpr POINT LEVER_CENTRE = {293, 648};
constexpr int32_t BUTTON_CENTRE_Y = 648;

std::vector<tools::ArchiveEntry> SlotPictures()
{
    std::vector<tools::ArchiveEntry> pictures{{"SLOT_P.AKB", tools::EncodeAkb(tools::BuildSlotSheet(), {})}};
    const std::vector<std::string> names = tools::SlotBackgroundNames();
    for (int32_t language = 0; language < 4; ++language)
        pictures.push_back({tools::UpperCaseName(names[language]),
                            tools::EncodeAkb(tools::BuildSlotBackground(language), {})});
    return pictures;
}

FakeWaveManager* InstallFakeChannel(size_t group)
{
    auto& list = GetGameSoundChannels()[group];
    if (list.empty())
        list.resize(1);
    if (auto* fake = dynamic_cast<FakeWaveManager*>(list[0].get()))
        return fake;
    auto fake = std::make_unique<FakeWaveManager>();
    FakeWaveManager* raw = fake.get();
    list[0] = std::move(fake);
    return raw;
}

class CSlotThreadTest : public ScreenFixture
{
protected:
    CSlotThreadTest()
        : ScreenFixture({{"SLOT.AREA", tools::BuildAreaFile(tools::SlotAreas())}}, SlotPictures())
    {
        m_layer = new CSpriteLayer;
        m_layer->Create(0, 0, 1920, 1080, 0);
        m_layer->Show();
        GetSpriteLayerRegistry().RegisterSpriteLayer(0, m_layer);
        m_music = InstallFakeChannel(SOUND_GROUP_MUSIC);
        m_effect = InstallFakeChannel(SOUND_GROUP_EFFECT);
        FlagBuffer* state = GetScriptState().m_current_state.get();
        state->Flags.resize(9000);
        state->Words.resize(16);
        state->Words[0] = 77;
    }
    ~CSlotThreadTest() override { GetSpriteLayerRegistry().UnregisterSpriteLayer(0); }

    Cell At(int32_t x, int32_t y)
    {
        uint32_t id = 0;
        int32_t state = 0;
        if (!tools::DecodeCellColour(EffectPixel(*m_layer, x, y) | 0xFF000000u, id, state))
            return {0xFFFFFFFFu, -1};
        return {id, state};
    }
    // The digit reel k shows, -1 for the blank cell.
    int32_t Digit(int32_t k)
    {
        const Cell cell = At(REEL_CENTRE_X[k], REEL_CENTRE_Y);
        return cell.first == tools::SLOT_CELL_BLANK
                   ? -1
                   : static_cast<int32_t>(cell.first - tools::SLOT_CELL_DIGIT);
    }
    std::vector<uint8_t> DigitFlags()
    {
        const FlagBuffer* state = GetScriptState().m_current_state.get();
        return {state->Flags[8070], state->Flags[8071], state->Flags[8072]};
    }
    bool Listed(CSlot& slot) { return m_runner.Has(&slot); }
    bool Active(ISelect& screen)
    {
        const auto& active = GetGameWork()->GetActiveScreens();
        return std::find(active.begin(), active.end(), &screen) != active.end();
    }

    CSpriteLayer* m_layer = nullptr; // not owned: the document's
    FakeWaveManager* m_music = nullptr;
    FakeWaveManager* m_effect = nullptr;
};

// Steps run one after another; each may ask for pumps to pass before the next.
class Steps
{
public:
    struct Step
    {
        int wait; // pumps after the previous step
        std::function<void()> run;
    };
    explicit Steps(std::vector<Step> steps)
        : m_steps(std::move(steps))
    {}
    void Pump()
    {
        if (m_next >= m_steps.size())
            return;
        if (m_waited++ < m_steps[m_next].wait)
            return;
        m_waited = 0;
        m_steps[m_next++].run();
    }
    size_t Done() const { return m_next; }

private:
    std::vector<Step> m_steps;
    size_t m_next = 0;
    int m_waited = 0;
};

TEST_F(CSlotThreadTest, PlayedGameBlinksPullsTurnsStopsAndStoresTheDigits)
{
    CSlot slot;
    std::vector<Cell> lever;
    std::vector<std::array<int32_t, 3>> turning;
    int32_t shown_on_stop3 = -1;
    int32_t stops_after_repeat = -1;
    int32_t running_after_cancel = -1;
    int32_t stops_after_cancel = -1;
    bool task_out_while_hovered = false;
    Cell lever_hovered{};
    Cell lever_pressed{};
    auto click = [&](int32_t x, int32_t y) {
        PointAt(x, y);
        m_mouse.left_down = 1;
    };
    auto release = [&] { m_mouse.left_down = 0; };
    Steps steps({
        {20, [] {}},
        // A cursor key brings the pointer to the lever, and hovering takes the task out.
        {0, [&] { m_keyboard.down.insert(SCAN_RIGHT); }},
        {0, [&] { m_keyboard.down.erase(SCAN_RIGHT); }},
        {3,
         [&] {
             task_out_while_hovered = !slot.IsTaskActive() && !Listed(slot);
             lever_hovered = At(LEVER_CENTRE.x, LEVER_CENTRE.y);
         }},
        {0, [&] { click(m_mouse.position.x, m_mouse.position.y); }},
        {0,
         [&] {
             lever_pressed = At(LEVER_CENTRE.x, LEVER_CENTRE.y);
             release();
         }},
        {12, [&] { PointAt(STOP_CENTRE_X[2], BUTTON_CENTRE_Y); }},
        {2, [&] { m_mouse.left_down = 1; }},
        {0,
         [&] {
             shown_on_stop3 = Digit(2);
             release();
         }},
        // Stop 3 again, Esc and the right button: none of them counts.
        {8, [&] { m_mouse.left_down = 1; }},
        {0, release},
        {4, [&] { stops_after_repeat = slot.StopCount; }},
        {0, [&] { m_keyboard.down.insert(1); }},
        {0, [&] { m_keyboard.down.erase(1); }},
        {0, [&] { m_mouse.right_down = 1; }},
        {0, [&] { m_mouse.right_down = 0; }},
        {2,
         [&] {
             running_after_cancel = slot.Running;
             stops_after_cancel = slot.StopCount;
         }},
        {3, [&] { click(STOP_CENTRE_X[0], BUTTON_CENTRE_Y); }},
        {0, release},
        {9, [&] { click(STOP_CENTRE_X[1], BUTTON_CENTRE_Y); }},
        {0, release},
    });
    OnPump([&](int) {
        if (slot.State == CSlot::STATE_LEVER && Listed(slot) && lever.size() < 24)
            lever.push_back(At(LEVER_CENTRE.x, LEVER_CENTRE.y));
        if (slot.State == CSlot::STATE_TURNING && slot.LastStop == -1 && Listed(slot))
            turning.push_back({Digit(0), Digit(1), Digit(2)});
        steps.Pump();
    });
    slot.RunWithReels(2, 5, 0, CSlot::MODE_PLAY);

    ASSERT_EQ(steps.Done(), 21u);
    // The lever: normal and lit in turn, 8 steps each (the first record precedes any step).
    ASSERT_GE(lever.size(), 20u);
    for (size_t i = 1; i < 20; ++i)
        EXPECT_EQ(lever[i], Cell(tools::SLOT_CELL_LEVER, ((i - 1) / 8) % 2 ? 3 : 0)) << i;
    EXPECT_TRUE(task_out_while_hovered);
    EXPECT_EQ(m_mouse.warps.front().x, LEVER_CENTRE.x);
    EXPECT_EQ(m_mouse.warps.front().y, LEVER_CENTRE.y);
    EXPECT_EQ(lever_hovered, Cell(tools::SLOT_CELL_LEVER, 1));
    EXPECT_EQ(lever_pressed, Cell(tools::SLOT_CELL_LEVER, 2));

    // The pull: the music, word 0, and every reel one digit further each step.
    const std::vector<std::string> music = m_music->Calls();
    EXPECT_TRUE(std::any_of(music.begin(), music.end(), [](const std::string& call) {
        return call.find("COMICAL.wav") != std::string::npos;
    })) << testing::PrintToString(music);
    EXPECT_EQ(GetScriptState().m_current_state->Words[0], 0);
    ASSERT_GE(turning.size(), 6u);
    for (size_t i = 2; i < turning.size(); ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(turning[i][k], (turning[i - 1][k] + 1) % 10) << i << " reel " << k;

    EXPECT_EQ(stops_after_repeat, 1);
    EXPECT_EQ(running_after_cancel, 1);
    EXPECT_EQ(stops_after_cancel, 1);

    // Stopped 3, 1, 2: reel 3 its own digit, reel 1 reel 3's, reel 2 its own.
    ASSERT_GE(shown_on_stop3, 0);
    ASSERT_NE(slot.Reel[0].load(), shown_on_stop3) << "reel 1 showed the same digit: the test proves nothing";
    const std::vector<uint8_t> expected{uint8_t(shown_on_stop3), uint8_t(slot.Reel[1].load()),
                                        uint8_t(shown_on_stop3)};
    EXPECT_EQ(DigitFlags(), expected);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(Digit(k), expected[k]) << k;
    EXPECT_FALSE(slot.IsTaskActive());
    EXPECT_FALSE(Listed(slot));
    EXPECT_FALSE(Active(slot));
}

TEST_F(CSlotThreadTest, ShowModeBlinksInStepAndEndsOnSilenceOrClick)
{
    struct Case
    {
        const char* what;
        bool playing;
        int silent_at; // pump that silences the channel, 0 never
        int click_at;  // pump of a click, 0 never
        int first_end; // the run ends at this pump or a few later (the click waits for release)
        int last_end;
    };
    for (const Case& c : {Case{"silent", false, 0, 0, 1, 1}, Case{"sound ends", true, 30, 0, 30, 30},
                          Case{"click", true, 0, 20, 21, 26}}) {
        SCOPED_TRACE(c.what);
        GetScriptState().m_current_state->Flags[8070] = 0xEE;
        m_effect->SetPlaying(c.playing);
        CSlot slot;
        int blinks_checked = 0;
        OnPump([&](int pump) {
            if (pump == c.silent_at)
                m_effect->SetPlaying(false);
            if (pump == c.click_at)
                m_mouse.left_down = 1;
            if (pump == c.click_at + 1)
                m_mouse.left_down = 0;
            if (pump < 2)
                return;
            // Step pump - 2 drew last: lit buttons, blank reels and lamps on together.
            const int32_t blink = ((pump - 2) / 8) % 2;
            const Cell button = blink ? Cell(tools::SLOT_CELL_STOP_LAMP, 1) : Cell(tools::SLOT_CELL_STOP, 0);
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(At(STOP_CENTRE_X[k], BUTTON_CENTRE_Y), button) << pump;
                EXPECT_EQ(Digit(k), blink ? -1 : 7 + k) << pump;
            }
            EXPECT_EQ(At(227, 259), Cell(tools::SLOT_CELL_LEFT_LAMP, blink)) << pump;
            EXPECT_EQ(At(1693, 259), Cell(tools::SLOT_CELL_RIGHT_LAMP, blink)) << pump;
            ++blinks_checked;
        });
        slot.RunWithReels(17, 8, -1, CSlot::MODE_SHOW);
        EXPECT_GE(Pumps(), c.first_end);
        EXPECT_LE(Pumps(), c.last_end);
        EXPECT_EQ(blinks_checked, std::max(0, Pumps() - 1));
        EXPECT_EQ(GetScriptState().m_current_state->Flags[8070], 0xEE) << "show mode stores no digits";
        EXPECT_FALSE(slot.IsTaskActive());
        EXPECT_FALSE(Listed(slot));
    }
}

TEST_F(CSlotThreadTest, SetupDrawsTheMachineAtRestInEachLanguage)
{
    for (const auto& [language, present] :
         {std::pair{0, 1}, std::pair{1, 1}, std::pair{2, 1}, std::pair{3, 1}, std::pair{3, 0}}) {
        {
            SCOPED_TRACE(testing::Message() << "language " << language << " present " << present);
            m_app.Config().SetInt("/Config/Language", language);
            m_layer->FillRect(0, 0, 1920, 1080, 0xFF000000u, 1);
            const uint64_t frames = platform::GetNullPresenter()->GetFrameCount();
            CSlot slot;
            slot.Setup(1, 12, -3, present);
            EXPECT_EQ(platform::GetNullPresenter()->GetFrameCount(), frames + (present ? 1 : 0));
            Capture(present ? "slot_setup_" + std::to_string(language) + ".png" : std::string());
            const std::vector<std::pair<POINT, Cell>> expected{
                {{960, 1000}, {tools::SLOT_CELL_BACKGROUND, language}},
                {{30, 540}, {tools::SLOT_CELL_BACKGROUND, language}},
                {{REEL_CENTRE_X[0], REEL_CENTRE_Y}, {tools::SLOT_CELL_DIGIT + 1, 0}},
                {{REEL_CENTRE_X[1], REEL_CENTRE_Y}, {tools::SLOT_CELL_DIGIT + 2, 0}},
                {{REEL_CENTRE_X[2], REEL_CENTRE_Y}, {tools::SLOT_CELL_DIGIT + 7, 0}},
                {{602 + 215, 63 + 386}, {tools::SLOT_CELL_DIGIT + 1, 0}},
                {{227, 259}, {tools::SLOT_CELL_LEFT_LAMP, 0}},
                {{1693, 259}, {tools::SLOT_CELL_RIGHT_LAMP, 0}},
                {{494, 246}, {tools::SLOT_CELL_KNOB, 0}},
                {{LEVER_CENTRE.x, LEVER_CENTRE.y}, {tools::SLOT_CELL_LEVER, 0}},
                {{STOP_CENTRE_X[0], BUTTON_CENTRE_Y}, {tools::SLOT_CELL_STOP_LAMP, 0}},
                {{STOP_CENTRE_X[1], BUTTON_CENTRE_Y}, {tools::SLOT_CELL_STOP_LAMP, 0}},
                {{1110 + 203, 544 + 207}, {tools::SLOT_CELL_STOP_LAMP, 0}},
                {{1110 + 204, 544 + 207}, {tools::SLOT_CELL_BACKGROUND, language}},
            };
            for (const auto& [point, cell] : expected) {
                EXPECT_EQ(ShownCell(point.x, point.y), cell) << point.x << ", " << point.y;
                EXPECT_EQ(At(point.x, point.y), cell) << point.x << ", " << point.y;
            }
        }
    }
}

TEST_F(CSlotThreadTest, CursorKeysWalkTheLeverAndTheStopButtons)
{
    struct Case
    {
        int32_t state;
        int32_t hover;
        int32_t key; // -1 left, 1 right, 0 up
        int32_t to;  // area id the pointer is warped to, -2 none
    };
    CSlot slot;
    ASSERT_EQ(slot.CreateParts(), 1);
    OnPump([](int) {});
    for (const Case& c : {Case{CSlot::STATE_LEVER, -1, 1, 0}, Case{CSlot::STATE_LEVER, 257, 0, 0},
                          Case{CSlot::STATE_TURNING, -1, -1, 256}, Case{CSlot::STATE_TURNING, 0, 1, 256},
                          Case{CSlot::STATE_TURNING, 257, -1, 256}, Case{CSlot::STATE_TURNING, 257, 1, 258},
                          Case{CSlot::STATE_TURNING, 256, -1, -2}, Case{CSlot::STATE_TURNING, 258, 1, -2},
                          Case{CSlot::STATE_TURNING, 258, 0, -2}, Case{CSlot::STATE_TURNING, 0, 0, 256}}) {
        SCOPED_TRACE(testing::Message() << c.state << " " << c.hover << " " << c.key);
        slot.State = c.state;
        slot.HoverId = c.hover;
        m_mouse.warps.clear();
        if (c.key < 0)
            slot.OnLeftKey();
        else if (c.key > 0)
            slot.OnRightKey();
        else
            slot.OnDownKey();
        if (c.to == -2) {
            EXPECT_TRUE(m_mouse.warps.empty());
            continue;
        }
        ASSERT_EQ(m_mouse.warps.size(), 1u);
        const tools::AreaRecord area = tools::SlotAreas()[c.to == 0 ? 0 : c.to - 255];
        EXPECT_EQ(m_mouse.warps[0].x, (area.left + area.right) / 2);
        EXPECT_EQ(m_mouse.warps[0].y, (area.top + area.bottom) / 2);
    }
}

// A screen that throws the document's code in the middle of a game.
class UnwoundSlot final : public CSlot
{
public:
    void Update() override
    {
        if (++m_frames == 6)
            throw CVeskDoc::DOCUMENT_RETURN_TO_TITLE;
        CSlot::Update();
    }

private:
    int m_frames = 0;
};

TEST_F(CSlotThreadTest, ScriptValuesOutsideTheCommandsRangeAndUnwindingDoNoHarm)
{
    // A mode the screen has no state for returns at once instead of running forever.
    {
        CSlot slot;
        OnPump([](int) {});
        slot.RunWithReels(1, 2, 3, 2);
        EXPECT_EQ(Pumps(), 0);
        EXPECT_FALSE(slot.IsTaskActive());
        EXPECT_FALSE(Active(slot));
    }
    // A document code in the middle of a game: closed, out of the runner and the list, rethrown.
    {
        UnwoundSlot slot;
        OnPump([](int) {});
        EXPECT_THROW(slot.RunWithReels(1, 2, 3, CSlot::MODE_PLAY), CVeskDoc::tagDOCUMENT_CODE);
        EXPECT_GE(Pumps(), 5);
        EXPECT_FALSE(slot.IsTaskActive());
        EXPECT_FALSE(Listed(slot));
        EXPECT_FALSE(Active(slot));
    }
    // Destroyed while registered: the destructor takes the task out.
    {
        auto slot = std::make_unique<CSlot>();
        slot->OnOpen();
        ASSERT_TRUE(Listed(*slot));
        CSlot* gone = slot.get();
        slot.reset();
        EXPECT_FALSE(m_runner.Has(gone));
    }
}

// A frame between two blinks would repeat the last one: the task asks for one only when what it
// draws changes, and for every tick of the turning reels.
TEST_F(CSlotThreadTest, TheTaskAsksForAFrameOnlyWhenItsPictureChanges)
{
    CSlot slot;
    auto frames = [&](int32_t state, int ticks) {
        slot.State = state;
        int asked = 0;
        for (int tick = 0; tick < ticks; ++tick) {
            slot.ClearRedraw();
            slot.Execute();
            asked += slot.IsRedrawRequested() != 0 ? 1 : 0;
        }
        return asked;
    };
    EXPECT_EQ(frames(CSlot::STATE_LEVER, 17), 3);   // ticks 0, 8 and 16
    EXPECT_EQ(frames(CSlot::STATE_TURNING, 5), 5);  // ticks 17 to 21
    EXPECT_EQ(frames(CSlot::STATE_SHOWING, 10), 2); // the new state at 22, the blink at 24
}

// Between two blinks the task rests: the runner sleeps until the next one is due, and the steps
// slept through still count, so the lever blinks on the beat of a task stepped every 16 ms (its
// first step runs as it is added).
TEST_F(CSlotThreadTest, TheLeverRestsBetweenBlinksOnTheSteppedBeat)
{
    CAppTask runner;
    CAppTask* previous = SetAppTask(&runner);
    std::vector<std::pair<uint32_t, Cell>> changes;
    int passes = 0;
    {
        CSlot slot;
        slot.Mode = CSlot::MODE_PLAY;
        slot.OnOpen();
        const uint32_t start = timeGetTime();
        Cell shown = At(LEVER_CENTRE.x, LEVER_CENTRE.y);
        while (changes.size() < 6 && passes < 100) {
            const uint32_t rest = runner.GetRestTime(0);
            ASSERT_NE(rest, INFINITE);
            platform::VirtualClock::Advance(rest);
            runner.RunDueTasks();
            ++passes;
            if (const Cell now = At(LEVER_CENTRE.x, LEVER_CENTRE.y); now != shown) {
                changes.push_back({timeGetTime() - start, now});
                shown = now;
            }
        }
    }
    SetAppTask(previous);
    ASSERT_EQ(changes.size(), 6u);
    for (size_t k = 0; k < changes.size(); ++k)
        EXPECT_EQ(changes[k],
                  std::make_pair(static_cast<uint32_t>(128 * k), Cell(tools::SLOT_CELL_LEVER, k % 2 ? 3 : 0)))
            << k;
    // One wake a blink, and a pass now and then that finds the wake a little early.
    EXPECT_LE(passes, 8);
}

// The runner on its own thread keeps stepping while the main thread destroys the screen: the
// destructor waits for a pass in progress, and no later pass reaches the freed screen.
TEST_F(CSlotThreadTest, DestroyedWhileTheRunnerTicksLeavesNoEntry)
{
    CAppTask runner;
    CAppTask* previous = SetAppTask(&runner);
    std::atomic<bool> stop{false};
    std::atomic<int> passes{0};
    std::thread ticker([&] {
        while (!stop) {
            platform::VirtualClock::Advance(16);
            runner.RunDueTasks();
            ++passes;
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 6; ++round) {
        auto slot = std::make_unique<CSlot>();
        slot->Mode = round % 2 == 0 ? CSlot::MODE_PLAY : CSlot::MODE_SHOW;
        slot->OnOpen();
        const int start = passes;
        while (slot->Tick < 2 && passes < start + 1000)
            std::this_thread::yield();
        EXPECT_GE(slot->Tick, 2) << round;
        slot.reset();
        EXPECT_EQ(runner.GetCount(), 0u) << round;
    }
    const int before = passes;
    while (passes < before + 5)
        std::this_thread::yield();
    stop = true;
    ticker.join();
    SetAppTask(previous);
    EXPECT_EQ(runner.GetCount(), 0u);
}

} // namespace
