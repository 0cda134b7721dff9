// The backlog opened from the choice after the story's messages, played headless by the built game:
// the messages clicked through, the side menu's backlog button at the choice shows the story's
// records, each its own short line, and none holding the choice's labels run together
// (build/demo_story_choice_backlog.png).

#include <chrono>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Frame = DemoPlayer::Frame;

// The choice window's panel cells.
constexpr uint32_t CHOICE_CELL = tools::CHOICE_CELL_MIDDLE;
// Backlog rows 300 pixels apart, each with its body from (184, 178) of it to (1352, 344).
constexpr int ROW_HEIGHT = 300;

bool ChoiceShown(const Frame& frame)
{
    return FrameCellAt(frame, 500, 222) == CHOICE_CELL && FrameCellAt(frame, 1100, 570) == CHOICE_CELL;
}

bool RowShown(const Frame& frame, int row)
{
    return FrameCellAt(frame, 50, ROW_HEIGHT * row + 150) == tools::BACKLOG_FRAME;
}

TEST(DemoChoiceBacklogTest, TheBacklogAtTheChoiceHoldsTheStorysLinesNotTheChoicesLabels)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "choice_backlog_alone.mes");
        config.SetInt("/Config/AutoRead", 0);
        config.SetInt("/Config/Demo/SkipTitle", 0);
    });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.SetClockRate(4);
    x.StartGame();
    // The story's messages clicked through, each once it waits, until the choice shows.
    const auto choice = x.ClickThroughTo(ChoiceShown);
    ASSERT_TRUE(choice) << "no choice after the story's messages";

    // The side menu's backlog button, in the fifth slot.
    x.Move(1915, 1000);
    ASSERT_TRUE(
        x.WaitFor([](const Frame& frame) { return FrameCellAt(frame, 1920 - 3, 446 + 3) == 0xF04u; }, 60s))
        << "no backlog button in the side menu";
    const auto backlog = x.ClickUntil(1720, 490, [](const Frame& frame) { return RowShown(frame, 0); });
    ASSERT_TRUE(backlog) << "no backlog";
    const auto settled =
        x.WaitFor([](const Frame& frame) { return RowShown(frame, 0) && RowShown(frame, 2); }, 30s);
    const Frame& shown = settled ? *settled : *backlog;
    x.Keep(shown, "choice_backlog");
    // Each record's body is one or two lines of the story: its third line and foot stay empty.
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(WhiteIn(shown, 184, ROW_HEIGHT * row + 290, 1352, ROW_HEIGHT * row + 344), 0)
            << "row " << row;
}

} // namespace
