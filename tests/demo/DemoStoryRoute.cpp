#include "DemoStoryRoute.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "DemoRun.h"
#include "screens/map/SubMapLayout.h"
#include "sheetgen/CharacterSheets.h"
#include "sheetgen/ChoiceSheet.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/SheetGenerator.h"

namespace fs = std::filesystem;
using Frame = platform::PngPicture;
using namespace std::chrono_literals;

// What the route's steps look for, shared with the routes off it.
namespace route {

// Pure #00FF00 is the demo pictures' colour key: a pixel of it on screen is a key not applied.
int KeyGreenIn(const Frame& frame)
{
    int count = 0;
    for (uint32_t pixel : frame.pixels)
        count += (pixel & 0xFFFFFFu) == 0x00FF00u;
    return count;
}

bool CellIs(const Frame& frame, int x, int y, uint32_t id)
{
    return FrameCellAt(frame, x, y) == id;
}

// The choice panel's middle cells.
constexpr uint32_t CHOICE_CELL = tools::CHOICE_CELL_MIDDLE;

// The title: its six buttons down the left (New game, Continue, Load, Settings, Extras, Exit), and
// no message window.
bool TitleShown(const Frame& frame)
{
    for (int button = 0; button < 6; ++button)
        if (!FrameCellAt(frame, 300, 540 + 87 * button))
            return false;
    return !StoryPromptShown(frame);
}

// The special title: start, continue and load where the title has its lower four buttons, the
// back button last, and nothing where the title starts.
bool SpecialTitleShown(const Frame& frame)
{
    return !FrameCellAt(frame, 300, 543) && FrameCellAt(frame, 300, 717) == 0u &&
           FrameCellAt(frame, 300, 804) == 1u && FrameCellAt(frame, 300, 891) == 2u &&
           FrameCellAt(frame, 300, 986) == tools::TITLE_SHEET_BACK;
}

// The logo clip: its tint (0xD0B040, as the encoder leaves it) below the number blocks.
bool LogoShown(const Frame& frame)
{
    const uint32_t pixel = frame.pixels[size_t(810) * frame.width + 960];
    return std::abs(int((pixel >> 16) & 0xFF) - 0xD0) < 24 &&
           std::abs(int((pixel >> 8) & 0xFF) - 0xB0) < 24 && std::abs(int(pixel & 0xFF) - 0x40) < 24;
}

// A story line typed out to its click prompt.
bool StoryLineShown(const Frame& frame)
{
    return StoryPromptShown(frame) && StoryTextIn(frame, 0, 19, STORY_LINE_Y) > 200;
}

// ユキ on her name plate: white glyphs, and the plate around them with no box cut around either.
void ExpectPlateGlyphs(const Frame& frame)
{
    EXPECT_GT(WhiteIn(frame, 508, STORY_WINDOW_Y + 22, 588, STORY_WINDOW_Y + 62), 30)
        << "no name on the plate";
    for (const int cell : {0, 1})
        for (const auto& [dx, dy] : {std::pair{1, 1}, std::pair{38, 1}, std::pair{1, 38}, std::pair{38, 38}})
            EXPECT_TRUE(CellIs(frame, 508 + 40 * cell + dx, STORY_WINDOW_Y + 22 + dy,
                               tools::MESSAGE_SHEET_NAME_PLATE))
                << "a box around glyph " << cell << " at (" << dx << ", " << dy << ")";
}

// The story text the scenes typeset into sprite 100 (at y 780) from (160, 40): its first line
// (a cell's few label pixels are not text).
int SceneTextIn(const Frame& frame)
{
    return WhiteIn(frame, 160, 815, 1000, 880);
}

bool SceneTextShown(const Frame& frame)
{
    return SceneTextIn(frame) > 150;
}

// The calendar plate in the top left corner.
bool PlateShown(const Frame& frame)
{
    return CellIs(frame, 300, 60, tools::PLATE_CALENDAR);
}

// The area screens' help bar and fixed buttons (back, area select, decide; the corner back).
bool AreaPanelsShown(const Frame& frame)
{
    return CellIs(frame, 1000, 1000, tools::AREA_SHEET_HELP_BAR) ||
           CellIs(frame, 1450, 865, tools::AREA_SHEET_BUTTON + 2) ||
           CellIs(frame, 1190, 865, tools::AREA_SHEET_BUTTON) ||
           CellIs(frame, 1840, 1000, tools::AREA_SHEET_BUTTON + 4);
}

// A dialog of the layer (a question or a notice): its box (the plain panel, a numbered line's
// lower one the small notice panel) and its words in every language (white) in its text cell, far
// more than a stray mark; a question's first button (yes) at the left, read above its words, a
// notice's only one (OK) in the middle, read left of its word.
bool DialogShown(const Frame& frame)
{
    const std::optional<uint32_t> box = FrameCellAt(frame, 540, 480);
    return (box == tools::DIALOG_SHEET_PANEL_SIMPLE || box == tools::NOTICE_SHEET_PANEL_SMALL) &&
           WhiteIn(frame, 560, 440, 1360, 550) > 500;
}

bool QuestionShown(const Frame& frame)
{
    return DialogShown(frame) && CellIs(frame, 830, 574, 0) && CellIs(frame, 1090, 574, 1);
}

bool NoticeShown(const Frame& frame)
{
    return DialogShown(frame) && CellIs(frame, 878, 597, 0);
}

bool CharacterAreaShown(const Frame& frame)
{
    return CellIs(frame, 1000, 1000, tools::AREA_SHEET_HELP_BAR) &&
           CellIs(frame, 1450, 865, tools::AREA_SHEET_BUTTON + 2);
}

// The town drawn: its river (the map's row 17, 0x2850B4) across the left of the screen on a cell
// row, over the grass.
bool TownShown(const Frame& frame)
{
    for (int y = 0; y < frame.height; ++y)
        if ((frame.pixels[size_t(y) * frame.width + 100] & 0xFFFFFFu) == 0x2850B4u)
            return (680 - y) % 40 == 0 &&
                   (frame.pixels[size_t(y + 100) * frame.width + 100] & 0xFFFFFFu) == 0x3C6E3Cu;
    return false;
}

// The first sub map over whatever ran it.
bool SubMapShown(const Frame& frame)
{
    return CellIs(frame, 960, 1070, tools::SUBMAP_BACKGROUND);
}

// The sub map with its buttons, drawn with its faces.
bool SubMapFacesShown(const Frame& frame)
{
    return SubMapShown(frame) && CellIs(frame, 1747 + 79, 902 + 79, 100);
}

std::string CharactersAtSeveralPlaces(const Frame& frame)
{
    std::map<uint32_t, int> places;
    for (const SubMapPoint& face : GetSubMapLayout(SUBMAP_KIND_FIRST).Faces) {
        const std::optional<uint32_t> id = FrameCellAt(frame, face.X + 72, face.Y + 72);
        if (id && *id >= tools::ICON_FACE && *id < tools::ICON_FACE + 26)
            ++places[*id - tools::ICON_FACE];
    }
    std::string several;
    for (const auto& [character, count] : places)
        if (count > 1)
            several += std::to_string(character) + ": " + std::to_string(count) + " ";
    return several;
}

// The special scenario has no save yet: its continue and load stand disabled; no ending left
// over it.
void ExpectSpecialTitle(const Frame& frame)
{
    EXPECT_EQ(FrameCellStateAt(frame, 300, 804)->second, 3);
    EXPECT_EQ(FrameCellStateAt(frame, 300, 891)->second, 3);
    EXPECT_LT(WhiteIn(frame, 160, 820, 1160, 870), 1500) << "the ending's line left over the special title";
    EXPECT_NE(FrameCellAt(frame, 960, 300), tools::DEMO_CG_BASE + 2)
        << "the ending's CG left under the special title";
    EXPECT_EQ(KeyGreenIn(frame), 0);
}

} // namespace route

