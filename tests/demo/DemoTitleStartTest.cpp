// The demo started as a player starts it: the logo movie, the title animation, then the title,
// where a scripted click on its first button starts a new game. The first scene's checkpoint lamp
// then shows in the frames, and no script error is reported on the way (the title and the scenes
// share the background sprite the start script makes).
// The route's end: from a save on the train trip's epilogue line, loaded from the title, through
// the movies to the ending, whose clear flag the system file keeps, and back to the special title,
// which the next start shows again; from there back to the title, whose scene replay now opens and
// holds the ending's scene.
// The screens the title opens, each press made once the screen before it shows (and again if the
// next does not come, so each does nothing where it does not belong): the extras' gallery, left again for the
// title, and its open cell's CG in the viewer; the music room of a cleared game, a track played; the slot
// machine, a game played; the settings, whose sound page takes a new master volume into the configuration
// file; and the load screen.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoOffRoute.h"
#include "DemoPlayer.h"
#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "GameProcess.h"
#include "demopics/DemoPictures.h"
#include "flagwrite/FlagFileWriter.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/DemoSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SaveLoadSheets.h"
#include "sheetgen/SheetGenerator.h"
#include "sheetgen/SlotSheet.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(DemoTitleStartTest, AClickOnTheFirstTitleButtonStartsTheStory)
{
    const HeadlessDemoHome run;
    ASSERT_TRUE(fs::exists(run.Build() / "demo/vesk")) << "build the demo target first";
    run.EditConfig([&](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    HeadlessDemoPlayer player(run);
    player.StartGame();
    // The title's first button, at the title's first frame and again until the story shows.
    const auto title = [](const platform::PngPicture& frame) { return FrameCellAt(frame, 310, 543) == 0u; };
    ASSERT_TRUE(player.WaitFor(title, 180s)) << "no title\n" << player.Output();
    // The scenes' checkpoint lamp: pure red numbering the checkpoint, in the top-left pixel.
    const auto story = [](const platform::PngPicture& frame) {
        const uint32_t lamp = frame.pixels[0];
        return (lamp & 0xFF00FFFFu) == 0xFF0000FFu && (lamp & 0x00FF0000u) != 0;
    };
    EXPECT_TRUE(player.ClickUntil(300, 540, story)) << "no frame of the first scene";
    EXPECT_EQ(player.Output().find("scene_pictures.mes"), std::string::npos) << player.Output();
}

using Frame = platform::PngPicture;

uint32_t Rgb(const Frame& frame, int x, int y)
{
    return frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + x] & 0xFFFFFFu;
}

// The logo clip: its tint (0xD0B040, as the encoder leaves it) below the number blocks.
bool LogoShown(const Frame& frame)
{
    const uint32_t pixel = Rgb(frame, 960, 810);
    return std::abs(static_cast<int>(pixel >> 16) - 0xD0) < 24 &&
           std::abs(static_cast<int>((pixel >> 8) & 0xFF) - 0xB0) < 24 &&
           std::abs(static_cast<int>(pixel & 0xFF) - 0x40) < 24;
}

// The title's main page: its six buttons down the left, start to exit.
bool TitleShown(const Frame& frame)
{
    for (int item = 0; item < 6; ++item)
        if (FrameCellAt(frame, 300, 543 + 87 * item) != static_cast<uint32_t>(item))
            return false;
    return true;
}

// The special title: start, continue and load where the main title has its lower four buttons,
// the back button last, and nothing where the main title starts.
bool SpecialTitleShown(const Frame& frame)
{
    return !FrameCellAt(frame, 300, 543) && FrameCellAt(frame, 300, 717) == 0u &&
           FrameCellAt(frame, 300, 804) == 1u && FrameCellAt(frame, 300, 891) == 2u &&
           FrameCellAt(frame, 300, 986) == tools::TITLE_SHEET_BACK;
}

// The title's main page, its extras pages (the first, the replay's and the music room's, the
// slot's) by their first item.
bool ExtrasPageShown(const Frame& frame)
{
    return FrameCellAt(frame, 300, 679) == 0x100u;
}

bool ReplayPageShown(const Frame& frame)
{
    return FrameCellAt(frame, 300, 679) == 0x200u;
}

bool SlotPageShown(const Frame& frame)
{
    return FrameCellAt(frame, 300, 773) == 0x300u;
}

// A player's hands as steps' `then`: a left press held over a few frames, a right click (the
// cancel) and a key.
std::function<void()> PressOn(HeadlessDemoPlayer& x, int at_x, int at_y)
{
    return [&x, at_x, at_y] { x.Press(at_x, at_y); };
}

std::function<void()> Cancel(HeadlessDemoPlayer& x)
{
    return [&x] { x.Click(960, 540, 3); };
}

std::function<void()> Key(HeadlessDemoPlayer& x, const char* vk)
{
    return [&x, vk] { x.Send(std::string("key ") + vk); };
}

// The same twice, a second of the game's apart: up two screens, each of which takes it.
std::function<void()> Twice(HeadlessDemoPlayer& x, std::function<void()> act)
{
    return [&x, act] {
        act();
        x.WaitFrames(GAME_FPS);
        act();
    };
}

// The player of the title tests: every frame looked at, so a screen shown for a moment is seen;
// or, where each step's screen stands a while, the newest frame asked for, which spares the game
// and the test the encoding and reading of every frame.
struct TitlePlayer
{
    explicit TitlePlayer(const HeadlessDemoHome& home,
                         HeadlessDemoPlayer::Frames frames = HeadlessDemoPlayer::Frames::Every,
                         int clock_rate = 1)
        : x(home, frames)
    {
        x.SetClockRate(clock_rate);
        x.StartGame();
    }
    // Plays the steps; with `exit_status`, the game is then asked to end as the window's close box
    // asks (it writes its settings) and its status kept.
    size_t Play(const std::vector<FrameStep>& steps, std::optional<int>* exit_status = nullptr)
    {
        const size_t seen = PlayFrameSteps(x, steps, 180s);
        if (exit_status != nullptr) {
            x.Close();
            *exit_status = x.ExitStatus(60s);
        }
        return seen;
    }
    HeadlessDemoPlayer x;
};

TEST(DemoTitleStartTest, TheRouteEndsAtTheSpecialTitleAndTheClearOpensTheEndingsReplay)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    // A new player's settings: the title shown, lines read by clicks.
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0);
    });
    {
        // The route's end from a save on the train trip's epilogue line, as a game played there
        // holds it; the whole route is played in a real window (DemoPlayThroughTest).
        HeadlessDemoPlayer player(home, HeadlessDemoPlayer::Frames::Asked);
        player.SetClockRate(4);
        player.StartGame();
        std::string line;
        ASSERT_NO_FATAL_FAILURE(LoadTheEpilogueOnANewStart(player, line));
        ASSERT_NO_FATAL_FAILURE(PlayTheTripToTheSpecialTitle(player));
        player.Close();
        EXPECT_EQ(player.ExitStatus(), 0) << player.Output();
    }
    EXPECT_EQ(ReadWholeFile(home.Path() / "out.txt").find("Box"), std::string::npos)
        << ReadWholeFile(home.Path() / "out.txt");

    // The system file keeps the clear flags the ending set; the special scenario's own system
    // file holds SpMode and no save.
    const std::optional<FlagBuffer> system = SavedState(home, "FLAG000");
    ASSERT_TRUE(system.has_value());
    EXPECT_EQ(system->Flags.at(1898), 1);
    EXPECT_EQ(system->Flags.at(1998), 1);
    EXPECT_EQ(system->Flags.at(3103), 1);
    const std::optional<FlagBuffer> special = SavedState(home, "SP_FLAG000");
    ASSERT_TRUE(special.has_value()) << "no special system file";
    EXPECT_EQ(special->SpMode(), 1);
    EXPECT_EQ(special->Variables.at(53).Integer, 0);
    EXPECT_EQ(special->Variables.at(57).Integer, 0);

    // The next start plays the logo and shows the special title again (nothing is pressed on
    // the short logo: a press that came late would leave the special title before it was seen); its back
    // leads to the title, whose extras now open the scene replay, where the heroine's list holds the ending's
    // scene. A cancel, then Extras, the replay's page, the replay, the cleared heroine: each press meets no
    // control on the screens before its own (the load item it meets on the title is disabled).
    TitlePlayer play(home, HeadlessDemoPlayer::Frames::Asked);
    HeadlessDemoPlayer& x = play.x;
    const size_t seen =
        play.Play({{"demo_route_logo.png", LogoShown, [](const Frame&) {}},
                   {"demo_route_next_start.png", SpecialTitleShown, [](const Frame&) {}, Cancel(x), true},
                   {"demo_route_cleared_title.png", TitleShown, [](const Frame&) {}, PressOn(x, 370, 920)},
                   {nullptr, ExtrasPageShown, [](const Frame&) {}, PressOn(x, 370, 773)},
                   {"demo_route_cleared_extras.png", ReplayPageShown,
                    [](const Frame& frame) {
                        // The clear flag opens the scene replay and the music room.
                        EXPECT_NE(FrameCellStateAt(frame, 300, 679)->second, 3);
                        EXPECT_NE(FrameCellStateAt(frame, 300, 773)->second, 3);
                    },
                    PressOn(x, 370, 679)},
                   {nullptr, [](const Frame& frame) { return FrameCellAt(frame, 543, 213) == 0u; },
                    [](const Frame&) {}, PressOn(x, 543, 213)},
                   {"demo_route_replay_list.png",
                    [](const Frame& frame) { return FrameCellAt(frame, 633, 245) == 0x3630u; },
                    [](const Frame& frame) {
                        // Her second scene unseen, her third the ending's.
                        EXPECT_EQ(FrameCellAt(frame, 1131, 245), tools::GALLERY_LOCKED);
                        EXPECT_EQ(FrameCellAt(frame, 1629, 245), 0x3632u);
                    }}});
    EXPECT_EQ(seen, 7u)
        << "steps seen: " << seen
        << " (logo 1, special title 2, title 3, extras 4, its page with the replay 5, the heroines 6, "
           "the replay's list 7)\n"
        << ReadWholeFile(home.Path() / "out.txt");
}

