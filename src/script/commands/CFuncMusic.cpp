#include "script/commands/CFuncMusic.h"

#include "app/CVeskDoc.h"
#include "app/ConfigSettings.h"
#include "sound/IWaveManager.h"

bool CFuncMusic::IsEnabled()
{
    return GetConfigMusicEnable();
}

int32_t CFuncMusic::GetVolume(int32_t)
{
    if (!IsEnabled() || !GetConfigSoundEnable())
        return SOUND_VOLUME_SILENT;
    const float product = (GetConfigMusicVolume() * -5000.0f) * GetConfigMasterVolume();
    return SOUND_VOLUME_FLOOR - static_cast<int32_t>(product);
}

IWaveManager* CFuncMusic::GetManager(int32_t channel)
{
    if (Document == nullptr || channel < 0)
        return nullptr;
    const auto& channels = Document->SoundChannelList[SOUND_GROUP_MUSIC];
    if (static_cast<size_t>(channel) >= channels.size())
        return nullptr;
    return channels[static_cast<size_t>(channel)].get();
}
