// The wait and settings groups driven by assembled scripts over a started game: waits that pump
// nothing, plain and skippable waits under Ctrl, Enter and skip mode, system requests posted
// during a wait served at its next tick in their order, and settings keys read and written as
// integers or texts.

#include <string>
#include <vector>

#include "GroupTestFixture.h"
#include "app/CGameWork.h"
#include "app/CVeskView.h"
#include "foundation/CInputView.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "screens/system/CConfig.h"
#include "screens/system/CSoundConfig.h"
#include "script/ScriptState.h"
#include "support/ScopedEnv.h"
#include "support/ThreadTest.h"

namespace {

class WaitAndXmlThreadTest : public ThreadTestOn<GroupTest>
{
protected:
    WaitAndXmlThreadTest() { StartGame(); }
};

TEST_F(WaitAndXmlThreadTest, WaitsEndByTimeOrBySkipInputs)
{
    struct Case
    {
        const char* source;
        uint32_t key; // held during the wait; 0 none
        bool skip_mode;
        DWORD min_ms;
        DWORD max_ms;
    };
    const Case cases[] = {
        {"lib 28, 0, 0, 1", 0, false, 0, 0},
        {"lib 28, 1, 0, 1", 0, false, 0, 0},
        {"lib 28, 0, -5, 1", 0, false, 0, 0},
        {"lib 28, 0, 50, 0", SCAN_LEFT_CONTROL, false, 50, 60},
        {"lib 28, 1, 50, 0", 0, false, 50, 60},
        {"lib 28, 1, 50, 0", SCAN_RIGHT_CONTROL, false, 0, 3},
        {"lib 28, 1, 50, 0", SCAN_LEFT_SHIFT, false, 0, 3},
        {"lib 28, 1, 50, 0", SCAN_LEFT_CONTROL, true, 50, 60},
        {"lib 28, 1, 50, 0", SCAN_ENTER, true, 0, 3},
    };
    for (const Case& c : cases) {
        m_keyboard.down.clear();
        if (c.key != 0)
            m_keyboard.down.insert(c.key);
        if (c.skip_mode)
            Document().SetEngineStateBits(ENGINE_STATE_SKIP_MODE);
        else
            Document().ClearEngineStateBits(ENGINE_STATE_SKIP_MODE);
        const int pumps = Pumps();
        const DWORD start = timeGetTime();
        RunSource(std::string("push 1\n") + c.source + "\nend");
        const DWORD waited = timeGetTime() - start;
        EXPECT_GE(waited, c.min_ms) << c.source << " key " << c.key;
        EXPECT_LE(waited, c.max_ms) << c.source << " key " << c.key;
        if (c.max_ms == 0) {
            EXPECT_EQ(Pumps(), pumps) << c.source;
        }
        EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1}) << c.source;
        Stack().clear();
    }
    m_keyboard.down.clear();
    Document().ClearEngineStateBits(ENGINE_STATE_SKIP_MODE);
    RunSource("push 1\nlib 28, 2\nend");
    EXPECT_EQ(StackIntegers(), std::vector<int32_t>{1}) << "an unknown wait pops nothing more";
}

// On a timer that cannot go below 16 ms every clock is the tick count, which moves in whole
// periods: a wait starts on it as it ends on it, rather than ending at once.
TEST_F(WaitAndXmlThreadTest, AWaitOnACoarseTimerRunsItsTimeOnTheTickCount)
{
    const ScopedEnv period("VESK_TIMER_PERIOD_MIN", "16");
    m_app.SetClockSwitch(1);
    platform::VirtualClock::Set((uint64_t{timeGetTime()} | 15) + 8); // 7 past a tick
    const DWORD start = timeGetTime();
    RunSource("push 1\nlib 28, 1, 50, 0\nend");
    m_app.SetClockSwitch(0);
    EXPECT_GE(timeGetTime() - start, 50u);
    EXPECT_LE(timeGetTime() - start, 66u);
    Stack().clear();
}