bool GalleryShown(const Frame& frame)
{
    return FrameCellAt(frame, 633, 245) == 0x3531u;
}

bool PageModeShown(const Frame& frame)
{
    return FrameCellAt(frame, 689, 471) == tools::GALLERY_LOCKED && FrameCellAt(frame, 1209, 471) == 0x3531u;
}

TEST(DemoTitleStartTest, TheExtrasGalleryOpensFromTheTitleAndBringsItBack)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    // Extras, then the gallery on its page, then two cancels: gallery page, heroines, title. At
    // x 370 the presses meet a title button (on the main page Extras and the disabled load) and
    // nothing in the gallery; a cancel on the extras page goes back to the main page.
    TitlePlayer play(home, HeadlessDemoPlayer::Frames::Asked);
    HeadlessDemoPlayer& x = play.x;
    const size_t seen =
        play.Play({{"demo_title_extras_main.png", TitleShown, [](const Frame&) {}, PressOn(x, 370, 920)},
                   {"demo_title_extras_page.png", ExtrasPageShown,
                    [](const Frame& frame) {
                        // The gallery, the page of the replay and the music room, and back.
                        EXPECT_EQ(FrameCellAt(frame, 300, 773), 0x101u);
                        EXPECT_EQ(FrameCellAt(frame, 300, 960), tools::TITLE_SHEET_BACK);
                    },
                    PressOn(x, 370, 679)},
                   {"demo_title_extras_gallery.png", GalleryShown,
                    [](const Frame& frame) {
                        EXPECT_FALSE(FrameCellAt(frame, 450, 679)) << "title buttons under the gallery";
                    },
                    Twice(x, Cancel(x))},
                   {"demo_title_extras_back.png", TitleShown, [](const Frame&) {}}});
    EXPECT_EQ(seen, 4u) << "steps seen: " << seen << " (title 1, extras page 2, gallery 3, title again 4)\n"
                        << ReadWholeFile(home.Path() / "out.txt");
    EXPECT_EQ(ReadWholeFile(home.Path() / "out.txt").find("Box"), std::string::npos)
        << ReadWholeFile(home.Path() / "out.txt");
    // The gallery opened the other extras for itself only: the system file has no clear flag.
    const std::optional<FlagBuffer> system = SavedState(home, "FLAG000");
    ASSERT_TRUE(system.has_value());
    EXPECT_EQ(system->Flags.at(1898), 0);
}

