#pragma once
// The polled Ogg Vorbis sound object of the voice channels: every 50 ms its thread refills the
// buffer from the decoder and stops the sound once the play cursor passes the data end.

#include "sound/OggStreaming.h"

class COggSoundThread final : public OggStreaming<CWaveSoundThread>
{
public:
    void ThreadProc() override { UpdateOnce(); }
    // The thread body: a refill step each 50 ms pass until the stop event, the streaming loop both
    // Ogg objects share.
    void UpdateOnce() { OggStreaming::ThreadProc(); }
};
