#include "graphics/ILayer.h"

#include "graphics/PixelRows.h"
#include "graphics/PixelWord.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::array<uint8_t, 65536> BuildMultiplyTable()
{
    std::array<uint8_t, 65536> table{};
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j)
            table[static_cast<size_t>(i * 256 + j)] = static_cast<uint8_t>(i * j / 255);
    return table;
}

// Computed by the compiler, so every layer of every thread sees it complete from the start.
constexpr std::array<uint8_t, 65536> MULTIPLY_TABLE = BuildMultiplyTable();

inline const uint8_t* Row(int32_t i)
{
    return MULTIPLY_TABLE.data() + static_cast<size_t>(i) * 256;
}

inline uint8_t Mul(int32_t i, int32_t j)
{
    return MULTIPLY_TABLE[static_cast<size_t>(i) * 256 + static_cast<size_t>(j)];
}

// Opacities and weights past 255 are outside the contract; clamping keeps them inside the table.
inline int32_t ClampByte(int32_t value)
{
    return std::clamp(value, 0, 255);
}

inline uint32_t Load(const uint8_t* p)
{
    return graphics::LoadPixel(p);
}

inline void Store(uint8_t* p, uint32_t value)
{
    graphics::StorePixel(p, value);
}

struct Rect
{
    int64_t x, y, w, h;
    int64_t sx, sy;
};

// Clips the rectangle whose corner is (ax, ay) to limit_w x limit_h and moves the matching corner
// (bx, by) of the other rectangle along, so both keep covering the same pixels.
void ClipCorner(int64_t& ax, int64_t& ay, int64_t& bx, int64_t& by, int64_t& w, int64_t& h, int64_t limit_w,
                int64_t limit_h)
{
    if (ax < 0) {
        bx -= ax;
        w += ax;
        ax = 0;
    }
    if (ay < 0) {
        by -= ay;
        h += ay;
        ay = 0;
    }
    w = std::min(w, limit_w - ax);
    h = std::min(h, limit_h - ay);
}

// Rows follow each other downwards in memory for bottom-up layers, which the hardware
// prefetcher picks up late at every row start; asking for the next row's first lines early keeps
// a full-frame composition steadily near memory speed.
inline void PrefetchRowStarts(const uint8_t* dst, const uint8_t* src)
{
    for (int line = 0; line < 4; ++line) {
        __builtin_prefetch(dst + 64 * line, 1);
        __builtin_prefetch(src + 64 * line, 0);
    }
}

// Operations of this thread in progress: their own reach of pixel pointers is no direct access.
thread_local int t_operation_depth = 0;

struct OperationScope
{
    OperationScope() { ++t_operation_depth; }
    ~OperationScope() { --t_operation_depth; }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;
};

// The first pixel of [from, to) in a row whose alpha is below 0xFF; `to` when there is none.
// Opaque runs are passed over four pixels at a time: the checks of a region pass read whole parts.
int32_t FirstTranslucent(const uint8_t* row, int32_t from, int32_t to)
{
    static const uint64_t alphas = [] {
        const uint8_t pair[8] = {0, 0, 0, 0xFF, 0, 0, 0, 0xFF};
        uint64_t mask = 0;
        std::memcpy(&mask, pair, sizeof(mask));
        return mask;
    }();
    int32_t x = from;
#if defined(__SSE2__)
    // Sixteen pixels a step: a blink's part is walked twice a frame, and mostly opaque.
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i ones = _mm_set1_epi32(-1);
    for (; x + 16 <= to; x += 16) {
        const auto* p = reinterpret_cast<const __m128i*>(row + static_cast<ptrdiff_t>(x) * 4);
        const __m128i all = _mm_and_si128(_mm_and_si128(_mm_loadu_si128(p), _mm_loadu_si128(p + 1)),
                                          _mm_and_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(all, colour), ones)) != 0xFFFF)
            break;
    }
#endif
    for (; x + 4 <= to; x += 4) {
        uint64_t words[2];
        std::memcpy(words, row + static_cast<ptrdiff_t>(x) * 4, sizeof(words));
        if ((words[0] & words[1] & alphas) != alphas)
            break;
    }
    while (x < to && row[static_cast<ptrdiff_t>(x) * 4 + 3] == 0xFF)
        ++x;
    return x;
}

} // namespace

ILayer::ILayer() = default;

