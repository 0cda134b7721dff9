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

// A new player's game, started with frames asked for at four times the game's pace, played by
// one off-route scenario.
void PlayOffRoute(bool game_mode, void (*scenario)(HeadlessDemoPlayer&))
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    NewPlayer(home, game_mode);
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    scenario(player);
}

TEST(DemoOffRouteTest, ASaveInTheFirstSlotIsLoadedOnTheNextStart)
{
    PlayOffRoute(false,
                 [](HeadlessDemoPlayer& player) { SaveInTheFirstSlotAndLoadItOnTheNextStart(player); });
}

TEST(DemoOffRouteTest, TheSideMenuAndTheMenuBarReturnToTheTitle)
{
    PlayOffRoute(false, [](HeadlessDemoPlayer& player) { ReturnToTheTitleBothWays(player, true); });
}

TEST(DemoOffRouteTest, TheFlagJumpPlaysTheEventAndGoesOnIntoTheTownAlsoAfterALoad)
{
    PlayOffRoute(true, [](HeadlessDemoPlayer& player) { JumpToTheNextEventOnANewGame(player); });
}

TEST(DemoOffRouteTest, ANewGameAfterTheFlagJumpStartsFromTheStorysMorning)
{
    PlayOffRoute(true,
                 [](HeadlessDemoPlayer& player) { NewGameAfterTheJumpStartsFromTheStorysMorning(player); });
}

TEST(DemoOffRouteTest, ANewGamesSubMapsShowEachCharacterAtOnePlace)
{
    PlayOffRoute(true, [](HeadlessDemoPlayer& player) { PlayANewGameToTheTownsSubMap(player); });
}

TEST(DemoOffRouteTest, TheChoicesAutoSaveLoadedOverAnotherLineLeavesThatLineBehind)
{
    PlayOffRoute(false, [](HeadlessDemoPlayer& player) { LoadTheChoicesAutoSaveOverAnotherLine(player); });
}

TEST(DemoOffRouteTest, QuickSavesOnTheMessageTheSelectionAndThePlaceComeBackWhole)
{
    PlayOffRoute(false, [](HeadlessDemoPlayer& player) { QuickSaveOnEachKindOfScreenAndContinue(player); });
}

TEST(DemoOffRouteTest, AfterTheEndingContinueBringsTheSavedLineBackOverItsPicture)
{
    PlayOffRoute(false, [](HeadlessDemoPlayer& player) { ContinueAfterTheEnding(player); });
}

} // namespace
