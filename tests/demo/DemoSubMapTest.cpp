// The demo's sub-map scene, played headless on its own by the built game with the frame dump and
// "/Config/GameMode" at 1: the calendar plate appears with the scene's date, time and money, then
// the first sub map opens with its spots and the faces the presence rules give for that moment,
// where it waits for the player, and the game is closed. The first frame of each is kept as
// build/demo_plate.png and build/demo_submap.png.

#include <filesystem>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "game/hints/HintReachability.h"
#include "platform/gdi/PngCodec.h"
#include "screens/map/SubMapLayout.h"
#include "sheetgen/MapSheets.h"

namespace {

namespace fs = std::filesystem;
using Frame = platform::PngPicture;

} // namespace

TEST(DemoSubMapTest, ThePlateThenTheFirstSubMapWithFaces)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Dialog/02/Enable", 0); // the close box ends the game
        config.SetInt("/Config/GameMode", 1);
        config.SetString("/GameFile/Script/StartUp", "submap_alone.mes");
    });
    // The sub map waits for the player: the game is closed once it has shown.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.StartGame();
    const size_t seen = PlayFrameSteps(
        x, {{"demo_plate.png",
             [](const Frame& frame) {
                 return FrameCellAt(frame, 16 + 300, 8 + 120) == tools::PLATE_CALENDAR &&
                        // A digit's top-left corner: its glyph stands inside.
                        FrameCellAt(frame, 313 + 269 + 1, 8 + 22 + 1) == tools::PLATE_MONEY_DIGIT + 5 &&
                        FrameCellAt(frame, 16 + 157 + 1, 8 + 19 + 1) == tools::PLATE_DATE_DIGIT + 4;
             },
             [](const Frame& frame) {
                 EXPECT_EQ(FrameCellAt(frame, 16 + 181 + 1, 8 + 23 + 1),
                           tools::PLATE_WEEKDAY + static_cast<uint32_t>(DayOfWeek(1224)))
                     << "24 December shown as another weekday than the calendar's";
             }},
            {"demo_submap.png",
             [](const Frame& frame) {
                 return FrameCellAt(frame, 960, 1070) == tools::SUBMAP_BACKGROUND &&
                        FrameCellAt(frame, 1747 + 79, 902 + 79) == 100u;
             },
             [](const Frame& frame) {
                 int faces = 0;
                 int taku = 0;
                 for (const SubMapPoint& face : GetSubMapLayout(SUBMAP_KIND_FIRST).Faces) {
                     const std::optional<uint32_t> id = FrameCellAt(frame, face.X + 72, face.Y + 72);
                     faces += id && *id >= tools::ICON_FACE && *id <= tools::ICON_FACE + 26 ? 1 : 0;
                     taku += id == tools::ICON_FACE + 16 ? 1 : 0;
                 }
                 EXPECT_GT(faces, 0) << "somebody is somewhere on 24 December at 15:45";
                 // The town's day has passed the night of character 16's rows: he is at one place
                 // at most, not at each of the three places whose day rows wait for that night.
                 EXPECT_LE(taku, 1) << "character 16 at " << taku << " places";
             }}});
    EXPECT_EQ(seen, 2u) << "the plate with 24/12 and 12,345 1, the first sub map 2\n" << x.Output();
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
}
