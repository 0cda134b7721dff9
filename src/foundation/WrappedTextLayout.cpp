#include "foundation/WrappedTextLayout.h"

#include "foundation/LineBreakRules.h"

int32_t LayOutWrappedText(const CStringUTF8& text, const RECT& box, int32_t size, int32_t top,
                          const std::function<void(const CStringUTF8&, int32_t, int32_t)>& draw)
{
    const int32_t half = size / 2;
    if (half <= 0)
        return top;
    const int32_t width = half * ((box.right - box.left) / half);
    const int32_t count = text.GetCharCount();
    // This layout wraps a character whose end would pass the width, the word rule one whose start
    // reaches the right edge: for it the edge lies a half cell less one pixel further in.
    const LineBreakBox word_box{box.left, box.top, box.left + width - half + 1, box.bottom};
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
        const bool word_moves =
            !newline && BreaksBeforeWord(x, WordLettersAt(text, static_cast<size_t>(text.GetCharOffset(k))),
                                         half, word_box);
        // A space at the line end stays there; the word behind it starts the next line.
        const bool space_stays = c == " " && end > width;
        if (word_moves || (end > width && !space_stays)) {
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
