#include "foundation/EastAsianWidthTable.h"

#include <gtest/gtest.h>

TEST(EastAsianWidthTable, HoldsTheRangesOfUnicode13)
{
    EXPECT_EQ(EAST_ASIAN_WIDTH_RANGE_COUNT, 2478u);
    // The lookup is a binary search: the ranges must be sorted and must not overlap.
    for (size_t i = 0; i < EAST_ASIAN_WIDTH_RANGE_COUNT; ++i) {
        ASSERT_LE(EAST_ASIAN_WIDTH_RANGES[i].first, EAST_ASIAN_WIDTH_RANGES[i].last) << i;
        if (i > 0) {
            ASSERT_LT(EAST_ASIAN_WIDTH_RANGES[i - 1].last, EAST_ASIAN_WIDTH_RANGES[i].first) << i;
        }
    }
}

TEST(EastAsianWidthTable, FindsClassesAtRangeEdges)
{
    struct Case
    {
        char32_t code_point;
        bool listed;
        EastAsianWidthClass width_class;
    };
    const Case cases[] = {
        {0x0000, true, EastAsianWidthClass::Neutral}, // first entry
        {0x0041, true, EastAsianWidthClass::Narrow},
        {0x00A1, true, EastAsianWidthClass::Ambiguous},
        {0x1100, true, EastAsianWidthClass::Wide},      // Hangul choseong
        {0x3000, true, EastAsianWidthClass::Fullwidth}, // ideographic space
        {0xFF61, true, EastAsianWidthClass::Halfwidth},
        {0x9FFC, true, EastAsianWidthClass::Wide},        // last unified ideograph of 13.0
        {0x0870, false, EastAsianWidthClass::Neutral},    // assigned in 14.0
        {0x10FFFD, true, EastAsianWidthClass::Ambiguous}, // last entry
        {0x10FFFE, false, EastAsianWidthClass::Neutral},
    };
    for (const Case& c : cases) {
        EastAsianWidthClass found = EastAsianWidthClass::Neutral;
        const auto code = static_cast<uint32_t>(c.code_point);
        ASSERT_EQ(FindEastAsianWidth(c.code_point, found), c.listed) << std::hex << code;
        if (c.listed) {
            EXPECT_EQ(found, c.width_class) << std::hex << code;
        }
    }
}
