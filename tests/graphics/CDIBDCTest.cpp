#include "graphics/CDIBDC.h"

#include "graphics/LayerTestSupport.h"

#include <gtest/gtest.h>

TEST(CDIBDC, PixelsLiveInTheSelectedSection)
{
    CDIBDC layer;
    layer.Create(4, 3);
    EXPECT_EQ(layer.GetType(), 1);
    ASSERT_NE(layer.GetDC(), nullptr);
    for (int i = 0; i < 4 * 3 * 4; ++i)
        ASSERT_EQ(layer.GetBits()[i], 0);
    // What GDI copies in is what the pixel operations read, at the same places.
    auto source = std::make_unique<CDIBDC>();
    source->Create(4, 3);
    SetPixel(*source, 1, 0, 0x80102030);
    SetPixel(*source, 3, 2, 0x01020304);
    ASSERT_TRUE(StretchBlt(layer.GetDC(), 0, 0, 4, 3, source->GetDC(), 0, 0, 4, 3, SRCCOPY));
    EXPECT_EQ(PixelAt(layer, 1, 0), 0x80102030u);
    EXPECT_EQ(PixelAt(layer, 3, 2), 0x01020304u);
    layer.FillRect(0, 0, 1, 1, 0x55667788, 1);
    ASSERT_TRUE(StretchBlt(source->GetDC(), 0, 0, 4, 3, layer.GetDC(), 0, 0, 4, 3, SRCCOPY));
    EXPECT_EQ(PixelAt(*source, 0, 0), 0x55667788u);
}

TEST(CDIBDC, ResizeReplacesTheSectionAndReleaseFreesEverything)
{
    CDIBDC layer;
    layer.Create(2, 2);
    layer.FillRect(0, 0, 2, 2, 0xFFFFFFFF, 1);
    layer.Resize(2, 2);
    EXPECT_EQ(PixelAt(layer, 0, 0), 0u);
    layer.Release();
    EXPECT_EQ(layer.GetDC(), nullptr);
    EXPECT_EQ(layer.GetBits(), nullptr);
    layer.Release(); // twice is harmless
}

TEST(CDIBDC, CreatingAgainReplacesTheSection)
{
    CDIBDC layer;
    // The first context and section are freed (the sanitizer build's leak checker would report them).
    layer.Create(2, 2);
    layer.FillRect(0, 0, 2, 2, 0xFFFFFFFF, 1);
    layer.Create(3, 1);
    EXPECT_EQ(layer.GetWidth(), 3);
    EXPECT_EQ(PixelAt(layer, 2, 0), 0u);
    EXPECT_NE(layer.GetDC(), nullptr);
}
