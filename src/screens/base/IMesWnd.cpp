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
    RunLoopAndClose(nullptr, [this](bool unwinding) {
        if (!unwinding)
            SetEngineState(ENGINE_STATE_RECORDING);
    });
}

void IMesWnd::ModalLoop()
{
    RunModalLoop(ModalChain::MessageWindow);
}

bool IMesWnd::OnSkipInput()
{
    if (SkipAllowed == 0 || !IsInputTriggered(INPUT_SKIP))
        return false;
    HoverId = MESWND_ADVANCE;
    OnDecide();
    return true;
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
    IdleSleep();
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
