#include "textpaint/TextPainter.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/FontEngine.h"

namespace tools {

namespace {

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1   ? lead
                        : length == 2 ? (lead & 0x1F)
                        : length == 3 ? (lead & 0x0F)
                                      : (lead & 0x07);
        for (size_t k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<uint8_t>(text[i + k]) & 0x3F);
        out.push_back(code);
        i += length;
    }
    return out;
}

LOGFONTW Font(int32_t pixel_height, bool bold)
{
    LOGFONTW font{};
    font.lfHeight = -pixel_height;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    const std::u16string_view face = u"Arial Unicode MS";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

int32_t Measure(const std::u32string& text, const LOGFONTW& font)
{
    auto& engine = platform::gdi::FontEngine::GetInstance();
    int32_t width = 0;
    for (char32_t c : text)
        width += engine.GetAdvance(font, engine.GetGlyphIndex(font, c));
    return width;
}

uint32_t Blend(uint32_t below, uint32_t colour, uint32_t level)
{
    const auto mix = [&](int shift) {
        const uint32_t a = (below >> shift) & 0xFF;
        const uint32_t b = (colour >> shift) & 0xFF;
        return ((a * (64 - level) + b * level + 32) / 64) << shift;
    };
    const uint32_t alpha = std::max(below >> 24, ((colour >> 24) * level + 32) / 64);
    return (alpha << 24) | mix(16) | mix(8) | mix(0);
}

} // namespace

int32_t MeasureText(std::string_view utf8, int32_t pixel_height, bool bold)
{
    return Measure(DecodeUtf8(utf8), Font(pixel_height, bold));
}

TextBox DrawText(AkbPicture& picture, const TextBox& box, std::string_view utf8, const TextStyle& style)
{
    const std::u32string text = DecodeUtf8(utf8);
    int32_t height = style.pixel_height;
    LOGFONTW font = Font(height, style.bold);
    int32_t width = Measure(text, font);
    while (width > box.width && height > style.pixel_height / 2) {
        font = Font(--height, style.bold);
        width = Measure(text, font);
    }
    auto& engine = platform::gdi::FontEngine::GetInstance();
    const std::optional<TEXTMETRICW> metrics = engine.GetTextMetrics(font);
    const int32_t ascent = metrics ? metrics->tmAscent : height;
    const int32_t descent = metrics ? metrics->tmDescent : 0;
    // Noto's ascent leaves room above the capitals; the ink's middle sits a little below the
    // middle of ascent and descent.
    const int32_t baseline = box.y + (box.height + ascent - descent) / 2;
    const int32_t left = style.align == TextAlign::Centre ? box.x + (box.width - width) / 2 : box.x;
    const auto plot = [&](int32_t x, int32_t y, uint32_t level) {
        if (x < std::max(box.x, 0) || y < std::max(box.y, 0) ||
            x >= std::min(box.x + box.width, picture.width) ||
            y >= std::min(box.y + box.height, picture.height))
            return;
        picture.At(x, y) = Blend(picture.At(x, y), style.colour, level);
    };
    int32_t pen = left;
    for (char32_t c : text) {
        const std::optional<platform::gdi::GlyphImage> glyph = engine.RenderGlyph(font, c, false, nullptr);
        if (!glyph)
            continue;
        const GLYPHMETRICS& m = glyph->metrics;
        const size_t pitch = (static_cast<size_t>(m.gmBlackBoxX) + 3) & ~size_t{3};
        if (!glyph->levels.empty())
            for (uint32_t row = 0; row < m.gmBlackBoxY; ++row)
                for (uint32_t column = 0; column < m.gmBlackBoxX; ++column)
                    if (const uint8_t level = glyph->levels[row * pitch + column])
                        plot(pen + m.gmptGlyphOrigin.x + static_cast<int32_t>(column),
                             baseline - m.gmptGlyphOrigin.y + static_cast<int32_t>(row), level);
        pen += m.gmCellIncX;
    }
    if (style.underline) {
        const int32_t thickness = std::max(2, height / 12);
        for (int32_t y = baseline + descent / 2; y < baseline + descent / 2 + thickness; ++y)
            for (int32_t x = left; x < left + width; ++x)
                plot(x, y, 64);
    }
    return {std::max(left, box.x), box.y, std::min(width, box.width), box.height};
}

} // namespace tools
