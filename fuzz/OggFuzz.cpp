// An Ogg Vorbis entry of a sound archive: attached by the decoder (length, headers, loop
// comments), then its output taken second by second until the end, as a sound channel does. The
// first byte picks the output format (bit 0: 8-bit mono instead of 16-bit stereo) and whether
// the entry sits behind other bytes of its file (bit 1), so the entry bounds are exercised.
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "platform/kernel/FileApi.h"
#include "sound/COggDecodeBase.h"
#include "sound/CWaveSoundThread.h"

namespace {

constexpr WAVEFORMATEX STEREO_16 = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
constexpr WAVEFORMATEX MONO_8 = {WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
constexpr uint32_t WORK_SIZE = 1'048'576;
constexpr int SECONDS_TAKEN = 30; // a stream claiming more ends the input
constexpr uint8_t PREFIX[] = {'O', 'g', 'g'};

} // namespace

int FuzzOgg(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const WAVEFORMATEX& format = (mode & 1) ? MONO_8 : STEREO_16;
    const uint32_t offset = (mode & 2) ? sizeof(PREFIX) : 0;
    std::vector<uint8_t> bytes(PREFIX, PREFIX + offset);
    bytes.insert(bytes.end(), data + 1, data + size);
    const uint32_t entry_size = static_cast<uint32_t>(size - 1);

    static std::vector<uint8_t> work(WORK_SIZE);
    static std::vector<uint8_t> output(STEREO_16.nAvgBytesPerSec);
    COggDecodeUser decoder;
    if (!decoder.Open(format, work.data(), WORK_SIZE, output.data(), format.nAvgBytesPerSec))
        return 0;
    const CStringUTF8 path = WriteFuzzFile("sound.ogg", bytes.data(), bytes.size());
    HANDLE file = CreateFileW(path.GetWideText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN);
    WaveLoopRecord loop{};
    if (decoder.Attach(file, entry_size, offset, &loop)) {
        for (int second = 0; second < SECONDS_TAKEN; ++second) {
            int32_t end = COggDecodeBase::END_NOT_STARTED;
            uint32_t count = 0;
            if (!decoder.GetOutput(&end, &count) || end >= COggDecodeBase::END_ALL_DELIVERED)
                break;
        }
    }
    CloseHandle(file);
    return 0;
}
