// The flag screens reached in the demo game from the story in the message window, played headless
// by the built game with scripted input, in English and in Japanese side by side: clicks advance
// the story to its last message, the pointer at the right edge opens the side menu and its flag
// button the flag manager (build/demo_flags_manager_en.png: the fifteen heroine buttons), the
// pointer on a button shows its help line (build/demo_flags_hover_en.png), a press opens that
// heroine's schedule at her row with the clock, today's column, her row plate and marks, a seen
// event among them (build/demo_flags_grid_en.png), and the pointer walking her row's cells shows
// her next event's panel (build/demo_flags_panel_en.png). Deciding her next event asks
// (build/demo_flags_question_en.png), and a yes starts its scene in the message window
// (build/demo_flags_event_en.png) with the date, time, money and place the jump wrote. The
// Japanese run keeps its frames up to the panel as demo_flags_*_ja.png.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "DemoPlayer.h"
#include "DemoRun.h"
#include "foundation/CXMLDocument.h"
#include "game/hints/HintReachability.h"
#include "platform/gdi/PngCodec.h"
#include "screens/flags/JumpToEvent.h"
#include "sheetgen/FlagSheets.h"
#include "sheetgen/SheetGenerator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using Cell = FrameCell;

// The side menu opens as the pointer comes to the screen's right edge; with the game mode's flag
// button shown, that button is the fifth below the tab.
constexpr int EDGE_X = 1915;
constexpr int FLAGS_X = 1720, FLAGS_Y = 152 + 98 * 4 + 44;
// The heroine the test opens and the one it points at first.
constexpr int HEROINE = 0, POINTED = 3;

int ButtonX(int n)
{
    return 168 + 320 * (n % 5) + 160;
}

int ButtonY(int n)
{
    return 224 * (n / 5 + 1) + 112;
}

// The help line's strip at the foot of both screens.
int HelpText(const platform::PngPicture& frame)
{
    return WhiteIn(frame, 109, 1004, 1109, 1044);
}

bool ManagerShown(const platform::PngPicture& frame)
{
    for (int n = 0; n < 15; ++n) {
        const std::optional<Cell> cell = FrameCellStateAt(frame, ButtonX(n), ButtonY(n));
        if (!cell || cell->first != static_cast<uint32_t>(n))
            return false;
    }
    return true;
}

bool PointedButtonHovered(const platform::PngPicture& frame)
{
    return ManagerShown(frame) &&
           FrameCellStateAt(frame, ButtonX(POINTED), ButtonY(POINTED)) == Cell(POINTED, 1) &&
           HelpText(frame) > 100;
}

// The schedule: its background, and the canvas at the top (row 0's plate at (210, 8) of the
// canvas, which the grid window shows from (1, 136)).
bool GridShown(const platform::PngPicture& frame)
{
    return FrameCellStateAt(frame, 1000, 1075) == Cell(tools::FLAG_SCHEDULE_BACKGROUND, 0) &&
           FrameCellStateAt(frame, 1 + 214, 136 + 144) == Cell(tools::FLAG_SHEET_ROW_PLATE, 0);
}

// The day cells of row 0: 86 x 84 from (212 + 87 d, 146) on the screen; a mark read in its
// top-left corner, clear of its words (the seen mark stands 12 lower).
int MarksInRow0(const platform::PngPicture& frame)
{
    int marks = 0;
    for (int d = 0; d < 17; ++d) {
        const std::optional<Cell> cell = FrameCellStateAt(frame, 212 + 87 * d + 3, 146 + 15);
        marks += cell && (cell->first == tools::FLAG_SHEET_SEEN || cell->first == tools::FLAG_SHEET_MISSED ||
                          cell->first == tools::FLAG_SHEET_POSSIBLE)
                     ? 1
                     : 0;
    }
    return marks;
}

// Words a player reads on the schedule's dark plates: light pixels, neither the cells' colours nor
// white, inside [x0, x1) x [y0, y1).
int LightWordsIn(const platform::PngPicture& frame, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint32_t pixel =
                frame.pixels[static_cast<size_t>(y) * static_cast<size_t>(frame.width) + x];
            count += ((pixel >> 16) & 0xFF) >= 200 && ((pixel >> 8) & 0xFF) >= 180 && (pixel & 0xFF) < 160;
        }
    return count;
}

// How far apart two shown colours are, channel by channel.
int ColourDistance(const platform::PngPicture& frame, int x0, int y0, int x1, int y1)
{
    const uint32_t a = frame.pixels[static_cast<size_t>(y0) * static_cast<size_t>(frame.width) + x0];
    const uint32_t b = frame.pixels[static_cast<size_t>(y1) * static_cast<size_t>(frame.width) + x1];
    int distance = 0;
    for (int shift = 0; shift < 24; shift += 8)
        distance += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return distance;
}

