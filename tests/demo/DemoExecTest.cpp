// The demo's exec scene, played headless by the built game with the frame and sound dumps: the
// frame of checkpoint 16 (the corner lamp's red value) is kept as build/demo_exec.png and shows
// the evening picture with the story text cleared but for the hero name, and a later one
// (build/demo_exec_wait.png) the lines under it that say what the long wait for the sounds plays; the game
// state the scene saves as FLAG903 holds the default hero name of the configured language and the calendar;
// the recording holds the two background voices sounding together, which only the two players on voice
// channels 2 and 3 make. The run ends at the scene's closing confirmation.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "GameProcess.h"
#include "demosounds/DemoSounds.h"
#include "foundation/ByteCursor.h"
#include "platform/gdi/PngCodec.h"
#include "screens/system/CNameInput.h"
#include "script/FlagBuffer.h"
#include "sheetgen/SheetGenerator.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int CHECKPOINT = 16;

TEST(DemoExecTest, HeroNameFrameAndBackgroundVoices)
{
    const HeadlessDemoHome run;
    const fs::path& build = run.Build();
    ASSERT_TRUE(fs::exists(build / "demo/vesk")) << "build the demo target first";
    const HeadlessDemoHome& home = run;
    const std::string h = home.Path().string();
    // The exec scene follows the pictures, the story, the sound and the characters, and ends in a
    // dialog that waits for the player: the run is ended once the dialog shows, after the voices,
    // however long a busy machine takes to get there. What the test reads (frames, the recording,
    // FLAG903) is complete on disk at every moment.
    std::vector<std::string> environment = HeadlessGameEnvironment(home.Path());
    environment.push_back("VESK_SOUND_DUMP=" + h + "/sound.wav");
    GameProcess game(build / "demo", {"./vesk"}, environment, home.Path() / "out.txt");
    // The route's first dialog.
    const auto confirmation = [](const platform::PngPicture& frame) {
        return FrameCellAt(frame, 540, 640) == tools::DIALOG_SHEET_PANEL_SIMPLE;
    };
    EXPECT_TRUE(WaitForNewestFrame(home.Path() / "frames", game, confirmation, std::chrono::seconds(400)))
        << "the scene's confirmation did not show\n"
        << ReadWholeFile(home.Path() / "out.txt");
    game.Kill();

    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    bool found = false;
    bool told = false;
    for (const fs::path& frame : frames) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        ASSERT_TRUE(picture.has_value()) << frame;
        if (picture->pixels[0] != 0xFF0000FFu + (CHECKPOINT << 16))
            continue;
        if (found) {
            // During the long wait for the sounds, lines under the name say what plays.
            if (WhiteIn(*picture, 160, 900, 1900, 1060) > 100) {
                told = true;
                fs::copy_file(frame, build / "demo_exec_wait.png", fs::copy_options::overwrite_existing);
                break;
            }
            continue;
        }
        found = true;
        fs::copy_file(frame, build / "demo_exec.png", fs::copy_options::overwrite_existing);
        // The ground of the evening picture (60, 40, 90) under the cleared text sprite at y 780,
        // and the name alone in it, from (160, 40) of the sprite.
        for (const auto& [x, y] : {std::pair{960, 900}, std::pair{1800, 1040}})
            EXPECT_EQ(picture->pixels[static_cast<size_t>(y) * picture->width + x] & 0xFFFFFFu, 0x3C285Au)
                << x << ", " << y;
        const int name = WhiteIn(*picture, 160, 820, 640, 892);
        EXPECT_GT(name, 100);
        EXPECT_EQ(WhiteIn(*picture, 0, 780, 1920, 1060), name);
    }
    EXPECT_TRUE(found) << "checkpoint " << CHECKPOINT << " reached";
    EXPECT_TRUE(told) << "no line to read during the wait";

    FlagBuffer state;
    std::ifstream flag_file(home.Path() / "vesk/demo/Save/FLAG903", std::ios::binary);
    const std::vector<uint8_t> flag_bytes((std::istreambuf_iterator<char>(flag_file)),
                                          std::istreambuf_iterator<char>());
    ByteCursor cursor(flag_bytes);
    ASSERT_TRUE(state.ReadFrom(cursor)) << "FLAG903";
    ASSERT_GE(state.Bytes.size(), 31600u);
    const std::string stored(reinterpret_cast<const char*>(state.Bytes.data() + 31500));
    bool is_default = false;
    for (int32_t language = 0; language < 4; ++language)
        is_default = is_default || stored == GetDefaultHeroName(language).GetText();
    EXPECT_TRUE(is_default) << stored;
    EXPECT_EQ(state.Bytes[18000], 12);                // 1 January, a holiday
    EXPECT_EQ(state.Bytes[18000 + 11 * 32 + 22], 10); // 23 December

    // Both speakers' tones in one 40 ms window: the players on channels 2 and 3 at once.
    const std::vector<int16_t> left = LeftChannel(home.Path() / "sound.wav");
    constexpr size_t WINDOW = 1764;
    bool together = false;
    for (size_t at = 0; at + WINDOW < left.size() && !together; at += WINDOW / 2) {
        together = ToneLevel(left, at, WINDOW, tools::DemoSoundLayout::FIRST_VOICE_HERTZ) > 0.005 &&
                   ToneLevel(left, at, WINDOW, tools::DemoSoundLayout::SECOND_VOICE_HERTZ) > 0.005;
    }
    EXPECT_TRUE(together) << "the two background voices were not heard together";
}

} // namespace
