#pragma once
// The background-music command group (library 15): the document's music channels at the volume
// of "/Config/Music/Volume" under the master volume.

#include "script/commands/IFuncMusic.h"

// The attenuation of a group at full volume setting nothing, and of a silenced group.
inline constexpr int32_t SOUND_VOLUME_FLOOR = -5000;
inline constexpr int32_t SOUND_VOLUME_SILENT = -10000;

class CFuncMusic : public IFuncMusic
{
public:
    bool IsEnabled() override;
    // -5000 - trunc((music x -5000) x master) in single precision; -10000 while music or all
    // sound is switched off. The channel does not matter.
    int32_t GetVolume(int32_t channel) override;
    IWaveManager* GetManager(int32_t channel) override;
};
