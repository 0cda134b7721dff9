// The blinking train and the scrolling line map: which frame and which source x each step
// draws, worked out from the blink pattern and 20 pixels a tick, and what Begin and End show.

#include "graphics/CTrainAnime.h"

#include <gtest/gtest.h>

#include "graphics/CSpriteLayer.h"
#include "graphics/CTrainMap.h"
#include "graphics/EffectFixture.h"

namespace {

constexpr uint32_t FRAME0 = 0xFFC02020;
constexpr uint32_t FRAME1 = 0xFFF0E040;

// Column x of a map picture carries its x in the red and green bytes.
constexpr uint32_t ColumnColour(int x, uint32_t blue)
{
    return 0xFF000000u | (uint32_t(x & 0xFFFF) << 8) | blue;
}

void FillColumns(CSpriteLayer& picture, uint32_t blue)
{
    for (int x = 0; x < picture.GetWidth(); ++x)
        picture.FillRect(x, 0, 1, picture.GetHeight(), ColumnColour(x, blue), 1);
}

} // namespace

TEST(TrainAnimeFrame, BlinksOnStepsFortyToFiftyAndSixtyToSixtyNine)
{
    EXPECT_EQ(TrainAnimeFrame(0), 0);
    EXPECT_EQ(TrainAnimeFrame(39), 0);
    EXPECT_EQ(TrainAnimeFrame(40), 1);
    EXPECT_EQ(TrainAnimeFrame(50), 1);
    EXPECT_EQ(TrainAnimeFrame(51), 0);
    EXPECT_EQ(TrainAnimeFrame(59), 0);
    EXPECT_EQ(TrainAnimeFrame(69), 1);
    EXPECT_EQ(TrainAnimeFrame(70), 0);
    EXPECT_EQ(TrainAnimeFrame(110), 1); // every 70 steps again
    EXPECT_EQ(TrainAnimeFrame(203), 1);
}

TEST(CTrainAnime, DrawsTheFrameOfEachStepIntoTheDisplay)
{
    CSpriteLayer picture;
    picture.Create(0, 0, 1152, 288, -1);
    picture.FillRect(0, 0, 576, 288, FRAME0, 1);
    picture.FillRect(576, 0, 576, 288, FRAME1, 1);
    CSpriteLayer display;
    display.Create(564, 233, 576, 288, -1);

    CTrainAnime train(&picture, &display);
    train.Begin();
    EXPECT_EQ(display.IsVisible(), 1);
    EXPECT_EQ(EffectPixel(display, 0, 0), FRAME0);
    EXPECT_EQ(EffectPixel(display, 575, 287), FRAME0);
    train.Update(45, 204);
    EXPECT_EQ(EffectPixel(display, 0, 0), FRAME1);
    EXPECT_EQ(EffectPixel(display, 575, 287), FRAME1);
    train.Update(52, 204);
    EXPECT_EQ(EffectPixel(display, 300, 100), FRAME0);
    train.Update(60, 204);
    train.End();
    EXPECT_EQ(EffectPixel(display, 300, 100), FRAME0);
}

TEST(TrainMapSourceX, TwentyPixelsATickEitherWay)
{
    EXPECT_EQ(TrainMapSourceX(1, 0), 4080);
    EXPECT_EQ(TrainMapSourceX(1, 203), 20);
    EXPECT_EQ(TrainMapSourceX(0, 0), 0);
    EXPECT_EQ(TrainMapSourceX(0, 203), 4060);
    EXPECT_EQ(TrainMapSourceX(2, 100), 2000); // anything but 1 runs forward
}

TEST(CTrainMap, BothPicturesScrollTogether)
{
    CSpriteLayer picture_a, picture_b, display_a, display_b;
    for (CSpriteLayer* picture : {&picture_a, &picture_b})
        picture->Create(0, 0, 6000, 4, -1);
    FillColumns(picture_a, 0x0A);
    FillColumns(picture_b, 0x0B);
    for (CSpriteLayer* display : {&display_a, &display_b})
        display->Create(0, 0, 1920, 4, -1);

    CTrainMap backward(1, &picture_a, &display_a, &picture_b, &display_b);
    backward.Begin();
    EXPECT_EQ(display_a.IsVisible(), 1);
    EXPECT_EQ(display_b.IsVisible(), 1);
    EXPECT_EQ(EffectPixel(display_a, 0, 0), ColumnColour(4080, 0x0A));
    EXPECT_EQ(EffectPixel(display_b, 1919, 3), ColumnColour(4080 + 1919, 0x0B));
    backward.Update(203, 204);
    EXPECT_EQ(EffectPixel(display_a, 0, 0), ColumnColour(20, 0x0A));
    EXPECT_EQ(EffectPixel(display_b, 10, 0), ColumnColour(30, 0x0B));
    backward.End();
    EXPECT_EQ(EffectPixel(display_a, 0, 0), ColumnColour(0, 0x0A));

    CTrainMap forward(0, &picture_a, &display_a, &picture_b, &display_b);
    forward.Begin();
    EXPECT_EQ(EffectPixel(display_a, 0, 0), ColumnColour(0, 0x0A));
    forward.Update(100, 204);
    EXPECT_EQ(EffectPixel(display_a, 5, 2), ColumnColour(2005, 0x0A));
    forward.End();
    EXPECT_EQ(EffectPixel(display_b, 0, 0), ColumnColour(4080, 0x0B));
}
