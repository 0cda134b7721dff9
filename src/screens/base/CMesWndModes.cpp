// The message window's modes: skip honoured or not, auto mode's advance, and the cancel action that
// switches a mode off before it does what the settings ask.

#include "screens/base/CMesWnd.h"

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IMouse.h"
#include "graphics/FrameRedraw.h"
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

namespace {

void WaitCancelRelease(ISelect& screen)
{
    screen.ISelect::OnCancel();
}

} // namespace

void CMesWnd::OnCancel()
{
    const bool read = ReadSkipOn != 0 && IsCurrentMessageRead();
    if (read || AutoReadOn != 0 || (SkipHonoured() && InputView->GetExtraInput(0) != 0)) {
        if (ReadSkipOn != 0) {
            SetConfigOneMes(0);
            ReadSkipOn = 0;
            InputView->SetExtraInput(MESWND_READ_SKIP_WORD, 0);
            RefreshWindowButtons(0);
            HoverId = -1;
        } else if (AutoReadOn != 0) {
            SetConfigAutoRead(0);
            AutoReadOn = 0;
            RefreshWindowButtons(0);
        }
        InputMode = 0;
        RedrawFrameNow();
        WaitCancelRelease(*this);
        return;
    }
    if (IsShown() == 0) {
        WaitCancelRelease(*this);
        RestoreWindow(0);
        HoverId = -1;
        return;
    }
    WaitCancelRelease(*this);
    const FlagBuffer* state = CurrentFlagBuffer();
    const int32_t replay =
        state != nullptr && state->Variables.size() > 69 ? state->Variables[69].Integer : 0;
    if (replay == 1) {
        try {
            GameWork->ConfirmReturnTo(RETURN_TO_SCENE_SELECT, 0);
        } catch (CVeskDoc::tagDOCUMENT_CODE code) {
            if (code != CVeskDoc::DOCUMENT_RETURN_TO_TITLE)
                throw;
            Result = ScriptValue::FromInteger(1);
            HoverId = -1;
            Running = 0;
        }
    } else if (replay == 0) {
        switch (GetConfigSystem()) {
        case 0:
            if (IsShown() != 0) {
                if (m_typing != 0)
                    CompletePage(true);
                ShowHoverHelp(-1, 0);
                Hide();
                HoverId = MESWND_ADVANCE;
            }
            break;
        case 1:
            ShowHoverHelp(-1, 0);
            SetConfigAutoRead(GetConfigAutoRead() ? 0 : 1);
            AutoReadOn = GetConfigAutoRead() ? 1 : 0;
            RefreshWindowButtons(0);
            RedrawFrameNow();
            break;
        case 2:
            ShowHoverHelp(-1, 0);
            if (IMouse* mouse = InputView->GetMouse())
                mouse->SetWheel(0);
            GameWork->RunTopPage();
            RestoreWindow(0);
            break;
        case 3:
            ShowHoverHelp(-1, 0);
            if (!GetConfigOneMes()) {
                SetConfigOneMes(1);
                ReadSkipOn = 1;
                RefreshWindowButtons(0);
                AdvanceNow();
            } else {
                SetConfigOneMes(0);
                ReadSkipOn = 0;
                InputView->SetExtraInput(MESWND_READ_SKIP_WORD, 0);
                RefreshWindowButtons(0);
                RedrawFrameNow();
            }
            break;
        case 4:
            ShowHoverHelp(-1, 0);
            if (state != nullptr && state->Variables.size() > 53 && state->Variables[53].Integer == 1) {
                GameWork->ClearStatusBits(STATUS_SNAPSHOT_TAKEN);
                GameWork->RunSaveLoad(SYSTEM_PAGE_LOAD);
            } else {
                GameWork->RunTopPage();
            }
            RestoreWindow(0);
            break;
        case 5:
            ShowHoverHelp(-1, 0);
            if ((GameWork->GetStatus() & STATUS_SNAPSHOT_WANTED) != 0)
                GameWork->RunSaveLoad(SYSTEM_PAGE_SAVE);
            else
                GameWork->RunTopPage();
            RestoreWindow(0);
            break;
        default:
            break;
        }
    }
    WaitCancelRelease(*this);
}
