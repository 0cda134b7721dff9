// The backlog reached in the demo game from the story in the message window, played headless by
// the built game with auto mode off and scripted input: clicks advance the story to its last
// message, Backspace opens the backlog over it (build/demo_backlog_rows.png: three rows of the
// story's records, Yuki's with its voice button, and the thumb), the voice button replays her
// voice (heard in the null device's recording), the jump button and the question's yes take the
// story back to her message (build/demo_backlog_jumped.png), and the wheel opens the backlog
// again there (build/demo_backlog_wheel.png).

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "demosounds/DemoSounds.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "screens/base/CBacklogScreen.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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

// The story's last message, ……: two cells with the prompt, no name on the plate.
bool LastMessageShown(const platform::PngPicture& frame)
{
    return !RowShown(frame, 1) && StoryPromptShown(frame) && !StoryNamePlateShown(frame) &&
           StoryTextIn(frame, 0, 1, LINE_Y) > 0 && StoryTextIn(frame, 2, 19, LINE_Y) == 0 &&
           StoryTextIn(frame, 0, 19, LINE_Y + 60) == 0;
}

// The backlog's question before a jump: its line among the dialog sheet's.
bool JumpQuestionShown(const platform::PngPicture& frame)
{
    for (int y = 0; y < 1080; y += 8)
        for (int x = 0; x < 1920; x += 8)
            if (FrameCellAt(frame, x, y) == tools::DIALOG_SHEET_LINE + 7)
                return true;
    return false;
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
    HeadlessDemoPlayer x(home);
    x.StartGame({"VESK_SOUND_DUMP=" + (home.Path() / "sound.wav").string()});
    using Frame = platform::PngPicture;
    // Clicks advance the story to its last message, each once the page before is complete; the
    // last message waits again after every click. Each press is held over a few of the game's
    // frames. A page that goes on loses its prompt while the next one types out.
    ASSERT_TRUE(x.WaitFor(StoryPromptShown)) << "no message\n" << x.Output();
    std::optional<Frame> last;
    for (int click = 0; click < 12 && !last; ++click) {
        x.Press(900, 900);
        x.WaitFor([](const Frame& frame) { return !StoryPromptShown(frame); }, 2s);
        if (const std::optional<Frame> page = x.WaitFor(StoryPromptShown, 20s);
            page && LastMessageShown(*page))
            last = page;
    }
    ASSERT_TRUE(last) << "no last message (……)\n" << x.Output();

    // Backspace opens the backlog: the five records (messages 20 to 23 and the last one), the
    // newest three on the page.
    const std::optional<Frame> rows = x.ActUntil([&x] { x.Key(8); }, BacklogShown);
    ASSERT_TRUE(rows) << "no backlog\n" << x.Output();
    platform::WritePngFile(home.Build() / "demo_backlog_rows.png", *rows);
    const int32_t thumb_height = CBacklogScreen::ThumbHeightFor(5);
    const int32_t thumb_top = CBacklogScreen::ThumbTopFor(0, 2, thumb_height);
    EXPECT_GT(HeadText(*rows, 0), 50) << "Yuki's name over her row";
    EXPECT_EQ(HeadText(*rows, 1), 0);
    for (int row = 0; row < 3; ++row)
        EXPECT_GT(BodyText(*rows, row), 100) << row;
    EXPECT_EQ(FrameCellAt(*rows, VOICE_X, VOICE_Y), tools::BACKLOG_VOICE) << "her voice button";
    EXPECT_NE(FrameCellAt(*rows, VOICE_X, VOICE_Y + ROW_HEIGHT), tools::BACKLOG_VOICE) << "a silent row's";
    EXPECT_EQ(FrameCellAt(*rows, 1687, thumb_top + 1), 0x402u);
    EXPECT_EQ(FrameCellAt(*rows, 1687, thumb_top + thumb_height - 2), 0x402u);
    EXPECT_NE(FrameCellAt(*rows, 1687, thumb_top - 2), 0x402u);

    // Her voice button replays her voice: two seconds of the game's frames to be heard.
    x.Settle();
    x.Press(VOICE_X, VOICE_Y);
    x.WaitFrames(2 * GAME_FPS);
    // The jump button asks first; the question's yes takes the story back to her message.
    ASSERT_TRUE(x.ActUntil([&x] { x.Press(JUMP_X, JUMP_Y); }, JumpQuestionShown))
        << "no question for the jump\n"
        << x.Output();
    const std::optional<Frame> jumped = x.ActUntil([&x] { x.Press(YES_X, YES_Y); }, YukisMessageShown);
    ASSERT_TRUE(jumped) << "the jump did not bring her message back\n" << x.Output();
    platform::WritePngFile(home.Build() / "demo_backlog_jumped.png", *jumped);

    // The wheel opens the backlog again there: her message recorded again on a page of the
    // story's newest records.
    const std::optional<Frame> wheel = x.ActUntil([&x] { x.Send("wheel 1"); }, BacklogShown);
    ASSERT_TRUE(wheel) << "no backlog by the wheel\n" << x.Output();
    platform::WritePngFile(home.Build() / "demo_backlog_wheel.png", *wheel);
    int voiced = 0;
    for (int row = 0; row < 3; ++row)
        voiced += HeadText(*wheel, row) > 50 &&
                  FrameCellAt(*wheel, VOICE_X, VOICE_Y + row * ROW_HEIGHT) == tools::BACKLOG_VOICE;
    EXPECT_EQ(voiced, 1);
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();

    // Her voice: in the story, replayed from the backlog, and in the story again after the jump.
    EXPECT_GE(VoicedStretches(LeftChannel(home.Path() / "sound.wav")), 3);
}

