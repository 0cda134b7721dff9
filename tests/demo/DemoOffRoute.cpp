#include "DemoOffRoute.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "DemoStoryRoute.h"
#include "demopics/DemoPictures.h"
#include "demopics/TripPictures.h"
#include "screens/system/SaveLoadLayout.h"
#include "sheetgen/BacklogSheet.h"
#include "sheetgen/CharacterSheets.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/FlagSheets.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SaveLoadSheets.h"
#include "sheetgen/SheetGenerator.h"
#include "sheetgen/SlotSheet.h"

namespace {

namespace fs = std::filesystem;
using Frame = platform::PngPicture;
using namespace std::chrono_literals;
using namespace route;
using namespace saveload_layout;

// The title's buttons, 87 apart from New game.
constexpr int TITLE_X = 300, NEW_GAME_Y = 540, CONTINUE_Y = 627, LOAD_Y = 714;

// The side menu slides in while the pointer rests at the screen's right edge; its buttons stand
// 98 apart below the tab: save, load, settings, backlog, with the game mode the flag manager,
// then Return to title and Exit.
constexpr int EDGE_X = 1915, SIDE_X = 1720;
constexpr int SIDE_SAVE = 1, SIDE_LOAD = 2, SIDE_BACKLOG = 4;
int SideButtonY(int slot)
{
    return 152 + 98 * (slot - 1) + 44;
}

// A question's yes and no (controls 0 and 1 of the dialog sheet), known by their colour above
// their words, which cross their middle.
constexpr int YES_X = 828, NO_X = 1090, ANSWER_Y = 557, ANSWER_READ_Y = 534;

// The message window's quick save and quick load buttons.
constexpr int QUICK_SAVE_X = 1540, QUICK_LOAD_X = 1620, ROW_Y = 1033;

constexpr uint32_t SKY = 0xF0965A;    // the evening picture's sky
constexpr uint32_t GROUND = 0x3C285A; // and its ground

bool Near(const Frame& frame, int x, int y, uint32_t rgb)
{
    const uint32_t pixel = frame.pixels[size_t(y) * frame.width + x];
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((pixel >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)) > 6)
            return false;
    return true;
}

// The evening picture the first day plays over, seen at its sky and its ground.
bool EveningShown(const Frame& frame)
{
    return Near(frame, 960, 300, SKY) && Near(frame, 60, 640, GROUND);
}

// The morning picture the story's first lines stand on (08:00 at the station square): its
// gradient at two points clear of its clouds and sun.
bool MorningShown(const Frame& frame)
{
    return Near(frame, 960, 300, 0x323796) && Near(frame, 60, 640, 0x1553CE);
}

// The evening picture's caption, whole: its band's edges show, under no plate or arrow.
void ExpectCaptionWhole(const Frame& frame)
{
    const tools::CaptionBox box =
        tools::EveningCaptionBox(tools::WordsLanguage::Japanese); // the runs' language
    const uint32_t band = tools::CAPTION_BAND & 0xFFFFFF;
    int covered = 0;
    for (int x = box.left + 2; x < box.left + box.width - 2; ++x)
        covered += !Near(frame, x, box.top + 2, band) + !Near(frame, x, box.top + box.height - 3, band);
    for (int y = box.top + 2; y < box.top + box.height - 2; ++y)
        covered += !Near(frame, box.left + 2, y, band) + !Near(frame, box.left + box.width - 3, y, band);
    EXPECT_EQ(covered, 0) << "the caption at (" << box.left << ", " << box.top << ") is partly covered";
}

// Row r of the backlog's page (rows 300 apart).
bool BacklogRowShown(const Frame& frame, int row)
{
    return FrameCellAt(frame, 50, 300 * row + 150) == tools::BACKLOG_FRAME;
}

bool SideMenuOpen(const Frame& frame)
{
    return FrameCellAt(frame, 1900, 1000) == tools::SIDE_MENU_SHEET_PANEL;
}

bool SaveLoadShown(const Frame& frame)
{
    return FrameCellAt(frame, 10, 1070) == tools::SAVELOAD_CELL_BACKGROUND;
}

bool NoteShown(const Frame& frame)
{
    return FrameCellAt(frame, 530, 400) == tools::DIALOG_SHEET_NOTE_FRAME;
}

bool YesNoShown(const Frame& frame)
{
    return FrameCellAt(frame, YES_X, ANSWER_READ_Y) == 0u && FrameCellAt(frame, NO_X, ANSWER_READ_Y) == 1u;
}

// Row r of the save or load list holds a save (an ordinary or the newest row's picture).
bool RowUsed(const Frame& frame, int row)
{
    const std::optional<uint32_t> cell =
        FrameCellAt(frame, LIST_X + 4, LIST_Y + ROW_HEIGHT * row + ROW_HEIGHT / 2);
    return cell && *cell >= tools::SAVELOAD_CELL_ROW + 3 && *cell < tools::SAVELOAD_CELL_ROW + 9;
}

bool ButtonEnabled(const Frame& frame, int x, int y)
{
    const std::optional<FrameCell> cell = FrameCellStateAt(frame, x, y);
    return cell && cell->second != 3;
}

// No script error box on the way: the headless game writes each to its output; one in a window
// stops the game at it, and the step after it sees no screen.
void ExpectNoErrorBox(const DemoPlayer& x)
{
    const std::string out = x.Output();
    EXPECT_EQ(out.find("] (0x"), std::string::npos) << out;
}

fs::path SaveFolder(const DemoPlayer& x)
{
    return x.Home().Path() / "vesk/demo/Save";
}

// The title of a start, the logo clicked away.
std::optional<Frame> ToTheTitle(DemoPlayer& x)
{
    // The logo takes a click once it plays: the first may come too soon.
    return x.ClickOftenUntil(960, 300, TitleShown, 180s);
}

// New game: the first story line over the morning picture, and no title left over it.
std::optional<Frame> NewGame(DemoPlayer& x)
{
    std::optional<Frame> first = x.ClickUntil(TITLE_X, NEW_GAME_Y, StoryLineShown);
    if (first) {
        EXPECT_TRUE(MorningShown(*first)) << "the first line not over the morning picture";
        EXPECT_FALSE(FrameCellAt(*first, TITLE_X, CONTINUE_Y)) << "title buttons left over the story";
    }
    return first;
}

