// The message-window family on the screen stage: a test window derived from CMesButton with the
// generated "message_p.akb", "sidemenu_p.akb", "mes_o.area" and "mesmenu.area".

#include "screens/base/CMesButton.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/base/CNormalSelect2.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <set>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "animeasm/AnimeProgramWriter.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "facevoice/FaceVoiceWriter.h"
#include "foundation/CInputView.h"
#include "foundation/CLangTextTable.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "mapwrite/MapTableWriter.h"
#include "screens/ScreenFixture.h"
#include "screens/base/CFaceVoice.h"
#include "screens/base/CMesScreen.h"
#include "screens/base/CMesWnd.h"
#include "screens/flags/CFlagManager.h"
#include "screens/system/CLoadDialog.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncVoice.h"
#include "script/vm/ScriptContext.h"
#include "sheetgen/SheetGenerator.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class TestWindow final : public CMesButton
{
public:
    void OnEnterKey() override { calls.push_back("enter"); }
    void OnLButton() override { calls.push_back("left"); }
    void OnEscapeKey() override { calls.push_back("escape"); }
    void OnRButton() override { calls.push_back("right"); }
    void OnDecide() override { calls.push_back("decide " + std::to_string(HoverId)); }
    int32_t IsReplayMode() override { return all_read; }
    void Hide() override
    {
        calls.push_back("hide");
        CMesButton::Hide();
    }
    void RestoreWindow(int32_t flag) override { calls.push_back("restore " + std::to_string(flag)); }
    std::vector<std::string> calls;
    int32_t all_read = 0;
};

std::vector<tools::ArchiveEntry> DataEntries()
{
    std::vector<tools::ArchiveEntry> entries = MessageWindowDataEntries();
    entries.push_back({"SYSTEM_EN.MAP", tools::BuildMapTable(std::vector<tools::MapText>{{51, u"Skip the text"}})});
    entries.push_back(
        {"FACE.FV", tools::WriteFaceVoiceTable({{100, 1, 2, 0}, {40, -1, 0, 0}, {200, 3, 4, 0}})});
    entries.push_back(
        {"SHORT.FV", tools::WriteFaceVoiceTable({{0, 1, 2, 0}, {0, 3, 4, 0}, {0, 1, 2, 0}}, 3, 4 + 16 + 9)});
    entries.push_back({"NOCODE.FV", tools::WriteFaceVoiceTable({{0, 1, 5, 0}})});
    return entries;
}

// The control id and state a layer shows at (x, y).
std::pair<uint32_t, int32_t> CellAt(CSpriteLayer* layer, int x, int y)
{
    uint32_t id = 0;
    int32_t state = 0;
    if (layer == nullptr || !tools::DecodeCellColour(EffectPixel(*layer, x, y) | 0xFF000000u, id, state))
        return {0xFFFFFFFFu, -1};
    return {id, state};
}

class CMesButtonThreadTest : public ScreenFixture
{
protected:
    CMesButtonThreadTest()
        : ScreenFixture(DataEntries(), MessageWindowPictureEntries())
    {
        FlagBuffer& state = State();
        state.Flags.resize(9000);
        state.Variables.resize(100);
        state.Values.resize(FLAG_BUFFER_VALUE_COUNT);
        m_window = std::make_unique<TestWindow>();
        EXPECT_EQ(m_window->CreateParts(), 1);
        auto& voices = GetGameSoundChannels()[SOUND_GROUP_VOICE];
        voices.clear();
        auto voice = std::make_unique<FakeWaveManager>();
        m_voice = voice.get();
        voices.push_back(std::move(voice));
    }
    ~CMesButtonThreadTest() override
    {
        m_window.reset();
        GetInputView()->SetExtraInput(0, 0);
        GetGameSoundChannels()[SOUND_GROUP_VOICE].clear();
        ReadSkipOn = 0;
    }

    FlagBuffer& State() { return *GetScriptState().m_current_state; }
    void SetConfig(const char* key, int32_t value) { m_app.Config().SetInt(key, value); }

    // Runs the window's loop with a script of inputs, ended after the given pumps.
    void RunLoop(int pumps, std::function<void(int)> step)
    {
        OnPump([&](int pump) {
            step(pump);
            if (pump >= pumps)
                m_window->Running = 0;
        });
        m_window->Running = 1;
        ScriptValue out;
        m_window->RunMessage(out, 0, 5);
        OnPump(nullptr);
    }

    std::vector<int32_t> States(int32_t keep)
    {
        std::vector<int32_t> out;
        for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
            out.push_back(m_window->GetWindowButtonState(id, keep));
        return out;
    }

    std::unique_ptr<TestWindow> m_window;
    FakeWaveManager* m_voice = nullptr;
};

