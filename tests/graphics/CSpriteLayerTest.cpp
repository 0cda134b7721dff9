// Sprite layers: drawing into a target, and the layer animations (rule transition, cross-fade,
// wrap-around scroll) played tick by tick.

#include "graphics/CSpriteLayer.h"

#include "graphics/LayerTestSupport.h"
#include "graphics/SpritePlayer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A visible sprite layer at (0, 0) whose pixels the test fills; rules can be installed directly.
class TestLayer : public CSpriteLayer
{
public:
    TestLayer(int w, int h, uint32_t fill = 0)
    {
        Create(0, 0, w, h, -1);
        SetVisibleFlag(1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                SetPixel(*GetLayer(), x, y, fill);
    }
    using CSpriteLayer::SetTransitionRule;
    size_t SavedAlphaBytes() const { return m_alpha_mask.capacity(); }

    uint8_t AlphaAt(int x, int y) { return static_cast<uint8_t>(PixelAt(*GetLayer(), x, y) >> 24); }
};

// A rule whose first row holds the given values (the rest of the screen-sized image is zero).
std::vector<uint8_t> RuleRow(std::vector<uint8_t> values)
{
    return values;
}

} // namespace

TEST(CSpriteLayer, DrawsTheVisiblePartIntoTheTarget)
{
    auto target = MakeLayer(4, 4, Argb(255, 0, 0, 0));
    TestLayer sprite(3, 2, Argb(255, 0, 0, 200));
    SetPixel(*sprite.GetLayer(), 0, 0, Argb(255, 9, 9, 9));
    sprite.MoveTo(POINT{-1, 3});
    sprite.DrawToLayer(target.get());
    // Only (1, 0) and (2, 0) of the sprite land, at (0, 3) and (1, 3); its second row is off the target.
    EXPECT_EQ(PixelAt(*target, 0, 3), Argb(255, 0, 0, 200));
    EXPECT_EQ(PixelAt(*target, 1, 3), Argb(255, 0, 0, 200));
    EXPECT_EQ(PixelAt(*target, 2, 3), Argb(255, 0, 0, 0));
    EXPECT_EQ(PixelAt(*target, 0, 2), Argb(255, 0, 0, 0));
    // Its alpha is the opacity: a = T[128][255] = 128 mixes 200 over 0 to 100.
    sprite.MoveTo(POINT{0, 0});
    sprite.SetAlpha(128);
    sprite.DrawToLayer(target.get());
    EXPECT_EQ(PixelAt(*target, 1, 0), Argb(255, 0, 0, 100));
    // Hidden or fully transparent sprites draw nothing.
    sprite.SetAlpha(255);
    sprite.SetVisibleFlag(0);
    sprite.DrawToLayer(target.get());
    EXPECT_EQ(PixelAt(*target, 1, 0), Argb(255, 0, 0, 100));
}

TEST(CSpriteLayer, PixelOperationsReachTheInnerLayer)
{
    TestLayer sprite(2, 2);
    ILayer& as_layer = sprite;
    as_layer.FillRect(1, 1, 1, 1, 0x11223344, 1);
    EXPECT_EQ(PixelAt(*sprite.GetLayer(), 1, 1), 0x11223344u);
    EXPECT_EQ(as_layer.GetWidth(), 2);
    EXPECT_EQ(as_layer.GetType(), 0);
    EXPECT_EQ(as_layer.GetBits(), sprite.GetLayer()->GetBits());
}

