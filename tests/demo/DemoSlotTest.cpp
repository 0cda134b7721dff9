// The slot machine played headless by the built game, each step awaited on what the game shows,
// within budgets of its frames: the machine (build/demo_slot_rest.png), the first and only lever
// click turning the reels, each on its own digit (build/demo_slot_turning.png), each
// stop button standing its reel while the later ones turn on, the second reel stopped on the
// first one's digit, and the machine resting on the result with every reel's digit
// (build/demo_slot_result.png). On the layers the route leaves it (slot_alone.mes), a click then
// scrolls the prize picture (build/demo_slot_scrolling.png), Escape jumps it to its top and
// Escape again leaves. From the title's extras, Escape and the right button do nothing while
// the game runs, and the right button leaves the result for the title.

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "GameProcess.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/SlotSheet.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Frame = platform::PngPicture;
using Reels = std::array<int, 3>;

constexpr int LEVER_X = 293;
constexpr int BUTTON_Y = 648;
constexpr int REEL_Y = 256;
constexpr int REEL_X[3] = {710, 961, 1212};
constexpr int KNOB_X = 494;
constexpr int KNOB_Y = 246;
constexpr int LAMP_X[2] = {227, 1693};
constexpr int LAMP_Y = 259;
// The digits the machine rests on before the game, where its reels start turning.
constexpr Reels START = {3, 1, 4};

FrameCell CellAt(const Frame& frame, int x, int y)
{
    return FrameCellStateAt(frame, x, y).value_or(FrameCell{0xFFFFFFFFu, -1});
}

// The digit each reel shows, -1 for none.
Reels DigitsShown(const Frame& frame)
{
    Reels digits{};
    for (int k = 0; k < 3; ++k) {
        const uint32_t id = CellAt(frame, REEL_X[k], REEL_Y).first;
        digits[k] = id >= tools::SLOT_CELL_DIGIT && id < tools::SLOT_CELL_DIGIT + 10
                        ? static_cast<int>(id - tools::SLOT_CELL_DIGIT)
                        : -1;
    }
    return digits;
}

bool AllDigits(const Reels& digits)
{
    return digits[0] != -1 && digits[1] != -1 && digits[2] != -1;
}

bool StopsShow(const Frame& frame, FrameCell cell)
{
    for (const int x : REEL_X)
        if (CellAt(frame, x, BUTTON_Y) != cell)
            return false;
    return true;
}

// The machine before its game: the digits it rests on, the lever, the stop buttons unlit.
bool MachineShown(const Frame& frame)
{
    return DigitsShown(frame) == START && StopsShow(frame, {tools::SLOT_CELL_STOP_LAMP, 0}) &&
           CellAt(frame, LEVER_X, BUTTON_Y).first == tools::SLOT_CELL_LEVER;
}

// The game waiting for the pull: its knob up.
bool WaitingForLever(const Frame& frame)
{
    return MachineShown(frame) && CellAt(frame, KNOB_X, KNOB_Y) == FrameCell{tools::SLOT_CELL_KNOB, 1};
}

// The machine at rest after a game: the knob down, lamps off, stop buttons unlit, a digit on
// every reel.
bool RestingOnResult(const Frame& frame)
{
    return CellAt(frame, KNOB_X, KNOB_Y) == FrameCell{tools::SLOT_CELL_KNOB, 0} &&
           StopsShow(frame, {tools::SLOT_CELL_STOP_LAMP, 0}) &&
           CellAt(frame, LAMP_X[0], LAMP_Y) == FrameCell{tools::SLOT_CELL_LEFT_LAMP, 0} &&
           CellAt(frame, LAMP_X[1], LAMP_Y) == FrameCell{tools::SLOT_CELL_RIGHT_LAMP, 0} &&
           AllDigits(DigitsShown(frame));
}

constexpr const char* STEPS = "steps seen: the reels turning on the first lever click 1, the first reel "
                              "stood 2, the second 3, the result 4\n";

// From the machine before its game to the machine resting on the result: the lever clicked once,
// the reels seen turning, the first two stops seen to stand their reels, the result seen. Answers
// how many of those four steps were seen, in order; keeps the turning reels and the result as
// <keep>turning.png and <keep>result.png in the build folder.
int PlayOneGame(HeadlessDemoPlayer& x, const std::string& keep)
{
    // One click: a second one would hide a first that the machine did not take for the pull.
    std::optional<Reels> turning;
    x.Settle();
    x.Click(LEVER_X, BUTTON_Y);
    const std::optional<Frame> turned = x.WaitFor(
        [&](const Frame& frame) {
            if (!StopsShow(frame, {tools::SLOT_CELL_STOP, 0}))
                return false;
            const Reels now = DigitsShown(frame);
            if (!AllDigits(now))
                return false;
            if (!turning)
                turning = now;
            for (int k = 0; k < 3; ++k)
                if (now[k] == (*turning)[k])
                    return false;
            return true;
        },
        20s);
    if (!turned)
        return 0;
    platform::WritePngFile(x.Home().Build() / (keep + "turning.png"), *turned);
    // The reels turn together from where they rested: never all on one digit.
    const Reels shown = DigitsShown(*turned);
    for (int k = 1; k < 3; ++k)
        EXPECT_EQ((shown[k] - shown[0] + 10) % 10, (START[k] - START[0] + 10) % 10) << "reel " << k + 1;

    // A reel stands when it shows one digit on two frames across which the later reels moved on
    // (the turning reels step together, so a reel that kept its digit has stopped).
    Reels stood{-1, -1, -1};
    Reels before = shown;
    for (int k = 0; k < 2; ++k) {
        const std::optional<Frame> stopped = x.ActUntil([&] { x.Press(REEL_X[k], BUTTON_Y); },
                                                        [&](const Frame& frame) {
                                                            const Reels now = DigitsShown(frame);
                                                            if (!AllDigits(now))
                                                                return false;
                                                            bool stands = now[k] == before[k];
                                                            for (int j = k + 1; j < 3; ++j)
                                                                stands = stands && now[j] != before[j];
                                                            for (int j = 0; j < k; ++j)
                                                                stands = stands && now[j] == stood[j];
                                                            before = now;
                                                            return stands;
                                                        });
        if (!stopped)
            return 1 + k;
        stood[k] = DigitsShown(*stopped)[k];
    }
    // The second reel stopped takes the first one's digit.
    EXPECT_EQ(stood[1], stood[0]);

    const std::optional<Frame> result = x.ActUntil([&] { x.Press(REEL_X[2], BUTTON_Y); }, RestingOnResult);
    if (!result)
        return 3;
    platform::WritePngFile(x.Home().Build() / (keep + "result.png"), *result);
    const Reels digits = DigitsShown(*result);
    EXPECT_EQ(digits[0], stood[0]);
    EXPECT_EQ(digits[1], stood[1]);
    return 4;
}

