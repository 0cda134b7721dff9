// The demo's character scene, played headless on its own by the built game with the frame dump:
// the character selection in list kind 0 waits for the player until the close box ends the
// game. Its first full frame is kept as build/demo_charselect.png.

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/CharacterSheets.h"

namespace {

namespace fs = std::filesystem;

void StartWith(const HeadlessDemoHome& home, const char* script)
{
    CXMLDocument config(CStringUTF8((home.Path() / "vesk/demo/Save/config.xml").string().c_str()));
    config.Load();
    config.SetString("/GameFile/Script/StartUp", script);
    config.Save();
}

std::vector<fs::path> Frames(const HeadlessDemoHome& home)
{
    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    return frames;
}

} // namespace

TEST(DemoCharSelectTest, TheCharacterSelectionShowsItsCellsInListKindZero)
{
    HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    StartWith(home, "charselect_alone.mes");
    EXPECT_EQ(std::system(home.Command("VESK_CLOSE_AFTER_FRAMES=400", 120).c_str()), 0);
    bool shown = false;
    for (const fs::path& frame : Frames(home)) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        ASSERT_TRUE(picture.has_value()) << frame;
        // Cell 0 shows character 0 with its name, cell 5 the placeholder, the back button its wide look.
        if (FrameCellAt(*picture, 160 + 160, 20 + 100) == tools::CHARLIST_CHARACTER &&
            FrameCellAt(*picture, 160 + 160, 20 + 184) == tools::NAME_LIST_PLAIN &&
            FrameCellAt(*picture, 160 + 160, 244 + 100) == tools::CHARLIST_PLACEHOLDER &&
            FrameCellAt(*picture, 1460, 762) == tools::CHARLIST_BACK + 1) {
            shown = true;
            fs::copy_file(frame, home.Build() / "demo_charselect.png", fs::copy_options::overwrite_existing);
            break;
        }
    }
    EXPECT_TRUE(shown) << "the character selection in list kind 0";
}