TEST_F(CMesButtonThreadTest, ButtonStatesFollowSkipReadReplayAndTheQuickSave)
{
    struct Case
    {
        bool skip, skip_bit, read, replay, quick, keep;
        std::vector<int32_t> states;
    };
    const std::vector<Case> cases = {
        {false, false, false, false, true, false, {0, 0, 0, 0, 0, 0, 0}},
        {true, false, false, false, true, false, {3, 3, 2, 3, 3, 3, 0}},
        {true, false, false, false, true, true, {3, 3, 2, 3, 0, 0, 0}},
        {true, true, false, false, true, false, {0, 0, 0, 0, 0, 0, 0}}, // 0x4000: skip counts as off
        {false, false, true, false, true, false, {0, 2, 3, 3, 3, 3, 0}},
        {false, false, true, false, true, true, {0, 2, 3, 0, 0, 0, 0}},
        {false, false, false, true, true, true, {0, 0, 0, 0, 3, 3, 0}},
        {false, false, false, false, false, false, {0, 0, 0, 0, 0, 3, 0}},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        GetInputView()->SetExtraInput(0, c.skip ? 1 : 0);
        if (c.skip_bit)
            State().SetEngineStateBits(ENGINE_STATE_SKIP_MODE);
        else
            State().ClearEngineStateBits(ENGINE_STATE_SKIP_MODE);
        SetConfig("/Config/OneMes", c.read ? 1 : 0);
        ReadSkipOn = c.read ? 1 : 0;
        m_window->all_read = c.read ? 1 : 0;
        State().Variables[69] = ScriptValue::FromInteger(c.replay ? 1 : 0);
        State().Variables[57] = ScriptValue::FromInteger(c.quick ? 1 : 0);
        EXPECT_EQ(States(c.keep ? 1 : 0), c.states) << "case " << i;
    }
}

TEST_F(CMesButtonThreadTest, DisabledClickIsIgnoredAndVoiceRepeatSwitchesAutoReadOff)
{
    GetInputView()->SetExtraInput(0, 1);
    SetConfig("/Config/AutoRead", 0);
    int32_t id = MESBUTTON_AUTO_READ;
    m_window->OnWindowButton(id, 0);
    EXPECT_EQ(id, MESBUTTON_IGNORED);
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    EXPECT_FALSE(GetConfigAutoRead());
    GetInputView()->SetExtraInput(0, 0);

    SetConfig("/Config/AutoRead", 1);
    SetConfig("/Config/Voice/Loop", 0);
    CMesButton::GetButtonSprite(MESBUTTON_VOICE_REPEAT)->SetVisibleFlag(1);
    id = MESBUTTON_VOICE_REPEAT;
    m_window->OnWindowButton(id, 0);
    EXPECT_EQ(id, MESBUTTON_VOICE_REPEAT);
    EXPECT_TRUE(GetConfigVoiceLoop());
    EXPECT_FALSE(GetConfigAutoRead());
    EXPECT_EQ(CellAt(CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ), 100, 30).second, 0);
    EXPECT_EQ(CellAt(CMesButton::GetButtonSprite(MESBUTTON_VOICE_REPEAT), 100, 30).second, 2);

    id = MESBUTTON_READ_SKIP; // switching read-skip on advances at once
    SetConfig("/Config/OneMes", 0);
    m_window->OnWindowButton(id, 0);
    EXPECT_EQ(id, MESWND_ADVANCE);
    EXPECT_EQ(ReadSkipOn, 1);
}

TEST_F(CMesButtonThreadTest, SharedPartsLiveWhileAnyWindowHoldsThem)
{
    // The game's own windows let go first: the message window, and the choice window that joined it.
    GetGameWork()->GetMessageWindow()->ReleaseParts();
    GetGameWork()->GetChoiceWindow()->CMesButton::ReleaseParts();
    const int32_t base = CMesButton::GetPartsHolders();
    auto second = std::make_unique<TestWindow>();
    ASSERT_EQ(second->CreateParts(), 1);
    EXPECT_EQ(CMesButton::GetPartsHolders(), base + 1);
    m_window->ReleaseParts();
    m_window->ReleaseParts(); // a second release of the same window changes nothing
    EXPECT_EQ(CMesButton::GetPartsHolders(), base);
    EXPECT_NE(CMesButton::GetButtonSprite(0), nullptr);
    EXPECT_NE(IRightMenu::GetSlotSprite(0), nullptr);
    second.reset();
    EXPECT_EQ(CMesButton::GetPartsHolders(), 0);
    EXPECT_EQ(CMesButton::GetButtonSprite(0), nullptr);
    // The side menu is shared with the area screens, which hold it from start-up.
    EXPECT_EQ(IRightMenu::GetSlotSprite(0) == nullptr, IRightMenu::GetMenuHolders() == 0);
}

TEST_F(CMesButtonThreadTest, WindowAreasShiftWithTheWindowAndBalloonsOpenBelowNearTheTop)
{
    // The window body and the edge button stand at the configured window top (768).
    EXPECT_EQ(CMesButton::FindWindowArea(MESWND_BODY)->Top, 768);
    EXPECT_EQ(CMesButton::FindWindowArea(MESBUTTON_EDGE)->Top, 768);
    EXPECT_EQ(CMesButton::FindWindowArea(MESBUTTON_SKIP)->Top, 1006);
    const BalloonPlacement above = CMesButton::PlaceBalloon(MESBUTTON_SKIP, 104, 26);
    EXPECT_EQ(above.X, 1086 + 100 - 104 - 15);
    EXPECT_EQ(above.Y, 1006 - 26 - 45);
    EXPECT_EQ(above.PointerY, 26 + 30);

    CMesButton::ShiftWindowAreas(-768);
    EXPECT_EQ(CMesButton::FindWindowArea(MESBUTTON_EDGE)->Top, 0);
    EXPECT_EQ(CMesButton::FindWindowArea(MESBUTTON_SKIP)->Top, 1006);
    const BalloonPlacement below = CMesButton::PlaceBalloon(MESBUTTON_EDGE, 52, 52);
    EXPECT_EQ(below.Y, 58);
    EXPECT_EQ(below.PointerY, 0);
    EXPECT_EQ(below.PointerCellX, 900);

    // Drawn: the pointer cell lies under the button's centre, the balloon below the button.
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
        CMesButton::GetButtonSprite(id)->SetVisibleFlag(1);
    m_window->ShowHoverHelp(MESBUTTON_EDGE, 1);
    CSpriteLayer* balloon = CMesButton::GetBalloonSprite();
    ASSERT_TRUE(balloon->IsVisible());
    EXPECT_EQ(balloon->GetPosition().y, 58);
    EXPECT_EQ(CellAt(balloon, 5, 5).first, tools::MESSAGE_SHEET_POINTER + 2);
    Capture("mesbutton_balloon_edge.png");
    // The plate's button has no text: the empty frame shows where the balloon stood.
    const POINT stood = balloon->GetPosition();
    m_window->ShowHoverHelp(STATUS_PLATE_BUTTON, 1);
    ASSERT_TRUE(balloon->IsVisible());
    EXPECT_EQ(balloon->GetPosition().x, stood.x);
    EXPECT_EQ(balloon->GetPosition().y, stood.y);
    m_window->ShowHoverHelp(MESWND_BODY, 1);
    EXPECT_FALSE(balloon->IsVisible());
    CMesButton::ShiftWindowAreas(768);
}

