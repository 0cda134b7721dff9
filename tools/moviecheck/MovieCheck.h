#pragma once
// Reads back what a headless run of the demo left: the clip number painted into a dumped frame
// with the colour below the number blocks, the loudest sample of a WAV capture, and how long a
// tone is heard in it.

#include <cstdint>
#include <string>

namespace tools {

struct FrameReading
{
    bool ok = false;
    int number = -1;   // -1 when the blocks cannot be read (a blend of two clips)
    uint32_t tint = 0; // 0xRRGGBB at the middle of the lower half
};

FrameReading ReadFrameFile(const std::string& png_path);
// The largest absolute 16-bit sample of the file's data chunk; -1 when it is no such WAV file.
int WavPeak(const std::string& wav_path);
// Milliseconds of a 44,100 Hz 16-bit stereo capture in which a tone of the frequency (a multiple of
// 50 Hz) is the sound heard, in blocks of 20 ms; -1 when it is no such WAV file.
int WavToneMilliseconds(const std::string& wav_path, int hz);

} // namespace tools
