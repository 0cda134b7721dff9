// The demo's place and area scene and its town-map scene, each played headless on its own by the
// built game with the frame dump and scripted input. Clicks take the first through the
// character-area screen, the time selection and its back to the character-area screen
// (build/demo_time_back.png), the time selection again, the place screen and the area screen over an id
// picture and over an ".area" source (build/demo_place.png, demo_area.png, demo_time.png, and
// demo_help_lift.png with the area screen's help bar risen under the pointer); the answers it
// keeps are read back from the state it saves. In the second the town is drawn at view point 0
// (build/demo_town_start.png), the leader walks a searched path below a house's door
// (build/demo_town_walked.png), and the held up arrow walks it into the door's event area, whose
// id the scene keeps and names by its place in a message of the message window
// (build/demo_town_answer.png).
// In a third run of the town the right button opens the first sub map with the presence faces
// over the running screen (build/demo_town_submap.png) and closes it back to the town
// (build/demo_town_submap_closed.png), which runs on and opens it again.
// The character-area screen opens once in each language to show its places round the figure.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "demopics/DemoPictures.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "screens/map/CTimeSelect.h"
#include "screens/map/SubMapLayout.h"
#include "sheetgen/DemoMapSheets.h"
#include "sheetgen/MapSheets.h"
#include "textpaint/LanguageWords.h"

