#include "graphics/CFontDIB.h"

#include "foundation/CString.h"
#include "foundation/PlayerMessage.h"
#include "graphics/CDIBDC.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr MAT2 IDENTITY{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

int EnumFaceNameProc(const LOGFONTW* logfont, const TEXTMETRICW*, DWORD, LPARAM param)
{
    auto* face = reinterpret_cast<CStringUTF8*>(param);
    size_t length = 0;
    while (length < LF_FACESIZE && logfont->lfFaceName[length] != 0)
        ++length;
    *face = CStringUTF8(std::u16string(logfont->lfFaceName, length));
    return 0; // the first font is enough
}

void CopyFaceName(const CStringUTF8& face, WCHAR (&out)[LF_FACESIZE])
{
    const std::u16string wide = face.ToWide();
    const size_t length = std::min(wide.size(), size_t{LF_FACESIZE - 1});
    std::copy_n(wide.begin(), length, out);
    out[length] = 0;
}

// Coverage 0..64 to alpha 0..255: 64 is opaque, 32 gives 127, 1 gives 3.
inline uint32_t GlyphPixel(uint8_t level, uint32_t rgb)
{
    return ((uint32_t{level} * 255u >> 6) << 24) | rgb;
}

inline void StorePixel(uint8_t* p, uint32_t value)
{
    std::memcpy(p, &value, 4);
}

} // namespace

uint32_t GetGlyphBitmap(CStringUTF8 character, HDC dc, GLYPHMETRICS* metrics, std::vector<uint8_t>* bits)
{
    const std::u16string wide = character.ToWide();
    if (wide.empty())
        return 0;
    uint32_t code_point = wide[0];
    const bool pair =
        wide.size() >= 2 && wide[0] >= 0xD800 && wide[0] < 0xDC00 && wide[1] >= 0xDC00 && wide[1] < 0xE000;
    if (pair)
        code_point = 0x10000 + ((uint32_t{wide[0]} - 0xD800) << 10) + (uint32_t{wide[1]} - 0xDC00);

    UINT format = GGO_GRAY8_BITMAP;
    UINT glyph = code_point;
    if (code_point >= 0x10000) {
        WCHAR index[2] = {};
        GCP_RESULTSW results{};
        results.lStructSize = sizeof(results);
        results.lpGlyphs = index;
        results.nGlyphs = 2;
        if (GetCharacterPlacementW(dc, wide.c_str(), 2, 0, &results, GCP_GLYPHSHAPE) == 0 ||
            results.nGlyphs == 0)
            return 0;
        glyph = index[0];
        format |= GGO_GLYPH_INDEX;
    }
    const DWORD size = GetGlyphOutlineW(dc, glyph, format, metrics, 0, nullptr, &IDENTITY);
    if (size == 0 || size == GDI_ERROR)
        return 0;
    bits->resize(size);
    if (GetGlyphOutlineW(dc, glyph, format, metrics, size, bits->data(), &IDENTITY) == GDI_ERROR)
        return 0;
    return size;
}

CFontDIB::CFontDIB() = default;

CFontDIB::~CFontDIB()
{
    Release();
}

void CFontDIB::Release()
{
    DeleteFonts();
    m_surface.reset();
    m_face_name = CStringUTF8();
}

void CFontDIB::Create(CStringUTF8 face)
{
    m_surface.reset();
    std::unique_ptr<CDIBDC> surface(new (std::nothrow) CDIBDC);
    if (surface == nullptr)
        throw CString("Failed to create the Font DIB");
    surface->Create(FONT_SURFACE_SIZE, FONT_SURFACE_SIZE);
    m_surface = std::move(surface);
    m_face_name = face;

    // An installed face (or one the system maps) reports its own name; an unknown face keeps the
    // given one, and the fonts made with it fall back to a substitute.
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    query.lfPitchAndFamily = 0;
    CopyFaceName(face, query.lfFaceName);
    EnumFontFamiliesExW(m_surface->GetDC(), &query, EnumFaceNameProc, reinterpret_cast<LPARAM>(&m_face_name),
                        0);
}

HFONT CFontDIB::MakeFont(int32_t width, int32_t height, int32_t weight)
{
    LOGFONTW logfont{};
    logfont.lfHeight = height;
    logfont.lfWidth = width;
    logfont.lfEscapement = 0;
    logfont.lfOrientation = 0;
    logfont.lfWeight = weight;
    logfont.lfCharSet = DEFAULT_CHARSET;
    logfont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logfont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logfont.lfQuality = DEFAULT_QUALITY;
    logfont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    CopyFaceName(m_face_name, logfont.lfFaceName);
    HFONT font = CreateFontIndirectW(&logfont);
    if (font == nullptr)
        ShowPlayerMessage(0, "フォントの作成に失敗しました");
    return font;
}

