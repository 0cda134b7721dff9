// The train trip played headless on its own (effects_alone.mes) at four times the game's pace,
// each line clicked on once it waits. The newest frame is asked for as the trip goes, so a step is
// the first frame asked for that shows its effect, found by the corner lamp's red value (60 to 67)
// and by what the screen shows, wherever the effect has got to: kept as
// build/demo_effects_<step>.png and read at pixels worked out from the trip's pictures: the pan
// from the sky's top to the sunset, the station, the train standing where it stops, the line map
// with its train on the track, the three-layer platform, a falling snowflake, the message screen's
// centred line over black and the epilogue, with the lines shown over the platform and the
// epilogue.
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

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "GameProcess.h"
#include "demopics/TripPictures.h"
#include "foundation/CXMLDocument.h"
#include "platform/gdi/PngCodec.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
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
    // Lines read by clicks: a line's prompt waits in the frames until the click, however long a
    // busy machine takes to draw it.
    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "effects_alone.mes");
        config.SetInt("/Config/AutoRead", 0);
    });
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.SetClockRate(4);
    x.StartGame();

    using namespace tools;
    const std::vector<FrameStep> steps = {
        // The pan's upper half at the screen's top, wherever the pan has got to.
        {"demo_effects_pan_start.png",
         [](const Frame& f) { return Lamp(f) == 60 && Is(f, 960, 100, PAN_UPPER); }, [](const Frame&) {}},
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
        // The line map at night (game time 0), its train on the track. The map scrolls by and the
        // train slides along it: read along whole rows, not at a spot a station mark or the train
        // may pass.
        {"demo_effects_map.png",
         [](const Frame& f) {
             return Lamp(f) == 63 && CountIn(f, 100, LINE_PAPER[3]) > 1500 &&
                    CountIn(f, 330, LINE_TRAIN) > 200;
         },
         [](const Frame& f) {
             EXPECT_GT(CountIn(f, LINE_TRACK_Y, LINE_TRACK), 900) << "the track along the map";
         }},
        // The fence is read left of the message window, which opens over the set for its line,
        // between two of its posts.
        {"demo_effects_set.png",
         [](const Frame& f) {
             return Lamp(f) == 64 && Is(f, 960, 100, SET_SKY) && Is(f, 80, 895, SET_FENCE);
         },
         [](const Frame& f) {
             EXPECT_TRUE(Is(f, 960, 600, SET_SKY));
             EXPECT_TRUE(Is(f, 960, 700, SET_MOUNTAINS));
             EXPECT_TRUE(Is(f, 80, SET_FENCE_TOP - 10, SET_MOUNTAINS));
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
    size_t seen = 0;
    for (const FrameStep& step : steps) {
        const std::optional<Frame> frame = x.ClickThroughTo(step.matches);
        if (!frame)
            break;
        step.check(*frame);
        platform::WritePngFile(home.Build() / step.keep, *frame);
        ++seen;
    }
    EXPECT_EQ(seen, steps.size()) << "steps seen: " << seen << "\n" << x.Output();
}

// The trip quick-saved on a line by a press on the window's quick-save button, then continued
// from the title of a new start. The first line shown after the load is the saved one, over the
// picture it had, laid into the scene again: the platform's three layers (its line) or the
// epilogue (its last line, before the trip's end ends the game).
void SaveOnLineAndContinue(bool to_the_end, const std::vector<int>& lamps,
                           const std::function<void(const Frame&)>& picture)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "effects_alone.mes");
        config.SetInt("/Config/AutoRead", 0);
    });
    int saved = 0;
    {
        // Clicked on to the line of the first lamp, then the quick-save button until the save is
        // there; the game is then closed.
        HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
        x.SetClockRate(4);
        x.StartGame();
        const std::optional<Frame> line =
            x.ClickThroughTo([&](const Frame& f) { return StoryPromptShown(f) && Lamp(f) == lamps.front(); });
        ASSERT_TRUE(line) << "the line of lamp " << lamps.front() << " not seen\n" << x.Output();
        saved = Lamp(*line);
        const fs::path quick = home.Path() / "vesk/demo/Save/FLAG201";
        ASSERT_TRUE(x.ClickUntil(1540, 1033, [&](const Frame&) { return fs::exists(quick); }))
            << "no quick save";
        x.Close();
        EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    }
    ASSERT_TRUE(std::ranges::find(lamps, saved) != lamps.end()) << "saved on the line of lamp " << saved;

    home.EditConfig([](CXMLDocument& config) {
        config.SetString("/GameFile/Script/StartUp", "start.mes");
        config.SetInt("/Config/Demo/SkipTitle", 0);
    });
    // Continue, the title's second button, once the title is up.
    HeadlessDemoPlayer x(home, HeadlessDemoPlayer::Frames::Asked);
    x.SetClockRate(4);
    x.StartGame();
    ASSERT_TRUE(x.WaitFor([](const Frame& f) { return FrameCellAt(f, 310, 630) == 1u; }, 180s))
        << "no title\n"
        << x.Output();
    const std::optional<Frame> continued = x.ClickUntil(300, 630, StoryPromptShown);
    ASSERT_TRUE(continued) << "no line after Continue\n" << x.Output();
    platform::WritePngFile(home.Build() / (to_the_end ? "demo_effects_continued_epilogue.png"
                                                      : "demo_effects_continued_platform.png"),
                           *continued);
    EXPECT_EQ(Lamp(*continued), saved) << "the first line after the load";
    picture(*continued);
    EXPECT_GT(StoryTextIn(*continued, 0, 8, STORY_LINE_Y), 50) << "the saved line";
}

TEST(DemoEffectsTest, ATripSavedOnItsPlatformIsContinuedOverItsPicture)
{
    using namespace tools;
    SaveOnLineAndContinue(false, {64, 65}, [](const Frame& f) {
        EXPECT_TRUE(Is(f, 960, 100, SET_SKY)) << std::hex << Rgb(f, 960, 100);
        EXPECT_TRUE(Is(f, 960, 700, SET_MOUNTAINS)) << std::hex << Rgb(f, 960, 700);
    });
}

TEST(DemoEffectsTest, ATripSavedOnItsEpilogueIsContinuedOverItsPicture)
{
    using namespace tools;
    SaveOnLineAndContinue(true, {67}, [](const Frame& f) {
        EXPECT_TRUE(Is(f, 100, 100, EPILOGUE_SKY)) << std::hex << Rgb(f, 100, 100);
        EXPECT_TRUE(Is(f, 100, EPILOGUE_SNOW_TOP + 20, EPILOGUE_SNOW));
    });
}

} // namespace
