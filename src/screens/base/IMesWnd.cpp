#include "screens/base/IMesWnd.h"

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "graphics/EffectClock.h"
#include "platform/kernel/IdleWait.h"
#include "script/commands/CFuncBackLog.h"
#include "script/commands/CFuncOneMes.h"
#include "script/commands/CFuncVoice.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"
#include "sound/IWaveManager.h"

uint32_t CurrentMessageNumber = 0;
uint8_t ReadSkipOn = 0;

namespace {

// Lets the voice thread apply the silence before the stop, so the cut makes no click.
inline constexpr uint32_t VOICE_SILENCE_MS = 10;

IWaveManager* VoiceChannel(int32_t channel)
{
    CFuncVoice voice;
    return voice.GetManager(channel);
}

} // namespace

void IMesWnd::RunMessage(ScriptValue& out, int32_t mode, int32_t number)
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    CurrentMessageNumber = static_cast<uint32_t>(number);
    MessageMode = mode;
    Result = ScriptValue::FromInteger(0);
    RunModal();
    out = Result;
}

void IMesWnd::RunModal()
{
    ClearEngineState(ENGINE_STATE_RECORDING);
    try {
        ModalLoop();
    } catch (GameDocument::tagDOCUMENT_CODE) {
        OnClose();
        throw;
    }
    SetEngineState(ENGINE_STATE_RECORDING);
    OnClose();
}

void IMesWnd::ModalLoop()
{
    OnOpen();
    if (InputMode == 1)
        InputModeFrames = 1;
    while (PumpFrame() != 0) {
        Update();
        if (Running == 0)
            break;
        if (IsInputTriggered(INPUT_CTRL))
            OnCtrlKey();
        if (IsInputTriggered(INPUT_SHIFT))
            OnShiftKey();
        if (Running == 0)
            break;

        IMouse* mouse = InputView->GetMouse();
        if (IsInputTriggered(28) || IsInputTriggered(156))
            OnEnterKey();
        else if (IsInputTriggered(INPUT_LEFT))
            OnLButton();
        else if (IsInputTriggered(1) || IsInputTriggered(82))
            OnEscapeKey();
        else if (IsInputTriggered(INPUT_RIGHT))
            OnRButton();
        else if (IsInputTriggered(211))
            OnDeleteKey();
        else if (SkipAllowed != 0 && IsInputTriggered(INPUT_SKIP)) {
            HoverId = MESWND_ADVANCE;
            OnDecide();
        } else if (IsInputTriggered(14))
            OnBackspaceKey();
        else if (IsInputTriggered(57))
            OnSpaceKey();
        else if (IsInputTriggered(15))
            OnTabKey();
        else if (IsInputTriggered(199))
            OnHomeKey();
        else if (IsInputTriggered(207))
            OnEndKey();
        else if (IsInputTriggered(201))
            OnPageUpKey();
        else if (IsInputTriggered(209))
            OnPageDownKey();
        else if (IsInputTriggered(SCAN_UP))
            OnUpKey();
        else if (IsInputTriggered(SCAN_DOWN))
            OnDownKey();
        else if (IsInputTriggered(SCAN_LEFT))
            OnLeftKey();
        else if (IsInputTriggered(SCAN_RIGHT))
            OnRightKey();
        else if (IsInputTriggered(INPUT_MIDDLE))
            OnMButton();
        else if (mouse != nullptr && mouse->GetWheel() != 0)
            OnMouseWheel(mouse->GetWheel());
        else if (IsInputTriggered(INPUT_DRAG))
            OnDrag();
        else
            OnIdlePass();

        // An InputMode raised during the pass lasts one more pass.
        if (InputMode != 0) {
            if (InputModeFrames != 0) {
                if (--InputModeFrames == 0)
                    InputMode = 0;
            } else {
                InputModeFrames = 1;
            }
        }
    }
    if (!GetConfigSceneSkip())
        Sleep(1);
    if (IMouse* mouse = InputView->GetMouse())
        mouse->ClearClicks();
}

void IMesWnd::OnIdlePass()
{
    if (SkipAllowed != 0 && ReadSkipOn != 0 && IsMessageRead(CurrentMessageNumber)) {
        if (static_cast<int32_t>(GetEffectTime() - AutoDeadline.load()) >= 0) {
            HoverId = MESWND_ADVANCE;
            OnDecide();
        } else {
            platform::NoteDueTime(AutoDeadline.load());
        }
        return;
    }
    if (!TestEngineState(ENGINE_STATE_NO_IDLE_SLEEP))
        Sleep(1);
}

bool IMesWnd::IsMessageRead(uint32_t number)
{
    if (IsReplayMode() != 0)
        return true;
    CFuncOneMes read;
    return read.IsRead(static_cast<int32_t>(number)) == 1;
}

bool IMesWnd::IsMessageAudible()
{
    IWaveManager* channel = VoiceChannel(0);
    if (channel == nullptr || channel->IsLoaded() == 0)
        return false;
    VoiceName = channel->GetName();
    return GetConfigVoiceEnable() && !GetEnabledVoiceName(VoiceName).IsEmpty();
}

void IMesWnd::UpdateVoiceState()
{
    UpdateVoiceStateOn(0);
}

void IMesWnd::StopVoiceOnClick()
{
    StopVoiceOn(0, 0);
}

bool IMesWnd::IsVoicePlaying()
{
    IWaveManager* channel = VoiceChannel(0);
    return channel != nullptr && channel->IsPlaying();
}

void IMesWnd::UpdateVoiceStateOn(int32_t channel)
{
    MessageVoicePlaying = IsMessageAudible() ? 1 : 0;
    if (IsInputTriggered(INPUT_CTRL) || IsInputTriggered(INPUT_SKIP))
        return;
    if (IsMessageVoicePlaying() != 0) {
        CFuncVoice voice;
        voice.Start(channel);
    }
}

void IMesWnd::StopVoiceOn(int32_t channel, int32_t force)
{
    IWaveManager* manager = VoiceChannel(channel);
    if (manager == nullptr)
        return;
    if (force == 0 && !GetConfigVoiceCickEnd()) {
        manager->ClearName();
        return;
    }
    if (manager->IsPlaying()) {
        manager->SetVolume(VOICE_VOLUME_SILENT);
        Sleep(VOICE_SILENCE_MS);
    }
    manager->Stop(true);
    VoiceChannelNames::Set(channel, "");
}

CStringUTF8 IMesWnd::GetBacklogEntryString(int32_t index)
{
    if (GetGameDocument()->m_script_context == nullptr)
        return CStringUTF8();
    CFuncBackLog backlog;
    return backlog.GetEntryString(index);
}
