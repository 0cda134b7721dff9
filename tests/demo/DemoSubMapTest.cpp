// The demo's sub-map scene, played headless on its own by the built game with the frame dump and
// "/Config/GameMode" at 1: the calendar plate appears with the scene's date, time and money, then
// the first sub map opens with its spots and the faces the presence rules give for that moment,
// until the close box ends the game. The first frame of each is kept as build/demo_plate.png and
// build/demo_submap.png.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "screens/map/SubMapLayout.h"
#include "sheetgen/MapSheets.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

} // namespace

TEST(DemoSubMapTest, ThePlateThenTheFirstSubMapWithFaces)
{
    const fs::path build(std::getenv("VESK_BINARY_DIR") != nullptr ? std::getenv("VESK_BINARY_DIR") : ".");
    ASSERT_TRUE(fs::exists(build / "demo/vesk")) << "build the demo target first";
    TempDir home;
    fs::create_directories(home.Path() / "run");
    fs::create_directories(home.Path() / "frames");
    const fs::path save = home.Path() / "vesk/demo/Save";
    fs::create_directories(save);
    for (const auto& entry : fs::directory_iterator(build / "resources/initial_save"))
        fs::copy_file(entry.path(), save / entry.path().filename(), fs::copy_options::overwrite_existing);
    {
        CXMLDocument config(CStringUTF8((save / "config.xml").string().c_str()));
        config.Load();
        config.SetInt("/Config/Dialog/02/Enable", 0); // the close box ends the game
        config.SetInt("/Config/GameMode", 1);
        config.SetString("/GameFile/Script/StartUp", "submap_alone.mes");
        ASSERT_EQ(config.Save(), 1u);
    }
    // The sub map waits for the player; the close box ends the run after enough pumps for the
    // plate's and the map's fades on a busy machine.
    const std::string h = home.Path().string();
    const std::string command =
        "cd '" + (build / "demo").string() +
        "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1 XDG_DATA_HOME='" + h +
        "' XDG_RUNTIME_DIR='" + h + "/run' VESK_CLOSE_AFTER_FRAMES=3000 VESK_FRAME_DUMP='" + h +
        "/frames' timeout -s KILL " + std::to_string(HANG_KILL_SECONDS) + " ./vesk >'" + h + "/out.txt' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);

    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    bool plate = false;
    bool map = false;
    for (const fs::path& frame : frames) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        ASSERT_TRUE(picture.has_value()) << frame;
        if (!plate && FrameCellAt(*picture, 16 + 300, 8 + 120) == tools::PLATE_CALENDAR &&
            // A digit's top-left corner: its glyph stands inside.
            FrameCellAt(*picture, 313 + 269 + 1, 8 + 22 + 1) == tools::PLATE_MONEY_DIGIT + 5 &&
            FrameCellAt(*picture, 16 + 157 + 1, 8 + 19 + 1) == tools::PLATE_DATE_DIGIT + 4) {
            plate = true;
            fs::copy_file(frame, build / "demo_plate.png", fs::copy_options::overwrite_existing);
        }
        if (!map && FrameCellAt(*picture, 960, 1070) == tools::SUBMAP_BACKGROUND &&
            FrameCellAt(*picture, 1747 + 79, 902 + 79) == 100u) {
            map = true;
            fs::copy_file(frame, build / "demo_submap.png", fs::copy_options::overwrite_existing);
            int faces = 0;
            for (const SubMapPoint& face : GetSubMapLayout(SUBMAP_KIND_FIRST).Faces) {
                const std::optional<uint32_t> id = FrameCellAt(*picture, face.X + 72, face.Y + 72);
                faces += id && *id >= tools::ICON_FACE && *id <= tools::ICON_FACE + 26 ? 1 : 0;
            }
            EXPECT_GT(faces, 0) << "somebody is somewhere on 24 December at 15:45";
        }
    }
    EXPECT_TRUE(plate) << "the plate with 24/12 and 12,345";
    EXPECT_TRUE(map) << "the first sub map";
}