bool PanelShown(const platform::PngPicture& frame)
{
    if (!GridShown(frame))
        return false;
    int pieces = 0;
    for (int y = 136; y < 936; y += 3)
        for (int x = 1; x < 1703; x += 3) {
            const std::optional<Cell> cell = FrameCellStateAt(frame, x, y);
            pieces +=
                cell && cell->first >= tools::FLAG_SHEET_PANEL && cell->first <= tools::FLAG_SHEET_PANEL + 12;
        }
    return pieces > 100;
}

// The panel of heroine 0's next event (day 1 of her row, the day after her seen one), opening
// downwards from the cell's centre: its text from (320 + 28, 188 + 56).
constexpr int NEXT_X = 212 + 87 + 43, NEXT_Y = 146 + 42;
constexpr int PANEL_TEXT_X = 348, PANEL_TEXT_Y = 244;
// The jump question's yes.
constexpr int YES_X = 828, YES_Y = 557;

// The panel of her next event, its text starting where that panel's does: her seen event's starts
// 87 pixels to the left, and the panel of day 3 (the next one whose text starts to the right of
// day 0's) 8 pixels to the right. A slow machine can miss a day as the pointer walks the row.
bool NextEventPanelShown(const platform::PngPicture& frame)
{
    return PanelShown(frame) &&
           WhiteIn(frame, PANEL_TEXT_X, PANEL_TEXT_Y, PANEL_TEXT_X + 6, PANEL_TEXT_Y + 60) > 0 &&
           WhiteIn(frame, PANEL_TEXT_X, PANEL_TEXT_Y, PANEL_TEXT_X + 400, PANEL_TEXT_Y + 60) > 200 &&
           WhiteIn(frame, PANEL_TEXT_X - 87, PANEL_TEXT_Y, PANEL_TEXT_X - 8, PANEL_TEXT_Y + 60) == 0;
}

// The panel's date line beyond its twelfth full-width cell.
int DateLineTail(const platform::PngPicture& frame)
{
    return WhiteIn(frame, PANEL_TEXT_X + 240, PANEL_TEXT_Y + 20, PANEL_TEXT_X + 400, PANEL_TEXT_Y + 40);
}

bool ManagerInLanguage(const platform::PngPicture& frame, int language)
{
    return ManagerShown(frame) && FrameCellStateAt(frame, 100, 100) ==
                                      Cell(tools::FLAG_LIST_BACKGROUND + static_cast<uint32_t>(language), 0);
}

bool QuestionShown(const platform::PngPicture& frame)
{
    for (int y = 0; y < 1080; y += 8)
        for (int x = 0; x < 1920; x += 8)
            if (FrameCellStateAt(frame, x, y) == Cell(tools::DIALOG_SHEET_LINE + 11, 0))
                return true;
    return false;
}

// The event scene's line in the message window over the story, in the run's language:
// 夕方の川辺で彼女が待っていた。 (15 cells), or She was waiting for me by the river (18 cells)
// over at dusk.
bool EventLineShown(const platform::PngPicture& frame, int language)
{
    if (GridShown(frame))
        return false;
    if (language != 0)
        return MessageLineCells(frame, 16) == "###############.";
    const std::string line = MessageLineCells(frame, 24);
    return line.find('.') == 18 && line.substr(18) == "......";
}

// The story's last message, ……: two cells with the prompt, no name on the plate.
bool LastMessageShown(const platform::PngPicture& frame)
{
    return StoryPromptShown(frame) && !StoryNamePlateShown(frame) &&
           StoryTextIn(frame, 0, 1, STORY_LINE_Y) > 0 && StoryTextIn(frame, 2, 19, STORY_LINE_Y) == 0 &&
           StoryTextIn(frame, 0, 19, STORY_LINE_Y + 60) == 0;
}

// The side menu home from its slide, its first button in place.
bool SideMenuIn(const platform::PngPicture& frame)
{
    return FrameCellAt(frame, 1520 + 3, 1000) == tools::SIDE_MENU_SHEET_PANEL &&
           FrameCellAt(frame, 1620 + 3, 152 + 3) == 0xF01u;
}

