#include "platform/user/UiCanvas.h"

#include <gtest/gtest.h>

namespace {

using platform::UiCanvas;

TEST(UiCanvas, OpaqueFillReplacesAndHalfAlphaMixes)
{
    UiCanvas canvas(4, 4);
    EXPECT_TRUE(canvas.IsEmpty());
    canvas.FillRect({0, 0, 4, 4}, 0xFF000000);
    EXPECT_FALSE(canvas.IsEmpty());
    canvas.FillRect({1, 1, 3, 3}, 0x80C86400); // (200, 100, 0) at alpha 128
    EXPECT_EQ(canvas.PixelAt(0, 0), 0xFF000000u);
    // Over opaque black: 200 x 128/255 = 100.4 -> 100, 100 x 128/255 = 50.2 -> 50; stays opaque.
    EXPECT_EQ(canvas.PixelAt(1, 1), 0xFF643200u);
    EXPECT_EQ(canvas.PixelAt(3, 3), 0xFF000000u);
}

TEST(UiCanvas, BlendingOverTransparentKeepsTheColourAndItsAlpha)
{
    UiCanvas canvas(2, 1);
    canvas.FillRect({0, 0, 1, 1}, 0x80FF0000);
    EXPECT_EQ(canvas.PixelAt(0, 0), 0x80FF0000u);
    EXPECT_EQ(canvas.PixelAt(1, 0), 0u);
}

TEST(UiCanvas, DrawingClipsToTheCanvas)
{
    UiCanvas canvas(3, 3);
    canvas.FillRect({-5, -5, 10, 1}, 0xFFFFFFFF);
    canvas.FrameRect({1, 1, 3, 3}, 0xFF0000FF);
    canvas.DrawLine(-2, 2, 5, 2, 0xFF00FF00);
    EXPECT_EQ(canvas.PixelAt(2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.PixelAt(1, 1), 0xFF0000FFu);
    EXPECT_EQ(canvas.PixelAt(0, 2), 0xFF00FF00u);
    EXPECT_EQ(canvas.PixelAt(0, 1), 0u);
    EXPECT_EQ(canvas.PixelAt(7, 7), 0u);
}

TEST(UiCanvas, RemembersTheBoundsOfWhatWasDrawn)
{
    UiCanvas canvas(100, 50);
    canvas.FillRect({10, 5, 20, 8}, 0xFF000000);
    canvas.DrawLine(40, 30, 42, 30, 0xFFFFFFFF);
    canvas.FillRect({60, 0, 70, 10}, 0x00FFFFFF); // fully transparent: draws nothing
    const RECT bounds = canvas.DrawnBounds();
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.top, 5);
    EXPECT_EQ(bounds.right, 43);
    EXPECT_EQ(bounds.bottom, 31);
    canvas.Reset(100, 50);
    EXPECT_TRUE(canvas.IsEmpty());
}

} // namespace
