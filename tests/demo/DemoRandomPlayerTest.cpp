// A random player in the demo (DemoRandomPlayer): from a new player's first start (or, in the
// game mode, from the demo's save folder), a budget of random inputs and walks that go where a
// player goes, with no message box, crash or hang, no screen left over the one under it, a new
// game like a fresh start's, and a save folder the next start can use. A few seeds run in the suite; with VESK_LONG_TESTS=1 each plays longer
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

// Odd seeds of the long run play in the game mode.
void PlaySeed(uint32_t seed, bool game_mode)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    DemoRandomPlayer player(home, seed);
    player.SetGameMode(game_mode);
    const char* survey = std::getenv("VESK_RANDOM_SURVEY");
    player.SetSurvey(survey != nullptr && *survey != '\0' && std::string(survey) != "0");
    const std::string failure = player.Play(Inputs());
    EXPECT_EQ(failure, "") << player.Tally();
    std::cout << "seed " << seed << (game_mode ? " (game mode)" : "") << ": " << player.Tally() << "\n";
}

struct Seed
{
    uint32_t seed;
    bool game_mode;
};

class DemoRandomPlayerTest : public ::testing::TestWithParam<Seed>
{};

// Seeds whose play meets none of the faults the demo had; a play is not repeatable to the input
// (the game's clock runs on while it waits for the next one), so a failure names its script.
TEST_P(DemoRandomPlayerTest, MeetsNoErrorBox)
{
    PlaySeed(GetParam().seed, GetParam().game_mode);
}

INSTANTIATE_TEST_SUITE_P(Seeds, DemoRandomPlayerTest,
                         ::testing::Values(Seed{5, false}, Seed{7, false}, Seed{16, false}, Seed{3, true}),
                         [](const ::testing::TestParamInfo<Seed>& info) {
                             return "Seed" + std::to_string(info.param.seed) +
                                    (info.param.game_mode ? "GameMode" : "");
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
        PlaySeed(seed, seed % 2 == 1);
}

} // namespace