ILayer::Changes ILayer::TakeChanges()
{
    Changes changes;
    bool whole;
    {
        std::lock_guard lock(m_change_lock);
        changes.written = m_written;
        changes.direct = m_direct;
        changes.rect = m_written_rect;
        whole = m_written_whole;
        m_written = m_direct = m_written_whole = false;
        m_written_rect = RECT{};
    }
    if (whole)
        changes.rect = RECT{0, 0, GetWidth(), GetHeight()};
    return changes;
}

void ILayer::NoteDirectAccess()
{
    if (t_operation_depth != 0)
        return;
    std::lock_guard lock(m_change_lock);
    m_written = m_direct = m_written_whole = true;
    ++m_write_count;
}

void ILayer::NoteWritten()
{
    std::lock_guard lock(m_change_lock);
    m_written = m_written_whole = true;
    ++m_write_count;
}

void ILayer::NoteWritten(const RECT& rect)
{
    std::lock_guard lock(m_change_lock);
    ++m_write_count;
    if (m_written_whole) {
        m_written = true;
        return;
    }
    if (!m_written) {
        m_written_rect = rect;
    } else {
        m_written_rect.left = std::min(m_written_rect.left, rect.left);
        m_written_rect.top = std::min(m_written_rect.top, rect.top);
        m_written_rect.right = std::max(m_written_rect.right, rect.right);
        m_written_rect.bottom = std::max(m_written_rect.bottom, rect.bottom);
    }
    m_written = true;
}

uint64_t ILayer::GetWriteCount()
{
    std::lock_guard lock(m_change_lock);
    return m_write_count;
}

RECT ILayer::ClipToLayer(const RECT& part)
{
    return RECT{std::max<LONG>(part.left, 0), std::max<LONG>(part.top, 0),
                std::min<LONG>(part.right, GetWidth()), std::min<LONG>(part.bottom, GetHeight())};
}

bool ILayer::IsOpaque(const RECT& part)
{
    const auto [left, top, right, bottom] = ClipToLayer(part);
    if (right <= left || bottom <= top)
        return true;
    OperationScope operation;
    const uint8_t* bits = GetBits();
    if (bits == nullptr)
        return false;
    for (int32_t y = top; y < bottom; ++y)
        if (FirstTranslucent(bits + GetPixelOffset(0, y), left, right) != right)
            return false;
    return true;
}

std::optional<uint32_t> ILayer::UniformPixel()
{
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();
    OperationScope operation;
    const uint8_t* bits = GetBits();
    if (bits == nullptr || width <= 0 || height <= 0)
        return std::nullopt;
    const uint8_t* top = bits + GetPixelOffset(0, 0);
    uint32_t first;
    std::memcpy(&first, top, 4);
    for (int32_t x = 1; x < width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, top + static_cast<ptrdiff_t>(x) * 4, 4);
        if (pixel != first)
            return std::nullopt;
    }
    // The other rows against the first, a whole row at a time.
    const size_t row_bytes = static_cast<size_t>(width) * 4;
    for (int32_t y = 1; y < height; ++y)
        if (std::memcmp(bits + GetPixelOffset(0, y), top, row_bytes) != 0)
            return std::nullopt;
    return first;
}

RECT ILayer::TranslucentBounds(const RECT& part)
{
    const auto [left, top, right, bottom] = ClipToLayer(part);
    if (right <= left || bottom <= top)
        return RECT{};
    OperationScope operation;
    const uint8_t* bits = GetBits();
    if (bits == nullptr)
        return RECT{left, top, right, bottom};
    RECT bounds{right, bottom, left, top};
    for (int32_t y = top; y < bottom; ++y) {
        const uint8_t* row = bits + GetPixelOffset(0, y);
        const int32_t first = FirstTranslucent(row, left, right);
        if (first == right)
            continue;
        int32_t last = right - 1;
        while (row[last * 4 + 3] == 0xFF)
            --last;
        bounds = RECT{std::min(bounds.left, first), std::min(bounds.top, y), std::max(bounds.right, last + 1),
                      y + 1};
    }
    return bounds.right > bounds.left ? bounds : RECT{};
}

std::vector<uint32_t> ILayer::ReadPixels(const RECT& part)
{
    const auto [left, top, right, bottom] = ClipToLayer(part);
    std::vector<uint32_t> pixels;
    if (right <= left || bottom <= top)
        return pixels;
    OperationScope operation;
    const uint8_t* bits = GetBits();
    if (bits == nullptr)
        return pixels;
    const size_t width = static_cast<size_t>(right - left);
    pixels.resize(width * static_cast<size_t>(bottom - top));
    for (int32_t y = top; y < bottom; ++y)
        std::memcpy(pixels.data() + static_cast<size_t>(y - top) * width, bits + GetPixelOffset(left, y),
                    width * 4);
    return pixels;
}

