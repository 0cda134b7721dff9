#pragma once
// A 32-bit picture (0xAARRGGBB, straight alpha) the layer draws its menus and boxes into before
// the native window shows it over the game's picture. Layer-internal; main thread only.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

class UiCanvas final
{
public:
    UiCanvas() = default;
    UiCanvas(int width, int height);

    // Resizes and clears to transparent.
    void Reset(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::vector<uint32_t>& Pixels() const { return m_pixels; }
    uint32_t PixelAt(int x, int y) const;
    // True when nothing has been drawn since the last Reset.
    bool IsEmpty() const { return m_empty; }
    // The smallest rectangle holding everything drawn since the last Reset.
    RECT DrawnBounds() const { return m_bounds; }

    // Drawing blends over what is there and clips to the canvas.
    void FillRect(const RECT& rect, uint32_t color);
    void FrameRect(const RECT& rect, uint32_t color);
    void DrawLine(int x0, int y0, int x1, int y1, uint32_t color);
    // Text with its baseline at y, starting at x; returns the advance.
    int DrawText(int x, int y, std::u16string_view text, int pixel_size, uint32_t color);
    void BlendPixel(int x, int y, uint32_t color, uint8_t coverage);

private:
    int m_width = 0;
    int m_height = 0;
    bool m_empty = true;
    RECT m_bounds{};
    std::vector<uint32_t> m_pixels;
};

} // namespace platform