// The CG viewer from the gallery of the title's extras: the open cell of the gallery's page opens
// its variants, whose seen one shows its CG over the whole screen; cancels leave the viewer for
// the variants, the gallery and the title.
TEST(DemoTitleStartTest, TheGallerysOpenCellShowsItsCGInTheViewer)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    const auto cg = [](const Frame& frame) {
        const std::optional<uint32_t> cell = FrameCellAt(frame, 200, 900);
        return cell && *cell >= tools::DEMO_CG_BASE && *cell < tools::DEMO_CG_BASE + 0x20;
    };
    TitlePlayer play(home, HeadlessDemoPlayer::Frames::Asked);
    HeadlessDemoPlayer& x = play.x;
    const size_t seen = play.Play(
        {{nullptr, TitleShown, [](const Frame&) {}, PressOn(x, 370, 920)},
         {nullptr, ExtrasPageShown, [](const Frame&) {}, PressOn(x, 370, 679)},
         {"demo_title_viewer_gallery.png", GalleryShown, [](const Frame&) {}, PressOn(x, 633, 245)},
         // The open cell's page: its first variant locked, the second seen.
         {nullptr, PageModeShown, [](const Frame&) {}, PressOn(x, 1209, 471)},
         {"demo_title_viewer_cg.png", cg,
          [&](const Frame& frame) {
              // The whole screen, with neither the tabs nor the cells.
              const std::optional<uint32_t> id = FrameCellAt(frame, 200, 900);
              for (const auto& [at_x, at_y] :
                   {std::pair{300, 773}, std::pair{633, 245}, std::pair{1800, 1000}})
                  EXPECT_EQ(FrameCellAt(frame, at_x, at_y), id) << at_x << ", " << at_y;
          },
          Twice(x, Cancel(x))},
         {"demo_title_viewer_gallery_again.png", GalleryShown, [](const Frame&) {}, Twice(x, Cancel(x))},
         {"demo_title_viewer_back.png", TitleShown, [](const Frame&) {}}});
    EXPECT_EQ(seen, 7u) << "steps seen: " << seen
                        << " (title 1, extras 2, gallery 3, its page 4, the CG 5, gallery again 6, title 7)\n"
                        << ReadWholeFile(home.Path() / "out.txt");
}

