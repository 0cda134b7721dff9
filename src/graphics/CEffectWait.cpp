#include "graphics/CEffectWait.h"

#include "foundation/CInputView.h"
#include "foundation/GameDocument.h"
#include "foundation/IKeyboard.h"
#include "foundation/IMouse.h"
#include "foundation/WaitPass.h"
#include "graphics/EffectClock.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"

void CEffectWait::TestRequests()
{
    if ((m_skip_flags & SKIP_ON_REQUEST) && m_document != nullptr &&
        m_document->EventFlagOp(EVENT_FLAG_TEST, m_request_mask))
        throw EVENT_SKIP;
}

int32_t CEffectWait::Wait(uint32_t ms, int32_t allow_skip)
{
    try {
        while (true) {
            // Elapsed time as an unsigned difference, so a wait across the clock's wrap ends on time.
            const uint32_t elapsed = GetEffectTime() - m_start_time;
            if (elapsed >= ms)
                return 0;
            platform::NoteDueTime(m_start_time + ms);
            if (!RunWaitPass(allow_skip ? m_document : nullptr))
                return 0;
            if (allow_skip)
                TestRequests();
            PollSkipInput();
            if (ms - elapsed > 3)
                Sleep(1);
        }
    } catch (tagEVENT_SKIP skip) {
        return skip == EVENT_SKIP ? 1 : 0;
    }
}

int32_t CEffectWait::CheckSkip()
{
    try {
        TestRequests();
        PollSkipInput();
        return 0;
    } catch (tagEVENT_SKIP skip) {
        return skip == EVENT_SKIP ? 1 : 0;
    }
}

void CEffectWait::PollSkipInput()
{
    if (m_input_view == nullptr)
        return;
    IKeyboard* keyboard = m_input_view->GetKeyboard();
    IMouse* mouse = m_input_view->GetMouse();
    auto key = [keyboard](uint32_t scan_code) {
        return keyboard != nullptr && keyboard->IsKeyDown(scan_code) != 0;
    };
    if (m_skip_flags & SKIP_ON_OK) {
        if (key(SCAN_ENTER) || key(SCAN_KEYPAD_ENTER) ||
            (mouse != nullptr && (mouse->IsLeftDown() || mouse->GetTouchTap())))
            throw EVENT_SKIP;
    }
    if (m_skip_flags & SKIP_ON_CANCEL) {
        if (key(SCAN_ESCAPE) || key(SCAN_DELETE) ||
            (mouse != nullptr && (mouse->IsRightDown() || mouse->GetTouchState())))
            throw EVENT_SKIP;
    }
    if ((m_skip_flags & SKIP_ON_WHEEL) && mouse != nullptr && mouse->GetWheel() != 0)
        throw EVENT_SKIP;
    const bool skip_mode =
        m_document != nullptr && (m_document->GetEngineStateWord() & ENGINE_STATE_SKIP_MODE) != 0;
    if (skip_mode)
        return;
    if ((m_skip_flags & SKIP_ON_EXTRA) &&
        (m_input_view->GetExtraInput(0) != 0 || m_input_view->GetExtraInput(1) != 0))
        throw EVENT_SKIP;
    if ((m_skip_flags & SKIP_ON_CTRL) && (key(SCAN_LEFT_CONTROL) || key(SCAN_RIGHT_CONTROL)))
        throw EVENT_SKIP;
    if ((m_skip_flags & SKIP_ON_SHIFT) && (key(SCAN_LEFT_SHIFT) || key(SCAN_RIGHT_SHIFT)))
        throw EVENT_SKIP;
}
