// The extras as a player goes through them, played headless by the built game from the title:
// Extras, the CG gallery on its page, where the open cell hovered keeps its thumbnail in sight
// inside the highlight (build/demo_story_extras_hovered.png); a CG of its row in the viewer and
// back; then
// the gallery's scene-replay tab opens the scene replay (not the title again), whose heroine's
// list shows the extras' backdrop under its cells, not the CG the viewer showed last
// (build/demo_story_extras_replay_list.png). The scene replay reached from the gallery's tab:
// a cancel of its heroine grid leads to the title without replaying anything, a chosen scene is
// replayed line by line as the reader clicks and the list comes back, and the list's tabs lead on
// (the music room). The diary's
// tabs lead on too, and the title's animation after the extras starts from black.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "demopics/DemoPictures.h"
#include "foundation/CXMLDocument.h"
#include "sheetgen/DemoSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using Frame = DemoPlayer::Frame;
using namespace std::chrono_literals;

bool IsCG(const Frame& frame, int x, int y)
{
    const std::optional<uint32_t> cell = FrameCellAt(frame, x, y);
    return cell && *cell >= tools::DEMO_CG_BASE && *cell < tools::DEMO_CG_BASE + 0x20;
}

bool GalleryPage(const Frame& frame)
{
    return FrameCellAt(frame, 633, 245) == 0x3531u;
}

// Pixels of [x0, x1) x [y0, y1) other than its top-left one: words drawn on a plain part.
int InkIn(const Frame& frame, int x0, int y0, int x1, int y1)
{
    const auto at = [&frame](int x, int y) {
        return frame
            .pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + static_cast<size_t>(x)];
    };
    int ink = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            ink += at(x, y) != at(x0, y0) ? 1 : 0;
    return ink;
}

// The scene replay's heroine buttons, each as "id:state" (none where no button stands), at
// (395 + 296 (i mod 5), 109 + 208 (i div 5)).
std::string ReplayHeroineCells(const Frame& frame)
{
    std::string cells;
    for (int i = 0; i < 17; ++i) {
        const std::optional<FrameCell> cell =
            FrameCellStateAt(frame, 395 + 296 * (i % 5) + 3, 109 + 208 * (i / 5) + 3);
        cells += cell ? std::to_string(cell->first) + ":" + std::to_string(cell->second) + " " : "none ";
    }
    return cells;
}

// The scene replay's heroines: its first button, and its own tab (257) drawn current.
bool ReplayHeroinesShown(const Frame& frame)
{
    const std::optional<FrameCell> tab = FrameCellStateAt(frame, 27 + 3, 216 + 182 + 3);
    return FrameCellAt(frame, 395 + 3, 109 + 3) == 0u && tab && tab->first == 257u && tab->second == 2;
}

// The title, then its extras page, then its gallery. The logo takes a click once it plays: the
// first may come too soon.
bool ToTheGallery(HeadlessDemoPlayer& x)
{
    return x.ClickOftenUntil(960, 300, route::TitleShown) && x.ClickUntil(370, 920, [](const Frame& frame) {
        return FrameCellAt(frame, 300, 679) == 0x100u;
    }) && x.ClickUntil(370, 679, GalleryPage);
}

// The first cell of the page: (388, 108), 490 x 275.
constexpr int CELL_X = 388, CELL_Y = 108;

