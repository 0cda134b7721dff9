#include "script/commands/IFuncMusic.h"

#include "sound/IWaveManager.h"

void IFuncMusic::Call(CScript&) {}

void IFuncMusic::Play(CStringUTF8 name, int32_t channel, int32_t apply_volume)
{
    IWaveManager* manager = GetManager(channel);
    if (manager == nullptr)
        return;
    if (apply_volume != 0)
        manager->SetVolume(GetVolume(channel));
    manager->PlayNamed(name);
}
