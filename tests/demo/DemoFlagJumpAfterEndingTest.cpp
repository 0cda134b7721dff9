// The flag manager's jump to an event in a game begun once the title route has taken the new
// game's state back with the special scenario on, as the ending leaves it, played headless by the
// built game: the event plays over its picture with no error box and goes on into the town
// (DemoOffRoute.h).

#include <filesystem>

#include <gtest/gtest.h>

#include "DemoOffRoute.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"

namespace {

namespace fs = std::filesystem;

TEST(DemoFlagJumpAfterEndingTest, TheJumpPlaysTheEventInAGameBegunAfterTheSpecialScenario)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0);
        config.SetInt("/Config/GameMode", 1);
    });
    ASSERT_NO_FATAL_FAILURE(SeedClearedGame(home));
    HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
    player.SetClockRate(4);
    player.StartGame();
    JumpToTheNextEventAfterTheSpecialScenario(player);
}

} // namespace
