#include "screens/base/ISelect.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesAssembler.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/TimeApi.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"

namespace {

// A screen that notes every handler the loop runs, and whose loop the test ends from the pump
// script. Its handlers do not wait, so the same key seen on two passes is noted twice.
class TestScreen : public ISelect
{
public:
    explicit TestScreen(std::vector<std::string>& log, const char* name = "")
        : m_log(log)
        , m_name(name)
    {}
    void OnOpen() override
    {
        Note("open");
        if (open_sets_running)
            Running = 1;
    }
    void Update() override
    {
        ++updates;
        if (on_update)
            on_update();
    }
    void OnClose() override
    {
        Note("close");
        ISelect::OnClose();
    }
    void OnEnterKey() override
    {
        Note("enter");
        if (on_enter)
            on_enter();
    }
    void OnEscapeKey() override { Note("escape"); }
    void OnDeleteKey() override { Note("delete"); }
    void OnCtrlKey() override { Note("ctrl"); }
    void OnShiftKey() override { Note("shift"); }
    void OnLButton() override { Note("left"); }
    void OnRButton() override { Note("right"); }
    void OnPaste() override { Note("paste"); }
    void OnDrag() override { Note("drag"); }
    void OnMouseWheel(int32_t count) override
    {
        Note("wheel " + std::to_string(count));
        ISelect::OnMouseWheel(count);
    }
    int32_t OnUpKey() override
    {
        const int32_t held = ISelect::OnUpKey();
        Note("up " + std::to_string(held));
        return held;
    }

    void ModalLoop() override
    {
        RunModalLoop(message_window ? ModalChain::MessageWindow : ModalChain::Screen);
    }
    void OnIdlePass() override { ++idle_passes; }

    bool message_window = false;
    bool open_sets_running = true;
    int updates = 0;
    int idle_passes = 0;
    std::function<void()> on_update;
    std::function<void()> on_enter;

private:
    void Note(const std::string& what) { m_log.push_back(m_name + what); }

    std::vector<std::string>& m_log;
    std::string m_name;
};

class ISelectThreadTest : public ScreenFixture
{
protected:
    // Runs the screen with input set at pump 2, everything released at pump `release` and the
    // screen ended at pump `end`.
    void RunWithInput(TestScreen& screen, const std::function<void()>& press, int release = 3, int end = 4)
    {
        OnPump([&](int pump) {
            if (pump == 2)
                press();
            if (pump == release) {
                m_keyboard.down.clear();
                m_mouse = ScriptedMouse();
            }
            if (pump == end)
                screen.Running = 0;
        });
        ScriptValue out;
        screen.Run(&out);
        OnPump(nullptr);
    }

    std::vector<std::string> m_log;
};

} // namespace

TEST_F(ISelectThreadTest, TheFirstMatchingTestOfAPassRunsAlone)
{
    struct Case
    {
        const char* what;
        std::function<void(ScriptedKeyboard&, ScriptedMouse&)> press;
        std::vector<std::string> handlers;
    } cases[] = {
        {"Enter with a click",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) {
             k.down = {28};
             m.left_down = 1;
         },
         {"enter"}},
        {"Escape with Delete",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) {
             k.down = {1, 211};
         },
         {"escape"}},
        {"Ctrl with Enter",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) {
             k.down = {29, 28};
         },
         {"ctrl", "enter"}},
        {"Ctrl+V",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) {
             k.down = {29, 47};
         },
         {"ctrl", "paste"}},
        {"V keeps the wheel and drag back",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) {
             k.down = {47};
             m.wheel = 2;
             m.drag = 1;
         },
         {}},
        {"a wheel turn alone",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) { m.wheel = 2; },
         {"wheel 2"}},
        {"a click",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) { m.left_down = 1; },
         {"left"}},
        {"Shift",
         []([[maybe_unused]] ScriptedKeyboard& k, [[maybe_unused]] ScriptedMouse& m) { k.down = {42}; },
         {"shift"}},
    };
    for (const Case& c : cases) {
        m_log.clear();
        TestScreen screen(m_log);
        RunWithInput(screen, [&] { c.press(m_keyboard, m_mouse); });
        std::vector<std::string> expected{"open"};
        expected.insert(expected.end(), c.handlers.begin(), c.handlers.end());
        expected.push_back("close");
        EXPECT_EQ(m_log, expected) << c.what;
        EXPECT_EQ(m_mouse.clears, 1) << c.what << ": the click latches are cleared after the loop";
    }
}

