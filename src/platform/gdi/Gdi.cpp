// Device contexts, DIB sections and the stretch blit.

#include "platform/gdi/GdiApi.h"

#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

using platform::gdi::Bitmap;
using platform::gdi::ContextKind;
using platform::gdi::DeviceContext;
using platform::gdi::ObjectKind;
using platform::gdi::Registry;

namespace {

// Larger sections are refused rather than risking an overflowing size.
constexpr int64_t MAX_SECTION_BYTES = int64_t{1} << 31;

struct Rect
{
    int x, y, w, h;
};

// A source column or row with its share of one destination pixel.
struct Tap
{
    int index;
    int64_t weight;
};

// For each destination pixel d of an axis of dest_len pixels, the source pixels that the area
// [d * source_len, (d + 1) * source_len) covers, measured in units of 1 / dest_len source pixel:
// the weights of one destination pixel add up to source_len.
std::vector<std::vector<Tap>> AreaTaps(int source_len, int dest_len, int source_origin, int source_limit)
{
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(dest_len));
    for (int d = 0; d < dest_len; ++d) {
        const int64_t begin = int64_t{d} * source_len;
        const int64_t end = begin + source_len;
        for (int64_t s = begin / dest_len; s * dest_len < end; ++s) {
            const int64_t lo = std::max(begin, s * dest_len);
            const int64_t hi = std::min(end, (s + 1) * dest_len);
            if (hi <= lo)
                continue;
            // Samples past the bitmap edge repeat the edge pixel.
            const int index = std::clamp(static_cast<int>(source_origin + s), 0, source_limit - 1);
            taps[static_cast<size_t>(d)].push_back({index, hi - lo});
        }
    }
    return taps;
}

int NearestSource(int d, int source_len, int dest_len, int source_origin, int source_limit)
{
    // Sample at the centre of the destination pixel.
    const int64_t s = (int64_t{2} * d + 1) * source_len / (int64_t{2} * dest_len);
    return std::clamp(static_cast<int>(source_origin + s), 0, source_limit - 1);
}

void CopyExact(const Bitmap& dest, Rect d, const Bitmap& source, int sx, int sy)
{
    // Clip both rectangles together so the copy stays a plain translation.
    if (d.x < 0) {
        sx -= d.x;
        d.w += d.x;
        d.x = 0;
    }
    if (d.y < 0) {
        sy -= d.y;
        d.h += d.y;
        d.y = 0;
    }
    if (sx < 0) {
        d.x -= sx;
        d.w += sx;
        sx = 0;
    }
    if (sy < 0) {
        d.y -= sy;
        d.h += sy;
        sy = 0;
    }
    d.w = std::min({d.w, dest.width - d.x, source.width - sx});
    d.h = std::min({d.h, dest.height - d.y, source.height - sy});
    if (d.w <= 0 || d.h <= 0)
        return;
    // Within one bitmap, walk away from the overlap so no row is read after it was written.
    const bool backwards = &dest == &source && d.y > sy;
    for (int i = 0; i < d.h; ++i) {
        const int row = backwards ? d.h - 1 - i : i;
        std::memmove(dest.Row(d.y + row) + size_t{4} * d.x, source.Row(sy + row) + size_t{4} * sx,
                     size_t{4} * d.w);
    }
}

// The part of a destination rectangle that lies on the bitmap, in the rectangle's own columns
// and rows: begin and end of each.
struct DestClip
{
    int x_begin, x_end, y_begin, y_end;
};

DestClip ClipToDest(const Bitmap& dest, Rect d)
{
    return {std::max(0, -d.x), std::min(d.w, dest.width - d.x), std::max(0, -d.y), std::min(d.h, dest.height - d.y)};
}

