#include "OggTestSupport.h"

#include "platform/kernel/FileApi.h"
#include "platform/kernel/Unicode.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

std::vector<uint8_t> QuietOgg(uint32_t frames, uint16_t channels, std::vector<std::string> comments)
{
    tools::OggContents ogg;
    ogg.channels = channels;
    ogg.comments = std::move(comments);
    ogg.samples.reserve(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i) {
        // A sweep, so that every second sounds different and a misplaced block shows.
        const double t = static_cast<double>(i) / 44100.0;
        const double value = 2000.0 * std::sin(2.0 * std::numbers::pi * (220.0 + 60.0 * t) * t);
        for (uint16_t c = 0; c < channels; ++c)
            ogg.samples.push_back(static_cast<int16_t>(std::lround(c == 0 ? value : -value / 2)));
    }
    return tools::WriteOgg(ogg);
}

HANDLE OpenBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::u16string wide = platform::Utf8ToUtf16(path);
    return CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
