#include "textpaint/ShapePainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tools {

namespace {

void Plot(AkbPicture& picture, int32_t x, int32_t y, uint32_t colour)
{
    if (x >= 0 && y >= 0 && x < picture.width && y < picture.height)
        picture.At(x, y) = colour;
}

} // namespace

void FillRect(AkbPicture& picture, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour)
{
    for (int32_t row = y; row < y + height; ++row)
        for (int32_t column = x; column < x + width; ++column)
            Plot(picture, column, row, colour);
}

void FillDisc(AkbPicture& picture, int32_t centre_x, int32_t centre_y, int32_t radius, uint32_t colour)
{
    for (int32_t dy = -radius; dy <= radius; ++dy)
        for (int32_t dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= radius * radius)
                Plot(picture, centre_x + dx, centre_y + dy, colour);
}

void FillTriangle(AkbPicture& picture, int32_t centre_x, int32_t centre_y, int32_t size, uint32_t colour)
{
    const int32_t top = centre_y - size / 2;
    for (int32_t row = 0; row < size; ++row) {
        const int32_t half = row / 2;
        for (int32_t dx = -half; dx <= half; ++dx)
            Plot(picture, centre_x + dx, top + row, colour);
    }
}

void FillStar(AkbPicture& picture, int32_t centre_x, int32_t centre_y, int32_t radius, uint32_t colour)
{
    // A point is inside when its distance is below the star's edge at its angle.
    const double inner = radius * 0.45;
    for (int32_t dy = -radius; dy <= radius; ++dy)
        for (int32_t dx = -radius; dx <= radius; ++dx) {
            const double angle = std::atan2(static_cast<double>(dx), static_cast<double>(-dy));
            const double sector = 2.0 * std::numbers::pi / 5.0;
            const double phase = std::abs(std::fmod(angle + 2.0 * std::numbers::pi, sector) - sector / 2.0);
            // The points stand where the angle is a whole number of sectors, the first straight up.
            const double edge = inner + (radius - inner) * phase / (sector / 2.0);
            if (std::sqrt(static_cast<double>(dx * dx + dy * dy)) <= edge)
                Plot(picture, centre_x + dx, centre_y + dy, colour);
        }
}

} // namespace tools
