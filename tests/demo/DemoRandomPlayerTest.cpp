// A random player in the demo (DemoRandomPlayer): from a new player's first start, a budget of
// random inputs that go where a player goes, with no message box, crash or hang, and a save folder
// the next start can use. A few seeds run in the suite; with VESK_LONG_TESTS=1 each plays longer
// and ManySeeds plays many more. VESK_RANDOM_SEEDS=7,12 makes ManySeeds play those seeds, to
// replay a failure; VESK_RANDOM_INPUTS sets the budget, and VESK_RANDOM_SURVEY=1 plays on past
// failures to list every distinct one; VESK_RANDOM_KEEP_EVERY=N keeps the screen of every N-th
// input in the build folder, to see where the player went.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRandomPlayer.h"
#include "DemoRun.h"

namespace {

namespace fs = std::filesystem;

bool LongTests()
{
    const char* value = std::getenv("VESK_LONG_TESTS");
    return value != nullptr && *value != '\0' && std::string(value) != "0";
}

int Inputs()
{
    if (const char* inputs = std::getenv("VESK_RANDOM_INPUTS"); inputs != nullptr && *inputs != '\0')
        return std::atoi(inputs);
    return LongTests() ? 5000 : 160;
}

void PlaySeed(uint32_t seed)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    DemoRandomPlayer player(home, seed);
    const char* survey = std::getenv("VESK_RANDOM_SURVEY");
    player.SetSurvey(survey != nullptr && *survey != '\0' && std::string(survey) != "0");
    const std::string failure = player.Play(Inputs());
    EXPECT_EQ(failure, "") << player.Tally();
    std::cout << "seed " << seed << ": " << player.Tally() << "\n";
}

class DemoRandomPlayerTest : public ::testing::TestWithParam<uint32_t>
{};

// Seeds whose play meets none of the faults the demo had; a play is not repeatable to the input
// (the game's clock runs on while it waits for the next one), so a failure names its script.
TEST_P(DemoRandomPlayerTest, MeetsNoErrorBox)
{
    PlaySeed(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Seeds, DemoRandomPlayerTest, ::testing::Values(5u, 7u, 16u),
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                             return "Seed" + std::to_string(info.param);
                         });

TEST(DemoRandomPlayerLongTest, ManySeeds)
{
    std::vector<uint32_t> seeds;
    if (const char* listed = std::getenv("VESK_RANDOM_SEEDS"); listed != nullptr && *listed != '\0') {
        std::istringstream in(listed);
        for (std::string seed; std::getline(in, seed, ',');)
            seeds.push_back(static_cast<uint32_t>(std::stoul(seed)));
    } else if (LongTests()) {
        for (uint32_t seed = 100; seed < 120; ++seed)
            seeds.push_back(seed);
    } else {
        GTEST_SKIP() << "VESK_LONG_TESTS=1 or VESK_RANDOM_SEEDS plays more seeds";
    }
    for (const uint32_t seed : seeds)
        PlaySeed(seed);
}

} // namespace
