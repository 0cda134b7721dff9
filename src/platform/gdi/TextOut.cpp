#include "platform/gdi/TextOutApi.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/gdi/FontApi.h"
#include "platform/gdi/FontEngine.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/user/UiFont.h"

namespace {

using platform::UiFont;
using platform::gdi::DeviceContext;
using platform::gdi::FontObject;
using platform::gdi::ObjectKind;
using platform::gdi::Registry;

constexpr int DEFAULT_PIXEL_SIZE = 12;
// Em per cell height of the interface face (ascent plus descent of Noto Sans CJK, in thousandths).
constexpr int CELL_PER_EM_THOUSANDTHS = 1448;

// The em size for the context's font; the caller holds the registry lock.
int PixelSizeOf(DeviceContext& context)
{
    if (context.font == nullptr || context.font->kind != ObjectKind::Font)
        return DEFAULT_PIXEL_SIZE;
    const LONG height = static_cast<const FontObject*>(context.font)->logfont.lfHeight;
    if (height < 0)
        return -height;
    if (height > 0)
        return std::max<int>(1, height * 1000 / CELL_PER_EM_THOUSANDTHS);
    return DEFAULT_PIXEL_SIZE;
}

std::optional<int> PixelSize(HDC dc)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    DeviceContext* context = registry.FindContext(dc);
    if (context == nullptr)
        return std::nullopt;
    return PixelSizeOf(*context);
}

} // namespace

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size)
{
    const std::optional<int> pixels = PixelSize(dc);
    if (!pixels || size == nullptr || (text == nullptr && count > 0) || count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::u16string_view view(text ? text : u"", static_cast<size_t>(count));
    size->cx = UiFont::GetInstance().MeasureText(view, *pixels);
    size->cy = *pixels * CELL_PER_EM_THOUSANDTHS / 1000;
    return TRUE;
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count)
{
    const std::optional<int> pixels = PixelSize(dc);
    if (!pixels || (text == nullptr && count > 0) || count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::u16string_view view(text ? text : u"", static_cast<size_t>(count));
    const COLORREF colour = GetTextColor(dc);
    const COLORREF background = GetBkColor(dc);
    const bool opaque = GetBkMode(dc) == OPAQUE;

    // Glyphs are made before the registry is locked: nothing else runs under its lock.
    UiFont& font = UiFont::GetInstance();
    struct Placed
    {
        int x;
        platform::UiGlyph glyph;
    };
    std::vector<Placed> placed;
    int pen = x;
    for (char32_t code_point : platform::CodePointsOf(view)) {
        const platform::UiGlyph& glyph = font.Glyph(code_point, *pixels);
        placed.push_back({pen, glyph});
        pen += glyph.advance;
    }
    const int baseline = y + font.Ascent(*pixels);
    const int cell_height = *pixels * CELL_PER_EM_THOUSANDTHS / 1000;

    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    DeviceContext* context = registry.FindContext(dc);
    if (context == nullptr || context->bitmap == nullptr || context->bitmap->pixels == nullptr)
        return FALSE;
    platform::gdi::Bitmap& bitmap = *context->bitmap;
    auto blend = [&](int px, int py, COLORREF c, unsigned coverage) {
        if (px < 0 || py < 0 || px >= bitmap.width || py >= bitmap.height || coverage == 0)
            return;
        uint8_t* pixel = bitmap.Row(py) + static_cast<size_t>(px) * 4;
        const unsigned source[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
        for (int i = 0; i < 3; ++i)
            pixel[i] = static_cast<uint8_t>((source[i] * coverage + pixel[i] * (255 - coverage) + 127) / 255);
    };
    if (opaque) {
        for (int py = y; py < y + cell_height; ++py) {
            for (int px = x; px < pen; ++px)
                blend(px, py, background, 255);
        }
    }
    for (const Placed& entry : placed) {
        const platform::UiGlyph& glyph = entry.glyph;
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                blend(entry.x + glyph.left + column, baseline - glyph.top + row, colour,
                      glyph.coverage[static_cast<size_t>(row) * static_cast<size_t>(glyph.width) +
                                     static_cast<size_t>(column)]);
            }
        }
    }
    return TRUE;
}
