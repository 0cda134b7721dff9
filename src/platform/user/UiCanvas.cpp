#include "platform/user/UiCanvas.h"

#include <algorithm>
#include <cstdlib>

#include "platform/user/UiFont.h"

namespace platform {

UiCanvas::UiCanvas(int width, int height)
{
    Reset(width, height);
}

void UiCanvas::Reset(int width, int height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 0);
    m_empty = true;
    m_bounds = {};
}

uint32_t UiCanvas::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
}

void UiCanvas::BlendPixel(int x, int y, uint32_t color, uint8_t coverage)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    const uint32_t source_alpha = ((color >> 24) * coverage + 127) / 255;
    if (source_alpha == 0)
        return;
    if (m_empty) {
        m_bounds = {x, y, x + 1, y + 1};
        m_empty = false;
    } else {
        m_bounds.left = std::min<LONG>(m_bounds.left, x);
        m_bounds.top = std::min<LONG>(m_bounds.top, y);
        m_bounds.right = std::max<LONG>(m_bounds.right, x + 1);
        m_bounds.bottom = std::max<LONG>(m_bounds.bottom, y + 1);
    }
    uint32_t& target =
        m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
    if (source_alpha == 255) {
        target = color | 0xFF000000u;
        return;
    }
    // Straight-alpha "over": out_a = a + d_a (1 - a), out_c = (c a + d_c d_a (1 - a)) / out_a.
    const uint32_t target_alpha = target >> 24;
    const uint32_t rest = target_alpha * (255 - source_alpha); // scaled by 255
    const uint32_t out_alpha_255 = source_alpha * 255 + rest;  // scaled by 255
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t c = (color >> shift) & 0xFF;
        const uint32_t d = (target >> shift) & 0xFF;
        const uint32_t value = (c * source_alpha * 255 + d * rest + out_alpha_255 / 2) / out_alpha_255;
        result |= std::min<uint32_t>(value, 255) << shift;
    }
    result |= ((out_alpha_255 + 127) / 255) << 24;
    target = result;
}

void UiCanvas::FillRect(const RECT& rect, uint32_t color)
{
    const int left = std::max<int>(rect.left, 0);
    const int top = std::max<int>(rect.top, 0);
    const int right = std::min<int>(rect.right, m_width);
    const int bottom = std::min<int>(rect.bottom, m_height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            BlendPixel(x, y, color, 255);
    }
}

void UiCanvas::FrameRect(const RECT& rect, uint32_t color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    FillRect({rect.left, rect.top, rect.right, rect.top + 1}, color);
    FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    FillRect({rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, color);
    FillRect({rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, color);
}

void UiCanvas::DrawLine(int x0, int y0, int x1, int y1, uint32_t color)
{
    // Bresenham: the check mark and the box borders are all the lines the layer draws.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int step_x = x0 < x1 ? 1 : -1;
    const int step_y = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (true) {
        BlendPixel(x0, y0, color, 255);
        if (x0 == x1 && y0 == y1)
            break;
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += step_x;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += step_y;
        }
    }
}

int UiCanvas::DrawText(int x, int y, std::u16string_view text, int pixel_size, uint32_t color)
{
    UiFont& font = UiFont::GetInstance();
    int pen = x;
    for (char32_t code_point : CodePointsOf(text)) {
        const UiGlyph& glyph = font.Glyph(code_point, pixel_size);
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                const uint8_t coverage = glyph.coverage[static_cast<size_t>(row * glyph.width + column)];
                if (coverage != 0)
                    BlendPixel(pen + glyph.left + column, y - glyph.top + row, color, coverage);
            }
        }
        pen += glyph.advance;
    }
    return pen - x;
}

} // namespace platform