void ILayer::FillHeader(int32_t width, int32_t height)
{
    m_header = {};
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biPlanes = 1;
    m_header.biBitCount = 32;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = static_cast<DWORD>(static_cast<int64_t>(width) * height * 4);
}

BITMAPINFOHEADER* ILayer::Create(int32_t width, int32_t height)
{
    FillHeader(width, height);
    return &m_header;
}

uint8_t* ILayer::GetPixelPtr(int32_t x, int32_t y)
{
    return GetBits() + GetPixelOffset(x, y);
}

BITMAPINFOHEADER* ILayer::GetHeader()
{
    return &m_header;
}

int32_t ILayer::GetWidth()
{
    return m_header.biWidth;
}

int32_t ILayer::GetHeight()
{
    return m_header.biHeight;
}

int32_t ILayer::GetStride()
{
    return m_header.biWidth * (m_header.biBitCount / 8);
}

int32_t ILayer::Lock()
{
    return 0;
}

int32_t ILayer::Unlock()
{
    return 0;
}

BITMAPINFOHEADER* ILayer::Resize(int32_t width, int32_t height)
{
    m_recorded_width = width;
    m_recorded_height = height;
    return &m_header;
}

SIZE ILayer::GetSize()
{
    return SIZE{m_recorded_width, m_recorded_height};
}

const uint8_t* ILayer::GetMultiplyTable()
{
    return MULTIPLY_TABLE.data();
}

void ILayer::SetModified(int32_t value)
{
    m_modified = value;
}

int32_t ILayer::GetModified()
{
    return m_modified;
}

// The frame every two-layer operation shares: clip, lock this layer then the source, mark the
// layer modified when asked, hand each row pair to row_fn from the top down, unlock in reverse.
template <typename RowFn>
bool ILayer::WalkRows(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                      bool mark_modified, RowFn&& row_fn)
{
    if (w <= 0 || h <= 0 || source == nullptr)
        return false;
    Rect r{x, y, w, h, sx, sy};
    ClipCorner(r.x, r.y, r.sx, r.sy, r.w, r.h, GetWidth(), GetHeight());
    ClipCorner(r.sx, r.sy, r.x, r.y, r.w, r.h, source->GetWidth(), source->GetHeight());
    if (r.w <= 0 || r.h <= 0)
        return false;
    OperationScope operation;
    Lock();
    source->Lock();
    uint8_t* dst_bits = GetBits();
    uint8_t* src_bits = source->GetBits();
    if (dst_bits != nullptr && src_bits != nullptr) {
        if (mark_modified)
            SetModified(1);
        uint8_t* d = dst_bits + GetPixelOffset(static_cast<int32_t>(r.x), static_cast<int32_t>(r.y));
        const uint8_t* s =
            src_bits + source->GetPixelOffset(static_cast<int32_t>(r.sx), static_cast<int32_t>(r.sy));
        const ptrdiff_t dst_pitch = GetPitch();
        const ptrdiff_t src_pitch = source->GetPitch();
        // A row function that answers tells whether it changed the row; only the rows from the
        // first to the last it changed are noted, so a picture copied again over itself with a
        // small change has only that band drawn again.
        int64_t first = r.h;
        int64_t last = -1;
        for (int64_t row = 0; row < r.h; ++row, d += dst_pitch, s += src_pitch) {
            if (row + 1 < r.h)
                PrefetchRowStarts(d + dst_pitch, s + src_pitch);
            bool changed = true;
            if constexpr (std::is_same_v<decltype(row_fn(d, s, 0)), bool>)
                changed = row_fn(d, s, static_cast<int32_t>(r.w));
            else
                row_fn(d, s, static_cast<int32_t>(r.w));
            if (changed) {
                first = std::min(first, row);
                last = row;
            }
        }
        // Noted after the rows: a draw pass that reads them meanwhile sees the note next time.
        if (last >= first)
            NoteWritten(RECT{static_cast<LONG>(r.x), static_cast<LONG>(r.y + first),
                             static_cast<LONG>(r.x + r.w), static_cast<LONG>(r.y + last + 1)});
    }
    source->Unlock();
    Unlock();
    return true;
}