using namespace route;

// From the first start to the choice, a quick save on the second line, Alt+F4, the second start
// and Continue: the story goes on from the saved line to Yuki's.
void PlayToContinue(DemoPlayer& x)
{
    // The logo movie first, which a click cuts short for the title.
    auto logo = x.WaitFor(LogoShown, 180s);
    ASSERT_TRUE(logo) << "no logo at the first start\n" << x.Account();
    x.Keep(*logo, "logo");
    EXPECT_FALSE(TitleShown(*logo)) << "title buttons over the logo";
    auto title = x.ClickOftenUntil(960, 540, TitleShown);
    ASSERT_TRUE(title) << "no title after the logo\n" << x.Account();
    // Continue stands disabled with no save to continue from.
    EXPECT_EQ(FrameCellStateAt(*title, 300, 540 + 87)->second, 3);

    // New game: the first story line, typed out, over the first scene.
    auto first = x.ClickUntil(300, 540, StoryLineShown);
    ASSERT_TRUE(first) << "no story line after New game";
    EXPECT_EQ(KeyGreenIn(*first), 0);
    EXPECT_FALSE(FrameCellAt(*first, 300, 540 + 87)) << "title buttons left over the story";

    // A click in the scene: the next line.
    std::string line = MessageLineCells(*first, 20);
    const auto next_line = [&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) != line;
    };
    auto second = x.ClickUntil(700, 300, next_line);
    ASSERT_TRUE(second) << "the story did not go on from its first line";
    EXPECT_EQ(KeyGreenIn(*second), 0);
    line = MessageLineCells(*second, 20);

    // The message window's quick save button writes slot 201 and leaves the line as it was.
    const fs::path quick = x.Home().Path() / "vesk/demo/Save/SaveData201.dat";
    ASSERT_TRUE(x.ClickUntil(1540, 1032, [&](const Frame&) { return fs::exists(quick); })) << "no quick save";
    auto saved = x.WaitFor(StoryLineShown, 30s);
    ASSERT_TRUE(saved);
    EXPECT_EQ(MessageLineCells(*saved, 20), line);
    const std::string saved_line = line;
    // The story allows the save, backlog and return-to-title pages from its first line on.
    const std::optional<FlagBuffer> quick_state = SavedState(x.Home(), "FLAG201");
    ASSERT_TRUE(quick_state.has_value()) << "FLAG201";
    EXPECT_NE(quick_state->EngineStateWord() & 0x4u, 0u) << "saving not allowed in the story";

    // Yuki's line under her name plate, then the hero's answer without one.
    auto yuki = x.ClickUntil(
        700, 300, [&](const Frame& frame) { return next_line(frame) && StoryNamePlateShown(frame); });
    ASSERT_TRUE(yuki) << "no line of Yuki's under her plate";
    EXPECT_EQ(KeyGreenIn(*yuki), 0);
    ExpectPlateGlyphs(*yuki);
    line = MessageLineCells(*yuki, 20);
    auto answer = x.ClickUntil(
        700, 300, [&](const Frame& frame) { return next_line(frame) && !StoryNamePlateShown(frame); });
    ASSERT_TRUE(answer) << "no answer to Yuki";

    // Alt+F4 asks to close; with the question off the game ends at once, cleanly.
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();

    // Started again on the same folder: the title offers Continue now.
    x.StartGame();
    title = x.WaitFor(TitleShown, 180s);
    ASSERT_TRUE(title) << "no title on the second start\n" << x.Account();
    EXPECT_NE(FrameCellStateAt(*title, 300, 540 + 87)->second, 3) << "Continue still disabled after a save";
    // Continue brings back the quick-saved line over its scene, with no title left, and the
    // story goes on from it to Yuki's line.
    auto continued = x.ClickUntil(300, 540 + 87, [&](const Frame& frame) {
        return StoryLineShown(frame) && MessageLineCells(frame, 20) == saved_line;
    });
    ASSERT_TRUE(continued) << "Continue did not bring the saved line back";
    EXPECT_FALSE(FrameCellAt(*continued, 300, 540)) << "title buttons left over the continued story";
    EXPECT_EQ(KeyGreenIn(*continued), 0);
    line = saved_line;
    yuki = x.ClickUntil(700, 300,
                        [&](const Frame& frame) { return next_line(frame) && StoryNamePlateShown(frame); });
    ASSERT_TRUE(yuki) << "the continued story did not go on to Yuki's line";
    ExpectPlateGlyphs(*yuki);
    line = MessageLineCells(*yuki, 20);
    ASSERT_TRUE(x.ClickUntil(700, 300, [&](const Frame& frame) {
        return next_line(frame) && !StoryNamePlateShown(frame);
    })) << "no answer to Yuki in the continued story";
}

