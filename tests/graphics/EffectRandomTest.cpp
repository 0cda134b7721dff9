// The effects' random draws: a value of the engine reduced modulo n, the default engine within
// its range, and no division by a modulus of 0.

#include "graphics/EffectRandom.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

TEST(EffectRandom, ReducesTheEnginesValueModuloN)
{
    EffectRandom::Engine previous = EffectRandom::SetEngine([] { return EFFECT_RANDOM_LIMIT; });
    EXPECT_EQ(EffectRandom::Draw(1360), 994); // 191932354 = 141126 x 1360 + 994
    EXPECT_EQ(EffectRandom::Draw(1), 0);
    EXPECT_EQ(EffectRandom::Draw(0), 0);
    EXPECT_EQ(EffectRandom::Draw(-5), 0);
    EffectRandom::SetEngine(std::move(previous));
}

TEST(EffectRandom, TheDefaultEngineStaysBelowN)
{
    EffectRandom::Engine previous = EffectRandom::SetEngine(nullptr);
    for (int i = 0; i < 200; ++i) {
        const int32_t value = EffectRandom::Draw(7);
        EXPECT_GE(value, 0);
        EXPECT_LT(value, 7);
    }
    EffectRandom::SetEngine(std::move(previous));
}

TEST(EffectRandom, TheDefaultEngineIsOneSeededSequence)
{
    // One engine drawn in turn repeats after the same seed; an engine made per draw would not.
    EffectRandom::Engine previous = EffectRandom::SetEngine(nullptr);
    EffectRandom::Seed(42);
    std::vector<int32_t> first;
    for (int i = 0; i < 16; ++i)
        first.push_back(EffectRandom::Draw(1'000'000));
    EffectRandom::Seed(42);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(EffectRandom::Draw(1'000'000), first[static_cast<size_t>(i)]) << i;
    EXPECT_GT(std::set<int32_t>(first.begin(), first.end()).size(), 8u);
    EffectRandom::SetEngine(std::move(previous));
}