// The balloon's lower band over a window button: a piece whose body ends in its upper rows
// leaves the band's lower rows clear, where the button stands; they are not the piece's first
// rows again.
TEST_F(CMesButtonThreadTest, TheBalloonsEdgesAreTiledAlongTheirLengthOnly)
{
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
        CMesButton::GetButtonSprite(id)->SetVisibleFlag(1);
    ILayer* parts = CMesButton::GetPartsPicture()->GetLayer();
    parts->ClearRect(840, 684 + 14, 90, 16);
    parts->ClearRect(840, 714 + 14, 30, 16);
    m_window->ShowHoverHelp(MESBUTTON_SKIP, 1);
    CSpriteLayer* balloon = CMesButton::GetBalloonSprite();
    ASSERT_TRUE(balloon->IsVisible());
    const int32_t bottom = 26 + 30; // one line of text under the upper band
    ILayer* shown = balloon->GetLayer();
    int32_t width = 0;
    while (width < shown->GetWidth() && (EffectPixel(*shown, width, bottom - 10) >> 24) != 0)
        ++width;
    ASSERT_GT(width, 60);
    for (int32_t x = 12; x < width - 12; x += 5) {
        EXPECT_NE(EffectPixel(*shown, x, bottom + 2) >> 24, 0u) << "at " << x;
        for (int32_t y = bottom + 14; y < bottom + 30; ++y)
            ASSERT_EQ(EffectPixel(*shown, x, y) >> 24, 0u) << "at " << x << ", " << y;
    }
}

TEST_F(CMesButtonThreadTest, RowIsDrawnInItsStates)
{
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
        CMesButton::GetButtonSprite(id)->SetVisibleFlag(1);
    m_window->RefreshWindowButtons(0);
    Capture("mesbutton_row_normal.png");
    EXPECT_EQ(ShownCell(778, 1030), std::make_pair(0u, 0));
    GetInputView()->SetExtraInput(0, 1);
    m_window->RefreshWindowButtons(0);
    Capture("mesbutton_row_skip.png");
    EXPECT_EQ(ShownCell(778, 1030), std::make_pair(0u, 3));
    EXPECT_EQ(ShownCell(1186, 1030), std::make_pair(2u, 2));
    PointAt(1186, 1030);
    EXPECT_EQ(m_window->UpdateHover(-1, 0), MESBUTTON_SKIP);
    EXPECT_TRUE(CMesButton::GetBalloonSprite()->IsVisible());
    Capture("mesbutton_row_help.png");
}

TEST_F(CMesButtonThreadTest, RedrawnSlotsAndButtonsShowTheirNewestState)
{
    SetConfig("/Config/GameMode", 1);
    m_window->FollowPointer(1847, 500);
    ASSERT_TRUE(IRightMenu::IsMenuOpen());
    RunTasks(20);
    const auto shown = [&](int x, int y) {
        Capture();
        return ShownCell(x, y);
    };
    for (int32_t state : {1, 0, 2, 0}) {
        m_window->DrawButton(3, state, 0); // the settings slot
        EXPECT_EQ(shown(1700, 392), std::make_pair(0xF03u, state)) << state;
    }
    // The fifth slot holds the flag manager in game mode 1 and the title in mode 0.
    for (int32_t mode : {0, 1, 0}) {
        SetConfig("/Config/GameMode", mode);
        m_window->RefreshButtons();
        EXPECT_EQ(shown(1700, 588).first, mode == 1 ? 0xF06u : 0xF07u) << mode;
    }
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
        CMesButton::GetButtonSprite(id)->SetVisibleFlag(1);
    for (int32_t skip : {1, 0, 1, 0}) {
        GetInputView()->SetExtraInput(0, skip);
        m_window->RefreshWindowButtons(0);
        EXPECT_EQ(shown(778, 1030), std::make_pair(0u, skip != 0 ? 3 : 0)) << skip;
    }
}

TEST_F(CMesButtonThreadTest, AHiddenBalloonIsBlankAndShownAgainTheSame)
{
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
        CMesButton::GetButtonSprite(id)->SetVisibleFlag(1);
    const auto pixels = [] {
        CSpriteLayer* sprite = CMesButton::GetBalloonSprite();
        std::vector<uint32_t> all;
        for (int32_t y = 0; y < sprite->GetHeight(); ++y)
            for (int32_t x = 0; x < sprite->GetWidth(); ++x)
                all.push_back(EffectPixel(*sprite, x, y));
        return all;
    };
    const std::vector<uint32_t> blank(pixels().size(), 0);
    std::vector<uint32_t> first;
    for (int round = 0; round < 2; ++round) {
        m_window->ShowHoverHelp(MESBUTTON_AUTO_READ, 0);
        if (round == 0)
            first = pixels();
        EXPECT_NE(first, blank);
        EXPECT_EQ(pixels(), first) << round;
        // Every message's close hides it again: once cleared it is left so.
        for (int close = 0; close < 2; ++close) {
            m_window->ShowHoverHelp(-1, 0);
            EXPECT_EQ(pixels(), blank) << round << " " << close;
        }
    }
}

