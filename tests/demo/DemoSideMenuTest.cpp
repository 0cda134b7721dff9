// The side menu after the day's screens, played headless by the built game: the day's place and
// area screens and the town after them as the start script, the town's leader walked up into the
// house's door; at the door's message in the message window the pointer at the screen's right edge
// slides the side menu in with its tab and its buttons (build/demo_story_sidemenu_after_day.png),
// not as a bare panel.

#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "foundation/CXMLDocument.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool CellIs(const DemoPlayer::Frame& frame, int x, int y, uint32_t id)
{
    return FrameCellAt(frame, x, y) == id;
}

// Read in each piece's top-left corner, clear of its words.
bool PanelIn(const DemoPlayer::Frame& frame)
{
    return CellIs(frame, 1520 + 3, 1000, tools::SIDE_MENU_SHEET_PANEL);
}

TEST(DemoSideMenuTest, AfterTheDaysScreensTheMenuSlidesInWithItsTabAndButtons)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "day_alone.mes");
        config.SetInt("/Config/AutoRead", 0); // the door's message waits for the player
    });
    HeadlessDemoPlayer x(home);
    x.StartGame();
    // The character-area screen, the time of day, the place screen and its decide into the area
    // screens, each of which slides the side menu out as it leaves; the town follows.
    ASSERT_TRUE(x.WaitFor([](const DemoPlayer::Frame& frame) {
        return CellIs(frame, 1000, 1000, tools::AREA_SHEET_HELP_BAR) &&
               CellIs(frame, 1450, 865, tools::AREA_SHEET_BUTTON + 2);
    })) << "no character-area screen";
    ASSERT_TRUE(x.ClickUntil(460, 300, [](const DemoPlayer::Frame& frame) {
        return CellIs(frame, 960, 300, tools::TIME_SHEET_DIAL);
    })) << "no time of day";
    ASSERT_TRUE(x.ClickUntil(1170, 630, [](const DemoPlayer::Frame& frame) {
        return CellIs(frame, 1190, 865, tools::AREA_SHEET_BUTTON) &&
               CellIs(frame, 1450, 865, tools::AREA_SHEET_BUTTON + 2);
    })) << "no place screen";
    ASSERT_TRUE(x.ClickUntil(1190, 865, [](const DemoPlayer::Frame& frame) {
        return CellIs(frame, 1840, 1000, tools::AREA_SHEET_BUTTON + 4) &&
               !CellIs(frame, 1190, 865, tools::AREA_SHEET_BUTTON);
    })) << "no area screen";
    PlayTheTown(x);
    if (::testing::Test::HasFatalFailure())
        return;

    x.Move(1915, 500);
    const auto menu = x.WaitFor(PanelIn, 60s);
    ASSERT_TRUE(menu) << "the side menu did not slide in";
    // The slide's last frame: the panel and the buttons stand home together.
    const auto home_frame = x.WaitFor(
        [](const DemoPlayer::Frame& frame) {
            return PanelIn(frame) && CellIs(frame, 1520 + 3, 152 - 10, tools::SIDE_MENU_SHEET_PANEL) &&
                   FrameCellAt(frame, 1620 + 3, 642 + 3).has_value() &&
                   !CellIs(frame, 1620 + 3, 642 + 3, tools::SIDE_MENU_SHEET_PANEL);
        },
        20s);
    const DemoPlayer::Frame& shown = home_frame ? *home_frame : *menu;
    x.Keep(shown, "sidemenu_after_day");
    EXPECT_EQ(FrameCellAt(shown, 1846 + 3, 24 + 3), 0xF00u) << "the Menu tab";
    EXPECT_EQ(FrameCellAt(shown, 1620 + 3, 152 + 3), 0xF01u) << "the save button";
    EXPECT_EQ(FrameCellAt(shown, 1620 + 3, 642 + 3), 0xF08u)
        << "the exit button, in the sixth slot without the flag manager";
}

} // namespace