// The side menu's button, pressed once the menu has slid in: a press beside a closed menu would
// be a click on the story.
std::optional<Frame> PressSideButton(DemoPlayer& x, int slot, const std::function<bool(const Frame&)>& shown)
{
    const auto to_the_edge = [&] {
        x.Move(EDGE_X - 40, 540);
        x.Move(EDGE_X, 540);
    };
    if (!x.ActUntil(to_the_edge, SideMenuOpen))
        return std::nullopt;
    return x.ClickUntil(SIDE_X, SideButtonY(slot), shown);
}

// The line the frame shows, back over the morning picture with no title left over it.
void ExpectLineBack(const Frame& frame, const std::string& line)
{
    EXPECT_EQ(MessageLineCells(frame, 20), line);
    EXPECT_TRUE(MorningShown(frame)) << "the line back over something else than its morning picture";
    EXPECT_FALSE(FrameCellAt(frame, TITLE_X, NEW_GAME_Y)) << "title buttons under the line";
    EXPECT_EQ(KeyGreenIn(frame), 0);
}

// One of the calendar plate's digit cells at the spot, as its digit, or '?'.
char PlateDigit(const Frame& frame, int x, int y, uint32_t first)
{
    const std::optional<uint32_t> cell = FrameCellAt(frame, x, y);
    return cell && *cell >= first && *cell <= first + 9 ? char('0' + *cell - first) : '?';
}

// What the calendar plate reads, "MM/DD HH:MM money", from its cells (the calendar sprite at
// (16, 8), the money sprite at (313, 8)); empty where no plate shows.
std::string PlateReading(const Frame& frame)
{
    if (!PlateShown(frame))
        return "";
    std::string text;
    for (const int at : {66, 91, 132, 157})
        text += PlateDigit(frame, 16 + at + 4, 8 + 19 + 4, tools::PLATE_DATE_DIGIT);
    text += ' ';
    for (const int at : {96, 131, 186, 221})
        text += PlateDigit(frame, 16 + at + 4, 8 + 67 + 4, tools::PLATE_TIME_DIGIT);
    text.insert(2, "/").insert(8, ":") += ' ';
    // Money from the units up, 28 apart, 14 more before the 4th and the 8th digit.
    std::string money;
    for (int digit = 0, at = 269; at >= 0; at -= 28 + (digit == 3 || digit == 7 ? 14 : 0)) {
        const char shown = PlateDigit(frame, 313 + at + 4, 8 + 22 + 4, tools::PLATE_MONEY_DIGIT);
        if (shown == '?')
            break;
        money.insert(money.begin(), shown);
        ++digit;
    }
    return text + money;
}

// The flag manager from the side menu (its fifth button with the game mode on), heroine 0's
// schedule, her next event and yes to the question: the event's line in the message window, the
// plate with the jump's time (08:15), and a click goes on into the town of the event's day, whose
// plate keeps the jump's time and money and whose sub map shows each character at one place at
// most; the up arrow walks the leader into a door, and the side menu's Return to title on its
// message leads to the title.
void JumpToTheNextEvent(DemoPlayer& x, const std::string& keep)
{
    const auto manager = [](const Frame& frame) {
        return FrameCellAt(frame, 328, 336) == 0u && FrameCellAt(frame, 648, 336) == 1u;
    };
    ASSERT_TRUE(PressSideButton(x, 5, manager)) << "no flag manager from the side menu";
    const auto grid = [](const Frame& frame) {
        return FrameCellAt(frame, 1000, 1075) == tools::FLAG_SCHEDULE_BACKGROUND &&
               FrameCellAt(frame, 215, 280) == tools::FLAG_SHEET_ROW_PLATE;
    };
    ASSERT_TRUE(x.ClickUntil(328, 336, grid)) << "no schedule for heroine 0";
    ASSERT_TRUE(x.ClickUntil(212 + 87 + 43, 146 + 42, YesNoShown)) << "her next event asked nothing";
    const auto event = [](const Frame& frame) {
        return StoryPromptShown(frame) && MessageLineCells(frame, 16) == "###############.";
    };
    auto line = x.ClickUntil(YES_X, ANSWER_Y, event);
    ASSERT_TRUE(line) << "no event line after the jump";
    x.Keep(*line, keep);
    EXPECT_TRUE(EveningShown(*line)) << "the event's line not over its picture";
    EXPECT_FALSE(FrameCellAt(*line, TITLE_X, NEW_GAME_Y)) << "title buttons over the event";
    ASSERT_TRUE(PlateShown(*line)) << "no calendar plate with the event's line";
    // The time 08:15 in the plate's four digit cells.
    std::string digits;
    for (const int x_at : {120, 155, 210, 245}) {
        const std::optional<uint32_t> cell = FrameCellAt(*line, x_at, 80);
        digits += cell && *cell >= tools::PLATE_TIME_DIGIT && *cell <= tools::PLATE_TIME_DIGIT + 9
                      ? char('0' + *cell - tools::PLATE_TIME_DIGIT)
                      : '?';
    }
    EXPECT_EQ(digits, "0815") << "the plate does not show the jump's time";
    // The game goes on from the event: the town, its plate on the event's day and time.
    auto town =
        x.ClickUntil(960, 300, [](const Frame& frame) { return TownShown(frame) && PlateShown(frame); });
    ASSERT_TRUE(town) << "the event did not go on into the town\n" << x.Output();
    x.Keep(*town, keep + "_town");
    EXPECT_EQ(PlateReading(*town), "12/23 08:15 0");
    // The right button's sub map shows each character at one place at most, and closes again.
    const auto right_click = [&x] { x.Click(960, 700, 3); };
    const auto town_alone = [](const Frame& frame) { return TownShown(frame) && !SubMapShown(frame); };
    ASSERT_TRUE(x.ActUntil(right_click, SubMapShown, town_alone)) << "no sub map over the event's town";
    const auto faces = x.WaitFor(SubMapFacesShown);
    ASSERT_TRUE(faces) << "the event's sub map without its faces";
    x.Keep(*faces, keep + "_submap");
    EXPECT_EQ(CharactersAtSeveralPlaces(*faces), "")
        << "a character at several places of the event's sub map";
    ASSERT_TRUE(x.ActUntil(right_click, town_alone, SubMapShown))
        << "the sub map did not go back to the town";
    ASSERT_TRUE(x.ActUntil([&] { x.HoldUp(); },
                           [](const Frame& frame) { return MessageLineCells(frame, 8) == "#####..."; }))
        << "no door message in the town";
    // The title, or the special one once the ending has been played.
    ASSERT_TRUE(PressSideButton(x, 6, YesNoShown)) << "the door message's side menu asked nothing";
    auto title = x.ClickUntil(
        YES_X, ANSWER_Y, [](const Frame& frame) { return TitleShown(frame) || SpecialTitleShown(frame); });
    ASSERT_TRUE(title) << "Return to title from the town did not lead to the title";
    EXPECT_FALSE(EveningShown(*title)) << "the evening picture left under the title";
    ExpectNoErrorBox(x);
}

