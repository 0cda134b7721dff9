// The menu bar's dialogs opened in the demo game, played headless by the built game with scripted
// input: a click on the bar's first title opens its drop-down, the arrow keys walk to the window
// settings (ウィンドウ設定) and Return opens the window-mode dialog with its window-size and
// full-screen pages; the same way to the help title's version information (バージョン情報). A
// headless run answers each modal dialog with Cancel and says so on its output, which thus names
// the dialogs that opened.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "GameProcess.h"
#include "app/CVersion.h"
#include "app/CWindowModeDLG.h"

namespace {

namespace fs = std::filesystem;

std::string Cancelled(uint32_t template_id)
{
    return "dialog " + std::to_string(template_id) + " closed with Cancel (headless)";
}

TEST(DemoMenuBarTest, TheMenuBarOpensTheWindowModeAndVersionDialogs)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    const fs::path input = home.Path() / "input.txt";
    {
        // Above the picture, the bar: its first title, then keys in the drop-down (right to the
        // window title, left round to the help title; up to the last item).
        std::ofstream out(input);
        out << PressAt(600, 20, -10, 20, 40) << "700 key 0x27\n800 key 0x26\n900 key 0x0D\n"
            << PressAt(2000, 20, -10, 20, 40) << "2100 key 0x25\n2200 key 0x26\n2300 key 0x0D\n";
    }
    std::system(home.Command("VESK_INPUT_SCRIPT='" + input.string() + "' VESK_CLOSE_AFTER_FRAMES=4000",
                             HANG_KILL_SECONDS)
                    .c_str());
    const std::string out = ReadWholeFile(home.Path() / "out.txt");
    EXPECT_NE(out.find(Cancelled(IDD_WINDOW_MODE)), std::string::npos) << out;
    EXPECT_NE(out.find(Cancelled(IDD_VERSION)), std::string::npos) << out;
}

} // namespace
