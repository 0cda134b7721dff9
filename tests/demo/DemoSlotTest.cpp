// The slot scene played headless by the built game on the layers the route leaves it (the evening
// picture shown over the background, slot_alone.mes): the machine at rest is seen, not hidden
// under the evening (build/demo_slot_rest.png); the lever and the three stop buttons play a game
// whose stop buttons then blink lit (build/demo_slot_result.png); the tall picture scrolls in view
// (build/demo_slot_scrolling.png) and Escape leaves it. From the title's extras, the machine at
// rest is left with Escape and with a right click (build/demo_story_slot_rest.png): the game
// itself, once the lever is pulled, cannot be left.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/SlotSheet.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int LEVER_X = 293;
constexpr int BUTTON_Y = 648;
constexpr int REEL_Y = 256;
constexpr int REEL_X[3] = {710, 961, 1212};

TEST(DemoSlotTest, TheMachineIsSeenPlayedAndLeft)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "slot_alone.mes"); });
    // The lever once the machine rests, the stop buttons once its reels run (a press the machine
    // does not take in its state does nothing: they are pressed again if the result does not come).
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.StartGame();
    const auto cell = [](const platform::PngPicture& frame, int at_x, int at_y) {
        return FrameCellStateAt(frame, at_x, at_y).value_or(FrameCell{0xFFFFFFFFu, -1});
    };
    const size_t seen = PlayFrameSteps(
        x,
        {{"demo_slot_rest.png",
          [&](const platform::PngPicture& frame) {
              return cell(frame, REEL_X[0], REEL_Y) == FrameCell{tools::SLOT_CELL_DIGIT + 3, 0};
          },
          [&](const platform::PngPicture& frame) {
              EXPECT_EQ(cell(frame, REEL_X[1], REEL_Y), (FrameCell{tools::SLOT_CELL_DIGIT + 1, 0}));
              EXPECT_EQ(cell(frame, REEL_X[2], REEL_Y), (FrameCell{tools::SLOT_CELL_DIGIT + 4, 0}));
              EXPECT_EQ(cell(frame, LEVER_X, BUTTON_Y).first, tools::SLOT_CELL_LEVER);
          },
          [&] { x.Press(LEVER_X, BUTTON_Y); }},
         {nullptr,
          [&](const platform::PngPicture& frame) {
              return cell(frame, REEL_X[0], BUTTON_Y).first == tools::SLOT_CELL_STOP;
          },
          [](const platform::PngPicture&) {},
          [&] {
              for (const int reel_x : REEL_X) {
                  x.WaitFrames(GAME_FPS / 2);
                  x.Press(reel_x, BUTTON_Y);
              }
          }},
         {"demo_slot_result.png",
          [&](const platform::PngPicture& frame) {
              return cell(frame, REEL_X[0], BUTTON_Y) == FrameCell{tools::SLOT_CELL_STOP_LAMP, 1};
          },
          [](const platform::PngPicture&) {}},
         {"demo_slot_scrolling.png",
          [](const platform::PngPicture& frame) {
              const uint32_t top = frame.pixels[100] & 0xFFFFFFu;
              return top != (tools::TallPictureRowColour(0) & 0xFFFFFFu) &&
                     top == (tools::TallPictureRowColour(40) & 0xFFFFFFu);
          },
          [](const platform::PngPicture&) {}, [&] { x.Send("key 0x1B"); }}},
        180s);
    std::ifstream log(home.Path() / "out.txt");
    EXPECT_EQ(seen, 4u) << "steps seen: " << seen
                        << " (the machine at rest 1, its reels running 2, the result 3, the scroll 4)\n"
                        << std::string((std::istreambuf_iterator<char>(log)), {});
}

// The title's six buttons down the left.
bool TitleShown(const platform::PngPicture& frame)
{
    for (int button = 0; button < 6; ++button)
        if (!FrameCellAt(frame, 300, 540 + 87 * button))
            return false;
    return true;
}

// The machine at rest: the digits it is drawn with, its lever not yet blinking for a pull.
bool SlotAtRest(const platform::PngPicture& frame)
{
    return FrameCellStateAt(frame, REEL_X[0], REEL_Y) == FrameCell{tools::SLOT_CELL_DIGIT + 3, 0} &&
           FrameCellStateAt(frame, LEVER_X, BUTTON_Y) == FrameCell{tools::SLOT_CELL_LEVER, 0};
}

TEST(DemoSlotTest, TheMachineAtRestIsLeftWithEscapeOrARightClick)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0);
    });
    HeadlessDemoPlayer x(home);
    x.StartGame();
    ASSERT_TRUE(x.ClickUntil(960, 540, TitleShown)) << "no title\n" << x.Output();
    // The player's Escape key, as the input script types it.
    const auto escape = [&] { std::ofstream(home.Path() / "input.txt", std::ios::app) << "0 key 0x1B\n"; };
    const std::function<void()> leaves[] = {escape, [&] { x.Click(960, 540, 3); }};
    for (const auto& leave : leaves) {
        // Extras, the extras page holding the slot machine (its item, 0x102), its page (whose
        // first item is 0x300), the slot machine.
        ASSERT_TRUE(x.ClickUntil(
            370, 920,
            [](const platform::PngPicture& frame) { return FrameCellAt(frame, 300, 867) == 0x102u; }))
            << "no extras page\n"
            << x.Output();
        ASSERT_TRUE(x.ClickUntil(
            370, 867,
            [](const platform::PngPicture& frame) { return FrameCellAt(frame, 300, 773) == 0x300u; }))
            << "no slot page\n"
            << x.Output();
        const std::optional<platform::PngPicture> rest = x.ClickUntil(370, 773, SlotAtRest);
        ASSERT_TRUE(rest) << "no slot machine from the extras\n" << x.Output();
        x.Keep(*rest, "slot_rest");
        ASSERT_TRUE(x.ActUntil(leave, TitleShown)) << "the machine at rest was not left\n" << x.Output();
    }
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    EXPECT_EQ(x.Output().find("Box"), std::string::npos) << x.Output();
}

} // namespace
