// Golden values of the pixel operations, each worked out by hand from the operation's formula with
// T[i][j] = floor(i x j / 255). Pixel words are written 0xAARRGGBB.

#include "graphics/ILayer.h"

#include "graphics/LayerTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// One destination pixel after a two-layer operation on 1 x 1 layers.
template <typename Op>
uint32_t Apply(uint32_t dst, uint32_t src, Op op)
{
    auto d = MakeLayer(1, 1, dst);
    auto s = MakeLayer(1, 1, src);
    op(*d, s.get());
    return PixelAt(*d, 0, 0);
}

} // namespace

TEST(MultiplyTable, HoldsFlooredProducts)
{
    auto layer = MakeLayer(1, 1);
    const uint8_t* t = layer->GetMultiplyTable();
    for (int j = 0; j < 256; ++j) {
        EXPECT_EQ(t[255 * 256 + j], j);
        EXPECT_EQ(t[j * 256 + 0], 0);
    }
    EXPECT_EQ(t[128 * 256 + 255], 128);
    EXPECT_EQ(t[254 * 256 + 254], 253);
    EXPECT_EQ(t[100 * 256 + 200], 78); // 20000 / 255 = 78.4
}

TEST(LayerCopies, BltModeOneCopiesWholePixelsOtherModesKeepAlpha)
{
    const uint32_t src = Argb(0x12, 0x34, 0x56, 0x78);
    const uint32_t dst = Argb(0x9A, 1, 2, 3);
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.Blt(0, 0, 1, 1, s, 0, 0, 1); }), src);
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.Blt(0, 0, 1, 1, s, 0, 0, 0); }),
              Argb(0x9A, 0x34, 0x56, 0x78));
}

TEST(LayerCopies, BltAlphaMixesByTheSourceAlpha)
{
    auto op = [](ILayer& d, ILayer* s) { d.BltAlpha(0, 0, 1, 1, s, 0, 0); };
    // Blue 255 at alpha 128 over blue 0: T[128][255] + T[127][0] = 128; the alpha stays.
    EXPECT_EQ(Apply(Argb(0x33, 0, 0, 0), Argb(128, 0, 0, 255), op), Argb(0x33, 0, 0, 128));
    // a = 100: blue 78 + T[155][10] = 84, green 39 + 12 = 51, red 19 + 18 = 37.
    EXPECT_EQ(Apply(Argb(77, 30, 20, 10), Argb(100, 50, 100, 200), op), Argb(77, 37, 51, 84));
    EXPECT_EQ(Apply(Argb(77, 30, 20, 10), Argb(0, 50, 100, 200), op), Argb(77, 30, 20, 10));
    EXPECT_EQ(Apply(Argb(77, 30, 20, 10), Argb(255, 50, 100, 200), op), Argb(77, 50, 100, 200));
    // Rounding edges: floors never push past 255, and a near-opaque 1 over 255 keeps only 1.
    EXPECT_EQ(Apply(Argb(0, 255, 255, 255), Argb(1, 255, 255, 255), op), Argb(0, 255, 255, 255));
    EXPECT_EQ(Apply(Argb(0, 255, 255, 255), Argb(254, 1, 1, 1), op), Argb(0, 1, 1, 1));
}

TEST(LayerCopies, TransparentAndAlphaCopies)
{
    const uint32_t dst = Argb(9, 8, 7, 6);
    EXPECT_EQ(
        Apply(dst, Argb(1, 2, 3, 4), [](ILayer& d, ILayer* s) { d.BltTransparent(0, 0, 1, 1, s, 0, 0); }),
        Argb(1, 2, 3, 4));
    EXPECT_EQ(
        Apply(dst, Argb(0, 2, 3, 4), [](ILayer& d, ILayer* s) { d.BltTransparent(0, 0, 1, 1, s, 0, 0); }),
        dst);
    EXPECT_EQ(Apply(dst, Argb(1, 2, 3, 4), [](ILayer& d, ILayer* s) { d.CopyAlpha(0, 0, 1, 1, s, 0, 0); }),
              Argb(1, 8, 7, 6));
}

