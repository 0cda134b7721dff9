// The menu bar's dialogs opened in the demo game, played headless by the built game with scripted
// input: a click on the bar's first title opens its drop-down, the arrow keys walk to the window
// settings (ウィンドウ設定) and Return opens the window-mode dialog with its window-size and
// full-screen pages; the same way to the help title's version information (バージョン情報). A
// headless run answers each modal dialog with Cancel and says so on its output, which thus names
// the dialogs that opened.

#include <filesystem>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
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
    HeadlessDemoPlayer x(home);
    x.StartGame();
    ASSERT_TRUE(x.WaitFor([](const platform::PngPicture&) { return true; })) << "no frame\n" << x.Output();
    // Above the picture, the bar: its first title, then keys in the drop-down, each once the game
    // has drawn or turned a while; the dialog's line on the output is what the keys lead to.
    const auto keys = [&x](std::initializer_list<const char*> keys) {
        return [&x, keys] {
            x.Press(20, -10);
            for (const char* key : keys) {
                x.WaitFrames(3);
                x.Send(std::string("key ") + key);
            }
        };
    };
    const auto said = [&x](uint32_t dialog) {
        return [&x, dialog](const platform::PngPicture&) {
            return x.Output().find(Cancelled(dialog)) != std::string::npos;
        };
    };
    // Right to the window title, left round to the help title; up to the last item.
    EXPECT_TRUE(x.ActUntil(keys({"0x27", "0x26", "0x0D"}), said(IDD_WINDOW_MODE))) << x.Output();
    EXPECT_TRUE(x.ActUntil(keys({"0x25", "0x26", "0x0D"}), said(IDD_VERSION))) << x.Output();
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
}

} // namespace
