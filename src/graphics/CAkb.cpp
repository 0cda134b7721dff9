#include "graphics/CAkb.h"

#include "foundation/Lzss.h"
#include "graphics/ILayer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

int32_t ReadI32(const uint8_t* p)
{
    return static_cast<int32_t>(ReadU32(p));
}

uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// The most bytes an LZSS body can decode to: a flag byte with eight full-length matches is 17
// bytes that give 144.
size_t MostDecodedBytes(size_t body_size)
{
    return (body_size / 17 + 1) * 8 * LZSS_MAX_MATCH;
}

bool FitsLayer(const CAkb& akb, ILayer* layer, int32_t x, int32_t y)
{
    if (layer == nullptr || layer->GetBits() == nullptr || x < 0 || y < 0)
        return false;
    return int64_t{x} + akb.GetWidth() <= layer->GetWidth() &&
           int64_t{y} + akb.GetHeight() <= layer->GetHeight();
}

// Adds the row above to a row, byte by byte modulo 256.
void AddRowAbove(uint8_t* row, const uint8_t* above, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_add_epi8(a, b));
    }
#endif
    for (; i < n; ++i)
        row[i] = static_cast<uint8_t>(row[i] + above[i]);
}

// Whether n bytes are all zero; all of them are read, which for the short blocks it is given is
// cheaper than a way out at the first byte that is not.
bool AllZero(const uint8_t* bytes, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    __m128i any = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16)
        any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) != 0xFFFF)
        return false;
#endif
    uint8_t rest = 0;
    for (; i < n; ++i)
        rest |= bytes[i];
    return rest == 0;
}

// Undoes the filter in the layer, in screen order: the top row from its left neighbours, every row
// below from the row above it, byte by byte modulo 256. Three-byte pixels hold B, G and R; A is
// left as it is.
template <size_t SourceBytes>
void Unfilter(uint8_t* top, ptrdiff_t pitch, int32_t w, int32_t h)
{
    uint8_t* row = top;
    if constexpr (SourceBytes == 4) {
        const size_t n = static_cast<size_t>(w) * 4;
        for (size_t i = 4; i < n; ++i)
            row[i] = static_cast<uint8_t>(row[i] + row[i - 4]);
        for (int32_t r = 1; r < h; ++r) {
            const uint8_t* above = row;
            row += pitch;
            AddRowAbove(row, above, n);
        }
    } else {
        for (int32_t px = 1; px < w; ++px)
            for (int c = 0; c < 3; ++c)
                row[4 * px + c] = static_cast<uint8_t>(row[4 * px + c] + row[4 * (px - 1) + c]);
        for (int32_t r = 1; r < h; ++r) {
            const uint8_t* above = row;
            row += pitch;
            for (int32_t px = 0; px < w; ++px)
                for (int c = 0; c < 3; ++c)
                    row[4 * px + c] = static_cast<uint8_t>(row[4 * px + c] + above[4 * px + c]);
        }
    }
}

// The decode into a new layer, whose pixels are all zero and whose pages the system gives only
// when first touched, read or written. A picture's clear parts (a sheet's space between its parts,
// the rows around a drawing) decode to zero bytes: those are not stored, and the filter is undone
// only where a stored byte or a pixel above it is not zero, so their pages are never touched. The
// rows are noted in blocks of 64 bytes; four-byte pixels only (three-byte pictures are opaque).
class BlankLayerRows
{
public:
    static constexpr size_t BLOCK = 64;

    BlankLayerRows(uint8_t* top, ptrdiff_t pitch, size_t row_bytes, int32_t h)
        : m_top(top)
        , m_pitch(pitch)
        , m_row_bytes(row_bytes)
        , m_blocks((row_bytes + BLOCK - 1) / BLOCK)
        , m_h(h)
        , m_stored(m_blocks * static_cast<size_t>(h), 0)
    {}

    // Bytes of screen row y from byte offset at; zero blocks are only noted as such.
    void Store(int32_t y, size_t at, const uint8_t* bytes, size_t n)
    {
        uint8_t* row = Row(y);
        while (n > 0) {
            const size_t block = at / BLOCK;
            const size_t k = std::min(n, (block + 1) * BLOCK - at);
            if (!AllZero(bytes, k)) {
                std::memcpy(row + at, bytes, k);
                m_stored[static_cast<size_t>(y) * m_blocks + block] = 1;
            }
            at += k;
            bytes += k;
            n -= k;
        }
    }