// Plays the story to the flag manager, in the language, and walks heroine 0's row; then, with
// `decide`, presses her next event and says yes to the question. Answers the frames seen in
// order: manager, help line, schedule, panel, and with `decide` the question and the event scene.
size_t PlayToTheSchedule(const HeadlessDemoHome& home, int language, bool decide)
{
    home.EditConfig([&](CXMLDocument& config) {
        config.SetInt("/Config/AutoRead", 0); // clicks advance the story
        config.SetInt("/Config/GameMode", 1); // the side menu's flag button
        config.SetInt("/Config/Language", language);
        config.SetString("/GameFile/Script/StartUp", "story_wait_alone.mes");
    });
    HeadlessDemoPlayer x(home);
    x.StartGame();
    // Clicks advance the story to its last message, each once the page before is complete; the
    // last message waits again after every click. A page that goes on loses its prompt while the
    // next one types out.
    EXPECT_TRUE(x.WaitFor(StoryPromptShown)) << "no message\n" << x.Output();
    bool last = false;
    for (int click = 0; click < 12 && !last; ++click) {
        x.Press(900, 900);
        x.WaitFor([](const platform::PngPicture& frame) { return !StoryPromptShown(frame); }, 2s);
        const std::optional<platform::PngPicture> page = x.WaitFor(StoryPromptShown, 20s);
        last = page && LastMessageShown(*page);
    }
    EXPECT_TRUE(last) << "no last message (……)\n" << x.Output();
    // The pointer at the right edge slides the side menu in; its flag button opens the manager.
    // Presses come after the pointer rests on their button, so the screen has its hover when the
    // press comes.
    const auto press = [&x](int at_x, int at_y) {
        return [&x, at_x, at_y] {
            x.Move(at_x, at_y);
            x.WaitFrames(6);
            x.Press(at_x, at_y);
        };
    };
    EXPECT_TRUE(x.ActUntil([&x] { x.Move(EDGE_X, 540); }, SideMenuIn)) << "no side menu\n" << x.Output();
    x.ActUntil(press(FLAGS_X, FLAGS_Y),
               [language](const platform::PngPicture& frame) { return ManagerInLanguage(frame, language); });
    // The two languages' runs go side by side: each keeps its frames under its own names.
    std::vector<std::string> names;
    names.reserve(6);
    const auto keep = [&names, language](const char* step) {
        names.push_back(std::string("demo_flags_") + step + (language == 0 ? "_en" : "_ja") + ".png");
        return names.back().c_str();
    };
    const auto nothing = [](const platform::PngPicture&) {};
    std::vector<FrameStep> steps = {
        {keep("manager"),
         [language](const platform::PngPicture& frame) { return ManagerInLanguage(frame, language); },
         [](const platform::PngPicture& frame) {
             EXPECT_EQ(FrameCellStateAt(frame, 1791, 992), Cell(256, 0)) << "the back button";
         },
         [&x] { x.Move(ButtonX(POINTED), ButtonY(POINTED)); }},
        {keep("hover"), PointedButtonHovered, nothing, press(ButtonX(HEROINE), ButtonY(HEROINE))},
        {keep("grid"), GridShown,
         [](const platform::PngPicture& frame) {
             // 08:00 on 1223: a.m., the digits 0 8 0 0, and today's column over day 1; her first
             // event, seen on day 0.
             // Each piece is read in its top-left corner, clear of its words.
             EXPECT_EQ(FrameCellStateAt(frame, 9 + 1, 19 + 1), Cell(tools::FLAG_SHEET_AM, 0));
             // Its words stand whole: centred words cut by the sides of their box reach both.
             EXPECT_GT(WhiteIn(frame, 9, 19, 9 + 32, 19 + 52), 40) << "the a.m. mark's words";
             EXPECT_FALSE(WhiteIn(frame, 9 + 3, 19, 9 + 4, 19 + 52) > 0 &&
                          WhiteIn(frame, 9 + 28, 19, 9 + 29, 19 + 52) > 0)
                 << "the a.m. mark's words cut at its sides";
             const int digits[4] = {0, 8, 0, 0}, places[4] = {41, 76, 131, 166};
             for (int i = 0; i < 4; ++i)
                 EXPECT_EQ(FrameCellStateAt(frame, places[i] + 1, 23 + 1),
                           Cell(tools::FLAG_SHEET_DIGIT + static_cast<uint32_t>(digits[i]), 0))
                     << i;
             EXPECT_EQ(FrameCellStateAt(frame, 205 + 87 + 2, 92 + 2), Cell(tools::FLAG_SHEET_TODAY, 0));
             EXPECT_EQ(FrameCellStateAt(frame, 212 + 3, 158 + 3), Cell(tools::FLAG_SHEET_SEEN, 0));
             EXPECT_GT(MarksInRow0(frame), 0) << "her events";
             // Readable at a glance: each row's heroine left of her row, the days' dates over the
             // grid, and a seen, a possible and a missed mark apart from the row plate and each other.
             EXPECT_GT(LightWordsIn(frame, 9, 146, 205, 230), 100) << "heroine 0's name";
             EXPECT_GT(LightWordsIn(frame, 400, 92, 1690, 134), 600) << "the dates";
             const int plate_x = 1 + 214, plate_y = 136 + 144, seen_x = 212 + 3, seen_y = 158 + 3;
             const int possible_x = 212 + 87 + 3, possible_y = 146 + 15;
             EXPECT_GT(ColourDistance(frame, plate_x, plate_y, seen_x, seen_y), 90) << "seen on the plate";
             EXPECT_GT(ColourDistance(frame, plate_x, plate_y, possible_x, possible_y), 90)
                 << "possible on the plate";
             EXPECT_GT(ColourDistance(frame, seen_x, seen_y, possible_x, possible_y), 90)
                 << "seen or possible";
         },
         // The pointer walks her row's cells, twice, and rests on her next event's.
         [&x] {
             for (int walk = 0; walk < 2; ++walk)
                 for (int d = 0; d < 17; ++d)
                     x.Move(212 + 87 * d + 43, 146 + 42);
             x.Move(NEXT_X, NEXT_Y);
         }},
        {keep("panel"), NextEventPanelShown,
         [language](const platform::PngPicture& frame) {
             if (language == 0) {
                 EXPECT_EQ(DateLineTail(frame), 0) << "Date: December ２３";
             }
         }},
    };
    if (decide) {
        steps.back().then = press(NEXT_X, NEXT_Y);
        steps.push_back({keep("question"), QuestionShown, nothing, press(YES_X, YES_Y)});
        steps.push_back(
            {keep("event"),
             [language](const platform::PngPicture& frame) { return EventLineShown(frame, language); },
             nothing});
    }
    const size_t seen = PlayFrameSteps(x, steps);
    // The event scene keeps the state the jump left.
    if (decide)
        x.WaitFor(
            [&home](const platform::PngPicture&) {
                return fs::exists(home.Path() / "vesk/demo/Save/FLAG906");
            },
            30s);
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    return seen;
}