// From the first start's title, a new game's first line (its cells `line`) saved into the first
// slot: the side menu's save, the new-save row, the note's save, and the save screen closed back
// on the line. The screen with the saved slot is kept as `keep` where one is given.
void SaveTheFirstLineInTheFirstSlot(DemoPlayer& x, std::string& line, const char* keep = nullptr)
{
    ASSERT_TRUE(ToTheTitle(x)) << "no title at the first start\n" << x.Output();
    auto first = NewGame(x);
    ASSERT_TRUE(first) << "no story line after New game";
    line = MessageLineCells(*first, 20);
    ASSERT_TRUE(PressSideButton(x, SIDE_SAVE, SaveLoadShown)) << "no save screen from the side menu";
    ASSERT_TRUE(x.ClickUntil(800, LIST_Y + 60, NoteShown)) << "the new-save row opened no note";
    auto saved = x.ClickUntil(YES_X, 581,
                              [](const Frame& frame) { return SaveLoadShown(frame) && RowUsed(frame, 1); });
    ASSERT_TRUE(saved) << "the save screen shows no first slot";
    if (keep != nullptr)
        x.Keep(*saved, keep);
    ASSERT_TRUE(x.ClickUntil(1790, 950, [&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) == line;
    })) << "the save screen did not close on the line";
}

} // namespace

void SaveInTheFirstSlotAndLoadItOnTheNextStart(DemoPlayer& x)
{
    std::string line;
    ASSERT_NO_FATAL_FAILURE(SaveTheFirstLineInTheFirstSlot(x, line, "first_slot_saved"));

    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();

    // The next start reaches the title, with Load offered, and loads the slot back.
    x.StartGame();
    auto title = ToTheTitle(x);
    ASSERT_TRUE(title) << "no title on the start after a save into the first slot\n" << x.Output();
    x.Keep(*title, "title_after_first_slot");
    ExpectNoErrorBox(x);
    EXPECT_TRUE(ButtonEnabled(*title, TITLE_X, LOAD_Y)) << "Load not offered after a save";
    ASSERT_TRUE(x.ClickUntil(TITLE_X, LOAD_Y, [](const Frame& frame) {
        return SaveLoadShown(frame) && RowUsed(frame, 0);
    })) << "no load screen listing the slot";
    ASSERT_TRUE(x.ClickUntil(800, LIST_Y + 60, YesNoShown)) << "the slot's row asked nothing";
    auto loaded = x.ClickUntil(YES_X, ANSWER_Y, StoryLineShown);
    ASSERT_TRUE(loaded) << "the load brought no line back";
    x.Keep(*loaded, "first_slot_loaded");
    ExpectLineBack(*loaded, line);
    ExpectNoErrorBox(x);
}

void ReturnToTheTitleBothWays(DemoPlayer& x, bool menu_bar)
{
    ASSERT_TRUE(ToTheTitle(x)) << "no title at the first start\n" << x.Output();
    auto first = NewGame(x);
    ASSERT_TRUE(first) << "no story line after New game";
    const std::string line = MessageLineCells(*first, 20);
    ASSERT_TRUE(x.ClickThroughTo([&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) != line;
    })) << "the story did not go on";

    // The side menu's Return to title (its fifth button without the game mode), yes.
    ASSERT_TRUE(PressSideButton(x, 5, YesNoShown)) << "the side menu's Return to title asked nothing";
    auto title = x.ClickUntil(YES_X, ANSWER_Y, TitleShown);
    ASSERT_TRUE(title) << "yes did not lead to the title\n" << x.Output();
    x.Keep(*title, "title_from_side_menu");
    EXPECT_FALSE(MorningShown(*title) || EveningShown(*title)) << "the story's picture left under the title";
    EXPECT_EQ(KeyGreenIn(*title), 0);
    ExpectNoErrorBox(x);

    // A new game starts the story from its first line again.
    auto again = NewGame(x);
    ASSERT_TRUE(again) << "no story after going back to the title";
    EXPECT_EQ(MessageLineCells(*again, 20), line) << "the new game did not start at the first line";

    if (menu_bar) {
        // The menu bar above the picture: Game, its first item (Return to title), yes.
        ASSERT_TRUE(x.ActUntil(
            [&] {
                x.Click(20, -10);
                x.Key(0x28);
                x.Key(0x0D);
            },
            YesNoShown))
            << "Game > Return to title asked nothing";
        title = x.ClickUntil(YES_X, ANSWER_Y, TitleShown);
        ASSERT_TRUE(title) << "yes on the menu bar's question did not lead to the title\n" << x.Output();
        x.Keep(*title, "title_from_menu_bar");
        EXPECT_FALSE(MorningShown(*title) || EveningShown(*title));
        ExpectNoErrorBox(x);
        again = NewGame(x);
        ASSERT_TRUE(again) << "no story after the menu bar's way back";
        EXPECT_EQ(MessageLineCells(*again, 20), line);
    }
    ExpectNoErrorBox(x);
}

void JumpToTheNextEventOnANewGame(DemoPlayer& x)
{
    ASSERT_TRUE(ToTheTitle(x)) << "no title at the first start\n" << x.Output();
    auto first = NewGame(x);
    ASSERT_TRUE(first) << "no story line after New game";
    ASSERT_NO_FATAL_FAILURE(JumpToTheNextEvent(x, "jump_new_game"));
    ASSERT_TRUE(NewGame(x)) << "no story after the jump's title";

    // Once a game has been loaded in the run (as after the ending), the loaded stack's resume
    // point stays behind: the jump plays the event and the title comes back all the same. The
    // second line quick-saved, the story on to the next, and the quick load.
    const std::string line = MessageLineCells(*first, 20);
    auto second = x.ClickThroughTo(
        [&](const Frame& frame) { return StoryLineShown(frame) && MessageLineCells(frame, 20) != line; });
    ASSERT_TRUE(second) << "the story did not go on";
    const fs::path quick = SaveFolder(x) / "FLAG201";
    ASSERT_TRUE(x.ClickUntil(QUICK_SAVE_X, ROW_Y, [&](const Frame&) { return fs::exists(quick); }))
        << "no quick save";
    const std::string saved = MessageLineCells(*second, 20);
    // A click while the quick save still runs may go with the button's own: the line is clicked
    // until it goes.
    ASSERT_TRUE(x.ClickThroughTo([&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) != saved;
    })) << "the story did not go on past the quick save";
    ASSERT_TRUE(x.ClickUntil(QUICK_LOAD_X, ROW_Y, [&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) == saved;
    })) << "the quick load did not bring the saved line back";
    ASSERT_NO_FATAL_FAILURE(JumpToTheNextEvent(x, "jump_after_load"));
    ExpectNoErrorBox(x);
}