TEST_F(CMesButtonThreadTest, RowFadesInWithTheWindowUnlessFrozen)
{
    const auto counts = [] {
        std::vector<int32_t> out;
        for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
            out.push_back(CMesButton::GetButtonSprite(id)->GetAnimationCount());
        return out;
    };
    {
        State().Flags[FLAG_SIDE_MENU_FROZEN] = 1;
        CSpriteAnime anime;
        m_window->ShowWindowButtons(anime, 0);
        EXPECT_THAT(counts(), ElementsAre(0, 0, 0, 0, 0, 0, 0));
        State().Flags[FLAG_SIDE_MENU_FROZEN] = 0;
    }
    CSpriteAnime show;
    m_window->ShowWindowButtons(show, 1); // flag 1: the edge button stays as it is
    EXPECT_THAT(counts(), ElementsAre(1, 1, 1, 1, 1, 1, 0));
    show.PlayAndWait();
    EXPECT_EQ(CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ)->IsVisible(), 1);
    EXPECT_EQ(CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ)->GetAlpha(), 255);
    CSpriteAnime hide;
    m_window->HideWindowButtons(hide);
    EXPECT_THAT(counts(), ElementsAre(1, 1, 1, 1, 1, 1, 1));
    hide.PlayAndWait();
    EXPECT_EQ(CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ)->IsVisible(), 0);
}

TEST_F(CMesButtonThreadTest, SideMenuComesBackWithTheWindowAfterEveryHide)
{
    SetConfig("/Config/GameMode", 1);
    for (int round = 0; round < 3; ++round) {
        CSpriteAnime show;
        m_window->ShowWindowButtons(show, 0);
        show.PlayAndWait();
        m_window->OpenMenu();
        RunTasks(20);
        Capture(round == 2 ? "mesbutton_sidemenu_again.png" : "");
        EXPECT_EQ(ShownCell(1846 + 50, 24 + 50), std::make_pair(0xF00u, 0)) << "the tab, round " << round;
        EXPECT_EQ(ShownCell(1700, 190).first, 0xF01u) << "the save button, round " << round;
        CSpriteAnime hide;
        m_window->HideWindowButtons(hide);
        hide.PlayAndWait();
    }
}

TEST_F(CMesButtonThreadTest, HelpTextGoesThroughTheTextLayersStripIntoTheBalloon)
{
    // The auto-read button's help text, and the text layer the script typesets into (value 53),
    // screen-sized and never shown itself.
    auto texts = std::make_unique<CLangTextTable>();
    const tools::MapText entries[] = {{52, u"Auto mode"}};
    for (int language = 0; language < LANGUAGE_COUNT; ++language)
        texts->AddEntries(tools::BuildMapTable(entries), language);
    std::swap(GetGameWork()->m_system_language, texts);
    auto* text = new CSpriteLayer;
    text->Create(0, 0, 1920, 1080, -1);
    GetSpriteLayerRegistry().RegisterSpriteLayer(77, text);
    State().Values[53] = ScriptValue::FromInteger(77);
    for (int32_t id = 0; id < MESBUTTON_COUNT; ++id)
        CMesButton::GetButtonSprite(id)->SetVisibleFlag(1);
    const auto white = [](ILayer& layer, int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint32_t pixel = EffectPixel(layer, x, y);
                count += (pixel >> 24) >= 0x80 && (pixel & 0xFFFFFF) == 0xFFFFFF;
            }
        return count;
    };
    m_window->ShowHoverHelp(MESBUTTON_AUTO_READ, 0);
    EXPECT_GT(white(*text, 0, 1020, 400, 1046), 20) << "the text in the strip from (0, 1020)";
    EXPECT_EQ(white(*text, 0, 0, 1920, 996), 0) << "nothing above the strip";
    EXPECT_GT(white(*CMesButton::GetBalloonSprite(), 30, 30, 430, 56), 20) << "the text in the balloon";
    m_window->ShowHoverHelp(-1, 0);
    EXPECT_EQ(white(*text, 0, 996, 1280, 1080), 0) << "the strip cleared with the balloon";
    // The row, the side menu and the balloon are texture sprites.
    EXPECT_EQ(CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ)->GetType(), LAYER_KIND_TEXTURE);
    EXPECT_EQ(CMesButton::GetBalloonSprite()->GetType(), LAYER_KIND_TEXTURE);
    EXPECT_EQ(IRightMenu::GetSlotSprite(1)->GetType(), LAYER_KIND_TEXTURE);
    EXPECT_EQ(IRightMenu::GetPanelSprite()->GetType(), LAYER_KIND_TEXTURE);
    GetSpriteLayerRegistry().UnregisterSpriteLayer(77);
    std::swap(GetGameWork()->m_system_language, texts);
}

