// Which display the built game runs on when nothing names one, as a new user meets it in a bare
// environment (no X, no Wayland, no runtime folder): headless it prints nothing, and with a window
// asked for it says in one line that there is no display and how to run headless, and fails, also
// when SDL_VIDEODRIVER names a driver that finds none.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GameProcess.h"
#include "demo/DemoSaveFolder.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

fs::path BuildFolder()
{
    const char* build = std::getenv("VESK_BINARY_DIR");
    return build != nullptr ? build : ".";
}

// The headless environment of the tests without any of the display and runtime variables, and
// the temporary folder (for the single-instance lock) inside the home.
std::vector<std::string> BareEnvironment(const fs::path& home)
{
    std::vector<std::string> environment = HeadlessGameEnvironment(home);
    environment.insert(environment.end(), {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR",
                                           "TMPDIR=" + home.string(), "VESK_CLOSE_AFTER_FRAMES=100"});
    return environment;
}

TEST(DemoDisplayChoiceTest, AHeadlessRunInABareEnvironmentPrintsNothing)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    const TempDir home;
    SeedDemoSaveFolder(home.Path(), BuildFolder());
    fs::create_directories(home.Path() / "frames");
    GameProcess game(BuildFolder() / "demo", {"./vesk"}, BareEnvironment(home.Path()),
                     home.Path() / "out.txt");
    const std::optional<int> status = game.WaitForEnd(seconds(120));
    ASSERT_TRUE(status.has_value()) << "the close left the game running";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(ReadWholeFile(home.Path() / "out.txt"), "");
}

// What a windowed start in the bare environment (changed by `extra`) says; its status must fail.
std::string WindowedRunSays(const std::vector<std::string>& extra)
{
    const TempDir home;
    SeedDemoSaveFolder(home.Path(), BuildFolder());
    std::vector<std::string> environment = BareEnvironment(home.Path());
    environment.insert(environment.end(), {"VESK_HEADLESS", WINDOWED_LEAK_CHECK});
    environment.insert(environment.end(), extra.begin(), extra.end());
    GameProcess game(BuildFolder() / "demo", {"./vesk"}, environment, home.Path() / "out.txt");
    const std::optional<int> status = game.WaitForEnd(seconds(120));
    EXPECT_TRUE(status.has_value()) << "a game nobody can see kept running";
    EXPECT_NE(status.value_or(0), 0);
    return ReadWholeFile(home.Path() / "out.txt");
}

// The game's line is all the player reads: no line of a library before it (Wayland's without a
// runtime folder) and no box about the adapters after it.
void ExpectOneLineSaying(const std::string& said, const std::string& what)
{
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_EQ(said.rfind("vesk: ", 0), 0u) << said;
    EXPECT_NE(said.find(what), std::string::npos) << said;
    EXPECT_NE(said.find("VESK_HEADLESS=1"), std::string::npos) << said;
}

TEST(DemoDisplayChoiceTest, WithoutADisplayAWindowedRunSaysHowToRunHeadlessAndFails)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    ExpectOneLineSaying(WindowedRunSays({}), "no display");
}

TEST(DemoDisplayChoiceTest, ANamedDriverWithoutADisplaySaysSoInOneLineAndFails)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    ExpectOneLineSaying(WindowedRunSays({"SDL_VIDEODRIVER=x11"}), "\"x11\"");
}

} // namespace