void NewGameAfterTheJumpStartsFromTheStorysMorning(DemoPlayer& x)
{
    ASSERT_TRUE(ToTheTitle(x)) << "no title at the first start\n" << x.Output();
    ASSERT_TRUE(NewGame(x)) << "no story line after New game";
    ASSERT_NO_FATAL_FAILURE(JumpToTheNextEvent(x, "jump_then_new_game"));
    // The story's lines to the choice, as on a first new game: no plate over them or the choice,
    // neither the event's day nor its time; the choice's auto save holds the story's morning.
    ASSERT_TRUE(NewGame(x)) << "no story line after New game";
    const auto choice = [](const Frame& frame) {
        return FrameCellAt(frame, 500, 222) == tools::CHOICE_CELL_MIDDLE &&
               FrameCellAt(frame, 1100, 570) == tools::CHOICE_CELL_MIDDLE;
    };
    auto shown = x.ClickThroughTo(choice);
    ASSERT_TRUE(shown) << "no choice";
    x.Keep(*shown, "new_game_choice");
    EXPECT_EQ(PlateReading(*shown), "") << "a plate over the new game's choice";
    const fs::path auto_save = SaveFolder(x) / "FLAG101";
    ASSERT_TRUE(x.WaitFor([&](const Frame&) { return fs::exists(auto_save); }))
        << "no auto save at the choice";
    const std::optional<FlagBuffer> state = SavedState(x.Home(), "FLAG101");
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->GameDate(), 1223);
    EXPECT_EQ(state->GameTime(), 800);
    EXPECT_EQ(state->Money(), 0);
    ExpectNoErrorBox(x);
}

void JumpToTheNextEventAfterTheSpecialScenario(DemoPlayer& x)
{
    // The special title's start, then back to the title from the special scenario's game: the
    // title route takes the new game's state back as it does after the ending.
    ASSERT_TRUE(x.ClickOftenUntil(960, 300, SpecialTitleShown, 180s)) << "no special title\n" << x.Output();
    ASSERT_TRUE(x.ClickUntil(TITLE_X, 717, StoryLineShown)) << "no story from the special title's start";
    ASSERT_TRUE(PressSideButton(x, 6, YesNoShown)) << "the side menu's Return to title asked nothing";
    ASSERT_TRUE(x.ClickUntil(YES_X, ANSWER_Y, SpecialTitleShown)) << "yes did not lead to the special title\n"
                                                                  << x.Output();
    ASSERT_TRUE(x.ClickUntil(TITLE_X, 986, TitleShown))
        << "the special title's back did not lead to the title";
    ASSERT_TRUE(NewGame(x)) << "no story line after New game\n" << x.Output();
    ASSERT_NO_FATAL_FAILURE(JumpToTheNextEvent(x, "jump_after_special"));
    ExpectNoErrorBox(x);
}

void PlayANewGameToTheTownsSubMap(DemoPlayer& x)
{
    ASSERT_TRUE(ToTheTitle(x)) << "no title at the first start\n" << x.Output();
    auto first = NewGame(x);
    ASSERT_TRUE(first) << "no story line after New game";
    std::string shown = MessageLineCells(*first, 20);
    for (const bool plate : {false, true, false}) {
        auto next = x.ClickUntil(700, 300, [&](const Frame& frame) {
            return StoryLineShown(frame) && MessageLineCells(frame, 20) != shown &&
                   StoryNamePlateShown(frame) == plate;
        });
        ASSERT_TRUE(next) << "the story did not go on to the choice";
        shown = MessageLineCells(*next, 20);
    }
    ASSERT_NO_FATAL_FAILURE(PlayTheChoice(x));
    ASSERT_NO_FATAL_FAILURE(PlayTheDay(x));
    ASSERT_NO_FATAL_FAILURE(PlayTheTown(x));
    ExpectNoErrorBox(x);
}