TEST(DemoFlagScreensTest, TheSideMenuOpensTheScheduleAndAYesJumpsToTheNextEvent)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    const size_t seen = PlayToTheSchedule(home, 0, true);
    EXPECT_EQ(seen, 6u) << "manager 1, help line 2, schedule 3, panel 4, question 5, event scene 6";

    // Her next event is on the day the story stands at, after a walk to the park: the jump keeps
    // the day, sets the event's time and place and raises its flags; the walk costs nothing.
    const std::optional<FlagBuffer> state = SavedState(home, "FLAG906");
    ASSERT_TRUE(state.has_value()) << "the event scene keeps the state the jump left";
    EXPECT_EQ(state->GameDate(), 1223);
    EXPECT_EQ(state->Weekday(), DayOfWeek(1223));
    EXPECT_EQ(state->GameTime(), 815);
    EXPECT_EQ(state->Money(), 10000);
    EXPECT_EQ(state->District(), 0);
    EXPECT_EQ(state->Flags.at(FLAG_LOCATION), 0);
    EXPECT_NE(state->EngineStateWord() & ENGINE_STATE_JUMPED, 0u);
    EXPECT_EQ(state->Flags.at(FLAG_JUMP_NEW_DAY), 0);
    EXPECT_EQ(state->Flags.at(FLAG_JUMP_TAKEN), 1);
    EXPECT_EQ(state->Flags.at(FLAG_JUMP_TRIP), 1);
    EXPECT_EQ(state->Flags.at(8010), 1) << "the event's code";
}

TEST(DemoFlagScreensTest, ThePanelSpeaksJapanese)
{
    const HeadlessDemoHome home;
    ASSERT_TRUE(fs::exists(home.Build() / "demo/vesk")) << "build the demo target first";
    EXPECT_EQ(PlayToTheSchedule(home, 3, false), 4u) << "manager 1, help line 2, schedule 3, panel 4";
    // Japanese gives the event's whole window, １２月２３日～０１月０６日, where English gives
    // only its first day.
    const std::optional<platform::PngPicture> panel =
        platform::ReadPngFile(home.Build() / "demo_flags_panel_ja.png");
    ASSERT_TRUE(panel.has_value());
    EXPECT_GT(DateLineTail(*panel), 50);
}

} // namespace
