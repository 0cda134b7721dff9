// The message window's skip and auto modes: whether skip is honoured, and auto mode's test that
// advances a message by itself.

#include "screens/base/CMesWnd.h"

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "platform/kernel/IdleWait.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"

namespace {

inline constexpr size_t VARIABLE_NO_VOICE_WAIT = 71;

} // namespace

bool CMesWnd::SkipHonoured()
{
    return !TestEngineState(ENGINE_STATE_SKIP_MODE);
}

void CMesWnd::AdvanceNow()
{
    HoverId = MESWND_ADVANCE;
    OnDecide();
}

// Auto mode's test for this frame; true when it advanced the message.
bool CMesWnd::AutoModeStep()
{
    if ((SkipHonoured() && InputView->GetExtraInput(0) != 0) || (ReadSkipOn != 0 && IsCurrentMessageRead())) {
        VoiceStep();
        return false;
    }
    if (IsShown() == 0 || IsMenuOpen())
        return false;
    const FlagBuffer* state = CurrentFlagBuffer();
    const bool no_wait = state != nullptr && VARIABLE_NO_VOICE_WAIT < state->Variables.size() &&
                         state->Variables[VARIABLE_NO_VOICE_WAIT].Integer != 0;
    bool test_deadline = false;
    if (m_voice_present != 0) {
        if (IsVoicePlaying())
            return false;
        const bool others = ChannelPlays(1) || ChannelPlays(2);
        if (GetConfigAutoVoiceWait()) {
            if (!no_wait && others)
                return false;
            test_deadline = true;
        } else {
            if (no_wait || !others) {
                AdvanceNow();
                return true;
            }
            return false;
        }
    } else {
        if (m_typing != 0)
            return false;
        test_deadline = true;
    }
    if (test_deadline && static_cast<int32_t>(GetEffectTime() - m_auto_deadline) > 0) {
        AdvanceNow();
        return true;
    }
    if (test_deadline)
        platform::NoteDueTime(m_auto_deadline + 1);
    return false;
}
