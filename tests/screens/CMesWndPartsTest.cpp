// The message window's own parts: the plate's colour, the name plate, the prompt, the hide and
// restore transitions and the repeated voice.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/ScreenFixture.h"
#include "screens/base/CMesWnd.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/commands/CFuncOneMes.h"
#include "script/vm/ScriptContext.h"
#include "sheetgen/SheetGenerator.h"
#include "sound/SoundChannels.h"
#include "support/FakeWaveManager.h"

namespace {

class CMesWndPartsThreadTest : public ScreenFixture
{
protected:
    CMesWndPartsThreadTest()
        : ScreenFixture(MessageWindowDataEntries(), MessageWindowPictureEntries())
    {
        FlagBuffer& state = *GetScriptState().m_current_state;
        state.Flags.resize(9000);
        state.Variables.resize(100);
        state.Values.resize(FLAG_BUFFER_VALUE_COUNT);
        CFuncOneMes read;
        read.ResizeReadBuffer(64);
        read.ClearReadBuffer();
        auto* layer = new CSpriteLayer; // the document owns it
        layer->Create(0, 0, 1920, 1080, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(8, layer);
        Window().ResetTextArea();
        // The page as the script's text line would have drawn it.
        layer->FillRect(0, 100, 1920, 180, PAGE, 1);
        Values()[30] = ScriptValue::FromInteger(48);
        Values()[31] = ScriptValue::FromInteger(60);
        BacklogStore& backlog = GetScriptState().m_script_context->Backlog;
        backlog.Allocate(1);
        backlog.Entries[0]->Code = {0};
        backlog.Entries[0]->BodyText = "あいうえお";
        auto& voices = GetGameSoundChannels()[SOUND_GROUP_VOICE];
        voices.clear();
        auto voice = std::make_unique<FakeWaveManager>();
        m_voice = voice.get();
        voices.push_back(std::move(voice));
    }
    ~CMesWndPartsThreadTest() override
    {
        GetGameSoundChannels()[SOUND_GROUP_VOICE].clear();
        GetSpriteLayerRegistry().UnregisterSpriteLayer(8);
        ReadSkipOn = 0;
    }
    static constexpr uint32_t PAGE = 0xFF406080;
    CMesWnd& Window() { return *GetGameWork()->GetMessageWindow(); }
    std::vector<ScriptValue>& Values() { return GetScriptState().m_current_state->Values; }
    LogBuffer& Entry() { return *GetScriptState().m_script_context->Backlog.Entries[0]; }
    static uint32_t Pixel(const std::unique_ptr<CSprite>& sprite, int x, int y)
    {
        return EffectPixel(*dynamic_cast<CSpriteLayer*>(sprite.get()), x, y);
    }
    void SetConfig(const char* key, int32_t value) { m_app.Config().SetInt(key, value); }
    // Runs message 3 with a script of inputs, ended by the test after `limit` pumps.
    void Run(std::function<void(int)> step, int32_t mode = 0, int limit = 600)
    {
        OnPump([&](int pump) {
            step(pump);
            if (pump >= limit)
                Window().Running = 0;
        });
        ScriptValue out;
        Window().RunMessage(out, mode, 3);
        OnPump(nullptr);
    }
    // What the prompt shows: its column (0 while the voice plays, 1 after) and frame, or -1.
    int32_t PromptCell()
    {
        Capture();
        const POINT at{MESWND_PROMPT_X + 29, Window().m_window_y + MESWND_PROMPT_Y + 40};
        const auto [id, state] = ShownCell(at.x, at.y);
        return id >= tools::MESSAGE_SHEET_PROMPT && id < tools::MESSAGE_SHEET_PROMPT + 6
                   ? static_cast<int32_t>(id - tools::MESSAGE_SHEET_PROMPT)
                   : -1;
    }

    FakeWaveManager* m_voice = nullptr;
};

TEST_F(CMesWndPartsThreadTest, TheStartUpBuildsTheWindowsSpritesAtTheirDepths)
{
    struct Part
    {
        CSprite* sprite;
        int32_t width, height, depth;
    };
    CMesWnd& w = Window();
    for (const Part& p :
         {Part{w.m_window_sprite.get(), 1730, 280, 36}, Part{w.m_text_area_sprite.get(), 1920, 280, 38},
          Part{w.m_prompt_sprite.get(), 58, 58, 40}, Part{w.m_face_sprite.get(), 144, 144, 38}}) {
        ASSERT_NE(p.sprite, nullptr);
        const RECT* rect = p.sprite->GetRect();
        EXPECT_EQ(rect->right - rect->left, p.width);
        EXPECT_EQ(rect->bottom - rect->top, p.height);
        EXPECT_EQ(p.sprite->GetPriority(), p.depth);
        EXPECT_EQ(p.sprite->IsVisible(), 0) << p.width; // nothing shows before the first message
    }
    EXPECT_NE(w.m_face_sheet, nullptr);
    EXPECT_EQ(w.m_shared_sprites[MESBUTTON_EDGE], CMesButton::GetButtonSprite(MESBUTTON_EDGE));
    w.ReleaseParts();
    w.ReleaseParts(); // a second release does nothing
    EXPECT_EQ(w.m_window_sprite, nullptr);
    EXPECT_EQ(w.CreateParts(), 1);
}

TEST_F(CMesWndPartsThreadTest, ThePlateTakesTheColourAndTheShapeScaledByAlpha)
{
    struct Case
    {
        int32_t red, green, blue, alpha;
        uint32_t inside;
    };
    // Alpha 100 leaves only the frame; settings above 100 count as 100.
    for (const Case& c :
         {Case{100, 0, 0, 0, 0xFFFF0000}, Case{0, 50, 100, 0, 0xFF007FFF}, Case{250, 0, 0, 0, 0xFFFF0000},
          Case{0, 0, 0, 100, 0}, Case{100, 100, 100, 300, 0}}) {
        SetConfig("/Config/MesWnd/Red", c.red);
        SetConfig("/Config/MesWnd/Green", c.green);
        SetConfig("/Config/MesWnd/Blue", c.blue);
        SetConfig("/Config/MesWnd/Alpha", c.alpha);
        Window().ApplyWindowColor();
        const uint32_t inside = Pixel(Window().m_window_sprite, 800, 140);
        EXPECT_EQ(c.inside == 0 ? inside >> 24 : inside, c.inside) << c.red << " " << c.alpha;
        EXPECT_EQ(Pixel(Window().m_window_sprite, 9, 140), tools::MESSAGE_SHEET_FRAME_COLOUR);
        EXPECT_EQ(Pixel(Window().m_window_sprite, 2, 2) >> 24, 0u); // outside the shape
    }
    SetConfig("/Config/MesWnd/Alpha", 50); // a = 127: the shape's alpha times 128 / 255
    Window().ApplyWindowColor();
    EXPECT_NEAR(static_cast<int>(Pixel(Window().m_window_sprite, 800, 140) >> 24), 128, 1);
}

TEST_F(CMesWndPartsThreadTest, ANamePlateMovesTheBoxDownAndAMessageWithoutNameLeavesThePlate)
{
    ILayer* text = SpriteLayerOf(Window().m_text_area_sprite.get());
    text->FillRect(0, 0, 1920, 280, 0xFF010203, 1);
    Entry().HeadTextId = -1;
    Entry().HeadText = "";
    Window().DrawNamePlate();
    EXPECT_EQ(Values()[47].Integer, 70);
    EXPECT_EQ(Values()[51].Integer, 70);
    EXPECT_EQ(Pixel(Window().m_text_area_sprite, 1600, 70), 0xFF010203u);

    Entry().HeadText = "ミナ";
    Values()[33] = ScriptValue::FromInteger(0xFFFFFF);
    Values()[55] = ScriptValue::FromInteger(0x180);
    Window().DrawNamePlate();
    EXPECT_EQ(Values()[46].Integer, 440);
    EXPECT_EQ(Values()[47].Integer, 70 + 64);
    EXPECT_EQ(Values()[48].Integer, 1440);
    EXPECT_EQ(Values()[51].Integer, 70 + 64);
    EXPECT_EQ(Values()[55].Integer, 0x180);
    const uint32_t plate = tools::CellColour(tools::MESSAGE_SHEET_NAME_PLATE, 0);
    EXPECT_EQ(Pixel(Window().m_text_area_sprite, 1600, 70), plate);
    EXPECT_EQ(Pixel(Window().m_text_area_sprite, 1600, 90), 0xFF010203u); // below the strip
    int drawn = 0;                                                        // the name's glyphs
    for (int y = 22; y < 62; ++y)
        for (int x = 508; x < 600; ++x)
            drawn += Pixel(Window().m_text_area_sprite, x, y) != plate ? 1 : 0;
    EXPECT_GT(drawn, 20);
}

TEST_F(CMesWndPartsThreadTest, ASpeakersPlateDrawnAgainIsTheFirstDrawing)
{
    const auto plate = [&](const char* name, int32_t colour) {
        Entry().HeadText = name;
        Values()[33] = ScriptValue::FromInteger(colour);
        Window().DrawNamePlate();
        std::vector<uint32_t> pixels;
        for (int y = MESWND_NAME_PLATE.top; y < MESWND_NAME_PLATE.bottom; ++y)
            for (int x = MESWND_NAME_PLATE.left; x < MESWND_NAME_PLATE.right; ++x)
                pixels.push_back(Pixel(Window().m_text_area_sprite, x, y));
        return pixels;
    };
    const std::vector<uint32_t> first = plate("ミナ", 0xFFFFFF);
    EXPECT_NE(plate("ユウ", 0xFFFFFF), first);
    EXPECT_EQ(plate("ミナ", 0xFFFFFF), first);
    EXPECT_NE(plate("ミナ", 0x00FF00), first); // another colour is drawn afresh
    EXPECT_EQ(plate("ミナ", 0xFFFFFF), first);
}

TEST_F(CMesWndPartsThreadTest, AContinuingPageEndPutsThePenStartBackFromUnderThePlate)
{
    Entry().HeadText = "ミナ";
    SetConfig("/Config/MesWnd/Speed", 100);
    int32_t during = 0;
    Run(
        [&](int pump) {
            if (pump == 40)
                during = Values()[51].Integer;
            m_mouse.left_down = pump == 50 ? 1 : 0;
        },
        1);
    EXPECT_EQ(during, 70 + 64);
    EXPECT_EQ(Values()[50].Integer, 440);
    EXPECT_EQ(Values()[51].Integer, 70);
}

TEST_F(CMesWndPartsThreadTest, HidingWhileTypingCompletesTheTextAndAClickBringsTheWindowBack)
{
    SetConfig("/Config/MesWnd/Speed", 0);
    SetConfig("/Config/System", 0);
    int hidden_at = 0;
    int restored_at = 0;
    std::vector<int32_t> seen; // typing, shown, plate visible, prompt visible
    auto look = [&] {
        for (CSprite* sprite : {Window().m_window_sprite.get(), Window().m_prompt_sprite.get()})
            seen.push_back(sprite->IsVisible());
    };
    Run([&](int pump) {
        m_mouse.right_down = pump == 30 ? 1 : 0;
        if (hidden_at == 0 && pump > 30 && Window().IsShown() == 0) {
            hidden_at = pump;
            seen.push_back(Window().IsTyping());
            look();
        }
        m_mouse.left_down = hidden_at != 0 && pump == hidden_at + 10 ? 1 : 0;
        if (hidden_at != 0 && restored_at == 0 && pump > hidden_at + 10 && Window().IsShown() != 0) {
            restored_at = pump;
            look();
        }
        if (restored_at != 0 && pump == restored_at + 5)
            Window().Running = 0;
    });
    ASSERT_NE(hidden_at, 0);
    ASSERT_NE(restored_at, 0);
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 0, 0, 1, 1}));
    EXPECT_EQ(Pixel(Window().m_text_area_sprite, 1900, 150), PAGE); // the whole page, not typed to there
}

