// The extras as a player goes through them, played headless by the built game from the title:
// Extras, the CG gallery on its page, where the open cell hovered keeps its thumbnail's words
// inside the highlight (build/demo_story_extras_hovered.png); a CG of its row in the viewer and
// back; then
// the gallery's scene-replay tab opens the scene replay (not the title again), whose heroine's
// list shows the extras' backdrop under its cells, not the CG the viewer showed last
// (build/demo_story_extras_replay_list.png).

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "foundation/CXMLDocument.h"
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
    return FrameCellAt(frame, 633, 245) == 0x4001u;
}

// The first cell of the page: (388, 108), 490 x 275; its thumbnail's words in a band along its top.
constexpr int CELL_X = 388, CELL_Y = 108;

TEST(DemoExtrasTest, GalleryCellsKeepTheirWordsAndItsReplayTabOpensTheReplayOverTheBackdrop)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) { config.SetInt("/Config/Demo/SkipTitle", 0); });
    HeadlessDemoPlayer x(home);
    x.StartGame();
    ASSERT_TRUE(x.ClickUntil(370, 920, [](const Frame& frame) {
        return FrameCellAt(frame, 300, 679) == 0x100u;
    })) << "no extras page on the title";
    ASSERT_TRUE(x.ClickUntil(370, 679, GalleryPage)) << "no gallery page";

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
    EXPECT_GT(WhiteIn(*hovered, CELL_X + 12, CELL_Y + 12, CELL_X + 478, CELL_Y + 60), 100)
        << "the thumbnail's words under the highlight";

    // The cell opens the viewer on the row's variants; the second, with its overlay, over the
    // whole screen; two cancels lead back to the gallery's page.
    ASSERT_TRUE(x.ClickUntil(633, 245, [](const Frame& frame) { return !GalleryPage(frame); }))
        << "no viewer";
    ASSERT_TRUE(x.ClickUntil(1209, 471, [](const Frame& frame) { return IsCG(frame, 200, 900); })) << "no CG";
    ASSERT_TRUE(x.ClickUntil(
        960, 540, [](const Frame& frame) { return !IsCG(frame, 200, 900); }, 3))
        << "the CG did not close";
    ASSERT_TRUE(x.ClickUntil(960, 540, GalleryPage, 3)) << "the viewer did not go back to the gallery";

    // Tab 257: the scene replay's heroines, a grid without the gallery's tabs.
    const auto grid = x.ClickUntil(175, 485, [](const Frame& frame) {
        return FrameCellAt(frame, 395 + 3, 109 + 3) == 0u && FrameCellAt(frame, 27 + 3, 216 + 3) != 256u;
    });
    ASSERT_TRUE(grid) << "the gallery's tab did not open the scene replay";
    const auto list =
        x.ClickUntil(543, 213, [](const Frame& frame) { return FrameCellAt(frame, 633, 245) == 0x6000u; });
    ASSERT_TRUE(list) << "no scene list for the heroine";
    // Once its fade has settled, the list stands over the backdrop.
    const auto settled = x.WaitFor(
        [](const Frame& frame) {
            return FrameCellAt(frame, 633, 245) == 0x6000u && !IsCG(frame, 355, 600) &&
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
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.SetClockRate(4);
    x.StartGame();
    // The logo takes a click once it plays: the first may come too soon.
    ASSERT_TRUE(x.ClickOftenUntil(960, 300, route::TitleShown)) << "no title\n" << x.Output();
    ASSERT_TRUE(x.ClickUntil(370, 920, [](const Frame& frame) {
        return FrameCellAt(frame, 300, 679) == 0x100u;
    })) << "no extras page on the title";
    ASSERT_TRUE(x.ClickUntil(370, 679, GalleryPage)) << "no gallery page";
    ASSERT_TRUE(x.ClickUntil(633, 245, [](const Frame& frame) { return !GalleryPage(frame); }))
        << "no viewer";
    ASSERT_TRUE(x.ClickUntil(1209, 471, [](const Frame& frame) { return IsCG(frame, 200, 900); })) << "no CG";
    ASSERT_TRUE(x.ClickUntil(
        960, 540, [](const Frame& frame) { return !IsCG(frame, 200, 900); }, 3))
        << "the CG did not close";
    ASSERT_TRUE(x.ClickUntil(960, 540, GalleryPage, 3)) << "the viewer did not go back to the gallery";

    // A cancel to the heroine level, once it shows another to the title, which plays its opening
    // animation again first: every frame looked at.
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

} // namespace