// The choice, the scenes it leads into and the exec scene's question.
void PlayTheChoice(DemoPlayer& x)
{
    // Eight places in two columns of sheet cells; the second on the left is taken and the scene
    // it leads to types its line in white over its own background.
    auto choice = x.ClickUntil(700, 300, [](const Frame& frame) {
        return FrameCellAt(frame, 500, 222) == CHOICE_CELL && FrameCellAt(frame, 1100, 570) == CHOICE_CELL;
    });
    ASSERT_TRUE(choice) << "no choice after Yuki's lines";
    // The line is told from the message window's, which fades out under the closed choice with
    // its text in the same rows, by its start left of that text; its hint under it tells it waits.
    auto chosen = x.ClickUntil(500, 330, [&](const Frame& frame) {
        return FrameCellAt(frame, 500, 222) != CHOICE_CELL && !StoryPromptShown(frame) &&
               WhiteIn(frame, 160, 815, 430, 880) > 200 && WhiteIn(frame, 140, 895, 430, 960) > 400;
    });
    ASSERT_TRUE(chosen) << "no scene after the choice";
    EXPECT_EQ(KeyGreenIn(*chosen), 0);
    // The scene's line waits for a click and leaves with it.
    ASSERT_TRUE(x.ClickUntil(960, 540, [](const Frame& frame) { return !SceneTextShown(frame); }))
        << "the line after the choice did not leave with a click";

    // The exec scene: the hero's default name alone in the story text, then its question, with
    // words, over it.
    auto name = x.WaitFor(
        [](const Frame& frame) { return SceneTextShown(frame) && SceneTextIn(frame) < 2000; }, 180s);
    ASSERT_TRUE(name) << "no hero name in the exec scene";
    auto question = x.WaitFor(QuestionShown, 180s);
    ASSERT_TRUE(question) << "no question in the exec scene";
    x.Keep(*question, "question");
    EXPECT_EQ(KeyGreenIn(*question), 0);
}

