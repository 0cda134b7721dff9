// The demo's exec scene, played headless by the built game with the frame and sound dumps: the
// frame of checkpoint 16 (the corner lamp's red value) is kept as build/demo_exec.png and shows
// the evening picture with the story text cleared; the game state the scene saves as FLAG003
// holds the default hero name of the configured language and the calendar; the
// recording holds the two background voices sounding together, which only the two players on
// voice channels 2 and 3 make.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "demo/DemoSaveFolder.h"
#include "demosounds/DemoSounds.h"
#include "foundation/ByteCursor.h"
#include "platform/gdi/PngCodec.h"
#include "screens/system/CNameInput.h"
#include "script/FlagBuffer.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

constexpr int CHECKPOINT = 16;

// Story text is typeset white with a black outline.
bool IsWhite(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) >= 200 && ((pixel >> 8) & 0xFF) >= 200 && (pixel & 0xFF) >= 200;
}

// White pixels of the picture inside [x0, x1) x [y0, y1).
int WhiteIn(const platform::PngPicture& picture, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x)
            count += IsWhite(picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x]);
    }
    return count;
}

// The left channel of a 16-bit stereo WAV file.
std::vector<int16_t> LeftChannel(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int16_t> left;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 | uint32_t(bytes[at + 7]) << 24;
        if (std::equal(bytes.begin() + at, bytes.begin() + at + 4, "data")) {
            for (size_t i = at + 8; i + 4 <= bytes.size() && i < at + 8 + size; i += 4)
                left.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
            break;
        }
        at += 8 + size;
    }
    return left;
}

// The strength of one frequency over a window (Goertzel), relative to full scale.
double ToneLevel(const std::vector<int16_t>& left, size_t from, size_t count, double hertz)
{
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hertz / 44100.0);
    double s1 = 0;
    double s2 = 0;
    for (size_t i = from; i < from + count; ++i) {
        const double s0 = left[i] / 32768.0 + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coefficient * s1 * s2)) / static_cast<double>(count);
}

TEST(DemoExecTest, HeroNameFrameAndBackgroundVoices)
{
    const fs::path build(std::getenv("VESK_BINARY_DIR") != nullptr ? std::getenv("VESK_BINARY_DIR") : ".");
    ASSERT_TRUE(fs::exists(build / "demo/vesk")) << "build the demo target first";
    TempDir home;
    fs::create_directories(home.Path() / "run");
    fs::create_directories(home.Path() / "frames");
    SeedDemoSaveFolder(home.Path(), build);
    const std::string h = home.Path().string();
    // The exec scene follows the pictures, the story and the sound, and ends in a dialog that
    // waits for the player: the run is ended once all of them are over on a busy machine. What
    // the test reads (frames, the recording, FLAG003) is complete on disk at every moment.
    const std::string command = "cd '" + (build / "demo").string() +
                                "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1 XDG_DATA_HOME='" +
                                h + "' XDG_RUNTIME_DIR='" + h + "/run' VESK_FRAME_DUMP='" + h +
                                "/frames' VESK_SOUND_DUMP='" + h + "/sound.wav' timeout -s KILL 100 ./vesk >'" + h +
                                "/out.txt' 2>&1";
    std::system(command.c_str());

    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    bool found = false;
    for (const fs::path& frame : frames) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        ASSERT_TRUE(picture.has_value()) << frame;
        if (picture->pixels[0] != 0xFF0000FFu + (CHECKPOINT << 16))
            continue;
        found = true;
        fs::copy_file(frame, build / "demo_exec.png", fs::copy_options::overwrite_existing);
        // The ground of the evening picture (60, 40, 90) under the cleared text sprite at y 780.
        for (const auto& [x, y] : {std::pair{200, 840}, std::pair{960, 900}, std::pair{1800, 1040}})
            EXPECT_EQ(picture->pixels[static_cast<size_t>(y) * picture->width + x] & 0xFFFFFFu, 0x3C285Au)
                << x << ", " << y;
        EXPECT_EQ(WhiteIn(*picture, 0, 780, 1920, 1060), 0);
        break;
    }
    EXPECT_TRUE(found) << "checkpoint " << CHECKPOINT << " reached";

    FlagBuffer state;
    std::ifstream flag_file(home.Path() / "vesk/demo/Save/FLAG003", std::ios::binary);
    const std::vector<uint8_t> flag_bytes((std::istreambuf_iterator<char>(flag_file)),
                                          std::istreambuf_iterator<char>());
    ByteCursor cursor(flag_bytes);
    ASSERT_TRUE(state.ReadFrom(cursor)) << "FLAG003";
    ASSERT_GE(state.Bytes.size(), 31600u);
    const std::string stored(reinterpret_cast<const char*>(state.Bytes.data() + 31500));
    bool is_default = false;
    for (int32_t language = 0; language < 4; ++language)
        is_default = is_default || stored == GetDefaultHeroName(language).GetText();
    EXPECT_TRUE(is_default) << stored;
    EXPECT_EQ(state.Bytes[18000], 12);           // 1 January, a holiday
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