namespace {

namespace fs = std::filesystem;

using Frame = platform::PngPicture;

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

// The camera read from the river's row and the bridge, and the leader on the walk's goal, foot
// cell (42, 12).
bool LeaderOnTheGoal(const platform::PngPicture& picture)
{
    const int river = RiverRow(picture, 100);
    if (river < 0 || (680 - river) % 40 != 0)
        return false;
    int bridge = 0;
    while (bridge < 1920 &&
           (picture.pixels[static_cast<size_t>(river) * picture.width + bridge] & 0xFFFFFFu) == 0x2850B4u)
        ++bridge;
    const int cam_x = 28 - bridge / 40;
    const int cam_y = (680 - river) / 40;
    return FigureNear(picture, (42 - cam_x) * 40 + 40, (11 - cam_y) * 40 + 20);
}

// The first sub map: its background, its back button and at least one presence face.
bool SubMapWithFaces(const platform::PngPicture& picture)
{
    const SubMapKindLayout& layout = GetSubMapLayout(SUBMAP_KIND_FIRST);
    const int back = SUBMAP_BACK_SIZE / 2;
    if (FrameCellStateAt(picture, 960, 1070) != std::make_pair(tools::SUBMAP_BACKGROUND, 0) ||
        FrameCellStateAt(picture, layout.Back.Screen.X + back, layout.Back.Screen.Y + back) !=
            std::make_pair(static_cast<uint32_t>(SUBMAP_BACK_ITEM), 0))
        return false;
    const int face = SUBMAP_FACE_SIZE / 2;
    return std::any_of(layout.Faces.begin(), layout.Faces.end(), [&](const SubMapPoint& at) {
        const auto cell = FrameCellStateAt(picture, at.X + face, at.Y + face);
        return cell && cell->first >= tools::ICON_FACE && cell->first <= tools::ICON_FACE + 26;
    });
}

// The message boxes the run printed: headless a script error goes to the output and the scene
// runs on, where a window stops on its box.
std::string MessageBoxes(const HeadlessDemoHome& home)
{
    std::ifstream output(home.Path() / "out.txt");
    std::string line, boxes;
    while (std::getline(output, line))
        if (line.find("] (0x") != std::string::npos)
            boxes += line + "\n";
    return boxes;
}

// The game started on the start script, watched frame by frame.
void Start(HeadlessDemoPlayer& x, const char* start)
{
    x.Home().EditConfig([&](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", start); });
    x.StartGame();
}

const auto NOTHING = [](const Frame&) {};

} // namespace

TEST(DemoAreasTest, TheTownWalksItsLeaderAlongASearchedPathAndTheDoorEndsTheScreen)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    // The leader walks to the goal by himself; there the up arrow, held until the screen has
    // answered, walks him into the door.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    Start(x, "town_alone.mes");
    // View point 0: the camera at the map's corner, the river's row 17 at y 680, the leader on
    // (30, 14). Then on the goal, foot cell (42, 12), with the camera read from the river's row and
    // the bridge. The scene names the door in a message of the message window: 扉：喫茶店,
    // nothing after.
    const size_t seen = PlayFrameSteps(
        x, {{"demo_town_start.png",
             [](const Frame& picture) {
                 return RiverRow(picture, 100) == 680 && FigureNear(picture, 30 * 40 + 40, 14 * 40 + 20);
             },
             NOTHING},
            {"demo_town_walked.png", LeaderOnTheGoal, NOTHING, [&x] { x.HoldUp(); }},
            {"demo_town_answer.png",
             [](const Frame& picture) { return MessageLineCells(picture, 8) == "#####..."; }, NOTHING}});
    EXPECT_EQ(seen, 3u)
        << "the town at view point 0 1, the leader on the goal 2, the door's id in a message 3\n"
        << x.Output();
    const fs::path answer = home.Path() / "vesk/demo/Save/FLAG005";
    EXPECT_TRUE(x.WaitFor([&](const Frame&) { return fs::exists(answer); }, std::chrono::seconds(30)));
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    EXPECT_EQ(MessageBoxes(home), "");

    // The door's event area (id 2) ended the screen; the scene kept its answer.
    const std::optional<FlagBuffer> state = SavedState(home, "FLAG005");
    ASSERT_TRUE(state.has_value()) << "FLAG005";
    EXPECT_EQ(state->Values[25].Integer, 2);
}

TEST(DemoAreasTest, AGameQuickSavedOnTheDoorMessageComesBackOverTheTownAsItStood)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/AutoRead", 0); });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    Start(x, "town_alone.mes");
    // The town's view read from the river's row and the bridge's left end.
    const auto view = [](const Frame& picture) {
        const int river = RiverRow(picture, 100);
        int bridge = 0;
        while (river >= 0 && bridge < 1920 &&
               (picture.pixels[static_cast<size_t>(river) * picture.width + bridge] & 0xFFFFFFu) == 0x2850B4u)
            ++bridge;
        return std::make_pair(river, bridge);
    };
    const auto door_message = [](const Frame& picture) { return MessageLineCells(picture, 8) == "#####..."; };
    std::pair<int, int> saved_view;
    const fs::path quick = home.Path() / "vesk/demo/Save/FLAG201";
    const size_t seen = PlayFrameSteps(
        x,
        {{nullptr, LeaderOnTheGoal, NOTHING, [&x] { x.HoldUp(); }},
         {nullptr, door_message, [&](const Frame& picture) { saved_view = view(picture); },
          [&x] { x.Click(1540, 1033); }},
         // Quick-saved on the message, then loaded at once: the town drawn again under it.
         {nullptr, [&](const Frame&) { return fs::exists(quick); }, NOTHING, [&x] { x.Click(1620, 1033); }},
         {nullptr, [&](const Frame& picture) { return !door_message(picture); }, NOTHING},
         {"demo_town_door_loaded.png", door_message, [&](const Frame& picture) {
              EXPECT_EQ(view(picture), saved_view) << "the town drawn scrolled after the load";
          }}});
    EXPECT_EQ(seen, 5u)
        << "the leader on the goal 1, the door's message 2, its quick save 3, the load 4, the "
           "message again 5\n"
        << x.Output();
    EXPECT_GE(saved_view.first, 0) << "no river on the town before the save";
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    EXPECT_EQ(MessageBoxes(home), "");
}