TEST(LayerCopies, BltOpacity)
{
    const uint32_t dst = Argb(200, 30, 20, 10);
    const uint32_t src = Argb(50, 50, 100, 200);
    // o = 100: colours as in BltAlpha with a = 100; mode 1 mixes alpha T[100][50] + T[155][200] = 19 + 121.
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.BltOpacity(0, 0, 1, 1, s, 0, 0, 100, 0); }),
              Argb(200, 37, 51, 84));
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.BltOpacity(0, 0, 1, 1, s, 0, 0, 100, 1); }),
              Argb(140, 37, 51, 84));
    // Full opacity copies whole pixels whatever the mode; none draws nothing.
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.BltOpacity(0, 0, 1, 1, s, 0, 0, 255, 0); }), src);
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.BltOpacity(0, 0, 1, 1, s, 0, 0, 0, 1); }), dst);
}

TEST(LayerCopies, BltAlphaOpacityScalesTheSourceAlpha)
{
    // a = T[128][200] = 100, then as BltAlpha with a = 100.
    EXPECT_EQ(Apply(Argb(77, 30, 20, 10), Argb(200, 50, 100, 200),
                    [](ILayer& d, ILayer* s) { d.BltAlphaOpacity(0, 0, 1, 1, s, 0, 0, 128); }),
              Argb(77, 37, 51, 84));
    // a = T[1][254] = 0 leaves the pixel alone.
    EXPECT_EQ(Apply(Argb(77, 30, 20, 10), Argb(254, 50, 100, 200),
                    [](ILayer& d, ILayer* s) { d.BltAlphaOpacity(0, 0, 1, 1, s, 0, 0, 1); }),
              Argb(77, 30, 20, 10));
}

TEST(LayerCopies, BltCrossFadeMixesSourceAndSecond)
{
    auto cross = [](uint32_t src, uint32_t second) {
        auto d = MakeLayer(1, 1, Argb(1, 1, 1, 1));
        auto s = MakeLayer(1, 1, src);
        auto t = MakeLayer(1, 1, second);
        d->BltCrossFade(0, 0, 1, 1, s.get(), 0, 0, 100, t.get());
        return PixelAt(*d, 0, 0);
    };
    // Only the source opaque-ish: its colours, alpha T[100][200] = 78.
    EXPECT_EQ(cross(Argb(200, 50, 100, 200), Argb(0, 9, 9, 9)), Argb(78, 50, 100, 200));
    // Only the second: its colours, alpha T[155][200] = 121.
    EXPECT_EQ(cross(Argb(0, 9, 9, 9), Argb(200, 30, 20, 10)), Argb(121, 30, 20, 10));
    // Both: all four bytes T[100][s] + T[155][t].
    EXPECT_EQ(cross(Argb(50, 50, 100, 200), Argb(200, 30, 20, 10)), Argb(140, 37, 51, 84));
    EXPECT_EQ(cross(Argb(0, 50, 100, 200), Argb(0, 30, 20, 10)), Argb(0, 37, 51, 84));
}

TEST(LayerOver, BltOverComposesTwoAlphas)
{
    auto op = [](ILayer& d, ILayer* s) { d.BltOver(0, 0, 1, 1, s, 0, 0); };
    // Onto a transparent destination the source is copied exactly.
    EXPECT_EQ(Apply(Argb(0, 1, 2, 3), Argb(128, 200, 200, 200), op), Argb(128, 200, 200, 200));
    // ad = as = 128: out = 128 + T[128][127] = 191, w = 32640 / 191 = 170,
    // colour T[170][200] + T[85][100] = 133 + 33.
    EXPECT_EQ(Apply(Argb(128, 100, 100, 100), Argb(128, 200, 200, 200), op), Argb(191, 166, 166, 166));
    // Opaque destination: mix(128, 200, 100) = 100 + 49, alpha stays 255.
    EXPECT_EQ(Apply(Argb(255, 100, 100, 100), Argb(128, 200, 200, 200), op), Argb(255, 149, 149, 149));
    EXPECT_EQ(Apply(Argb(99, 100, 100, 100), Argb(0, 200, 200, 200), op), Argb(99, 100, 100, 100));
}

TEST(LayerOver, BltOverWeightedWeighsTheLastCase)
{
    // k = 200: w = 200 x 128 / 191 = 134, colour T[134][200] + T[66][100] = 105 + 25.
    EXPECT_EQ(Apply(Argb(128, 100, 100, 100), Argb(128, 200, 200, 200),
                    [](ILayer& d, ILayer* s) { d.BltOverWeighted(0, 0, 1, 1, s, 0, 0, 200); }),
              Argb(191, 130, 130, 130));
}

