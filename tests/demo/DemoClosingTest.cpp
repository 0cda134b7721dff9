// How the built game ends and how it refuses to start: a TERM or an interrupt ends it as the
// confirmed exit command does (status 0, settings written), also while the menu bar is open; the
// test hook's close ends it without the exit question (also in a window, on its first loop turn),
// and a second copy or a lock folder that is not the user's own is refused with a line on
// standard error and status 1.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

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

// A home with the demo's seeded save folder and the folders a headless run writes to.
struct DemoHome
{
    DemoHome()
    {
        fs::create_directories(dir.Path() / "run");
        fs::create_directories(dir.Path() / "frames");
        SeedDemoSaveFolder(dir.Path(), BuildFolder());
    }
    fs::path Path() const { return dir.Path(); }
    fs::path Config() const { return dir.Path() / "vesk/demo/Save/config.xml"; }
    // The seeded folder has the exit question off; these runs must end without answering it.
    // A set-up that failed would leave it off and the tests passing for nothing.
    void AskBeforeExit() const
    {
        CXMLDocument config(CStringUTF8(Config().string().c_str()));
        ASSERT_EQ(config.Load(), 1u) << Config();
        config.SetInt("/Config/Dialog/02/Enable", 1);
        ASSERT_EQ(config.Save(), 1u) << Config();
    }
    TempDir dir;
};

std::unique_ptr<GameProcess> StartDemo(const DemoHome& home, std::vector<std::string> extra,
                                       const std::string& output = "out.txt")
{
    std::vector<std::string> environment = HeadlessGameEnvironment(home.Path());
    environment.insert(environment.end(), extra.begin(), extra.end());
    return std::make_unique<GameProcess>(BuildFolder() / "demo", std::vector<std::string>{"./vesk"},
                                         environment, home.Path() / output);
}

// Waits until the game has shown a few frames: it is in its loop. False when it ended first.
bool WaitUntilPlaying(GameProcess& game, const DemoHome& home)
{
    for (;;) {
        size_t frames = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(home.Path() / "frames"))
            ++frames;
        if (frames >= 3)
            return true;
        if (!game.IsRunning())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TEST(DemoClosingTest, ATermOrAnInterruptEndsTheGameWithItsSettingsWritten)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    for (const int signal_number : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal_number == SIGTERM ? "SIGTERM" : "SIGINT");
        const DemoHome home;
        // The exit question on (the seeded folder has it off): a signal must not wait for it.
        ASSERT_NO_FATAL_FAILURE(home.AskBeforeExit());
        const std::unique_ptr<GameProcess> game = StartDemo(home, {});
        ASSERT_TRUE(WaitUntilPlaying(*game, home)) << ReadWholeFile(home.Path() / "out.txt");
        // Read at start-up and written back only at the end.
        fs::remove(home.Config());
        const auto sent = std::chrono::steady_clock::now();
        ASSERT_TRUE(game->Signal(signal_number));
        const std::optional<int> status = game->WaitForEnd(seconds(60));
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
        RecordProperty(signal_number == SIGTERM ? "term_ms" : "int_ms", static_cast<int>(took.count()));
        ASSERT_TRUE(status.has_value()) << "still running a minute after the signal";
        EXPECT_EQ(*status, 0) << ReadWholeFile(home.Path() / "out.txt");
        EXPECT_TRUE(fs::exists(home.Config())) << "the settings were not written";
        EXPECT_EQ(ReadWholeFile(home.Path() / "out.txt").find("Box"), std::string::npos)
            << ReadWholeFile(home.Path() / "out.txt");
    }
}

TEST(DemoClosingTest, ATermEndsTheGameWhileTheMenuBarIsOpen)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    const DemoHome home;
    // The bar's first title clicked open, and nothing after it: the drop-down stays open.
    const fs::path script = home.Path() / "input.txt";
    const fs::path taken = home.Path() / "taken.txt";
    std::ofstream(script) << "200 click 20 -10\n";
    const std::unique_ptr<GameProcess> game =
        StartDemo(home, {"VESK_INPUT_SCRIPT=" + script.string(), "VESK_INPUT_TAKEN=" + taken.string()});
    // The click taken and let go: the release was pushed from inside the menu's loop.
    while (ReadWholeFile(taken).rfind("2 0 ", 0) != 0) {
        ASSERT_TRUE(game->IsRunning()) << ReadWholeFile(home.Path() / "out.txt");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(game->Signal(SIGTERM));
    const std::optional<int> status = game->WaitForEnd(seconds(60));
    ASSERT_TRUE(status.has_value()) << "still running a minute after the signal, in the menu's loop";
    EXPECT_EQ(*status, 0) << ReadWholeFile(home.Path() / "out.txt");
}

