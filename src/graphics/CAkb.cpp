#include "graphics/CAkb.h"

#include "graphics/ILayer.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t RING_SIZE = 4096;
constexpr size_t RING_MASK = RING_SIZE - 1;
constexpr size_t RING_START = 4078;

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

// The number of bytes the LZSS body decodes to, counted from its codes alone; SIZE_MAX when the
// body ends inside a match or would decode to more than limit bytes.
size_t DecodedSize(std::span<const uint8_t> body, size_t limit)
{
    size_t pos = 0;
    size_t produced = 0;
    const size_t size = body.size();
    while (pos < size) {
        unsigned flags = body[pos++];
        for (int bit = 0; bit < 8 && pos < size; ++bit, flags >>= 1) {
            if ((flags & 1) != 0) {
                ++pos;
                ++produced;
            } else {
                if (size - pos < 2)
                    return SIZE_MAX;
                produced += (body[pos + 1] & 0x0F) + 3;
                pos += 2;
            }
            if (produced > limit)
                return SIZE_MAX;
        }
    }
    return produced;
}

// Places decoded bytes into the content rectangle of the layer, from its bottom row up: four
// bytes a pixel, or three with each pixel's alpha byte stepped over.
template <bool ThreeBytes>
class RowSink
{
public:
    RowSink(uint8_t* bottom_row, ptrdiff_t pitch, size_t row_bytes)
        : m_row(bottom_row)
        , m_pitch(pitch)
        , m_row_bytes(row_bytes)
    {}

    void Put(uint8_t value)
    {
        m_row[m_column] = value;
        if constexpr (ThreeBytes) {
            if (++m_channel == 3) {
                m_channel = 0;
                ++m_column;
            }
        }
        if (++m_column == m_row_bytes) {
            m_column = 0;
            m_row -= m_pitch; // the row above on screen
        }
    }

    // Copies n plain bytes when they stay inside the current row; false when the caller must go
    // byte by byte.
    bool PutRun(const uint8_t* bytes, size_t n)
    {
        if constexpr (ThreeBytes) {
            return false;
        } else {
            if (m_row_bytes - m_column <= n)
                return false;
            std::memcpy(m_row + m_column, bytes, n);
            m_column += n;
            return true;
        }
    }

private:
    uint8_t* m_row;
    ptrdiff_t m_pitch;
    size_t m_row_bytes;
    size_t m_column = 0;
    int m_channel = 0;
};

// The body must already be known to decode to exactly the rectangle's bytes (DecodedSize).
template <bool ThreeBytes>
void DecodeBody(std::span<const uint8_t> body, RowSink<ThreeBytes>& sink)
{
    uint8_t ring[RING_SIZE] = {};
    size_t write = RING_START;
    const uint8_t* in = body.data();
    const uint8_t* const end = in + body.size();
    while (in < end) {
        unsigned flags = *in++;
        for (int bit = 0; bit < 8 && in < end; ++bit, flags >>= 1) {
            if ((flags & 1) != 0) {
                const uint8_t value = *in++;
                sink.Put(value);
                ring[write] = value;
                write = (write + 1) & RING_MASK;
                continue;
            }
            if (end - in < 2)
                return;
            const size_t offset = in[0] | ((in[1] & 0xF0u) << 4);
            const size_t length = (in[1] & 0x0Fu) + 3;
            in += 2;
            // A match that neither wraps the ring nor overlaps the bytes it writes is one block.
            const bool apart = offset + length <= RING_SIZE && write + length <= RING_SIZE &&
                               (offset + length <= write || write + length <= offset);
            if (apart && sink.PutRun(ring + offset, length)) {
                std::memcpy(ring + write, ring + offset, length);
                write = (write + length) & RING_MASK;
                continue;
            }
            for (size_t k = 0; k < length; ++k) {
                const uint8_t value = ring[(offset + k) & RING_MASK];
                sink.Put(value);
                ring[write] = value;
                write = (write + 1) & RING_MASK;
            }
        }
    }
}

void AddRow(uint8_t* row, const uint8_t* above, size_t n)
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

// Undoes the filter in screen order: the top row from its left neighbours, every row below from
// the row above it, byte by byte modulo 256.
void Unfilter(uint8_t* top_row, ptrdiff_t pitch, size_t row_bytes, int32_t rows)
{
    for (size_t i = 4; i < row_bytes; ++i)
        top_row[i] = static_cast<uint8_t>(top_row[i] + top_row[i - 4]);
    uint8_t* above = top_row;
    for (int32_t r = 1; r < rows; ++r) {
        uint8_t* row = above + pitch;
        AddRow(row, above, row_bytes);
        above = row;
    }
}

bool FitsLayer(const CAkb& akb, ILayer* layer, int32_t x, int32_t y)
{
    if (layer == nullptr || layer->GetBits() == nullptr || x < 0 || y < 0)
        return false;
    return int64_t{x} + akb.GetWidth() <= layer->GetWidth() &&
           int64_t{y} + akb.GetHeight() <= layer->GetHeight();
}

template <bool ThreeBytes>
void DecodeContent(const CAkb& akb, ILayer* layer, int32_t x, int32_t y)
{
    const RECT content = akb.GetContentRect();
    const int32_t w = content.right - content.left;
    const int32_t h = content.bottom - content.top;
    if (w <= 0 || h <= 0)
        return;
    const ptrdiff_t pitch = layer->GetPitch();
    const size_t row_bytes = static_cast<size_t>(w) * 4;
    RowSink<ThreeBytes> sink(layer->GetPixelPtr(x + content.left, y + content.bottom - 1), pitch, row_bytes);
    DecodeBody(akb.GetBody(), sink);
    Unfilter(layer->GetPixelPtr(x + content.left, y + content.top), pitch, row_bytes, h);
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
    return DecodedSize(m_body, expected) == expected;
}

bool DecodeAkbRgb(const CAkb& akb, ILayer* layer, int32_t x, int32_t y)
{
    if (!akb.IsWellFormed() || (akb.GetFlags() & AKB_FLAG_RGB) == 0 || !FitsLayer(akb, layer, x, y))
        return false;
    DecodeContent<true>(akb, layer, x, y);
    return true;
}

bool DecodeAkb(const CAkb& akb, ILayer* layer, int32_t x, int32_t y, RECT* out, int32_t fill_mode)
{
    if (!akb.IsWellFormed() || !FitsLayer(akb, layer, x, y))
        return false;
    const uint32_t flags = akb.GetFlags();
    const RECT c = akb.GetContentRect();
    const int32_t w = c.right - c.left;
    const int32_t h = c.bottom - c.top;
    if ((flags & AKB_FLAG_RGB) != 0) {
        DecodeContent<true>(akb, layer, x, y);
        layer->SetAlphaRect(x + c.left, y + c.top, w, h, flags & 0xFF);
    } else {
        DecodeContent<false>(akb, layer, x, y);
    }
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
