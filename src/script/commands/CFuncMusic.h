#pragma once
// The background-music command group (library 15): the document's music channels, from
// "music.arc", at the volume of "/Config/Music/Volume" under the master volume.

#include "script/commands/IFuncMusic.h"

class CFuncMusic : public IFuncMusic
{
public:
    void CreateManager(int32_t count) override;
    bool IsEnabled() override;
    // The channel does not matter.
    int32_t GetVolume(int32_t channel) override;
    IWaveManager* GetManager(int32_t channel) override;
};
