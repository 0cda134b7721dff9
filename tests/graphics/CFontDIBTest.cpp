// Glyph drawing: coverage to alpha, the three weights, outline and shadow composition, the turned
// path, and a sample sheet written as a PNG into the build folder for a person to look at.

#include "graphics/CFontDIB.h"

#include "foundation/CString.h"
#include "graphics/CDIBDC.h"
#include "graphics/LayerTestSupport.h"
#include "platform/gdi/PngCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr MAT2 IDENTITY{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

struct Box
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // inclusive; right < 0 when empty
    int Width() const { return right < 0 ? 0 : right - left + 1; }
    int Height() const { return right < 0 ? 0 : bottom - top + 1; }
};

// Pixels with alpha, or, given a background, pixels other than it.
Box InkBox(ILayer& layer, std::optional<uint32_t> background = std::nullopt)
{
    Box box;
    for (int y = 0; y < layer.GetHeight(); ++y) {
        for (int x = 0; x < layer.GetWidth(); ++x) {
            const uint32_t pixel = PixelAt(layer, x, y);
            if (background ? pixel == *background : (pixel >> 24) == 0)
                continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

class CFontDIBTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_font.Create("ＭＳ ゴシック");
        m_font.SetFontSize(40, 40);
    }

    CFontDIB m_font;
};

} // namespace

TEST_F(CFontDIBTest, KnownAndUnknownFacesKeepTheirNames)
{
    EXPECT_EQ(m_font.GetFaceName(), "ＭＳ ゴシック");
    CFontDIB unknown;
    unknown.Create("Nothing Installed Here");
    EXPECT_EQ(unknown.GetFaceName(), "Nothing Installed Here");
    ASSERT_NE(unknown.GetSurface(), nullptr);
    EXPECT_EQ(unknown.GetSurface()->GetWidth(), 128);
    EXPECT_EQ(unknown.GetSurface()->GetHeight(), 128);
}

TEST_F(CFontDIBTest, ThreeWeightsAreMadeAtTheirSizes)
{
    // Cell 40 x 40: widths 20, 18, 16 and heights 40, 38, 36 at weights 400, 700, 900.
    HDC dc = m_font.GetSurface()->GetDC();
    const struct
    {
        HFONT font;
        LONG width, height, weight;
    } expected[] = {{m_font.GetNormalFont(), 20, 40, 400},
                    {m_font.GetBoldFont(), 18, 38, 700},
                    {m_font.GetHeavyFont(), 16, 36, 900}};
    for (const auto& e : expected) {
        ASSERT_NE(e.font, nullptr);
        HGDIOBJ old = SelectObject(dc, e.font);
        TEXTMETRICW metrics{};
        ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
        EXPECT_EQ(metrics.tmHeight, e.height);
        EXPECT_EQ(metrics.tmAveCharWidth, e.width);
        EXPECT_EQ(metrics.tmWeight, e.weight);
        SelectObject(dc, old);
    }
}

TEST_F(CFontDIBTest, CoverageBecomesAlphaOverTheColourPlacedByTheMetrics)
{
    m_font.RenderGlyph("あ", 0xAB123456, m_font.GetNormalFont());
    CDIBDC* surface = m_font.GetSurface();
    HDC dc = surface->GetDC();
    HGDIOBJ old = SelectObject(dc, m_font.GetNormalFont());
    TEXTMETRICW text{};
    GetTextMetricsW(dc, &text);
    GLYPHMETRICS metrics{};
    const DWORD size = GetGlyphOutlineW(dc, u'あ', GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &IDENTITY);
    std::vector<uint8_t> bits(size);
    GetGlyphOutlineW(dc, u'あ', GGO_GRAY8_BITMAP, &metrics, size, bits.data(), &IDENTITY);
    SelectObject(dc, old);

    const int pitch = (static_cast<int>(metrics.gmBlackBoxX) + 3) & ~3;
    const int left = metrics.gmptGlyphOrigin.x;
    const int top = text.tmAscent - metrics.gmptGlyphOrigin.y;
    // Levels map to alpha as 64 -> 255, 32 -> 127, 1 -> 3: floor(level * 255 / 64).
    int checked_full = 0;
    for (UINT r = 0; r < metrics.gmBlackBoxY; ++r) {
        for (UINT c = 0; c < metrics.gmBlackBoxX; ++c) {
            const int level = bits[r * pitch + c];
            const uint32_t alpha = static_cast<uint32_t>(level * 255 / 64);
            ASSERT_EQ(PixelAt(*surface, left + static_cast<int>(c), top + static_cast<int>(r)),
                      (alpha << 24) | 0x123456u);
            checked_full += level == 64;
        }
    }
    EXPECT_GT(checked_full, 10);
    // Outside the black box the surface is clear.
    EXPECT_EQ(PixelAt(*surface, 127, 127), 0u);
    EXPECT_EQ(PixelAt(*surface, 0, 0), 0u);
}