// The gallery turns the clear flag on for itself; a game closed while it is open merges that
// flag into the system file on its way out. The next start is no cleared one all the same: the
// title without a box about a special system file the ending never wrote, and the flag taken
// back.
TEST(DemoTitleStartTest, AGameClosedInTheGalleryLeavesTheNextStartUncleared)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    {
        // Extras and the gallery as above; the game is closed in the gallery.
        TitlePlayer play(home, HeadlessDemoPlayer::Frames::Asked);
        HeadlessDemoPlayer& x = play.x;
        std::optional<int> status;
        ASSERT_EQ(play.Play({{nullptr, TitleShown, [](const Frame&) {}, PressOn(x, 370, 920)},
                             {nullptr, ExtrasPageShown, [](const Frame&) {}, PressOn(x, 370, 679)},
                             {"demo_title_closed_gallery.png", GalleryShown, [](const Frame&) {}}},
                            &status),
                  3u)
            << ReadWholeFile(home.Path() / "out.txt");
        EXPECT_EQ(status, 0);
    }

    fs::remove(home.Path() / "out.txt");
    TitlePlayer play(home, HeadlessDemoPlayer::Frames::Asked);
    const auto either = [](const Frame& frame) { return TitleShown(frame) || SpecialTitleShown(frame); };
    EXPECT_EQ(
        play.Play({{"demo_title_after_closed_gallery.png", either,
                    [](const Frame& frame) { EXPECT_TRUE(TitleShown(frame)) << "the special title"; }}}),
        1u)
        << ReadWholeFile(home.Path() / "out.txt");
    EXPECT_EQ(ReadWholeFile(home.Path() / "out.txt").find("が存在しません"), std::string::npos)
        << ReadWholeFile(home.Path() / "out.txt");
    const std::optional<FlagBuffer> system = SavedState(home, "FLAG000");
    ASSERT_TRUE(system.has_value());
    EXPECT_EQ(system->Flags.at(1898), 0);
    EXPECT_FALSE(fs::exists(home.Path() / "vesk/demo/Save/SP_FLAG000"));
}

