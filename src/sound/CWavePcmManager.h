#pragma once
// The channel of the music, effect and H-effect groups: WAV entries handed to a PCM sound object
// through their RIFF header; it can prime a file and start it later, and pause and resume.

#include "sound/IWaveManager.h"

class CWavePcmManager final : public IWaveManager
{
public:
    // Makes the sound object (notification-driven or polled, by "DirectSound/Notify") and opens
    // the archive set; throws CExecException when either cannot be made.
    void Initialize(CStringUTF8 archive_name, bool raise);

    void Play() override;
    void PlayFile(CStringUTF8 name) override;
    void PrepareFile(CStringUTF8 name) override;
    void Pause() override;
    void Resume() override;
};