TEST(LayerOver, WideRowsComposeAsEachPixelAlone)
{
    // Runs of clear, opaque and partial pixels on both sides, longer and shorter than the
    // eight-pixel steps, must come out as the one-pixel operation gives them.
    constexpr int W = 61;
    const uint32_t dst_alpha[] = {255, 255, 0, 128, 255, 7};
    const uint32_t src_alpha[] = {0, 0, 255, 128, 0, 1, 254};
    auto d = MakeLayer(W, 2);
    auto s = MakeLayer(W, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < W; ++x) {
            const int k = x + 13 * y;
            SetPixel(*d, x, y, Argb(dst_alpha[(k / 9) % 6], k * 3 & 0xFF, k * 5 & 0xFF, k * 7 & 0xFF));
            SetPixel(*s, x, y, Argb(src_alpha[(k / 5) % 7], k * 11 & 0xFF, 255 - k, k * 2 & 0xFF));
        }
    }
    for (const int weight : {255, 200}) {
        auto wide = MakeLayer(W, 2);
        wide->Blt(0, 0, W, 2, d.get(), 0, 0, 1);
        wide->BltOverWeighted(0, 0, W, 2, s.get(), 0, 0, weight);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(PixelAt(*wide, x, y), Apply(PixelAt(*d, x, y), PixelAt(*s, x, y),
                                                      [&](ILayer& one, ILayer* source) {
                                                          one.BltOverWeighted(0, 0, 1, 1, source, 0, 0,
                                                                              weight);
                                                      }))
                    << x << "," << y << " weight " << weight;
    }
}

TEST(LayerOver, BltOverOpacity)
{
    auto op = [](ILayer& d, ILayer* s) { d.BltOverOpacity(0, 0, 1, 1, s, 0, 0, 128); };
    // a = T[128][255] = 128 in every case below.
    EXPECT_EQ(Apply(Argb(0, 1, 2, 3), Argb(255, 200, 200, 200), op), Argb(128, 200, 200, 200));
    EXPECT_EQ(Apply(Argb(128, 100, 100, 100), Argb(255, 200, 200, 200), op), Argb(191, 166, 166, 166));
    EXPECT_EQ(Apply(Argb(255, 100, 100, 100), Argb(255, 200, 200, 200), op), Argb(255, 149, 149, 149));
}

namespace {

struct BlendCase
{
    const char* name;
    void (ILayer::*op)(int32_t, int32_t, int32_t, int32_t, ILayer*, int32_t, int32_t, int32_t);
    uint8_t s, d, m; // with a = 255 the result is the mode's value m itself
};

} // namespace

TEST(LayerBlendModes, OpaqueSourceGivesTheModeValue)
{
    const BlendCase cases[] = {
        {"multiply", &ILayer::BltMultiply, 200, 100, 78},
        {"subtract", &ILayer::BltSubtract, 100, 200, 100},
        {"subtract below zero", &ILayer::BltSubtract, 200, 100, 0},
        {"screen", &ILayer::BltScreen, 200, 100, 222},        // 255 - 55 x 155 / 255
        {"overlay dark", &ILayer::BltOverlay, 255, 127, 254}, // 2 x 255 x 127 / 255
        {"overlay light", &ILayer::BltOverlay, 0, 128, 1},    // 2 x 128 - 255
        {"dodge white", &ILayer::BltColorDodge, 255, 3, 255},
        {"dodge", &ILayer::BltColorDodge, 100, 100, 164}, // 25500 / 155
        {"dodge clipped", &ILayer::BltColorDodge, 200, 100, 255},
        {"burn black", &ILayer::BltColorBurn, 0, 250, 0},
        {"burn", &ILayer::BltColorBurn, 200, 100, 58}, // 255 - 39525 / 200
        {"burn clipped", &ILayer::BltColorBurn, 50, 100, 0},
        {"darken", &ILayer::BltDarken, 200, 100, 100},
        {"lighten", &ILayer::BltLighten, 200, 100, 200},
        {"soft light low", &ILayer::BltSoftLight, 0, 128, 64}, // 255 x (128/255)^(255/128)
        {"soft light mid", &ILayer::BltSoftLight, 128, 255, 255},
        {"soft light high", &ILayer::BltSoftLight, 255, 64, 127}, // 255 x (64/255)^(128/255)
        {"hard light low", &ILayer::BltHardLight, 100, 200, 156},
        {"hard light high", &ILayer::BltHardLight, 200, 100, 189}, // 2 x (300 - 78) - 255
        {"exclusion", &ILayer::BltExclusion, 200, 100, 144},
    };
    for (const BlendCase& c : cases) {
        const uint32_t src = Argb(255, c.s, c.s, c.s);
        const uint32_t dst = Argb(0x42, c.d, c.d, c.d);
        const uint32_t got =
            Apply(dst, src, [&](ILayer& d, ILayer* s) { (d.*c.op)(0, 0, 1, 1, s, 0, 0, 255); });
        EXPECT_EQ(got, Argb(0x42, c.m, c.m, c.m)) << c.name;
    }
}