void CFontDIB::DeleteFonts()
{
    m_glyph_cache.clear();
    for (HFONT* font : {&m_normal_font, &m_bold_font, &m_heavy_font}) {
        if (*font != nullptr)
            DeleteObject(*font);
        *font = nullptr;
    }
}

int32_t CFontDIB::SetFontSize(int32_t width, int32_t height)
{
    DeleteFonts();
    m_cell_width = width;
    m_cell_height = height;
    m_normal_font = MakeFont(width / 2, height, FW_NORMAL);
    m_bold_font = MakeFont(width / 2 - 2, height - 2, FW_BOLD);
    m_heavy_font = MakeFont(width / 2 - 4, height - 4, FW_HEAVY);
    if (m_surface != nullptr) {
        HDC dc = m_surface->GetDC();
        SetTextColor(dc, 0xFFFFFF);
        SetBkColor(dc, 0);
        SetBkMode(dc, TRANSPARENT);
        SetStretchBltMode(dc, HALFTONE);
    }
    return 1;
}

HFONT CFontDIB::FontFor(uint32_t flags) const
{
    if ((flags & FONT_BOLD) != 0)
        return m_bold_font;
    if ((flags & FONT_HEAVY) != 0)
        return m_heavy_font;
    return m_normal_font;
}

const CFontDIB::CachedGlyph& CFontDIB::PrepareGlyph(const CStringUTF8& character, HFONT font,
                                                    const TEXTMETRICW** text)
{
    // Bounds the memory a long play with many distinct characters can take.
    constexpr size_t MAX_CACHED_GLYPHS = 4096;
    auto [found, inserted] = m_glyph_cache.try_emplace(font);
    GlyphCache& cache = found->second;
    HDC dc = m_surface->GetDC();
    if (inserted) {
        HGDIOBJ previous = SelectObject(dc, font);
        GetTextMetricsW(dc, &cache.Text);
        SelectObject(dc, previous);
    }
    *text = &cache.Text;
    m_surface->ClearRect(0, 0, FONT_SURFACE_SIZE, FONT_SURFACE_SIZE);
    const std::string key = character.GetStdString();
    if (auto glyph = cache.Glyphs.find(key); glyph != cache.Glyphs.end())
        return glyph->second;
    if (cache.Glyphs.size() >= MAX_CACHED_GLYPHS)
        cache.Glyphs.clear();
    CachedGlyph glyph;
    HGDIOBJ previous = SelectObject(dc, font);
    if (GetGlyphBitmap(character, dc, &glyph.Metrics, &glyph.Bits) == 0)
        glyph.Bits.clear();
    SelectObject(dc, previous);
    return cache.Glyphs.emplace(key, std::move(glyph)).first->second;
}

CFontDIB::GlyphPlacement CFontDIB::PlaceGlyph(const CStringUTF8& character, HFONT font)
{
    GlyphPlacement placement;
    if (m_surface == nullptr)
        return placement;
    const TEXTMETRICW* text = nullptr;
    const CachedGlyph& glyph = PrepareGlyph(character, font, &text);
    if (glyph.Bits.empty())
        return placement;
    placement.Bits = &glyph.Bits;
    placement.Width = static_cast<int32_t>(glyph.Metrics.gmBlackBoxX);
    placement.Height = static_cast<int32_t>(glyph.Metrics.gmBlackBoxY);
    placement.Pitch = (static_cast<size_t>(placement.Width) + 3) & ~size_t{3};
    placement.Left = glyph.Metrics.gmptGlyphOrigin.x;
    placement.Top = text->tmAscent - glyph.Metrics.gmptGlyphOrigin.y;
    return placement;
}

