// The train-line map: the line pictures chosen by the time of day, and the whole screen built,
// played to its end on the task's ticks and released, with the pixels of the final frame worked
// out from the pictures the test wrote.

#include "graphics/TrainMapContext.h"

#include <gtest/gtest.h>

#include <vector>

#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTrainAnime.h"
#include "graphics/CTrainMap.h"
#include "graphics/EffectFixture.h"
#include "graphics/SpriteLayerOf.h"
#include "script/FlagBuffer.h"
#include "support/FakeDocumentLink.h"

namespace {

constexpr uint32_t FRAME0 = 0xFFC02020;
constexpr uint32_t FRAME1 = 0xFFF0E040;

// Column x of line picture n carries x in its red and green bytes and n in its blue byte; its
// overlay adds 0x80 to the blue byte.
constexpr uint32_t LineColour(int n, int x, bool overlay)
{
    return 0xFF000000u | (uint32_t(x & 0xFFFF) << 8) | uint32_t(n + (overlay ? 0x80 : 0));
}

tools::AkbPicture LinePicture(int n, bool overlay)
{
    tools::AkbPicture picture = tools::MakePicture(6000, 4, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6000; ++x)
            picture.At(x, y) = LineColour(n, x, overlay);
    return picture;
}

class TrainMapContextThreadTest : public EffectFixture
{
protected:
    TrainMapContextThreadTest()
    {
        std::vector<tools::ArchiveEntry> entries;
        tools::AkbPicture den = PictureWithBox(1152, 288, FRAME0, 576, 0, 1152, 288, FRAME1);
        entries.push_back({"DEN.AKB", tools::EncodeAkb(den, {})});
        for (int n = 1; n <= 4; ++n) {
            const std::string name = "SENRO_" + std::to_string(n);
            entries.push_back({name + ".AKB", tools::EncodeAkb(LinePicture(n, false), {})});
            entries.push_back({name + "_O.AKB", tools::EncodeAkb(LinePicture(n, true), {})});
        }
        OpenLayerArchive(std::move(entries), false);
    }

    FakeDocumentLink m_link;
};

} // namespace

TEST(SelectTrainLinePictures, FollowTheTimeOfDay)
{
    EXPECT_EQ(SelectTrainLinePictures(343).first, CStringUTF8("senro_4.akb"));
    EXPECT_EQ(SelectTrainLinePictures(343).second, CStringUTF8("senro_4_o.akb"));
    EXPECT_EQ(SelectTrainLinePictures(344).first, CStringUTF8("senro_1.akb"));
    EXPECT_EQ(SelectTrainLinePictures(407).first, CStringUTF8("senro_1.akb"));
    EXPECT_EQ(SelectTrainLinePictures(408).first, CStringUTF8("senro_2.akb"));
    EXPECT_EQ(SelectTrainLinePictures(1599).second, CStringUTF8("senro_2_o.akb"));
    EXPECT_EQ(SelectTrainLinePictures(1600).first, CStringUTF8("senro_3.akb"));
    EXPECT_EQ(SelectTrainLinePictures(1729).first, CStringUTF8("senro_3.akb"));
    EXPECT_EQ(SelectTrainLinePictures(1730).first, CStringUTF8("senro_4.akb"));
}

