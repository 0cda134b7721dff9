// The train trip played headless on its own (effects_alone.mes) with auto mode on, so it runs to
// its end without input and the game ends with it. The first frame of each step, found by the
// corner lamp's red value (60 to 67) and by what the screen shows, is kept as
// build/demo_effects_<step>.png and read at pixels worked out from the trip's pictures: the pan
// from the sky's top to the sunset, the station, the train standing where it stops, the line map
// with its train, the three-layer platform, a falling snowflake, the message screen's centred
// line over black and the epilogue, with the lines shown over the platform and the epilogue.
// A trip saved on the platform's or the epilogue's line and continued from the title of a new
// start shows that line again over its picture.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "GameProcess.h"
#include "demopics/TripPictures.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;
using Frame = platform::PngPicture;

uint32_t Rgb(const Frame& frame, int x, int y)
{
    return frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + x] & 0xFFFFFFu;
}

bool Is(const Frame& frame, int x, int y, uint32_t colour)
{
    return Rgb(frame, x, y) == (colour & 0xFFFFFFu);
}

int Lamp(const Frame& frame)
{
    return static_cast<int>((frame.pixels[0] >> 16) & 0xFF);
}

int CountIn(const Frame& frame, int y, uint32_t colour)
{
    int count = 0;
    for (int x = 0; x < frame.width; ++x)
        count += Is(frame, x, y, colour);
    return count;
}

TEST(DemoEffectsTest, TheTrainTripShowsEachEffect)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig(
        [](CXMLDocument& config) { config.SetString("/GameFile/Script/StartUp", "effects_alone.mes"); });
    // The scene's end ends the game; the kill only guards against a hang.
    const int status = std::system(home.Command("", 400).c_str());

    using namespace tools;
    const std::vector<FrameStep> steps = {
        {"demo_effects_pan_start.png",
         [](const Frame& f) { return Lamp(f) == 60 && Is(f, 960, 100, PAN_UPPER); },
         [](const Frame& f) { EXPECT_TRUE(Is(f, 960, 700, PAN_UPPER)); }},
        // The pan's end: the picture's lower half, the hills from row 1800 - 1080.
        {"demo_effects_pan.png",
         [](const Frame& f) {
             return Lamp(f) == 60 && Is(f, 960, 100, PAN_SUNSET) &&
                    Is(f, 960, PAN_HILL_TOP - 1080 + 2, PAN_HILLS);
         },
         [](const Frame& f) { EXPECT_TRUE(Is(f, 960, PAN_HILL_TOP - 1080 - 2, PAN_SUNSET)); }},
        {"demo_effects_station.png", [](const Frame& f) { return Lamp(f) == 61; },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 100, 100, STATION_SKY));
             EXPECT_TRUE(Is(f, 960, 600, STATION_SKY)) << "no train yet";
         }},
        // At rest the picture's column 6244 stands at the screen's left edge: cars 13 to 15 of
        // 512 pixels (a car from 16 to 496) begin at 428, 940 and 1452; the table's first line in
        // the window above the platform.
        {"demo_effects_train.png", [](const Frame& f) { return Lamp(f) == 62; },
         [](const Frame& f) {
             for (const int left : {428, 940, 1452}) {
                 EXPECT_TRUE(Is(f, left - 2, 700, STATION_SKY)) << left;
                 EXPECT_TRUE(Is(f, left + 2, 700, TRAIN_BODY)) << left;
             }
             EXPECT_GT(StoryTextIn(f, 0, 8, STORY_LINE_Y), 100) << "the language table's line";
         }},
        // The line map at night (game time 0), its train on the track.
        {"demo_effects_map.png",
         [](const Frame& f) {
             return Lamp(f) == 63 && Is(f, 100, 100, LINE_PAPER[3]) && CountIn(f, 330, LINE_TRAIN) > 200;
         },
         [](const Frame& f) { EXPECT_TRUE(Is(f, 100, LINE_TRACK_Y, LINE_TRACK)); }},
        {"demo_effects_set.png",
         [](const Frame& f) {
             return Lamp(f) == 64 && Is(f, 960, 100, SET_SKY) && Is(f, 960, 895, SET_FENCE);
         },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 960, 600, SET_SKY));
             EXPECT_TRUE(Is(f, 960, 700, SET_MOUNTAINS));
             EXPECT_TRUE(Is(f, 960, SET_FENCE_TOP - 10, SET_MOUNTAINS));
         }},
        // The set's pictures are textures, drawn over the window: its lines show only once the
        // set lies in the scene.
        {"demo_effects_set_line.png", [](const Frame& f) { return Lamp(f) == 64 && StoryPromptShown(f); },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 960, 100, SET_SKY));
             EXPECT_TRUE(Is(f, 960, 700, SET_MOUNTAINS));
             EXPECT_GT(StoryTextIn(f, 0, 8, STORY_LINE_Y), 100) << "the platform's line";
         }},
        // The snowflake falls from above the screen to row 360 near column 665.
        {"demo_effects_snowball.png",
         [](const Frame& f) { return Lamp(f) == 65 && WhiteIn(f, 560, 0, 800, 440) > 10; },
         // Left of the side menu's tab, which stands over the set's pictures as the window does.
         [](const Frame& f) { EXPECT_EQ(WhiteIn(f, 900, 0, 1840, 440), 0); }},
        {"demo_effects_snowball_line.png",
         [](const Frame& f) { return Lamp(f) == 65 && StoryPromptShown(f); },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 960, 700, SET_MOUNTAINS));
             EXPECT_GT(StoryTextIn(f, 0, 8, STORY_LINE_Y), 100) << "the snowflake's line";
         }},
        // The line centred on the message screen, over black.
        {"demo_effects_message_screen.png",
         [](const Frame& f) { return Lamp(f) == 66 && WhiteIn(f, 760, 440, 1220, 640) > 300; },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 100, 100, 0));
             EXPECT_EQ(WhiteIn(f, 0, 0, 1920, 440), 0);
             EXPECT_EQ(WhiteIn(f, 0, 640, 1920, 1080), 0);
             EXPECT_EQ(WhiteIn(f, 0, 440, 760, 640) + WhiteIn(f, 1220, 440, 1920, 640), 0) << "not centred";
         }},
        {"demo_effects_epilogue.png", [](const Frame& f) { return Lamp(f) == 67; },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 100, 100, EPILOGUE_SKY));
             EXPECT_TRUE(Is(f, 100, EPILOGUE_SNOW_TOP + 20, EPILOGUE_SNOW));
         }},
        {"demo_effects_epilogue_line.png",
         [](const Frame& f) { return Lamp(f) == 67 && StoryPromptShown(f); },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 100, 100, EPILOGUE_SKY));
             EXPECT_GT(StoryTextIn(f, 0, 8, STORY_LINE_Y), 100) << "the table's last line";
         }},
    };
    const size_t seen = WalkFrameSteps(home, steps);
    std::ifstream log(home.Path() / "out.txt");
    EXPECT_EQ(seen, steps.size()) << "steps seen: " << seen << ", the game's wait status " << status << "\n"
                                  << std::string((std::istreambuf_iterator<char>(log)), {});
}