void CFontDIB::RenderGlyph(CStringUTF8 character, uint32_t colour, HFONT font)
{
    const GlyphPlacement glyph = PlaceGlyph(character, font);
    if (glyph.Bits == nullptr)
        return;
    const uint32_t rgb = colour & 0x00FFFFFF;
    m_surface->Lock();
    for (int32_t r = 0; r < glyph.Height && static_cast<size_t>(r) * glyph.Pitch < glyph.Bits->size(); ++r) {
        const int32_t sy = glyph.Top + r;
        if (sy < 0 || sy >= FONT_SURFACE_SIZE)
            continue;
        const uint8_t* levels = glyph.Bits->data() + static_cast<size_t>(r) * glyph.Pitch;
        const int32_t first = std::max(0, -glyph.Left);
        const int32_t last = std::min(glyph.Width, FONT_SURFACE_SIZE - glyph.Left);
        uint8_t* row = m_surface->GetPixelPtr(0, sy);
        for (int32_t c = first; c < last; ++c)
            StorePixel(row + 4 * static_cast<size_t>(glyph.Left + c), GlyphPixel(levels[c], rgb));
    }
    m_surface->Unlock();
}

void CFontDIB::RenderGlyphRotated(CStringUTF8 character, uint32_t colour, HFONT font)
{
    const GlyphPlacement glyph = PlaceGlyph(character, font);
    if (glyph.Bits == nullptr)
        return;
    const uint32_t rgb = colour & 0x00FFFFFF;
    const int32_t t = std::max<int32_t>(0, glyph.Top);
    const int32_t l = std::max<int32_t>(0, glyph.Left);
    m_surface->Lock();
    for (int32_t r = 0; r < glyph.Height && static_cast<size_t>(r) * glyph.Pitch < glyph.Bits->size(); ++r) {
        // A quarter turn clockwise: glyph rows become surface columns from the right.
        const int32_t sx = m_cell_width - 2 - (t + r);
        // A glyph taller than the cell is wide, or wider than the surface is tall, would land
        // outside the surface: those pixels are skipped, as the upright path does.
        if (sx < 0 || sx >= FONT_SURFACE_SIZE)
            continue;
        const uint8_t* levels = glyph.Bits->data() + static_cast<size_t>(r) * glyph.Pitch;
        for (int32_t c = 0; c < glyph.Width; ++c) {
            const int32_t sy = l + c;
            if (sy >= FONT_SURFACE_SIZE)
                break;
            StorePixel(m_surface->GetPixelPtr(sx, sy), GlyphPixel(levels[c], rgb));
        }
    }
    m_surface->Unlock();
}

void CFontDIB::Compose(RenderFn render, const CStringUTF8& character, int32_t x, int32_t y, uint32_t colour,
                       uint32_t second_colour, ILayer* target, uint32_t flags)
{
    if (m_surface == nullptr || target == nullptr)
        return;
    const int32_t w = m_cell_width;
    const int32_t h = m_cell_height;
    CDIBDC* surface = m_surface.get();
    HFONT font = FontFor(flags);
    const bool blend = (flags & FONT_BLEND) != 0;
    auto base_pass = [&](int32_t px, int32_t py, int32_t pw, int32_t ph) {
        if (blend)
            target->BltAlpha(px, py, pw, ph, surface, 0, 0);
        else
            target->Blt(px, py, pw, ph, surface, 0, 0, 1);
    };

    if ((flags & FONT_OUTLINE) != 0) {
        (this->*render)(character, second_colour, font);
        base_pass(x, y, w - 2, h - 2);
        static constexpr int32_t OFFSETS[8][2] = {{1, 0}, {2, 0}, {2, 1}, {2, 2},
                                                  {1, 2}, {0, 2}, {0, 1}, {1, 1}};
        for (const auto& offset : OFFSETS)
            target->BltOver(x + offset[0], y + offset[1], w - 2, h - 2, surface, 0, 0);
        (this->*render)(character, colour, font);
        target->BltAlpha(x + 1, y + 1, w - 1, h - 1, surface, 0, 0);
        return;
    }
    if ((flags & FONT_SHADOW) != 0) {
        (this->*render)(character, second_colour, font);
        target->BltOver(x + 1, y + 1, w - 1, h - 1, surface, 0, 0);
        target->BltOver(x, y, w, h, surface, 0, 0);
        (this->*render)(character, colour, font);
        target->BltAlpha(x, y, w, h, surface, 0, 0);
        return;
    }
    (this->*render)(character, colour, font);
    base_pass(x, y, w, h);
}

void CFontDIB::DrawText(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour, uint32_t second_colour,
                        ILayer* target, uint32_t flags)
{
    Compose(&CFontDIB::RenderGlyph, character, x, y, colour, second_colour, target, flags);
}

void CFontDIB::DrawTextToSprite(CStringUTF8 character, int32_t x, int32_t y, uint32_t colour,
                                uint32_t second_colour, ILayer* target, uint32_t flags)
{
    Compose(&CFontDIB::RenderGlyphRotated, character, x, y, colour, second_colour, target, flags);
}