TEST_F(CMesWndPartsThreadTest, ThePromptLoopsInTheColumnOfTheVoiceUntilTheMessageCloses)
{
    SetConfig("/Config/MesWnd/Speed", 100);
    SetConfig("/Config/Voice/CickEnd", 0);
    m_voice->StoreName("v001.ogg");
    m_voice->SetPlaying(true);
    std::vector<int32_t> cells;
    Run([&](int pump) {
        if (pump == 30 || pump == 40)
            cells.push_back(PromptCell());
        if (pump == 41)
            m_voice->SetPlaying(false);
        if (pump == 45 || pump == 61)
            cells.push_back(PromptCell());
        if (pump == 80)
            Window().Running = 0;
    });
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0] / 3, 0) << cells[0]; // while the voice plays
    EXPECT_EQ(cells[1] / 3, 0) << cells[1];
    EXPECT_EQ(cells[2] / 3, 1) << cells[2]; // once it is over
    EXPECT_EQ(cells[3] / 3, 1) << cells[3];
    EXPECT_NE(cells[2], cells[3]); // the frames go on
    EXPECT_EQ(Window().m_prompt_sprite->IsVisible(), 0);
    EXPECT_EQ(Window().IsPromptShown(), 0);
}

TEST_F(CMesWndPartsThreadTest, TheVoiceRepeatsWhileLoopIsOnAndStopsWhenSwitchedOff)
{
    struct Case
    {
        int32_t loop;
        bool switch_off;
        int replays_min, replays_max;
        bool stopped;
    };
    for (const Case& c :
         {Case{1, false, 5, 1000, false}, Case{0, false, 0, 1, false}, Case{0, true, 0, 1, true}}) {
        SetConfig("/Config/Voice/Loop", c.loop);
        SetConfig("/Config/Voice/Enable", 1);
        SetConfig("/Config/MesWnd/Speed", 100);
        m_voice->StoreName("v001.ogg");
        m_voice->SetPlaying(false);
        m_voice->ClearCalls();
        Run([&](int pump) {
            if (c.switch_off && pump == 20)
                SetConfig("/Config/Voice/Enable", 0);
            if (pump == 40)
                Window().Running = 0;
        });
        const std::vector<std::string> calls = m_voice->Calls();
        const auto plays = std::count(calls.begin(), calls.end(), "play v001.ogg");
        EXPECT_GE(plays, c.replays_min) << c.loop << c.switch_off;
        EXPECT_LE(plays, c.replays_max) << c.loop << c.switch_off;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "stop forget") > 0, c.stopped)
            << c.loop << c.switch_off;
    }
}

} // namespace