// Pixels of [x0, x1) x [y0, y1) that are not the extras' backdrop colour.
int BackdropIn(const Frame& frame, int x0, int y0, int x1, int y1)
{
    int others = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            others += (frame.pixels[static_cast<size_t>(y) * frame.width + x] | 0xFF000000u) !=
                      tools::TITLE_BACKGROUND_2;
    return others;
}

// The music room of a cleared game, from the title's extras, over the extras' backdrop: a track
// played, then left for the title.
TEST(DemoTitleStartTest, TheMusicRoomOpensFromTheTitleAndPlaysATrack)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    ASSERT_NO_FATAL_FAILURE(SeedClearedGame(home));
    // The special title's back, Extras, the page of the replay and the music room, the music room,
    // its first row, then Escape to stop the track and again to leave.
    TitlePlayer play(home, HeadlessDemoPlayer::Frames::Asked);
    HeadlessDemoPlayer& x = play.x;
    const size_t seen = play.Play(
        {{"demo_title_music_special.png", SpecialTitleShown, [](const Frame&) {}, Cancel(x)},
         {"demo_title_music_main.png", TitleShown, [](const Frame&) {}, PressOn(x, 370, 920)},
         {nullptr, ExtrasPageShown, [](const Frame&) {}, PressOn(x, 370, 773)},
         {nullptr, ReplayPageShown, [](const Frame&) {}, PressOn(x, 370, 773)},
         {"demo_title_music_room.png",
          [](const Frame& frame) { return FrameCellAt(frame, 1663, 142) == tools::MUSIC_ROW_CELL; },
          [](const Frame& frame) {
              EXPECT_FALSE(FrameCellAt(frame, 300, 773)) << "title buttons under the music room";
              EXPECT_EQ(FrameCellStateAt(frame, 1663, 190), (FrameCell{tools::MUSIC_ROW_CELL + 1, 3}));
              // Where no track picture is up, the extras' backdrop: no title plate.
              EXPECT_EQ(BackdropIn(frame, 402, 111, 1442, 755), 0) << "not the extras' backdrop";
          },
          PressOn(x, 1663, 142)},
         {"demo_title_music_playing.png",
          [](const Frame& frame) { return FrameCellAt(frame, 900, 400) == tools::MUSIC_PICTURE; },
          [](const Frame& frame) {
              // The gap between the picture and the list, and the scroll bar's: the backdrop.
              EXPECT_EQ(BackdropIn(frame, 1442, 111, 1463, 755), 0) << "not the extras' backdrop";
              EXPECT_EQ(BackdropIn(frame, 1905, 111, 1920, 755), 0) << "not the extras' backdrop";
              EXPECT_EQ(FrameCellAt(frame, 1036 + 97 * 3 + 84, 880), 1283u) << "the next button cut short";
          },
          Twice(x, Key(x, "0x1B"))},
         {"demo_title_music_back.png", TitleShown, [](const Frame&) {}}});
    EXPECT_EQ(seen, 7u)
        << "steps seen: " << seen
        << " (special title 1, title 2, extras 3, its page of the music room 4, music room 5, "
           "a track playing 6, title again 7)\n"
        << ReadWholeFile(home.Path() / "out.txt");
    EXPECT_EQ(ReadWholeFile(home.Path() / "out.txt").find("Box"), std::string::npos)
        << ReadWholeFile(home.Path() / "out.txt");
}