TEST(CSpriteLayerTransition, SoftDisappearHalfWay)
{
    // Rule values 0, 64, 128, 255 across four opaque pixels, five frames: m = 4, integer step 128,
    // threshold step 128.0, lower-bound start 384; T is 128, 256, 384, 512 on the four updates.
    TestLayer sprite(4, 1, Argb(255, 10, 20, 30));
    sprite.SetTransitionRule(3, RuleRow({0, 64, 128, 255}));
    SpriteAnimRecord record(5);
    record.SetTransition(0, 0, 3);
    sprite.AddAnimation(record);
    SpritePlayer player(sprite);
    player.Play();
    player.Tick();
    // t = 128: 255 - min(255, 128 - r) for r below 128.
    EXPECT_EQ(sprite.AlphaAt(0, 0), 127);
    EXPECT_EQ(sprite.AlphaAt(1, 0), 191);
    EXPECT_EQ(sprite.AlphaAt(2, 0), 255);
    player.Tick();
    // Half-way, t = 256: every pixel below it fades by t - r.
    EXPECT_EQ(sprite.AlphaAt(0, 0), 0);
    EXPECT_EQ(sprite.AlphaAt(1, 0), 63);
    EXPECT_EQ(sprite.AlphaAt(2, 0), 127);
    EXPECT_EQ(sprite.AlphaAt(3, 0), 254);
    player.Tick();
    player.Tick();
    // t = 512 on the last update: everything transparent.
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(sprite.AlphaAt(x, 0), 0) << x;
    EXPECT_EQ(sprite.IsVisible(), 1);
    player.Tick();
    // The end restores the alpha and hides the sprite with its pixels intact.
    EXPECT_EQ(sprite.IsVisible(), 0);
    EXPECT_EQ(PixelAt(*sprite.GetLayer(), 3, 0), Argb(255, 10, 20, 30));
}

TEST(CSpriteLayerTransition, HardAppearRevealsInRuleOrder)
{
    // Five frames: threshold step 63.75, so t is 63, 127, 191, 255.
    TestLayer sprite(4, 1, Argb(200, 1, 2, 3));
    sprite.SetVisibleFlag(0);
    sprite.SetTransitionRule(9, RuleRow({0, 64, 128, 255}));
    SpriteAnimRecord record(5);
    record.SetTransition(1, 1, 9);
    sprite.AddAnimation(record);
    SpritePlayer player(sprite);
    player.Play();
    EXPECT_EQ(sprite.IsVisible(), 1);
    EXPECT_EQ(sprite.AlphaAt(0, 0), 0);
    std::vector<std::vector<int>> frames;
    for (int frame = 0; frame < 4; ++frame) {
        player.Tick();
        frames.push_back(
            {sprite.AlphaAt(0, 0), sprite.AlphaAt(1, 0), sprite.AlphaAt(2, 0), sprite.AlphaAt(3, 0)});
    }
    EXPECT_EQ(frames, (std::vector<std::vector<int>>{
                          {200, 0, 0, 0}, {200, 200, 0, 0}, {200, 200, 200, 0}, {200, 200, 200, 0}}));
    // Rule value 255 appears last, when the step ends.
    player.Tick();
    EXPECT_EQ(sprite.AlphaAt(3, 0), 200);
    EXPECT_EQ(sprite.IsVisible(), 1);
}

TEST(CSpriteLayerTransition, LongSoftTransitionStillCompletes)
{
    // 600 frames: the integer step is 0, so no lower bound is walked to; every pixel below t counts.
    TestLayer sprite(2, 1, Argb(255, 0, 0, 0));
    sprite.SetTransitionRule(1, RuleRow({0, 255}));
    SpriteAnimRecord record(600);
    record.SetTransition(0, 0, 1);
    sprite.AddAnimation(record);
    SpritePlayer player(sprite);
    player.Play();
    for (int frame = 0; frame < 599; ++frame)
        player.Tick();
    EXPECT_EQ(sprite.AlphaAt(0, 0), 0);
    EXPECT_EQ(sprite.AlphaAt(1, 0), 0);
}

TEST(CSpriteLayerTransition, TheSavedAlphaIsHeldOnlyWhileAStepRuns)
{
    // A screen-sized sprite holds a byte a pixel of saved alpha during a transition; once the step
    // has ended that is given back, and the next transition saves and restores the alpha anew.
    TestLayer sprite(1920, 1080, Argb(180, 1, 2, 3));
    sprite.SetTransitionRule(4, RuleRow({0, 255}));
    SpritePlayer player(sprite);
    for (const int appear : {0, 1}) {
        SpriteAnimRecord record(3);
        record.SetTransition(appear, 0, 4);
        sprite.AddAnimation(record);
        player.Play();
        player.Tick();
        EXPECT_GE(sprite.SavedAlphaBytes(), size_t{1920} * 1080) << appear;
        player.Tick();
        player.Tick();
        EXPECT_EQ(sprite.SavedAlphaBytes(), 0u) << appear;
        EXPECT_EQ(sprite.IsVisible(), appear);
        EXPECT_EQ(sprite.AlphaAt(0, 0), 180) << appear;
        EXPECT_EQ(sprite.AlphaAt(1919, 1079), 180) << appear;
    }
}

