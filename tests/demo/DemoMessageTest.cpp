// The demo's story in the message window, played headless on its own by the built game with auto
// mode on, so the messages advance by themselves: frames while the first message types out
// (build/demo_message_typing.png), with its page complete and the click prompt
// (build/demo_message_page.png), and with Yuki's name on the plate over her whole line
// (build/demo_message_speaker.png), checked at pixels worked out from the window's layout; her
// voice in the null device's recording.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

TEST(DemoMessageTest, TheStoryTypesOutWithItsPromptSpeakerAndVoice)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/MesWnd/Speed", 80); // a character every 29 ms
        config.SetInt("/Config/AutoMesSpeed", 80);
        config.SetString("/GameFile/Script/StartUp", "story_alone.mes");
    });
    // Four messages of about two seconds each; the scene's end leaves the game idle.
    const std::string h = home.Path().string();
    std::system(home.Command("VESK_SOUND_DUMP='" + h + "/sound.wav'", 40).c_str());

    using Frame = platform::PngPicture;
    const std::vector<FrameStep> steps = {
        {"demo_message_typing.png",
         [](const Frame& frame) {
             return StoryTextIn(frame, 0, 1, LINE_Y) > 50 &&
                    StoryTextIn(frame, FIRST_MESSAGE_CELLS - 4, FIRST_MESSAGE_CELLS - 1, LINE_Y) == 0;
         },
         [](const Frame& frame) { EXPECT_FALSE(StoryPromptShown(frame)) << "a prompt while the page types out"; }},
        {"demo_message_page.png",
         [](const Frame& frame) {
             return StoryTextIn(frame, FIRST_MESSAGE_CELLS - 2, FIRST_MESSAGE_CELLS - 1, LINE_Y) > 20 &&
                    StoryPromptShown(frame);
         },
         [](const Frame& frame) { EXPECT_GT(StoryTextIn(frame, 0, 1, LINE_Y), 50) << "the page lost its start"; }},
        // ユキ on the plate above her whole line, おはよう。待った？, the page before hers gone.
        {"demo_message_speaker.png",
         [](const Frame& frame) {
             return StoryNamePlateShown(frame) && StoryTextIn(frame, 7, 8, LINE_Y) > 50 &&
                    StoryTextIn(frame, 9, FIRST_MESSAGE_CELLS - 1, LINE_Y) == 0;
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
    };
    const size_t seen = WalkFrameSteps(home, steps);
    EXPECT_EQ(seen, steps.size()) << "frames seen in order: " << seen << " (typing 1, page 2, speaker 3)";

    // Her voice, whole: auto mode waits for it before the last message.
    const std::vector<int16_t> left = LeftChannel(home.Path() / "sound.wav");
    constexpr size_t WINDOW = 882;
    size_t voiced = 0;
    for (size_t at = 0; at + WINDOW < left.size(); at += WINDOW)
        voiced += ToneLevel(left, at, WINDOW, tools::DemoSoundLayout::FIRST_VOICE_HERTZ) > 0.005 ? WINDOW : 0;
    EXPECT_NEAR(static_cast<double>(voiced), static_cast<double>(tools::DemoSoundLayout::VOICE_FRAMES), 0.1 * 44100);
}

} // namespace
