// The demo started as a player starts it: the title animation, then the title, where a scripted
// click on its first button starts a new game. The first scene's checkpoint lamp then shows in
// the frames, and no script error is reported on the way (the title and the scenes share the
// background sprite the start script makes).

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;

TEST(DemoTitleStartTest, AClickOnTheFirstTitleButtonStartsTheStory)
{
    const HeadlessDemoHome run;
    ASSERT_TRUE(fs::exists(run.Build() / "demo/vesk")) << "build the demo target first";
    run.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/Demo/SkipTitle", 0);
    });
    // The title takes a while to come up on a busy machine: the click is repeated until it lands.
    const fs::path script = run.Path() / "input.txt";
    {
        std::ofstream out(script);
        for (int turn = 1000; turn <= 20000; turn += 1000)
            out << turn << " click 300 540\n";
    }
    const std::string command =
        run.Command("VESK_INPUT_SCRIPT='" + script.string() + "' VESK_CLOSE_AFTER_FRAMES=22000", 240);
    std::system(command.c_str());

    bool story = false;
    for (const auto& entry : fs::directory_iterator(run.Path() / "frames")) {
        const std::optional<platform::PngPicture> picture = platform::ReadPngFile(entry.path());
        ASSERT_TRUE(picture.has_value()) << entry.path();
        // The scenes' checkpoint lamp: pure red numbering the checkpoint, in the top-left pixel.
        const uint32_t lamp = picture->pixels[0];
        story = story || ((lamp & 0xFF00FFFFu) == 0xFF0000FFu && (lamp & 0x00FF0000u) != 0);
    }
    EXPECT_TRUE(story) << "no frame of the first scene";
    std::ifstream out_file(run.Path() / "out.txt");
    const std::string out((std::istreambuf_iterator<char>(out_file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(out.find("scene_pictures.mes"), std::string::npos) << out;
}

} // namespace