TEST(LayerBlendModes, PartialAlphaMixesTheModeValueOverTheDestination)
{
    // Multiply 200 over 100 gives m = 78; a = 128 mixes T[128][78] + T[127][100] = 39 + 49.
    auto multiply = [](int opacity) {
        return [opacity](ILayer& d, ILayer* s) { d.BltMultiply(0, 0, 1, 1, s, 0, 0, opacity); };
    };
    EXPECT_EQ(Apply(Argb(7, 100, 100, 100), Argb(128, 200, 200, 200), multiply(255)), Argb(7, 88, 88, 88));
    EXPECT_EQ(Apply(Argb(7, 100, 100, 100), Argb(255, 200, 200, 200), multiply(128)), Argb(7, 88, 88, 88));
    EXPECT_EQ(Apply(Argb(7, 100, 100, 100), Argb(255, 200, 200, 200), multiply(0)), Argb(7, 100, 100, 100));
    EXPECT_EQ(Apply(Argb(7, 100, 100, 100), Argb(0, 200, 200, 200), multiply(255)), Argb(7, 100, 100, 100));
    // An opacity past the contract acts as 255 instead of reading past the table.
    EXPECT_EQ(Apply(Argb(7, 100, 100, 100), Argb(255, 200, 200, 200), multiply(100000)), Argb(7, 78, 78, 78));
}

TEST(LayerAlphaOps, ScaleAddAndMultiplyAlpha)
{
    const uint32_t dst = Argb(100, 1, 2, 3);
    const uint32_t src = Argb(201, 9, 9, 9);
    // 201 x 0.5 = 100.5 truncates to 100.
    EXPECT_EQ(Apply(Argb(7, 1, 2, 3), src,
                    [](ILayer& d, ILayer* s) { d.CopyAlphaScaledF(0, 0, 1, 1, s, 0, 0, 0.5f); }),
              Argb(100, 1, 2, 3));
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.CopyAlphaScaledF(0, 0, 1, 1, s, 0, 0, 1.0f); }),
              Argb(201, 1, 2, 3));
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.CopyAlphaScaledF(0, 0, 1, 1, s, 0, 0, -0.5f); }),
              dst);
    EXPECT_EQ(Apply(dst, Argb(200, 0, 0, 0),
                    [](ILayer& d, ILayer* s) { d.CopyAlphaScaled(0, 0, 1, 1, s, 0, 0, 128); }),
              Argb(100, 1, 2, 3)); // T[128][200] = 100
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.CopyAlphaScaled(0, 0, 1, 1, s, 0, 0, 0); }),
              Argb(0, 1, 2, 3));
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.CopyAlphaScaled(0, 0, 1, 1, s, 0, 0, 255); }),
              Argb(201, 1, 2, 3));
    EXPECT_EQ(Apply(dst, src, [](ILayer& d, ILayer* s) { d.AddAlpha(0, 0, 1, 1, s, 0, 0); }),
              Argb(255, 1, 2, 3));
    EXPECT_EQ(Apply(dst, Argb(100, 0, 0, 0), [](ILayer& d, ILayer* s) { d.AddAlpha(0, 0, 1, 1, s, 0, 0); }),
              Argb(200, 1, 2, 3));
    EXPECT_EQ(Apply(dst, Argb(200, 0, 0, 0),
                    [](ILayer& d, ILayer* s) { d.AddAlphaScaled(0, 0, 1, 1, s, 0, 0, 128); }),
              Argb(200, 1, 2, 3));
    EXPECT_EQ(Apply(Argb(200, 1, 2, 3), Argb(128, 0, 0, 0),
                    [](ILayer& d, ILayer* s) { d.MultiplyAlpha(0, 0, 1, 1, s, 0, 0); }),
              Argb(100, 1, 2, 3)); // T[200][128]
    EXPECT_EQ(Apply(Argb(0, 1, 2, 3), Argb(128, 0, 0, 0),
                    [](ILayer& d, ILayer* s) { d.MultiplyAlpha(0, 0, 1, 1, s, 0, 0); }),
              Argb(0, 1, 2, 3));
}