// The slot machine from the title's extras: a game played with the lever and the stop buttons,
// the machine resting on its result, a click for the tall picture, and Escape back to the title.
TEST(DemoTitleStartTest, TheSlotMachineOpensFromTheTitleAndPlaysAGame)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    constexpr int LEVER_X = 293, BUTTON_Y = 648, REEL_Y = 256;
    constexpr int REEL_X[3] = {710, 961, 1212};
    // Extras, the page of the slot, the slot; the lever, the three stops, a click on the result,
    // and once the tall picture scrolls, a click and Escape to leave. Stops the machine does not
    // take in its state do nothing, and on the title none of these presses meets an enabled button.
    const auto cell = [](const Frame& frame, int x, int y) {
        return FrameCellStateAt(frame, x, y).value_or(FrameCell{0xFFFFFFFFu, -1});
    };
    TitlePlayer play(home, HeadlessDemoPlayer::Frames::Asked, 4);
    HeadlessDemoPlayer& x = play.x;
    const auto stops = [&] {
        for (int reel = 0; reel < 3; ++reel) {
            x.WaitFrames(GAME_FPS / 2);
            x.Press(REEL_X[reel], BUTTON_Y);
        }
    };
    const auto leave = [&] {
        x.Press(960, 540);
        x.WaitFrames(GAME_FPS);
        x.Send("key 0x1B");
    };
    const size_t seen = play.Play(
        {{"demo_title_slot_main.png", TitleShown, [](const Frame&) {}, PressOn(x, 370, 920)},
         {nullptr, ExtrasPageShown, [](const Frame&) {}, PressOn(x, 370, 867)},
         {nullptr, SlotPageShown, [](const Frame&) {}, PressOn(x, 370, 773)},
         {"demo_title_slot_rest.png",
          [&](const Frame& frame) {
              return cell(frame, REEL_X[0], REEL_Y) == FrameCell{tools::SLOT_CELL_DIGIT + 3, 0};
          },
          [&](const Frame& frame) {
              EXPECT_EQ(cell(frame, REEL_X[1], REEL_Y), (FrameCell{tools::SLOT_CELL_DIGIT + 1, 0}));
              EXPECT_EQ(cell(frame, REEL_X[2], REEL_Y), (FrameCell{tools::SLOT_CELL_DIGIT + 4, 0}));
              EXPECT_EQ(cell(frame, LEVER_X, BUTTON_Y).first, tools::SLOT_CELL_LEVER);
              EXPECT_GT(FrameCellAt(frame, 300, 773).value_or(0xFFFFu), 5u)
                  << "title buttons over the slot machine";
          },
          PressOn(x, LEVER_X, BUTTON_Y)},
         // The lever pulled: the reels run and their stop buttons are offered.
         {"demo_title_slot_playing.png",
          [&](const Frame& frame) { return cell(frame, REEL_X[0], BUTTON_Y).first == tools::SLOT_CELL_STOP; },
          [](const Frame&) {}, stops},
         // All three stopped: the machine rests on the result, its stop buttons unlit.
         {"demo_title_slot_result.png",
          [&](const Frame& frame) {
              return cell(frame, REEL_X[0], BUTTON_Y) == FrameCell{tools::SLOT_CELL_STOP_LAMP, 0};
          },
          [](const Frame&) {}, PressOn(x, 960, 400)},
         // A click: the tall picture scrolls by.
         {"demo_title_slot_show.png",
          [](const Frame& frame) {
              const uint32_t row = frame.pixels[size_t(300) * frame.width + 960] & 0xFFFFFFu;
              const uint32_t next = frame.pixels[size_t(301) * frame.width + 960] & 0xFFFFFFu;
              return (row & 0xFF) == 0x99 &&
                     next == (tools::TallPictureRowColour(((row >> 16) << 8 | (row >> 8 & 0xFF)) + 1) &
                              0xFFFFFFu);
          },
          [](const Frame&) {}, leave},
         {"demo_title_slot_back.png", TitleShown, [](const Frame&) {}}});
    EXPECT_EQ(seen, 8u)
        << "steps seen: " << seen
        << " (title 1, extras 2, the slot's page 3, the machine at rest 4, its reels running 5, "
           "the result 6, the tall picture 7, title again 8)\n"
        << ReadWholeFile(home.Path() / "out.txt");
    EXPECT_EQ(ReadWholeFile(home.Path() / "out.txt").find("Box"), std::string::npos)
        << ReadWholeFile(home.Path() / "out.txt");
}

