// The demo's name scene, played headless on its own by the built game in Japanese: text typed
// with no input method running (committed whole) overwrites the default name, Return on the
// entry's confirm button takes it, and the next message of the message window shows it alone in
// its text line (build/demo_name_message.png), with the entry's palette gone.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;

TEST(DemoNameTest, TheConfirmedNameIsTheNextMessage)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/Language", 3);
        config.SetString("/GameFile/Script/StartUp", "name_alone.mes");
    });
    // The entry comes up within a few hundred turns; ゆ is typed again and again from the start:
    // each commit overwrites the character at the caret and moves it on, until the six allowed
    // are ゆ. Then Return comes again and again with the pointer on the confirm button; later ones
    // pass the message on (auto mode would too). The first notice then waits for its button, and
    // the run is ended.
    std::string input;
    for (int turn = 50; turn <= 2000; turn += 10)
        input += std::to_string(turn) + " text ゆ\n";
    for (int turn = 2100; turn <= 4800; turn += 40)
        input += std::to_string(turn) + " move 1552 951\n" + std::to_string(turn + 1) + " key 0x0D\n";
    const fs::path script = home.Path() / "input.txt";
    std::ofstream(script) << input;
    std::system(home.Command("VESK_INPUT_SCRIPT='" + script.string() + "' VESK_CLOSE_AFTER_FRAMES=5000", 300)
                    .c_str());

    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    bool entry_seen = false;
    bool shown = false;
    for (const fs::path& path : frames) {
        const std::optional<platform::PngPicture> frame = platform::ReadPngFile(path);
        ASSERT_TRUE(frame.has_value()) << path;
        // あ's cell of the kana page.
        const bool entry = FrameCellAt(*frame, 505, 106) == 0x1000u;
        entry_seen = entry_seen || entry;
        // Six characters, nothing after them; the palette gone from the screen.
        if (entry_seen && !entry && MessageLineCells(*frame, 10) == "######....") {
            // ゆ six times: the same glyph in every cell, so the same count of white pixels.
            for (int k = 1; k < 6; ++k)
                EXPECT_EQ(WhiteIn(*frame, 440 + 48 * k, 850, 488 + 48 * k, 898),
                          WhiteIn(*frame, 440, 850, 488, 898))
                    << "cell " << k << " holds another character than the first";
            fs::copy_file(path, home.Build() / "demo_name_message.png", fs::copy_options::overwrite_existing);
            shown = true;
            break;
        }
    }
    EXPECT_TRUE(entry_seen) << "the name entry's kana page";
    EXPECT_TRUE(shown) << "the name in a message after the entry";
}

} // namespace