void QuickSaveOnEachKindOfScreenAndContinue(DemoPlayer& x)
{
    const fs::path save = SaveFolder(x);
    // A quick save goes into slot 201 and pushes the one before to 202: the next file shows it.
    const auto quick_save = [&](int at_x, int at_y, const char* file) {
        return x.ClickUntil(at_x, at_y, [&](const Frame&) { return fs::exists(save / file); }).has_value();
    };
    ASSERT_TRUE(ToTheTitle(x)) << "no title at the first start\n" << x.Output();
    auto first = NewGame(x);
    ASSERT_TRUE(first) << "no story line after New game";
    const std::string line = MessageLineCells(*first, 20);
    ASSERT_TRUE(quick_save(QUICK_SAVE_X, ROW_Y, "FLAG201")) << "no quick save on the message window";
    // On to the hero's answer to Yuki, the line before the choice: the next line, hers under her
    // name plate, his without.
    std::string shown = line;
    for (const bool plate : {false, true, false}) {
        auto next = x.ClickUntil(700, 300, [&](const Frame& frame) {
            return StoryLineShown(frame) && MessageLineCells(frame, 20) != shown &&
                   StoryNamePlateShown(frame) == plate;
        });
        ASSERT_TRUE(next) << "the story did not go on to the choice";
        shown = MessageLineCells(*next, 20);
    }

    // The day's screens as the route walks them, with a quick save on the character selection and
    // one on the place screen.
    ASSERT_NO_FATAL_FAILURE(PlayTheChoice(x));
    ASSERT_TRUE(x.ClickUntil(830, 597, [](const Frame& frame) { return !QuestionShown(frame); }));
    ASSERT_TRUE(x.WaitFor(SubMapShown)) << "no sub map after the exec scene";
    const auto selection = [](const Frame& frame) {
        return FrameCellAt(frame, 960, 120) == tools::CHARLIST_CHARACTER + 2;
    };
    ASSERT_TRUE(x.ClickUntil(960, 1000, selection, 3)) << "no character selection";
    ASSERT_TRUE(quick_save(341, 995, "FLAG202")) << "no quick save on the character selection";
    ASSERT_TRUE(x.ClickUntil(960, 132, [](const Frame& frame) {
        return FrameCellAt(frame, 960, 120) == tools::CHARLIST_CHARACTER &&
               FrameCellAt(frame, 960, 204) == tools::NAME_LIST_PAIRED;
    }));
    ASSERT_TRUE(x.ClickUntil(960, 132, [](const Frame& frame) {
        return FrameCellAt(frame, 1751, 991) == 512u;
    })) << "no diary";
    ASSERT_TRUE(x.ClickUntil(1751, 991, [](const Frame& frame) {
        return FrameCellAt(frame, 1751, 991) == 0x500u;
    })) << "no comment mode";
    x.Click(1751, 991);
    ASSERT_TRUE(x.ClickUntil(COMMENT_BACK_X, COMMENT_BACK_Y, CharacterAreaShown))
        << "no character-area screen";
    ASSERT_TRUE(x.ClickUntil(460, 300, [](const Frame& frame) {
        return FrameCellAt(frame, 960, 300) == tools::TIME_SHEET_DIAL;
    })) << "no time of day";
    const auto place = [](const Frame& frame) {
        return FrameCellAt(frame, 1190, 865) == tools::AREA_SHEET_BUTTON &&
               FrameCellAt(frame, 1450, 865) == tools::AREA_SHEET_BUTTON + 2 && PlateShown(frame);
    };
    ASSERT_TRUE(x.ClickUntil(1170, 630, place)) << "no place screen";
    ASSERT_TRUE(quick_save(470, 865, "FLAG203")) << "no quick save on the place screen";
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();

    // Continue on the next start: the place screen over the evening, the answers in the story
    // text, the plate.
    x.StartGame();
    auto title = ToTheTitle(x);
    ASSERT_TRUE(title) << "no title on the next start\n" << x.Output();
    ASSERT_TRUE(ButtonEnabled(*title, TITLE_X, CONTINUE_Y)) << "Continue not offered after quick saves";
    auto continued = x.ClickUntil(TITLE_X, CONTINUE_Y, place);
    ASSERT_TRUE(continued) << "Continue did not bring the place screen back\n" << x.Output();
    x.Keep(*continued, "continued_place");
    // The area screen's places stand over the sky: the sky read between two of them.
    EXPECT_TRUE(Near(*continued, 1565, 300, SKY) && Near(*continued, 60, 640, GROUND))
        << "the place screen not over the evening picture";
    // 人物： and the character's number, then the time of day, above the screen's buttons: the
    // quick save and load buttons stand at x 409..653 from y 803.
    EXPECT_GT(WhiteIn(*continued, 160, 575, 400, 650), 150)
        << "the answers given before it not in the story text";
    EXPECT_GT(WhiteIn(*continued, 420, 575, 900, 650), 150) << "the time of day not clear of the buttons";
    EXPECT_FALSE(FrameCellAt(*continued, TITLE_X, NEW_GAME_Y)) << "title buttons under the place screen";
    ExpectNoErrorBox(x);

    // The place screen's quick load is the same save; the older quick saves from the title's load
    // screen, quick tab: the character selection (row 1), then the message window's line (row 2).
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    x.StartGame();
    ASSERT_TRUE(ToTheTitle(x)) << "no title on the third start\n" << x.Output();
    const auto load_row = [&](int row, const std::function<bool(const Frame&)>& shown) {
        if (!x.ClickUntil(552 + 126, 58,
                          [&](const Frame& frame) { return SaveLoadShown(frame) && RowUsed(frame, row); }))
            return std::optional<Frame>();
        if (!x.ClickUntil(800, LIST_Y + ROW_HEIGHT * row + 60, YesNoShown))
            return std::optional<Frame>();
        return x.ClickUntil(YES_X, ANSWER_Y, shown);
    };
    ASSERT_TRUE(x.ClickUntil(TITLE_X, LOAD_Y, SaveLoadShown)) << "no load screen from the title";
    auto chosen = load_row(1, selection);
    ASSERT_TRUE(chosen) << "the character selection's quick save did not come back";
    x.Keep(*chosen, "loaded_selection");
    // The selection dims what stands under it to half.
    EXPECT_TRUE(Near(*chosen, 1850, 200, (SKY >> 1) & 0x7F7F7F) &&
                Near(*chosen, 60, 640, (GROUND >> 1) & 0x7F7F7F))
        << "the character selection not over the evening picture";
    ExpectNoErrorBox(x);
    // The selection's own load button, the quick tab, the oldest quick save: the first line.
    ASSERT_TRUE(x.ClickUntil(464, 995, SaveLoadShown)) << "no load screen from the character selection";
    auto message = load_row(2, StoryLineShown);
    ASSERT_TRUE(message) << "the message window's quick save did not come back";
    x.Keep(*message, "loaded_line");
    ExpectLineBack(*message, line);
    ExpectNoErrorBox(x);
}

// From the first start's title, a new game quick saved (FLAG201) on its first line, whose cells
// are `line`.
void QuickSaveTheFirstLine(DemoPlayer& x, std::string& line)
{
    const fs::path save = SaveFolder(x);
    ASSERT_TRUE(ToTheTitle(x)) << "no title at the first start\n" << x.Output();
    auto first = NewGame(x);
    ASSERT_TRUE(first) << "no story line after New game";
    line = MessageLineCells(*first, 20);
    ASSERT_TRUE(x.ClickUntil(QUICK_SAVE_X, ROW_Y, [&](const Frame&) { return fs::exists(save / "FLAG201"); }))
        << "no quick save on the first line";
}

