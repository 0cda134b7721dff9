#include "platform/ProcessEntry.h"

#include <gtest/gtest.h>

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