// A system-menu page that notes its run with the requests still pending, and closes the menu.
template <typename Base>
class PageProbe final : public Base
{
public:
    PageProbe(std::vector<std::string>& runs, const char* name)
        : m_runs(runs)
        , m_name(name)
    {}

protected:
    void ModalLoop() override
    {
        m_runs.push_back(std::string(m_name) + " " + std::to_string(GetDocument()->GetRequestWord()));
        this->Result = ScriptValue::FromInteger(SYSTEM_PAGE_CLOSE);
    }

private:
    std::vector<std::string>& m_runs;
    const char* m_name;
};

TEST_F(WaitAndXmlThreadTest, RequestsPostedDuringAWaitRunAtItsNextTickInTheirOrder)
{
    // Sound settings come before the window settings, whatever order the bits were set in.
    std::vector<std::string> runs;
    GetGameWork()->ExchangeScreen(std::make_unique<PageProbe<CSoundConfig>>(runs, "sound"));
    GetView()->SetStatusBits(VIEW_STATUS_ACTIVE);
    int posted_at = 0;
    m_app.on_pump = [&](int pumps) {
        if (posted_at == 0) {
            posted_at = pumps;
            Document().EventFlagOp(EVENT_FLAG_SET, REQUEST_WINDOW_SETTINGS);
            Document().EventFlagOp(EVENT_FLAG_SET, REQUEST_SOUND_SETTINGS);
        }
    };
    RunSource("lib 28, 0, 20, 1\nend");
    EXPECT_EQ(runs, std::vector<std::string>{"sound 8"}) << "the window request still pending";
    EXPECT_EQ(Document().GetRequestWord(), 0u) << "then served in the same tick";

    // Without the tick the requests wait for the frame.
    runs.clear();
    posted_at = 0;
    const std::shared_ptr<CScript> script = Assemble("lib 28, 0, 20, 0\nend");
    GetScriptState().ReplaceScript(script);
    for (int step = 0; step < 5; ++step) // four pushes and the call
        StepCurrent();
    EXPECT_TRUE(runs.empty()) << "not served during the wait";
    EXPECT_EQ(Document().GetRequestWord(), REQUEST_WINDOW_SETTINGS | REQUEST_SOUND_SETTINGS);
    Document().OnFrame();
    EXPECT_EQ(runs, std::vector<std::string>{"sound 8"}) << "served by the next frame";
    EXPECT_EQ(Document().GetRequestWord(), 0u);
    m_app.on_pump = nullptr;
    GetView()->ClearStatusBits(VIEW_STATUS_ACTIVE);
}

TEST_F(WaitAndXmlThreadTest, KeysAnswerInTheTypeOfTheDefault)
{
    RunSource(R"(
        lib 25, 0, "/Config/Absent", 5
        lib 25, 0, "/Config/Absent", "abc"
        lib 25, 1, "/Demo/New/Key", 12
        lib 25, 0, "/Demo/New/Key", 0
        lib 25, 0, "/Demo/New/Key", "x"
        lib 25, 1, "/Demo/Name", "hello"
        lib 25, 0, "/Demo/Name", ""
        lib 25, 2, "/Demo/Name", 1
        end)");
    struct Expected
    {
        uint32_t type;
        int32_t integer;
        const char* text;
    };
    const Expected expected[] = {{SCRIPT_VALUE_INTEGER, 5, ""},       {SCRIPT_VALUE_TEXT, 0, "abc"},
                                 {SCRIPT_VALUE_INTEGER, 12, ""},      {SCRIPT_VALUE_TEXT, 0, "12"},
                                 {SCRIPT_VALUE_TEXT, 0, "hello"},     {SCRIPT_VALUE_INTEGER, 1, ""},
                                 {SCRIPT_VALUE_TEXT, 0, "/Demo/Name"}}; // 2 pops nothing more
    ASSERT_EQ(Stack().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(Stack()[i].Type, expected[i].type) << i;
        EXPECT_EQ(Stack()[i].Integer, expected[i].integer) << i;
        EXPECT_STREQ(Stack()[i].Text.GetText(), expected[i].text) << i;
    }
    EXPECT_EQ(m_app.Config().GetInt("/Demo/New/Key", 0), 12) << "the missing elements were made";
}

} // namespace
