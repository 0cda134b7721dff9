// The font facade over the Noto CJK fonts: metrics by GDI's rules and the face table, 65-level
// glyph bitmaps, glyph indices beyond U+FFFF and face enumeration.

#include "platform/gdi/FontApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr MAT2 IDENTITY{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

LOGFONTW MakeLogFont(std::u16string_view face, LONG width, LONG height, LONG weight)
{
    LOGFONTW logfont{};
    logfont.lfHeight = height;
    logfont.lfWidth = width;
    logfont.lfWeight = weight;
    logfont.lfCharSet = DEFAULT_CHARSET;
    logfont.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::copy(face.begin(), face.end(), logfont.lfFaceName);
    return logfont;
}

class FontApiTest : public ::testing::Test
{
protected:
    void SetUp() override { m_dc = CreateCompatibleDC(nullptr); }
    void TearDown() override
    {
        if (m_old != nullptr)
            SelectObject(m_dc, m_old);
        for (HFONT font : m_fonts)
            DeleteObject(font);
        DeleteDC(m_dc);
    }

    void Use(const LOGFONTW& logfont)
    {
        HFONT font = CreateFontIndirectW(&logfont);
        ASSERT_NE(font, nullptr);
        m_fonts.push_back(font);
        HGDIOBJ previous = SelectObject(m_dc, font);
        if (m_old == nullptr)
            m_old = previous;
    }

    struct Glyph
    {
        DWORD size = 0;
        GLYPHMETRICS metrics{};
        std::vector<uint8_t> bits;
    };

    Glyph Render(UINT character, UINT format = GGO_GRAY8_BITMAP)
    {
        Glyph glyph;
        glyph.size = GetGlyphOutlineW(m_dc, character, format, &glyph.metrics, 0, nullptr, &IDENTITY);
        if (glyph.size != 0 && glyph.size != GDI_ERROR) {
            glyph.bits.resize(glyph.size);
            EXPECT_EQ(GetGlyphOutlineW(m_dc, character, format, &glyph.metrics, glyph.size, glyph.bits.data(),
                                       &IDENTITY),
                      glyph.size);
        }
        return glyph;
    }

    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
    std::vector<HFONT> m_fonts;
};

uint64_t Coverage(const std::vector<uint8_t>& bits)
{
    uint64_t sum = 0;
    for (uint8_t level : bits)
        sum += level;
    return sum;
}

} // namespace

TEST_F(FontApiTest, GothicCellIsItsEmWithHalfWidthAtTheGivenWidth)
{
    Use(MakeLogFont(u"ＭＳ ゴシック", 20, 40, FW_NORMAL));
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(m_dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 40);
    // The ideographic box of Noto CJK rises 0.88 em above the baseline.
    EXPECT_EQ(metrics.tmAscent, 35);
    EXPECT_EQ(metrics.tmDescent, 5);
    EXPECT_EQ(metrics.tmAveCharWidth, 20);
    EXPECT_EQ(metrics.tmWeight, FW_NORMAL);

    // A full-width character advances by the cell width, a half-width one by half of it.
    EXPECT_EQ(Render(u'漢').metrics.gmCellIncX, 40);
    EXPECT_EQ(Render(u'A').metrics.gmCellIncX, 20);
}

