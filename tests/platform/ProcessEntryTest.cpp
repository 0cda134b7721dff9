#include "platform/ProcessEntry.h"

#include <algorithm>
#include <string>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ScopedEnv.h"

TEST(ProcessEntry, ArgumentsAreJoinedWithSingleSpaces)
{
    const char* none[] = {"vesk"};
    EXPECT_EQ(platform::JoinCommandLine(1, none), u"");
    const char* one[] = {"vesk", "rotate"};
    EXPECT_EQ(platform::JoinCommandLine(2, one), u"rotate");
    const char* several[] = {"vesk", "NO_UPDATE", "", "設定"};
    EXPECT_EQ(platform::JoinCommandLine(4, several), u"NO_UPDATE  設定");
}

namespace {

std::u16string g_seen_command_line;
int g_seen_show = -1;

int FakeWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show_command)
{
    g_seen_command_line = command_line;
    g_seen_show = show_command;
    return instance != nullptr && previous == nullptr ? 7 : -1;
}

} // namespace

TEST(ProcessEntry, WinMainGetsTheModuleTheCommandLineAndANormalShow)
{
    char program[] = "vesk";
    char word[] = "rotate";
    char* argv[] = {program, word, nullptr};
    EXPECT_EQ(platform::RunWinMain(2, argv, FakeWinMain), 7);
    EXPECT_EQ(g_seen_command_line, u"rotate");
    EXPECT_EQ(g_seen_show, 1); // SW_SHOWNORMAL
}

namespace {

// Runs the entry with SDL_VIDEODRIVER set to DRIVERS and no way to a Wayland compositor (no
// runtime folder, or the relative one given); what standard error got, and the status.
std::pair<std::string, int> RunWithoutWaylandRuntime(const char* drivers,
                                                     const char* relative_runtime = nullptr)
{
    const ScopedEnv driver("SDL_VIDEODRIVER", drivers);
    const ScopedEnv runtime("XDG_RUNTIME_DIR", relative_runtime);
    const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    char program[] = "vesk";
    char* argv[] = {program, nullptr};
    g_seen_show = -1;
    testing::internal::CaptureStderr();
    const int status = platform::RunWinMain(1, argv, FakeWinMain);
    return {testing::internal::GetCapturedStderr(), status};
}

} // namespace

// Wayland's library would say a line of its own before the program's: the player reads one line,
// and a list that names another driver too starts that one without a word.
TEST(ProcessEntry, WaylandNamedWithoutARuntimeFolderIsSaidInOneLineOfOurs)
{
    const auto [alone, alone_status] = RunWithoutWaylandRuntime("wayland");
    EXPECT_EQ(alone_status, 1);
    EXPECT_EQ(g_seen_show, -1) << "WinMain ran";
    EXPECT_EQ(std::count(alone.begin(), alone.end(), '\n'), 1) << alone;
    EXPECT_THAT(alone, testing::StartsWith("vesk: SDL's video driver \"wayland\""));
    EXPECT_THAT(alone, testing::HasSubstr("without XDG_RUNTIME_DIR"));
    // Set but relative, it is said to be so.
    const auto [relative, relative_status] = RunWithoutWaylandRuntime("wayland", "run/user");
    EXPECT_EQ(relative_status, 1);
    EXPECT_THAT(relative, testing::HasSubstr("XDG_RUNTIME_DIR (\"run/user\") is a relative path;"));
    EXPECT_THAT(relative, testing::Not(testing::HasSubstr("without")));

    const auto [listed, listed_status] = RunWithoutWaylandRuntime("wayland,dummy");
    EXPECT_EQ(listed_status, 7);
    EXPECT_EQ(listed, "");
}