void StretchNearest(const Bitmap& dest, Rect d, const Bitmap& source, Rect s)
{
    const auto [x_begin, x_end, y_begin, y_end] = ClipToDest(dest, d);
    if (x_begin >= x_end || y_begin >= y_end)
        return;
    std::vector<int> columns(static_cast<size_t>(d.w));
    for (int j = x_begin; j < x_end; ++j)
        columns[static_cast<size_t>(j)] = NearestSource(j, s.w, d.w, s.x, source.width);
    for (int r = y_begin; r < y_end; ++r) {
        const uint8_t* src_row = source.Row(NearestSource(r, s.h, d.h, s.y, source.height));
        uint8_t* dst_row = dest.Row(d.y + r);
        for (int j = x_begin; j < x_end; ++j)
            std::memcpy(dst_row + size_t{4} * (d.x + j),
                        src_row + size_t{4} * columns[static_cast<size_t>(j)], 4);
    }
}

// The one loop of a halftone stretch that touches every source byte: vectorised even where the
// build's optimisation level would not.
template <typename Acc>
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("tree-vectorize")))
#endif
void AddWeighted(Acc* __restrict sum, const uint8_t* __restrict source, size_t count, Acc weight)
{
    for (size_t i = 0; i < count; ++i)
        sum[i] += weight * source[i];
}

// Acc holds 255 times the area of the source rectangle and the rounding half beside it.
template <typename Acc>
void StretchHalftoneWith(const Bitmap& dest, Rect d, const Bitmap& source, Rect s, int x_begin, int x_end,
                         int y_begin, int y_end)
{
    const auto rows = AreaTaps(s.h, d.h, s.y, source.height);
    // The column taps of the drawn span, flattened: destination column j reads taps
    // [first[j], first[j + 1]).
    const size_t span = static_cast<size_t>(x_end - x_begin);
    std::vector<size_t> first(span + 1);
    std::vector<size_t> offsets;
    std::vector<Acc> weights;
    {
        const auto columns = AreaTaps(s.w, d.w, s.x, source.width);
        for (size_t j = 0; j < span; ++j) {
            first[j] = offsets.size();
            for (const Tap& tap : columns[static_cast<size_t>(x_begin) + j]) {
                offsets.push_back(size_t{4} * static_cast<size_t>(tap.index));
                weights.push_back(static_cast<Acc>(tap.weight));
            }
        }
        first[span] = offsets.size();
    }
    const Acc total = static_cast<Acc>(int64_t{s.w} * s.h);
    // Rows are summed first, over every source column the taps read (a plain run the compiler
    // vectorises), then the columns of each destination pixel; the integer sums are the same.
    const size_t low = *std::min_element(offsets.begin(), offsets.end());
    const size_t high = *std::max_element(offsets.begin(), offsets.end()) + 4;
    std::vector<Acc> down(high - low);
    for (int r = y_begin; r < y_end; ++r) {
        std::fill(down.begin(), down.end(), Acc{0});
        for (const Tap& row_tap : rows[static_cast<size_t>(r)])
            AddWeighted(down.data(), source.Row(row_tap.index) + low, down.size(),
                        static_cast<Acc>(row_tap.weight));
        uint8_t* dst_row = dest.Row(d.y + r) + size_t{4} * (d.x + x_begin);
        for (size_t j = 0; j < span; ++j) {
            Acc across[4] = {0, 0, 0, 0};
            for (size_t k = first[j]; k < first[j + 1]; ++k) {
                const Acc* column = down.data() + (offsets[k] - low);
                for (int c = 0; c < 4; ++c)
                    across[c] += weights[k] * column[c];
            }
            for (int c = 0; c < 4; ++c)
                dst_row[4 * j + static_cast<size_t>(c)] =
                    static_cast<uint8_t>((across[c] + total / 2) / total);
        }
    }
}

// A shrink by whole factors inside the source (a save's thumbnail, a tenth of the frame): each
// destination pixel averages its own box, every tap of the same weight, so the box sums are
// plain byte adds. The rounding is the general path's, to the same bytes.
template <typename Acc>
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("tree-vectorize")))
#endif
void AddBytes(Acc* __restrict sum, const uint8_t* __restrict source, size_t count)
{
    size_t i = 0;
#if defined(__SANITIZE_THREAD__)
    // Under ThreadSanitizer each byte's add is three checked accesses, and a thumbnail adds up a
    // whole frame: four bytes at a time, spread over the four 16-bit lanes of one word, cost three
    // for all four. No box sum passes 16 bits, so no lane carries into the next; rows and sums lie
    // on word boundaries.
    if constexpr (sizeof(Acc) == 2) {
        using Word32 = uint32_t __attribute__((may_alias));
        using Word64 = uint64_t __attribute__((may_alias));
        for (; i + 4 <= count; i += 4) {
            const uint64_t bytes = *reinterpret_cast<const Word32*>(source + i);
            *reinterpret_cast<Word64*>(sum + i) += (bytes & 0xFFu) | (bytes & 0xFF00u) << 8 |
                                                   (bytes & 0xFF0000u) << 16 | (bytes & 0xFF000000u) << 24;
        }
    }
#endif
    for (; i < count; ++i)
        sum[i] += source[i];
}