TEST(DemoTitleStartTest, TheSettingsFromTheTitleStoreANewMasterVolume)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    // Settings, the sound tab, the master slider pressed at a quarter, back. Each press meets
    // nothing on the screens it does not belong to.
    constexpr int SOUND_TAB_X = 1720 + 79, SOUND_TAB_Y = 502 + 79;
    constexpr int BACK_X = 1720 + 79, BACK_Y = 904 + 79;
    constexpr int MASTER_Y = 122 + 40 + 27;
    constexpr int QUARTER_X = 118 + 26 + 560 / 4;
    const auto tabs = [](const Frame& frame) {
        return FrameCellAt(frame, SOUND_TAB_X, 399) == 0x0E00u &&
               FrameCellAt(frame, SOUND_TAB_X, SOUND_TAB_Y) == 0x0E01u;
    };
    std::optional<int> status;
    TitlePlayer play(home);
    HeadlessDemoPlayer& x = play.x;
    const size_t seen = play.Play(
        {{"demo_title_settings_main.png", TitleShown, [](const Frame&) {}, PressOn(x, 100, 804)},
         {"demo_title_settings_page.png",
          [&](const Frame& frame) {
              return tabs(frame) && FrameCellAt(frame, QUARTER_X, MASTER_Y) != tools::CONFIG_SHEET_KNOB &&
                     FrameCellAt(frame, 118 + 560 + 26, MASTER_Y) != tools::CONFIG_SHEET_KNOB;
          },
          [](const Frame& frame) {
              // The window-colour sample, (525, 673) to (1315, 731), shows the window's colour over
              // the title's plain background: one colour each row along its parts left and right
              // of the typed sample, no piece of a title button.
              int others = 0;
              for (const int y : {676, 700, 728}) {
                  const uint32_t swatch = frame.pixels[static_cast<size_t>(y) * frame.width + 1310];
                  for (int x = 527; x < 1313; ++x)
                      if (x < 740 || x >= 1100)
                          others += frame.pixels[static_cast<size_t>(y) * frame.width + x] != swatch ? 1 : 0;
              }
              EXPECT_EQ(others, 0) << "the window-colour sample shows the title through it";
              // The plain cover and sheet every language is shown name the controls: the text
              // speed's slider (page (87, 80), 750 x 50, the page at (24, 184)), the first switch
              // of the right column, and the game mode's button.
              EXPECT_GT(WhiteIn(frame, 24 + 87, 184 + 80, 24 + 837, 184 + 130), 300) << "the text speed";
              EXPECT_GT(WhiteIn(frame, 24 + 860, 184 + 88, 24 + 1330, 184 + 146), 300)
                  << "auto after a choice";
              EXPECT_GT(WhiteIn(frame, 936 + 4, 44 + 4, 936 + 690, 44 + 66), 300) << "the game mode";
          },
          PressOn(x, SOUND_TAB_X, SOUND_TAB_Y)},
         // The sound page, the master volume full.
         {nullptr,
          [&](const Frame& frame) {
              return tabs(frame) && FrameCellAt(frame, 118 + 560 + 26, MASTER_Y) == tools::CONFIG_SHEET_KNOB;
          },
          [](const Frame&) {}, PressOn(x, QUARTER_X, MASTER_Y)},
         {"demo_title_settings_sound.png",
          [&](const Frame& frame) {
              return tabs(frame) && FrameCellAt(frame, QUARTER_X, MASTER_Y) == tools::CONFIG_SHEET_KNOB;
          },
          [](const Frame& frame) {
              // The knob has left the full-volume end of the track, whose groove shows there.
              EXPECT_NE(FrameCellAt(frame, 118 + 560 + 26, MASTER_Y), tools::CONFIG_SHEET_KNOB);
              EXPECT_EQ(frame.pixels[static_cast<size_t>(MASTER_Y) * frame.width + 118 + 26 + 560 * 3 / 4],
                        tools::SLIDER_GROOVE);
          },
          PressOn(x, BACK_X, BACK_Y)},
         {"demo_title_settings_back.png", TitleShown, [](const Frame&) {}}},
        &status);
    EXPECT_EQ(seen, 5u) << "steps seen: " << seen
                        << " (title 1, settings 2, its sound page 3, master at a quarter 4, title again 5)\n"
                        << ReadWholeFile(home.Path() / "out.txt");
    EXPECT_EQ(status, 0) << ReadWholeFile(home.Path() / "out.txt");
    CXMLDocument config(CStringUTF8((home.Path() / "vesk/demo/Save/config.xml").string().c_str()));
    config.Load();
    EXPECT_EQ(config.GetInt("/Config/Master/Volume", -1), 25);
}