TEST(LayerAlphaOps, LeaveTheModifiedFlagAloneExceptThroughCopyAlpha)
{
    auto d = MakeLayer(1, 1, Argb(100, 0, 0, 0));
    auto s = MakeLayer(1, 1, Argb(50, 0, 0, 0));
    d->SetModified(0);
    d->AddAlpha(0, 0, 1, 1, s.get(), 0, 0);
    d->AddAlphaScaled(0, 0, 1, 1, s.get(), 0, 0, 300);
    d->MultiplyAlpha(0, 0, 1, 1, s.get(), 0, 0);
    d->CopyAlphaScaled(0, 0, 1, 1, s.get(), 0, 0, 3);
    d->CopyAlphaScaledF(0, 0, 1, 1, s.get(), 0, 0, 0.25f);
    EXPECT_EQ(d->GetModified(), 0);
    d->CopyAlphaScaled(0, 0, 1, 1, s.get(), 0, 0, 255);
    EXPECT_EQ(d->GetModified(), 1);
}

TEST(LayerColorKeys, KeyedPixelsAreSkipped)
{
    const uint32_t dst = Argb(9, 1, 2, 3);
    auto key = [](ILayer& d, ILayer* s) { d.BltColorKey(0, 0, 1, 1, s, 0, 0, 0xFF00); };
    EXPECT_EQ(Apply(dst, Argb(0x80, 0, 0xFF, 0), key), dst);
    EXPECT_EQ(Apply(dst, Argb(0x80, 0, 0xFF, 1), key), Argb(9, 0, 0xFF, 1));
    auto key_alpha = [](ILayer& d, ILayer* s) { d.BltColorKeyAlpha(0, 0, 1, 1, s, 0, 0, 0xFF00); };
    EXPECT_EQ(Apply(dst, Argb(0xFF, 0, 0xFF, 0), key_alpha), dst);
    EXPECT_EQ(Apply(dst, Argb(0, 7, 7, 7), key_alpha), dst);
    EXPECT_EQ(Apply(dst, Argb(255, 7, 7, 7), key_alpha), Argb(9, 7, 7, 7));
    // Partial alpha mixes as BltAlpha does.
    EXPECT_EQ(Apply(Argb(77, 30, 20, 10), Argb(100, 50, 100, 200), key_alpha), Argb(77, 37, 51, 84));
    auto mask = [](ILayer& d, ILayer* s) { d.MakeColorKeyMask(0, 0, 1, 1, s, 0, 0, 0x1200FF00, 0xDEADBEEF); };
    EXPECT_EQ(Apply(dst, Argb(0x77, 0, 0xFF, 0), mask), 0xDEADBEEFu);
    EXPECT_EQ(Apply(dst, Argb(0x77, 0, 0xFE, 0), mask), 0u);
}

TEST(LayerFilters, ColourFilters)
{
    auto one = [](uint32_t dst, auto op) {
        auto d = MakeLayer(1, 1, dst);
        op(*d);
        return PixelAt(*d, 0, 0);
    };
    EXPECT_EQ(
        Apply(0, Argb(0x7F, 1, 2, 3), [](ILayer& d, ILayer* s) { d.BltAlphaToGray(0, 0, 1, 1, s, 0, 0); }),
        Argb(255, 0x7F, 0x7F, 0x7F));
    EXPECT_EQ(one(Argb(40, 30, 20, 10), [](ILayer& d) { d.BlendColorHalf(0, 0, 1, 1, 0xFF8000); }),
              Argb(40, 142, 74, 5));
    EXPECT_EQ(one(Argb(77, 1, 128, 255), [](ILayer& d) { d.HalveBrightness(0, 0, 1, 1); }),
              Argb(77, 0, 64, 127));
    EXPECT_EQ(one(Argb(77, 30, 20, 10), [](ILayer& d) { d.Invert(0, 0, 1, 1); }), Argb(77, 225, 235, 245));
    EXPECT_EQ(Apply(Argb(5, 0, 0, 0), Argb(77, 30, 20, 10),
                    [](ILayer& d, ILayer* s) { d.BltInvert(0, 0, 1, 1, s, 0, 0); }),
              Argb(5, 225, 235, 245));
    EXPECT_EQ(one(Argb(9, 255, 255, 255), [](ILayer& d) { d.Grayscale(0, 0, 1, 1); }),
              Argb(9, 254, 254, 254));
    // (306 x 100 + 600 x 50 + 117 x 200) >> 10 = 84000 >> 10 = 82.
    EXPECT_EQ(one(Argb(9, 100, 50, 200), [](ILayer& d) { d.Grayscale(0, 0, 1, 1); }), Argb(9, 82, 82, 82));
    EXPECT_EQ(one(Argb(9, 255, 255, 255), [](ILayer& d) { d.Sepia(0, 0, 1, 1); }), Argb(9, 239, 199, 144));
}