// The town's day up to the town: yes to the question, the sub map, both character selections,
// the diary, the comment mode, the character-area screen, the time of day, the place screen and
// two area screens.
void PlayTheDay(DemoPlayer& x)
{
    ASSERT_NO_FATAL_FAILURE(PlayTheDayToTheCharacterArea(x));
    ASSERT_NO_FATAL_FAILURE(PlayTheDayFromTheCharacterArea(x));
}

void PlayTheDayToTheCharacterArea(DemoPlayer& x)
{
    ASSERT_TRUE(x.ClickUntil(830, 597, [](const Frame& frame) { return !QuestionShown(frame); }))
        << "the exec scene's question did not take its answer";
    auto submap = x.WaitFor(SubMapShown);
    ASSERT_TRUE(submap) << "no sub map after the exec scene";
    const auto faces = x.WaitFor(SubMapFacesShown);
    ASSERT_TRUE(faces) << "the day's sub map without its buttons";
    x.Keep(*faces, "day_submap");
    EXPECT_EQ(CharactersAtSeveralPlaces(*faces), "") << "a character at several places of the day's sub map";
    EXPECT_FALSE(SceneTextShown(*submap)) << "the exec scene's name left over the sub map";
    auto kind0 = x.ClickUntil(
        960, 1000, [](const Frame& frame) { return CellIs(frame, 960, 120, tools::CHARLIST_CHARACTER + 2); },
        3);
    ASSERT_TRUE(kind0) << "no character selection after the sub map";
    EXPECT_FALSE(PlateShown(*kind0)) << "the plate left over the character selection";
    auto kind1 = x.ClickUntil(960, 132, [](const Frame& frame) {
        return CellIs(frame, 960, 120, tools::CHARLIST_CHARACTER) &&
               CellIs(frame, 960, 204, tools::NAME_LIST_PAIRED);
    });
    ASSERT_TRUE(kind1) << "no paired character selection";
    auto diary = x.ClickUntil(960, 132, [](const Frame& frame) {
        return CellIs(frame, 960, 540, tools::DIARY_SHEET + 1) && CellIs(frame, 1751, 991, 512);
    });
    ASSERT_TRUE(diary) << "no diary page";
    auto comments = x.ClickUntil(1751, 991, [](const Frame& frame) {
        return CellIs(frame, 1875, 141, 0) && CellIs(frame, 1875, 420, 3) &&
               CellIs(frame, 1751, 991, 0x500) && CellIs(frame, COMMENT_BACK_X, COMMENT_BACK_Y, 512);
    });
    ASSERT_TRUE(comments) << "no comment mode after the diary";
    x.Click(1751, 991); // its unlock

    // The character-area screen over the standing character, its help bar and back button.
    auto characters = x.ClickUntil(COMMENT_BACK_X, COMMENT_BACK_Y, CharacterAreaShown);
    ASSERT_TRUE(characters) << "no character-area screen after the comment mode";
    x.Keep(*characters, "character_area");
    EXPECT_EQ(KeyGreenIn(*characters), 0);
}