TEST(CSpriteLayer, CrossFadeMixesTowardsTheTarget)
{
    TestLayer sprite(2, 1, Argb(255, 0, 0, 200));
    TestLayer target(2, 1, Argb(255, 0, 0, 50));
    SpriteAnimRecord record(3);
    record.SetCrossFade(&target, 0, 0, 2, 1);
    sprite.AddAnimation(record);
    SpritePlayer player(sprite);
    player.Play();
    player.Tick();
    // Ratio 85: T[85][50] + T[170][200] = 16 + 133; alpha T[85][255] + T[170][255] = 255.
    EXPECT_EQ(PixelAt(*sprite.GetLayer(), 1, 0), Argb(255, 0, 0, 149));
    player.Tick();
    // Ratio 170: T[170][50] + T[85][200] = 33 + 66.
    EXPECT_EQ(PixelAt(*sprite.GetLayer(), 1, 0), Argb(255, 0, 0, 99));
    player.Tick();
    EXPECT_EQ(PixelAt(*sprite.GetLayer(), 0, 0), Argb(255, 0, 0, 50));
}

namespace {

std::vector<uint32_t> ScrollOnce(int32_t rows)
{
    TestLayer sprite(1, 4);
    for (int y = 0; y < 4; ++y)
        SetPixel(*sprite.GetLayer(), 0, y, uint32_t(y + 1));
    TestLayer work(1, 4);
    SpriteAnimRecord record(2);
    record.SetScroll(&work, rows);
    sprite.AddAnimation(record);
    SpritePlayer player(sprite);
    player.Play();
    player.Tick();
    std::vector<uint32_t> column;
    for (int y = 0; y < 4; ++y)
        column.push_back(PixelAt(*sprite.GetLayer(), 0, y));
    return column;
}

} // namespace

TEST(CSpriteLayer, ScrollWrapsRowsRound)
{
    EXPECT_EQ(ScrollOnce(1), (std::vector<uint32_t>{2, 3, 4, 1}));
    EXPECT_EQ(ScrollOnce(-1), (std::vector<uint32_t>{4, 1, 2, 3}));
    EXPECT_EQ(ScrollOnce(0), (std::vector<uint32_t>{1, 2, 3, 4}));
    // A height or more wraps like any other shift.
    EXPECT_EQ(ScrollOnce(5), (std::vector<uint32_t>{2, 3, 4, 1}));
    EXPECT_EQ(ScrollOnce(4), (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(ScrollOnce(-9), (std::vector<uint32_t>{4, 1, 2, 3}));
}

TEST(CSpriteLayer, RecordsAreFilledThenCommitted)
{
    TestLayer sprite(1, 1);
    sprite.AddAnimation(SpriteAnimRecord(1));
    SpriteAnimRecord* pending = sprite.BeginRecord();
    ASSERT_NE(pending, nullptr);
    EXPECT_EQ(sprite.GetAnimationCount(), 0); // begun records clear the list
    EXPECT_EQ(pending->m_duration, 0);
    pending->SetRect(0, 0, 5, 0);
    pending->m_duration = 2;
    EXPECT_EQ(sprite.GetPendingRecord(), pending);
    sprite.CommitRecord();
    EXPECT_EQ(sprite.GetPendingRecord(), nullptr);
    EXPECT_EQ(sprite.GetAnimationCount(), 1);
}

TEST(CSpriteLayer, AttachLayerTakesItsSizeAndSnapshotCopiesThePixels)
{
    TestLayer sprite(1, 1);
    auto layer = MakeLayer(3, 2, 0x01020304);
    sprite.AttachLayer(layer.release(), 5, 6, 7);
    EXPECT_EQ(sprite.GetRect()->right, 8);
    EXPECT_EQ(sprite.GetRect()->bottom, 8);
    EXPECT_EQ(sprite.GetPriority(), 7);
    EXPECT_EQ(PixelAt(*sprite.GetLayer(), 2, 1), 0x01020304u);
}