// The trip quick-saved on a line by presses on the window's quick-save button, then continued
// from the title of a new start. The first line shown after the load is the saved one, over the
// picture it had, laid into the scene again: the platform's three layers (on the platform's line
// or the snowflake's, where five clicks leave the trip, the presses on the button saving it
// there until the game is closed), or the epilogue (each click to the next line followed by a
// press on the button, so the newest save is on the last line before the trip's end ends the
// game).
void SaveOnLineAndContinue(bool to_the_end, const std::vector<int>& lamps,
                           const std::function<void(const Frame&)>& picture)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "effects_alone.mes");
        config.SetInt("/Config/AutoRead", 0);
    });
    const fs::path save_input = home.Path() / "save.txt";
    {
        std::ofstream out(save_input);
        for (int turn = 600; turn <= (to_the_end ? 30000 : 6000); turn += 600) {
            if (to_the_end || turn <= 5 * 600)
                out << PressAt(turn, 700, 300, 20, 40);
            out << PressAt(turn + 300, 1540, 1033, 20, 40);
        }
    }
    std::system(home.Command("VESK_INPUT_SCRIPT='" + save_input.string() +
                                 "' VESK_CLOSE_AFTER_FRAMES=" + std::to_string(to_the_end ? 31000 : 7000),
                             300)
                    .c_str());
    ASSERT_TRUE(fs::exists(home.Path() / "vesk/demo/Save/FLAG201")) << "no quick save made";
    // The line the trip rested on last, where it was saved.
    int saved = 0;
    WalkFrameSteps(home, {{"demo_effects_saved_line.png",
                           [&](const Frame& f) {
                               if (StoryPromptShown(f))
                                   saved = Lamp(f);
                               return false;
                           },
                           [](const Frame&) {}}});
    ASSERT_TRUE(std::ranges::find(lamps, saved) != lamps.end()) << "saved on the line of lamp " << saved;
    for (const auto& entry : fs::directory_iterator(home.Path() / "frames"))
        fs::remove(entry.path());

    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "start.mes");
        config.SetInt("/Config/Demo/SkipTitle", 0);
    });
    // Continue, the title's second button, until it lands (a press after the load ends the line).
    const fs::path continue_input = home.Path() / "continue.txt";
    {
        std::ofstream out(continue_input);
        for (int turn = 1000; turn <= 8000; turn += 1000)
            out << PressAt(turn, 300, 630, 20, 40);
    }
    std::system(
        home.Command("VESK_INPUT_SCRIPT='" + continue_input.string() + "' VESK_CLOSE_AFTER_FRAMES=9000", 300)
            .c_str());
    const size_t seen = WalkFrameSteps(
        home, {{to_the_end ? "demo_effects_continued_epilogue.png" : "demo_effects_continued_platform.png",
                [](const Frame& f) { return StoryPromptShown(f); },
                [&](const Frame& f) {
                    EXPECT_EQ(Lamp(f), saved) << "the first line after the load";
                    picture(f);
                    EXPECT_GT(StoryTextIn(f, 0, 8, STORY_LINE_Y), 50) << "the saved line";
                }}});
    EXPECT_EQ(seen, 1u) << ReadWholeFile(home.Path() / "out.txt");
}

TEST(DemoEffectsTest, ATripSavedOnItsPlatformOrEpilogueIsContinuedOverItsPicture)
{
    using namespace tools;
    {
        SCOPED_TRACE("the platform");
        SaveOnLineAndContinue(false, {64, 65}, [](const Frame& f) {
            EXPECT_TRUE(Is(f, 960, 100, SET_SKY)) << std::hex << Rgb(f, 960, 100);
            EXPECT_TRUE(Is(f, 960, 700, SET_MOUNTAINS)) << std::hex << Rgb(f, 960, 700);
        });
    }
    SCOPED_TRACE("the epilogue");
    SaveOnLineAndContinue(true, {67}, [](const Frame& f) {
        EXPECT_TRUE(Is(f, 100, 100, EPILOGUE_SKY)) << std::hex << Rgb(f, 100, 100);
        EXPECT_TRUE(Is(f, 100, EPILOGUE_SNOW_TOP + 20, EPILOGUE_SNOW));
    });
}

} // namespace
