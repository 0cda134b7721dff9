#pragma once
// Writes AKB pictures: the 32-byte header ("AKB ") or 64-byte header with the base picture's name
// ("AKB+"), then the content rectangle's pixels, rows from the bottom up, delta-filtered (the top
// row against the pixel on the left, every other row against the row above) and LZSS-compressed.
// Pixels have four bytes B, G, R, A, or three with one alpha for the whole rectangle.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

struct AkbRect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0; // exclusive
    int32_t bottom = 0;
};

struct AkbPicture
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, top row first, width x height

    uint32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

AkbPicture MakePicture(int32_t width, int32_t height, uint32_t colour);

struct AkbOptions
{
    std::optional<AkbRect> content;   // the stored rectangle; the whole picture when absent
    std::optional<uint8_t> rgb_alpha; // three-byte body; the rectangle's alpha
    std::optional<uint32_t> fill;     // fill the border with this 0xAARRGGBB colour
    std::string base_name;            // non-empty: a difference picture over this file
};

// Throws std::invalid_argument for a size past 65535, a rectangle outside the picture or a base
// name longer than 31 bytes.
std::vector<uint8_t> EncodeAkb(const AkbPicture& picture, const AkbOptions& options);

// The smallest rectangle holding every pixel that differs from the colour; empty (all zero) when
// none does.
AkbRect FindContentRect(const AkbPicture& picture, uint32_t colour);

// The pixels that differ from the base keep their value; the others become the key colour 0xFF00
// (opaque green), which lets the base show through. Both pictures must have the same size.
AkbPicture MakeDifference(const AkbPicture& base, const AkbPicture& changed);

} // namespace tools