TEST_F(ISelectThreadTest, TheMessageWindowChainTakesButtonsEarlyHasNoPasteAndKeepsARaisedInputMode)
{
    struct Case
    {
        const char* what;
        std::set<uint32_t> keys;
        bool left = false;
        bool right = false;
        std::vector<std::string> screen;
        std::vector<std::string> message_window;
        int message_window_idle_passes = 2; // passes 1 and 3 match nothing
    } cases[] = {
        {"Escape with a click", {1}, true, false, {"escape"}, {"left"}},
        {"Delete with a right click", {211}, false, true, {"delete"}, {"right"}},
        {"Ctrl+V", {29, 47}, false, false, {"ctrl", "paste"}, {"ctrl"}, 3},
        {"Enter", {28}, false, false, {"enter"}, {"enter"}},
    };
    for (const Case& c : cases) {
        for (const bool message_window : {false, true}) {
            m_log.clear();
            TestScreen screen(m_log);
            screen.message_window = message_window;
            // A handler raising InputMode: the message windows keep it one more pass only.
            screen.on_enter = [&screen] { screen.InputMode = 1; };
            RunWithInput(screen, [&] {
                m_keyboard.down = c.keys;
                m_mouse.left_down = c.left ? 1 : 0;
                m_mouse.right_down = c.right ? 1 : 0;
            });
            const std::vector<std::string>& handlers = message_window ? c.message_window : c.screen;
            std::vector<std::string> expected{"open"};
            expected.insert(expected.end(), handlers.begin(), handlers.end());
            expected.push_back("close");
            EXPECT_EQ(m_log, expected) << c.what << (message_window ? " (message window)" : "");
            // Only the message windows' chain has the idle hook; V alone does not end it.
            EXPECT_EQ(screen.idle_passes, message_window ? c.message_window_idle_passes : 0) << c.what;
            if (handlers == std::vector<std::string>{"enter"}) {
                EXPECT_EQ(screen.InputMode, message_window ? 0 : 1) << c.what;
            }
        }
    }
}

TEST_F(ISelectThreadTest, ALongPressAnswersOneAfterThreeHundredMilliseconds)
{
    TestScreen held(m_log);
    RunWithInput(
        held, [&] { m_keyboard.down = {SCAN_UP}; }, 100, 101);
    TestScreen tapped(m_log);
    RunWithInput(
        tapped, [&] { m_keyboard.down = {SCAN_UP}; }, 3, 5);
    // Held: 1 at the first pump 300 ms on; the key is still down, so the next pass asks again.
    ASSERT_GE(m_log.size(), 4u);
    EXPECT_EQ(m_log[1], "up 1");
    EXPECT_EQ(std::vector<std::string>(m_log.end() - 3, m_log.end()),
              (std::vector<std::string>{"open", "up 0", "close"}));
}

TEST_F(ISelectThreadTest, TheCursorStaysOnTheScreen)
{
    TestScreen screen(m_log);
    screen.MoveCursorBy(5000, -5000);
    EXPECT_EQ(screen.CursorX, 1920);
    EXPECT_EQ(screen.CursorY, 0);
    screen.MoveCursorBy(-1, 1080 + 7);
    ASSERT_EQ(m_mouse.warps.size(), 2u);
    EXPECT_EQ(m_mouse.warps[0].x, 1920);
    EXPECT_EQ(m_mouse.warps[1].x, 1919);
    EXPECT_EQ(m_mouse.warps[1].y, 1080);
}

TEST_F(ISelectThreadTest, AScreenThatDoesNotReopenEndsAtTheFirstPump)
{
    TestScreen screen(m_log);
    screen.open_sets_running = false;
    screen.Running = 0;
    screen.Result = ScriptValue::FromInteger(5);
    OnPump(nullptr);
    ScriptValue out;
    screen.Run(&out);
    EXPECT_EQ(screen.updates, 0);
    EXPECT_EQ(Pumps(), 1);
    EXPECT_EQ(out.Integer, 5);
}