TEST_F(CFontDIBTest, FlagsChooseTheFont)
{
    auto draw = [&](uint32_t flags) {
        auto layer = MakeLayer(48, 48, 0xFF000000);
        m_font.DrawText("書", 0, 0, 0xFFFFFF, 0x000080, layer.get(), flags);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                pixels.push_back(PixelAt(*layer, x, y));
        return pixels;
    };
    const auto normal = draw(0);
    const auto bold = draw(FONT_BOLD);
    const auto heavy = draw(FONT_HEAVY);
    EXPECT_NE(normal, bold);
    EXPECT_NE(bold, heavy);
    EXPECT_EQ(draw(FONT_BOLD | FONT_HEAVY), bold); // bold wins over heavy
    EXPECT_NE(draw(FONT_OUTLINE | FONT_BOLD), draw(FONT_OUTLINE | FONT_HEAVY));
    EXPECT_NE(draw(FONT_SHADOW | FONT_HEAVY), draw(FONT_SHADOW));
    // Outline wins over shadow.
    EXPECT_EQ(draw(FONT_OUTLINE | FONT_SHADOW), draw(FONT_OUTLINE));
}

TEST_F(CFontDIBTest, OutlineRingsTheCharacterShiftedOnePixel)
{
    auto plain = MakeLayer(48, 48, 0xFF000000);
    m_font.DrawText("口", 0, 0, 0xFF0000, 0, plain.get(), FONT_BLEND);
    auto outlined = MakeLayer(48, 48, 0xFF000000);
    m_font.DrawText("口", 0, 0, 0xFF0000, 0x00FF00, outlined.get(), FONT_OUTLINE | FONT_BLEND);
    int solid = 0;
    for (int y = 0; y < 46; ++y) {
        for (int x = 0; x < 46; ++x) {
            if (PixelAt(*plain, x, y) != 0xFFFF0000u)
                continue;
            ++solid;
            // Fully covered pixels move one right and down; their neighbours left and above (when
            // not covered themselves) are the outline colour.
            EXPECT_EQ(PixelAt(*outlined, x + 1, y + 1), 0xFFFF0000u);
            if (x > 0 && (PixelAt(*plain, x - 1, y) >> 16 & 0xFF) == 0) {
                EXPECT_EQ(PixelAt(*outlined, x, y + 1), 0xFF00FF00u) << x << "," << y;
            }
        }
    }
    EXPECT_GT(solid, 40);

    auto shadowed = MakeLayer(48, 48, 0xFF000000);
    m_font.DrawText("口", 0, 0, 0xFF0000, 0x0000FF, shadowed.get(), FONT_SHADOW | FONT_BLEND);
    for (int y = 0; y < 46; ++y) {
        for (int x = 0; x < 46; ++x) {
            if (PixelAt(*plain, x, y) != 0xFFFF0000u)
                continue;
            EXPECT_EQ(PixelAt(*shadowed, x, y), 0xFFFF0000u);
            if ((PixelAt(*plain, x + 1, y + 1) >> 16 & 0xFF) == 0) {
                EXPECT_EQ(PixelAt(*shadowed, x + 1, y + 1), 0xFF0000FFu) << x << "," << y;
            }
        }
    }
}

TEST_F(CFontDIBTest, SpaceDrawsNothingVisible)
{
    auto layer = MakeLayer(48, 48, 0xFF336699);
    m_font.DrawText(" ", 3, 4, 0xFFFFFF, 0, layer.get(), FONT_BLEND | FONT_SHADOW);
    m_font.DrawText(" ", 3, 4, 0xFFFFFF, 0, layer.get(), FONT_BLEND);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(PixelAt(*layer, x, y), 0xFF336699u);
}

TEST_F(CFontDIBTest, TurnedGlyphsAreAQuarterClockwise)
{
    m_font.RenderGlyph("一", 0xFFFFFF, m_font.GetNormalFont());
    const Box upright = InkBox(*m_font.GetSurface());
    m_font.RenderGlyphRotated("一", 0xFFFFFF, m_font.GetNormalFont());
    const Box turned = InkBox(*m_font.GetSurface());
    ASSERT_GT(upright.Width(), 20);
    EXPECT_LT(upright.Height(), 8);
    EXPECT_EQ(turned.Width(), upright.Height());
    EXPECT_EQ(turned.Height(), upright.Width());
}

