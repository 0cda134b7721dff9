// Which display the built game runs on when nothing names one, as a new user meets it in a bare
// environment (no X, no Wayland, no runtime folder): headless it prints nothing, and with a window
// asked for it says in one line that there is no display and how to run headless, and fails.

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

TEST(DemoDisplayChoiceTest, WithoutADisplayAWindowedRunSaysHowToRunHeadlessAndFails)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    const TempDir home;
    SeedDemoSaveFolder(home.Path(), BuildFolder());
    std::vector<std::string> environment = BareEnvironment(home.Path());
    environment.insert(environment.end(), {"VESK_HEADLESS", WINDOWED_LEAK_CHECK});
    GameProcess game(BuildFolder() / "demo", {"./vesk"}, environment, home.Path() / "out.txt");
    const std::optional<int> status = game.WaitForEnd(seconds(120));
    ASSERT_TRUE(status.has_value()) << "a game nobody can see kept running";
    EXPECT_NE(*status, 0);
    const std::string said = ReadWholeFile(home.Path() / "out.txt");
    const size_t line = said.find("no display");
    ASSERT_NE(line, std::string::npos) << said;
    const size_t end = said.find('\n', line);
    EXPECT_NE(said.substr(line, end - line).find("VESK_HEADLESS=1"), std::string::npos) << said;
}

} // namespace
