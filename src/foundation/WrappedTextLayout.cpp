#include "foundation/WrappedTextLayout.h"

int32_t LayOutWrappedText(const CStringUTF8& text, const RECT& box, int32_t size, int32_t top,
                          const std::function<void(const CStringUTF8&, int32_t, int32_t)>& draw)
{
    const int32_t half = size / 2;
    if (half <= 0)
        return top;
    const int32_t width = half * ((box.right - box.left) / half);
    const int32_t count = text.GetCharCount();
    int32_t x = box.left;
    int32_t y = top;
    for (int32_t k = 0; k < count; ++k) {
        const CStringUTF8 c = text.CharAt(k);
        // The language tables write a line break as their markup, a backslash and an n.
        const bool markup = c == "\\" && k + 1 < count && text.CharAt(k + 1) == "n";
        if (markup)
            ++k;
        const bool newline = markup || c == "\n";
        const bool full = !newline && IsFullWidthChar(c) != 0;
        const int32_t end = newline ? 0 : (x - box.left) + (full ? size : half);
        if (end > width) {
            x = box.left;
            y += size;
        }
        if (draw && !newline)
            draw(c, x, y);
        if (newline) {
            x = box.left;
            y += size;
        } else {
            x += full ? size : half;
        }
    }
    return y;
}
