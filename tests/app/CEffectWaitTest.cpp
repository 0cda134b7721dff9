// The effect wait on the virtual clock: the time running out, skip inputs, requests and the
// clock's wrap.
#include "graphics/CEffectWait.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "app/DocumentFixture.h"
#include "app/InputFakes.h"
#include "app/TestApp.h"
#include "foundation/CInputView.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "script/FlagBuffer.h"

namespace {

using platform::VirtualClock;

// Each pump of messages takes one millisecond, so the wait's last milliseconds, which it spends
// pumping without sleeping, pass on the virtual clock too.
class ClockedApp final : public TestApp
{
public:
    UINT PumpMessage() override
    {
        VirtualClock::Advance(1);
        return TestApp::PumpMessage();
    }
};

class CEffectWaitTest : public ::testing::Test
{
protected:
    CEffectWaitTest()
    {
        VirtualClock::Enable(10'000);
        VirtualClock::SetAutoAdvance(true); // every Sleep(1) of the wait moves the clock on
        m_input.SetKeyboard(&m_keyboard);
        m_input.SetMouse(&m_mouse);
        GetDocument()->GetScript().m_current_state = std::make_unique<FlagBuffer>(); // the engine-state word lives there
        m_wait.SetDocument(GetDocument());
        m_wait.SetInputView(&m_input);
    }
    ~CEffectWaitTest() override
    {
        DeleteDocument();
        VirtualClock::Disable();
    }

    ClockedApp m_app;
    CInputView m_input;
    ScriptedKeyboard m_keyboard;
    ScriptedMouse m_mouse;
    CEffectWait m_wait;
};

TEST_F(CEffectWaitTest, RunsUntilTheTimeIsUp)
{
    m_wait.SetSkipFlags(SKIP_ON_OK);
    m_wait.SetStartTime(timeGetTime());
    EXPECT_EQ(m_wait.Wait(100, 1), 0);
    const uint32_t waited = timeGetTime() - 10'000;
    EXPECT_GE(waited, 100u);
    EXPECT_LE(waited, 101u);
}

TEST_F(CEffectWaitTest, AStartInThePastEndsAtOnce)
{
    m_wait.SetStartTime(timeGetTime() - 200);
    EXPECT_EQ(m_wait.Wait(100, 1), 0);
    EXPECT_EQ(timeGetTime(), 10'000u); // not even one pump
}

TEST_F(CEffectWaitTest, EndsAcrossTheClockWrap)
{
    VirtualClock::Set(0xFFFF'FFFFull - 20);
    m_wait.SetStartTime(timeGetTime());
    EXPECT_EQ(m_wait.Wait(50, 0), 0);
    // 50 ms after 2^32 - 21 is 29.
    EXPECT_GE(timeGetTime(), 29u);
    EXPECT_LE(timeGetTime(), 30u);
}

TEST_F(CEffectWaitTest, ASelectedInputSkipsEvenWithoutAllowSkip)
{
    m_wait.SetSkipFlags(SKIP_ON_OK);
    m_wait.SetStartTime(timeGetTime());
    m_keyboard.down = {28};
    EXPECT_EQ(m_wait.Wait(1000, 0), 1);
    EXPECT_EQ(timeGetTime(), 10'001u); // after the first pump
}

TEST_F(CEffectWaitTest, OnlySelectedInputsSkip)
{
    m_wait.SetSkipFlags(SKIP_ON_CANCEL);
    m_keyboard.down = {28};
    EXPECT_EQ(m_wait.CheckSkip(), 0);
    m_mouse.long_press = 1;
    EXPECT_EQ(m_wait.CheckSkip(), 1);
    m_mouse = {};
    m_wait.SetSkipFlags(SKIP_ON_WHEEL);
    m_mouse.wheel = -1;
    EXPECT_EQ(m_wait.CheckSkip(), 1);
    m_mouse = {};
    m_wait.SetSkipFlags(SKIP_ON_EXTRA);
    m_input.SetExtraInput(1, 1);
    EXPECT_EQ(m_wait.CheckSkip(), 1);
}

TEST_F(CEffectWaitTest, CtrlShiftAndTheExtraWordsDoNotSkipInSkipMode)
{
    m_wait.SetSkipFlags(SKIP_ON_CTRL | SKIP_ON_SHIFT | SKIP_ON_EXTRA | SKIP_ON_OK);
    m_keyboard.down = {157, 42};
    m_input.SetExtraInput(0, 1);
    EXPECT_EQ(m_wait.CheckSkip(), 1);
    GetDocument()->SetEngineStateBits(ENGINE_STATE_SKIP_MODE);
    EXPECT_EQ(m_wait.CheckSkip(), 0);
    m_mouse.tap = 1; // OK inputs still count
    EXPECT_EQ(m_wait.CheckSkip(), 1);
}

TEST_F(CEffectWaitTest, PollSkipInputThrowsOne)
{
    m_wait.SetSkipFlags(SKIP_ON_OK);
    m_mouse.left_down = 1;
    try {
        m_wait.PollSkipInput();
        FAIL() << "no skip thrown";
    } catch (CEffectWait::tagEVENT_SKIP skip) {
        EXPECT_EQ(skip, 1u);
    }
}

// Requests need the document's event manager: a started document.
class CEffectWaitRequestThreadTest : public DocumentFixture
{
protected:
    CEffectWaitRequestThreadTest()
    {
        VirtualClock::Enable(10'000);
        VirtualClock::SetAutoAdvance(true);
        StartDocument();
        m_clocked = std::make_unique<ClockedApp>(); // the newest application object pumps
        m_wait.SetDocument(GetDocument());
        m_wait.SetSkipFlags(SKIP_ON_REQUEST);
        m_wait.SetRequestMask(REQUEST_RETURN_TO_TITLE);
    }
    ~CEffectWaitRequestThreadTest() override
    {
        m_clocked.reset();
        VirtualClock::Disable();
    }

    std::unique_ptr<ClockedApp> m_clocked;
    CEffectWait m_wait;
};

TEST_F(CEffectWaitRequestThreadTest, APendingRequestOfTheMaskSkips)
{
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_SYSTEM_SETTINGS);
    EXPECT_EQ(m_wait.CheckSkip(), 0);
    GetDocument()->EventFlagOp(EVENT_FLAG_SET, REQUEST_RETURN_TO_TITLE);
    EXPECT_EQ(m_wait.CheckSkip(), 1);
    m_wait.SetStartTime(timeGetTime());
    EXPECT_EQ(m_wait.Wait(500, 1), 1);
    // Without allow_skip the requests are not looked at: the time runs out.
    m_wait.SetStartTime(timeGetTime());
    EXPECT_EQ(m_wait.Wait(500, 0), 0);
    GetDocument()->EventFlagOp(EVENT_FLAG_CLEAR, 0xFF);
}

} // namespace