    void Unfilter()
    {
        // Whether each block of the row above may hold a byte that is not zero.
        std::vector<uint8_t> live(m_blocks, 0);
        uint8_t* top = Row(0);
        if (std::any_of(m_stored.begin(), m_stored.begin() + static_cast<ptrdiff_t>(m_blocks),
                        [](uint8_t b) { return b != 0; })) {
            for (size_t i = 4; i < m_row_bytes; ++i)
                top[i] = static_cast<uint8_t>(top[i] + top[i - 4]);
            for (size_t b = 0; b < m_blocks; ++b)
                live[b] = !IsZero(top, b);
        }
        for (int32_t y = 1; y < m_h; ++y) {
            uint8_t* row = Row(y);
            const uint8_t* above = Row(y - 1);
            for (size_t b = 0; b < m_blocks; ++b) {
                const bool stored = m_stored[static_cast<size_t>(y) * m_blocks + b] != 0;
                if (!live[b] && !stored)
                    continue;
                const size_t from = b * BLOCK;
                const size_t to = std::min(m_row_bytes, from + BLOCK);
                if (live[b] && stored) {
                    AddRowAbove(row + from, above + from, to - from);
                } else if (live[b]) {
                    std::memcpy(row + from, above + from, to - from);
                }
                live[b] = !IsZero(row, b);
            }
        }
    }

private:
    uint8_t* Row(int32_t y) const { return m_top + static_cast<ptrdiff_t>(y) * m_pitch; }
    bool IsZero(const uint8_t* row, size_t block) const
    {
        const size_t from = block * BLOCK;
        return AllZero(row + from, std::min(m_row_bytes, from + BLOCK) - from);
    }

    uint8_t* m_top;
    ptrdiff_t m_pitch;
    size_t m_row_bytes;
    size_t m_blocks;
    int32_t m_h;
    std::vector<uint8_t> m_stored; // 1 where a block of a row holds stored bytes
};

// Decodes the body in pieces and hands each on a row at a time: place(row, at, bytes, n) with the
// row from the content's top (the body holds its rows from the bottom up) and where in its bytes
// they start.
template <class Place>
LzssDecodeResult DecodeRows(const CAkb& akb, size_t source_row, int32_t h, Place&& place)
{
    int32_t placed = 0; // rows placed, from the bottom
    size_t at = 0;      // bytes of the row being placed
    const auto split = [&](std::span<const uint8_t> piece) {
        while (!piece.empty()) {
            const size_t n = std::min(piece.size(), source_row - at);
            place(h - 1 - placed, at, piece.data(), n);
            at += n;
            piece = piece.subspan(n);
            if (at == source_row) {
                at = 0;
                ++placed;
            }
        }
    };
    return LzssDecodeInPieces(akb.GetBody(), source_row * static_cast<size_t>(h), split);
}

// Decodes the body straight into the content rectangle, its rows as stored (bottom row first),
// then undoes the filter there: no copy of the picture is held beside the layer, which for a
// town map or a scrolling picture would be tens of megabytes. False when the body does not decode
// to exactly the content rectangle's bytes: a layer that holds pixels is then untouched, since the
// body is measured before it is decoded; a new layer is decoded in one pass and may hold part of
// the picture, which its maker drops.
bool DecodeContent(const CAkb& akb, ILayer* layer, int32_t x, int32_t y, bool blank_layer)
{
    const RECT content = akb.GetContentRect();
    const int32_t w = content.right - content.left;
    const int32_t h = content.bottom - content.top;
    const bool three_bytes = (akb.GetFlags() & AKB_FLAG_RGB) != 0;
    const size_t source_row = static_cast<size_t>(w) * (three_bytes ? 3 : 4);
    const size_t expected = source_row * static_cast<size_t>(h);
    const bool empty = w <= 0 || h <= 0;
    if ((!blank_layer || empty) && !LzssMeasure(akb.GetBody(), expected).Complete(expected))
        return false;
    if (empty)
        return true;
    const ptrdiff_t pitch = layer->GetPitch();
    uint8_t* const top = layer->GetPixelPtr(x + content.left, y + content.top);
    if (blank_layer && !three_bytes) {
        BlankLayerRows rows(top, pitch, source_row, h);
        const LzssDecodeResult result =
            DecodeRows(akb, source_row, h, [&](int32_t row, size_t at, const uint8_t* bytes, size_t n) {
                rows.Store(row, at, bytes, n);
            });
        if (!result.Complete(expected))
            return false;
        rows.Unfilter();
        return true;
    }
    const LzssDecodeResult result =
        DecodeRows(akb, source_row, h, [&](int32_t row, size_t at, const uint8_t* bytes, size_t n) {
            uint8_t* target = top + static_cast<ptrdiff_t>(row) * pitch;
            if (!three_bytes) {
                std::memcpy(target + at, bytes, n);
                return;
            }
            for (size_t k = 0; k < n; ++k)
                target[4 * ((at + k) / 3) + (at + k) % 3] = bytes[k];
        });
    if (!result.Complete(expected))
        return false;
    if (three_bytes)
        Unfilter<3>(top, pitch, w, h);
    else
        Unfilter<4>(top, pitch, w, h);
    return true;
}

} // namespace

