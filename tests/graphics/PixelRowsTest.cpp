// The vectorised rows must equal the per-pixel rule for every alpha and every byte pair.

#include "graphics/PixelRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// mix(a, s, d) = floor(a x s / 255) + floor((255 - a) x d / 255), straight from the rule.
uint8_t Mix(int a, int s, int d)
{
    return static_cast<uint8_t>(a * s / 255 + (255 - a) * d / 255);
}

// 259 pixels (an odd tail for the scalar loop): destination bytes walk 0..255 and back.
std::vector<uint8_t> DestinationRow()
{
    std::vector<uint8_t> row;
    for (int k = 0; k < 259; ++k) {
        row.push_back(static_cast<uint8_t>(k));
        row.push_back(static_cast<uint8_t>(255 - k));
        row.push_back(static_cast<uint8_t>(k * 7));
        row.push_back(static_cast<uint8_t>(k * 13));
    }
    return row;
}

} // namespace

TEST(PixelRows, BltAlphaRowMatchesTheRuleEverywhere)
{
    const std::vector<uint8_t> base = DestinationRow();
    const int n = static_cast<int>(base.size() / 4);
    for (int a = 0; a < 256; ++a) {
        for (int s = 0; s < 256; s += 3) {
            std::vector<uint8_t> src(base.size());
            for (int k = 0; k < n; ++k) {
                src[k * 4 + 0] = static_cast<uint8_t>(s);
                src[k * 4 + 1] = static_cast<uint8_t>(255 - s);
                src[k * 4 + 2] = static_cast<uint8_t>(s ^ 0x5A);
                // Mostly a, with every fifth pixel of another alpha so blocks mix cases.
                src[k * 4 + 3] = static_cast<uint8_t>(k % 5 == 4 ? (a * 31) & 0xFF : a);
            }
            std::vector<uint8_t> dst = base;
            graphics::BltAlphaRow(dst.data(), src.data(), n);
            for (int k = 0; k < n; ++k) {
                const int alpha = src[k * 4 + 3];
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(dst[k * 4 + c], Mix(alpha, src[k * 4 + c], base[k * 4 + c]))
                        << "a " << alpha << " s " << int(src[k * 4 + c]) << " d " << int(base[k * 4 + c]);
                ASSERT_EQ(dst[k * 4 + 3], base[k * 4 + 3]);
            }
        }
    }
}

TEST(PixelRows, BltAlphaOpacityRowMatchesTheRuleEverywhere)
{
    const std::vector<uint8_t> base = DestinationRow();
    const int n = static_cast<int>(base.size() / 4);
    for (int opacity = 1; opacity < 255; opacity += 7) {
        for (int as = 0; as < 256; as += 5) {
            std::vector<uint8_t> src(base.size());
            for (int k = 0; k < n; ++k) {
                src[k * 4 + 0] = static_cast<uint8_t>(k);
                src[k * 4 + 1] = static_cast<uint8_t>(k * 3);
                src[k * 4 + 2] = static_cast<uint8_t>(255 - k);
                src[k * 4 + 3] = static_cast<uint8_t>(k % 3 == 0 ? as : 255 - as);
            }
            std::vector<uint8_t> dst = base;
            graphics::BltAlphaOpacityRow(dst.data(), src.data(), n, opacity);
            for (int k = 0; k < n; ++k) {
                const int a = opacity * src[k * 4 + 3] / 255;
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(dst[k * 4 + c], Mix(a, src[k * 4 + c], base[k * 4 + c]))
                        << opacity << " " << as;
                ASSERT_EQ(dst[k * 4 + 3], base[k * 4 + 3]);
            }
        }
    }
}

