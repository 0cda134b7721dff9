#pragma once
// The second sound-effect command group (library 17): channels of its own over the effect
// archive, with its own switch and volume ("/Config/HEffect/...").

#include "script/commands/IFuncMusic.h"

class CFuncHEffect : public IFuncMusic
{
public:
    void CreateManager(int32_t count) override;
    bool IsEnabled() override;
    // The channel does not matter.
    int32_t GetVolume(int32_t channel) override;
    IWaveManager* GetManager(int32_t channel) override;
};
