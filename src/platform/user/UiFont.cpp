#include "platform/user/UiFont.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace platform {

namespace {

constexpr const char* DEFAULT_FONT = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";

} // namespace

struct UiFont::State
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int current_size = 0;
    std::map<std::pair<int, char32_t>, UiGlyph> glyphs;

    void Select(int pixel_size)
    {
        if (face && current_size != pixel_size) {
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size));
            current_size = pixel_size;
        }
    }
};

UiFont& UiFont::GetInstance()
{
    static auto* s_font = new UiFont; // never destroyed: boxes may be shown during static destruction
    return *s_font;
}

UiFont::UiFont()
    : m_state(std::make_unique<State>())
{
    if (FT_Init_FreeType(&m_state->library) != 0) {
        m_state->library = nullptr;
        return;
    }
    const char* path = std::getenv("VESK_UI_FONT");
    if (path == nullptr || *path == 0)
        path = DEFAULT_FONT;
    // Face 0 of the collection is the Japanese one.
    if (FT_New_Face(m_state->library, path, 0, &m_state->face) != 0)
        m_state->face = nullptr;
}

UiFont::~UiFont()
{
    if (m_state->face)
        FT_Done_Face(m_state->face);
    if (m_state->library)
        FT_Done_FreeType(m_state->library);
}

bool UiFont::HasFace() const
{
    return m_state->face != nullptr;
}

const UiGlyph& UiFont::Glyph(char32_t code_point, int pixel_size)
{
    auto key = std::make_pair(pixel_size, code_point);
    auto found = m_state->glyphs.find(key);
    if (found != m_state->glyphs.end())
        return found->second;
    UiGlyph glyph;
    glyph.advance = pixel_size / 2;
    if (m_state->face) {
        m_state->Select(pixel_size);
        FT_Face face = m_state->face;
        if (FT_Load_Char(face, code_point, FT_LOAD_RENDER) == 0) {
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            glyph.width = static_cast<int>(bitmap.width);
            glyph.height = static_cast<int>(bitmap.rows);
            glyph.left = face->glyph->bitmap_left;
            glyph.top = face->glyph->bitmap_top;
            glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
            glyph.coverage.resize(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height));
            for (int row = 0; row < glyph.height; ++row) {
                const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
                std::copy_n(source, glyph.width,
                            glyph.coverage.begin() + static_cast<ptrdiff_t>(row) * glyph.width);
            }
        }
    }
    return m_state->glyphs.emplace(key, std::move(glyph)).first->second;
}

int UiFont::Ascent(int pixel_size)
{
    if (!m_state->face)
        return pixel_size * 7 / 8;
    m_state->Select(pixel_size);
    return static_cast<int>((m_state->face->size->metrics.ascender + 32) >> 6);
}

int UiFont::MeasureText(std::u16string_view text, int pixel_size)
{
    int width = 0;
    for (char32_t code_point : CodePointsOf(text))
        width += Glyph(code_point, pixel_size).advance;
    return width;
}

std::vector<char32_t> CodePointsOf(std::u16string_view text)
{
    std::vector<char32_t> result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            result.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                             (text[i + 1] - 0xDC00));
            ++i;
        } else {
            result.push_back(unit);
        }
    }
    return result;
}

} // namespace platform