TEST(LayerFills, FillsAndAlphaRectangles)
{
    auto one = [](uint32_t dst, auto op) {
        auto d = MakeLayer(1, 1, dst);
        op(*d);
        return PixelAt(*d, 0, 0);
    };
    EXPECT_EQ(one(Argb(9, 1, 2, 3), [](ILayer& d) { d.ClearRect(0, 0, 1, 1); }), 0u);
    EXPECT_EQ(one(Argb(9, 1, 2, 3), [](ILayer& d) { d.Clear(); }), 0u);
    EXPECT_EQ(one(Argb(9, 1, 2, 3), [](ILayer& d) { d.FillRect(0, 0, 1, 1, 0xAA112233, 0); }),
              Argb(9, 0x11, 0x22, 0x33));
    EXPECT_EQ(one(Argb(9, 1, 2, 3), [](ILayer& d) { d.FillRect(0, 0, 1, 1, 0xAA112233, 1); }), 0xAA112233u);
    // Red 255 at alpha 128 over black: T[127][0] + T[128][255] = 128; alpha kept.
    EXPECT_EQ(one(Argb(9, 0, 0, 0), [](ILayer& d) { d.FillRectAlpha(0, 0, 1, 1, 0x80FF0000); }),
              Argb(9, 128, 0, 0));
    EXPECT_EQ(one(Argb(9, 1, 2, 3), [](ILayer& d) { d.FillRectAlpha(0, 0, 1, 1, 0x00FF0000); }),
              Argb(9, 1, 2, 3));
    EXPECT_EQ(one(Argb(9, 1, 2, 3), [](ILayer& d) { d.FillRectAlpha(0, 0, 1, 1, 0xFF445566); }),
              Argb(9, 0x44, 0x55, 0x66));
    EXPECT_EQ(one(Argb(9, 1, 2, 3), [](ILayer& d) { d.SetAlphaRect(0, 0, 1, 1, 0x1FF); }),
              Argb(255, 1, 2, 3));
    EXPECT_EQ(one(Argb(255, 1, 2, 3), [](ILayer& d) { d.HalveAlphaRect(0, 0, 1, 1); }), Argb(127, 1, 2, 3));
}

TEST(LayerFrame, EmptyRectangleChangesNothingNotEvenTheFlag)
{
    auto d = MakeLayer(2, 2, 0x01010101);
    auto s = MakeLayer(2, 2, 0xFFFFFFFF);
    d->SetModified(0);
    d->Blt(0, 0, 0, 2, s.get(), 0, 0, 1);
    d->BltAlpha(0, 0, 2, -1, s.get(), 0, 0);
    d->FillRect(0, 0, 0, 0, 0xFFFFFFFF, 1);
    d->BltMultiply(0, 0, 2, 2, s.get(), 0, 0, 0);
    EXPECT_EQ(d->GetModified(), 0);
    EXPECT_EQ(PixelAt(*d, 0, 0), 0x01010101u);
    d->FillRect(0, 0, 1, 1, 0, 1);
    EXPECT_EQ(d->GetModified(), 1);
}