TEST(DemoAreasTest, TheRightButtonOpensTheSubMapOverTheRunningTownAndClosesItAgain)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/GameMode", 1); // faces on the sub map
    });
    // Each right click once the screen has shown: on the town (the leader on the goal) it opens
    // the sub map with faces over it, on the sub map it closes it (back, -1) and the town runs on,
    // where a third opens it again.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    Start(x, "town_alone.mes");
    const auto right_click = [&x] { x.Click(960, 700, 3); };
    const size_t seen =
        PlayFrameSteps(x, {{nullptr, LeaderOnTheGoal, NOTHING, right_click, true},
                           {"demo_town_submap.png", SubMapWithFaces, NOTHING, right_click, true},
                           {"demo_town_submap_closed.png", LeaderOnTheGoal, NOTHING, right_click, true},
                           {nullptr, SubMapWithFaces, NOTHING}});
    EXPECT_EQ(seen, 4u)
        << "the town 1, the sub map over it with faces 2, the town again 3, the sub map again 4\n"
        << x.Output();
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    // The sub map's back kept the screen running: it never ended, so the scene saved no answer.
    EXPECT_FALSE(fs::exists(home.Path() / "vesk/demo/Save/FLAG005"));
}

TEST(DemoAreasTest, ClicksThroughTheCharacterTimePlaceAndAreaScreens)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    // Each click once its screen has shown: place 6 of the standing character's hits, the time
    // ring's button 3, the place screen's decide, group 3's strip of the id picture (after the
    // pointer has rested on the help bar, which the area screen lifts) and the ".area" place
    // 0x0102. Each lands on nothing on the screens before and after its own, so a click repeated
    // for a screen that missed it does no harm.
    //
    // Mode 0: back, area select and decide in the row at y 803, quick save and load at the left;
    // no quick save was made yet, so quick load stands disabled.
    const auto button = [](const Frame& picture, int x, int y, uint32_t column, int32_t state) {
        return FrameCellStateAt(picture, x + 61, y + 62) ==
               std::make_pair(tools::AREA_SHEET_BUTTON + column, state);
    };
    const auto place_screen = [&](const Frame& picture) {
        return button(picture, 1389, 803, 2, 0) && button(picture, 1259, 803, 1, 0) &&
               button(picture, 1129, 803, 0, 0) && button(picture, 409, 803, 5, 0) &&
               button(picture, 531, 803, 6, 3) &&
               FrameCellStateAt(picture, 409 + 1000, 952 + 70) ==
                   std::make_pair(tools::AREA_SHEET_HELP_BAR, 0);
    };
    // The character-area screen: the standing character's body in the middle and the back button
    // alone.
    const auto character_screen = [&](const Frame& picture) {
        return (picture.pixels[580 * picture.width + 960] & 0xFFFFFFu) == 0x3060C0u &&
               button(picture, 1389, 803, 2, 0) && !button(picture, 1129, 803, 0, 0);
    };
    // An area screen has only the corner back button; the id picture's places are drawn as
    // strips across the top, the ".area" source's as two boxes below them.
    const auto area_screen = [&](const Frame& picture) {
        return button(picture, 1780, 942, 4, 0) && !button(picture, 1129, 803, 0, 0);
    };
    const auto strips_shown = [](const Frame& picture) {
        return (picture.pixels[300 * picture.width + 70] & 0xFFFFFFu) != 0;
    };
    // The time selection in mode 4: the dial, mode 2's caption (read at its corner: its words
    // stand across its middle) and the ninth button.
    const auto time_screen = [](const Frame& picture) {
        return FrameCellStateAt(picture, 960, 300) == std::make_pair(tools::TIME_SHEET_DIAL, 0) &&
               FrameCellStateAt(picture, 722, 835) == std::make_pair(tools::TIME_SHEET_CAPTION + 2, 0) &&
               FrameCellStateAt(picture, 960, 495) == std::make_pair(static_cast<uint32_t>(TIME_ID_NINTH), 0);
    };
    const fs::path answers_file = home.Path() / "vesk/demo/Save/FLAG004";
    HeadlessDemoPlayer x(home);
    Start(x, "areas_alone.mes");
    // The time selection's back (its corner button) goes back to the character-area screen,
    // with nothing of the first answer left in the story text.
    const auto story_text = [](const Frame& picture) { return WhiteIn(picture, 160, 815, 1000, 880); };
    const auto second_line = [](const Frame& picture) { return WhiteIn(picture, 160, 887, 680, 952); };
    const auto areas_said = [](const Frame& picture) { return WhiteIn(picture, 520, 887, 1400, 952); };
    // The right button goes back from any of the screens: a click repeated for a screen that
    // missed it is given only while the screen it leads from still shows.
    const auto right_click_on = [&x](const std::function<bool(const Frame&)>& screen) {
        return [&x, screen] {
            const std::optional<Frame> shown = x.Grab();
            if (shown && screen(*shown))
                x.Click(1700, 600, 3); // clear of every screen's buttons
        };
    };
    const auto first_area_screen = [&](const Frame& picture) {
        return area_screen(picture) && strips_shown(picture);
    };
    const auto spots_screen = [&](const Frame& picture) {
        return area_screen(picture) && !strips_shown(picture);
    };
    const size_t seen = PlayFrameSteps(
        x, {{nullptr, character_screen, NOTHING, [&x] { x.Click(460, 300); }},
            {nullptr, time_screen, NOTHING, [&x] { x.Click(1288 + 79, 670 + 79); }},
            {"demo_time_back.png",
             [&](const Frame& picture) { return character_screen(picture) && !time_screen(picture); },
             [&](const Frame& picture) {
                 EXPECT_EQ(story_text(picture), 0) << "an answer left in the story text";
             },
             [&x] { x.Click(460, 300); }},
            {"demo_time.png", time_screen, NOTHING, [&x] { x.Click(1170, 630); }},
            // The places its area button offers stand drawn over the scene already. The right
            // button goes back to the time of day, whose answer is asked again: the story text
            // keeps whom to meet and no place.
            {"demo_place.png",
             [&](const Frame& picture) { return place_screen(picture) && strips_shown(picture); }, NOTHING,
             right_click_on(place_screen)},
            {"demo_place_back.png",
             [&](const Frame& picture) { return time_screen(picture) && !place_screen(picture); },
             [&](const Frame& picture) {
                 EXPECT_GT(story_text(picture), 0) << "whom to meet gone from the story text";
                 EXPECT_EQ(second_line(picture), 0) << "an answer of the place screen in the story text";
             },
             [&x] { x.Click(1170, 630); }},
            {nullptr, [&](const Frame& picture) { return place_screen(picture) && strips_shown(picture); },
             NOTHING, [&x] { x.Click(1190, 865); }},
            // The area screen's right button goes back to the place screen, which decides again.
            {nullptr, [&](const Frame& picture) { return area_screen(picture) && strips_shown(picture); },
             NOTHING, right_click_on(first_area_screen)},
            {"demo_area_back.png",
             [&](const Frame& picture) { return place_screen(picture) && strips_shown(picture); }, NOTHING,
             [&x] { x.Click(1190, 865); }},
            {"demo_area.png",
             [&](const Frame& picture) { return area_screen(picture) && strips_shown(picture); }, NOTHING,
             [&x] { x.Move(960, 990); }},
            // The help bar risen by 100 pixels under the pointer.
            {"demo_help_lift.png",
             [&](const Frame& picture) {
                 return area_screen(picture) && FrameCellStateAt(picture, 409 + 1000, 852 + 70) ==
                                                    std::make_pair(tools::AREA_SHEET_HELP_BAR, 0);
             },
             NOTHING, [&x] { x.Click(460, 300); }},
            // The ".area" screen's right button goes back to the first area screen.
            {nullptr, [&](const Frame& picture) { return area_screen(picture) && !strips_shown(picture); },
             NOTHING, right_click_on(spots_screen)},
            {"demo_area_spots_back.png",
             [&](const Frame& picture) { return area_screen(picture) && strips_shown(picture); },
             [&](const Frame& picture) {
                 EXPECT_EQ(areas_said(picture), 0) << "an answer of the area screens in the story text";
             },
             [&x] { x.Click(460, 300); }},
            {nullptr, [&](const Frame& picture) { return area_screen(picture) && !strips_shown(picture); },
             NOTHING, [&x] { x.Click(300, 650); }},
            {nullptr, [&](const Frame&) { return fs::exists(answers_file); }, NOTHING}});
    EXPECT_EQ(seen, 15u)
        << "the character screen 1, the time selection 2, back to the character screen 3, the time "
           "selection 4, the place screen's buttons and help bar 5, back to the time selection 6, the "
           "place screen 7, the area screen 8, back to the place screen 9, the area screen 10, its "
           "help bar risen 11, the \".area\" screen 12, back to the area screen 13, the \".area\" "
           "screen 14, the answers saved 15\n"
        << x.Output();
    EXPECT_EQ(x.ExitStatus(), 0) << "the scene did not end the game\n" << x.Output();

    // The answers the scene kept: decide, group 3 item 1 of the id picture, place 0x0102 raised
    // to group 2, place 6 (group 6 item 1) of the standing character's own id picture, the ring's
    // button 3.
    const std::optional<FlagBuffer> state = SavedState(home, "FLAG004");
    ASSERT_TRUE(state.has_value()) << "FLAG004";
    const std::vector<int32_t> expected{0xFF02, 0x0301, 0x0202, 0x0601, 4};
    std::vector<int32_t> answers;
    for (size_t n = 20; n <= 24; ++n)
        answers.push_back(state->Values[n].Integer);
    EXPECT_EQ(answers, expected);
}