template <typename RowFn>
bool ILayer::WalkRows(int32_t x, int32_t y, int32_t w, int32_t h, bool mark_modified, RowFn&& row_fn)
{
    if (w <= 0 || h <= 0)
        return false;
    Rect r{x, y, w, h, 0, 0};
    ClipCorner(r.x, r.y, r.sx, r.sy, r.w, r.h, GetWidth(), GetHeight());
    if (r.w <= 0 || r.h <= 0)
        return false;
    OperationScope operation;
    Lock();
    uint8_t* bits = GetBits();
    if (bits != nullptr) {
        if (mark_modified)
            SetModified(1);
        uint8_t* d = bits + GetPixelOffset(static_cast<int32_t>(r.x), static_cast<int32_t>(r.y));
        const ptrdiff_t pitch = GetPitch();
        for (int64_t row = 0; row < r.h; ++row, d += pitch)
            row_fn(d, static_cast<int32_t>(r.w));
        NoteWritten(RECT{static_cast<LONG>(r.x), static_cast<LONG>(r.y), static_cast<LONG>(r.x + r.w),
                         static_cast<LONG>(r.y + r.h)});
    }
    Unlock();
    return true;
}

// ---- Copies and plain alpha blits ----

void ILayer::Blt(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                 int32_t mode)
{
    if (mode == 1) {
        // A screen that copies the same picture again every tick changes nothing to show.
        WalkRows(x, y, w, h, source, sx, sy, true, [](uint8_t* d, const uint8_t* s, int32_t n) {
            const size_t bytes = static_cast<size_t>(n) * 4;
            if (std::memcmp(d, s, bytes) == 0)
                return false;
            std::memmove(d, s, bytes);
            return true;
        });
        return;
    }
    WalkRows(x, y, w, h, source, sx, sy, true, graphics::CopyColourRow);
}

void ILayer::BltAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy)
{
    WalkRows(x, y, w, h, source, sx, sy, true, graphics::BltAlphaRow);
}

void ILayer::BltTransparent(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                            int32_t sy)
{
    WalkRows(x, y, w, h, source, sx, sy, true, [](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            if (s[3] != 0)
                std::memcpy(d, s, 4);
        }
    });
}

void ILayer::CopyAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy)
{
    WalkRows(x, y, w, h, source, sx, sy, true, [](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
            d[3] = s[3];
    });
}

void ILayer::BltOpacity(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                        int32_t opacity, int32_t mode)
{
    if (w <= 0 || h <= 0 || opacity <= 0)
        return;
    if (opacity >= 255) {
        Blt(x, y, w, h, source, sx, sy, 1);
        return;
    }
    const uint8_t* ts = Row(opacity);
    const uint8_t* td = Row(255 - opacity);
    const int channels = mode == 1 ? 4 : 3;
    WalkRows(x, y, w, h, source, sx, sy, true, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            for (int c = 0; c < channels; ++c)
                d[c] = static_cast<uint8_t>(ts[s[c]] + td[d[c]]);
        }
    });
}

void ILayer::BltCrossFade(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                          int32_t ratio, ILayer* second)
{
    if (w <= 0 || h <= 0 || ratio <= 0)
        return;
    if (ratio >= 255) {
        Blt(x, y, w, h, source, sx, sy, 1);
        return;
    }
    if (source == nullptr || second == nullptr)
        return;
    Rect r{x, y, w, h, sx, sy};
    ClipCorner(r.x, r.y, r.sx, r.sy, r.w, r.h, std::min(GetWidth(), second->GetWidth()),
               std::min(GetHeight(), second->GetHeight()));
    ClipCorner(r.sx, r.sy, r.x, r.y, r.w, r.h, source->GetWidth(), source->GetHeight());
    if (r.w <= 0 || r.h <= 0)
        return;
    OperationScope operation;
    Lock();
    source->Lock();
    second->Lock();
    uint8_t* dst_bits = GetBits();
    uint8_t* src_bits = source->GetBits();
    uint8_t* second_bits = second->GetBits();
    if (dst_bits != nullptr && src_bits != nullptr && second_bits != nullptr) {
        SetModified(1);
        const int32_t cx = static_cast<int32_t>(r.x);
        const int32_t cy = static_cast<int32_t>(r.y);
        uint8_t* d = dst_bits + GetPixelOffset(cx, cy);
        const uint8_t* s =
            src_bits + source->GetPixelOffset(static_cast<int32_t>(r.sx), static_cast<int32_t>(r.sy));
        const uint8_t* t = second_bits + second->GetPixelOffset(cx, cy);
        const ptrdiff_t dst_pitch = GetPitch();
        const ptrdiff_t src_pitch = source->GetPitch();
        const ptrdiff_t second_pitch = second->GetPitch();
        // A fade walks the whole screen at every step: each pixel is read and written as one word
        // and its products are worked out, not looked up, so a pixel costs three memory accesses
        // rather than twenty. The products are the table's, i x j / 255 rounded down.
        const auto source_weight = static_cast<uint32_t>(ratio);
        const uint32_t second_weight = 255u - source_weight;
        for (int64_t row = 0; row < r.h; ++row, d += dst_pitch, s += src_pitch, t += second_pitch) {
            uint8_t* dp = d;
            const uint8_t* sp = s;
            const uint8_t* tp = t;
            for (int64_t i = 0; i < r.w; ++i, dp += 4, sp += 4, tp += 4) {
                const uint32_t from_source = Load(sp);
                const uint32_t from_second = Load(tp);
                const uint32_t a1 = from_source >> 24;
                const uint32_t a2 = from_second >> 24;
                uint32_t out = 0;
                if (a1 != 0 && a2 == 0) {
                    out = (from_source & 0xFFFFFFu) | source_weight * a1 / 255 << 24;
                } else if (a1 == 0 && a2 != 0) {
                    out = (from_second & 0xFFFFFFu) | second_weight * a2 / 255 << 24;
                } else {
                    // The two products of a byte sum to at most 255: no carry into the next.
                    for (int shift = 0; shift < 32; shift += 8)
                        out |= (source_weight * (from_source >> shift & 0xFF) / 255 +
                                second_weight * (from_second >> shift & 0xFF) / 255)
                               << shift;
                }
                Store(dp, out);
            }
        }
        NoteWritten(RECT{static_cast<LONG>(r.x), static_cast<LONG>(r.y), static_cast<LONG>(r.x + r.w),
                         static_cast<LONG>(r.y + r.h)});
    }
    second->Unlock();
    source->Unlock();
    Unlock();
}

