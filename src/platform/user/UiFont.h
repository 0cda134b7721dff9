#pragma once
// The face the layer draws its own menus and boxes with: Noto Sans CJK from Debian's
// fonts-noto-cjk, through FreeType, so Japanese and Chinese texts show. Layer-internal; main
// thread only.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

struct UiGlyph
{
    int width = 0;
    int height = 0;
    int left = 0;                  // from the pen position to the bitmap's left edge
    int top = 0;                   // from the baseline up to the bitmap's top row
    int advance = 0;               // pixels
    std::vector<uint8_t> coverage; // width x height, 0..255
};

class UiFont final
{
public:
    // The font file of VESK_UI_FONT, else /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc.
    static UiFont& GetInstance();

    ~UiFont();
    UiFont(const UiFont&) = delete;
    UiFont& operator=(const UiFont&) = delete;

    // False when no face could be loaded: texts are then measured but not drawn.
    bool HasFace() const;
    // Glyphs of the given pixel size (the em size).
    const UiGlyph& Glyph(char32_t code_point, int pixel_size);
    int Ascent(int pixel_size);
    int MeasureText(std::u16string_view text, int pixel_size);

private:
    UiFont();
    struct State;
    std::unique_ptr<State> m_state;
};

// Code points of UTF-16 text; an unpaired surrogate stands for itself.
std::vector<char32_t> CodePointsOf(std::u16string_view text);

} // namespace platform
