#pragma once
// The sound-effect command group (library 16): the document's effect channels, from
// "effect.arc", at the volume of "/Config/Effect/Volume" under the master volume.

#include "script/commands/IFuncMusic.h"

class CFuncEffect : public IFuncMusic
{
public:
    void CreateManager(int32_t count) override;
    bool IsEnabled() override;
    // The channel does not matter.
    int32_t GetVolume(int32_t channel) override;
    IWaveManager* GetManager(int32_t channel) override;
};