void ILayer::BltAlphaOpacity(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                             int32_t sy, int32_t opacity)
{
    if (w <= 0 || h <= 0 || opacity <= 0)
        return;
    if (opacity >= 255) {
        BltAlpha(x, y, w, h, source, sx, sy);
        return;
    }
    WalkRows(x, y, w, h, source, sx, sy, true, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        graphics::BltAlphaOpacityRow(d, s, n, opacity);
    });
}

namespace {

// The last case of the over operators: a source of alpha a composed onto a destination of alpha
// ad (0 < ad < 255) gives alpha out, and its colour weighs the source by a * k / out.
inline void ComposeOver(uint8_t* d, const uint8_t* s, uint32_t a, uint32_t k)
{
    const uint32_t ad = d[3];
    const uint32_t out = ad + Mul(static_cast<int32_t>(a), static_cast<int32_t>(255 - ad));
    const uint32_t weight = k * a / out;
    const uint8_t* ts = Row(static_cast<int32_t>(weight));
    const uint8_t* td = Row(static_cast<int32_t>((k - weight) & 0xFF));
    d[0] = static_cast<uint8_t>(ts[s[0]] + td[d[0]]);
    d[1] = static_cast<uint8_t>(ts[s[1]] + td[d[1]]);
    d[2] = static_cast<uint8_t>(ts[s[2]] + td[d[2]]);
    d[3] = static_cast<uint8_t>(out);
}

// Whether the eight pixels from d all have alpha 0xFF.
inline bool OpaqueEight(const uint8_t* d)
{
    uint64_t quad[4];
    std::memcpy(quad, d, sizeof quad);
    return ((quad[0] & quad[1] & quad[2] & quad[3]) & 0xFF000000FF000000u) == 0xFF000000FF000000u;
}

// Whether the eight pixels from s all have alpha 0.
inline bool ClearEight(const uint8_t* s)
{
    uint64_t quad[4];
    std::memcpy(quad, s, sizeof quad);
    return ((quad[0] | quad[1] | quad[2] | quad[3]) & 0xFF000000FF000000u) == 0;
}

inline void MixColour(uint8_t* d, const uint8_t* s, uint32_t a)
{
    const uint8_t* ts = Row(static_cast<int32_t>(a));
    const uint8_t* td = Row(static_cast<int32_t>(255 - a));
    d[0] = static_cast<uint8_t>(ts[s[0]] + td[d[0]]);
    d[1] = static_cast<uint8_t>(ts[s[1]] + td[d[1]]);
    d[2] = static_cast<uint8_t>(ts[s[2]] + td[d[2]]);
}

} // namespace

void ILayer::BltOverOpacity(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                            int32_t sy, int32_t opacity)
{
    if (w <= 0 || h <= 0 || opacity <= 0)
        return;
    const uint8_t* to = Row(ClampByte(opacity));
    WalkRows(x, y, w, h, source, sx, sy, true, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            const uint32_t a = to[s[3]];
            if (a == 0)
                continue;
            if (d[3] == 0) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d[3] = static_cast<uint8_t>(a);
            } else if (d[3] == 255) {
                MixColour(d, s, a);
            } else {
                ComposeOver(d, s, a, 255);
            }
        }
    });
}

