// The demo's place and area scene, played headless on its own by the built game with the frame
// dump: the place screen comes in with its fixed buttons and help bar and waits for the player
// until the close box ends the game. Its first full frame is kept as build/demo_place.png.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"
#include "sheetgen/MapSheets.h"

namespace {

namespace fs = std::filesystem;

std::optional<std::pair<uint32_t, int32_t>> CellAt(const platform::PngPicture& picture, int x, int y)
{
    uint32_t id = 0;
    int32_t state = 0;
    if (!tools::DecodeCellColour(picture.pixels[static_cast<size_t>(y) * picture.width + x] | 0xFF000000u, id,
                                 state))
        return std::nullopt;
    return std::make_pair(id, state);
}

void SetStartScript(const fs::path& home, const char* script)
{
    CXMLDocument config(CStringUTF8((home / "vesk/demo/Save/config.xml").string().c_str()));
    config.Load();
    config.SetString("/GameFile/Script/StartUp", script);
    config.Save();
}

// The first dumped frame the test accepts, copied to the build folder under the name.
bool KeepFirstFrame(const HeadlessDemoHome& home, const std::string& png,
                    const std::function<bool(const platform::PngPicture&)>& accept)
{
    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    for (const fs::path& frame : frames) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(frame);
        if (picture.has_value() && accept(*picture)) {
            fs::copy_file(frame, home.Build() / png, fs::copy_options::overwrite_existing);
            return true;
        }
    }
    return false;
}

} // namespace

TEST(DemoAreasTest, ThePlaceScreenComesInWithItsButtonsAndWaits)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    SetStartScript(home.Path(), "areas_alone.mes");
    EXPECT_EQ(std::system(home.Command("VESK_CLOSE_AFTER_FRAMES=1200", 120).c_str()), 0);

    // Mode 0: back, area select and decide in the row at y 803, quick save and load at the left;
    // no quick save was made yet, so quick load stands disabled.
    const auto place = [](const platform::PngPicture& picture) {
        const auto button = [&](int x, uint32_t column, int32_t state) {
            return CellAt(picture, x + 61, 803 + 100) ==
                   std::make_pair(tools::AREA_SHEET_BUTTON + column, state);
        };
        return button(1389, 2, 0) && button(1259, 1, 0) && button(1129, 0, 0) && button(409, 5, 0) &&
               button(531, 6, 3) &&
               CellAt(picture, 409 + 1000, 952 + 70) == std::make_pair(tools::AREA_SHEET_HELP_BAR, 0);
    };
    EXPECT_TRUE(KeepFirstFrame(home, "demo_place.png", place)) << "the place screen's buttons and help bar";
}
