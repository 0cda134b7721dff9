// The demo's character scene, played headless on its own by the built game with the frame dump
// and a scripted player: a click on cell 2 chooses in both character selections (list kinds 0
// and 1), a click on the close button closes the diary page, and in the comment mode the same
// spot is the unlock button; a click on mode button 1 then leaves it. The clicks repeat, since a
// busy machine takes longer to bring each screen up, and each lands harmlessly on the screens
// it is not meant for. The first full frame of each screen is kept in the build folder
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

#include "DemoRun.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "script/FlagBuffer.h"
#include "sheetgen/CharacterSheets.h"

namespace {

namespace fs = std::filesystem;

struct Screen
{
    const char* png;
    std::vector<std::pair<POINT, uint32_t>> cells; // where the frame must show which sheet cell
};

} // namespace

TEST(DemoCharSelectTest, BothListKindsTheDiaryAndTheCommentModeAnswerTheScript)
{
    HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "charselect_alone.mes");
    });
    const fs::path script = home.Path() / "input.txt";
    {
        std::ofstream out(script);
        for (int turn = 1000; turn <= 24000; turn += 600)
            out << turn << " click 960 132\n" << turn + 300 << " click 1751 991\n";
        for (int turn = 26000; turn <= 60000; turn += 1000)
            out << turn << " click 175 485\n";
    }
    EXPECT_EQ(
        std::system(
            home.Command("VESK_INPUT_SCRIPT='" + script.string() + "' VESK_CLOSE_AFTER_FRAMES=62000", 300)
                .c_str()),
        0);

    // Kind 0: character 2 in cell 2, the wide back button; kind 1: character 0 in cell 2, the
    // paired name, no back button; the diary page of "diary01.akb"; the comment mode's tabs.
    const Screen screens[] = {
        {"demo_charselect_kind0.png",
         {{{960, 120}, tools::CHARLIST_CHARACTER + 2}, {{1600, 800}, tools::CHARLIST_BACK + 1}}},
        {"demo_charselect_kind1.png",
         {{{960, 120}, tools::CHARLIST_CHARACTER + 0}, {{960, 204}, tools::NAME_LIST_PAIRED + 0}}},
        {"demo_diary.png", {{{960, 540}, tools::DIARY_SHEET + 1}, {{1751, 991}, 512}}},
        {"demo_commentmode.png", {{{1875, 110}, 0}, {{1875, 110 + 93 * 3}, 3}, {{175, 300}, 256}}},
    };
    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    std::vector<bool> seen(std::size(screens), false);
    for (const fs::path& frame : frames) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        ASSERT_TRUE(picture.has_value()) << frame;
        for (size_t k = 0; k < std::size(screens); ++k) {
            if (seen[k] ||
                !std::all_of(screens[k].cells.begin(), screens[k].cells.end(), [&](const auto& cell) {
                    return FrameCellAt(*picture, cell.first.x, cell.first.y) == cell.second;
                }))
                continue;
            seen[k] = true;
            fs::copy_file(frame, home.Build() / screens[k].png, fs::copy_options::overwrite_existing);
        }
    }
    for (size_t k = 0; k < std::size(screens); ++k)
        EXPECT_TRUE(seen[k]) << screens[k].png;

    FlagBuffer state;
    std::ifstream flag_file(home.Path() / "vesk/demo/Save/FLAG909", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(flag_file)),
                                     std::istreambuf_iterator<char>());
    ByteCursor cursor(bytes);
    ASSERT_TRUE(state.ReadFrom(cursor)) << "FLAG909";
    ASSERT_GE(state.Values.size(), 43u);
    EXPECT_EQ(state.Values[40].Integer, 3) << "cell 2 of list kind 0";
    EXPECT_EQ(state.Values[41].Integer, 3) << "cell 2 of list kind 1";
    EXPECT_EQ(state.Values[42].Integer, 100) << "the comment mode hands over";
    EXPECT_EQ(state.Values[12].Integer, 1) << "to mode 1";
    EXPECT_EQ(state.Values[16].Integer, 0);
    EXPECT_EQ(state.Values[17].Integer, 0);
    ASSERT_GE(state.Flags.size(), 2007u);
    for (size_t i = 2003; i <= 2006; ++i)
        EXPECT_EQ(state.Flags[i], 1) << "entry flag " << i << " set by the unlock button";
}
