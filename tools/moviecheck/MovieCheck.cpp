#include "moviecheck/MovieCheck.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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
    reading.tint = picture->pixels[static_cast<size_t>(picture->height * 3 / 4) * picture->width +
                                   picture->width / 2] &
                   0xFFFFFF;
    return reading;
}

int WavPeak(const std::string& wav_path)
{
    std::ifstream in(wav_path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 44 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 36, "data", 4) != 0)
        return -1;
    int peak = 0;
    for (size_t i = 44; i + 1 < file.size(); i += 2) {
        const auto sample = static_cast<int16_t>(file[i] | file[i + 1] << 8);
        peak = std::max(peak, std::abs(int{sample}));
    }
    return peak;
}

} // namespace tools