void LoadTheEpilogueOnANewStart(DemoPlayer& x, std::string& continued_line)
{
    const fs::path save = SaveFolder(x);
    std::string line;
    ASSERT_NO_FATAL_FAILURE(QuickSaveTheFirstLine(x, line));
    // Clicked until the line goes, as after any quick save.
    auto second = x.ClickThroughTo(
        [&](const Frame& frame) { return StoryLineShown(frame) && MessageLineCells(frame, 20) != line; });
    ASSERT_TRUE(second) << "the story did not go on";
    continued_line = MessageLineCells(*second, 20);
    ASSERT_TRUE(x.ClickUntil(QUICK_SAVE_X, ROW_Y, [&](const Frame&) { return fs::exists(save / "FLAG202"); }))
        << "no quick save on the second line";
    x.Close();
    ASSERT_EQ(x.ExitStatus(), 0) << x.Output();
    ASSERT_NO_FATAL_FAILURE(MoveSaveToTheEpilogue(x.Home(), 202));

    // The load screen's quick tab: the newer save (row 0), then the older, now the epilogue's.
    x.StartGame();
    ASSERT_TRUE(ToTheTitle(x)) << "no title on the next start\n" << x.Output();
    ASSERT_TRUE(x.ClickUntil(TITLE_X, LOAD_Y, SaveLoadShown)) << "no load screen from the title";
    ASSERT_TRUE(x.ClickUntil(552 + 126, 58, [](const Frame& frame) {
        return SaveLoadShown(frame) && RowUsed(frame, 1);
    })) << "no second quick save listed";
    ASSERT_TRUE(x.ClickUntil(800, LIST_Y + ROW_HEIGHT + 60, YesNoShown)) << "the save's row asked nothing";
    // The epilogue's line by its checkpoint lamp (red 67 in the top-left pixel), over its
    // picture and nothing of the title.
    auto epilogue = x.ClickUntil(YES_X, ANSWER_Y, [](const Frame& frame) {
        return StoryPromptShown(frame) && ((frame.pixels[0] >> 16) & 0xFF) == 67;
    });
    ASSERT_TRUE(epilogue) << "the load brought no epilogue's line back\n" << x.Output();
    x.Keep(*epilogue, "loaded_epilogue");
    EXPECT_TRUE(Near(*epilogue, 100, 100, tools::EPILOGUE_SKY & 0xFFFFFFu))
        << "not over the epilogue's picture";
    EXPECT_FALSE(FrameCellAt(*epilogue, TITLE_X, NEW_GAME_Y))
        << "the title's buttons left over the loaded line";
    ExpectNoErrorBox(x);
}

void ContinueAfterTheEnding(DemoPlayer& x)
{
    std::string line;
    ASSERT_NO_FATAL_FAILURE(LoadTheEpilogueOnANewStart(x, line));
    ASSERT_NO_FATAL_FAILURE(PlayTheTripToTheSpecialTitle(x));

    // The special title's back, then Continue in the same run: the quick-saved line over its
    // morning picture, not over the title's.
    ASSERT_TRUE(x.ActUntil(
        [&] {
            if (const std::optional<Frame> frame = x.Grab(); frame && SpecialTitleShown(*frame))
                x.Click(TITLE_X, 986);
        },
        TitleShown))
        << "the special title's back did not lead to the title";
    auto continued = x.ClickUntil(TITLE_X, CONTINUE_Y, StoryLineShown);
    ASSERT_TRUE(continued) << "Continue after the ending brought no line back\n" << x.Output();
    x.Keep(*continued, "continued_after_ending");
    ExpectLineBack(*continued, line);
    ExpectNoErrorBox(x);
}

void LoadTheChoicesAutoSaveOverAnotherLine(DemoPlayer& x)
{
    const fs::path save = SaveFolder(x);
    std::string line;
    ASSERT_NO_FATAL_FAILURE(QuickSaveTheFirstLine(x, line));
    const auto choice = [](const Frame& frame) {
        return FrameCellAt(frame, 500, 222) == tools::CHOICE_CELL_MIDDLE &&
               FrameCellAt(frame, 1100, 570) == tools::CHOICE_CELL_MIDDLE;
    };
    // Yuki's lines read on, each once it waits, up to the choice.
    const auto shown = x.ClickThroughTo(choice);
    ASSERT_TRUE(shown) << "no choice after Yuki's lines\n" << x.Account();
    ExpectCaptionWhole(*shown);
    ASSERT_TRUE(x.WaitFor([&](const Frame&) { return fs::exists(save / "FLAG101"); })) << "no auto save";
    ASSERT_TRUE(x.ClickUntil(QUICK_LOAD_X, ROW_Y, [&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) == line;
    })) << "the quick load did not bring the first line back";

    // The auto save from the side menu's load, its tab: the choice again, and the window under it
    // no longer shows the first line the game showed before the load.
    ASSERT_TRUE(PressSideButton(x, SIDE_LOAD, SaveLoadShown)) << "no load screen from the side menu";
    ASSERT_TRUE(x.ClickUntil(24 + 264 + 126, 58, [](const Frame& frame) {
        return SaveLoadShown(frame) && RowUsed(frame, 0);
    })) << "no auto save listed";
    ASSERT_TRUE(x.ClickUntil(800, LIST_Y + 60, YesNoShown)) << "the auto save's row asked nothing";
    auto loaded = x.ClickUntil(YES_X, ANSWER_Y, choice);
    ASSERT_TRUE(loaded) << "the auto save did not bring the choice back";
    x.Keep(*loaded, "choice_loaded_over_a_line");
    ExpectCaptionWhole(*loaded);
    EXPECT_EQ(MessageLineCells(*loaded, 20).find('#'), std::string::npos)
        << "the line shown before the load left under the choice";
    ExpectNoErrorBox(x);

    // The first line's quick save is dated as the flag manager's calendar has the story's first
    // morning: 23 December, a Monday (the save rows and the calendar plate show its weekday).
    const std::optional<FlagBuffer> quick = SavedState(x.Home(), "FLAG201");
    ASSERT_TRUE(quick) << "no first-line quick save to read";
    EXPECT_EQ(quick->GameDate(), 1223);
    EXPECT_EQ(quick->Weekday(), 1) << "23 December saved as another weekday than the calendar's Monday";

    // A load keeps the backlog: the side menu's backlog opens on the lines read before it.
    ASSERT_TRUE(x.ActUntil(
        [&] {
            x.Move(EDGE_X - 40, 540);
            x.Move(EDGE_X, 540);
        },
        SideMenuOpen));
    x.Click(SIDE_X, SideButtonY(SIDE_BACKLOG));
    const auto backlog = x.WaitFor([](const Frame& frame) { return BacklogRowShown(frame, 0); }, 10s);
    EXPECT_TRUE(backlog) << "the backlog lost the lines read before the load";
    if (backlog)
        x.Keep(*backlog, "backlog_after_load");
    ExpectNoErrorBox(x);
}

