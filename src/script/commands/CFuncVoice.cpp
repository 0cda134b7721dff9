#include "script/commands/CFuncVoice.h"

#include "foundation/ConfigSettings.h"
#include "foundation/OrderedMutex.h"
#include "foundation/SoundGroups.h"
#include "platform/kernel/SyncApi.h"
#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"
#include "sound/CWaveOggManager.h"

#include <array>

namespace {

constexpr uint32_t ENGINE_STATE_COLLECT_VOICES = 0x400;
constexpr DWORD STOP_MUTE_MILLISECONDS = 10;

OrderedMutex g_voice_names_lock{LOCK_LEVEL_VOICE_NAMES}; // guards g_voice_names
std::array<CStringUTF8, VoiceChannelNames::COUNT> g_voice_names;

} // namespace

CStringUTF8 VoiceChannelNames::Get(int32_t channel)
{
    if (channel < 0 || channel >= COUNT)
        return CStringUTF8();
    std::lock_guard lock(g_voice_names_lock);
    return g_voice_names[static_cast<size_t>(channel)];
}

void VoiceChannelNames::Set(int32_t channel, CStringUTF8 name)
{
    if (channel < 0 || channel >= COUNT)
        return;
    std::lock_guard lock(g_voice_names_lock);
    g_voice_names[static_cast<size_t>(channel)] = name;
}

void CFuncVoice::CreateManager(int32_t count)
{
    CreateChannels<CWaveOggManager>(count,
                                    {SOUND_GROUP_VOICE, "/GameFile/VoiceArchive/File", "voice.arc",
                                     "/Config/Voice/Error", 1, 0, "Failed to create the Voice Object"});
}

void CFuncVoice::Play(CStringUTF8 name, int32_t channel, int32_t)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    const CStringUTF8 enabled = GetEnabledVoiceName(name);
    if (enabled.IsEmpty())
        return;
    PlayEnabled(*manager, channel, enabled);
}

void CFuncVoice::Stop(int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    if (manager->IsPlaying()) {
        manager->SetVolume(SOUND_VOLUME_SILENT);
        Sleep(STOP_MUTE_MILLISECONDS);
    }
    manager->Stop(true);
    VoiceChannelNames::Set(channel, CStringUTF8());
}

void CFuncVoice::Load(CStringUTF8 name, int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    if (CurrentState != nullptr && !CurrentState->Values.empty() && Context != nullptr) {
        const uint32_t state = CurrentState->EngineStateWord();
        if (state & ENGINE_STATE_COLLECT_VOICES) {
            Context->CollectedVoiceNames.push_back(name);
        } else if ((state & (ENGINE_STATE_RECORDING | ENGINE_STATE_RECORD_CODE)) ==
                   (ENGINE_STATE_RECORDING | ENGINE_STATE_RECORD_CODE)) {
            if (LogBuffer* entry = Context->Backlog.GetCurrentEntry()) {
                entry->HasVoice = 1;
                entry->VoiceFile = name;
            }
        }
    }
    manager->StoreName(name);
}

void CFuncVoice::Start(int32_t channel)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    const CStringUTF8 enabled = GetEnabledVoiceName(manager->GetName());
    if (enabled.IsEmpty())
        return;
    PlayEnabled(*manager, channel, enabled);
}

void CFuncVoice::PlayEnabled(IWaveManager& manager, int32_t channel, const CStringUTF8& name)
{
    VoiceChannelNames::Set(channel, name);
    // The volume of the name itself: what GetVolume reads once the entry is set, and right
    // also for a channel without an entry.
    manager.SetVolume(GetVoiceAttenuation(name));
    manager.PlayNamed(name);
}

bool CFuncVoice::IsEnabled()
{
    return GetConfigVoiceEnable();
}

int32_t CFuncVoice::GetVolume(int32_t channel)
{
    return GetVoiceAttenuation(VoiceChannelNames::Get(channel));
}

IWaveManager* CFuncVoice::GetManager(int32_t channel)
{
    return GroupManager(SOUND_GROUP_VOICE, channel);
}
