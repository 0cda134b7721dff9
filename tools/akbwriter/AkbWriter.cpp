#include "akbwriter/AkbWriter.h"

#include "UnwatchedScope.h"
#include "lzss/LzssEncoder.h"

#include <algorithm>
#include <stdexcept>

namespace tools {

namespace {

void PutU16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint8_t Channel(uint32_t pixel, int channel)
{
    return static_cast<uint8_t>(pixel >> (8 * channel)); // 0 blue, 1 green, 2 red, 3 alpha
}

} // namespace

AkbPicture MakePicture(int32_t width, int32_t height, uint32_t colour)
{
    [[maybe_unused]] const UnwatchedScope unwatched;
    AkbPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height, colour);
    return picture;
}

std::vector<uint8_t> EncodeAkb(const AkbPicture& picture, const AkbOptions& options)
{
    [[maybe_unused]] const UnwatchedScope unwatched;
    if (picture.width < 0 || picture.height < 0 || picture.width > 0xFFFF || picture.height > 0xFFFF ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
        throw std::invalid_argument("AKB picture size out of range");
    const AkbRect rect = options.content.value_or(AkbRect{0, 0, picture.width, picture.height});
    if (rect.left < 0 || rect.top < 0 || rect.left > rect.right || rect.top > rect.bottom ||
        rect.right > picture.width || rect.bottom > picture.height)
        throw std::invalid_argument("AKB content rectangle outside the picture");
    if (options.base_name.size() > 31)
        throw std::invalid_argument("AKB base name longer than 31 bytes");

    const bool rgb = options.rgb_alpha.has_value();
    uint32_t flags = 0;
    if (rgb)
        flags |= 0x40000000u | *options.rgb_alpha;
    if (options.fill)
        flags |= 0x80000000u;

    std::vector<uint8_t> out;
    const char magic[4] = {'A', 'K', 'B', options.base_name.empty() ? ' ' : '+'};
    for (char c : magic)
        out.push_back(static_cast<uint8_t>(c));
    PutU16(out, static_cast<uint32_t>(picture.width));
    PutU16(out, static_cast<uint32_t>(picture.height));
    PutU32(out, flags);
    PutU32(out, options.fill.value_or(0));
    PutU32(out, static_cast<uint32_t>(rect.left));
    PutU32(out, static_cast<uint32_t>(rect.top));
    PutU32(out, static_cast<uint32_t>(rect.right));
    PutU32(out, static_cast<uint32_t>(rect.bottom));
    if (!options.base_name.empty()) {
        std::vector<uint8_t> name(32, 0);
        std::copy(options.base_name.begin(), options.base_name.end(), name.begin());
        out.insert(out.end(), name.begin(), name.end());
    }

    // The filter: the top row against its left neighbour, the rows below against the row above;
    // stored from the bottom row up.
    const int channels = rgb ? 3 : 4;
    std::vector<uint8_t> body;
    body.reserve(static_cast<size_t>(rect.right - rect.left) * (rect.bottom - rect.top) * channels);
    for (int32_t y = rect.bottom - 1; y >= rect.top; --y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            const uint32_t pixel = picture.At(x, y);
            uint32_t predictor = 0;
            if (y > rect.top)
                predictor = picture.At(x, y - 1);
            else if (x > rect.left)
                predictor = picture.At(x - 1, y);
            for (int c = 0; c < channels; ++c)
                body.push_back(static_cast<uint8_t>(Channel(pixel, c) - Channel(predictor, c)));
        }
    }
    const std::vector<uint8_t> packed = LzssEncode(body);
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

AkbRect FindContentRect(const AkbPicture& picture, uint32_t colour)
{
    AkbRect rect{picture.width, picture.height, 0, 0};
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            if (picture.At(x, y) == colour)
                continue;
            rect.left = std::min(rect.left, x);
            rect.top = std::min(rect.top, y);
            rect.right = std::max(rect.right, x + 1);
            rect.bottom = std::max(rect.bottom, y + 1);
        }
    }
    if (rect.right == 0)
        return AkbRect{};
    return rect;
}

AkbPicture MakeDifference(const AkbPicture& base, const AkbPicture& changed)
{
    if (base.width != changed.width || base.height != changed.height)
        throw std::invalid_argument("difference of pictures of different sizes");
    AkbPicture difference = changed;
    for (size_t i = 0; i < difference.pixels.size(); ++i) {
        if ((changed.pixels[i] & 0x00FFFFFF) == (base.pixels[i] & 0x00FFFFFF))
            difference.pixels[i] = 0xFF00FF00;
    }
    return difference;
}

} // namespace tools
