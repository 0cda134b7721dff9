// Continue from the title of a new start, played headless by the built game twice on one save
// folder. The first start goes straight to the story and quick-saves on its first message; the
// second shows the title, whose Continue button brings the scene back as it was saved: the morning
// picture, the checkpoint lamp and the message in the window (build/demo_continue_loaded.png),
// with no title button painted over the background; a click then goes on to Yuki's line.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

uint32_t PixelAt(const platform::PngPicture& frame, int x, int y)
{
    return frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + x] | 0xFF000000u;
}

// Whether the pixel is within a few steps of the colour in each channel.
bool Near(const platform::PngPicture& frame, int x, int y, uint32_t rgb)
{
    const uint32_t pixel = PixelAt(frame, x, y);
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((rgb >> shift) & 0xFF)) > 6)
            return false;
    }
    return true;
}

// The morning picture's gradient the first message stands on, at three points.
constexpr uint32_t MORNING_SKY = 0x323796;    // (960, 300)
constexpr uint32_t MORNING_GROUND = 0x1D58BF; // (300, 700)
constexpr uint32_t MORNING_BUTTON = 0x1D52BF; // (300, 630), where Continue stood

// 冬休みの最初の朝、駅前の広場へ向かった。: twenty cells on the first line, no name on the plate.
bool FirstMessage(const platform::PngPicture& frame)
{
    return StoryPromptShown(frame) && !StoryNamePlateShown(frame) &&
           StoryTextIn(frame, 0, 1, STORY_LINE_Y) > 50 && StoryTextIn(frame, 0, 19, STORY_LINE_Y + 60) == 0;
}

TEST(DemoContinueTest, ContinueOnANewStartBringsTheSavedSceneBack)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/AutoRead", 0); });
    {
        // The story waits on its first message: the quick save button saves it there.
        HeadlessDemoPlayer x(home);
        x.StartGame();
        ASSERT_TRUE(x.WaitFor(FirstMessage, 180s)) << "no first message\n" << x.Output();
        const fs::path quick = home.Path() / "vesk/demo/Save/FLAG201";
        ASSERT_TRUE(x.ClickUntil(1540, 1033, [&](const platform::PngPicture&) { return fs::exists(quick); }))
            << "no quick save made";
        x.Close();
        EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    }

    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    // Continue, the title's second button, enabled by the save; a click on the loaded message goes
    // on through the story. Frames as asked: every frame read in turn falls behind a moving
    // prompt on a busy machine and never catches up.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.StartGame();
    const size_t seen = PlayFrameSteps(
        x, {{nullptr, [](const platform::PngPicture& f) { return FrameCellAt(f, 310, 630) == 1u; },
             [](const platform::PngPicture&) {}, [&] { x.Click(300, 630); }},
            {"demo_continue_loaded.png", FirstMessage,
             [](const platform::PngPicture& frame) {
                 // The morning picture the story's lines stand on, the lamp at checkpoint 5 as
                 // the pictures scene left it.
                 EXPECT_EQ(PixelAt(frame, 0, 0), 0xFF0500FFu);
                 EXPECT_TRUE(Near(frame, 960, 300, MORNING_SKY)) << std::hex << PixelAt(frame, 960, 300);
                 EXPECT_TRUE(Near(frame, 300, 700, MORNING_GROUND)) << std::hex << PixelAt(frame, 300, 700);
                 // The title's Continue button is gone with the title.
                 EXPECT_TRUE(Near(frame, 300, 630, MORNING_BUTTON)) << std::hex << PixelAt(frame, 300, 630);
             },
             [&] { x.Click(300, 630); }},
            {"demo_continue_next.png",
             [](const platform::PngPicture& frame) {
                 return StoryNamePlateShown(frame) && StoryPromptShown(frame);
             },
             [](const platform::PngPicture&) {}}});
    EXPECT_EQ(seen, 3u) << "steps seen: " << seen
                        << " (the title with Continue 1, the loaded message 2, Yuki's line 3)\n"
                        << x.Output();
}

} // namespace
