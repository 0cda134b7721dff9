// The demo's story in the message window, played headless on its own by the built game with auto
// mode on, so the messages advance by themselves: frames while the first message types out
// (build/demo_message_typing.png), with its page complete and the click prompt
// (build/demo_message_page.png), and with Yuki's name on the plate over her whole line
// (build/demo_message_speaker.png), checked at pixels worked out from the window's layout; her
// voice in the null device's recording.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "demosounds/DemoSounds.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

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
    {
        CXMLDocument config(CStringUTF8((home.Path() / "vesk/demo/Save/config.xml").string().c_str()));
        config.Load();
        config.SetInt("/Config/MesWnd/Speed", 80); // a character every 29 ms
        config.SetInt("/Config/AutoMesSpeed", 80);
        config.SetString("/GameFile/Script/StartUp", "story_alone.mes");
        config.Save();
    }
    // Four messages of about two seconds each; the scene's end leaves the game idle.
    const std::string h = home.Path().string();
    std::system(home.Command("VESK_SOUND_DUMP='" + h + "/sound.wav'", 40).c_str());

    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    enum Seen { NONE, TYPING, PAGE, SPEAKER };
    Seen seen = NONE;
    for (const fs::path& path : frames) {
        const std::optional<platform::PngPicture> frame = platform::ReadPngFile(path);
        ASSERT_TRUE(frame.has_value()) << path;
        const char* keep = nullptr;
        const Seen before = seen;
        if (seen == NONE && StoryTextIn(*frame, 0, 1, LINE_Y) > 50 &&
            StoryTextIn(*frame, FIRST_MESSAGE_CELLS - 4, FIRST_MESSAGE_CELLS - 1, LINE_Y) == 0) {
            EXPECT_FALSE(StoryPromptShown(*frame)) << "a prompt while the page types out";
            seen = TYPING, keep = "demo_message_typing.png";
        } else if (seen == TYPING &&
                   StoryTextIn(*frame, FIRST_MESSAGE_CELLS - 2, FIRST_MESSAGE_CELLS - 1, LINE_Y) > 20 &&
                   StoryPromptShown(*frame)) {
            EXPECT_GT(StoryTextIn(*frame, 0, 1, LINE_Y), 50) << "the page lost its start";
            seen = PAGE, keep = "demo_message_page.png";
        } else if (seen == PAGE && StoryNamePlateShown(*frame) && StoryTextIn(*frame, 7, 8, LINE_Y) > 50 &&
                   StoryTextIn(*frame, 9, FIRST_MESSAGE_CELLS - 1, LINE_Y) == 0) {
            // ユキ on the plate above her whole line, おはよう。待った？, the page before hers gone.
            EXPECT_GT(WhiteIn(*frame, 508, WINDOW_Y + 22, 588, WINDOW_Y + 62), 30);
            EXPECT_GT(StoryTextIn(*frame, 0, 1, LINE_Y), 50);
            seen = SPEAKER, keep = "demo_message_speaker.png";
        }
        if (seen != before)
            fs::copy_file(path, home.Build() / keep, fs::copy_options::overwrite_existing);
    }
    EXPECT_EQ(seen, SPEAKER) << "frames seen in order: " << seen << " (typing 1, page 2, speaker 3)";

    // Her voice, whole: auto mode waits for it before the last message.
    const std::vector<int16_t> left = LeftChannel(home.Path() / "sound.wav");
    constexpr size_t WINDOW = 882;
    size_t voiced = 0;
    for (size_t at = 0; at + WINDOW < left.size(); at += WINDOW)
        voiced += ToneLevel(left, at, WINDOW, tools::DemoSoundLayout::FIRST_VOICE_HERTZ) > 0.005 ? WINDOW : 0;
    EXPECT_NEAR(static_cast<double>(voiced), static_cast<double>(tools::DemoSoundLayout::VOICE_FRAMES), 0.1 * 44100);
}

} // namespace
