#pragma once
// Flat shapes for the generated pictures, so that scenes tell apart at a glance: filled discs,
// rectangles, triangles and stars in one colour, clipped to the picture.

#include <cstdint>

#include "akbwriter/AkbWriter.h"

namespace tools {

void FillRect(AkbPicture& picture, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour);
void FillDisc(AkbPicture& picture, int32_t centre_x, int32_t centre_y, int32_t radius, uint32_t colour);
// Pointing up, its base `size` wide and as high.
void FillTriangle(AkbPicture& picture, int32_t centre_x, int32_t centre_y, int32_t size, uint32_t colour);
// Five points, inside the disc of the radius.
void FillStar(AkbPicture& picture, int32_t centre_x, int32_t centre_y, int32_t radius, uint32_t colour);

} // namespace tools