TEST_F(FontApiTest, OtherFacesFollowTheGdiCellRule)
{
    // Noto's Windows ascent and descent are 1160 and 288 units of 1000: a 40-pixel cell holds an
    // em of 40 * 1000 / 1448 = 27.6 pixels, with ascent 40 * 1160 / 1448 = 32.
    Use(MakeLogFont(u"Arial Unicode MS", 0, 40, FW_NORMAL));
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(m_dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 40);
    EXPECT_EQ(metrics.tmAscent, 32);
    EXPECT_EQ(metrics.tmInternalLeading, 12);
    EXPECT_EQ(Render(u'漢').metrics.gmCellIncX, 28);

    // A negative height is the em itself.
    Use(MakeLogFont(u"Arial Unicode MS", 0, -1000, FW_NORMAL));
    ASSERT_TRUE(GetTextMetricsW(m_dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 1448);
    EXPECT_EQ(metrics.tmAscent, 1160);
}

TEST_F(FontApiTest, GrayBitmapHasSixtyFiveLevelsAndPaddedRows)
{
    Use(MakeLogFont(u"ＭＳ ゴシック", 20, 40, FW_NORMAL));
    const Glyph glyph = Render(u'田');
    ASSERT_NE(glyph.size, GDI_ERROR);
    ASSERT_GT(glyph.size, 0u);
    const UINT width = glyph.metrics.gmBlackBoxX;
    const UINT height = glyph.metrics.gmBlackBoxY;
    const UINT pitch = (width + 3) & ~3u;
    EXPECT_EQ(glyph.size, pitch * height);
    EXPECT_EQ(*std::max_element(glyph.bits.begin(), glyph.bits.end()), 64);
    for (UINT row = 0; row < height; ++row) {
        for (UINT column = width; column < pitch; ++column)
            EXPECT_EQ(glyph.bits[row * pitch + column], 0) << "padding at row " << row;
    }
    // The box of an ideograph stays inside the cell: below the ascent, above the descent.
    EXPECT_LE(glyph.metrics.gmptGlyphOrigin.y, 35);
    EXPECT_GE(glyph.metrics.gmptGlyphOrigin.y - static_cast<LONG>(height), -5);
    EXPECT_GE(glyph.metrics.gmptGlyphOrigin.x, 0);
    EXPECT_LE(glyph.metrics.gmptGlyphOrigin.x + static_cast<LONG>(width), 40);
    // 田 is a closed box: its top-left and bottom-right corners are inked.
    EXPECT_GT(glyph.bits[pitch * 1 + 1], 32);
    EXPECT_GT(glyph.bits[pitch * (height - 2) + width - 2], 32);
}

TEST_F(FontApiTest, SpaceHasNoBitmapAndSizeQueriesAreChecked)
{
    Use(MakeLogFont(u"SimHei", 20, 40, FW_NORMAL));
    const Glyph space = Render(u' ');
    EXPECT_EQ(space.size, 0u);
    EXPECT_EQ(space.metrics.gmBlackBoxX, 1u);
    EXPECT_EQ(space.metrics.gmBlackBoxY, 1u);

    GLYPHMETRICS metrics{};
    const DWORD size = GetGlyphOutlineW(m_dc, u'中', GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &IDENTITY);
    ASSERT_GT(size, 4u);
    std::vector<uint8_t> small(size - 1);
    EXPECT_EQ(GetGlyphOutlineW(m_dc, u'中', GGO_GRAY8_BITMAP, &metrics, size - 1, small.data(), &IDENTITY),
              GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineW(m_dc, u'中', GGO_GRAY8_BITMAP, &metrics, 0, nullptr, nullptr), GDI_ERROR);
    EXPECT_EQ(GetGlyphOutlineW(nullptr, u'中', GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &IDENTITY), GDI_ERROR);
}

TEST_F(FontApiTest, HeavierWeightsInkMore)
{
    Use(MakeLogFont(u"ＭＳ ゴシック", 40, 40, FW_NORMAL));
    const uint64_t normal = Coverage(Render(u'書').bits);
    Use(MakeLogFont(u"ＭＳ ゴシック", 40, 40, FW_BOLD));
    const uint64_t bold = Coverage(Render(u'書').bits);
    Use(MakeLogFont(u"ＭＳ ゴシック", 40, 40, FW_HEAVY));
    const uint64_t heavy = Coverage(Render(u'書').bits);
    EXPECT_GT(bold, normal * 11 / 10);
    EXPECT_GT(heavy, bold);
}

TEST_F(FontApiTest, CodePointsBeyondTheBasicPlaneGoThroughTheGlyphIndex)
{
    Use(MakeLogFont(u"ＭＳ ゴシック", 20, 40, FW_NORMAL));
    // U+20B9F, a JIS X 0213 ideograph Noto CJK JP carries, as a surrogate pair.
    const char16_t text[] = {0xD842, 0xDF9F};
    WCHAR glyphs[2] = {};
    GCP_RESULTSW results{};
    results.lStructSize = sizeof(results);
    results.lpGlyphs = glyphs;
    results.nGlyphs = 2;
    const DWORD extent = GetCharacterPlacementW(m_dc, text, 2, 0, &results, GCP_GLYPHSHAPE);
    EXPECT_EQ(results.nGlyphs, 1u);
    ASSERT_NE(glyphs[0], 0);
    EXPECT_EQ(extent & 0xFFFF, 40u);
    EXPECT_EQ(extent >> 16, 40u);

    const Glyph by_index = Render(glyphs[0], GGO_GRAY8_BITMAP | GGO_GLYPH_INDEX);
    ASSERT_NE(by_index.size, GDI_ERROR);
    EXPECT_GT(Coverage(by_index.bits), 0u);
    // The same index as a UTF-16 unit would be a different character.
    EXPECT_NE(Render(glyphs[0]).bits, by_index.bits);
}

namespace {

int CollectFace(const LOGFONTW* logfont, const TEXTMETRICW*, DWORD type, LPARAM param)
{
    auto* names = reinterpret_cast<std::vector<std::u16string>*>(param);
    names->emplace_back(logfont->lfFaceName);
    EXPECT_EQ(type, TRUETYPE_FONTTYPE);
    return 0;
}

} // namespace

TEST_F(FontApiTest, EnumerationReportsKnownFacesUnderTheirRequestedName)
{
    for (std::u16string_view face :
         {u"ＭＳ ゴシック", u"@SimHei", u"Arial Unicode MS", u"Noto Sans CJK SC"}) {
        std::vector<std::u16string> names;
        LOGFONTW query = MakeLogFont(face, 0, 0, 0);
        query.lfPitchAndFamily = 0;
        EXPECT_EQ(EnumFontFamiliesExW(m_dc, &query, CollectFace, reinterpret_cast<LPARAM>(&names), 0), 0);
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(names[0], face);
    }
    std::vector<std::u16string> names;
    LOGFONTW query = MakeLogFont(u"No Such Face 42", 0, 0, 0);
    EXPECT_EQ(EnumFontFamiliesExW(m_dc, &query, CollectFace, reinterpret_cast<LPARAM>(&names), 0), 1);
    EXPECT_TRUE(names.empty());
}

TEST_F(FontApiTest, UnknownFacesStillDrawCjk)
{
    Use(MakeLogFont(u"No Such Face 42", 20, 40, FW_NORMAL));
    EXPECT_GT(Coverage(Render(u'あ').bits), 0u);
}

TEST_F(FontApiTest, TextStateBelongsToTheContext)
{
    EXPECT_EQ(SetTextColor(m_dc, 0xFFFFFF), 0x000000u);
    EXPECT_EQ(GetTextColor(m_dc), 0xFFFFFFu);
    EXPECT_EQ(SetBkColor(m_dc, 0), 0xFFFFFFu);
    EXPECT_EQ(SetBkMode(m_dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(GetBkMode(m_dc), TRANSPARENT);
    EXPECT_EQ(SetTextColor(nullptr, 0), CLR_INVALID);
}
