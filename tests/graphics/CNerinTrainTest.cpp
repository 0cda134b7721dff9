// The scene train: positions on the arrival and departure runs at the edges of each speed
// band, worked out from the bands, and where Begin and End put the sprite.

#include "graphics/CNerinTrain.h"

#include <gtest/gtest.h>

#include "graphics/CSpriteLayer.h"

TEST(NerinTrainX, ArrivalSlowsDownBandByBand)
{
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 0), 1920);
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 170), -3520); // 32 a tick
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 171), -3536); // 16 a tick from here
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 270), -5120);
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 271), -5128); // 8
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 371), -5924); // 4
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 421), -6122); // 2
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 471), -6221); // 1
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_ARRIVAL, 493), -6243); // the last tick of 494
    // Each tick moves it at least as far as the next: it never speeds up.
    for (int step = 1; step < 494; ++step) {
        const int before =
            NerinTrainX(NERIN_TRAIN_ARRIVAL, step - 1) - NerinTrainX(NERIN_TRAIN_ARRIVAL, step);
        const int after = NerinTrainX(NERIN_TRAIN_ARRIVAL, step) - NerinTrainX(NERIN_TRAIN_ARRIVAL, step + 1);
        EXPECT_GE(before, after) << step;
        EXPECT_GT(after, 0) << step;
    }
}

TEST(NerinTrainX, DepartureSpeedsUp)
{
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_DEPARTURE, 0), -6244);
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_DEPARTURE, 28), -6300);  // 2 a tick
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_DEPARTURE, 29), -6304);  // 4
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_DEPARTURE, 79), -6508);  // 8
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_DEPARTURE, 179), -7316); // 16
    EXPECT_EQ(NerinTrainX(NERIN_TRAIN_DEPARTURE, 227), -8084);
    EXPECT_EQ(NerinTrainX(7, 100), 0);
}

TEST(CNerinTrain, BeginAndEndPlaceAndShowTheTrain)
{
    CSpriteLayer sprite;
    sprite.Create(0, 0, 8000, 10, -1);

    CNerinTrain arrival(&sprite, NERIN_TRAIN_ARRIVAL);
    arrival.Begin();
    EXPECT_EQ(sprite.IsVisible(), 1);
    EXPECT_EQ(sprite.GetPosition().x, 1920);
    arrival.Update(170, 494);
    EXPECT_EQ(sprite.GetPosition().x, -3520);
    EXPECT_EQ(sprite.GetPosition().y, 0);
    arrival.End();
    EXPECT_EQ(sprite.GetPosition().x, -6244);
    EXPECT_EQ(sprite.IsVisible(), 1);

    CNerinTrain departure(&sprite, NERIN_TRAIN_DEPARTURE);
    departure.Begin();
    EXPECT_EQ(sprite.GetPosition().x, 6016);
    departure.Update(227, 228);
    EXPECT_EQ(sprite.GetPosition().x, -8084);
    departure.End();
    EXPECT_EQ(sprite.GetPosition().x, -8000);
    EXPECT_EQ(sprite.IsVisible(), 0);

    sprite.SetPosition(5, 0);
    CNerinTrain other(&sprite, 2);
    other.Begin();
    other.Update(10, 20);
    other.End();
    EXPECT_EQ(sprite.GetPosition().x, 5);
}