bool StretchWholeBoxes(const Bitmap& dest, Rect d, const Bitmap& source, Rect s, int x_begin, int x_end,
                       int y_begin, int y_end)
{
    if (s.w <= 0 || s.h <= 0 || d.w <= 0 || d.h <= 0 || s.w % d.w != 0 || s.h % d.h != 0 || s.x < 0 ||
        s.y < 0 || s.x + s.w > source.width || s.y + s.h > source.height || s.h / d.h > 257)
        return false;
    const int across = s.w / d.w;
    const int down = s.h / d.h;
    const uint64_t weight = uint64_t{static_cast<uint32_t>(d.w)} * static_cast<uint32_t>(d.h);
    const uint64_t total = uint64_t{static_cast<uint32_t>(s.w)} * static_cast<uint32_t>(s.h);
    const size_t first = size_t{4} * static_cast<size_t>(s.x + x_begin * across);
    const size_t bytes = size_t{4} * static_cast<size_t>((x_end - x_begin) * across);
    std::vector<uint16_t> rows(bytes);
    for (int r = y_begin; r < y_end; ++r) {
        std::fill(rows.begin(), rows.end(), uint16_t{0});
        for (int k = 0; k < down; ++k)
            AddBytes(rows.data(), source.Row(s.y + r * down + k) + first, bytes);
        uint8_t* dst_row = dest.Row(d.y + r) + size_t{4} * (d.x + x_begin);
        const uint16_t* box = rows.data();
        for (int j = x_begin; j < x_end; ++j, dst_row += 4) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int k = 0; k < across; ++k, box += 4)
                for (int c = 0; c < 4; ++c)
                    sum[c] += box[c];
            for (int c = 0; c < 4; ++c)
                dst_row[c] = static_cast<uint8_t>((weight * sum[c] + total / 2) / total);
        }
    }
    return true;
}

void StretchHalftone(const Bitmap& dest, Rect d, const Bitmap& source, Rect s)
{
    const auto [x_begin, x_end, y_begin, y_end] = ClipToDest(dest, d);
    if (x_begin >= x_end || y_begin >= y_end)
        return;
    if (StretchWholeBoxes(dest, d, source, s, x_begin, x_end, y_begin, y_end))
        return;
    // Each sum is at most 255 times the source area: 32 bits hold it for any picture up to 4K,
    // and are much quicker to add up (a save's thumbnail averages a whole 1080p frame).
    if (int64_t{s.w} * s.h <= 16'000'000)
        StretchHalftoneWith<uint32_t>(dest, d, source, s, x_begin, x_end, y_begin, y_end);
    else
        StretchHalftoneWith<int64_t>(dest, d, source, s, x_begin, x_end, y_begin, y_end);
}

} // namespace

HDC CreateCompatibleDC(HDC dc)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    if (dc != nullptr && registry.FindContext(dc) == nullptr)
        return nullptr;
    auto context = std::make_unique<DeviceContext>();
    context->kind = ContextKind::Memory;
    context->bitmap = registry.StockBitmap();
    return registry.AddContext(std::move(context));
}

BOOL DeleteDC(HDC dc)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    return registry.DeleteContext(dc) ? TRUE : FALSE;
}

HDC GetDC(HWND)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    auto context = std::make_unique<DeviceContext>();
    context->kind = ContextKind::Window;
    return registry.AddContext(std::move(context));
}

