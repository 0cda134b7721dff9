#include "script/commands/CFuncHEffect.h"

#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "foundation/SoundGroups.h"
#include "sound/CWavePcmManager.h"

void CFuncHEffect::CreateManager(int32_t count)
{
    CreateChannels<CWavePcmManager>(count, {SOUND_GROUP_HEFFECT, "/GameFile/EffectArchive/File", "effect.arc",
                                            "/Config/HEffect/Error", 2, 1'048'576,
                                            "Failed to create the H Sound Effect Object"});
}

bool CFuncHEffect::IsEnabled()
{
    return GetConfigHEffectEnable();
}

int32_t CFuncHEffect::GetVolume(int32_t)
{
    return GroupVolume(static_cast<float>(foundation::ReadConfigInt("/Config/HEffect/Volume", 100)) / 100.0f);
}

IWaveManager* CFuncHEffect::GetManager(int32_t channel)
{
    return GroupManager(SOUND_GROUP_HEFFECT, channel);
}
