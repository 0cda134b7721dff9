#pragma once
// The base of the four sound command groups (music, effect, H-effect, voice): each group only
// supplies its channels, its enable switch and its volume. Group objects hold no state; screens
// and effects build one for a single call. Main thread, except the snowball's landing sound,
// which plays from the app-task thread.
// FIXME: only Play so far; the script entries and the other operations come with the groups.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "script/commands/IFunc.h"

class IWaveManager;

class IFuncMusic : public IFunc
{
public:
    void Call(CScript& script) override;

    // Sets the channel's volume first when apply_volume is non-zero, then plays the named file
    // on it. A channel the group does not have plays nothing.
    virtual void Play(CStringUTF8 name, int32_t channel, int32_t apply_volume);
    virtual bool IsEnabled() = 0;
    // The attenuation the channel plays at.
    virtual int32_t GetVolume(int32_t channel) = 0;
    // The channel, or null when the group has no such channel.
    virtual IWaveManager* GetManager(int32_t channel) = 0;
};