void ILayer::BltOver(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy)
{
    BltOverWeighted(x, y, w, h, source, sx, sy, 255);
}

void ILayer::BltOverWeighted(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                             int32_t sy, int32_t weight)
{
    const uint32_t k = static_cast<uint32_t>(ClampByte(weight));
    WalkRows(x, y, w, h, source, sx, sy, true, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            const uint32_t a = s[3];
            if (a == 0) {
                // Text and parts are mostly clear: pass clear stretches eight pixels at a time.
                if (i + 8 <= n && ClearEight(s)) {
                    const int32_t run = graphics::ClearRunLength(s, n - i);
                    i += run - 1;
                    d += 4 * (run - 1);
                    s += 4 * (run - 1);
                }
                continue;
            }
            if (d[3] == 255 && i + 8 <= n && OpaqueEight(d)) {
                // Over opaque pixels the result keeps their alpha and mixes the colour by the
                // source's, whatever the weight: the alpha blit's rule, eight pixels at a time.
                const int32_t run = graphics::OpaqueRunLength(d, n - i);
                graphics::BltAlphaRow(d, s, run);
                i += run - 1;
                d += 4 * (run - 1);
                s += 4 * (run - 1);
                continue;
            }
            if (a == 255 || d[3] == 0)
                std::memcpy(d, s, 4);
            else if (d[3] == 255)
                MixColour(d, s, a);
            else
                ComposeOver(d, s, a, k);
        }
    });
}

// ---- Blend modes ----

template <typename ModeFn>
void ILayer::BlendMode(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                       int32_t opacity, ModeFn&& mode_fn)
{
    if (w <= 0 || h <= 0 || opacity <= 0)
        return;
    const uint8_t* to = Row(ClampByte(opacity));
    WalkRows(x, y, w, h, source, sx, sy, true, [&](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            const int32_t a = to[s[3]];
            if (a == 0)
                continue;
            const uint8_t* tm = Row(a);
            const uint8_t* td = Row(255 - a);
            for (int c = 0; c < 3; ++c) {
                const int32_t m =
                    std::clamp(mode_fn(static_cast<int32_t>(s[c]), static_cast<int32_t>(d[c])), 0, 255);
                d[c] = static_cast<uint8_t>(tm[m] + td[d[c]]);
            }
        }
    });
}

void ILayer::BltMultiply(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                         int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity, [](int32_t s, int32_t d) { return s * d / 255; });
}

void ILayer::BltSubtract(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                         int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity, [](int32_t s, int32_t d) { return std::max(d - s, 0); });
}

void ILayer::BltScreen(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                       int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity,
              [](int32_t s, int32_t d) { return 255 - (255 - s) * (255 - d) / 255; });
}

void ILayer::BltOverlay(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                        int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity, [](int32_t s, int32_t d) {
        return d < 128 ? 2 * s * d / 255 : 2 * (s + d - s * d / 255) - 255;
    });
}

void ILayer::BltColorDodge(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                           int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity,
              [](int32_t s, int32_t d) { return s == 255 ? 255 : std::min(d * 255 / (255 - s), 255); });
}

void ILayer::BltColorBurn(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                          int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity,
              [](int32_t s, int32_t d) { return s == 0 ? 0 : std::max(255 - (255 - d) * 255 / s, 0); });
}

void ILayer::BltDarken(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                       int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity, [](int32_t s, int32_t d) { return std::min(s, d); });
}

void ILayer::BltLighten(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                        int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity, [](int32_t s, int32_t d) { return std::max(s, d); });
}

void ILayer::BltSoftLight(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                          int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity, [](int32_t s, int32_t d) {
        const float exponent =
            s < 128 ? static_cast<float>(255 - s) / 128.0f : 128.0f / static_cast<float>(s);
        const float base = static_cast<float>(d) / 255.0f;
        const float power =
            static_cast<float>(std::pow(static_cast<double>(base), static_cast<double>(exponent)));
        return static_cast<int32_t>(255.0f * power);
    });
}

void ILayer::BltHardLight(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                          int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity, [](int32_t s, int32_t d) {
        return s < 128 ? std::min(2 * s * d / 255, 255) : std::min(2 * (s + d - s * d / 255) - 255, 255);
    });
}