TEST(DemoSlotTest, TheMachineIsSeenPlayedAndLeft)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "slot_alone.mes"); });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.StartGame();
    const std::optional<Frame> rest = x.WaitFor(MachineShown, 60s);
    ASSERT_TRUE(rest) << "no slot machine\n" << x.Output();
    platform::WritePngFile(home.Build() / "demo_slot_rest.png", *rest);
    ASSERT_EQ(PlayOneGame(x, "demo_slot_"), 4) << STEPS << x.Output();

    // The prize picture: its rows say their numbers (blue 0x99 under them).
    const auto top_row = [](const Frame& frame) {
        const uint32_t pixel = frame.pixels[100];
        return (pixel & 0xFFu) == 0x99u ? static_cast<int>((pixel >> 16 & 0xFFu) << 8 | (pixel >> 8 & 0xFFu))
                                        : -1;
    };
    const std::optional<Frame> scrolling =
        x.ActUntil([&] { x.Click(960, 400); }, [&](const Frame& frame) { return top_row(frame) > 0; });
    ASSERT_TRUE(scrolling) << "no prize picture after the result\n" << x.Output();
    platform::WritePngFile(home.Build() / "demo_slot_scrolling.png", *scrolling);
    ASSERT_TRUE(
        x.ActUntil([&] { x.Send("key 0x1B"); }, [&](const Frame& frame) { return top_row(frame) == 0; }))
        << "Escape did not jump the picture to its top\n"
        << x.Output();
    const auto black = [](const Frame& frame) {
        return (frame.pixels[100] & 0xFFFFFFu) == 0 && (frame.pixels[300 * 1920 + 960] & 0xFFFFFFu) == 0;
    };
    EXPECT_TRUE(x.ActUntil([&] { x.Send("key 0x1B"); }, black)) << "the picture was not left\n" << x.Output();
}

// The title's six buttons down the left.
bool TitleShown(const Frame& frame)
{
    for (int button = 0; button < 6; ++button)
        if (!FrameCellAt(frame, 300, 540 + 87 * button))
            return false;
    return true;
}

TEST(DemoSlotTest, FromTheExtrasTheGameIsPlayedThroughAndItsResultLeft)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0);
    });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.StartGame();
    ASSERT_TRUE(x.ClickOftenUntil(960, 540, TitleShown)) << "no title\n" << x.Output();
    // Extras, the extras page holding the slot machine (its item, 0x102), its page (whose first
    // item is 0x300), the slot machine.
    ASSERT_TRUE(
        x.ClickUntil(370, 920, [](const Frame& frame) { return FrameCellAt(frame, 300, 867) == 0x102u; }))
        << "no extras page\n"
        << x.Output();
    ASSERT_TRUE(
        x.ClickUntil(370, 867, [](const Frame& frame) { return FrameCellAt(frame, 300, 773) == 0x300u; }))
        << "no slot page\n"
        << x.Output();
    const std::optional<Frame> machine = x.ClickUntil(370, 773, MachineShown);
    ASSERT_TRUE(machine) << "no slot machine from the extras\n" << x.Output();
    x.Keep(*machine, "slot_rest");
    // The game cannot be left: Escape (as the input script types it) and a right click, and half a
    // second of its frames later the lever still waits.
    AppendToInputScript(home.Path() / "input.txt", "0 key 0x1B\n");
    x.Click(960, 540, 3);
    const uint64_t later = x.NewestFrame() + GAME_FPS / 2;
    const std::optional<Frame> after = x.WaitFor(
        [&](const Frame& frame) {
            return x.FrameNumber() >= later && (WaitingForLever(frame) || TitleShown(frame));
        },
        30s);
    ASSERT_TRUE(after) << x.Output();
    ASSERT_TRUE(WaitingForLever(*after)) << "the game was left before its lever was pulled\n" << x.Output();
    ASSERT_EQ(PlayOneGame(x, "demo_story_slot_"), 4) << STEPS << x.Output();
    ASSERT_TRUE(x.ActUntil([&] { x.Click(960, 540, 3); }, TitleShown)) << "the result was not left\n"
                                                                       << x.Output();
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    EXPECT_EQ(x.Output().find("Box"), std::string::npos) << x.Output();
}

} // namespace