// A handler that ends a quiet screen (it draws nothing) is not kept waiting: the pump after it
// and the loop's last sleep rest no longer than the loop asks, where a quiet loop's rest would
// last until the next input.
TEST_F(ISelectThreadTest, AScreenAHandlerEndsLeavesWithoutRestingUntilInput)
{
    TestScreen screen(m_log);
    screen.on_enter = [&] { screen.Running = 0; };
    platform::SetIdleWait(+[](uint32_t) { return false; }); // this thread's rests take the notes
    std::optional<int32_t> left_at_last_pump;
    OnPump([&](int pump) {
        const std::optional<uint32_t> due = platform::TakeDueTime(); // as the pump's rest would
        if (pump == 2)
            m_keyboard.down = {28};
        if (pump == 3)
            left_at_last_pump =
                due ? std::optional(static_cast<int32_t>(*due - timeGetTime())) : std::nullopt;
    });
    screen.Run(nullptr);
    const std::optional<uint32_t> last_sleep = platform::TakeDueTime();
    platform::SetIdleWait(nullptr);
    EXPECT_EQ(Pumps(), 3);
    OnPump(nullptr);
    m_keyboard.down.clear();
    ASSERT_TRUE(left_at_last_pump.has_value()) << "the pump after the handler rests until input";
    EXPECT_LE(*left_at_last_pump, 0);
    ASSERT_TRUE(last_sleep.has_value()) << "the loop's last sleep rests until input";
    EXPECT_LE(static_cast<int32_t>(*last_sleep - timeGetTime()), 1);
}

TEST_F(ISelectThreadTest, ADocumentCodeClosesEveryNestedScreenInOrder)
{
    TestScreen outer(m_log, "outer ");
    TestScreen inner(m_log, "inner ");
    inner.on_update = [] { throw CVeskDoc::DOCUMENT_RESTORE_STACK; };
    outer.on_enter = [&] {
        EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), 2u) << "the plate and the outer screen";
        inner.Run(nullptr);
    };
    ScriptValue out = ScriptValue::FromInteger(42);
    outer.Result = ScriptValue::FromInteger(7);
    OnPump([&](int pump) {
        if (pump == 2)
            m_keyboard.down = {28};
    });
    try {
        outer.Run(&out);
        FAIL() << "the code must pass through";
    } catch (CVeskDoc::tagDOCUMENT_CODE code) {
        EXPECT_EQ(code, CVeskDoc::DOCUMENT_RESTORE_STACK);
    }
    EXPECT_EQ(m_log, (std::vector<std::string>{"outer open", "outer enter", "inner open", "inner close",
                                               "outer close"}));
    EXPECT_EQ(GetGameWork()->GetActiveScreens().size(), 1u) << "only the plate, listed at start-up";
    EXPECT_EQ(out.Integer, 42) << "the result is not copied";
}

TEST_F(ISelectThreadTest, AQuitEndsTheLoopWithTheCurrentResult)
{
    TestScreen screen(m_log);
    screen.Result = ScriptValue::FromInteger(3);
    OnPump([&](int pump) {
        if (pump == 3)
            m_app.m_quit = true;
    });
    ScriptValue out;
    screen.Run(&out);
    m_app.m_quit = false;
    EXPECT_EQ(out.Integer, 3);
    EXPECT_EQ(m_log, (std::vector<std::string>{"open", "close"}));
}

TEST_F(ISelectThreadTest, OkAndCancelSoundsPlayOnEffectChannelFour)
{
    TestScreen screen(m_log);
    screen.PlayOkSound(SCREEN_SOUND_CHANNEL);
    m_app.Config().SetString("/Config/Sound/Cancel", "cancel_b.wav");
    screen.PlayCancelSound(SCREEN_SOUND_CHANNEL);
    const std::vector<std::string> sounds = TakeOkCancelSounds();
    ASSERT_EQ(sounds.size(), 4u);
    EXPECT_EQ(sounds[1], "play ses_001.wav");
    EXPECT_EQ(sounds[3], "play cancel_b.wav");
    EXPECT_EQ(sounds[0].rfind("volume ", 0), 0u) << "the effect volume is applied";
}