namespace {

// The layer's drawn message box by its caption band; the middle of its focused (OK) button by
// that button's frame.
bool BoxShown(const Frame& frame)
{
    return std::count(frame.pixels.begin(), frame.pixels.end(), 0xFF2B579Au) > 2000;
}

std::pair<int, int> BoxButton(const Frame& frame)
{
    int left = frame.width, top = frame.height, right = 0, bottom = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (frame.pixels[size_t(y) * frame.width + x] != 0xFF0078D7u)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return {(left + right) / 2, (top + bottom) / 2};
}

// The box on the screen clicked once on its OK: the screen behind it, box gone, as `after` sees it.
std::optional<Frame> ClickTheBoxAway(DemoPlayer& x, const char* keep,
                                     const std::function<bool(const Frame&)>& after)
{
    const std::optional<Frame> box = x.WaitFor(BoxShown, 60s);
    if (!box)
        return std::nullopt;
    x.Keep(*box, keep);
    const auto [ok_x, ok_y] = BoxButton(*box);
    x.Click(ok_x, ok_y);
    return x.WaitFor([&](const Frame& frame) { return !BoxShown(frame) && after(frame); }, 60s);
}

} // namespace

void DamagedSaveBoxesCloseOnAClick(DemoPlayer& x)
{
    std::string line;
    ASSERT_NO_FATAL_FAILURE(SaveTheFirstLineInTheFirstSlot(x, line));

    // The system file damaged: the load screen's opening rebuilds it and says so.
    std::ofstream(SaveFolder(x) / "FLAG000", std::ios::binary | std::ios::trunc) << "junk";
    ASSERT_TRUE(PressSideButton(x, SIDE_LOAD, BoxShown)) << "no box about the damaged system file";
    ASSERT_TRUE(ClickTheBoxAway(x, "rebuilt_list_box", [](const Frame& frame) {
        return SaveLoadShown(frame) && RowUsed(frame, 0);
    })) << "the rebuilt list's box did not close on a click at the load screen";
    // The slot damaged: its load refused.
    std::ofstream(SaveFolder(x) / "FLAG001", std::ios::binary | std::ios::trunc) << "garbage";
    ASSERT_TRUE(x.ClickUntil(800, LIST_Y + 60, YesNoShown)) << "the slot's row asked nothing";
    x.Click(YES_X, ANSWER_Y);
    ASSERT_TRUE(ClickTheBoxAway(x, "damaged_slot_box", SaveLoadShown))
        << "the damaged slot's box did not close on a click at the load screen";
    ExpectNoErrorBox(x);
}

