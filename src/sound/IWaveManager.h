#pragma once
// One sound channel (music, effect, H-effect or voice): one streaming sound object, the archive
// set it opens its files from and the name of the file it has pending. The document owns the
// channels in its sound channel list; the sound command groups drive them on the main thread
// and, for the snowball's landing, on the app-task thread.
// FIXME: the least the music group's play needs until the channel managers are in.

#include <cstdint>

#include "foundation/CStringUTF8.h"

class IWaveManager
{
public:
    virtual ~IWaveManager() = default;

    // DirectSound attenuation in hundredths of a decibel: 0 full volume, -10000 silence.
    virtual void SetVolume(int32_t volume) = 0;
    // Stops what plays, opens the named file and starts it.
    virtual void PlayNamed(CStringUTF8 name) = 0;
};