// The title's Load, enabled by a save the system file records: the load screen opens over the
// title, and a cancel brings the title back.
TEST(DemoTitleStartTest, TheLoadScreenOpensFromTheTitleAndBringsItBack)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    {
        const fs::path path = home.Path() / "vesk/demo/Save/FLAG000";
        const std::string bytes = ReadWholeFile(path);
        tools::FlagFileContents system;
        ASSERT_TRUE(tools::ReadFlagFile(std::vector<uint8_t>(bytes.begin(), bytes.end()), system));
        ASSERT_GT(system.variables.size(), 53u);
        system.variables[53].integer = 1; // a save was made
        const std::vector<uint8_t> file = tools::WriteFlagFile(system);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    const auto load_screen = [](const Frame& frame) {
        return FrameCellAt(frame, 10, 1070) == tools::SAVELOAD_CELL_BACKGROUND;
    };
    TitlePlayer play(home);
    HeadlessDemoPlayer& x = play.x;
    const size_t seen = play.Play(
        {{"demo_title_load_main.png", TitleShown, [](const Frame&) {}, PressOn(x, 300, 717)},
         {"demo_title_load_screen.png", load_screen,
          [](const Frame& frame) { EXPECT_FALSE(TitleShown(frame)) << "title buttons over the load screen"; },
          Cancel(x)},
         {"demo_title_load_back.png", TitleShown, [](const Frame&) {}}});
    EXPECT_EQ(seen, 3u) << "steps seen: " << seen << " (title 1, load screen 2, title again 3)\n"
                        << ReadWholeFile(home.Path() / "out.txt");
}

} // namespace
