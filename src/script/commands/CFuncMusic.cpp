#include "script/commands/CFuncMusic.h"

#include "foundation/ConfigSettings.h"
#include "foundation/SoundGroups.h"
#include "sound/CWavePcmManager.h"

void CFuncMusic::CreateManager(int32_t count)
{
    CreateChannels<CWavePcmManager>(count, {SOUND_GROUP_MUSIC, "/GameFile/MusicArchive/File", "music.arc",
                                            "/Config/Music/Error", 2, 1'048'576,
                                            "Failed to create the Music Object"});
}

bool CFuncMusic::IsEnabled()
{
    return GetConfigMusicEnable();
}

int32_t CFuncMusic::GetVolume(int32_t)
{
    return GroupVolume(GetConfigMusicVolume());
}

IWaveManager* CFuncMusic::GetManager(int32_t channel)
{
    return GroupManager(SOUND_GROUP_MUSIC, channel);
}
