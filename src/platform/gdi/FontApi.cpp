// The GDI font calls over the font engine and the object registry.

#include "platform/gdi/FontApi.h"

#include "platform/gdi/FontEngine.h"
#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

using platform::gdi::FontEngine;
using platform::gdi::FontObject;
using platform::gdi::Registry;
using platform::gdi::SelectedLogFont;

namespace {

struct TextState
{
    COLORREF text_colour = 0x000000;
    COLORREF background_colour = 0xFFFFFF;
    int background_mode = OPAQUE;
};

// FIXME: the text state belongs in the device context itself; until then it is kept per handle
// here, and a context's entry outlives the context.
std::mutex g_text_lock; // guards g_text_states; a leaf
std::unordered_map<HDC, TextState> g_text_states;

bool ContextExists(HDC dc)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    return registry.FindContext(dc) != nullptr;
}

template <typename Field, typename Value>
Value Exchange(HDC dc, Field TextState::*field, Value value, Value failure)
{
    if (!ContextExists(dc))
        return failure;
    std::lock_guard lock(g_text_lock);
    TextState& state = g_text_states[dc];
    const Value old = state.*field;
    state.*field = value;
    return old;
}

template <typename Field, typename Value>
Value Read(HDC dc, Field TextState::*field, Value failure)
{
    if (!ContextExists(dc))
        return failure;
    std::lock_guard lock(g_text_lock);
    return g_text_states[dc].*field;
}

} // namespace

HFONT CreateFontIndirectW(const LOGFONTW* logfont)
{
    if (logfont == nullptr)
        return nullptr;
    auto font = std::make_unique<FontObject>();
    font->logfont = *logfont;
    font->logfont.lfFaceName[LF_FACESIZE - 1] = 0;
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    return static_cast<HFONT>(registry.AddObject(std::move(font)));
}

int EnumFontFamiliesExW(HDC dc, LPLOGFONTW logfont, FONTENUMPROCW procedure, LPARAM param, DWORD)
{
    if (dc == nullptr || logfont == nullptr || procedure == nullptr)
        return 0;
    size_t length = 0;
    while (length < LF_FACESIZE && logfont->lfFaceName[length] != 0)
        ++length;
    const std::u16string face(logfont->lfFaceName, length);
    if (!FontEngine::GetInstance().FaceExists(face))
        return 1;
    ENUMLOGFONTEXW found{};
    found.elfLogFont = *logfont;
    found.elfLogFont.lfFaceName[LF_FACESIZE - 1] = 0;
    std::copy(face.begin(), face.end(), found.elfFullName);
    const std::u16string_view style = u"Regular";
    std::copy(style.begin(), style.end(), found.elfStyle);
    NEWTEXTMETRICEXW metrics{};
    LOGFONTW sample = found.elfLogFont;
    if (sample.lfHeight == 0)
        sample.lfHeight = 16;
    if (std::optional<TEXTMETRICW> text = FontEngine::GetInstance().GetTextMetrics(sample))
        metrics.ntmTm.tm = *text;
    return procedure(&found.elfLogFont, &metrics.ntmTm.tm, TRUETYPE_FONTTYPE, param);
}

BOOL GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics)
{
    if (metrics == nullptr)
        return FALSE;
    bool found = false;
    const LOGFONTW logfont = SelectedLogFont(dc, &found);
    if (!found)
        return FALSE;
    const std::optional<TEXTMETRICW> text = FontEngine::GetInstance().GetTextMetrics(logfont);
    if (!text)
        return FALSE;
    *metrics = *text;
    return TRUE;
}

DWORD GetGlyphOutlineW(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics, DWORD buffer_size,
                       LPVOID buffer, const MAT2* transform)
{
    const bool index_given = (format & GGO_GLYPH_INDEX) != 0;
    const UINT kind = format & ~GGO_GLYPH_INDEX;
    if (metrics == nullptr || transform == nullptr || (kind != GGO_METRICS && kind != GGO_GRAY8_BITMAP))
        return GDI_ERROR;
    bool found = false;
    const LOGFONTW logfont = SelectedLogFont(dc, &found);
    if (!found)
        return GDI_ERROR;
    // Without GGO_GLYPH_INDEX the character is one UTF-16 unit.
    const uint32_t code = index_given ? character : (character & 0xFFFF);
    const std::optional<platform::gdi::GlyphImage> image =
        FontEngine::GetInstance().RenderGlyph(logfont, code, index_given, transform);
    if (!image)
        return GDI_ERROR;
    *metrics = image->metrics;
    if (kind == GGO_METRICS)
        return 0;
    const DWORD size = static_cast<DWORD>(image->levels.size());
    if (buffer == nullptr || buffer_size == 0)
        return size;
    if (buffer_size < size)
        return GDI_ERROR;
    std::memcpy(buffer, image->levels.data(), size);
    return size;
}

DWORD GetCharacterPlacementW(HDC dc, LPCWSTR text, int count, int, GCP_RESULTSW* results, DWORD flags)
{
    if (text == nullptr || count < 0)
        return 0;
    bool found = false;
    const LOGFONTW logfont = SelectedLogFont(dc, &found);
    if (!found)
        return 0;
    FontEngine& engine = FontEngine::GetInstance();
    std::vector<uint32_t> glyphs;
    for (int i = 0; i < count; ++i) {
        char32_t code_point = text[i];
        if (code_point >= 0xD800 && code_point < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        glyphs.push_back(engine.GetGlyphIndex(logfont, code_point));
    }
    int width = 0;
    std::vector<int> advances;
    advances.reserve(glyphs.size());
    for (uint32_t glyph : glyphs) {
        advances.push_back(engine.GetAdvance(logfont, glyph));
        width += advances.back();
    }
    if (results != nullptr) {
        const UINT room = results->nGlyphs;
        const UINT produced = static_cast<UINT>(glyphs.size());
        if ((flags & GCP_GLYPHSHAPE) != 0 && results->lpGlyphs != nullptr) {
            for (UINT i = 0; i < std::min(room, produced); ++i)
                results->lpGlyphs[i] = static_cast<WCHAR>(glyphs[i]);
        }
        if (results->lpDx != nullptr) {
            for (UINT i = 0; i < std::min(room, produced); ++i)
                results->lpDx[i] = advances[i];
        }
        results->nGlyphs = std::min(room, produced);
        results->nMaxFit = count;
    }
    std::optional<TEXTMETRICW> metrics = engine.GetTextMetrics(logfont);
    const int height = metrics ? metrics->tmHeight : 0;
    return (static_cast<DWORD>(height & 0xFFFF) << 16) | static_cast<DWORD>(width & 0xFFFF);
}

COLORREF SetTextColor(HDC dc, COLORREF colour)
{
    return Exchange(dc, &TextState::text_colour, colour, CLR_INVALID);
}

COLORREF GetTextColor(HDC dc)
{
    return Read(dc, &TextState::text_colour, CLR_INVALID);
}

COLORREF SetBkColor(HDC dc, COLORREF colour)
{
    return Exchange(dc, &TextState::background_colour, colour, CLR_INVALID);
}

COLORREF GetBkColor(HDC dc)
{
    return Read(dc, &TextState::background_colour, CLR_INVALID);
}

int SetBkMode(HDC dc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return Exchange(dc, &TextState::background_mode, mode, 0);
}

int GetBkMode(HDC dc)
{
    return Read(dc, &TextState::background_mode, 0);
}