TEST(DemoClosingTest, TheTestHookEndsTheGameWithoutTheExitQuestion)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    const DemoHome home;
    ASSERT_NO_FATAL_FAILURE(home.AskBeforeExit());
    const std::unique_ptr<GameProcess> game = StartDemo(home, {"VESK_CLOSE_AFTER_FRAMES=100"});
    const std::optional<int> status = game->WaitForEnd(seconds(120));
    ASSERT_TRUE(status.has_value()) << "the close left the game running";
    EXPECT_EQ(*status, 0) << ReadWholeFile(home.Path() / "out.txt");
    EXPECT_TRUE(fs::exists(home.Config()));
}

// In a real window the first loop turn's close must end the game too, without a message box
// that nobody can see or answer.
TEST(DemoClosingTest, TheTestHookEndsAWindowedGameOnItsFirstTurn)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v Xvfb >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no X server to start: xvfb-run and Xvfb (Debian xvfb, xauth) are not installed";
    const DemoHome home;
    std::vector<std::string> environment = HeadlessGameEnvironment(home.Path());
    environment.insert(environment.end(), {"VESK_HEADLESS", "SDL_VIDEODRIVER=x11", "VESK_FRAME_DUMP",
                                           "VESK_CLOSE_AFTER_FRAMES=1", WINDOWED_LEAK_CHECK});
    GameProcess game(BuildFolder() / "demo", {"xvfb-run", "-a", "-s", "-screen 0 1280x800x24", "./vesk"},
                     environment, home.Path() / "out.txt");
    const std::optional<int> status = game.WaitForEnd(seconds(120));
    ASSERT_TRUE(status.has_value()) << "the close left the windowed game running";
    EXPECT_EQ(*status, 0) << ReadWholeFile(home.Path() / "out.txt");
    EXPECT_TRUE(fs::exists(home.Config()));
}

TEST(DemoClosingTest, ASecondCopyIsRefusedWithALineAndAFailingStatus)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    const DemoHome home;
    const std::unique_ptr<GameProcess> first = StartDemo(home, {});
    ASSERT_TRUE(WaitUntilPlaying(*first, home)) << ReadWholeFile(home.Path() / "out.txt");
    const std::unique_ptr<GameProcess> second = StartDemo(home, {"VESK_FRAME_DUMP"}, "second.txt");
    const std::optional<int> status = second->WaitForEnd(seconds(60));
    ASSERT_TRUE(status.has_value()) << "the second copy kept running";
    EXPECT_EQ(*status, 1);
    EXPECT_NE(ReadWholeFile(home.Path() / "second.txt").find("the game is already running"),
              std::string::npos)
        << ReadWholeFile(home.Path() / "second.txt");
    EXPECT_TRUE(first->IsRunning()) << "the first copy did not keep running";
    ASSERT_TRUE(first->Signal(SIGTERM));
    EXPECT_EQ(first->WaitForEnd(seconds(60)), 0);
}

// Without a runtime folder the lock lives in a folder of the user's own under the temporary
// folder; a file or another user's folder in its place refuses the start instead of sharing it.
TEST(DemoClosingTest, ALockFolderThatIsNotTheUsersOwnRefusesTheStart)
{
    ASSERT_TRUE(fs::exists(BuildFolder() / "demo/vesk")) << "build the demo target first";
    const DemoHome home;
    const fs::path temporary = home.Path() / "tmp";
    fs::create_directories(temporary);
    std::ofstream(temporary / ("vesk-" + std::to_string(::getuid()))) << "not a folder";
    const std::unique_ptr<GameProcess> game =
        StartDemo(home, {"XDG_RUNTIME_DIR", "TMPDIR=" + temporary.string(), "VESK_CLOSE_AFTER_FRAMES=100"});
    const std::optional<int> status = game->WaitForEnd(seconds(60));
    ASSERT_TRUE(status.has_value()) << "the refused start kept running";
    EXPECT_EQ(*status, 1);
    const std::string said = ReadWholeFile(home.Path() / "out.txt");
    EXPECT_NE(said.find("the single-instance lock cannot be made"), std::string::npos) << said;
    EXPECT_NE(said.find(temporary.string()), std::string::npos) << said;
    EXPECT_EQ(said.find("Save Error"), std::string::npos) << said;
}

} // namespace