TEST(DemoExtrasTest, GalleryCellsKeepTheirPicturesInSightAndItsReplayTabOpensTheReplayOverTheBackdrop)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    HeadlessDemoPlayer x(home);
    x.StartGame();
    ASSERT_TRUE(ToTheGallery(x)) << "no title, extras page or gallery page";

    x.Move(633, 245);
    const auto hovered = x.WaitFor([](const Frame& frame) {
        // The highlight's frame along the cell's edge.
        const uint32_t edge =
            frame.pixels[static_cast<size_t>(CELL_Y + 3) * static_cast<size_t>(frame.width) + CELL_X + 3] &
            0xFFFFFFu;
        return GalleryPage(frame) && edge == 0xFFE060u;
    });
    ASSERT_TRUE(hovered) << "the hovered cell's highlight";
    x.Keep(*hovered, "extras_hovered");
    // The gallery shows its thumbnails by their plain names in every language: they carry no
    // words, and the highlight is a frame that leaves the picture in sight.
    EXPECT_EQ(FrameCellAt(*hovered, 633, 245), 0x3531u) << "the thumbnail under the highlight";
    EXPECT_EQ(WhiteIn(*hovered, CELL_X + 12, CELL_Y + 12, CELL_X + 478, CELL_Y + 60), 0)
        << "words on a thumbnail every language is shown";
    // The Japanese gallery's sheet is the plain one: its four tabs, its unlock button and its page
    // buttons carry their words along their tops.
    for (const auto& [part_x, part_y] :
         {std::pair{27, 216}, std::pair{27, 398}, std::pair{27, 580}, std::pair{27, 762}, std::pair{1584, 12},
          std::pair{1392, 684}, std::pair{1392, 809}})
        EXPECT_GT(InkIn(*hovered, part_x + 4, part_y + 2, part_x + 196, part_y + 50), 100)
            << "no words on the part at " << part_x << ", " << part_y;

    // The cell opens the viewer on the row's variants; the second, with its overlay, over the
    // whole screen; two cancels lead back to the gallery's page.
    ASSERT_TRUE(x.ClickUntil(633, 245, [](const Frame& frame) { return !GalleryPage(frame); }))
        << "no viewer";
    ASSERT_TRUE(x.ClickUntil(1209, 471, [](const Frame& frame) { return IsCG(frame, 200, 900); })) << "no CG";
    ASSERT_TRUE(x.ClickUntil(
        960, 540, [](const Frame& frame) { return !IsCG(frame, 200, 900); }, 3))
        << "the CG did not close";
    ASSERT_TRUE(x.ClickUntil(960, 540, GalleryPage, 3)) << "the viewer did not go back to the gallery";

    // Tab 257: the scene replay's heroines.
    const auto grid = x.ClickUntil(175, 485, ReplayHeroinesShown);
    ASSERT_TRUE(grid) << "the gallery's tab did not open the scene replay";
    const auto list =
        x.ClickUntil(543, 213, [](const Frame& frame) { return FrameCellAt(frame, 633, 245) == 0x3630u; });
    ASSERT_TRUE(list) << "no scene list for the heroine";
    // Once its fade has settled, the list stands over the backdrop.
    const auto settled = x.WaitFor(
        [](const Frame& frame) {
            return FrameCellAt(frame, 633, 245) == 0x3630u && !IsCG(frame, 355, 600) &&
                   !IsCG(frame, 200, 905) && !IsCG(frame, 1700, 1060);
        },
        30s);
    x.Keep(settled ? *settled : *list, "extras_replay_list");
    EXPECT_TRUE(settled) << "the viewer's CG under the scene list";
}

// The gallery left for the title once a CG has been viewed: no frame on the way shows the CG, in
// whole or in the preview area the gallery's heroine level puts back, before or while the title
// fades in.
TEST(DemoExtrasTest, TheGalleryLeftAfterTheViewerTakesItsCGAlong)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.SetClockRate(4);
    x.StartGame();
    ASSERT_TRUE(ToTheGallery(x)) << "no title, extras page or gallery page";
    ASSERT_TRUE(x.ClickUntil(633, 245, [](const Frame& frame) { return !GalleryPage(frame); }))
        << "no viewer";
    ASSERT_TRUE(x.ClickUntil(1209, 471, [](const Frame& frame) { return IsCG(frame, 200, 900); })) << "no CG";
    ASSERT_TRUE(x.ClickUntil(
        960, 540, [](const Frame& frame) { return !IsCG(frame, 200, 900); }, 3))
        << "the CG did not close";
    ASSERT_TRUE(x.ClickUntil(960, 540, GalleryPage, 3)) << "the viewer did not go back to the gallery";

    // A cancel to the heroine level, once it shows another to the title, which plays its opening
    // animation again first: every frame looked at.
    x.WatchEveryFrame(true);
    int shown = 0;
    std::optional<Frame> first;
    const std::function<bool(const Frame&)> levels[] = {
        [](const Frame& frame) { return !GalleryPage(frame) && !route::TitleShown(frame); },
        [](const Frame& frame) {
            return route::TitleShown(frame) && !GalleryPage(frame) && FrameCellAt(frame, 300, 679) != 0x100u;
        },
    };
    std::optional<Frame> title;
    for (const auto& level : levels) {
        title = x.ActUntil([&] { x.Key(0x1B); },
                           [&](const Frame& frame) {
                               if ((IsCG(frame, 200, 900) || IsCG(frame, 1660, 780)) && shown++ == 0)
                                   first = frame;
                               return level(frame);
                           });
        if (!title)
            break;
    }
    ASSERT_TRUE(title) << "the gallery did not lead back to the title";
    if (first)
        x.Keep(*first, "extras_left_cg");
    EXPECT_EQ(shown, 0) << "frames with the viewed CG on the way to the title";
}

