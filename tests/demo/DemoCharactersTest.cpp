// The demo's characters scene, played headless by the built game with the frame dump: the first
// frame of each checkpoint (32 to 38 of the corner lamp) is kept as build/demo_characters_NN.png
// and read at worked-out pixels: the background composed through the picture slots, the two
// characters at positions 1 and 2, the new face, the second one smaller at position 3, the first
// one gone after its flash, and the scene enlarged about its centre by the zoom flash. The scene
// plays from a start of its own (evening_alone.mes); the game is stopped once the next scene has
// begun. A second run plays the sound scene before it, whose voiced lines leave with their scene
// (build/demo_story_sound_left.png).

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "demopics/DemoPictures.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;

constexpr int FIRST_CHECKPOINT = 32;
constexpr int WEATHER_CHECKPOINT = 37;
constexpr int ZOOM_CHECKPOINT = 38;
constexpr int NEXT_SCENE_CHECKPOINT = 16;

uint32_t Rgb(const platform::PngPicture& picture, int x, int y)
{
    return picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x] & 0xFFFFFFu;
}

int Lamp(const platform::PngPicture& picture)
{
    return static_cast<int>((picture.pixels[0] >> 16) & 0xFF);
}

// The zoom's one enlarged frame: the house (600, 300)-(1320, 780) reaches (528, 252).
bool IsEnlarged(const platform::PngPicture& picture)
{
    const uint32_t house = tools::STAGE_HOUSE & 0xFFFFFFu;
    return Rgb(picture, 540, 540) == house && Rgb(picture, 960, 260) == house &&
           Rgb(picture, 515, 540) != house;
}

struct Expected
{
    int x, y;
    uint32_t colour;
};

} // namespace

TEST(DemoCharactersTest, CheckpointFramesShowTheScene)
{
    const HeadlessDemoHome home;
    const fs::path& build = home.Build();
    ASSERT_TRUE(fs::exists(build / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "evening_alone.mes"); });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.SetClockRate(4);
    x.StartGame();

    // Every frame read in order until the scene after this one has begun.
    std::map<int, platform::PngPicture> first;
    std::optional<platform::PngPicture> enlarged;
    std::optional<platform::PngPicture> weather; // the last frame of the snow and petals
    x.WaitFor([&](const platform::PngPicture& picture) {
        const int lamp = Lamp(picture);
        if (lamp >= FIRST_CHECKPOINT && lamp <= ZOOM_CHECKPOINT && !first.count(lamp))
            first.emplace(lamp, picture);
        if (lamp == WEATHER_CHECKPOINT)
            weather = picture;
        if (lamp == ZOOM_CHECKPOINT && !enlarged && IsEnlarged(picture))
            enlarged = picture;
        return lamp == NEXT_SCENE_CHECKPOINT && first.count(ZOOM_CHECKPOINT);
    });
    EXPECT_EQ(x.Output().find("Box"), std::string::npos) << x.Output();

    // Written opaque: the back buffer's alpha is not part of the picture.
    const auto keep = [&](platform::PngPicture picture, const std::string& name) {
        for (uint32_t& pixel : picture.pixels)
            pixel |= 0xFF000000u;
        EXPECT_TRUE(platform::WritePngFile((build / name).string(), picture));
    };
    const uint32_t sky = tools::STAGE_SKY & 0xFFFFFFu;
    const uint32_t first_body = tools::STAGE_FIRST_BODY & 0xFFFFFFu;
    const uint32_t second_body = tools::STAGE_SECOND_BODY & 0xFFFFFFu;
    // Position 1 at (-664, 35), position 2 at (536, 50); the body columns 884-1164 of the picture.
    const std::map<int, std::vector<Expected>> checks = {
        {32,
         {{100, 100, sky},
          {960, 540, tools::STAGE_HOUSE & 0xFFFFFFu},
          {1432, 152, tools::STAGE_SUN & 0xFFFFFFu}}},
        {33, {{360, 700, first_body}, {1560, 700, second_body}, {360, 335, tools::STAGE_SKIN & 0xFFFFFFu}}},
        {34, {{360, 35 + 346, tools::STAGE_MOUTH & 0xFFFFFFu}, {360, 700, first_body}}},
        // At 80 % the body spans 1448-1672 from y 60 + 420 x 0.8.
        {35, {{1560, 620, second_body}, {1690, 700, sky}, {360, 700, first_body}}},
        {36, {{360, 700, sky}, {1560, 620, second_body}}},
    };
    for (const auto& [checkpoint, points] : checks) {
        SCOPED_TRACE(checkpoint);
        auto it = first.find(checkpoint);
        ASSERT_NE(it, first.end()) << "checkpoint " << checkpoint << " not reached";
        keep(it->second, "demo_characters_" + std::to_string(checkpoint) + ".png");
        for (const Expected& p : points)
            EXPECT_EQ(Rgb(it->second, p.x, p.y), p.colour) << p.x << ", " << p.y;
    }
    ASSERT_TRUE(weather.has_value()) << "snow checkpoint not reached";
    keep(*weather, "demo_characters_37.png");
    ASSERT_TRUE(enlarged.has_value()) << "no enlarged frame in the zoom flash";
    keep(*enlarged, "demo_characters_38.png");
    EXPECT_EQ(Rgb(*enlarged, 1380, 540), tools::STAGE_HOUSE & 0xFFFFFFu);
    EXPECT_EQ(Rgb(*enlarged, 960, 240), sky);
}

TEST(DemoCharactersTest, TheSoundScenesVoicedLinesAreGoneWhenTheSceneBegins)
{
    const HeadlessDemoHome home;
    const fs::path& build = home.Build();
    ASSERT_TRUE(fs::exists(build / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "sound_alone.mes"); });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.SetClockRate(4);
    x.StartGame();
    // The sound scene's two lines stand in the story text under the house; the composed
    // background, the characters scene's first checkpoint, shows none of them.
    const std::optional<platform::PngPicture> composed =
        x.WaitFor([](const platform::PngPicture& picture) { return Lamp(picture) == FIRST_CHECKPOINT; });
    ASSERT_TRUE(composed.has_value()) << x.Output();
    x.Keep(*composed, "sound_left");
    EXPECT_EQ(WhiteIn(*composed, 160, 800, 1000, 960), 0) << "the sound scene's lines over the next scene";
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
}
