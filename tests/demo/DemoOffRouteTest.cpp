// The ways a player leaves the story's route, played headless by the built game: each test starts
// a new player's game (the title shown, lines read by clicks, the exit question off) and goes
// where the route does not, waiting on every step for the screen it leads to (DemoOffRoute.h).
// The frames a reader may want to see are kept as build/demo_story_<step>.png.

#include <filesystem>

#include <gtest/gtest.h>

#include "DemoOffRoute.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"

namespace {

namespace fs = std::filesystem;

void NewPlayer(const HeadlessDemoHome& home, bool game_mode = false)
{
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0);
        config.SetInt("/Config/GameMode", game_mode ? 1 : 0);
    });
}

TEST(DemoOffRouteTest, ASaveInTheFirstSlotIsLoadedOnTheNextStart)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    NewPlayer(home);
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    SaveInTheFirstSlotAndLoadItOnTheNextStart(player);
}

TEST(DemoOffRouteTest, TheSideMenuAndTheMenuBarReturnToTheTitle)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    NewPlayer(home);
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    ReturnToTheTitleBothWays(player, true);
}

TEST(DemoOffRouteTest, TheFlagJumpPlaysTheEventAndLeadsToTheTitleAlsoAfterALoad)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    NewPlayer(home, true);
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    JumpToTheNextEventOnANewGame(player);
}

TEST(DemoOffRouteTest, TheChoicesAutoSaveLoadedOverAnotherLineLeavesThatLineBehind)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    NewPlayer(home);
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    LoadTheChoicesAutoSaveOverAnotherLine(player);
}

TEST(DemoOffRouteTest, QuickSavesOnTheMessageTheSelectionAndThePlaceComeBackWhole)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    NewPlayer(home);
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    QuickSaveOnEachKindOfScreenAndContinue(player);
}

TEST(DemoOffRouteTest, AfterTheEndingContinueBringsTheSavedLineBackOverItsPicture)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    NewPlayer(home);
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    ContinueAfterTheEnding(player);
}

} // namespace
