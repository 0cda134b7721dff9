#include "script/commands/CFuncEffect.h"

#include "foundation/ConfigSettings.h"
#include "foundation/SoundGroups.h"
#include "sound/CWavePcmManager.h"

void CFuncEffect::CreateManager(int32_t count)
{
    CreateChannels<CWavePcmManager>(count, {SOUND_GROUP_EFFECT, "/GameFile/EffectArchive/File", "effect.arc",
                                            "/Config/Effect/Error", 2, 1'048'576,
                                            "Failed to create the Sound Effect Object"});
}

bool CFuncEffect::IsEnabled()
{
    return GetConfigEffectEnable();
}

int32_t CFuncEffect::GetVolume(int32_t)
{
    return GroupVolume(GetConfigEffectVolume());
}

IWaveManager* CFuncEffect::GetManager(int32_t channel)
{
    return GroupManager(SOUND_GROUP_EFFECT, channel);
}