// The extras' page, the gallery, and its scene-replay tab: the replay's heroine grid.
bool ToTheReplayGrid(HeadlessDemoPlayer& x)
{
    return ToTheGallery(x) && x.ClickUntil(175, 485, ReplayHeroinesShown);
}

// The scene list's first cell, the heroine's first scene.
bool ReplayList(const Frame& frame)
{
    return FrameCellAt(frame, 633, 245) == 0x3630u;
}

bool TitleAgain(const Frame& frame)
{
    return route::TitleShown(frame) && !GalleryPage(frame) && FrameCellAt(frame, 300, 679) != 0x100u;
}

void SetUpTheReplaysHome(const HeadlessDemoHome& home)
{
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0); // the reader's clicks lead the replayed lines on
    });
}

// The game started on the replays' home, played to the heroine grid of the scene replay.
bool StartToTheReplayGrid(HeadlessDemoPlayer& x)
{
    x.SetClockRate(4);
    x.StartGame();
    return ToTheReplayGrid(x);
}

// Escape on the heroine grid: the title, and no scene list or replayed picture on the way. Every
// frame from the Escape on is looked at, for a flash of either.
TEST(DemoExtrasTest, ACancelOfTheReplayGridLeadsToTheTitleThroughNoScene)
{
    const HeadlessDemoHome home;
    ASSERT_NO_FATAL_FAILURE(SetUpTheReplaysHome(home));
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    ASSERT_TRUE(StartToTheReplayGrid(x)) << "no scene replay from the gallery's tab";
    x.WatchEveryFrame(true);
    int replayed = 0;
    int listed = 0;
    const auto title = x.ActUntil([&] { x.Key(0x1B); },
                                  [&](const Frame& frame) {
                                      replayed += IsCG(frame, 200, 900) ? 1 : 0;
                                      listed += ReplayList(frame) ? 1 : 0;
                                      return TitleAgain(frame);
                                  });
    ASSERT_TRUE(title) << "a cancel of the heroine grid did not lead to the title";
    EXPECT_EQ(replayed, 0) << "frames of a scene nobody chose";
    EXPECT_EQ(listed, 0) << "frames of a scene list after the grid's cancel";
}