void ILayer::BltExclusion(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                          int32_t opacity)
{
    BlendMode(x, y, w, h, source, sx, sy, opacity,
              [](int32_t s, int32_t d) { return s + d - 2 * s * d / 255; });
}

// ---- Alpha-channel operations ----

void ILayer::CopyAlphaScaledF(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, float factor)
{
    if (w <= 0 || h <= 0 || !(factor >= 0.0f)) // a NaN factor draws nothing, like a negative one
        return;
    if (factor >= 1.0f) {
        CopyAlpha(x, y, w, h, source, sx, sy);
        return;
    }
    WalkRows(x, y, w, h, source, sx, sy, false, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
            d[3] = static_cast<uint8_t>(static_cast<float>(s[3]) * factor);
    });
}

void ILayer::CopyAlphaScaled(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                             int32_t sy, int32_t factor)
{
    if (w <= 0 || h <= 0 || factor < 0)
        return;
    if (factor >= 255) {
        CopyAlpha(x, y, w, h, source, sx, sy);
        return;
    }
    const uint8_t* tk = Row(factor);
    WalkRows(x, y, w, h, source, sx, sy, false, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
            d[3] = tk[s[3]];
    });
}

void ILayer::AddAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy)
{
    WalkRows(x, y, w, h, source, sx, sy, false, [](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
            d[3] = static_cast<uint8_t>(std::min(d[3] + s[3], 255));
    });
}

void ILayer::MultiplyAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy)
{
    WalkRows(x, y, w, h, source, sx, sy, false, [](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            if (d[3] != 0)
                d[3] = Mul(d[3], s[3]);
        }
    });
}

void ILayer::AddAlphaScaled(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                            int32_t sy, int32_t factor)
{
    if (w <= 0 || h <= 0 || factor < 0)
        return;
    if (factor >= 255) {
        AddAlpha(x, y, w, h, source, sx, sy);
        return;
    }
    const uint8_t* tk = Row(factor);
    WalkRows(x, y, w, h, source, sx, sy, false, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
            d[3] = static_cast<uint8_t>(std::min(d[3] + tk[s[3]], 255));
    });
}

// ---- Colour keys ----

void ILayer::BltColorKey(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy,
                         uint32_t key)
{
    const uint32_t colour_key = key & 0x00FFFFFFu;
    WalkRows(x, y, w, h, source, sx, sy, true, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            const uint32_t colour = Load(s) & 0x00FFFFFFu;
            if (colour != colour_key)
                Store(d, (Load(d) & 0xFF000000u) | colour);
        }
    });
}

void ILayer::BltColorKeyAlpha(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, uint32_t key)
{
    WalkRows(x, y, w, h, source, sx, sy, true,
             [=](uint8_t* d, const uint8_t* s, int32_t n) { graphics::BltAlphaKeyedRow(d, s, n, key); });
}

void ILayer::MakeColorKeyMask(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                              int32_t sy, uint32_t key, uint32_t value)
{
    const uint32_t colour_key = key & 0x00FFFFFFu;
    WalkRows(x, y, w, h, source, sx, sy, true, [=](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
            Store(d, (Load(s) & 0x00FFFFFFu) == colour_key ? value : 0u);
    });
}

// ---- Filters ----

void ILayer::BltAlphaToGray(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx,
                            int32_t sy)
{
    WalkRows(x, y, w, h, source, sx, sy, true, [](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            const uint32_t a = s[3];
            Store(d, 0xFF000000u | (a << 16) | (a << 8) | a);
        }
    });
}

void ILayer::BlendColorHalf(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour)
{
    const uint8_t blue = static_cast<uint8_t>(colour);
    const uint8_t green = static_cast<uint8_t>(colour >> 8);
    const uint8_t red = static_cast<uint8_t>(colour >> 16);
    WalkRows(x, y, w, h, true, [=](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4) {
            d[0] = static_cast<uint8_t>((d[0] + blue) >> 1);
            d[1] = static_cast<uint8_t>((d[1] + green) >> 1);
            d[2] = static_cast<uint8_t>((d[2] + red) >> 1);
        }
    });
}

void ILayer::HalveBrightness(int32_t x, int32_t y, int32_t w, int32_t h)
{
    WalkRows(x, y, w, h, true, [](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4)
            Store(d, (Load(d) & 0xFF000000u) | ((Load(d) >> 1) & 0x007F7F7Fu));
    });
}

void ILayer::Invert(int32_t x, int32_t y, int32_t w, int32_t h)
{
    WalkRows(x, y, w, h, true, [](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4)
            Store(d, Load(d) ^ 0x00FFFFFFu);
    });
}