TEST_F(TrainMapContextThreadTest, BuiltForTheGameTimeAndPlayedToItsEnd)
{
    m_link.m_game_values[VALUE_GAME_TIME] = 1200; // midday: "senro_2"
    TrainMapContext context;
    CreateTrainMap(context, 1);
    ASSERT_NE(context.m_den_picture, nullptr);
    ASSERT_NE(context.m_line_picture, nullptr);
    ASSERT_NE(context.m_overlay_picture, nullptr);
    EXPECT_EQ(SpriteLayerOf(context.m_line_picture.get())->GetWidth(), 6000);
    EXPECT_EQ(context.m_den_picture->GetPriority(), -1); // pictures are only drawn from
    EXPECT_EQ(context.m_train_display->GetPosition().x, 1064);
    EXPECT_EQ(context.m_train_display->GetPosition().y, 233);
    EXPECT_EQ(context.m_train_display->GetPriority(), 6);
    EXPECT_EQ(context.m_display_a->GetPriority(), 5);
    EXPECT_EQ(context.m_display_b->GetPriority(), 7);
    EXPECT_EQ(SpriteLayerOf(context.m_display_a.get())->GetWidth(), 1920);
    EXPECT_EQ(SpriteLayerOf(context.m_train_display.get())->GetWidth(), 576);

    // The reveal runs once, with the train and both displays already shown and no tick played.
    std::vector<int> reveals;
    PlayTrainMap(context, [&](int32_t ticks) {
        EXPECT_EQ(m_runner.GetPasses(), 0);
        EXPECT_EQ(context.m_train_display->IsVisible(), 1);
        EXPECT_EQ(context.m_display_a->IsVisible(), 1);
        EXPECT_EQ(context.m_display_b->IsVisible(), 1);
        reveals.push_back(ticks);
    });
    EXPECT_EQ(reveals, std::vector<int>{12});
    // The scroll updates on ticks 1-203 and ends on tick 204, where the slide begins with its
    // first update; its updates 2-24 follow on ticks 205-227, it ends on tick 228, and tick 229
    // finds nothing left to play.
    EXPECT_EQ(m_runner.GetPasses(), 229);
    EXPECT_EQ(context.m_train_display->GetPosition().x, 564);
    EXPECT_EQ(context.m_train_display->GetPosition().y, 233);
    EXPECT_EQ(context.m_train_display->IsVisible(), 1);
    EXPECT_EQ(EffectPixel(*SpriteLayerOf(context.m_train_display.get()), 100, 100), FRAME0);
    // Direction 1 ends at the start of the pictures.
    ILayer& map = *SpriteLayerOf(context.m_display_a.get());
    ILayer& overlay = *SpriteLayerOf(context.m_display_b.get());
    EXPECT_EQ(EffectPixel(map, 0, 0), LineColour(2, 0, false));
    EXPECT_EQ(EffectPixel(map, 1919, 3), LineColour(2, 1919, false));
    EXPECT_EQ(EffectPixel(overlay, 700, 1), LineColour(2, 700, true));
    EXPECT_EQ(context.m_display_b->IsVisible(), 1);

    FinishTrainAnimation(context);
    EXPECT_EQ(context.m_anime, nullptr);
    EXPECT_EQ(context.m_display_a, nullptr);
    EXPECT_EQ(context.m_den_picture, nullptr);
    EXPECT_EQ(context.m_train_map, nullptr);
    EXPECT_EQ(context.m_train_anime, nullptr);
}

TEST_F(TrainMapContextThreadTest, ForwardStartsLeftAndEndsAtTheFarEnd)
{
    m_link.m_game_values[VALUE_GAME_TIME] = 2300;
    TrainMapContext context;
    CreateTrainMap(context, 0);
    EXPECT_EQ(context.m_train_display->GetPosition().x, 564);
    PlayTrainMap(context, nullptr);
    EXPECT_EQ(context.m_train_display->GetPosition().x, 1064);
    EXPECT_EQ(EffectPixel(*SpriteLayerOf(context.m_display_a.get()), 0, 0), LineColour(4, 4080, false));
}

TEST_F(TrainMapContextThreadTest, ReleasingAContextNeverBuiltOrHalfBuiltIsSafe)
{
    {
        TrainMapContext empty;
        FinishTrainAnimation(empty);
    }
    OpenLayerArchive({}, false); // no pictures at all
    TrainMapContext context;
    CreateTrainMap(context, 1);
    EXPECT_EQ(context.m_den_picture, nullptr);
    EXPECT_EQ(context.m_line_picture, nullptr);
    PlayTrainMap(context, nullptr); // the displays still scroll nothing and the train still slides
    EXPECT_EQ(context.m_train_display->GetPosition().x, 564);
}
