// The demo's exec scene, played headless by the built game with the frame and sound dumps: the
// frame of checkpoint 16 (the corner lamp's red value) is kept as build/demo_exec.png and shows
// the evening picture with the story text cleared but for the hero name, and a later one
// (build/demo_exec_wait.png) the lines under it that say what the long wait for the sounds plays; the game
// state the scene saves as FLAG903 holds the default hero name of the configured language and the calendar;
// the recording holds the two background voices sounding together, which only the two players on voice
// channels 2 and 3 make. The scene plays from the evening scenes' own start (evening_alone.mes), at
// four times the game's pace; the run ends at the scene's closing confirmation.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "demosounds/DemoSounds.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "screens/system/CNameInput.h"
#include "script/FlagBuffer.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;

constexpr int CHECKPOINT = 16;

TEST(DemoExecTest, HeroNameFrameAndBackgroundVoices)
{
    const HeadlessDemoHome home;
    const fs::path& build = home.Build();
    ASSERT_TRUE(fs::exists(build / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "evening_alone.mes"); });
    // The scene ends in a dialog that waits for the player: the run is ended once it shows, after
    // the voices. What the test reads besides the frames (the recording, FLAG903) is complete on
    // disk at every moment.
    // On the game's own clock: the two voices start on the app-task thread's turns, and a busy
    // machine that holds that thread back as long as a voice lasts (1.2 s) is rarer than one that
    // holds it for a quarter of that.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.StartGame({"VESK_SOUND_DUMP=" + (home.Path() / "sound.wav").string()});
    bool found = false;
    bool told = false;
    const auto confirmation = x.WaitFor([&](const platform::PngPicture& picture) {
        // The route's first dialog.
        if (FrameCellAt(picture, 540, 640) == tools::DIALOG_SHEET_PANEL_SIMPLE)
            return true;
        if (picture.pixels[0] != 0xFF0000FFu + (CHECKPOINT << 16) || told)
            return false;
        if (found) {
            // During the long wait for the sounds, lines under the name say what plays.
            if (WhiteIn(picture, 160, 900, 1900, 1060) > 100) {
                told = true;
                EXPECT_TRUE(platform::WritePngFile(build / "demo_exec_wait.png", picture));
            }
            return false;
        }
        found = true;
        EXPECT_TRUE(platform::WritePngFile(build / "demo_exec.png", picture));
        // The ground of the evening picture (60, 40, 90) under the cleared text sprite at y 780,
        // and the name alone in it, from (160, 40) of the sprite.
        for (const auto& [px, py] : {std::pair{960, 900}, std::pair{1800, 1040}})
            EXPECT_EQ(picture.pixels[static_cast<size_t>(py) * picture.width + px] & 0xFFFFFFu, 0x3C285Au)
                << px << ", " << py;
        const int name = WhiteIn(picture, 160, 820, 640, 892);
        EXPECT_GT(name, 100);
        EXPECT_EQ(WhiteIn(picture, 0, 780, 1920, 1060), name);
        return false;
    });
    EXPECT_TRUE(confirmation) << "the scene's confirmation did not show\n" << x.Output();
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
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

    // Both speakers' tones mixed at once: the players on channels 2 and 3 together. Each voice
    // fades in from -50 dB by the ticks of its channel's timer, which a busy machine may hold back
    // for most of the voice, so a tone counts from its first level on (2500 of full scale at
    // -50 dB); three 100 ms stretches in a row, so a voice's onset or the music's loop seam does
    // not count.
    const std::vector<int16_t> left = LeftChannel(home.Path() / "sound.wav");
    constexpr size_t WINDOW = 4410;
    constexpr double HEARD = 2500.0 / 32768.0 * 0.00316 / 2;
    int stretches = 0;
    bool together = false;
    for (size_t at = 0; at + WINDOW < left.size() && !together; at += WINDOW) {
        const bool both = QuietToneLevel(left, at, WINDOW, tools::DemoSoundLayout::FIRST_VOICE_HERTZ) > HEARD &&
                          QuietToneLevel(left, at, WINDOW, tools::DemoSoundLayout::SECOND_VOICE_HERTZ) > HEARD;
        stretches = both ? stretches + 1 : 0;
        together = stretches >= 3;
    }
    EXPECT_TRUE(together) << "the two background voices were not heard together";
}

} // namespace
