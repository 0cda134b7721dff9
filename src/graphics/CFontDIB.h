#pragma once
// Draws text one character at a time: the character is rasterised as 65-level coverage into a
// private 128 x 128 surface, turned into colour plus alpha and blitted onto the caller's layer,
// plain, outlined or with a drop shadow, upright or turned a quarter clockwise for sprites shown
// on a turned screen. Rasterised glyphs are kept per font until the fonts are made again, since
// story text draws the same few hundred characters over and over. Owned by the document or the
// screen that made it; main thread only, since every character shares the one surface.

#include "foundation/CStringUTF8.h"
#include "platform/gdi/FontApi.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CDIBDC;
class ILayer;

// Drawing flags.
inline constexpr uint32_t FONT_BOLD = 0x01;
inline constexpr uint32_t FONT_OUTLINE = 0x02;
inline constexpr uint32_t FONT_BLEND = 0x04; // the base pass blends instead of copying
inline constexpr uint32_t FONT_SHADOW = 0x08;
inline constexpr uint32_t FONT_HEAVY = 0x10;

inline constexpr int32_t FONT_SURFACE_SIZE = 128;

class CFontDIB
{
public:
    CFontDIB();
    virtual ~CFontDIB();
    CFontDIB(const CFontDIB&) = delete;
    CFontDIB& operator=(const CFontDIB&) = delete;

    void Release();

    // Throws the CString "Failed to create the Font DIB" when the surface cannot be made.
    void Create(CStringUTF8 face);
    int32_t SetFontSize(int32_t width, int32_t height);

    // Virtual so that a layout can be checked against a renderer that records its calls.
    virtual void DrawText(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour,
                          uint32_t second_colour, ILayer* target, uint32_t flags);
    virtual void DrawTextToSprite(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour,
                                  uint32_t second_colour, ILayer* target, uint32_t flags);

    void RenderGlyph(CStringUTF8 character, uint32_t colour, HFONT font);
    void RenderGlyphRotated(CStringUTF8 character, uint32_t colour, HFONT font);

    const CStringUTF8& GetFaceName() const { return m_face_name; }
    int32_t GetCellWidth() const { return m_cell_width; }
    int32_t GetCellHeight() const { return m_cell_height; }
    CDIBDC* GetSurface() const { return m_surface.get(); }
    HFONT GetNormalFont() const { return m_normal_font; }
    HFONT GetBoldFont() const { return m_bold_font; }
    HFONT GetHeavyFont() const { return m_heavy_font; }

private:
    using RenderFn = void (CFontDIB::*)(CStringUTF8, uint32_t, HFONT);

    struct CachedGlyph
    {
        GLYPHMETRICS Metrics{};
        std::vector<uint8_t> Bits; // empty when the character has no bitmap
    };
    struct GlyphCache
    {
        TEXTMETRICW Text{};
        std::unordered_map<std::string, CachedGlyph> Glyphs;
    };

    HFONT MakeFont(int32_t width, int32_t height, int32_t weight);
    void DeleteFonts();
    HFONT FontFor(uint32_t flags) const;
    void Compose(RenderFn render, const CStringUTF8& character, int32_t x, int32_t y, uint32_t colour,
                 uint32_t second_colour, ILayer* target, uint32_t flags);
    // Where a glyph's coverage goes on the surface; no bits without a surface or a bitmap.
    struct GlyphPlacement
    {
        const std::vector<uint8_t>* Bits = nullptr; // rows of Pitch bytes, in the cache
        int32_t Width = 0;
        int32_t Height = 0;
        size_t Pitch = 0;
        int32_t Left = 0; // of the black box, from the surface's origin
        int32_t Top = 0;
    };

    // The font's metrics and the character's glyph, rasterised on first use; clears the surface.
    // Asking the rasteriser again for every character drawn would give the same pixels, only
    // slower: a typewriter redraws the same few characters many times a second.
    const CachedGlyph& PrepareGlyph(const CStringUTF8& character, HFONT font, const TEXTMETRICW** text);
    GlyphPlacement PlaceGlyph(const CStringUTF8& character, HFONT font);

    std::unique_ptr<CDIBDC> m_surface;
    HFONT m_normal_font = nullptr; // weight 400
    HFONT m_bold_font = nullptr;   // weight 700
    HFONT m_heavy_font = nullptr;  // weight 900
    int32_t m_cell_width = 0;      // advance box; the fonts are half as wide
    int32_t m_cell_height = 0;
    CStringUTF8 m_face_name;
    std::map<HFONT, GlyphCache> m_glyph_cache; // emptied whenever the fonts go
};

// The character's 65-level bitmap (rows padded to 4 bytes) and metrics from the context's font;
// characters past U+FFFF go through their glyph index. Returns the byte size, 0 when the
// character has no bitmap.
uint32_t GetGlyphBitmap(CStringUTF8 character, HDC dc, GLYPHMETRICS* metrics, std::vector<uint8_t>* bits);