TEST(PixelRows, BltAlphaKeyedRowLeavesKeyPixelsAndMixesTheRest)
{
    const std::vector<uint8_t> base = DestinationRow();
    const int n = static_cast<int>(base.size() / 4);
    const uint32_t key = 0x00FF00;
    for (int a = 0; a < 256; a += 5) {
        std::vector<uint8_t> src(base.size());
        for (int k = 0; k < n; ++k) {
            // Every third pixel the key's colour, whatever its alpha; the alpha byte of the key
            // argument is ignored.
            const bool keyed = k % 3 == 0;
            src[k * 4 + 0] = static_cast<uint8_t>(keyed ? 0x00 : k);
            src[k * 4 + 1] = static_cast<uint8_t>(keyed ? 0xFF : 255 - k);
            src[k * 4 + 2] = static_cast<uint8_t>(keyed ? 0x00 : k * 5);
            src[k * 4 + 3] = static_cast<uint8_t>(k % 7 == 6 ? 255 : a);
        }
        std::vector<uint8_t> dst = base;
        graphics::BltAlphaKeyedRow(dst.data(), src.data(), n, 0xFF000000u | key);
        for (int k = 0; k < n; ++k) {
            const int alpha = k % 3 == 0 ? 0 : src[k * 4 + 3];
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(dst[k * 4 + c], Mix(alpha, src[k * 4 + c], base[k * 4 + c]))
                    << "a " << a << " pixel " << k;
            ASSERT_EQ(dst[k * 4 + 3], base[k * 4 + 3]);
        }
    }
}

TEST(PixelRows, FillSetAlphaAndClearRunCoverExactlyTheirPixels)
{
    const std::vector<uint8_t> base = DestinationRow();
    for (const int n : {0, 1, 3, 4, 7, 8, 9, 17, 258}) {
        // One pixel past the row stays untouched.
        std::vector<uint8_t> fill = base;
        graphics::FillRow(fill.data(), n, 0x80FF0102u);
        std::vector<uint8_t> alpha = base;
        graphics::SetAlphaRow(alpha.data(), n, 0x33);
        for (int k = 0; k <= n; ++k) {
            for (int c = 0; c < 4; ++c) {
                const uint8_t filled = static_cast<uint8_t>(0x80FF0102u >> (8 * c));
                ASSERT_EQ(fill[k * 4 + c], k < n ? filled : base[k * 4 + c]) << n << " " << k;
                ASSERT_EQ(alpha[k * 4 + c], k < n && c == 3 ? 0x33 : base[k * 4 + c]) << n << " " << k;
            }
        }
    }
    // A clear run ends at or before the first pixel with alpha, in steps of eight.
    for (const int first : {0, 1, 7, 8, 15, 16, 40, 259}) {
        std::vector<uint8_t> row(259 * 4, 0x7F);
        for (int k = 0; k < 259; ++k)
            row[k * 4 + 3] = k == first ? 1 : 0;
        const int32_t run = graphics::ClearRunLength(row.data(), 259);
        EXPECT_EQ(run % 8, 0) << first;
        EXPECT_LE(run, first) << first;
        EXPECT_GT(run + 8, std::min(first, 259 / 8 * 8)) << first;
    }
}

TEST(PixelRows, BlankRunsEndExactlyAtTheInk)
{
    // Ink of a single non-zero byte, on both sides of every vector step; a row of no ink is blank.
    for (const int ink : {-1, 0, 1, 15, 16, 17, 31, 32, 100, 258}) {
        for (const int byte : {0, 3}) {
            std::vector<uint8_t> row(259 * 4, 0);
            if (ink >= 0)
                row[ink * 4 + byte] = 1;
            EXPECT_EQ(graphics::BlankRunLength(row.data(), 259), ink >= 0 ? ink : 259) << ink;
            EXPECT_EQ(graphics::BlankTailLength(row.data(), 259), ink >= 0 ? 258 - ink : 259) << ink;
        }
    }
    EXPECT_EQ(graphics::BlankRunLength(nullptr, 0), 0);
    EXPECT_EQ(graphics::BlankTailLength(nullptr, 0), 0);
}
