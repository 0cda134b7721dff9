// The special title of a game played to its end, played headless by the built game: its back item
// brings the title at once. The opening animation played again behind the special title's
// picture showed nothing new for seconds, and a player who clicked again met the title's exit.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "demopics/DemoPictures.h"
#include "flagwrite/SaveDataWriter.h"
#include "foundation/CXMLDocument.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using Frame = platform::PngPicture;

// The title's six buttons down the left.
bool TitleShown(const Frame& frame)
{
    for (int button = 0; button < 6; ++button)
        if (!FrameCellAt(frame, 300, 540 + 87 * button))
            return false;
    return true;
}

// Start, continue and load where the title has its lower buttons, and the back item last.
bool SpecialTitleShown(const Frame& frame)
{
    return !FrameCellAt(frame, 300, 543) && FrameCellAt(frame, 300, 717) == 0u &&
           FrameCellAt(frame, 300, 891) == 2u && FrameCellAt(frame, 300, 986) == tools::TITLE_SHEET_BACK;
}

// The flower of the opening animation: its centre's colour.
bool FlowerShown(const Frame& frame)
{
    int count = 0;
    for (uint32_t pixel : frame.pixels)
        count += (pixel & 0xFFFFFFu) == (tools::FLOWER_COLOUR & 0xFFFFFFu);
    return count > 20;
}

// The ending's marks in the system file and in the special scenario's own.
void MarkTheGameCleared(const fs::path& save)
{
    std::ifstream in(save / "FLAG000", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    const std::string listing =
        tools::DumpGameFile(tools::GameFileKind::Flag, file) + "flag 1898 1\nflag 8100 1\n";
    const std::vector<uint8_t> cleared = tools::WriteGameFile(tools::GameFileKind::Flag, listing);
    for (const char* name : {"FLAG000", "SP_FLAG000"})
        std::ofstream(save / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(cleared.data()), std::streamsize(cleared.size()));
}

TEST(DemoSpecialTitleTest, BackBringsTheTitleAtOnce)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
        config.SetInt("/Config/AutoRead", 0);
    });
    MarkTheGameCleared(home.Path() / "vesk/demo/Save");
    HeadlessDemoPlayer x(home);
    x.StartGame();
    std::optional<Frame> special = x.ClickUntil(960, 540, SpecialTitleShown);
    ASSERT_TRUE(special) << "no special title for a cleared game\n" << x.Output();

    bool flower = false;
    const std::optional<Frame> title = x.ActUntil(
        [&] {
            if (const std::optional<Frame> frame = x.Grab(); frame && SpecialTitleShown(*frame))
                x.Click(300, 986);
        },
        [&](const Frame& frame) {
            flower = flower || FlowerShown(frame);
            return TitleShown(frame);
        });
    ASSERT_TRUE(title) << "the back item did not lead to the title\n" << x.Output();
    x.Keep(*title, "title_after_back");
    EXPECT_FALSE(flower) << "the opening animation played between the back item and the title";
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
}

} // namespace