void ILayer::BltInvert(int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source, int32_t sx, int32_t sy)
{
    WalkRows(x, y, w, h, source, sx, sy, true, [](uint8_t* d, const uint8_t* s, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
            Store(d, (Load(d) & 0xFF000000u) | (~Load(s) & 0x00FFFFFFu));
    });
}

namespace {

inline uint32_t Luminance(const uint8_t* p)
{
    return (306u * p[2] + 600u * p[1] + 117u * p[0]) >> 10;
}

} // namespace

void ILayer::Grayscale(int32_t x, int32_t y, int32_t w, int32_t h)
{
    WalkRows(x, y, w, h, true, [](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4) {
            const uint8_t l = static_cast<uint8_t>(Luminance(d));
            d[0] = l;
            d[1] = l;
            d[2] = l;
        }
    });
}

void ILayer::Sepia(int32_t x, int32_t y, int32_t w, int32_t h)
{
    const uint8_t* blue = Row(145);
    const uint8_t* green = Row(200);
    const uint8_t* red = Row(240);
    WalkRows(x, y, w, h, true, [=](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4) {
            const uint32_t l = Luminance(d);
            d[0] = blue[l];
            d[1] = green[l];
            d[2] = red[l];
        }
    });
}

// ---- Fills ----

void ILayer::ClearRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    ClearRows(x, y, w, h);
}

void ILayer::ClearRows(int32_t x, int32_t y, int32_t w, int32_t h)
{
    // Rows of the whole width follow one another in memory, in whichever direction they run.
    const size_t whole_row = static_cast<size_t>(GetWidth()) * 4;
    const bool packed = static_cast<size_t>(std::abs(GetPitch())) == whole_row;
    uint8_t* first = nullptr;
    size_t run = 0;
    WalkRows(x, y, w, h, true, [&](uint8_t* d, int32_t n) {
        const size_t bytes = static_cast<size_t>(n) * 4;
        if (!packed || bytes != whole_row) {
            std::memset(d, 0, bytes);
            return;
        }
        first = first == nullptr ? d : std::min(first, d);
        run += bytes;
    });
    if (first == nullptr)
        return;
    ZeroRows(first, run);
    // Noted again once zeroed: a draw that took the rows between the walk and the zeroing draws
    // them again.
    WalkRows(x, y, w, h, true, [](uint8_t*, int32_t) {});
}

void ILayer::ZeroRows(uint8_t* first, size_t bytes)
{
    std::memset(first, 0, bytes);
}

void ILayer::Clear()
{
    ClearRect(0, 0, GetWidth(), GetHeight());
}

void ILayer::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, int32_t mode)
{
    if (mode != 0) {
        // Clearing to 0 is what every text area and work layer does each page.
        if (colour == 0) {
            ClearRows(x, y, w, h);
            return;
        }
        WalkRows(x, y, w, h, true, [=](uint8_t* d, int32_t n) { graphics::FillRow(d, n, colour); });
        return;
    }
    const uint32_t rgb = colour & 0x00FFFFFFu;
    WalkRows(x, y, w, h, true, [=](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4)
            Store(d, (Load(d) & 0xFF000000u) | rgb);
    });
}

void ILayer::FillRectAlpha(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour)
{
    const int32_t a = static_cast<int32_t>(colour >> 24);
    if (w <= 0 || h <= 0 || a == 0)
        return;
    if (a == 255) {
        FillRect(x, y, w, h, colour & 0x00FFFFFFu, 0);
        return;
    }
    const uint8_t* tc = Row(a);
    const uint8_t* td = Row(255 - a);
    const uint8_t blue = tc[colour & 0xFF];
    const uint8_t green = tc[(colour >> 8) & 0xFF];
    const uint8_t red = tc[(colour >> 16) & 0xFF];
    WalkRows(x, y, w, h, true, [=](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4) {
            d[0] = static_cast<uint8_t>(td[d[0]] + blue);
            d[1] = static_cast<uint8_t>(td[d[1]] + green);
            d[2] = static_cast<uint8_t>(td[d[2]] + red);
        }
    });
}

void ILayer::SetAlphaRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t alpha)
{
    const uint8_t value = static_cast<uint8_t>(alpha);
    WalkRows(x, y, w, h, true, [=](uint8_t* d, int32_t n) { graphics::SetAlphaRow(d, n, value); });
}

void ILayer::HalveAlphaRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    WalkRows(x, y, w, h, true, [](uint8_t* d, int32_t n) {
        for (int32_t i = 0; i < n; ++i, d += 4)
            d[3] = static_cast<uint8_t>(d[3] >> 1);
    });
}
