#include "graphics/CDIB.h"

#include "graphics/LayerTestSupport.h"

#include <gtest/gtest.h>

#include <utility>

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
