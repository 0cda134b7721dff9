// The backlog reached in the demo game from the story in the message window, played headless by
// the built game with auto mode off and scripted input: clicks advance the story to its last
// message, Backspace opens the backlog over it (build/demo_backlog_rows.png: three rows of the
// story's records, Yuki's with its voice button, and the thumb), the voice button replays her
// voice (heard in the null device's recording), the jump button and the question's yes take the
// story back to her message (build/demo_backlog_jumped.png), and the wheel opens the backlog
// again there (build/demo_backlog_wheel.png).

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "demosounds/DemoSounds.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "screens/base/CBacklogScreen.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;

// Rows 300 pixels apart; a row's head line from (245, 109) and its body from (184, 178) of it.
constexpr int ROW_HEIGHT = 300;
// Row 0's voice button, jump button, and the jump question's yes.
constexpr int VOICE_X = 1541 + 43, VOICE_Y = 182 + 43;
constexpr int JUMP_X = 1364 + 100, JUMP_Y = 302 + 28;
constexpr int YES_X = 828, YES_Y = 557;
// The message window's first text line and name plate.
constexpr int WINDOW_Y = 768;
constexpr int LINE_Y = WINDOW_Y + 70 + 60 - 48;

bool RowShown(const platform::PngPicture& frame, int row)
{
    return FrameCellAt(frame, 50, ROW_HEIGHT * row + 150) == tools::BACKLOG_FRAME;
}

int HeadText(const platform::PngPicture& frame, int row)
{
    return WhiteIn(frame, 245, ROW_HEIGHT * row + 109, 1245, ROW_HEIGHT * row + 163);
}

int BodyText(const platform::PngPicture& frame, int row)
{
    return WhiteIn(frame, 184, ROW_HEIGHT * row + 178, 1352, ROW_HEIGHT * row + 344);
}

bool BacklogShown(const platform::PngPicture& frame)
{
    return RowShown(frame, 0) && RowShown(frame, 1) && RowShown(frame, 2) && BodyText(frame, 0) > 200;
}

// Yuki's message in the window: her plate, her line (おはよう。待った？, 9 cells of 48) and
// nothing after it.
bool YukisMessageShown(const platform::PngPicture& frame)
{
    return !RowShown(frame, 1) &&
           FrameCellAt(frame, 1500, WINDOW_Y + 30) == tools::MESSAGE_SHEET_NAME_PLATE &&
           WhiteIn(frame, 440, LINE_Y, 440 + 2 * 48, LINE_Y + 48) > 50 &&
           WhiteIn(frame, 440 + 9 * 48, LINE_Y, 440 + 20 * 48, LINE_Y + 48) == 0;
}

// Stretches of the voice's tone in the recording, separated by at least a fifth of a second of
// silence.
int VoicedStretches(const std::vector<int16_t>& left)
{
    constexpr size_t WINDOW = 882;
    int stretches = 0;
    size_t silent = 1000;
    for (size_t at = 0; at + WINDOW < left.size(); at += WINDOW) {
        if (ToneLevel(left, at, WINDOW, tools::DemoSoundLayout::FIRST_VOICE_HERTZ) > 0.005) {
            stretches += silent >= 10 ? 1 : 0;
            silent = 0;
        } else {
            ++silent;
        }
    }
    return stretches;
}

TEST(DemoBacklogTest, BackspaceAndTheWheelOpenTheBacklogOverTheStoryWhichReplaysAndJumpsBack)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/AutoRead", 0); // clicks advance the story
        config.SetString("/GameFile/Script/StartUp", "story_wait_alone.mes");
    });
    // The last message waits again after every click, so the clicks can come more often than
    // needed. The later steps come again and again over ranges of turns, since how many turns the
    // backlog's fades take depends on the machine's load; each press is held over turns. A voice
    // or jump press before the backlog is up clicks the story's last message on, which waits
    // again; a second jump press or a yes before the question is up falls on nothing; a yes after
    // the jump clicks the story on, after the frame checked.
    std::string input;
    for (int turn = 200; turn <= 1000; turn += 100)
        input += PressAt(turn, 900, 900, 0, 30);
    input += "1500 down 8\n1560 up 8\n";
    for (int turn = 3000; turn <= 4200; turn += 400)
        input += PressAt(turn, VOICE_X, VOICE_Y, 20);
    for (int turn = 5000; turn <= 7400; turn += 800)
        input += PressAt(turn, JUMP_X, JUMP_Y, 20) + PressAt(turn + 300, YES_X, YES_Y, 40);
    input += "8800 wheel 1\n9300 wheel 1\n";
    const fs::path script = home.Path() / "input.txt";
    std::ofstream(script) << input;
    const std::string h = home.Path().string();
    std::system(home.Command("VESK_SOUND_DUMP='" + h + "/sound.wav' VESK_INPUT_SCRIPT='" + script.string() +
                                 "' VESK_CLOSE_AFTER_FRAMES=10500",
                             HANG_KILL_SECONDS)
                    .c_str());

    // The five records (messages 20 to 23 and the last one), the newest three on the page.
    const int32_t thumb_height = CBacklogScreen::ThumbHeightFor(5);
    const int32_t thumb_top = CBacklogScreen::ThumbTopFor(0, 2, thumb_height);
    const std::vector<FrameStep> steps = {
        {"demo_backlog_rows.png", BacklogShown,
         [&](const platform::PngPicture& frame) {
             EXPECT_GT(HeadText(frame, 0), 50) << "Yuki's name over her row";
             EXPECT_EQ(HeadText(frame, 1), 0);
             for (int row = 0; row < 3; ++row)
                 EXPECT_GT(BodyText(frame, row), 100) << row;
             EXPECT_EQ(FrameCellAt(frame, VOICE_X, VOICE_Y), 0x6400u) << "her voice button";
             EXPECT_NE(FrameCellAt(frame, VOICE_X, VOICE_Y + ROW_HEIGHT), 0x6400u) << "a silent row's";
             EXPECT_EQ(FrameCellAt(frame, 1687, thumb_top + 1), 0x402u);
             EXPECT_EQ(FrameCellAt(frame, 1687, thumb_top + thumb_height - 2), 0x402u);
             EXPECT_NE(FrameCellAt(frame, 1687, thumb_top - 2), 0x402u);
         }},
        {"demo_backlog_jumped.png", YukisMessageShown, [](const platform::PngPicture&) {}},
        {"demo_backlog_wheel.png", BacklogShown,
         [](const platform::PngPicture& frame) {
             // Her message recorded again on a page of the story's newest records.
             int voiced = 0;
             for (int row = 0; row < 3; ++row)
                 voiced += HeadText(frame, row) > 50 &&
                           FrameCellAt(frame, VOICE_X, VOICE_Y + row * ROW_HEIGHT) == 0x6400u;
             EXPECT_EQ(voiced, 1);
         }},
    };
    const size_t next = WalkFrameSteps(home, steps);
    EXPECT_EQ(next, steps.size()) << "steps seen in order: " << next
                                  << " (backlog 1, Yuki's message again 2, backlog by the wheel 3)";

    // Her voice: in the story, replayed from the backlog, and in the story again after the jump.
    EXPECT_GE(VoicedStretches(LeftChannel(home.Path() / "sound.wav")), 3);
}

} // namespace