TEST_F(CMesButtonThreadTest, LoopRunsTheFirstMatchingHandlerOnly)
{
    struct Case
    {
        std::set<uint32_t> keys;
        int left, right;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{1}, 1, 0, "left"},   // the left button before Escape
        {{28}, 1, 0, "enter"}, // Enter before the left button
        {{1}, 0, 1, "escape"},
        {{}, 0, 1, "right"},
    };
    for (const Case& c : cases) {
        m_window->calls.clear();
        RunLoop(3, [&](int pump) {
            if (pump == 2) {
                m_keyboard.down = c.keys;
                m_mouse.left_down = c.left;
                m_mouse.right_down = c.right;
            } else {
                m_keyboard.down.clear();
                m_mouse.left_down = m_mouse.right_down = 0;
            }
        });
        EXPECT_THAT(m_window->calls, ElementsAre(c.expected)) << c.expected;
    }
}

TEST_F(CMesButtonThreadTest, SkipInputAndReadSkipAdvanceAsAllowed)
{
    GetInputView()->SetExtraInput(0, 1);
    m_window->SkipAllowed = 0;
    RunLoop(3, [](int) {});
    EXPECT_TRUE(m_window->calls.empty());
    m_window->SkipAllowed = 1;
    RunLoop(2, [](int) {});
    EXPECT_THAT(m_window->calls, ElementsAre("decide -2"));
    GetInputView()->SetExtraInput(0, 0);

    // Read-skip: only read messages, and only from the deadline on (16 ms a pump).
    ReadSkipOn = 1;
    for (int32_t read : {0, 1}) {
        m_window->calls.clear();
        m_window->all_read = read;
        m_window->AutoDeadline = GetEffectTime() + 16 * 5;
        int first = 0;
        RunLoop(10, [&](int pump) {
            if (first == 0 && !m_window->calls.empty())
                first = pump;
        });
        if (read == 0) {
            EXPECT_TRUE(m_window->calls.empty());
        } else {
            EXPECT_EQ(m_window->calls.front(), "decide -2");
            EXPECT_EQ(first, 6); // the pass of pump 5 saw the deadline
        }
    }
}

TEST_F(CMesButtonThreadTest, InputModeRaisedInTheLoopLastsOneMorePass)
{
    std::vector<int32_t> modes;
    RunLoop(8, [&](int pump) {
        modes.push_back(m_window->InputMode);
        if (pump == 3)
            m_window->InputMode = 1;
    });
    EXPECT_THAT(modes, ElementsAre(0, 0, 0, 1, 0, 0, 0, 0));
}

TEST_F(CMesButtonThreadTest, ClickEndKeepsOrCutsTheVoice)
{
    for (int32_t click_end : {0, 1}) {
        SetConfig("/Config/Voice/CickEnd", click_end);
        m_voice->StoreName("v001.ogg");
        m_voice->SetPlaying(true);
        VoiceChannelNames::Set(0, "v001.ogg");
        m_voice->ClearCalls();
        m_window->StopVoiceOnClick();
        EXPECT_TRUE(m_voice->GetName().IsEmpty());
        if (click_end == 0) {
            EXPECT_TRUE(m_voice->IsPlaying());
            EXPECT_TRUE(m_voice->Calls().empty());
            EXPECT_STREQ(VoiceChannelNames::Get(0).GetText(), "v001.ogg");
        } else {
            EXPECT_THAT(m_voice->Calls(), ElementsAre("volume -10000", "stop forget"));
            EXPECT_FALSE(m_voice->IsPlaying());
            EXPECT_TRUE(VoiceChannelNames::Get(0).IsEmpty());
        }
    }
}

TEST_F(CMesButtonThreadTest, SideMenuCompactsItsSlotsAndDisablesWhileClosed)
{
    struct Case
    {
        int32_t game_mode;
        std::vector<int32_t> map;
    };
    for (const Case& c :
         std::vector<Case>{{0, {0, 1, 2, 3, 4, 7, 8, -1, -1}}, {1, {0, 1, 2, 3, 4, 6, 7, 8, -1}}}) {
        SetConfig("/Config/GameMode", c.game_mode);
        m_window->RefreshButtons();
        EXPECT_THAT(m_window->ButtonMap, ElementsAreArray(c.map)) << c.game_mode;
    }
    ASSERT_FALSE(IRightMenu::IsMenuOpen());
    for (int32_t b = 0; b < SIDE_MENU_SLOTS; ++b) {
        const int32_t state = m_window->GetButtonState(b);
        if (b == 0 || b == 7 || b == 8)
            EXPECT_EQ(state, 0) << b;
        else
            EXPECT_GE(state, SIDE_MENU_DISABLED) << b;
    }
    // Open, with the flag manager otherwise usable: game date 1307 disables it.
    State().Flags[7090] = 1;
    m_window->OpenMenu();
    EXPECT_EQ(m_window->GetButtonState(SIDE_MENU_FLAGS), 0);
    State().SetGameDate(1307);
    EXPECT_EQ(m_window->GetButtonState(SIDE_MENU_FLAGS), SIDE_MENU_DISABLED);
    EXPECT_EQ(m_window->GetButtonState(SIDE_MENU_SETTINGS), 0);
    m_window->CloseMenu();
}

TEST_F(CMesButtonThreadTest, SideMenuClicksActOnlyOnUsableButtons)
{
    SetConfig("/Config/GameMode", 1);
    m_window->RefreshButtons();
    TakeOkCancelSounds();
    m_window->OnSideMenuButton(1); // save, disabled while the menu is closed
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    EXPECT_FALSE(IRightMenu::IsMenuOpen());
    m_window->OnSideMenuButton(0); // the tab
    EXPECT_FALSE(TakeOkCancelSounds().empty());
    EXPECT_TRUE(IRightMenu::IsMenuOpen());
    EXPECT_EQ(IRightMenu::GetManualFlag(), 1);
    m_window->FollowPointer(1900, 500); // opened by hand: the pointer at the edge leaves it be
    EXPECT_TRUE(IRightMenu::IsMenuOpen());
    m_window->FollowPointer(100, 500);
    EXPECT_FALSE(IRightMenu::IsMenuOpen());
    EXPECT_EQ(IRightMenu::GetManualFlag(), 0);
}

