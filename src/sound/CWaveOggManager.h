#pragma once
// The channel of the voice group: Ogg Vorbis entries handed to an Ogg sound object, which
// decodes them as they stream. It neither primes nor replays a file; it pauses and resumes.

#include "sound/IWaveManager.h"

class CWaveOggManager final : public IWaveManager
{
public:
    // Makes the sound object (notification-driven or polled, by "DirectSound/Notify") and opens
    // the archive set; throws CExecException when either cannot be made.
    void Initialize(CStringUTF8 archive_name, bool raise);

    void PlayFile(CStringUTF8 name) override;
    void Pause() override;
    void Resume() override;

private:
    std::function<void(HANDLE, DWORD, DWORD)> m_open_ogg; // OpenOggData of the sound object
};
