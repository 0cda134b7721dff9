#pragma once
// Words on the generated pictures: UTF-8 text rasterised through the platform's font engine (Noto
// Sans CJK, so Japanese and Latin alike) and blended over a picture by its coverage. The same
// fonts give the same bytes on every build.

#include <cstdint>
#include <string_view>

#include "akbwriter/AkbWriter.h"

namespace tools {

struct TextBox
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

enum class TextAlign
{
    Left,
    Centre
};

struct TextStyle
{
    int32_t pixel_height = 24; // the em; shrunk to fit the box's width, never below half of it
    uint32_t colour = 0xFFFFFFFF;
    TextAlign align = TextAlign::Centre;
    bool bold = false;
    bool underline = false;
};

// The width the text takes at the em.
int32_t MeasureText(std::string_view utf8, int32_t pixel_height, bool bold = false);
// Draws one line into the box, centred vertically, clipped to the box and the picture; its
// coverage blends the colour over the pixels below (their alpha kept, raised to the text's).
// Answers the box the ink can cover: its x and width where the line stands, the box's y and height.
TextBox DrawText(AkbPicture& picture, const TextBox& box, std::string_view utf8, const TextStyle& style);

} // namespace tools