TEST_F(CMesButtonThreadTest, SideMenuScreensRunBehindAHiddenWindowWithoutHelpOrAWheelTurn)
{
    SetConfig("/Config/GameMode", 1);
    SetConfig("/Config/TopPage", 99); // a page the settings do not open: nothing runs
    SetConfig("/Config/Dialog/02/Enable", 0);
    m_window->RefreshButtons();
    m_window->OnSideMenuButton(0);
    ASSERT_TRUE(IRightMenu::IsMenuOpen());
    const auto slot_of = [&](int32_t button) {
        for (int32_t slot = 0; slot < SIDE_MENU_SLOTS; ++slot)
            if (m_window->GetKindAt(slot) == button)
                return slot;
        return -1;
    };
    CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ)->SetVisibleFlag(1);

    m_window->ShowHoverHelp(0xF00 + slot_of(SIDE_MENU_SETTINGS), 1);
    ASSERT_TRUE(CMesButton::GetBalloonSprite()->IsVisible());
    m_window->calls.clear();
    m_window->OnSideMenuButton(slot_of(SIDE_MENU_SETTINGS));
    EXPECT_FALSE(CMesButton::GetBalloonSprite()->IsVisible());
    EXPECT_THAT(m_window->calls, ElementsAre("hide", "restore 0"));

    // Without backlog entries the backlog button does nothing.
    m_window->calls.clear();
    m_window->OnSideMenuButton(slot_of(SIDE_MENU_BACKLOG));
    EXPECT_TRUE(m_window->calls.empty());

    // A confirmed return to the title ends the window's run with 1 as the code unwinds.
    SetConfig("/Config/Dialog/03/Enable", 0);
    m_window->Running = 1;
    EXPECT_THROW(m_window->OnSideMenuButton(slot_of(SIDE_MENU_TITLE)), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_EQ(m_window->Running, 0);
    EXPECT_EQ(m_window->Result.Integer, 1);

    // A wheel turn made before the exit is gone whatever the answer.
    m_mouse.wheel = -3;
    EXPECT_THROW(m_window->OnSideMenuButton(slot_of(SIDE_MENU_EXIT)), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_EQ(m_mouse.wheel, 0);
}

// Load and the flag manager run their screen behind the hidden window and bring it back after.
TEST_F(CMesButtonThreadTest, SideMenuLoadAndFlagManagerRunBehindAHiddenWindow)
{
    SetConfig("/Config/GameMode", 1);
    State().Variables[53] = ScriptValue::FromInteger(1); // a game to load
    State().Flags[7090] = 1;                             // the flag manager's schedule is open
    const auto slot_of = [&](int32_t button) {
        for (int32_t slot = 0; slot < SIDE_MENU_SLOTS; ++slot)
            if (m_window->GetKindAt(slot) == button)
                return slot;
        return -1;
    };
    CGameWork* work = GetGameWork();
    const std::pair<int32_t, ISelect*> cases[] = {{SIDE_MENU_LOAD, work->GetLoadDialog()},
                                                  {SIDE_MENU_FLAGS, work->GetFlagManager()}};
    for (const auto& [button, screen] : cases) {
        SCOPED_TRACE(button);
        m_window->OpenMenu();
        ASSERT_EQ(m_window->GetButtonState(button), 0);
        m_window->calls.clear();
        std::vector<std::string> while_running;
        OnPump([&](int) {
            if (screen->Running == 0 || !while_running.empty())
                return;
            while_running = m_window->calls;
            screen->Result = ScriptValue::FromInteger(SYSTEM_PAGE_END);
            screen->Running = 0;
        });
        m_window->OnSideMenuButton(slot_of(button));
        OnPump(nullptr);
        EXPECT_THAT(while_running, ElementsAre("hide"));
        EXPECT_THAT(m_window->calls, ElementsAre("hide", "restore 0"));
    }
}

TEST_F(CMesButtonThreadTest, SideMenuSlidesFromThePointerAndFinishesASlideFirst)
{
    SetConfig("/Config/GameMode", 1);
    CSpriteLayer* save = IRightMenu::GetSlotSprite(1);
    EXPECT_EQ(save->GetPosition().x, 1920);
    m_window->FollowPointer(1847, 500);
    ASSERT_TRUE(IRightMenu::IsMenuOpen());
    RunTasks(20);
    EXPECT_EQ(save->GetPosition().x, 1520);
    Capture("mesbutton_sidemenu_open.png");
    EXPECT_EQ(ShownCell(1700, 190).first, 0xF01u);
    EXPECT_EQ(m_window->HitTest(1700, 190), 0xF01);
    CMesButton::GetButtonSprite(MESBUTTON_AUTO_READ)->SetVisibleFlag(1);
    m_window->ShowHoverHelp(0xF01, 1); // the save button is disabled here: no balloon
    EXPECT_FALSE(CMesButton::GetBalloonSprite()->IsVisible());
    m_window->ShowHoverHelp(0xF03, 1);
    Capture("mesbutton_sidemenu_help.png");
    ASSERT_TRUE(CMesButton::GetBalloonSprite()->IsVisible());
    EXPECT_EQ(CMesButton::GetBalloonSprite()->GetPosition().x, 1620 - 60);
    EXPECT_EQ(CMesButton::GetBalloonSprite()->GetPosition().y, 152 + 98 * 2);

    // Closing half-way through a slide back first puts the sprites at the slide's end.
    m_window->FollowPointer(1000, 500);
    EXPECT_FALSE(IRightMenu::IsMenuOpen());
    RunTasks(3);
    m_window->OpenMenu();
    m_window->CloseMenu();
    RunTasks(20);
    EXPECT_EQ(save->GetPosition().x, 1920);

    // Frozen by flag byte 7078: the tab does not react and the show animation leaves the menu
    // be (the hosts keep the pointer from it too, each in its own frame).
    State().Flags[FLAG_SIDE_MENU_FROZEN] = 1;
    EXPECT_EQ(m_window->HitTest(1870, 50), -1);
    CSpriteAnime anime;
    const int32_t alpha = IRightMenu::GetPanelSprite()->GetAlpha();
    m_window->AddShowAnimation(anime);
    EXPECT_EQ(IRightMenu::GetPanelSprite()->GetAnimationCount(), 0);
    EXPECT_EQ(IRightMenu::GetPanelSprite()->GetAlpha(), alpha);
    State().Flags[FLAG_SIDE_MENU_FROZEN] = 0;
    EXPECT_EQ(m_window->HitTest(1870, 50), 0xF00);
}

TEST_F(CMesButtonThreadTest, EndingASceneSkipRestartsFromAScratchSaveOutsideTheSlots)
{
    const std::string folder = m_dir.Path().string() + "/";
    State().SetMoney(1234);
    SetConfig("/Config/SceneSkip", 1);
    GetInputView()->SetExtraInput(0, 1);
    EXPECT_THROW(m_window->EndSceneSkip(), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_FALSE(GetConfigSceneSkip());
    EXPECT_EQ(GetInputView()->GetExtraInput(0), 0);
    EXPECT_TRUE(std::filesystem::exists(folder + "FLAG999"));
    EXPECT_TRUE(std::filesystem::exists(folder + "SaveData999.dat"));
    EXPECT_FALSE(std::filesystem::exists(folder + "FLAG121"));
    EXPECT_EQ(State().Money(), 1234);

    // When the scratch save cannot be written the skip ends without a reload.
    std::filesystem::remove(folder + "FLAG999");
    std::filesystem::create_directory(folder + "FLAG999");
    SetConfig("/Config/SceneSkip", 1);
    State().SetMoney(99);
    EXPECT_NO_THROW(m_window->EndSceneSkip());
    EXPECT_FALSE(GetConfigSceneSkip());
    EXPECT_EQ(State().Money(), 99);
}

TEST_F(CMesButtonThreadTest, QuickSaveAndQuickLoadUseSlot201)
{
    const std::string folder = m_dir.Path().string() + "/";
    State().Variables[57] = ScriptValue::FromInteger(0);
    State().SetMoney(500);
    // A system flag file that cannot be opened refuses the save: one box, and no sound of a save.
    std::filesystem::remove(folder + "FLAG000");
    std::filesystem::create_directory(folder + "FLAG000");
    TakeOkCancelSounds();
    m_messages.clear();
    int32_t id = MESBUTTON_QUICK_SAVE;
    m_window->OnWindowButton(id, 0);
    EXPECT_FALSE(std::filesystem::exists(folder + "FLAG201"));
    EXPECT_EQ(m_messages.size(), 1u);
    const auto saved_sounds = [&] { return std::ranges::count(TakeOkCancelSounds(), "play ses_003.wav"); };
    EXPECT_EQ(saved_sounds(), 0);
    std::filesystem::remove(folder + "FLAG000");

    id = MESBUTTON_QUICK_SAVE;
    m_window->OnWindowButton(id, 0);
    EXPECT_EQ(id, MESBUTTON_QUICK_SAVE);
    EXPECT_EQ(saved_sounds(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder + "FLAG201"));
    EXPECT_EQ(State().Variables[57].Integer, 1);
    EXPECT_EQ(m_window->GetWindowButtonState(MESBUTTON_QUICK_LOAD, 0), 0);

    State().SetMoney(7);
    id = MESBUTTON_QUICK_LOAD;
    EXPECT_THROW(m_window->OnWindowButton(id, 0), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_EQ(State().Money(), 500);
}

class TimedScreen final : public CMesScreen
{
public:
    void Update() override
    {
        if (first_update == 0)
            first_update = GetEffectTime();
        CMesScreen::Update();
    }
    uint32_t first_update = 0;
};

TEST(CMesScreenLayout, LinesAreMeasuredInHalfWidthUnitsAndCentred)
{
    EXPECT_EQ(CMesScreen::LongestLine("冬休みの最初の朝です"), 20);
    EXPECT_EQ(CMesScreen::LongestLine("ab\n冬休み\nabcdefg"), 7);
    EXPECT_EQ(CMesScreen::LongestLine(""), 0);
    EXPECT_EQ(CMesScreen::TextLeft(48, 20), (1980 - 480) / 2);
    EXPECT_EQ(CMesScreen::TextLeft(48, 100), 330); // wider than 1320: cut at 1320
}

TEST_F(CMesButtonThreadTest, MessageScreenStaysForItsTimeAndEndsOnTheWheelDown)
{
    BacklogStore& backlog = GetScriptState().m_script_context->Backlog;
    backlog.Allocate(1);
    backlog.Entries[0]->Code = {1, 0};
    backlog.Entries[0]->BodyText = "冬休みの最初の朝です";
    // The script's text line drew the message at the top left of text layer 8.
    auto* text = new CSpriteLayer;
    text->Create(0, 0, 1920, 1080, -1);
    text->FillRect(0, 470, 480, 48, 0xFFFFFFFF, 1);
    GetSpriteLayerRegistry().RegisterSpriteLayer(MESSAGE_SCREEN_TEXT_LAYER, text);
    State().Values[30] = ScriptValue::FromInteger(48); // 20 units of 24: 480 pixels
    TimedScreen screen;
    ASSERT_EQ(screen.CreateParts(), 1);
    int32_t skip_allowed = -1;
    bool captured = false;
    OnPump([&](int) {
        if (screen.Running)
            skip_allowed = screen.SkipAllowed;
        if (screen.first_update != 0 && !captured) {
            captured = true;
            Capture("message_screen_centred.png");
            EXPECT_EQ(Shown(750 + 5, 490) & 0xFFFFFF, 0xFFFFFFu);
            EXPECT_EQ(Shown(750 + 480 + 5, 490) & 0xFFFFFF, 0u);
            EXPECT_EQ(Shown(750 - 5, 490) & 0xFFFFFF, 0u);
        }
    });
    screen.RunText(0, "kept");
    EXPECT_TRUE(captured);
    EXPECT_EQ(screen.GetDeadline() - screen.first_update, 1800u - 16u);
    EXPECT_GE(GetEffectTime(), screen.GetDeadline());
    EXPECT_EQ(skip_allowed, 0);
    EXPECT_EQ(screen.SkipAllowed, 1);

    int wheel_pump = 0;
    OnPump([&](int pump) {
        if (screen.first_update != 0 && wheel_pump == 0) {
            wheel_pump = pump;
            m_mouse.wheel = 1; // up: nothing
        } else if (wheel_pump != 0 && pump == wheel_pump + 5) {
            EXPECT_EQ(screen.Running, 1);
            m_mouse.wheel = -1; // down: ends it
        } else if (wheel_pump != 0 && pump > wheel_pump + 400) {
            screen.Running = 0;
        }
    });
    screen.first_update = 0;
    const uint32_t start = GetEffectTime();
    screen.RunText(100000, "kept");
    EXPECT_LT(GetEffectTime() - start, 100000u);
    OnPump(nullptr);

    // A document code through the run still puts skip back.
    SetConfig("/Config/SceneSkip", 1);
    EXPECT_THROW(screen.RunText(0, "kept"), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_EQ(screen.SkipAllowed, 1);
    GetSpriteLayerRegistry().UnregisterSpriteLayer(MESSAGE_SCREEN_TEXT_LAYER);
}

TEST_F(CMesButtonThreadTest, FacesStartAtTheirTimesOnTheClock)
{
    tools::AnimeProgramWriter writer;
    writer.SetSlotCode(1, 2, tools::AnimeCode().Hold(100000));
    writer.SetSlotCode(3, 4, tools::AnimeCode().Hold(100000));
    writer.SetSlotOffset(1, 5, 0); // no code
    const std::vector<uint8_t> program = writer.Build();
    CAnimeManager* anime = GetSpriteLayerRegistry().GetAnimeManager();
    ASSERT_NE(anime, nullptr);
    CFaceVoice face;
    ASSERT_TRUE(face.LoadTable("face.fv"));
    ASSERT_EQ(face.StartItems(), 3u);
    face.m_base_time = GetEffectTime();
    face.Execute(); // no program yet: nothing starts
    EXPECT_EQ(anime->GetSlot(1, 2).state, ANIME_STOPPED);

    anime->SetProgramData(program.data(), program.size());
    std::vector<std::pair<uint32_t, uint32_t>> states;
    for (uint32_t elapsed : {99u, 100u, 200u}) {
        face.m_base_time = GetEffectTime() - elapsed;
        face.Execute();
        states.push_back({anime->GetSlot(1, 2).state, anime->GetSlot(3, 4).state});
    }
    EXPECT_THAT(states, ElementsAre(std::make_pair(ANIME_STOPPED, ANIME_STOPPED),
                                    std::make_pair(ANIME_RUNNING, ANIME_STOPPED),
                                    std::make_pair(ANIME_RUNNING, ANIME_RUNNING)));

    // A face whose slot has no code leaves the character's running face alone.
    ASSERT_TRUE(face.LoadTable("nocode.fv"));
    ASSERT_EQ(face.StartItems(), 1u);
    face.m_base_time = GetEffectTime();
    face.Execute();
    EXPECT_EQ(anime->GetSlot(1, 2).state, ANIME_RUNNING);
    EXPECT_EQ(anime->GetSlot(1, 5).state, ANIME_STOPPED);

    // Tables reloaded and emptied while the task thread steps: a step never sees items of a
    // table that is gone (the sanitizer builds check the memory).
    std::atomic<bool> stop{false};
    std::thread stepper([&] {
        while (!stop.load())
            face.Execute();
    });
    for (int i = 0; i < 200; ++i) {
        face.LoadTable(i % 2 == 0 ? "face.fv" : "short.fv");
        face.StartItems();
        if (i % 3 == 0)
            face.Clear();
    }
    stop = true;
    stepper.join();
    ASSERT_TRUE(face.LoadTable("short.fv"));
    EXPECT_EQ(face.StartItems(), 1u); // the count claims three, one record is whole
    ASSERT_TRUE(face.LoadTable("face.fv"));
    face.StartItems();

    face.ApplyFaceItem(2);
    EXPECT_EQ(State().Variables[0].Integer, 3);
    EXPECT_EQ(State().Variables[1].Integer, 4);
    anime->UnloadProgram();
}

} // namespace