// Frames looked at as asked: the replayed lines are many frames, each read as a file.
TEST(DemoExtrasTest, TheReplayPlaysOnlyAChosenSceneAndItsListsTabsLeadOn)
{
    const HeadlessDemoHome home;
    ASSERT_NO_FATAL_FAILURE(SetUpTheReplaysHome(home));
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);

    // Her first scene replayed as a scene to read: its picture with its first line in the message
    // window (build/demo_story_extras_replay_line.png), waiting for the reader however long; her
    // line under her name; the list back once the last line is read. Then its music-room tab
    // opens the music room.
    ASSERT_TRUE(StartToTheReplayGrid(x)) << "no scene replay from the gallery's tab";
    const std::optional<Frame> grid = x.WaitFor(ReplayHeroinesShown, 30s);
    ASSERT_TRUE(grid);
    ASSERT_TRUE(x.ClickUntil(543, 213, ReplayList)) << "no scene list for the heroine";
    const auto line = x.ClickUntil(
        633, 245, [](const Frame& frame) { return IsCG(frame, 355, 600) && StoryPromptShown(frame); });
    ASSERT_TRUE(line) << "the chosen scene was not replayed with its lines";
    x.Keep(*line, "extras_replay_line");
    EXPECT_GT(StoryTextIn(*line, 0, 19, STORY_LINE_Y), 200) << "no words on the replayed line";
    EXPECT_FALSE(x.WaitFor([](const Frame& frame) { return !IsCG(frame, 355, 600); }, 15s))
        << "the replay went by before its reader read it";
    int named = 0;
    ASSERT_TRUE(x.ClickThroughTo([&](const Frame& frame) {
        named += IsCG(frame, 355, 600) && StoryNamePlateShown(frame) ? 1 : 0;
        return ReplayList(frame);
    })) << "the list did not come back after the replay";
    EXPECT_GT(named, 0) << "her line without her name";
    // The list's Back: the heroines as they stood before the replay, none added, none opened.
    const auto heroines = x.ClickUntil(136, 991, ReplayHeroinesShown);
    ASSERT_TRUE(heroines) << "the list's Back did not show the heroines";
    x.Keep(*heroines, "extras_replay_heroines_after");
    EXPECT_EQ(ReplayHeroineCells(*heroines), ReplayHeroineCells(*grid))
        << "the heroines changed with a replay";
    const auto music = x.ClickUntil(175, 660, [](const Frame& frame) {
        const std::optional<uint32_t> row = FrameCellAt(frame, 1530, 140);
        return row && *row >= tools::MUSIC_ROW_CELL && *row < tools::MUSIC_ROW_CELL + 0x40;
    });
    ASSERT_TRUE(music) << "the list's music-room tab led nowhere";
    x.Keep(*music, "extras_replay_music");
}

// The gallery left for the title, then a new game: the story's first scene crosses the screen
// with a frame in the corner of a screen-sized sprite whose layer the gallery's scene wrote the
// extras' backdrop into. No frame of the scene shows a piece of that backdrop.
TEST(DemoExtrasTest, ANewGameAfterTheGalleryShowsNothingOfTheExtrasBackdrop)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.SetClockRate(4);
    x.StartGame();
    ASSERT_TRUE(ToTheGallery(x)) << "no title, extras page or gallery page";
    for (const bool title : {false, true})
        ASSERT_TRUE(
            x.ActUntil([&] { x.Key(0x1B); },
                       [&](const Frame& frame) { return title ? TitleAgain(frame) : !GalleryPage(frame); }))
            << "the gallery did not lead back to the title";

    // The first scene's checkpoint lamp in the top-left pixel: 5 once the frame has crossed.
    const auto checkpoint = [](const Frame& frame) {
        const uint32_t lamp = frame.pixels[0];
        return (lamp & 0xFF00FFFFu) == 0xFF0000FFu ? static_cast<int>((lamp >> 16) & 0xFF) : 0;
    };
    // Every frame of the scene looked at, from the click that starts it.
    x.WatchEveryFrame(true);
    ASSERT_TRUE(x.ClickUntil(310, 543, [&](const Frame& frame) { return checkpoint(frame) > 0; }))
        << "New game did not start the story";
    int shown = 0;
    std::optional<Frame> first;
    const auto crossed = x.WaitFor([&](const Frame& frame) {
        // The crossing frame's sprite covers the screen from (100, 800) on.
        int backdrop = 0;
        for (int y = 800; y < 1080; y += 2)
            for (int x0 = 100; x0 < 1920; x0 += 2)
                backdrop += (frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + x0] &
                             0xFFFFFFu) == (tools::TITLE_BACKGROUND_2 & 0xFFFFFFu);
        if (backdrop > 100 && shown++ == 0)
            first = frame;
        return checkpoint(frame) == 5;
    });
    ASSERT_TRUE(crossed) << "the first scene's frame did not cross";
    if (first)
        x.Keep(*first, "extras_backdrop_in_story");
    EXPECT_EQ(shown, 0) << "frames of the story with the extras' backdrop in the crossing frame";
}