int ReleaseDC(HWND, HDC dc)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    DeviceContext* context = registry.FindContext(dc);
    if (context == nullptr || context->kind != ContextKind::Window)
        return 0;
    registry.DeleteContext(dc);
    return 1;
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD)
{
    if (bits != nullptr)
        *bits = nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr)
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biPlanes != 1 || header.biBitCount != 32 || header.biCompression != BI_RGB)
        return nullptr;
    const int64_t height = header.biHeight < 0 ? -int64_t{header.biHeight} : int64_t{header.biHeight};
    const int64_t bytes = int64_t{header.biWidth} * height * 4;
    if (bytes > MAX_SECTION_BYTES)
        return nullptr;

    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    if (dc != nullptr && registry.FindContext(dc) == nullptr)
        return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = header.biWidth;
    bitmap->height = static_cast<int>(height);
    bitmap->top_down = header.biHeight < 0;
    bitmap->pixels = platform::gdi::AllocatePixels(static_cast<size_t>(bytes));
    if (!bitmap->pixels)
        return nullptr;
    if (bits != nullptr)
        *bits = bitmap->pixels.get();
    return static_cast<HBITMAP>(registry.AddObject(std::move(bitmap)));
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    return registry.Select(dc, object);
}

BOOL DeleteObject(HGDIOBJ object)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    return registry.DeleteObject(object) ? TRUE : FALSE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    platform::gdi::GdiObject* found = registry.FindObject(object);
    if (found == nullptr || found->kind != ObjectKind::Bitmap)
        return 0;
    if (buffer == nullptr)
        return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    const auto* bitmap = static_cast<const Bitmap*>(found);
    BITMAP info{};
    info.bmType = 0;
    info.bmWidth = bitmap->width;
    info.bmHeight = bitmap->height;
    info.bmWidthBytes = static_cast<LONG>(bitmap->Stride());
    info.bmPlanes = 1;
    info.bmBitsPixel = static_cast<WORD>(bitmap->bit_count);
    info.bmBits = bitmap->stock ? nullptr : bitmap->pixels.get();
    std::memcpy(buffer, &info, sizeof(info));
    return sizeof(BITMAP);
}

int SetStretchBltMode(HDC dc, int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    DeviceContext* context = registry.FindContext(dc);
    if (context == nullptr)
        return 0;
    const int old = context->stretch_mode;
    context->stretch_mode = mode;
    return old;
}

int GetStretchBltMode(HDC dc)
{
    Registry& registry = Registry::GetInstance();
    std::lock_guard lock(registry.Lock());
    DeviceContext* context = registry.FindContext(dc);
    return context == nullptr ? 0 : context->stretch_mode;
}

BOOL StretchBlt(HDC dest, int dest_x, int dest_y, int dest_width, int dest_height, HDC source, int source_x,
                int source_y, int source_width, int source_height, DWORD rop)
{
    if (rop != SRCCOPY || dest_width <= 0 || dest_height <= 0 || source_width <= 0 || source_height <= 0)
        return FALSE;
    Registry& registry = Registry::GetInstance();
    // Held for the whole blit, so neither bitmap can be deleted under it.
    std::lock_guard lock(registry.Lock());
    DeviceContext* dest_context = registry.FindContext(dest);
    DeviceContext* source_context = registry.FindContext(source);
    if (dest_context == nullptr || source_context == nullptr)
        return FALSE;
    const Bitmap* dest_bitmap = dest_context->bitmap;
    const Bitmap* source_bitmap = source_context->bitmap;
    if (dest_bitmap == nullptr || source_bitmap == nullptr || dest_bitmap->stock || source_bitmap->stock)
        return FALSE;

    const Rect d{dest_x, dest_y, dest_width, dest_height};
    const Rect s{source_x, source_y, source_width, source_height};
    if (dest_width == source_width && dest_height == source_height)
        CopyExact(*dest_bitmap, d, *source_bitmap, source_x, source_y);
    else if (dest_context->stretch_mode == HALFTONE)
        StretchHalftone(*dest_bitmap, d, *source_bitmap, s);
    else
        StretchNearest(*dest_bitmap, d, *source_bitmap, s);
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x, int source_y, DWORD rop)
{
    return StretchBlt(dest, x, y, width, height, source, source_x, source_y, width, height, rop);
}
