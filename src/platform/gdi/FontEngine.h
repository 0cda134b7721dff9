#pragma once
// The rasteriser behind the font calls: resolves a logical font to a FreeType face through the
// substitution table, sizes it by GDI's rules and renders glyphs as 65-level coverage. Immortal;
// one lock serialises every FreeType call, and nothing outside the engine is called while it is
// held.

#include "platform/gdi/FontApi.h"
#include "platform/gdi/GdiObjects.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gdi {

// A logical font as a GDI font object keeps it.
struct FontObject final : GdiObject
{
    FontObject()
        : GdiObject(ObjectKind::Font)
    {}
    LOGFONTW logfont{};
};

struct GlyphImage
{
    GLYPHMETRICS metrics{};
    std::vector<uint8_t> levels; // rows of ((width + 3) & ~3) bytes, top row first; empty for a space
};

// Where a Windows face name leads: the family on disk and how its size is read.
struct FaceSubstitute
{
    std::string family;      // e.g. "Noto Sans Mono CJK JP"
    bool em_is_cell = false; // the cell height is the em, as for the faces whose cell equals their em
};

class FontEngine
{
public:
    static FontEngine& GetInstance();

    // The table entry for a Windows face name (a leading "@" ignored), if it has one.
    static std::optional<FaceSubstitute> LookUpSubstitute(std::u16string_view face);
    // True for table faces and installed families.
    bool FaceExists(std::u16string_view face);

    std::optional<TEXTMETRICW> GetTextMetrics(const LOGFONTW& logfont);
    // index_given: character is a glyph index rather than a code point.
    std::optional<GlyphImage> RenderGlyph(const LOGFONTW& logfont, uint32_t character, bool index_given,
                                          const MAT2* transform);
    // 0 when the face has no glyph for the code point.
    uint32_t GetGlyphIndex(const LOGFONTW& logfont, char32_t code_point);
    // Rounded advance in pixels; 0 when the font cannot be resolved.
    int GetAdvance(const LOGFONTW& logfont, uint32_t glyph_index);

    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

private:
    FontEngine();
    ~FontEngine();

    struct State;
    std::unique_ptr<State> m_state;
};

// The logical font a context draws with: its selected font, or the default GUI font.
LOGFONTW SelectedLogFont(HDC dc, bool* context_found);

} // namespace platform::gdi