// The backlog opened from the place screen after the story's messages, the choice, the prologue's
// two voiced lines and the character and time screens, played headless by the built game: each
// message read is a record of its own, the two voiced lines each with its voice button, and the
// lines the scene writes to say what the screens answered ("Who: .. When: ..") are none
// (build/demo_backlog_sound_rows.png).
TEST(DemoBacklogTest, EachLineReadIsARecordOfItsOwnAndTheScreensAnswersAreNone)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "sound_backlog_alone.mes");
        config.SetInt("/Config/AutoRead", 0);
        config.SetInt("/Config/Demo/SkipTitle", 0);
    });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    // Twice the game's speed, not four times: after the jump the two voiced lines show only while
    // they speak, and a busy machine drew them too few times at four to be seen.
    x.SetClockRate(2);
    x.StartGame();
    using Frame = platform::PngPicture;
    const auto cell = [](const Frame& frame, int at_x, int at_y, uint32_t id) {
        return FrameCellAt(frame, at_x, at_y) == id;
    };
    const auto choice = [&](const Frame& frame) {
        return cell(frame, 500, 222, tools::CHOICE_CELL_MIDDLE) &&
               cell(frame, 1100, 570, tools::CHOICE_CELL_MIDDLE);
    };
    ASSERT_TRUE(x.ClickThroughTo(choice)) << "no choice after the story's messages\n" << x.Output();
    ASSERT_TRUE(x.ClickUntil(500, 222, [&](const Frame& frame) { return !choice(frame); })) << "no pick";
    // The picked place's line waits for a click; the voiced lines play out, then the character
    // screen. A second click, in the corner, meets nothing there.
    const auto characters = [&](const Frame& frame) {
        return cell(frame, 1000, 1000, tools::AREA_SHEET_HELP_BAR) &&
               cell(frame, 1450, 865, tools::AREA_SHEET_BUTTON + 2);
    };
    ASSERT_TRUE(x.ClickUntil(1800, 40, characters)) << "no character-area screen\n" << x.Output();
    ASSERT_TRUE(x.ClickUntil(460, 300, [&](const Frame& frame) {
        return cell(frame, 960, 300, tools::TIME_SHEET_DIAL);
    })) << "no time of day after a character";
    const auto place = [&](const Frame& frame) {
        return cell(frame, 1190, 865, tools::AREA_SHEET_BUTTON) &&
               cell(frame, 1450, 865, tools::AREA_SHEET_BUTTON + 2);
    };
    ASSERT_TRUE(x.ClickUntil(1170, 630, place)) << "no place screen after the time of day";
    const std::optional<Frame> rows = x.ActUntil(
        [&x] { x.Key(8); },
        [](const Frame& frame) { return RowShown(frame, 0) && RowShown(frame, 1) && RowShown(frame, 2); });
    ASSERT_TRUE(rows) << "no backlog from the place screen\n" << x.Output();
    x.Settle();
    const std::optional<Frame> settled = x.WaitFor([](const Frame& frame) { return RowShown(frame, 2); });
    const Frame& shown = settled ? *settled : *rows;
    x.Keep(shown, "backlog_sound_rows");
    // The newest three: the picked place's line, then the two voiced lines.
    EXPECT_NE(FrameCellAt(shown, VOICE_X, VOICE_Y), tools::BACKLOG_VOICE) << "the place's line has no voice";
    for (int row = 1; row < 3; ++row)
        EXPECT_EQ(FrameCellAt(shown, VOICE_X, VOICE_Y + ROW_HEIGHT * row), tools::BACKLOG_VOICE) << row;
    // Each one line long: below it the body stays empty.
    for (int row = 0; row < 3; ++row) {
        EXPECT_GT(WhiteIn(shown, 184, ROW_HEIGHT * row + 178, 1352, ROW_HEIGHT * row + 226), 50) << row;
        EXPECT_EQ(WhiteIn(shown, 184, ROW_HEIGHT * row + 226, 1352, ROW_HEIGHT * row + 344), 0) << row;
    }

    // A jump back to the second voiced line: the scene again, not the place screen, with the
    // first line above it and the second spoken again (build/demo_story_sound_jumped.png),
    // then the scene goes on to the character screen.
    ASSERT_TRUE(x.ActUntil([&x] { x.Press(JUMP_X, JUMP_Y + 2 * ROW_HEIGHT); }, JumpQuestionShown))
        << "no question for the jump\n"
        << x.Output();
    const auto first_line = [](const Frame& frame) { return WhiteIn(frame, 160, 815, 1000, 880); };
    const auto second_line = [](const Frame& frame) { return WhiteIn(frame, 160, 887, 1000, 952); };
    const std::optional<Frame> jumped =
        x.ActUntil([&x] { x.Press(YES_X, YES_Y); },
                   [&](const Frame& frame) {
                       return !RowShown(frame, 0) && first_line(frame) > 0 && second_line(frame) > 0;
                   });
    ASSERT_TRUE(jumped) << "the jump did not bring the voiced lines back\n" << x.Output();
    x.Keep(*jumped, "sound_jumped");
    // Its start script's black ground, without the area screens' places over it.
    EXPECT_EQ(jumped->pixels[300 * jumped->width + 70] & 0xFFFFFFu, 0u)
        << "the area screens' places over the scene";
    EXPECT_FALSE(place(*jumped)) << "the place screen's buttons over the scene";
    EXPECT_TRUE(x.WaitFor(characters)) << "the scene did not go on\n" << x.Output();
}

} // namespace