TEST(DemoAreasTest, TheCharacterAreaShowsEveryPlaceNamedOverItsHitsClearOfTheFigure)
{
    // In each language (build/demo_story_character_area_<index>.png: English, simplified and
    // traditional Chinese, Japanese): every opaque pixel of each place's sign as that language's
    // picture draws it (its frame and its name) shows unchanged over the place's hit rectangle,
    // and nothing of the figure shows there.
    for (int32_t language = 0; language < 4; ++language) {
        const HeadlessDemoHome home;
        ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
        home.EditConfig([&](CXMLDocument& config) {
            config.SetInt("/Config/Language", language);
            config.SetString("/GameFile/Script/StartUp", "areas_alone.mes");
        });
        HeadlessDemoPlayer x(home);
        x.StartGame();
        const std::optional<Frame> opened = x.WaitFor([](const Frame& picture) {
            return FrameCellAt(picture, 1000, 1000) == tools::AREA_SHEET_HELP_BAR &&
                   FrameCellAt(picture, 1450, 865) == tools::AREA_SHEET_BUTTON + 2;
        });
        ASSERT_TRUE(opened) << "language " << language << ": no character-area screen\n" << x.Output();
        x.Settle();
        const std::optional<Frame> shown = x.Grab();
        ASSERT_TRUE(shown);
        x.Keep(*shown, "character_area_" + std::to_string(language));
        const tools::AkbPicture signs = tools::DemoFigureSpots(tools::LanguageOfIndex(language));
        for (const tools::AreaRecord& place : tools::FigurePlaceAreas()) {
            int signed_pixels = 0;
            int changed = 0;
            int figure = 0;
            for (int y = place.top; y < place.bottom; ++y)
                for (int x_at = place.left; x_at < place.right; ++x_at) {
                    const uint32_t pixel =
                        shown->pixels[static_cast<size_t>(y) * shown->width + x_at] & 0xFFFFFFu;
                    const uint32_t sign = signs.At(x_at, y);
                    if (pixel == (tools::STAGE_FIRST_BODY & 0xFFFFFFu) ||
                        pixel == (tools::STAGE_SKIN & 0xFFFFFFu))
                        ++figure;
                    if (sign >> 24 != 0xFF)
                        continue;
                    ++signed_pixels;
                    if (pixel != (sign & 0xFFFFFFu))
                        ++changed;
                }
            const std::string where =
                "language " + std::to_string(language) + ", place " + std::to_string(place.id >> 8);
            EXPECT_GT(signed_pixels, 1000) << where << ": no sign drawn for it";
            EXPECT_EQ(changed, 0) << where << ": its sign covered or another one over its hits";
            EXPECT_EQ(figure, 0) << where << ": the figure over its hits";
        }
        x.Close();
        EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    }
}