// A heroine without a CG seen has her gallery page all the same: its cells locked, under the tabs
// and page buttons, her name card beside the buttons, not over them
// (build/demo_story_extras_locked_page.png).
TEST(DemoExtrasTest, AHeroinesGalleryPageShowsItsLockedCells)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    HeadlessDemoPlayer x(home);
    x.SetClockRate(4);
    x.StartGame();
    ASSERT_TRUE(ToTheGallery(x)) << "no title, extras page or gallery page";
    ASSERT_TRUE(x.ActUntil([&] { x.Key(0x1B); }, [](const Frame& frame) { return !GalleryPage(frame); }))
        << "no heroine level";
    // The sixth heroine's button: the second row's first.
    const auto page = x.ClickUntil(395 + 148, 317 + 104, [](const Frame& frame) {
        return FrameCellAt(frame, CELL_X + 245, CELL_Y + 137) == tools::GALLERY_LOCKED;
    });
    ASSERT_TRUE(page) << "her page shows no cell";
    x.Keep(*page, "extras_locked_page");
    EXPECT_EQ(FrameCellAt(*page, CELL_X + 498 + 245, CELL_Y + 137), std::nullopt) << "a second cell";
    EXPECT_EQ(FrameCellAt(*page, 1492, 742), 1025u) << "the next-page button under her cover";
    // Her name card stands right of the page buttons; around them, the backdrop, no card.
    constexpr int PREVIEW_X = 1418, PREVIEW_Y = 555;
    EXPECT_EQ(FrameCellAt(*page, PREVIEW_X + tools::GALLERY_CARD_X + 10,
                          PREVIEW_Y + tools::GALLERY_CARD_Y + tools::GALLERY_CARD_HEIGHT - 10),
              tools::GALLERY_COVER + 5)
        << "her name card";
    const auto card = [&](int x, int y) {
        const std::optional<uint32_t> cell = FrameCellAt(*page, x, y);
        return cell && *cell >= tools::GALLERY_COVER && *cell < tools::GALLERY_COVER + 18;
    };
    for (const auto& [x, y] : {std::pair{1492, 675}, std::pair{1600, 742}, std::pair{1600, 870},
                               std::pair{1492, 960}, std::pair{1430, 990}})
        EXPECT_FALSE(card(x, y)) << "her cover around the page buttons at " << x << ", " << y;
}

TEST(DemoExtrasTest, TheDiarysTabsLeadOnAndTheTitleComesBackFromBlack)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.StartGame();
    ASSERT_TRUE(ToTheGallery(x)) << "no title, extras page or gallery page";
    // The diary's page buttons down the right.
    ASSERT_TRUE(x.ClickUntil(175, 840, [](const Frame& frame) {
        return !GalleryPage(frame) && FrameCellAt(frame, 1880, 140);
    })) << "no diary from the gallery's tab";
    const auto music = x.ClickUntil(175, 660, [](const Frame& frame) {
        const std::optional<uint32_t> row = FrameCellAt(frame, 1530, 140);
        return row && *row >= tools::MUSIC_ROW_CELL && *row < tools::MUSIC_ROW_CELL + 0x40;
    });
    ASSERT_TRUE(music) << "the diary's music-room tab led nowhere";

    // Back: black before the title, not the extras' backdrop under the title's animation; every
    // frame looked at, for the first one after the music room.
    x.WatchEveryFrame(true);
    const auto black = [](const Frame& frame) {
        return (frame.pixels[size_t(900) * frame.width + 1700] & 0xFFFFFFu) == 0 &&
               (frame.pixels[size_t(200) * frame.width + 960] & 0xFFFFFFu) == 0;
    };
    const auto next =
        x.ClickUntil(135, 984, [&](const Frame& frame) { return black(frame) || TitleAgain(frame); });
    ASSERT_TRUE(next) << "the music room's back led nowhere";
    EXPECT_TRUE(black(*next)) << "the title came back over the extras' backdrop";
    x.WatchEveryFrame(false);
    EXPECT_TRUE(x.WaitFor(TitleAgain)) << "no title after the extras";
}

} // namespace
