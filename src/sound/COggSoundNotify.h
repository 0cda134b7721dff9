#pragma once
// The Ogg Vorbis sound object of the voice channels driven by buffer-position notifications,
// with the 15 ms fade timer of its base; the one in normal use.

#include "sound/CWaveSoundNotify.h"
#include "sound/OggStreaming.h"

class COggSoundNotify final : public OggStreaming<CWaveSoundNotify>
{
public:
    // The fade timer thread's body: its base's, one fade step each 15 ms while a fade runs.
    void TimerThread() { TimerProc(); }
};
