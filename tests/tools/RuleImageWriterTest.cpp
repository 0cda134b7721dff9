#include "rulegen/RuleImageWriter.h"

#include <gtest/gtest.h>

using namespace tools;

TEST(RuleImageWriter, PatternsSpreadValuesFromFirstToLast)
{
    const auto right = MakeRuleImage(RulePattern::WipeRight, 256, 2);
    ASSERT_EQ(right.size(), 512u);
    EXPECT_EQ(right[0], 0);
    EXPECT_EQ(right[255], 255);
    EXPECT_EQ(right[256 + 100], 100);
    const auto down = MakeRuleImage(RulePattern::WipeDown, 3, 6);
    EXPECT_EQ(down[0], 0);
    EXPECT_EQ(down[3 * 5 + 2], 255);
    EXPECT_EQ(down[3 * 1], 51); // row 1 of 0..5: 255 / 5
    const auto radial = MakeRuleImage(RulePattern::Radial, 5, 5);
    EXPECT_EQ(radial[2 * 5 + 2], 0);
    EXPECT_EQ(radial[0], 255);
    const auto blinds = MakeRuleImage(RulePattern::Blinds, 1, 32);
    EXPECT_EQ(blinds[15], 255);
    EXPECT_EQ(blinds[16], 0);
    const auto flat = MakeRuleImage(RulePattern::Constant, 2, 2, 77);
    EXPECT_EQ(flat, (std::vector<uint8_t>{77, 77, 77, 77}));
    EXPECT_THROW(MakeRuleImage(RulePattern::Radial, 0, 4), std::invalid_argument);
}

TEST(RuleImageWriter, PatternNames)
{
    RulePattern pattern;
    ASSERT_TRUE(ParseRulePattern("blinds", pattern));
    EXPECT_EQ(pattern, RulePattern::Blinds);
    EXPECT_FALSE(ParseRulePattern("spiral", pattern));
}
