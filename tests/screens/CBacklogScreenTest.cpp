#include "screens/base/CBacklogScreen.h"

#include <gtest/gtest.h>

#include "app/AppMessageBox.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CLangTextFile.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mapwrite/MapTableWriter.h"
#include "screens/PictureSprite.h"
#include "screens/ScreenFixture.h"
#include "screens/base/CMesWnd.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/CFuncFlag.h"
#include "script/commands/CFuncString.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"
#include "sheetgen/BacklogSheet.h"
#include "sound/IWaveManager.h"
#include "sound/SoundChannels.h"
#include "support/FakeDocumentLink.h"
#include "support/ResidentPages.h"
#include "support/WorkingDir.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using Cell = std::pair<uint32_t, int32_t>;

// A voice channel that plays from PlayNamed until it is stopped or the test ends the voice.
class VoiceChannel final : public IWaveManager
{
public:
    void PlayNamed(CStringUTF8 name) override
    {
        plays.push_back(name.GetText());
        playing = true;
    }
    void PlayFile(CStringUTF8 name) override { PlayNamed(name); }
    bool Stop(bool forget) override
    {
        playing = false;
        return IWaveManager::Stop(forget);
    }
    bool IsPlaying() override { return playing; }
    std::vector<std::string> plays;
    bool playing = false;
};

std::vector<tools::ArchiveEntry> BacklogData()
{
    std::vector<tools::ArchiveEntry> data = DialogDataEntries();
    for (tools::ArchiveEntry& entry : MessageWindowDataEntries())
        data.push_back(std::move(entry));
    data.push_back({"BACKLOG00.AREA", tools::BuildAreaFile(tools::BacklogAreas())});
    std::vector<tools::MapText> help;
    for (int32_t id = 214; id <= 223; ++id)
        help.push_back({id, u"HELP"});
    for (const char* name : {"SYSTEM_EN.MAP", "SYSTEM_CN.MAP", "SYSTEM_TW.MAP", "SYSTEM.MAP"})
        data.push_back({name, tools::BuildMapTable(help)});
    return data;
}

std::vector<tools::ArchiveEntry> BacklogPictures()
{
    std::vector<tools::ArchiveEntry> pictures = MessageWindowPictureEntries();
    pictures.push_back({"LOG_P.AKB", tools::EncodeAkb(tools::BacklogSheet(), {})});
    pictures.push_back({"LOG_COVER.AKB", tools::EncodeAkb(tools::BacklogCover(), {})});
    return pictures;
}