void PlayTheDayFromTheCharacterArea(DemoPlayer& x)
{
    auto time = x.ClickUntil(460, 300, [](const Frame& frame) {
        return CellIs(frame, 960, 300, tools::TIME_SHEET_DIAL) && !AreaPanelsShown(frame);
    });
    ASSERT_TRUE(time) << "no time of day after a character";
    // The place screen: decide, area select and back, the plate, the character's answer in the
    // story text.
    auto place = x.ClickUntil(1170, 630, [](const Frame& frame) {
        return CellIs(frame, 1190, 865, tools::AREA_SHEET_BUTTON) &&
               CellIs(frame, 1450, 865, tools::AREA_SHEET_BUTTON + 2) && PlateShown(frame);
    });
    ASSERT_TRUE(place) << "no place screen after the time of day";
    x.Keep(*place, "place");
    EXPECT_TRUE(SceneTextShown(*place)) << "the answers not written into the story text";
    // The area screen: only the corner back button, no plate.
    const auto area = [](const Frame& frame) {
        return CellIs(frame, 1840, 1000, tools::AREA_SHEET_BUTTON + 4) &&
               !CellIs(frame, 1190, 865, tools::AREA_SHEET_BUTTON);
    };
    auto areas = x.ClickUntil(1190, 865, area);
    ASSERT_TRUE(areas) << "no area screen after decide";
    EXPECT_FALSE(PlateShown(*areas)) << "the place screen's plate left over the area screen";
}

// The town: drawn, with the plate and no panels of the area screens; the sub map over it and
// back; the leader walked into the door, whose message shows without the plate.
void PlayTheTown(DemoPlayer& x)
{
    ASSERT_NO_FATAL_FAILURE(PlayTheTownAndItsSubMap(x));
    ASSERT_NO_FATAL_FAILURE(WalkToTheDoor(x));
}

void PlayTheTownAndItsSubMap(DemoPlayer& x)
{
    // An area of the id picture, then one of the second area screen, which looks the same: the
    // two spots in turn, each clicked only while an area screen stands and the last click has had
    // its moment (two seconds of the game's turns), so a click one missed while it faded in is
    // made again (the other spot is no area of it) and none walks the town's leader.
    const auto area = [](const Frame& frame) {
        return CellIs(frame, 1840, 1000, tools::AREA_SHEET_BUTTON + 4) &&
               !CellIs(frame, 1190, 865, tools::AREA_SHEET_BUTTON);
    };
    const auto town_shown = [](const Frame& frame) { return TownShown(frame) && PlateShown(frame); };
    constexpr std::pair<int, int> SPOTS[] = {{460, 300}, {300, 650}};
    size_t clicks = 0;
    std::optional<uint64_t> last_click;
    auto town = x.WaitFor(
        [&](const Frame& frame) {
            if (town_shown(frame))
                return true;
            if (area(frame) && (!last_click || x.Turn() - *last_click > 2 * GAME_TPS)) {
                const auto [at_x, at_y] = SPOTS[clicks++ % 2];
                x.Click(at_x, at_y);
                last_click = x.Turn();
            }
            return false;
        },
        180s);
    ASSERT_TRUE(town) << "the town map not seen drawn after the area screens";
    x.Keep(*town, "town");
    EXPECT_FALSE(AreaPanelsShown(*town)) << "the area screens' panels left over the town";
    EXPECT_FALSE(SceneTextShown(*town)) << "the area scene's answers left over the town";
    EXPECT_EQ(KeyGreenIn(*town), 0);

    // The right button opens the sub map and closes it: each click only on the screen it leads from.
    const auto right_click = [&x] { x.Click(960, 700, 3); };
    const auto town_alone = [](const Frame& frame) { return TownShown(frame) && !SubMapShown(frame); };
    auto submap = x.ActUntil(right_click, SubMapShown, town_alone);
    ASSERT_TRUE(submap) << "the right button did not open the sub map over the town";
    const auto faces = x.WaitFor(SubMapFacesShown);
    ASSERT_TRUE(faces) << "the town's sub map without its buttons";
    x.Keep(*faces, "town_submap");
    EXPECT_EQ(CharactersAtSeveralPlaces(*faces), "") << "a character at several places of the town's sub map";
    EXPECT_FALSE(AreaPanelsShown(*submap));
    ASSERT_TRUE(x.ActUntil(right_click, town_alone, SubMapShown))
        << "the sub map did not go back to the town";
}