CAkb::CAkb(const uint8_t* bytes, size_t size)
    : m_bytes(bytes)
    , m_size(size)
{
    if (bytes == nullptr || size < AKB_HEADER_SIZE)
        return;
    Kind kind = Kind::None;
    if (std::memcmp(bytes, "AKB ", 4) == 0)
        kind = Kind::Plain;
    else if (std::memcmp(bytes, "AKB+", 4) == 0)
        kind = Kind::Difference;
    // A difference picture's header holds the base name too; a shorter file has no body.
    if (kind == Kind::None || (kind == Kind::Difference && size < AKB_DIFFERENCE_HEADER_SIZE))
        return;
    m_kind = kind;
    m_width = ReadU16(bytes + 4);
    m_height = ReadU16(bytes + 6);
    m_flags = ReadU32(bytes + 8);
    m_fill_colour = ReadU32(bytes + 12);
    m_content = RECT{ReadI32(bytes + 16), ReadI32(bytes + 20), ReadI32(bytes + 24), ReadI32(bytes + 28)};
    size_t body_start = AKB_HEADER_SIZE;
    if (kind == Kind::Difference) {
        const char* name = reinterpret_cast<const char*>(bytes + AKB_HEADER_SIZE);
        m_base_name.assign(name, strnlen(name, AKB_BASE_NAME_SIZE));
        body_start = AKB_DIFFERENCE_HEADER_SIZE;
    }
    m_body = std::span<const uint8_t>(bytes + body_start, size - body_start);
}

std::string CAkb::GetBaseFileName() const
{
    return m_base_name.substr(0, m_base_name.find('.')) + ".akb";
}

bool CAkb::IsWellFormed() const
{
    if (m_kind == Kind::None)
        return false;
    const RECT& c = m_content;
    if (c.left < 0 || c.top < 0 || c.left > c.right || c.top > c.bottom || c.right > m_width ||
        c.bottom > m_height)
        return false;
    const size_t bytes_per_pixel = (m_flags & AKB_FLAG_RGB) != 0 ? 3 : 4;
    const size_t expected =
        static_cast<size_t>(c.right - c.left) * static_cast<size_t>(c.bottom - c.top) * bytes_per_pixel;
    return expected <= MostDecodedBytes(m_body.size());
}

bool DecodeAkbRgb(const CAkb& akb, ILayer* layer, int32_t x, int32_t y)
{
    if (!akb.IsWellFormed() || (akb.GetFlags() & AKB_FLAG_RGB) == 0 || !FitsLayer(akb, layer, x, y))
        return false;
    return DecodeContent(akb, layer, x, y, false);
}

bool DecodeAkb(const CAkb& akb, ILayer* layer, int32_t x, int32_t y, RECT* out, int32_t fill_mode,
               bool blank_layer)
{
    if (!akb.IsWellFormed() || !FitsLayer(akb, layer, x, y))
        return false;
    if (!DecodeContent(akb, layer, x, y, blank_layer))
        return false;
    const uint32_t flags = akb.GetFlags();
    const RECT c = akb.GetContentRect();
    const int32_t w = c.right - c.left;
    const int32_t h = c.bottom - c.top;
    if ((flags & AKB_FLAG_RGB) != 0)
        layer->SetAlphaRect(x + c.left, y + c.top, w, h, flags & 0xFF);
    if (w > 0 && h > 0)
        layer->SetModified(1);
    if (out != nullptr)
        *out = c;

    if ((flags & AKB_FLAG_FILL) == 0)
        return true;
    uint32_t colour = akb.GetFillColour();
    if (fill_mode == 2)
        colour &= 0x00FFFFFF;
    else if (fill_mode == 1 && (colour >> 24) == 0)
        return true;
    const int32_t width = akb.GetWidth();
    const int32_t height = akb.GetHeight();
    if (w <= 0 || h <= 0) {
        layer->FillRect(x, y, width, height, colour, 1);
        return true;
    }
    if (c.top > 0)
        layer->FillRect(x, y, width, c.top, colour, 1);
    if (c.bottom < height)
        layer->FillRect(x, y + c.bottom, width, height - c.bottom, colour, 1);
    if (c.left > 0)
        layer->FillRect(x, y + c.top, c.left, h, colour, 1);
    if (c.right < width)
        layer->FillRect(x + c.right, y + c.top, width - c.right, h, colour, 1);
    return true;
}
