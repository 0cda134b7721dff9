#include "graphics/CDIB.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/HeapApi.h"

CDIB::~CDIB()
{
    CDIB::Release();
}

BITMAPINFOHEADER* CDIB::Create(int32_t width, int32_t height)
{
    FillHeader(width, height);
    const int64_t bytes = int64_t{width} * height * 4;
    uint8_t* bits = nullptr;
    // calloc rather than a zeroing new: a large block comes zeroed from the system untouched, so
    // a layer costs memory only where it is drawn (the town map's 8400 x 5040 pictures mostly
    // hold a smaller town).
    if (width >= 0 && height >= 0 && bytes <= INT32_MAX)
        bits = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(std::max<int64_t>(bytes, 1)), 1));
    if (bits == nullptr)
        throw CStringUTF8("CDIB::Create: Failed to allocate buffer.");
    platform::PreferHugePages(bits, static_cast<size_t>(bytes));
    // A second Create replaces the pixels instead of leaking the first ones.
    CDIB::Release();
    m_bits = bits;
    NoteWritten();
    return &m_header;
}

void CDIB::Release()
{
    std::free(m_bits);
    m_bits = nullptr;
    NoteWritten();
}

ptrdiff_t CDIB::GetPixelOffset(int32_t x, int32_t y)
{
    return static_cast<ptrdiff_t>(GetHeight() - 1 - y) * GetStride() + ptrdiff_t{4} * x;
}

ptrdiff_t CDIB::GetPitch()
{
    return -static_cast<ptrdiff_t>(GetStride());
}

BITMAPINFOHEADER* CDIB::Resize(int32_t width, int32_t height)
{
    Release();
    BITMAPINFOHEADER* header = Create(width, height);
    ILayer::Resize(width, height);
    return header;
}

void CDIB::ZeroRows(uint8_t* first, size_t bytes)
{
    // Only a block of our own goes back to the system: a DC's section is not ours.
    if (GetType() == 0)
        platform::ZeroHeapBlock(first, bytes);
    else
        ILayer::ZeroRows(first, bytes);
}