TEST_F(CFontDIBTest, TurnedGlyphsLargerThanTheSurfaceAreClipped)
{
    // A cell narrower than the glyph is tall puts glyph rows left of the surface; a glyph wider
    // than the surface is tall puts columns below it. Both are skipped.
    CFontDIB narrow;
    narrow.Create("ＭＳ ゴシック");
    narrow.SetFontSize(8, 120);
    narrow.RenderGlyphRotated("田", 0xFFFFFF, narrow.GetNormalFont());
    EXPECT_LE(InkBox(*narrow.GetSurface()).right, 5);

    CFontDIB wide;
    wide.Create("ＭＳ ゴシック");
    wide.SetFontSize(160, 60);
    wide.RenderGlyphRotated("田", 0xFFFFFF, wide.GetNormalFont());
    EXPECT_EQ(InkBox(*wide.GetSurface()).bottom, 127);
    wide.RenderGlyph("田", 0xFFFFFF, wide.GetNormalFont());
    EXPECT_EQ(InkBox(*wide.GetSurface()).right, 127);
}

// English text comes in the CJK faces, whose Latin letters reach further below the baseline than
// kana do: every letter must land whole in its cell, in every weight and at the sizes the screens
// use, and the letters must still share one baseline.
TEST(CFontDIBLatin, LettersLandWholeInTheirCellOnOneBaseline)
{
    for (const char* face : {"SimHei", "ＭＳ ゴシック"}) {
        for (const int size : {24, 30, 40}) {
            CFontDIB font;
            font.Create(face);
            font.SetFontSize(size, size);
            for (const uint32_t weight : {0u, uint32_t{FONT_BOLD}, uint32_t{FONT_HEAVY}}) {
                SCOPED_TRACE(testing::Message() << face << " " << size << " weight " << weight);
                HFONT hfont = weight == FONT_BOLD    ? font.GetBoldFont()
                              : weight == FONT_HEAVY ? font.GetHeavyFont()
                                                     : font.GetNormalFont();
                // The whole glyph, as rendered on the tall surface, and what a cell shows of it.
                auto cell_ink = [&](const char* letter, Box* whole) {
                    font.RenderGlyph(letter, 0xFFFFFF, hfont);
                    *whole = InkBox(*font.GetSurface());
                    auto layer = MakeLayer(size + 20, size + 20, 0xFF000000);
                    font.DrawText(letter, 10, 10, 0xFFFFFF, 0, layer.get(), weight | FONT_BLEND);
                    return InkBox(*layer, 0xFF000000u);
                };
                for (const char* letter : {"g", "y", "p", "q", "j", "f", "b", "ｇ", "ｙ"}) {
                    Box whole;
                    const Box shown = cell_ink(letter, &whole);
                    SCOPED_TRACE(letter);
                    ASSERT_GT(whole.Height(), size / 3);
                    EXPECT_GE(whole.top, 0);
                    EXPECT_LT(whole.bottom, size);
                    EXPECT_EQ(shown.Height(), whole.Height()); // nothing cut off
                    EXPECT_GE(shown.top, 10);
                    EXPECT_LT(shown.bottom, 10 + size);
                }
                // The descender tails reach the lowest eighth of the font's em (the heavier weights'
                // fonts are smaller than the cell).
                const int em = size - (weight == FONT_BOLD ? 2 : weight == FONT_HEAVY ? 4 : 0);
                Box g;
                cell_ink("g", &g);
                EXPECT_GE(g.bottom, em - em / 8);
                Box a, n, x;
                cell_ink("a", &a);
                cell_ink("n", &n);
                cell_ink("x", &x);
                EXPECT_EQ(n.bottom, x.bottom);
                EXPECT_LE(std::abs(a.bottom - n.bottom), 1);
                EXPECT_LE(n.bottom, g.bottom - em / 8);
            }
        }
    }
}

TEST_F(CFontDIBTest, CharactersBeyondTheBasicPlaneDraw)
{
    auto layer = MakeLayer(48, 48, 0);
    m_font.DrawText("𠮟", 0, 0, 0xFFFFFF, 0, layer.get(), 0);
    EXPECT_GT(InkBox(*layer).Width(), 20);
}

