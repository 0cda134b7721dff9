// The demo's character scene, played headless on its own by the built game with the frame dump
// and a scripted player: a click on cell 2 chooses in both character selections (list kinds 0
// and 1), a click on the close button closes the diary page, and in the comment mode the same
// spot is the unlock button; a click on mode button 1 then leaves it. Each click comes once its
// screen is up (and again if the next does not come, landing harmlessly on the screens it is not
// meant for). The first full frame of each screen is kept in the build folder
// (demo_charselect_kind0.png, demo_charselect_kind1.png, demo_diary.png, demo_commentmode.png),
// and the answers are read back from the state the scene saves (FLAG909).

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "script/FlagBuffer.h"
#include "sheetgen/CharacterSheets.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

} // namespace

TEST(DemoCharSelectTest, BothListKindsTheDiaryAndTheCommentModeAnswerTheScript)
{
    HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [&](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "charselect_alone.mes"); });
    // Kind 0: character 2 in cell 2, the wide back button; kind 1: character 0 in cell 2, the
    // paired name, no back button; the diary page of "diary01.akb"; the comment mode's tabs.
    const auto shows = [](std::vector<std::pair<POINT, uint32_t>> cells) {
        return [cells](const platform::PngPicture& picture) {
            return std::all_of(cells.begin(), cells.end(), [&](const auto& cell) {
                return FrameCellAt(picture, cell.first.x, cell.first.y) == cell.second;
            });
        };
    };
    const fs::path flags = home.Path() / "vesk/demo/Save/FLAG909";
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.StartGame();
    const auto click = [&](int at_x, int at_y) { return [&x, at_x, at_y] { x.Click(at_x, at_y); }; };
    const std::vector<FrameStep> steps{
        {"demo_charselect_kind0.png",
         shows({{{960, 120}, tools::CHARLIST_CHARACTER + 2}, {{1600, 800}, tools::CHARLIST_BACK + 1}}),
         [](const platform::PngPicture&) {}, click(960, 132)},
        {"demo_charselect_kind1.png",
         // Character 16 once: in cell 15, and cell 16 beside it holds the placeholder.
         shows({{{960, 120}, tools::CHARLIST_CHARACTER + 0},
                {{960, 204}, tools::NAME_LIST_PAIRED + 0},
                {{320, 792}, tools::CHARLIST_CHARACTER + 16},
                {{640, 792}, tools::CHARLIST_PLACEHOLDER}}),
         [](const platform::PngPicture&) {}, click(960, 132)},
        {"demo_diary.png", shows({{{960, 540}, tools::DIARY_SHEET + 1}, {{1751, 991}, 512}}),
         [](const platform::PngPicture&) {}, click(1751, 991)},
        // The whole screen over the story (its extras buttons and Back beside the page); the
        // unlock, then Back to leave.
        {"demo_commentmode.png",
         shows({{{1875, 141}, 0},
                {{1875, 141 + 93 * 3}, 3},
                {{175, 300}, 256},
                {{COMMENT_BACK_X, COMMENT_BACK_Y}, 512}}),
         [](const platform::PngPicture&) {},
         [&] {
             x.Click(1751, 991);
             x.WaitFrames(GAME_FPS);
             x.Click(COMMENT_BACK_X, COMMENT_BACK_Y);
         }},
        // The scene's answers saved.
        {nullptr, [&](const platform::PngPicture&) { return fs::exists(flags); },
         [](const platform::PngPicture&) {}},
    };
    const size_t seen = PlayFrameSteps(x, steps, 180s);
    EXPECT_EQ(seen, steps.size()) << "steps seen: " << seen
                                  << " (kind 0 1, kind 1 2, diary 3, comment mode 4, the answers saved 5)\n"
                                  << x.Output();
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();

    FlagBuffer state;
    std::ifstream flag_file(flags, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(flag_file)),
                                     std::istreambuf_iterator<char>());
    ByteCursor cursor(bytes);
    ASSERT_TRUE(state.ReadFrom(cursor)) << "FLAG909";
    ASSERT_GE(state.Values.size(), 43u);
    EXPECT_EQ(state.Values[40].Integer, 3) << "cell 2 of list kind 0";
    EXPECT_EQ(state.Values[41].Integer, 3) << "cell 2 of list kind 1";
    EXPECT_EQ(state.Values[42].Integer, -1) << "the comment mode's Back";
    ASSERT_GE(state.Flags.size(), 2007u);
    for (size_t i = 2003; i <= 2006; ++i)
        EXPECT_EQ(state.Flags[i], 1) << "entry flag " << i << " set by the unlock button";
}