class ServiceScreen : public ISelect
{
public:
    void RunScript(int32_t handle) override
    {
        seen_bits = GetDocument()->GetEngineStateWord();
        seen_skip = GetConfigSceneSkip();
        if (handle == 1)
            GetScriptState().ScriptResult = 9;
        if (handle == 2)
            GetScriptState().ScriptResultList = {4, 5};
        if (handle == 3)
            throw CVeskDoc::DOCUMENT_RETURN_TO_TITLE;
    }
    uint32_t seen_bits = 0;
    bool seen_skip = true;
};

TEST_F(ISelectThreadTest, ScriptsRunForAnAnswerPutSceneSkipAndTheirBitBackOnEveryWayOut)
{
    SetConfigSceneSkip(1);
    ServiceScreen screen;
    EXPECT_EQ(screen.RunScriptForValue(1), 9);
    EXPECT_NE(screen.seen_bits & ENGINE_STATE_VALUE_ANSWER, 0u);
    EXPECT_FALSE(screen.seen_skip);
    EXPECT_EQ(screen.RunScriptForValue(0), 0) << "a script that sets no answer";
    std::vector<int32_t> list{1};
    screen.RunScriptForList(2, list);
    EXPECT_EQ(list, (std::vector<int32_t>{4, 5}));
    EXPECT_NE(screen.seen_bits & ENGINE_STATE_LIST_ANSWER, 0u);
    EXPECT_THROW(screen.RunScriptForValue(3), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_THROW(screen.RunScriptForList(3, list), CVeskDoc::tagDOCUMENT_CODE);
    EXPECT_TRUE(GetConfigSceneSkip()) << "a persisted setting is never left off";
    EXPECT_EQ(GetDocument()->GetEngineStateWord() & (ENGINE_STATE_VALUE_ANSWER | ENGINE_STATE_LIST_ANSWER),
              0u);
    // The base runs nothing for a handle that names no record.
    TestScreen base(m_log);
    EXPECT_EQ(base.RunScriptForValue(12345), 0);
}

TEST_F(ISelectThreadTest, FlagsEngineStateAndLayerLookUp)
{
    TestScreen screen(m_log);
    FlagBuffer& state = *GetScriptState().m_current_state;
    state.Flags.assign(4, 0);
    screen.SetFlag(3, 0x5A);
    screen.SetFlag(4, 0x77); // outside: stored nowhere
    EXPECT_EQ(screen.GetFlag(3), 0x5A);
    EXPECT_EQ(screen.GetFlag(4), 0);
    EXPECT_EQ(state.Flags.size(), 4u);
    state.Flags.clear();
    EXPECT_EQ(screen.GetFlag(0), 0) << "an empty flag array";

    state.Values[55] = ScriptValue::FromText("text");
    screen.SetEngineState(0x10);
    EXPECT_EQ(state.Values[55].Type, 0u);
    EXPECT_EQ(state.Values[55].Integer & 0x10, 0x10);
    EXPECT_TRUE(screen.TestEngineState(0x11)) << "any bit of the mask";
    screen.ClearEngineState(0x10);
    EXPECT_FALSE(screen.TestEngineState(0x10));

    EXPECT_EQ(screen.FindSpriteLayer(321), nullptr);
    EXPECT_EQ(GetSpriteLayerRegistry().GetSpriteLayer(321), nullptr) << "looking up registered nothing";
}

TEST_F(ISelectThreadTest, RunScriptReplaysTheCodeABacklogHandleNames)
{
    // A recorded message whose code stores 7 into flag byte 3.
    const tools::AssembledScript script = tools::AssembleScript("push 7\nstflag 3\nend");
    ASSERT_TRUE(script.Ok) << script.Error;
    BacklogStore& backlog = GetScriptState().m_script_context->Backlog;
    backlog.Allocate(1);
    ASSERT_TRUE(backlog.NextEntry());
    // The file's two table counts come first; the record keeps bare code.
    backlog.GetCurrentEntry()->Code.assign(script.File.begin() + 8, script.File.end());
    FlagBuffer& state = *GetScriptState().m_current_state;
    state.Flags.assign(8, 0);

    TestScreen screen(m_log);
    screen.RunScript(BacklogStore::MakeHandle(0) + 1); // names no record: nothing runs
    EXPECT_EQ(screen.GetFlag(3), 0);
    EXPECT_EQ(screen.RunScriptForValue(BacklogStore::MakeHandle(0)), 0) << "the code sets no answer";
    EXPECT_EQ(screen.GetFlag(3), 7);
}