class CBacklogScreenThreadTest : public ScreenFixture
{
protected:
    explicit CBacklogScreenThreadTest(bool dialog_sheet = true)
        : ScreenFixture(BacklogData(), BacklogPictures(), dialog_sheet)
    {
        SetAppMessageBoxHook([this](UINT, const CStringUTF8& text) {
            m_boxes.emplace_back(text.GetText());
            return 1;
        });
        FlagBuffer& state = State();
        state.Values.resize(FLAG_BUFFER_VALUE_COUNT);
        state.Variables.resize(100);
        state.Flags.resize(64);
        auto* text = new CSpriteLayer; // the document owns it
        text->Create(0, 0, 1920, 1080, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(BACKLOG_TEXT_LAYER, text);
        auto& voices = GetGameSoundChannels()[SOUND_GROUP_VOICE];
        voices.clear();
        for (int i = 0; i < 3; ++i) {
            auto channel = std::make_unique<VoiceChannel>();
            if (i == 0)
                m_voice = channel.get();
            voices.push_back(std::move(channel));
        }
    }
    ~CBacklogScreenThreadTest() override { SetAppMessageBoxHook(nullptr); }

    FlagBuffer& State() { return *GetScriptState().m_current_state; }
    CBacklogScreen& Screen() { return *GetGameWork()->GetBacklog(); }
    ScriptContext& Context() { return *GetScriptState().m_script_context; }

    // Records 0 to count - 1, oldest first; flag byte 1 holds the record's number in its
    // snapshot, and the voiced ones have "v%03d".
    void AddRecords(
        int32_t count, const std::function<bool(int32_t)>& voiced = [](int32_t) { return true; })
    {
        BacklogStore& store = Context().Backlog;
        store.Allocate(count);
        for (int32_t k = 0; k < count; ++k) {
            State().Flags[1] = static_cast<uint8_t>(k);
            ASSERT_TRUE(store.NextEntry());
            LogBuffer* record = store.GetCurrentEntry();
            record->Code = {1, 0, 0};
            record->BodyText = ("message " + std::to_string(k)).c_str();
            record->HeadText = "NAME";
            if (voiced(k)) {
                char name[16];
                std::snprintf(name, sizeof name, "v%03d", static_cast<int>(k));
                record->HasVoice = 1;
                record->VoiceFile = name;
            }
        }
    }

    // Runs the backlog from the start position with the step at each pump; Escape at pump 600
    // ends a run the step forgot to end.
    int32_t RunBacklog(int32_t start, std::function<void(int)> step)
    {
        int pressed_at = 0;
        OnPump([&](int pump) {
            step(pump);
            if (pump >= 600 && pump % 100 == 0)
                m_keyboard.down = {1};
            // Keys are let go two pumps after they went down, as a player's would be.
            if (m_keyboard.down.empty())
                pressed_at = 0;
            else if (pressed_at == 0)
                pressed_at = pump;
            else if (pump - pressed_at >= 2)
                m_keyboard.down.clear();
        });
        ScriptValue out;
        const int32_t result = Screen().RunBacklog(&out, start);
        OnPump(nullptr);
        m_keyboard.down.clear();
        m_mouse.left_down = 0;
        return result;
    }

    // A click that presses at the pump and releases two pumps later.
    void ClickAt(int pump, int at, int32_t x, int32_t y)
    {
        if (pump == at)
            PointAt(x, y);
        if (pump == at + 1)
            m_mouse.left_down = 1;
        if (pump == at + 3)
            m_mouse.left_down = 0;
    }
    void KeyAt(int pump, int at, uint32_t key)
    {
        if (pump == at)
            m_keyboard.down = {key};
        if (pump == at + 2)
            m_keyboard.down.clear();
    }

    VoiceChannel* m_voice = nullptr; // owned by the document
    std::vector<std::string> m_boxes;
};

// The centre of a row's control.
POINT CheckOf(int32_t row)
{
    return {1589 + 26, 300 * row + 310 + 26};
}
POINT JumpOf(int32_t row)
{
    return {1364 + 100, 300 * row + 302 + 28};
}

TEST(CBacklogThumbTest, KeepsTwoPixelsARecordAndStaysInsideItsTrackPastThat)
{
    struct Case
    {
        int32_t count, height;
    } cases[] = {{2, 0}, {3, 0}, {4, 886}, {10, 874}, {427, 40}, {428, 40}, {500, 40}, {5000, 40}};
    for (const Case& c : cases) {
        const int32_t height = CBacklogScreen::ThumbHeightFor(c.count);
        EXPECT_EQ(height, c.height) << c.count;
        const int32_t max_top = std::max(0, c.count - 3);
        if (height == 0)
            continue;
        EXPECT_EQ(CBacklogScreen::ThumbTopFor(max_top, max_top, height), 82) << c.count;
        EXPECT_EQ(CBacklogScreen::ThumbTopFor(0, max_top, height) + height, 82 + 888) << c.count;
        for (int32_t top = 0; top < max_top; ++top) {
            const int32_t y = CBacklogScreen::ThumbTopFor(top, max_top, height);
            const int32_t older = CBacklogScreen::ThumbTopFor(top + 1, max_top, height);
            ASSERT_GE(y, 82) << c.count << " " << top;
            ASSERT_LE(y + height, 970) << c.count << " " << top;
            if (c.count <= 427)
                ASSERT_EQ(y - older, 2) << c.count << " " << top; // the thumb's own pace
            else
                ASSERT_LE(older, y) << c.count << " " << top;
        }
    }
}

// The page's background is drawn again on each open: closed, the backlog holds none of its pages,
// and the next open draws its row frames again.
TEST_F(CBacklogScreenThreadTest, AClosedBacklogGivesItsPageBackgroundBack)
{
    AddRecords(2);
    for (int round = 0; round < 2; ++round) {
        size_t shown = 0;
        Cell frame{};
        RunBacklog(0, [&](int pump) {
            if (pump == 30) {
                shown = ResidentBytes(Screen().GetPageBaseLayer());
                Capture();
                frame = ShownCell(50, 300 + 150);
                m_keyboard.down = {1};
            }
        });
        EXPECT_GT(shown, 0u) << "round " << round;
        EXPECT_EQ(frame, Cell(tools::BACKLOG_FRAME, 0)) << "round " << round;
        EXPECT_EQ(ResidentBytes(Screen().GetPageBaseLayer()), 0u) << "round " << round;
    }
}

TEST_F(CBacklogScreenThreadTest, TwoRecordsFillTheLowerRowsWithScrollingDisabled)
{
    AddRecords(2);
    const int32_t result = RunBacklog(0, [&](int pump) {
        if (pump != 30)
            return;
        EXPECT_EQ(Screen().MaxTop, 0);
        EXPECT_EQ(Screen().ThumbHeight, 0);
        Capture("backlog_two_records.png");
        const struct
        {
            int x, y;
            Cell cell;
        } checks[] = {
            {50, 300 + 150, {tools::BACKLOG_FRAME, 0}},
            {50, 600 + 150, {tools::BACKLOG_FRAME, 0}},
            {1541 + 43, 300 + 182 + 50, {tools::BACKLOG_VOICE, 0}},
            {1364 + 100, 600 + 302 + 40, {0x300, 0}},
            {1589 + 30, 600 + 310 + 30, {0x200, 0}},
            {1659 + 24, 39 + 30, {0x400, 3}},
            {1659 + 24, 972 + 30, {0x401, 3}},
            {1740 + 78, 314 + 50, {0x500, 3}},
            {1740 + 78, 657 + 50, {0x501, 3}},
            {1739 + 78, 440 + 100, {0x600, 3}},
            {1735 + 79, 838 + 100, {0xF00, 0}},
        };
        for (const auto& c : checks)
            EXPECT_EQ(ShownCell(c.x, c.y), c.cell) << c.x << "," << c.y;
        EXPECT_NE(ShownCell(50, 150).first, tools::BACKLOG_FRAME); // row 0 shows nothing
        EXPECT_NE(ShownCell(1541 + 43, 182 + 50).first, tools::BACKLOG_VOICE);
        EXPECT_NE(ShownCell(1687, 500).first, 0x402u); // no thumb
        m_keyboard.down = {1};
    });
    EXPECT_EQ(result, -1);
}

// The thumb at the newest record, one record older and at the oldest.
class CBacklogThumbScreenThreadTest : public CBacklogScreenThreadTest
{
public:
    void Expect(int32_t count, int32_t height, int32_t top0, int32_t top1)
    {
        AddRecords(count);
        const int32_t result = RunBacklog(0, [&](int pump) {
            if (pump == 30) {
                EXPECT_EQ(Screen().ThumbHeight, height);
                Capture(count == 10 ? "backlog_thumb.png" : "");
                EXPECT_EQ(ShownCell(1687, top0), Cell(0x402, 0)) << count;
                EXPECT_NE(ShownCell(1687, top0 - 1).first, 0x402u) << count;
                EXPECT_EQ(ShownCell(1687, top0 + height - 1).first, 0x402u) << count;
                m_mouse.wheel = 1;
            }
            if (pump == 36) {
                EXPECT_EQ(Screen().Top, 1);
                Capture();
                EXPECT_EQ(ShownCell(1687, top1).first, 0x402u) << count;
                EXPECT_NE(ShownCell(1687, top1 - 1).first, 0x402u) << count;
                m_mouse.wheel = 10000;
            }
            if (pump == 42) {
                EXPECT_EQ(Screen().Top, count - 3);
                Capture();
                EXPECT_EQ(ShownCell(1687, 82).first, 0x402u) << count;
                EXPECT_EQ(ShownCell(1659 + 24, 39 + 30), Cell(0x400, 3)) << count; // oldest: up disabled
                m_keyboard.down = {1};
            }
        });
        EXPECT_EQ(result, -1);
    }
};

TEST_F(CBacklogThumbScreenThreadTest, TenRecordsMoveTheThumbTwoPixelsARecord)
{
    Expect(10, 874, 970 - 874, 970 - 874 - 2);
}

TEST_F(CBacklogThumbScreenThreadTest, FiveHundredRecordsKeepTheThumbInsideTheTrack)
{
    Expect(500, 40, 930, 82 + 848 * 496 / 497);
}

TEST_F(CBacklogScreenThreadTest, WheelStartPositionAndWhatTheRunPutsBack)
{
    AddRecords(10);
    struct Case
    {
        int32_t start;
        uint32_t bits; // of the engine state before the run
        int32_t wheel;
        int32_t top_after; // -1: the wheel closed the backlog
    } cases[] = {
        {2, ENGINE_STATE_RECORDING, -5, 0}, {0, 0, -1, -1}, {50, ENGINE_STATE_RECORDING, 0, 7}, {5, 0, 3, 7}};
    for (const Case& c : cases) {
        FlagBuffer& state = State();
        state.SetEngineStateWord(c.bits);
        state.Values[30] = ScriptValue::FromInteger(11);
        state.Values[46] = ScriptValue::FromInteger(12);
        state.Values[53] = ScriptValue::FromInteger(3);
        int closed_at = 0; // the pump the screen ended at
        const int32_t result = RunBacklog(c.start, [&](int pump) {
            if (pump == 30) {
                EXPECT_EQ(State().EngineStateWord() & (ENGINE_STATE_RECORDING | ENGINE_STATE_BACKLOG_OPEN),
                          ENGINE_STATE_BACKLOG_OPEN);
                EXPECT_EQ(Screen().Top, std::min(c.start, 7));
                m_mouse.wheel = c.wheel;
            }
            if (pump == 36 && Screen().Running != 0) {
                EXPECT_EQ(Screen().Top, c.top_after) << c.start;
                m_keyboard.down = {1};
            }
            if (Screen().Running == 0 && closed_at == 0)
                closed_at = pump;
        });
        EXPECT_EQ(result, -1);
        if (c.top_after == -1) {
            EXPECT_LT(closed_at, 36) << "the wheel down at the newest record closes";
        }
        EXPECT_EQ(State().EngineStateWord(), c.bits) << c.start;
        EXPECT_EQ(State().Values[30].Integer, 11);
        EXPECT_EQ(State().Values[46].Integer, 12);
        EXPECT_EQ(State().Values[53].Integer, 3);
    }
}

TEST_F(CBacklogScreenThreadTest, ReplayVoiceEndsPastTheCollectedNames)
{
    Context().CollectedVoiceNames = {"v001", "v002"};
    EXPECT_EQ(Screen().ReplayVoice(1), 2);
    EXPECT_EQ(Screen().ReplayVoice(2), 0);
    EXPECT_EQ(Screen().ReplayVoice(-1), 0);
    EXPECT_EQ(m_voice->plays, std::vector<std::string>{"v002"});
}

TEST_F(CBacklogScreenThreadTest, MarksOnlyVoicedRowsAndTheBatchReplayFollowsOkAndCancel)
{
    // Records 0 to 3, record 1 silent; the first page shows 1, 2, 3.
    AddRecords(4, [](int32_t k) { return k != 1; });
    bool skipped = false;
    bool cancelled = false;
    int cancel_at = 0;
    const int32_t result = RunBacklog(0, [&](int pump) {
        ClickAt(pump, 3, CheckOf(0).x, CheckOf(0).y); // silent: no mark
        if (pump == 8) {
            EXPECT_EQ(Screen().Marks, (std::vector<int32_t>{0, 0, 0, 0}));
            Capture();
            EXPECT_EQ(ShownCell(1739 + 78, 440 + 100), Cell(0x600, 3));
        }
        ClickAt(pump, 10, CheckOf(1).x, CheckOf(1).y);
        ClickAt(pump, 16, CheckOf(2).x, CheckOf(2).y);
        if (pump == 22) {
            Capture();
            EXPECT_EQ(ShownCell(1739 + 78, 440 + 100), Cell(0x600, 0)) << "play enabled";
            EXPECT_EQ(ShownCell(1589 + 30, 600 + 310 + 30).first, tools::BACKLOG_MARKED);
            m_mouse.wheel = 1;
        }
        ClickAt(pump, 26, CheckOf(0).x, CheckOf(0).y); // record 0 now
        if (pump == 32) {
            EXPECT_EQ(Screen().Marks, (std::vector<int32_t>{1, 1, 0, 1}));
        }
        ClickAt(pump, 34, 1739 + 78, 440 + 80);
        // The oldest marked row plays first; OK skips it, cancel stops the next.
        if (!skipped && m_voice->plays.size() == 1 && m_voice->playing) {
            skipped = true;
            m_keyboard.down = {28};
        } else if (skipped && !cancelled && m_voice->plays.size() == 1 && !m_voice->playing) {
            m_keyboard.down.clear();
        }
        if (!cancelled && m_voice->plays.size() == 2 && m_voice->playing) {
            cancelled = true;
            cancel_at = pump;
            m_keyboard.down = {1};
        }
        if (cancelled && pump == cancel_at + 2)
            m_keyboard.down.clear();
        if (cancelled && pump == cancel_at + 10) {
            EXPECT_EQ(Screen().Running, 1) << "cancel ends the replay, not the backlog";
            m_keyboard.down = {1};
        }
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(m_voice->plays, (std::vector<std::string>{"v000", "v002"}));
}

TEST_F(CBacklogScreenThreadTest, ACancelledJumpBackLeavesEverythingAsItWas)
{
    AddRecords(3);
    State().Flags[1] = 42;
    bool asked = false;
    int answered_at = 0;
    size_t screens = 0;
    const int32_t result = RunBacklog(0, [&](int pump) {
        ClickAt(pump, 30, JumpOf(1).x, JumpOf(1).y);
        if (pump == 30)
            screens = GetGameWork()->GetActiveScreens().size();
        if (!asked && pump > 30 && GetGameWork()->GetActiveScreens().size() > screens) {
            asked = true;
            answered_at = pump;
            m_keyboard.down = {1};
        }
        if (asked && pump == answered_at + 2)
            m_keyboard.down.clear();
        if (asked && pump == answered_at + 10) {
            EXPECT_EQ(Screen().Running, 1);
            EXPECT_EQ(State().Flags[1], 42);
            m_keyboard.down = {1};
        }
    });
    EXPECT_TRUE(asked);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(State().Flags[1], 42);
}

TEST_F(CBacklogScreenThreadTest, AConfirmedJumpBackRestoresTheRecordAndUnwindsWithCodeThree)
{
    AddRecords(3);
    SetConfigDialogEnable(4, 0); // the jump-back question switched off: go ahead as after yes
    SetConfigOneMes(1);
    FlagBuffer& state = State();
    state.Flags[1] = 42;
    state.Flags[5] = 1; // merged into flag file 0
    state.SetEngineStateWord(ENGINE_STATE_RECORDING);
    state.Values[31] = ScriptValue::FromInteger(77);
    std::string jump_state;
    Context().Backlog.Entries[1]->JumpState.AppendTo(jump_state);
    uint32_t code = 99;
    try {
        RunBacklog(0, [&](int pump) { ClickAt(pump, 30, JumpOf(1).x, JumpOf(1).y); });
    } catch (CVeskDoc::tagDOCUMENT_CODE thrown) {
        code = thrown;
    }
    EXPECT_EQ(code, CVeskDoc::DOCUMENT_RESTORE_STACK);
    EXPECT_EQ(State().Flags[1], 1) << "the record's own state";
    EXPECT_EQ(State().Values[31].Integer, 77) << "the text values are put back on the way out";
    EXPECT_EQ(State().EngineStateWord() & (ENGINE_STATE_RECORDING | ENGINE_STATE_BACKLOG_OPEN),
              ENGINE_STATE_RECORDING);
    EXPECT_FALSE(GetConfigOneMes());
    std::string table;
    GetScriptState().SaveDataTable->AppendTo(table);
    EXPECT_EQ(table, jump_state);
    FlagBuffer file;
    ASSERT_EQ(CFuncFlag().LoadFlagFile(0, &file), 1);
    ASSERT_GT(file.Flags.size(), 5u);
    EXPECT_EQ(file.Flags[5], 1);
    EXPECT_EQ(file.Flags[1], 42);
}

TEST_F(CBacklogScreenThreadTest, BackspaceAndTheWheelUpOpenItFromTheMessageWindow)
{
    AddRecords(5);
    CMesWnd& window = *GetGameWork()->GetMessageWindow();
    for (const bool wheel : {false, true}) {
        window.Show();
        int opened_at = 0;
        OnPump([&](int pump) {
            // Past its fade-in.
            if (opened_at == 0 && pump > 30 && (State().EngineStateWord() & ENGINE_STATE_BACKLOG_OPEN) != 0)
                opened_at = pump;
            if (opened_at != 0 && pump == opened_at + 5) {
                Capture(wheel ? "" : "backlog_from_message_window.png");
                for (int y : {150, 450, 750})
                    EXPECT_EQ(ShownCell(50, y), Cell(tools::BACKLOG_FRAME, 0)) << y;
                const int32_t thumb = CBacklogScreen::ThumbTopFor(0, 2, CBacklogScreen::ThumbHeightFor(5));
                EXPECT_EQ(ShownCell(1687, thumb + 1).first, 0x402u);
                m_keyboard.down = {1};
            }
            if (opened_at != 0 && pump == opened_at + 7)
                m_keyboard.down.clear();
            if (pump >= 600 && pump % 100 == 0)
                m_keyboard.down = {1};
            if (pump >= 600 && pump % 100 == 2)
                m_keyboard.down.clear();
        });
        if (wheel)
            window.OnMouseWheel(1);
        else
            window.OnBackspaceKey();
        OnPump(nullptr);
        m_keyboard.down.clear();
        EXPECT_NE(opened_at, 0) << wheel;
        EXPECT_EQ(State().EngineStateWord() & ENGINE_STATE_BACKLOG_OPEN, 0u);
    }
}

// The page layers, which the screens keep to themselves.
struct PageLayers : CBacklogScreen
{
    using ISystemParts::MaskImageLayer;
    using ISystemParts::ViewImageLayer;
};

std::vector<uint8_t> PixelsOf(CSpriteLayer* layer)
{
    std::vector<uint8_t> bytes;
    if (layer == nullptr)
        return bytes;
    const auto row = static_cast<size_t>(layer->GetWidth()) * 4;
    for (int32_t y = 0; y < layer->GetHeight(); ++y) {
        const uint8_t* start = layer->GetBits() + layer->GetPixelOffset(0, y);
        bytes.insert(bytes.end(), start, start + row);
    }
    return bytes;
}

// The page drawing on the document without a started game, whose faces draw their glyphs (a
// started test game's do not), with the generated frames and cover.
class CBacklogPageTest : public ::testing::Test
{
protected:
    CBacklogPageTest()
    {
        m_state = std::move(GetScriptState().m_current_state);
        m_context = std::move(GetScriptState().m_script_context);
        GetScriptState().m_current_state = std::make_unique<FlagBuffer>();
        GetScriptState().m_current_state->Values.resize(FLAG_BUFFER_VALUE_COUNT);
        GetScriptState().m_current_state->Values[VALUE_TEXT_SPRITE] =
            ScriptValue::FromInteger(BACKLOG_TEXT_LAYER);
        GetScriptState().m_script_context = std::make_unique<ScriptContext>();
        auto* text = new CSpriteLayer; // the document owns it
        text->Create(0, 0, 1920, 1080, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(BACKLOG_TEXT_LAYER, text);
    }
    ~CBacklogPageTest() override
    {
        GetSpriteLayerRegistry().UnregisterSpriteLayer(BACKLOG_TEXT_LAYER);
        GetScriptState().m_current_state = std::move(m_state);
        GetScriptState().m_script_context = std::move(m_context);
    }

    std::unique_ptr<FlagBuffer> m_state;
    std::unique_ptr<ScriptContext> m_context;
};

TEST_F(CBacklogPageTest, AScrolledPageShowsWhatThePageDrawnAfreshShows)
{
    // Heads of every length, bodies of one line to more than the window holds, hanging marks,
    // a line break, a run of marks past the box: each scroll step redraws only the texts, over
    // what the last page left.
    const char* const heads[] = {"", "NAME", "とても長い名前の話し手", "「"};
    const char* const bodies[] = {
        "short",
        "夕暮れの商店街を抜けて、駅前の広場まで歩いてきた。冬の風が頬を刺すように冷たい。",
        "「遅かったね。もう来ないのかと思ってた」\n振り返ると、見慣れたマフラーの彼女がいた。",
        "吐く息が白い。街灯に照らされた雪がゆっくりと舞い落ちて、石畳に静かに積もっていく。"
        "吐く息が白い。街灯に照らされた雪がゆっくりと舞い落ちて、石畳に静かに積もっていく。"
        "吐く息が白い。街灯に照らされた雪がゆっくりと舞い落ちて、石畳に静かに積もっていく。",
        "あ」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」",
        "（しばらく音楽だけが流れます）",
    };
    constexpr int32_t COUNT = 23;
    BacklogStore& store = GetScriptState().m_script_context->Backlog;
    store.Allocate(COUNT);
    for (int32_t k = 0; k < COUNT; ++k) {
        ASSERT_TRUE(store.NextEntry());
        LogBuffer& record = *store.GetCurrentEntry();
        record.Code = {1, 0, 0};
        record.HeadText = heads[k % 4];
        record.BodyText = bodies[k % std::size(bodies)];
    }
    auto make = [](CBacklogScreen& screen) {
        ASSERT_EQ(screen.CreateParts(), 1);
        screen.PartsImage = SpriteOfPicture(tools::BacklogSheet());
        screen.CoverImage = SpriteOfPicture(tools::BacklogCover());
        screen.DrawToImage = 1;
    };
    CBacklogScreen screen;
    make(screen);
    screen.ResetPage();
    screen.DrawFirstPage();
    CSpriteLayer* text = GetSpriteLayerRegistry().FindSpriteLayer(BACKLOG_TEXT_LAYER);
    const std::vector<uint8_t> ink = PixelsOf(text);
    ASSERT_GT(std::count_if(ink.begin(), ink.end(), [](uint8_t byte) { return byte != 0; }), 10000)
        << "the texts are drawn";
    // The same page drawn by a screen that knows nothing of the text layer, so clears and
    // composes whole rectangles, must show the same pixels.
    auto expect_same_as_afresh = [&](int32_t step) {
        const std::vector<uint8_t> view = PixelsOf(PageLayers::ViewImageLayer());
        const std::vector<uint8_t> mask = PixelsOf(PageLayers::MaskImageLayer());
        ASSERT_FALSE(view.empty());
        CBacklogScreen afresh;
        make(afresh);
        afresh.EntryCount = screen.EntryCount;
        afresh.MaxTop = screen.MaxTop;
        afresh.Top = screen.Top;
        afresh.DrawFirstPage();
        EXPECT_TRUE(view == PixelsOf(PageLayers::ViewImageLayer())) << "view, step " << step;
        EXPECT_TRUE(mask == PixelsOf(PageLayers::MaskImageLayer())) << "mask, step " << step;
    };
    expect_same_as_afresh(0);
    const int32_t wheel[] = {1, 1, 2, 1, 5, -1, -3, 1, 1, 30, -2, -1, 1, 1, 1};
    for (size_t step = 0; step < std::size(wheel); ++step) {
        screen.OnMouseWheel(wheel[step]);
        expect_same_as_afresh(static_cast<int32_t>(step + 1));
    }
    EXPECT_EQ(screen.Top, screen.MaxTop);
}

// A layer's pixels read through a copy, which leaves the layer's write count as it is.
std::vector<uint8_t> PixelsUntouched(CSpriteLayer* layer)
{
    CSpriteLayer copy;
    copy.Create(0, 0, layer->GetWidth(), layer->GetHeight(), -1);
    copy.Blt(0, 0, layer->GetWidth(), layer->GetHeight(), layer, 0, 0, 1);
    return PixelsOf(&copy);
}

TEST_F(CBacklogPageTest, AReopenedPageShowsWhatThePageDrawnAfreshShows)
{
    // Opened again over the page it left, with nothing else drawn on its layers, the screen
    // clears and redraws only what it drew; in between it may have been scrolled on the shown
    // layers and the records may have changed.
    const char* const bodies[] = {
        "short",
        "夕暮れの商店街を抜けて、駅前の広場まで歩いてきた。冬の風が頬を刺すように冷たい。",
        "「遅かったね。もう来ないのかと思ってた」\n振り返ると、見慣れたマフラーの彼女がいた。",
        "あ」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」」",
    };
    BacklogStore& store = GetScriptState().m_script_context->Backlog;
    store.Allocate(16);
    int32_t added = 0;
    auto add = [&](int32_t count) {
        for (int32_t k = 0; k < count; ++k, ++added) {
            ASSERT_TRUE(store.NextEntry());
            LogBuffer& record = *store.GetCurrentEntry();
            record.Code = {1, 0, 0};
            record.HeadText = added % 3 == 0 ? "" : "NAME";
            record.BodyText = bodies[added % 4];
        }
    };
    auto make = [](CBacklogScreen& screen) {
        ASSERT_EQ(screen.CreateParts(), 1);
        screen.PartsImage = SpriteOfPicture(tools::BacklogSheet());
        screen.CoverImage = SpriteOfPicture(tools::BacklogCover());
        screen.DrawToImage = 1;
    };
    CSpriteLayer* text = GetSpriteLayerRegistry().FindSpriteLayer(BACKLOG_TEXT_LAYER);
    CBacklogScreen screen;
    make(screen);
    // Records added between the openings, the position the last one left.
    const std::pair<int32_t, int32_t> openings[] = {{1, 0}, {0, 0}, {3, 0}, {1, 0}, {2, 3}, {0, 1}, {4, 0}};
    for (size_t step = 0; step < std::size(openings); ++step) {
        screen.Top = 0;
        screen.ResetPage();
        screen.DrawFirstPage(); // the page the next opening finds
        screen.DrawToImage = 0;
        for (int32_t wheel : {1, 1, -1})
            screen.OnMouseWheel(step % 3 != 0 ? wheel : 0);
        screen.DrawToImage = 1;
        add(openings[step].first);
        screen.Top = openings[step].second;
        screen.ResetPage();
        EXPECT_TRUE(std::ranges::all_of(PixelsUntouched(text), [](uint8_t byte) { return byte == 0; }))
            << "text layer, step " << step;
        screen.DrawFirstPage();
        const std::vector<uint8_t> view = PixelsUntouched(PageLayers::ViewImageLayer());
        const std::vector<uint8_t> mask = PixelsUntouched(PageLayers::MaskImageLayer());
        CBacklogScreen afresh;
        make(afresh);
        afresh.Top = screen.Top;
        afresh.ResetPage();
        afresh.DrawFirstPage();
        EXPECT_TRUE(view == PixelsOf(PageLayers::ViewImageLayer())) << "view, step " << step;
        EXPECT_TRUE(mask == PixelsOf(PageLayers::MaskImageLayer())) << "mask, step " << step;
    }
}

// An opening bracket that starts a line hangs one full-width step before the body's margin, and
// the page shows it there: the only pixels it adds lie in that step. Scrolled off its row, it
// leaves nothing behind.
TEST_F(CBacklogPageTest, AnOpeningBracketThatStartsALineHangsBeforeTheMarginAndShows)
{
    const char* const plain = "しばらく音楽だけが流れます）";
    auto page = [](std::vector<const char*> bodies, int32_t top, int32_t wheel) {
        BacklogStore& store = GetScriptState().m_script_context->Backlog;
        store.Reset();
        store.Allocate(static_cast<int32_t>(bodies.size()));
        for (const char* body : bodies) {
            EXPECT_TRUE(store.NextEntry());
            LogBuffer& record = *store.GetCurrentEntry();
            record.Code = {1, 0, 0};
            record.BodyText = body;
        }
        CBacklogScreen screen;
        EXPECT_EQ(screen.CreateParts(), 1);
        screen.PartsImage = SpriteOfPicture(tools::BacklogSheet());
        screen.CoverImage = SpriteOfPicture(tools::BacklogCover());
        screen.DrawToImage = 1;
        screen.Top = top;
        screen.ResetPage();
        screen.DrawFirstPage();
        screen.OnMouseWheel(wheel);
        return PixelsOf(PageLayers::ViewImageLayer());
    };
    const std::vector<uint8_t> hung = page({"（しばらく音楽だけが流れます）"}, 0, 0);
    const std::vector<uint8_t> without = page({plain}, 0, 0);
    ASSERT_EQ(hung.size(), without.size());
    constexpr size_t ROW = 1920 * 4;
    int32_t left = 1920;
    int32_t right = -1;
    for (size_t k = 0; k < hung.size(); ++k) {
        if (hung[k] == without[k])
            continue;
        left = std::min(left, static_cast<int32_t>(k % ROW / 4));
        right = std::max(right, static_cast<int32_t>(k % ROW / 4));
    }
    EXPECT_LE(left, right) << "the bracket is not on the page";
    EXPECT_GE(left, 184 - 40);
    EXPECT_LT(right, 184);

    // The oldest record, hung in the top row, scrolled down out of the page.
    const std::vector<uint8_t> afresh = page({"（しばらく", plain, plain, plain}, 0, 0);
    EXPECT_TRUE(afresh == page({"（しばらく", plain, plain, plain}, 1, -1)) << "a bracket was left behind";
}

class CBacklogNoDialogThreadTest : public CBacklogScreenThreadTest
{
protected:
    CBacklogNoDialogThreadTest()
        : CBacklogScreenThreadTest(false)
    {}
};

// A head line with a table id draws that table's text for it, not the record's own literal: the
// same page as that text given literally, and unlike the literal's page. The text comes from the
// table the record names, whichever table a later scene left open.
TEST_F(CBacklogPageTest, AHeadLineWithATableIdDrawsTheTablesText)
{
    WorkingDir dir;
    std::vector<tools::ArchiveEntry> tables;
    for (const char* name : {"NAMES_EN.MAP", "NAMES_CN.MAP", "NAMES_TW.MAP", "NAMES.MAP"})
        tables.push_back({name, tools::BuildMapTable(std::vector<tools::MapText>{{7, u"TABLE"}})});
    for (const char* name : {"OTHER_EN.MAP", "OTHER_CN.MAP", "OTHER_TW.MAP", "OTHER.MAP"})
        tables.push_back({name, tools::BuildMapTable(std::vector<tools::MapText>{{7, u"OTHER"}})});
    dir.Write("data.arc", tools::BuildArchive(tables, tools::ArchiveEncoding::Plain));
    CArchiveManager archive("data.arc", false, true);
    DocumentLink* document_link = GetDocumentLink();
    auto link = std::make_unique<FakeDocumentLink>(); // lends the tables their archive
    link->m_data_archive = &archive;
    GetGameWork()->m_text_file = std::make_unique<CLangTextFile>();
    auto page = [](const char* literal, int32_t id, const char* table) {
        BacklogStore& store = GetScriptState().m_script_context->Backlog;
        store.Reset();
        store.Allocate(1);
        EXPECT_TRUE(store.NextEntry());
        LogBuffer& record = *store.GetCurrentEntry();
        record.Code = {1, 0, 0};
        record.HeadText = literal;
        record.HeadTextId = id;
        record.TextTable = table;
        record.BodyText = "body";
        GetGameWork()->m_text_file->Open(CStringUTF8("other"));
        CBacklogScreen screen;
        EXPECT_EQ(screen.CreateParts(), 1);
        screen.PartsImage = SpriteOfPicture(tools::BacklogSheet());
        screen.CoverImage = SpriteOfPicture(tools::BacklogCover());
        screen.DrawToImage = 1;
        screen.ResetPage();
        screen.DrawFirstPage();
        return PixelsOf(PageLayers::ViewImageLayer());
    };
    const std::vector<uint8_t> by_id = page("LITERAL", 7, "names");
    EXPECT_TRUE(by_id == page("TABLE", -1, ""));
    EXPECT_FALSE(by_id == page("LITERAL", -1, ""));
    EXPECT_TRUE(page("", 7, "") == page("OTHER", -1, "")) << "without a table named, the open one";
    GetGameWork()->m_text_file.reset();
    link.reset();
    SetDocumentLink(document_link);
}

TEST_F(CBacklogPageTest, AGameStartedInSimplifiedChineseDrawsHeadLinesThroughTheTextService)
{
    // The document's language as the game started turns the switch: on for simplified Chinese
    // only, and a literal name drawn through the text service is on the page.
    // The service's renderer draws as ever and notes what it drew.
    static std::string service_drew;
    class ServiceFont final : public CFontDIB
    {
    public:
        void DrawText(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour, uint32_t second_colour,
                      ILayer* target, uint32_t flags) override
        {
            service_drew += character.GetText();
            CFontDIB::DrawText(character, x, y, colour, second_colour, target, flags);
        }
        void DrawTextToSprite(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour,
                              uint32_t second_colour, ILayer* target, uint32_t flags) override
        {
            service_drew += character.GetText();
            CFontDIB::DrawTextToSprite(character, x, y, colour, second_colour, target, flags);
        }
    };
    SetTextServiceFontSource([]() -> std::unique_ptr<CFontDIB> { return std::make_unique<ServiceFont>(); });
    DocumentLink* document_link = GetDocumentLink();
    auto link = std::make_unique<FakeDocumentLink>();
    auto page = [&](int32_t language, const char* name) {
        service_drew.clear();
        link->m_language = language;
        EXPECT_EQ(GetBacklogLayoutSwitch(), language == 1 ? 1 : 0) << language;
        BacklogStore& store = GetScriptState().m_script_context->Backlog;
        store.Reset();
        store.Allocate(2);
        for (int32_t k = 0; k < 2; ++k) {
            EXPECT_TRUE(store.NextEntry());
            LogBuffer& record = *store.GetCurrentEntry();
            record.Code = {1, 0, 0};
            record.HeadText = name;
            record.BodyText = "body";
        }
        CBacklogScreen screen;
        EXPECT_EQ(screen.CreateParts(), 1);
        screen.PartsImage = SpriteOfPicture(tools::BacklogSheet());
        screen.CoverImage = SpriteOfPicture(tools::BacklogCover());
        screen.DrawToImage = 1;
        screen.ResetPage();
        screen.DrawFirstPage();
        EXPECT_EQ(service_drew.find("NAME") != std::string::npos, language == 1 && *name != '\0')
            << language << ": the text service drew \"" << service_drew << "\"";
        return PixelsOf(PageLayers::ViewImageLayer());
    };
    for (const int32_t language : {0, 2, 3})
        EXPECT_FALSE(page(language, "NAME") == page(language, "")) << language;
    EXPECT_FALSE(page(1, "NAME") == page(1, "")) << "no name through the text service";
    SetTextServiceFontSource(nullptr);
    link.reset();
    SetDocumentLink(document_link);
}

TEST_F(CBacklogNoDialogThreadTest, AJumpBackWhoseQuestionCannotBeBuiltCountsAsCancelWithAReport)
{
    AddRecords(3);
    State().Flags[1] = 42;
    const int32_t result = RunBacklog(0, [&](int pump) {
        ClickAt(pump, 30, JumpOf(2).x, JumpOf(2).y);
        if (pump == 45) {
            EXPECT_EQ(Screen().Running, 1);
            m_keyboard.down = {1};
        }
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(State().Flags[1], 42);
    ASSERT_FALSE(m_boxes.empty()); // the archive reports the missing picture first
    EXPECT_NE(m_boxes.back().find("ダイアログの作成に失敗しました。"), std::string::npos) << m_boxes.back();
}

TEST_F(CBacklogScreenThreadTest, CursorKeysFollowTheTable)
{
    // Rows 0 to 2 show records 0 to 2; record 0 is silent.
    AddRecords(3, [](int32_t k) { return k != 0; });
    CBacklogScreen& screen = Screen();
    screen.EntryCount = 3;
    screen.Top = 0;
    enum : uint32_t
    {
        U = SCAN_UP,
        D = SCAN_DOWN,
        L = SCAN_LEFT,
        R = SCAN_RIGHT,
    };
    struct Case
    {
        int32_t from;
        int32_t up, down, left, right;
    } cases[] = {
        {-1, 0x6400, 0x6400, 0x6400, 0x6400}, {0x6400, -1, 0x6401, -1, 0x300},
        {0x6402, 0x6401, -1, -1, 0x302},      {0x200, -1, 0x201, 0x300, 0x400},
        {0x201, 0x300, 0x202, 0x301, 0x400},  {0x202, 0x201, -1, 0x302, 0x401},
        {0x300, -1, 0x301, 0x6400, 0x400},    {0x301, 0x300, 0x302, 0x6401, 0x201},
        {0x302, 0x301, -1, 0x6402, 0x202},    {0x400, -1, 0x401, 0x300, 0x500},
        {0x401, 0x400, 0xF07, 0x202, 0x501},  {0x402, 0x400, 0x401, 0x201, 0x600},
        {0x500, -1, 0x600, 0x400, -1},        {0x501, 0x600, 0xF00, 0x400, -1},
        {0x600, 0x500, 0x501, 0x401, -1},     {0xF00, 0x501, -1, 0x401, -1},
        {0xF07, 0x501, -1, 0x401, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(screen.KeyTarget(c.from, U), c.up) << std::hex << c.from;
        EXPECT_EQ(screen.KeyTarget(c.from, D), c.down) << std::hex << c.from;
        EXPECT_EQ(screen.KeyTarget(c.from, L), c.left) << std::hex << c.from;
        EXPECT_EQ(screen.KeyTarget(c.from, R), c.right) << std::hex << c.from;
    }
    // Without a record below, the check box leads to the row's voice button; with two records
    // row 0 is empty, so nothing lies above row 1's jump button.
    Context().Backlog.Reset();
    AddRecords(2, [](int32_t) { return false; });
    screen.EntryCount = 2;
    EXPECT_EQ(screen.KeyTarget(0x301, U), -1);
    EXPECT_EQ(screen.KeyTarget(0x200, D), 0x301);

    // A key warps the pointer to the target's centre and hovers it.
    const int32_t result = RunBacklog(0, [&](int pump) {
        KeyAt(pump, 30, SCAN_DOWN);
        if (pump == 38) {
            ASSERT_FALSE(m_mouse.warps.empty());
            EXPECT_EQ(m_mouse.warps.back().x, 1541 + 43);
            EXPECT_EQ(m_mouse.warps.back().y, 182 + 43);
            EXPECT_EQ(Screen().HoverId, 0x6400);
            m_keyboard.down = {1};
        }
    });
    EXPECT_EQ(result, -1);
}

} // namespace
