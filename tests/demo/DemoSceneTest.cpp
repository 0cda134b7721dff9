// The demo game's first scene, played headless by the built game with the null presenter's frame
// dump: the frames at the scene's checkpoints (numbered by the red value of the 2 x 2 lamp in the
// top-left corner) are kept as build/demo_scene_N.png and compared at pixels worked out by hand
// from the pictures of tools/demopics; the visit count the scene keeps in the configuration is
// read back by the next start.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "GameProcess.h"
#include "demo/DemoSaveFolder.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

struct Rgb
{
    int r, g, b;
};

struct Probe
{
    int x, y;
    Rgb colour;
};

// The background's colour at (x, y): the gradient tools/demopics draws, in integer steps.
Rgb Background(int x, int y)
{
    return {20 + 60 * x / 1920, 30 + 90 * y / 1080, 90 + 120 * (1920 - x) / 1920};
}

constexpr Rgb BLACK{0, 0, 0};
constexpr Rgb SKY{240, 150, 90};
constexpr Rgb GROUND{60, 40, 90};
constexpr Rgb FIRST_FRAME{255, 230, 80};
constexpr Rgb LAST_FRAME{140, 255, 120};

struct Checkpoint
{
    const char* what;
    std::vector<Probe> probes;
};

std::vector<Checkpoint> Checkpoints()
{
    return {
        {"black", {{960, 540, BLACK}, {100, 100, BLACK}}},
        {"background revealed",
         {{960, 540, Background(960, 540)},
          {100, 100, Background(100, 100)},
          {1900, 1060, Background(1900, 1060)}}},
        {"shaken to (24, -16)", {{960, 540, Background(936, 556)}, {100, 100, Background(76, 116)}}},
        {"the program's last frame keyed onto the background",
         {{1632, 232, LAST_FRAME}, {1602, 202, Background(1602, 202)}, {960, 540, Background(960, 540)}}},
        {"evening with the crossing frame at its end",
         {{960, 300, SKY},
          {960, 900, GROUND},
          {1732, 832, FIRST_FRAME},
          {1702, 802, GROUND},
          {1632, 232, SKY}}},
    };
}

Rgb At(const platform::PngPicture& picture, int x, int y)
{
    const uint32_t pixel = picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x];
    return {int((pixel >> 16) & 0xFF), int((pixel >> 8) & 0xFF), int(pixel & 0xFF)};
}

bool Near(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

class DemoSceneTest : public ::testing::Test
{
protected:
    DemoSceneTest()
        : m_build(std::getenv("VESK_BINARY_DIR") != nullptr ? std::getenv("VESK_BINARY_DIR") : ".")
    {
        fs::create_directories(m_home.Path() / "run");
        fs::create_directories(m_home.Path() / "frames");
        SeedSaveFolder();
    }

    void SeedSaveFolder() { SeedDemoSaveFolder(m_home.Path(), m_build); }

    // Plays the game until the next scene's story types out in the message window, however long a
    // busy machine takes (the visit is counted after the scene's last checkpoint), then ends it
    // with a TERM as a player's Exit would; true when it ended cleanly.
    bool Play()
    {
        for (const auto& entry : fs::directory_iterator(m_home.Path() / "frames"))
            fs::remove(entry.path());
        GameProcess game(m_build / "demo", {"./vesk"}, HeadlessGameEnvironment(m_home.Path()),
                         m_home.Path() / "out.txt");
        if (!WaitForNewestFrame(m_home.Path() / "frames", game, StoryPromptShown, std::chrono::seconds(200)))
            return false;
        game.Signal(SIGTERM);
        return game.WaitForEnd(std::chrono::seconds(60)) == 0;
    }
    int32_t Visits()
    {
        CXMLDocument config(CStringUTF8((m_home.Path() / "vesk/demo/Save/config.xml").string().c_str()));
        config.Load();
        return config.GetInt("/Demo/Visits", 0);
    }

    fs::path m_build;
    TempDir m_home;
};

TEST_F(DemoSceneTest, CheckpointFramesShowTheSceneAndTheVisitIsKept)
{
    ASSERT_TRUE(fs::exists(m_build / "demo/vesk")) << "build the demo target first";
    ASSERT_TRUE(Play());
    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(m_home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    ASSERT_FALSE(frames.empty());

    // The first frame that shows each checkpoint's lamp, in order.
    const std::vector<Checkpoint> checkpoints = Checkpoints();
    size_t next = 0;
    for (const fs::path& frame : frames) {
        if (next == checkpoints.size())
            break;
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        ASSERT_TRUE(picture.has_value()) << frame;
        const Rgb lamp = At(*picture, 0, 0);
        if (lamp.r != int(next + 1) || lamp.g != 0 || lamp.b != 255)
            continue;
        const Checkpoint& checkpoint = checkpoints[next];
        ++next;
        fs::copy_file(frame, m_build / ("demo_scene_" + std::to_string(next) + ".png"),
                      fs::copy_options::overwrite_existing);
        for (const Probe& probe : checkpoint.probes) {
            const Rgb shown = At(*picture, probe.x, probe.y);
            EXPECT_TRUE(Near(shown, probe.colour))
                << checkpoint.what << " at (" << probe.x << ", " << probe.y << "): shows " << shown.r << ", "
                << shown.g << ", " << shown.b << " for " << probe.colour.r << ", " << probe.colour.g << ", "
                << probe.colour.b;
        }
    }
    EXPECT_EQ(next, checkpoints.size()) << "checkpoints reached";
    EXPECT_EQ(Visits(), 1);

    ASSERT_TRUE(Play());
    EXPECT_EQ(Visits(), 2) << "the next start read the kept count back";
}

} // namespace
