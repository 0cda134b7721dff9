// A WAV entry of a sound archive: its header read by a streaming sound object, then its stream
// pulled through the buffer fill for some seconds, as the polling thread would, loops, format
// conversion and the data end included.
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "platform/kernel/FileApi.h"
#include "sound/CWaveSoundThread.h"
#include "sound/SoundSystem.h"

namespace {

constexpr WAVEFORMATEX STEREO_16 = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
constexpr DWORD WORK_SIZE = 65536;
constexpr int SECONDS_PULLED = 6;

CWaveSoundThread* g_sound = nullptr; // owned: made by Sound, destroyed at exit

// One sound object for the whole process, made once like a channel's, and destroyed with its
// thread before the sound system goes at exit.
CWaveSoundThread* Sound()
{
    static const bool made = [] {
        PrepareFuzzProcess();
        CreateSoundSystem(nullptr);
        g_sound = new CWaveSoundThread;
        g_sound->Create(STEREO_16, WORK_SIZE);
        std::atexit([] {
            g_sound->Destroy();
            delete g_sound;
            ReleaseSoundSystem();
        });
        return true;
    }();
    (void)made;
    return g_sound;
}

} // namespace

int FuzzWave(const uint8_t* data, size_t size)
{
    CWaveSoundThread* sound = Sound();
    const CStringUTF8 path = WriteFuzzFile("sound.wav", data, size);
    HANDLE file = CreateFileW(path.GetWideText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (sound->ReadWaveHeader(file) && sound->PrimeBuffer()) {
        std::vector<BYTE> second(STEREO_16.nAvgBytesPerSec);
        for (int k = 0; k < SECONDS_PULLED; ++k)
            sound->FillBuffer(second.data(), static_cast<DWORD>(second.size()));
    }
    sound->Stop();
    CloseHandle(file);
    return 0;
}
