#pragma once
// PNG files for the tools, the test captures and the benchmarks: 8-bit pictures with alpha held
// as 0xAARRGGBB words (bytes B, G, R, A in memory), top row first. Any thread.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace platform {

struct PngPicture
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // width x height, top row first
};

// Empty when the picture cannot be encoded.
std::vector<uint8_t> EncodePng(int32_t width, int32_t height, std::span<const uint32_t> pixels);
// Decodes into the caller's words (width x height of them); false for a damaged file or a size
// other than the one expected.
bool DecodePngInto(std::span<const uint8_t> file, int32_t width, int32_t height, std::span<uint32_t> pixels);
std::optional<PngPicture> DecodePng(std::span<const uint8_t> file);

bool WritePngFile(const std::filesystem::path& path, const PngPicture& picture);
std::optional<PngPicture> ReadPngFile(const std::filesystem::path& path);

} // namespace platform
