// The demo's story in the message window, played headless on its own by the built game with auto
// mode on, so the messages advance by themselves: frames while the first message types out
// (build/demo_message_typing.png), with its page complete and the click prompt
// (build/demo_message_page.png), and with Yuki's name on the plate over her whole line
// (build/demo_message_speaker.png), checked at pixels worked out from the window's layout. Her
// voice is read from what the window shows: its prompt in the voice's column while the voice
// plays (that same frame), and the next page, which auto mode shows only once the voice has
// ended, in the plain one (build/demo_message_after_voice.png); and it is heard in the null
// device's recording, then silent there. The recording runs on the game's clock, which a loaded
// machine stretches: its length is not measured. A loaded machine passes more of the game's time
// between two frames, and types a page slower than the clock that times auto mode's wait after it:
// that wait is the longest, and the clock runs twice as slow, so each of these moments still
// lasts over several frames.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "demosounds/DemoSounds.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;

// The name from (508, 22) of the window in cells of 40.
constexpr int WINDOW_Y = STORY_WINDOW_Y;
constexpr int LINE_Y = STORY_LINE_Y;
constexpr int FIRST_MESSAGE_CELLS = 20; // 冬休みの最初の朝、駅前の広場へ向かった。

// The column of the click prompt's animation: 0 while the message's voice plays, 1 otherwise; none
// without a prompt.
std::optional<int> PromptColumn(const platform::PngPicture& frame)
{
    const std::optional<uint32_t> cell = FrameCellAt(frame, 1663 + 29, WINDOW_Y + 166 + 29);
    if (!cell || *cell < tools::MESSAGE_SHEET_PROMPT || *cell >= tools::MESSAGE_SHEET_PROMPT + 6)
        return std::nullopt;
    return static_cast<int>(*cell - tools::MESSAGE_SHEET_PROMPT) / 3;
}

TEST(DemoMessageTest, TheStoryTypesOutWithItsPromptSpeakerAndVoice)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/MesWnd/Speed", 80); // a character every 29 ms
        config.SetInt("/Config/AutoMesSpeed", 0);
        config.SetString("/GameFile/Script/StartUp", "story_alone.mes");
    });
    // Four messages of a few seconds each, twice that on the slowed clock; the scene's end leaves
    // the game idle.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.SlowClock(2);
    x.StartGame({"VESK_SOUND_DUMP=" + (home.Path() / "sound.wav").string()});

    using Frame = platform::PngPicture;
    const std::vector<FrameStep> steps = {
        {"demo_message_typing.png",
         [](const Frame& frame) {
             return StoryTextIn(frame, 0, 1, LINE_Y) > 50 &&
                    StoryTextIn(frame, FIRST_MESSAGE_CELLS - 4, FIRST_MESSAGE_CELLS - 1, LINE_Y) == 0;
         },
         [](const Frame& frame) {
             EXPECT_FALSE(StoryPromptShown(frame)) << "a prompt while the page types out";
         }},
        {"demo_message_page.png",
         [](const Frame& frame) {
             return StoryTextIn(frame, FIRST_MESSAGE_CELLS - 2, FIRST_MESSAGE_CELLS - 1, LINE_Y) > 20 &&
                    StoryPromptShown(frame);
         },
         [](const Frame& frame) {
             EXPECT_GT(StoryTextIn(frame, 0, 1, LINE_Y), 50) << "the page lost its start";
         }},
        // ユキ on the plate above her whole line, おはよう。待った？, the page before hers gone, and
        // the prompt in the voice's column while her voice plays. Auto mode waits for the voice to
        // end before it goes on to the next page, typed out to its prompt in the plain column.
        {"demo_message_speaker.png",
         [](const Frame& frame) {
             return StoryNamePlateShown(frame) && StoryTextIn(frame, 7, 8, LINE_Y) > 50 &&
                    StoryTextIn(frame, 9, FIRST_MESSAGE_CELLS - 1, LINE_Y) == 0 && PromptColumn(frame) == 0;
         },
         [](const Frame& frame) {
             EXPECT_GT(WhiteIn(frame, 508, WINDOW_Y + 22, 588, WINDOW_Y + 62), 30);
             EXPECT_GT(StoryTextIn(frame, 0, 1, LINE_Y), 50);
             // The plate shows around the glyphs: no box is cut around them.
             for (const int cell : {0, 1})
                 for (const auto& [dx, dy] :
                      {std::pair{1, 1}, std::pair{38, 1}, std::pair{1, 38}, std::pair{38, 38}})
                     EXPECT_EQ(FrameCellAt(frame, 508 + 40 * cell + dx, WINDOW_Y + 22 + dy),
                               tools::MESSAGE_SHEET_NAME_PLATE)
                         << "glyph " << cell << " at (" << dx << ", " << dy << ")";
         }},
        {"demo_message_after_voice.png",
         [](const Frame& frame) { return !StoryNamePlateShown(frame) && PromptColumn(frame).has_value(); },
         [](const Frame& frame) {
             EXPECT_EQ(PromptColumn(frame), 1) << "the voice's prompt after her voice";
             EXPECT_GT(StoryTextIn(frame, 0, 1, LINE_Y), 50);
         }},
    };
    const size_t seen = PlayFrameSteps(x, steps);
    EXPECT_EQ(seen, steps.size())
        << "frames seen in order: " << seen
        << " (typing 1, page 2, her line as her voice plays 3, the page after it 4)";
    // A while of the game's time past the page after her voice, then the end.
    x.WaitFrames(3 * GAME_FPS);
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();

    // Her voice heard, then silent for good (nothing loops it on), over the second the run idles
    // at its end.
    const std::vector<int16_t> left = LeftChannel(home.Path() / "sound.wav");
    constexpr size_t WINDOW = 882;
    size_t voiced = 0;
    size_t last_voiced = 0;
    for (size_t at = 0; at + WINDOW < left.size(); at += WINDOW) {
        if (ToneLevel(left, at, WINDOW, tools::DemoSoundLayout::FIRST_VOICE_HERTZ) > 0.005) {
            voiced += WINDOW;
            last_voiced = at + WINDOW;
        }
    }
    EXPECT_GT(voiced, tools::DemoSoundLayout::VOICE_FRAMES / 2) << "her voice not heard";
    EXPECT_LT(last_voiced + 44100, left.size()) << "her voice still heard at the end of the run";
}

} // namespace
