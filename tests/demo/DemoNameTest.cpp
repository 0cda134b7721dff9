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

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(DemoNameTest, TheConfirmedNameIsTheNextMessage)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/Language", 3);
        config.SetString("/GameFile/Script/StartUp", "name_alone.mes");
    });
    // Once the entry is up, ゆ typed six times: each commit overwrites the character at the caret
    // and moves it on, until the six allowed are ゆ. Then Return with the pointer on the confirm
    // button (a later Return passes the message on).
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Every);
    x.StartGame();
    // あ's cell of the kana page.
    const auto entry = [](const platform::PngPicture& frame) {
        return FrameCellAt(frame, 505, 106) == 0x1000u;
    };
    const size_t seen = PlayFrameSteps(
        x,
        {{nullptr, entry,
          [](const platform::PngPicture& frame) {
              // The page tabs (316 + 210 k, 810), 188 x 58, of the plain sheet every language is
              // shown: words across each, not one language's mark at its left.
              for (int k = 0; k < 3; ++k)
                  EXPECT_GT(WhiteIn(frame, 316 + 210 * k + 63, 815, 316 + 210 * k + 125, 863), 20)
                      << "tab " << k;
          },
          [&] {
              for (int k = 0; k < 6; ++k) {
                  x.Type("ゆ");
                  x.WaitFrames(2);
              }
              x.Move(1552, 951);
              x.Send("key 0x0D");
          }},
         // Six characters, nothing after them; the palette gone from the screen.
         {"demo_name_message.png",
          [&](const platform::PngPicture& frame) {
              return !entry(frame) && MessageLineCells(frame, 10) == "######....";
          },
          [](const platform::PngPicture& frame) {
              // ゆ six times: the same glyph in every cell, so the same count of white pixels.
              for (int k = 1; k < 6; ++k)
                  EXPECT_EQ(WhiteIn(frame, 440 + 48 * k, 850, 488 + 48 * k, 898),
                            WhiteIn(frame, 440, 850, 488, 898))
                      << "cell " << k << " holds another character than the first";
          }}},
        180s);
    EXPECT_EQ(seen, 2u) << "steps seen: " << seen << " (the entry's kana page 1, the name in a message 2)\n"
                        << x.Output();
}

} // namespace