namespace {

// The extras: the title's fifth button leads to its page, whose items lead on.
constexpr int EXTRAS_X = 370, EXTRAS_Y = 920;
bool ExtrasPageShown(const Frame& frame)
{
    return FrameCellAt(frame, 300, 679) == 0x100u;
}
bool GalleryShown(const Frame& frame)
{
    return FrameCellAt(frame, 633, 245) == 0x3531u;
}
bool CGAt(const Frame& frame, int x, int y)
{
    const std::optional<uint32_t> cell = FrameCellAt(frame, x, y);
    return cell && *cell >= tools::DEMO_CG_BASE && *cell < tools::DEMO_CG_BASE + 0x20;
}
bool CGShown(const Frame& frame)
{
    return CGAt(frame, 200, 900);
}
// The title and nothing of the extras' pages over it.
bool TitleAgain(const Frame& frame)
{
    return TitleShown(frame) && !GalleryShown(frame) && !ExtrasPageShown(frame);
}

// The slot machine's lever, its stop buttons along one row, and its knob, up while it waits.
constexpr int LEVER_X = 293, STOP_Y = 648, KNOB_X = 494, KNOB_Y = 246;
constexpr int STOP_X[3] = {710, 961, 1212};
bool StopsLit(const Frame& frame, uint32_t id)
{
    return std::all_of(std::begin(STOP_X), std::end(STOP_X),
                       [&](int at_x) { return FrameCellAt(frame, at_x, STOP_Y) == id; });
}
bool LeverWaits(const Frame& frame)
{
    return FrameCellAt(frame, LEVER_X, STOP_Y) == tools::SLOT_CELL_LEVER &&
           FrameCellStateAt(frame, KNOB_X, KNOB_Y) == FrameCell{tools::SLOT_CELL_KNOB, 1};
}

void PlayTheStoryRound(DemoPlayer& x, const std::function<void(const char*)>& at_title)
{
    // The settings and their sound page, from the title and back to it.
    constexpr int SOUND_TAB_X = 1720 + 79, SOUND_TAB_Y = 502 + 79, BACK_X = 1720 + 79, BACK_Y = 904 + 79;
    const auto settings = [](const Frame& frame) { return FrameCellAt(frame, SOUND_TAB_X, 399) == 0x0E00u; };
    ASSERT_TRUE(x.ClickUntil(TITLE_X, 540 + 87 * 3, settings)) << "no settings from the title";
    ASSERT_TRUE(x.ClickUntil(SOUND_TAB_X, SOUND_TAB_Y, [](const Frame& frame) {
        return FrameCellAt(frame, 118 + 560 + 26, 122 + 40 + 27) == tools::CONFIG_SHEET_KNOB;
    })) << "no sound page";
    ASSERT_TRUE(x.ClickUntil(BACK_X, BACK_Y, TitleShown)) << "the settings did not go back to the title";

    auto first = NewGame(x);
    ASSERT_TRUE(first) << "no story line after New game";
    const std::string line = MessageLineCells(*first, 20);
    ASSERT_TRUE(PressSideButton(x, SIDE_SAVE, SaveLoadShown)) << "no save screen from the side menu";
    ASSERT_TRUE(x.ClickUntil(800, LIST_Y + 60, NoteShown)) << "the new-save row opened no note";
    ASSERT_TRUE(x.ClickUntil(YES_X, 581, [](const Frame& frame) {
        return SaveLoadShown(frame) && RowUsed(frame, 1);
    })) << "the save screen shows no saved slot";
    ASSERT_TRUE(x.ClickUntil(1790, 950, StoryLineShown)) << "the save screen did not close on the line";
    const fs::path quick = SaveFolder(x) / "FLAG201";
    fs::remove(quick);
    ASSERT_TRUE(x.ClickUntil(QUICK_SAVE_X, ROW_Y, [&](const Frame&) { return fs::exists(quick); }))
        << "no quick save";
    // The backlog holds the lines read so far in its lowest rows; its close button.
    const auto backlog = [](const Frame& frame) { return BacklogRowShown(frame, 2); };
    ASSERT_TRUE(PressSideButton(x, SIDE_BACKLOG, backlog)) << "no backlog from the side menu";
    ASSERT_TRUE(x.ActUntil([&] { x.Click(1815, 917); }, StoryLineShown, backlog))
        << "the backlog did not close on the line";

    // The story through the day's screens and the town to its door.
    ASSERT_NO_FATAL_FAILURE(PlayTheChoice(x));
    ASSERT_NO_FATAL_FAILURE(PlayTheDay(x));
    ASSERT_NO_FATAL_FAILURE(PlayTheTown(x));
    ASSERT_TRUE(PressSideButton(x, 5, YesNoShown)) << "the door message's side menu asked nothing";
    ASSERT_TRUE(x.ClickUntil(YES_X, ANSWER_Y, TitleShown)) << "Return to title from the town";
    ExpectNoErrorBox(x);
    at_title("the story");

    // The newest save loaded from the title, and Return to title from its line.
    ASSERT_TRUE(x.ClickUntil(TITLE_X, LOAD_Y, [](const Frame& frame) {
        return SaveLoadShown(frame) && RowUsed(frame, 0);
    })) << "no load screen listing a save";
    ASSERT_TRUE(x.ClickUntil(800, LIST_Y + 60, YesNoShown)) << "the save's row asked nothing";
    auto loaded = x.ClickUntil(YES_X, ANSWER_Y, StoryLineShown);
    ASSERT_TRUE(loaded) << "the load brought no line back";
    EXPECT_EQ(MessageLineCells(*loaded, 20), line);
    ASSERT_TRUE(PressSideButton(x, 5, YesNoShown)) << "the loaded line's side menu asked nothing";
    ASSERT_TRUE(x.ClickUntil(YES_X, ANSWER_Y, TitleShown)) << "Return to title from the loaded line";
    ExpectNoErrorBox(x);
    at_title("a load");
}

void PlayTheExtrasRound(HeadlessDemoPlayer& x, const std::function<void(const char*)>& at_title)
{
    // The gallery, a CG of its first cell in the viewer and back.
    ASSERT_TRUE(x.ClickUntil(EXTRAS_X, EXTRAS_Y, ExtrasPageShown)) << "no extras page";
    ASSERT_TRUE(x.ClickUntil(EXTRAS_X, 679, GalleryShown)) << "no gallery";
    ASSERT_TRUE(x.ClickUntil(633, 245, [](const Frame& frame) { return !GalleryShown(frame); }))
        << "no viewer";
    ASSERT_TRUE(x.ClickUntil(1209, 471, CGShown)) << "no CG";
    ASSERT_TRUE(x.ClickUntil(
        960, 540, [](const Frame& frame) { return !CGShown(frame); }, 3))
        << "the CG did not close";
    ASSERT_TRUE(x.ClickUntil(960, 540, GalleryShown, 3)) << "the viewer did not go back to the gallery";

    // The scene replay's first heroine, her first scene read through, the music room.
    const auto list = [](const Frame& frame) { return FrameCellAt(frame, 633, 245) == 0x3630u; };
    ASSERT_TRUE(x.ClickUntil(175, 485, [](const Frame& frame) {
        return FrameCellAt(frame, 395 + 3, 109 + 3) == 0u;
    })) << "no scene replay from the gallery's tab";
    ASSERT_TRUE(x.ClickUntil(543, 213, list)) << "no scene list";
    ASSERT_TRUE(x.ClickUntil(633, 245, [](const Frame& frame) {
        return CGAt(frame, 355, 600) && StoryPromptShown(frame);
    })) << "the scene was not replayed";
    ASSERT_TRUE(x.ClickThroughTo(list)) << "the list did not come back after the replay";
    ASSERT_TRUE(x.ClickUntil(175, 660, [](const Frame& frame) {
        const std::optional<uint32_t> row = FrameCellAt(frame, 1530, 140);
        return row && *row >= tools::MUSIC_ROW_CELL && *row < tools::MUSIC_ROW_CELL + 0x40;
    })) << "no music room";
    ASSERT_TRUE(x.ActUntil([&] { x.Key(0x1B); }, TitleAgain)) << "the music room did not lead to the title";
    at_title("the extras");

    // The slot machine played once and left.
    ASSERT_TRUE(x.ClickUntil(EXTRAS_X, EXTRAS_Y, [](const Frame& frame) {
        return FrameCellAt(frame, 300, 867) == 0x102u;
    })) << "no extras page";
    ASSERT_TRUE(x.ClickUntil(EXTRAS_X, 867, [](const Frame& frame) {
        return FrameCellAt(frame, 300, 773) == 0x300u;
    })) << "no slot page";
    ASSERT_TRUE(x.ClickUntil(EXTRAS_X, 773, LeverWaits)) << "no slot machine";
    ASSERT_TRUE(x.ActUntil([&] { x.Click(LEVER_X, STOP_Y); },
                           [](const Frame& frame) { return StopsLit(frame, tools::SLOT_CELL_STOP); },
                           LeverWaits))
        << "the lever did not turn the reels";
    // Each stop stands its reel; at rest the knob is down and every stop unlit.
    ASSERT_TRUE(x.ActUntil(
        [&] {
            for (const int at_x : STOP_X)
                x.Press(at_x, STOP_Y);
        },
        [](const Frame& frame) {
            return StopsLit(frame, tools::SLOT_CELL_STOP_LAMP) &&
                   FrameCellStateAt(frame, KNOB_X, KNOB_Y) == FrameCell{tools::SLOT_CELL_KNOB, 0};
        }))
        << "the stop buttons did not stand the reels";
    ASSERT_TRUE(x.ActUntil([&] { x.Click(960, 540, 3); }, TitleAgain)) << "the result was not left";
    ExpectNoErrorBox(x);
    at_title("the slot machine");
}

} // namespace

void PlayASessionRound(HeadlessDemoPlayer& x, const std::function<void(const char* after)>& at_title)
{
    ASSERT_NO_FATAL_FAILURE(PlayTheStoryRound(x, at_title));
    ASSERT_NO_FATAL_FAILURE(PlayTheExtrasRound(x, at_title));
}
