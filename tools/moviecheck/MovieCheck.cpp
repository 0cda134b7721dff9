#include "moviecheck/MovieCheck.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <vector>

#include "mpegclip/MpegClipWriter.h"
#include "platform/gdi/PngCodec.h"

namespace tools {

FrameReading ReadFrameFile(const std::string& png_path)
{
    FrameReading reading;
    const std::optional<platform::PngPicture> picture = platform::ReadPngFile(png_path);
    if (!picture || picture->width <= 0 || picture->height <= 0)
        return reading;
    const auto* bytes = reinterpret_cast<const uint8_t*>(picture->pixels.data());
    reading.ok = true;
    reading.number = ReadClipNumber(bytes, picture->width, picture->height, ptrdiff_t{picture->width} * 4);
    reading.tint =
        picture->pixels[static_cast<size_t>(picture->height * 3 / 4) * picture->width + picture->width / 2] &
        0xFFFFFF;
    return reading;
}

namespace {

// The 16-bit samples of a capture's data chunk (interleaved); none when it is no such WAV file.
std::optional<std::vector<int16_t>> ReadWavSamples(const std::string& wav_path)
{
    std::ifstream in(wav_path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 44 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 36, "data", 4) != 0)
        return std::nullopt;
    std::vector<int16_t> samples;
    for (size_t i = 44; i + 1 < file.size(); i += 2)
        samples.push_back(static_cast<int16_t>(file[i] | file[i + 1] << 8));
    return samples;
}

} // namespace

int WavPeak(const std::string& wav_path)
{
    const std::optional<std::vector<int16_t>> samples = ReadWavSamples(wav_path);
    if (!samples)
        return -1;
    int peak = 0;
    for (int16_t sample : *samples)
        peak = std::max(peak, std::abs(int{sample}));
    return peak;
}

int WavToneMilliseconds(const std::string& wav_path, int hz)
{
    const std::optional<std::vector<int16_t>> read = ReadWavSamples(wav_path);
    if (!read)
        return -1;
    const std::vector<int16_t>& samples = *read;
    constexpr size_t BLOCK = 882;  // 20 ms at 44,100 Hz: a tone of a multiple of 50 Hz fills whole periods
    constexpr double QUIET = 30.0; // root mean square below which a block counts as silence
    const double step = 2.0 * std::numbers::pi * hz / 44100.0;
    int heard = 0;
    for (size_t first = 0; first + 2 * BLOCK <= samples.size(); first += 2 * BLOCK) {
        // Left and right together; the share of the block's power at the tone's frequency.
        double energy = 0, real = 0, imaginary = 0;
        for (size_t n = 0; n < BLOCK; ++n) {
            const double value = (samples[first + 2 * n] + samples[first + 2 * n + 1]) / 2.0;
            energy += value * value;
            real += value * std::cos(step * static_cast<double>(n));
            imaginary += value * std::sin(step * static_cast<double>(n));
        }
        if (energy < QUIET * QUIET * BLOCK)
            continue;
        const double share = 2.0 * (real * real + imaginary * imaginary) / (BLOCK * energy);
        if (share > 0.5)
            heard += 20;
    }
    return heard;
}

} // namespace tools