// Japanese, Chinese and English lines in the three weights, outlined and shadowed, and a turned
// line, on one sheet. The PNG lands in the build folder.
TEST(CFontDIBSample, WritesASampleSheet)
{
    auto sheet = MakeLayer(960, 560, 0xFF203040);
    CFontDIB japanese;
    japanese.Create("ＭＳ ゴシック");
    japanese.SetFontSize(40, 40);
    CFontDIB chinese;
    chinese.Create("SimHei");
    chinese.SetFontSize(40, 40);

    auto draw_line = [&](CFontDIB& font, const std::u16string& text, int x, int y, uint32_t flags) {
        for (char16_t unit : text) {
            font.DrawText(CStringUTF8(std::u16string(1, unit)), x, y, 0xFFFFFF, 0xD03030, sheet.get(),
                          flags | FONT_BLEND);
            x += IsFullWidthChar(CStringUTF8(std::u16string(1, unit))) ? 40 : 20;
        }
    };
    const std::u16string ja = u"吾輩は猫である。Name";
    const std::u16string zh = u"我们的故事开始了。";
    const uint32_t weights[] = {0, FONT_BOLD, FONT_HEAVY};
    for (int i = 0; i < 3; ++i) {
        draw_line(japanese, ja, 20, 20 + i * 50, weights[i]);
        draw_line(chinese, zh, 20, 180 + i * 50, weights[i] | (i == 1 ? FONT_OUTLINE : FONT_SHADOW));
    }
    draw_line(japanese, u"縁取りの文字", 20, 340, FONT_OUTLINE);
    draw_line(japanese, u"影付きの文字", 20, 400, FONT_SHADOW);
    draw_line(chinese, u"A jumpy gypsy quietly played (Quay).", 20, 460, 0);
    draw_line(chinese, u"Boxing wizards jump quickly; gypsy.", 20, 500, FONT_OUTLINE);

    // The turned line: each glyph turned a quarter clockwise, advancing down a column.
    auto turned = MakeLayer(48, 480, 0xFF000000);
    int y = 0;
    for (char16_t unit : std::u16string(u"縦書きの一行です")) {
        japanese.DrawTextToSprite(CStringUTF8(std::u16string(1, unit)), 0, y, 0xFFE080, 0, turned.get(),
                                  FONT_BLEND);
        y += 40;
    }
    sheet->BltAlpha(880, 20, 48, 480, turned.get(), 0, 0);
    EXPECT_GT(InkBox(*turned, 0xFF000000).Height(), 300);

    platform::PngPicture picture;
    picture.width = 960;
    picture.height = 560;
    for (int py = 0; py < 560; ++py)
        for (int px = 0; px < 960; ++px)
            picture.pixels.push_back(PixelAt(*sheet, px, py));
    const char* binary = std::getenv("VESK_BINARY_DIR");
    const std::filesystem::path folder = binary != nullptr ? binary : ".";
    EXPECT_TRUE(platform::WritePngFile(folder / "font_sample.png", picture));
}

TEST_F(CFontDIBTest, CachedGlyphsFollowTheColourAndANewSize)
{
    // The second drawing of a character comes from the cache: the same coverage in its own colour.
    m_font.RenderGlyph("永", 0xFF0000FF, m_font.GetNormalFont());
    std::vector<uint32_t> first;
    CDIBDC* surface = m_font.GetSurface();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            first.push_back(PixelAt(*surface, x, y));
    m_font.RenderGlyph("あ", 0xFFFFFFFF, m_font.GetNormalFont());
    m_font.RenderGlyph("永", 0xFF00FF00, m_font.GetNormalFont());
    int inked = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const uint32_t was = first[static_cast<size_t>(y * 64 + x)];
            const uint32_t now = PixelAt(*surface, x, y);
            ASSERT_EQ(now >> 24, was >> 24) << x << "," << y;
            if (now >> 24 != 0) {
                EXPECT_EQ(now & 0xFFFFFF, 0x00FF00u);
                ++inked;
            }
        }
    }
    EXPECT_GT(inked, 50);

    // New fonts forget the old glyphs: half the size inks about a quarter of the pixels.
    const Box large = InkBox(*surface);
    m_font.SetFontSize(20, 20);
    m_font.RenderGlyph("永", 0xFF00FF00, m_font.GetNormalFont());
    const Box small = InkBox(*surface);
    EXPECT_LT(small.Width(), large.Width() * 2 / 3);
    EXPECT_LT(small.Height(), large.Height() * 2 / 3);
}