void WalkToTheDoor(DemoPlayer& x)
{
    // Up, a second at a time, until the leader stands in the door: 扉： and its place, 喫茶店.
    auto door = x.ActUntil([&] { x.HoldUp(); },
                           [](const Frame& frame) { return MessageLineCells(frame, 8) == "#####..."; });
    ASSERT_TRUE(door) << "no door message";
    x.Keep(*door, "door");
    EXPECT_TRUE(TownShown(*door)) << "the town gone from under its door message";
    EXPECT_FALSE(PlateShown(*door)) << "the plate left over the door message";
    EXPECT_FALSE(AreaPanelsShown(*door));
}

void PlayToTheSpecialTitle(DemoPlayer& x)
{
    ASSERT_NO_FATAL_FAILURE(PlayTheNameAndTheNotices(x));
    ASSERT_NO_FATAL_FAILURE(PlayTheTripToTheSpecialTitle(x));
}

void PlayTheNameAndTheNotices(DemoPlayer& x)
{
    const auto entry_shown = [](const Frame& frame) { return CellIs(frame, 505, 106, 0x1000); };
    auto entry = x.ClickUntil(700, 300, entry_shown);
    ASSERT_TRUE(entry) << "no name entry after the door message";
    x.Keep(*entry, "entry");
    EXPECT_FALSE(PlateShown(*entry));
    // The door message's line under the entry: its glyphs' lower half, below the entry's tab words
    // and left of nothing white the entry draws there. The entry fades in over the message, so its
    // first frames may still show the line.
    const auto settled = x.WaitFor(
        [&](const Frame& frame) { return entry_shown(frame) && WhiteIn(frame, 440, 870, 1400, 898) <= 2; },
        60s);
    EXPECT_TRUE(settled) << "the door message left under the name entry";
    x.Type("Aki");
    auto named = x.ClickUntil(1552, 951, [&](const Frame& frame) {
        return !entry_shown(frame) && StoryPromptShown(frame) && MessageLineCells(frame, 1) == "#";
    });
    ASSERT_TRUE(named) << "the confirmed name not shown in a message";
    x.Keep(*named, "name");
    EXPECT_FALSE(PlateShown(*named)) << "the plate back with the name's message";

    // The fixed layout's notice, then the numbered line's, lower.
    auto notice = x.ClickUntil(700, 300, [](const Frame& frame) {
        return NoticeShown(frame) && CellIs(frame, 540, 430, tools::DIALOG_SHEET_PANEL_SIMPLE);
    });
    ASSERT_TRUE(notice) << "no notice after the name";
    x.Keep(*notice, "notice");
    EXPECT_EQ(MessageLineCells(*notice, 8), "........") << "the name's message left under the notice";
    auto second = x.ClickUntil(958, 597, [&](const Frame& frame) {
        return NoticeShown(frame) && CellIs(frame, 540, 480, tools::NOTICE_SHEET_PANEL_SMALL);
    });
    ASSERT_TRUE(second) << "no second notice";

    // OK on it: the train trip follows.
    ASSERT_TRUE(x.ClickUntil(958, 597, [](const Frame& frame) { return !NoticeShown(frame); }))
        << "the second notice did not close";
}