TEST(LayerFrame, RowsRunTopDownInEveryLayerOrder)
{
    // A bottom-up source copied into a top-down layer lands row for row, and back again.
    auto source = MakeLayer(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            SetPixel(*source, x, y, uint32_t(0x10 * y + x));
    TopDownLayer texture(3, 2);
    texture.Blt(0, 0, 3, 2, source.get(), 0, 0, 1);
    EXPECT_EQ(texture.At(2, 0), 0x02u);
    EXPECT_EQ(texture.At(0, 1), 0x10u);
    EXPECT_EQ(texture.Locks(), 0); // every Lock paired with an Unlock
    auto back = MakeLayer(3, 2);
    back->Blt(1, 1, 2, 1, &texture, 0, 0, 1);
    EXPECT_EQ(PixelAt(*back, 1, 1), 0x00u);
    EXPECT_EQ(PixelAt(*back, 2, 1), 0x01u);
}

// ---- Clipping: a rectangle reaching past any edge of either layer is cut to what overlaps ----

namespace {

std::unique_ptr<CDIB> Numbered(int w, int h)
{
    auto layer = MakeLayer(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(*layer, x, y, 0xFF000000u | uint32_t(0x100 * (y + 1) + x + 1));
    return layer;
}

// The 4 x 4 destination after a mode-1 Blt from a numbered 4 x 4 source; 0 where not written.
std::vector<uint32_t> BltResult(int x, int y, int w, int h, int sx, int sy)
{
    auto d = MakeLayer(4, 4);
    auto s = Numbered(4, 4);
    d->Blt(x, y, w, h, s.get(), sx, sy, 1);
    std::vector<uint32_t> out;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            out.push_back(PixelAt(*d, col, row));
    return out;
}

// What the copy must give: each destination pixel inside both layers from its source pixel.
std::vector<uint32_t> Expected(int x, int y, int w, int h, int sx, int sy)
{
    std::vector<uint32_t> out(16, 0);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const int dx = x + col, dy = y + row, qx = sx + col, qy = sy + row;
            if (dx >= 0 && dx < 4 && dy >= 0 && dy < 4 && qx >= 0 && qx < 4 && qy >= 0 && qy < 4)
                out[size_t(dy * 4 + dx)] = 0xFF000000u | uint32_t(0x100 * (qy + 1) + qx + 1);
        }
    return out;
}

} // namespace

TEST(LayerClipping, EveryEdgeOfBothLayers)
{
    const int cases[][6] = {
        {-1, 0, 3, 3, 0, 0},                         // destination left
        {0, -2, 3, 3, 0, 0},                         // destination top
        {2, 1, 3, 2, 0, 0},                          // destination right
        {1, 3, 2, 3, 0, 0},                          // destination bottom
        {0, 0, 3, 3, -1, 0},                         // source left
        {0, 0, 3, 3, 0, -1},                         // source top
        {0, 0, 4, 2, 2, 0},                          // source right
        {0, 1, 2, 4, 1, 2},                          // source bottom
        {-3, -3, 10, 10, -1, 2},                     // past every side at once
        {2, 2, 4, 4, -1, -1},    {0, 0, 4, 4, 0, 0}, // inside: unchanged behaviour
    };
    for (const auto& c : cases)
        EXPECT_EQ(BltResult(c[0], c[1], c[2], c[3], c[4], c[5]), Expected(c[0], c[1], c[2], c[3], c[4], c[5]))
            << c[0] << "," << c[1] << " " << c[2] << "x" << c[3] << " from " << c[4] << "," << c[5];
}

TEST(LayerClipping, RectanglesOutsideOrHugeDrawNothingOutOfBounds)
{
    auto d = MakeLayer(4, 4, 0x11111111);
    auto s = Numbered(4, 4);
    d->SetModified(0);
    d->Blt(4, 0, 2, 2, s.get(), 0, 0, 1);
    d->Blt(0, -5, 2, 2, s.get(), 0, 0, 1);
    d->BltAlpha(0, 0, 2, 2, s.get(), 4, 0);
    d->BltAlpha(0, 0, 2, 2, s.get(), -2, 0);
    d->FillRect(INT_MIN, INT_MIN, 3, 3, 0, 1);
    d->FillRect(INT_MAX, 0, INT_MAX, 1, 0, 1);
    EXPECT_EQ(d->GetModified(), 0);
    d->FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xFFFFFFFF, 1); // ends short of the layer
    EXPECT_EQ(PixelAt(*d, 0, 0), 0x11111111u);
    d->BltAlpha(-INT_MAX, 0, INT_MAX, INT_MAX, s.get(), INT_MIN + 1, 0);
    d->Blt(-1, -1, INT_MAX, INT_MAX, s.get(), 0, 0, 1);
    EXPECT_EQ(PixelAt(*d, 1, 1), PixelAt(*s, 2, 2));
    EXPECT_EQ(PixelAt(*d, 3, 3), 0x11111111u);
    d->Blt(0, 0, 4, 4, nullptr, 0, 0, 1); // no source: nothing
}

