// The demo's place and area scene and its town-map scene, each played headless on its own by the
// built game with the frame dump until the close box ends the game: the place screen comes in
// with its fixed buttons and help bar and waits for the player (build/demo_place.png); the town
// is drawn at view point 0 (build/demo_town_start.png), the leader walks a searched path across
// the bridge with the camera following, and the screen waits on the goal
// (build/demo_town_walked.png).

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/MapSheets.h"

namespace {

namespace fs = std::filesystem;

std::optional<std::pair<uint32_t, int32_t>> CellAt(const platform::PngPicture& picture, int x, int y)
{
    uint32_t id = 0;
    int32_t state = 0;
    if (!tools::DecodeCellColour(picture.pixels[static_cast<size_t>(y) * picture.width + x] | 0xFF000000u, id,
                                 state))
        return std::nullopt;
    return std::make_pair(id, state);
}

void SetStartScript(const fs::path& home, const char* script)
{
    CXMLDocument config(CStringUTF8((home / "vesk/demo/Save/config.xml").string().c_str()));
    config.Load();
    config.SetString("/GameFile/Script/StartUp", script);
    config.Save();
}

// The first dumped frame the test accepts, copied to the build folder under the name.
bool KeepFirstFrame(const HeadlessDemoHome& home, const std::string& png,
                    const std::function<bool(const platform::PngPicture&)>& accept)
{
    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    for (const fs::path& frame : frames) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        if (picture.has_value() && accept(*picture)) {
            fs::copy_file(frame, home.Build() / png, fs::copy_options::overwrite_existing);
            return true;
        }
    }
    return false;
}

// The first row from the top where column x shows the river's colour, or -1.
int RiverRow(const platform::PngPicture& picture, int x)
{
    for (int y = 0; y < static_cast<int>(picture.height); ++y)
        if ((picture.pixels[static_cast<size_t>(y) * picture.width + x] & 0xFFFFFFu) == 0x2850B4u)
            return y;
    return -1;
}

// A figure's pixel (the figure sheet's colours: green 0x20, blue 0x80) within 24 pixels of (x, y).
bool FigureNear(const platform::PngPicture& picture, int x, int y)
{
    for (int dy = -24; dy <= 24; dy += 4)
        for (int dx = -24; dx <= 24; dx += 4) {
            const uint32_t pixel = picture.pixels[static_cast<size_t>(y + dy) * picture.width + (x + dx)];
            if ((pixel & 0xFFFFu) == 0x2080u && ((pixel >> 16) & 0xFF) >= 0x40)
                return true;
        }
    return false;
}

} // namespace

TEST(DemoAreasTest, TheTownWalksItsLeaderAlongASearchedPathWithTheCameraFollowing)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    SetStartScript(home.Path(), "town_alone.mes");
    EXPECT_EQ(std::system(home.Command("VESK_CLOSE_AFTER_FRAMES=1500", 120).c_str()), 0);

    // View point 0: the camera at the map's corner, the river's row 17 at y 680, the leader on
    // (30, 14).
    EXPECT_TRUE(KeepFirstFrame(home, "demo_town_start.png", [](const platform::PngPicture& picture) {
        return RiverRow(picture, 100) == 680 && FigureNear(picture, 30 * 40 + 20, 14 * 40 + 20);
    })) << "the town at view point 0";
    // On the goal, foot cell (34, 28): the camera, read from the river's row and the bridge, has
    // followed downwards.
    EXPECT_TRUE(KeepFirstFrame(home, "demo_town_walked.png", [](const platform::PngPicture& picture) {
        const int river = RiverRow(picture, 100);
        if (river < 0 || river >= 680 || (680 - river) % 40 != 0)
            return false;
        int bridge = 0;
        while (bridge < 1920 &&
               (picture.pixels[static_cast<size_t>(river) * picture.width + bridge] & 0xFFFFFFu) == 0x2850B4u)
            ++bridge;
        const int cam_x = 28 - bridge / 40;
        const int cam_y = (680 - river) / 40;
        return FigureNear(picture, (34 - cam_x) * 40 + 40, (27 - cam_y) * 40 + 20);
    })) << "the leader on the goal with the camera following";
}

TEST(DemoAreasTest, ThePlaceScreenComesInWithItsButtonsAndWaits)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    SetStartScript(home.Path(), "areas_alone.mes");
    EXPECT_EQ(std::system(home.Command("VESK_CLOSE_AFTER_FRAMES=1200", 120).c_str()), 0);

    // Mode 0: back, area select and decide in the row at y 803, quick save and load at the left;
    // no quick save was made yet, so quick load stands disabled.
    const auto place = [](const platform::PngPicture& picture) {
        const auto button = [&](int x, uint32_t column, int32_t state) {
            return CellAt(picture, x + 61, 803 + 100) ==
                   std::make_pair(tools::AREA_SHEET_BUTTON + column, state);
        };
        return button(1389, 2, 0) && button(1259, 1, 0) && button(1129, 0, 0) && button(409, 5, 0) &&
               button(531, 6, 3) &&
               CellAt(picture, 409 + 1000, 952 + 70) == std::make_pair(tools::AREA_SHEET_HELP_BAR, 0);
    };
    EXPECT_TRUE(KeepFirstFrame(home, "demo_place.png", place)) << "the place screen's buttons and help bar";
}
