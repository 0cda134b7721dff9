#include "graphics/CDIB.h"

#include "graphics/LayerTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "foundation/CStringUTF8.h"

TEST(CDIB, NewLayerIsTransparentBlackWithAFullHeader)
{
    CDIB layer;
    EXPECT_EQ(layer.GetModified(), 1);
    EXPECT_EQ(layer.GetSize().cx, 0);
    layer.Create(2, 2);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(layer.GetBits()[i], 0);
    const BITMAPINFOHEADER* header = layer.GetHeader();
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biWidth, 2);
    EXPECT_EQ(header->biHeight, 2);
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(header->biBitCount, 32);
    EXPECT_EQ(header->biCompression, BI_RGB);
    EXPECT_EQ(header->biSizeImage, 16u);
    EXPECT_EQ(layer.GetType(), 0);
    EXPECT_EQ(layer.GetDC(), nullptr);
}

TEST(CDIB, RowsAreStoredBottomUp)
{
    CDIB layer;
    layer.Create(3, 4);
    EXPECT_EQ(layer.GetStride(), 12);
    EXPECT_EQ(layer.GetPitch(), -12);
    // Pixel (0, 0) opens the last row in memory, pixel (0, height - 1) the buffer.
    EXPECT_EQ(layer.GetPixelOffset(0, 0), 36);
    EXPECT_EQ(layer.GetPixelOffset(0, 3), 0);
    EXPECT_EQ(layer.GetPixelPtr(2, 1), layer.GetBits() + 2 * 12 + 8);
}

TEST(CDIB, ResizeGivesAFreshZeroedBufferAndRecordsTheSize)
{
    auto layer = MakeLayer(2, 2, 0xFFFFFFFF);
    layer->Resize(2, 2);
    EXPECT_EQ(PixelAt(*layer, 1, 1), 0u);
    layer->Resize(5, 1);
    EXPECT_EQ(layer->GetWidth(), 5);
    EXPECT_EQ(layer->GetSize().cx, 5);
    EXPECT_EQ(layer->GetSize().cy, 1);
    layer->Release();
    EXPECT_EQ(layer->GetBits(), nullptr);
    layer->FillRect(0, 0, 5, 1, 0, 1); // a released layer ignores drawing
}

TEST(CDIB, ImpossibleSizesThrowInsteadOfAllocating)
{
    CDIB layer;
    for (auto [w, h] : {std::pair{-1, 4}, std::pair{100000, 100000}}) {
        try {
            layer.Create(w, h);
            ADD_FAILURE() << w << " x " << h;
        } catch (const CStringUTF8& message) {
            EXPECT_TRUE(message == "CDIB::Create: Failed to allocate buffer.");
        }
    }
    EXPECT_EQ(layer.GetBits(), nullptr);
}

TEST(CDIB, CreatingAgainReplacesThePixels)
{
    // The first buffer is freed (the leak checker of the sanitizer build would report it).
    CDIB layer;
    layer.Create(4, 4);
    layer.FillRect(0, 0, 4, 4, 0xFFFFFFFF, 1);
    layer.Create(2, 2);
    EXPECT_EQ(layer.GetWidth(), 2);
    EXPECT_EQ(PixelAt(layer, 1, 1), 0u);
}

namespace {

// Bytes of the layer's pixels the system holds in memory.
size_t ResidentBytes(CDIB& layer)
{
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<uintptr_t>(layer.GetBits());
    const uintptr_t begin = start & ~(page - 1);
    const uintptr_t end =
        (start + static_cast<size_t>(layer.GetStride()) * layer.GetHeight() + page - 1) & ~(page - 1);
    std::vector<unsigned char> pages((end - begin) / page);
    if (mincore(reinterpret_cast<void*>(begin), end - begin, pages.data()) != 0)
        return SIZE_MAX;
    size_t resident = 0;
    for (unsigned char p : pages)
        resident += (p & 1) != 0 ? page : 0;
    return resident;
}

uint32_t PixelAt(CDIB& layer, int32_t x, int32_t y)
{
    uint32_t word = 0;
    std::memcpy(&word, layer.GetPixelPtr(x, y), 4);
    return word;
}

} // namespace

// A screen-sized layer a scene cleared when it ended holds no memory until it is drawn into again;
// what it reads is the clear's, to the rows around the cleared band.
TEST(CDIB, AClearOfWholeRowsGivesTheirMemoryBackAndReadsZero)
{
    // Small pages only: a huge page the band's ends fall into is split or kept at the system's
    // choice, which would make the counts below depend on the machine's memory at that moment.
    ASSERT_EQ(prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0), 0);
    struct HugePagesBack
    {
        ~HugePagesBack() { prctl(PR_SET_THP_DISABLE, 0, 0, 0, 0); }
    } huge_pages_back;
    CDIB layer;
    layer.Create(1920, 1080);
    const size_t bytes = size_t{1920} * 1080 * 4;
    layer.FillRect(0, 0, 1920, 1080, 0xFF102030u, 1);
    ASSERT_GE(ResidentBytes(layer), bytes);

    // A band whose ends fall inside pages: the rows beside it keep their colour.
    layer.FillRect(0, 101, 1920, 500, 0, 1);
    EXPECT_EQ(PixelAt(layer, 1919, 100), 0xFF102030u);
    EXPECT_EQ(PixelAt(layer, 0, 101), 0u);
    EXPECT_EQ(PixelAt(layer, 1919, 600), 0u);
    EXPECT_EQ(PixelAt(layer, 0, 601), 0xFF102030u);
    EXPECT_LT(ResidentBytes(layer), bytes - size_t{1920} * 490 * 4);

    layer.SetModified(0);
    layer.Clear();
    EXPECT_LT(ResidentBytes(layer), bytes / 100);
    for (int32_t y : {0, 100, 540, 601, 1079})
        for (int32_t x : {0, 960, 1919})
            EXPECT_EQ(PixelAt(layer, x, y), 0u) << x << ", " << y;
    EXPECT_EQ(layer.GetModified(), 1);

    // A part of the width is a clear of its own: the rest of the rows stays.
    layer.FillRect(0, 0, 1920, 1080, 0xFF102030u, 1);
    layer.ClearRect(0, 0, 1919, 1080);
    EXPECT_EQ(PixelAt(layer, 1918, 500), 0u);
    EXPECT_EQ(PixelAt(layer, 1919, 500), 0xFF102030u);
}