TEST(LayerClipping, OneLayerOperationsAndCrossFade)
{
    auto d = MakeLayer(3, 3, Argb(255, 10, 10, 10));
    d->Invert(-1, 1, 3, 5);
    EXPECT_EQ(PixelAt(*d, 0, 0), Argb(255, 10, 10, 10));
    EXPECT_EQ(PixelAt(*d, 1, 2), Argb(255, 245, 245, 245));
    EXPECT_EQ(PixelAt(*d, 2, 2), Argb(255, 10, 10, 10));
    // The second layer is read where the destination is; a smaller one cuts the rectangle.
    auto s = MakeLayer(3, 3, Argb(200, 50, 100, 200));
    auto second = MakeLayer(2, 2, Argb(0, 0, 0, 0));
    d->BltCrossFade(0, 0, 3, 3, s.get(), 0, 0, 100, second.get());
    EXPECT_EQ(PixelAt(*d, 1, 1), Argb(78, 50, 100, 200));
    EXPECT_EQ(PixelAt(*d, 2, 2), Argb(255, 10, 10, 10));
}

TEST(LayerWriteCount, StandsOnlyWhileNothingWritesOrReachesThePixels)
{
    auto layer = MakeLayer(4, 4);
    auto other = MakeLayer(4, 4, Argb(0xFF, 1, 2, 3));
    auto count = [&] { return layer->GetWriteCount(); };
    uint64_t seen = count();
    // Read as a source, the layer is not written.
    other->Blt(0, 0, 4, 4, layer.get(), 0, 0, 1);
    other->BltOver(0, 0, 4, 4, layer.get(), 0, 0);
    EXPECT_EQ(count(), seen);
    // Every write moves it, an operation's or one through a pixel pointer reached.
    layer->FillRect(1, 1, 1, 1, Argb(0xFF, 9, 9, 9), 1);
    EXPECT_GT(count(), seen);
    seen = count();
    layer->SetAlphaRect(0, 0, 4, 4, 0);
    EXPECT_GT(count(), seen);
    seen = count();
    (void)layer->GetBits();
    EXPECT_GT(count(), seen);
}

// A picture copied again over itself notes as written only the band of rows it changed, so a
// small change in a large copy has only that band drawn again.
TEST(LayerWriteCount, ACopyOverItselfNotesOnlyTheRowsItChanged)
{
    auto page = MakeLayer(64, 48, Argb(0xFF, 1, 2, 3));
    auto shown = MakeLayer(64, 48);
    shown->Blt(0, 0, 64, 48, page.get(), 0, 0, 1);
    (void)shown->TakeChanges();
    page->FillRect(10, 20, 4, 3, Argb(0xFF, 9, 9, 9), 1);
    shown->Blt(0, 0, 64, 48, page.get(), 0, 0, 1);
    const ILayer::Changes changes = shown->TakeChanges();
    ASSERT_TRUE(changes.written);
    EXPECT_EQ(changes.rect.top, 20);
    EXPECT_EQ(changes.rect.bottom, 23);
    EXPECT_EQ(changes.rect.left, 0);
    EXPECT_EQ(changes.rect.right, 64);
    EXPECT_EQ(PixelAt(*shown, 11, 21), Argb(0xFF, 9, 9, 9));
    (void)shown->TakeChanges(); // the look reached the pixels
    shown->Blt(0, 0, 64, 48, page.get(), 0, 0, 1);
    EXPECT_FALSE(shown->TakeChanges().written) << "nothing changed";
}

// A single translucent pixel anywhere in a part, near its edges or amid opaque runs longer than
// the check's stride, is found; outside the part it is not.
TEST(LayerAlphaChecks, OneTranslucentPixelIsFoundWhereverItLies)
{
    constexpr int W = 43;
    constexpr int H = 3;
    const RECT part{2, 0, 41, 3};
    for (int x = 0; x < W; ++x) {
        SCOPED_TRACE(x);
        auto layer = MakeLayer(W, H, Argb(0xFF, 1, 2, 3));
        // White, so only its alpha tells it from the rest.
        SetPixel(*layer, x, 1, Argb(0xFE, 0xFF, 0xFF, 0xFF));
        const bool inside = x >= part.left && x < part.right;
        EXPECT_EQ(layer->IsOpaque(part), !inside);
        const RECT bounds = layer->TranslucentBounds(part);
        if (inside) {
            EXPECT_EQ(bounds.left, x);
            EXPECT_EQ(bounds.right, x + 1);
            EXPECT_EQ(bounds.top, 1);
            EXPECT_EQ(bounds.bottom, 2);
        } else {
            EXPECT_TRUE(bounds.right <= bounds.left);
        }
    }
}
