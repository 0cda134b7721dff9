// The ways a player leaves the story's route, played headless by the built game: each test starts
// a new player's game (the title shown, lines read by clicks, the exit question off) and goes
// where the route does not, waiting on every step for the screen it leads to (DemoOffRoute.h).
// The frames a reader may want to see are kept as build/demo_story_<step>.png.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoOffRoute.h"
#include "DemoRun.h"
#include "flagwrite/FlagFileWriter.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "game/hints/HintReachability.h"
#include "game/presence/CPresence.h"
#include "game/presence/PresenceRules.h"
#include "screens/flags/JumpToEvent.h"

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

// The state a new game starts from: flag file 901 as the start script saves it, whose listing
// the headless start test holds the game to.
FlagBuffer NewGameState()
{
    const char* source = std::getenv("VESK_SOURCE_DIR");
    std::ifstream file(fs::path(source != nullptr ? source : ".") / "demo/golden/FLAG901.txt");
    const std::string listing((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::vector<uint8_t> bytes = tools::WriteFlagFile(tools::ParseFlagListing(listing));
    ByteCursor cursor(bytes);
    FlagBuffer state;
    EXPECT_TRUE(state.ReadFrom(cursor)) << "no new game's state in the golden listing";
    return state;
}

// Who each town place shows (the first sub map's spots and the town's icons) at the state's date
// and time, after the walk there, as "character: place, place" for every character answered by
// more than one place; the SP scenario's marker is nobody in particular.
std::string TownPlacesOfOneCharacter(const FlagBuffer& state)
{
    std::map<int32_t, std::vector<uint32_t>> places;
    for (uint32_t place = 0; place < TOWN_PLACE_COUNT; ++place) {
        CPresence presence;
        presence.Fill(&state);
        presence.AdvanceClock(TOWN_TRAVEL_MINUTES);
        const CharacterIndex who =
            place == 24 ? presence.RunRules(presence::TownPlace24Rules()) : presence.TownPlaceRule(place);
        if (who != PRESENCE_NOBODY && who != 26)
            places[who].push_back(place);
    }
    std::string several;
    for (const auto& [who, at] : places) {
        if (at.size() < 2)
            continue;
        several += std::to_string(who) + ":";
        for (const uint32_t place : at)
            several += " " + std::to_string(place);
        several += "; ";
    }
    return several;
}

void SetMoment(FlagBuffer& state, int32_t date, int32_t time)
{
    state.SetGameDate(date);
    state.SetGameTime(time);
    state.SetWeekday(DayOfWeek(date));
}

TEST(DemoOffRouteTest, ANewGamesSubMapsShowEachCharacterAtOnePlace)
{
    // Every minute of every day a game can be at, in the story and in the special scenario the
    // ending opens: from the story's morning (23 December) to the calendar's last day, which the
    // flag manager's jumps reach from there, event after event.
    FlagBuffer state = NewGameState();
    std::string found;
    for (const int32_t sp : {0, 1}) {
        state.SetSpMode(sp);
        for (int32_t date = 1223; date <= HINT_LAST_DAY; date = date == 1231 ? 1301 : date + 1) {
            // Each run of minutes with the same characters at several places, once.
            std::string run;
            int32_t first = 0;
            int32_t last = 0;
            const auto report = [&] {
                if (!run.empty())
                    found += (sp ? "SP " : "") + std::to_string(date) + " " + std::to_string(first) + "-" +
                             std::to_string(last) + ": " + run + "\n";
            };
            for (int32_t time = 0; time < 2400; time += time % 100 == 59 ? 41 : 1) {
                SetMoment(state, date, time);
                const std::string several = TownPlacesOfOneCharacter(state);
                if (several != run) {
                    report();
                    run = several;
                    first = time;
                }
                last = time;
            }
            report();
        }
    }
    EXPECT_EQ(found, "") << "characters at several town places (date, game time before the walk)";
    // The flag manager's jump on a new game: heroine 0's next event, 23 December 08:15, with the
    // flags the jump raises.
    state = NewGameState();
    SetMoment(state, 1223, 815);
    for (const size_t flag : {FLAG_JUMP_NEW_DAY, FLAG_JUMP_TAKEN, FLAG_JUMP_TRIP, size_t(8010)})
        state.Flags[flag] = 1;
    EXPECT_EQ(TownPlacesOfOneCharacter(state), "") << "after the flag manager's jump";

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
