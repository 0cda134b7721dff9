#pragma once
// Reads back what a headless run of the demo left: the clip number painted into a dumped frame
// with the colour below the number blocks, and the loudest sample of a WAV capture.

#include <cstdint>
#include <string>

namespace tools {

struct FrameReading
{
    bool ok = false;
    int number = -1;    // -1 when the blocks cannot be read (a blend of two clips)
    uint32_t tint = 0;  // 0xRRGGBB at the middle of the lower half
};

FrameReading ReadFrameFile(const std::string& png_path);
// The largest absolute 16-bit sample of the file's data chunk; -1 when it is no such WAV file.
int WavPeak(const std::string& wav_path);

} // namespace tools