void PlayTheTripToTheSpecialTitle(DemoPlayer& x)
{
    // After the trip and the movies the ending: its CG and closing line, nothing of the movies'
    // scenes over it; a click leads to the special title.
    const auto cg = [](const Frame& frame) {
        return FrameCellAt(frame, 960, 300) == tools::DEMO_CG_BASE + 2;
    };
    // Between them the train trip: its lines wait for a click, and so may an effect that keeps
    // moving (the snowball), so the player clicks whenever the window waits (at most twice a
    // second of the game's turns), and on the trip's screens before its epilogue (the corner lamp
    // at checkpoints 60 to 66) every ten seconds of them too. Nothing else is clicked: the movies
    // take no click, and the ending, which a click would pass before a grab saw it, is watched
    // until its closing line shows.
    const auto closing_line = [](const Frame& frame) { return WhiteIn(frame, 160, 820, 1160, 870) > 1500; };
    const auto before_the_epilogue = [](const Frame& frame) {
        const uint32_t lamp = frame.pixels[0];
        const uint32_t checkpoint = (lamp >> 16) & 0xFF;
        return (lamp & 0xFF00FFFFu) == 0xFF0000FFu && checkpoint >= 60 && checkpoint < 67;
    };
    std::optional<Frame> ending;
    uint64_t last_click = x.Turn();
    std::optional<uint64_t> last_prompt_click;
    const std::optional<Frame> end = x.WaitFor(
        [&](const Frame& frame) {
            if (cg(frame)) {
                ending = frame;
                return closing_line(frame);
            }
            if (SpecialTitleShown(frame))
                return true;
            if ((StoryPromptShown(frame) &&
                 (!last_prompt_click || x.Turn() - *last_prompt_click > GAME_TPS / 2)) ||
                (before_the_epilogue(frame) && x.Turn() - last_click > 10 * GAME_TPS)) {
                x.Click(960, 540);
                last_click = x.Turn();
                if (StoryPromptShown(frame))
                    last_prompt_click = last_click;
            }
            return false;
        },
        600s);
    if (end && !ending)
        x.Missed(*end, "the special title came with no ending's CG before it");
    ASSERT_TRUE(ending) << "no ending's CG after the trip and the movies\n" << x.Account();
    x.Keep(*ending, "ending");
    EXPECT_TRUE(closing_line(*ending)) << "the ending's closing line missing over its CG";
    EXPECT_EQ(KeyGreenIn(*ending), 0);
    EXPECT_FALSE(StoryPromptShown(*ending)) << "a message window over the ending";
    EXPECT_FALSE(DialogShown(*ending));
    auto special = x.ActUntil(
        [&] {
            if (const std::optional<Frame> frame = x.Grab(); frame && cg(*frame))
                x.Click(960, 540);
        },
        SpecialTitleShown);
    ASSERT_TRUE(special) << "no special title after the ending";
    ExpectSpecialTitle(*special);
    x.Keep(*special, "special_title");
}

void PlayToTheEnd(DemoPlayer& x)
{
    ASSERT_NO_FATAL_FAILURE(PlayToTheSpecialTitle(x));
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
}

// The next start: the logo, then the special title again, whose back item leads to the title.
void PlayTheNextStart(DemoPlayer& x)
{
    x.StartGame();
    ASSERT_TRUE(x.WaitFor(LogoShown, 180s)) << "no logo on the next start\n" << x.Account();
    auto special = x.ClickOftenUntil(960, 540, SpecialTitleShown);
    ASSERT_TRUE(special) << "no special title on the next start\n" << x.Account();
    ExpectSpecialTitle(*special);
    // Clicked while the special title stands: a second click must not meet the title's exit.
    auto title = x.ActUntil(
        [&] {
            if (const std::optional<Frame> frame = x.Grab(); frame && SpecialTitleShown(*frame))
                x.Click(300, 986);
        },
        TitleShown);
    ASSERT_TRUE(title) << "the special title's back did not lead to the title";
    x.Keep(*title, "title_after_special");
    EXPECT_EQ(KeyGreenIn(*title), 0);
    EXPECT_NE(FrameCellAt(*title, 300, 986), tools::TITLE_SHEET_BACK) << "the special title's back left over";
    x.Close();
    EXPECT_EQ(x.ExitStatus(), 0) << x.Output();
    EXPECT_EQ(x.Output().find("が存在しません"), std::string::npos) << x.Output();
}
