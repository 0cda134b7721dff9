// A WAV entry of a sound archive: its header read by a streaming sound object, then its stream
// pulled through the buffer fill for some seconds, as the polling thread would, loops, format
// conversion and the data end included.
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

// One sound object for the whole process: made once, like a channel's.
CWaveSoundThread* Sound()
{
    static CWaveSoundThread* sound = [] {
        PrepareFuzzProcess();
        CreateSoundSystem(nullptr);
        auto* made = new CWaveSoundThread; // kept to the end of the process, as the fuzzer runs
        made->Create(STEREO_16, WORK_SIZE);
        return made;
    }();
    return sound;
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
