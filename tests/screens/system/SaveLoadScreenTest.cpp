// The save and load screens as the player sees them: rows, glyphs and buttons read back from the
// drawn frame, scrolling by wheel and knob, the tabs and the cross-fade between the pages, deletes
// and the language's pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "foundation/ConfigSettings.h"
#include "screens/base/CDialog.h"
#include "screens/system/SaveLoadScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/save/SaveSlotTable.h"
#include "support/ResidentPages.h"

using namespace saveload_layout;

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr Cell BACKGROUND{tools::SAVELOAD_CELL_BACKGROUND, 3};

// The screen point of a spot inside row r of the list.
POINT InRow(int32_t row, int32_t x, int32_t y)
{
    return {LIST_X + x, LIST_Y + ROW_HEIGHT * row + y};
}

class SaveLoadScreenThreadTest : public SaveLoadScreenFixture
{
protected:
    Cell At(POINT point) { return ShownCell(point.x, point.y); }
    Cell Row(int32_t row) { return At(InRow(row, 800, 100)); }
    Cell DeleteButton(int32_t row) { return At({DELETE_X + 47, DELETE_Y + ROW_HEIGHT * row + 60}); }
    // The large-strip glyphs of text drawn from x in row r; the comma is narrower.
    void ExpectLarge(int32_t row, int32_t x, const std::string& text, const std::string& what)
    {
        for (char c : text) {
            if (c == ',') {
                EXPECT_EQ(At(InRow(row, x + 5, GAME_Y + 20)), Cell(tools::SAVELOAD_CELL_COMMA, 0)) << what;
                x += COMMA_WIDTH;
                continue;
            }
            const uint32_t index = c == '/' ? 10 : c == ':' ? 11 : static_cast<uint32_t>(c - '0');
            EXPECT_EQ(At(InRow(row, x + 8, GAME_Y + 12)), Cell(tools::SAVELOAD_CELL_LARGE + index, 0))
                << what << " '" << c << "'";
            x += LARGE_WIDTH;
        }
    }
};

TEST_F(SaveLoadScreenThreadTest, SixManualSlotsFitSevenRowsAndASeventhBringsTheScrollBar)
{
    for (const int32_t used : {6, 7}) {
        SCOPED_TRACE(used);
        MakeSlots(SLOT_FIRST + static_cast<uint32_t>(used == 7 ? 6 : 0), used == 7 ? 1 : used);
        int32_t first_row_after_wheel = -1;
        RunScreen(
            m_save,
            [&](int pump) {
                if (pump == 30) {
                    Capture(used == 6 ? "saveload_save_six.png" : "saveload_save_seven.png");
                    EXPECT_EQ(m_save.HasScrollBar(), used == 7 ? 1 : 0);
                    EXPECT_EQ(m_save.MaximumFirstRow(), used == 7 ? 1 : 0);
                    for (int32_t row = 0; row < ROWS; ++row)
                        EXPECT_TRUE(m_save.IsRowUsed(row)) << row;
                    EXPECT_EQ(Row(0), Cell(tools::SAVELOAD_CELL_ROW + 0, 0)) << "the new-save row";
                    EXPECT_EQ(Row(1), Cell(tools::SAVELOAD_CELL_ROW + 6, 0)) << "slot 1 is the newest";
                    EXPECT_EQ(Row(2), Cell(tools::SAVELOAD_CELL_ROW + 3, 0));
                    EXPECT_EQ(At(InRow(1, NUMBER_X[2] + 13, NUMBER_Y + 18)),
                              Cell(tools::SAVELOAD_CELL_SLOT_DIGIT + 1, 0));
                    EXPECT_EQ(DeleteButton(0), Cell(tools::SAVELOAD_CELL_ROW + 0, 0))
                        << "no delete button on the new-save row";
                    EXPECT_EQ(DeleteButton(1), Cell(ID_DELETE, 0));
                    EXPECT_EQ(At({ARROW_X + 24, ARROW_UP_Y + 21}),
                              used == 7 ? Cell(ID_SCROLL_UP, 3) : BACKGROUND);
                    EXPECT_EQ(At({ARROW_X + 24, ARROW_DOWN_Y + 21}),
                              used == 7 ? Cell(ID_SCROLL_DOWN, 0) : BACKGROUND);
                    EXPECT_EQ(At({TAB_X + 79, SAVE_TAB_Y + 79}), Cell(ID_SAVE_TAB, 2)) << "this page's tab";
                    m_mouse.wheel = -1;
                }
                if (pump == 40) {
                    first_row_after_wheel = m_save.GetFirstRow();
                    Capture();
                    if (used == 7) {
                        EXPECT_EQ(Row(0), Cell(tools::SAVELOAD_CELL_ROW + 6, 0)) << "slot 1 on top";
                        EXPECT_EQ(DeleteButton(0), Cell(ID_DELETE, 0))
                            << "a used first row has its delete button";
                        EXPECT_EQ(At({ARROW_X + 24, ARROW_DOWN_Y + 21}), Cell(ID_SCROLL_DOWN, 3));
                    }
                }
            },
            50);
        EXPECT_EQ(first_row_after_wheel, used == 7 ? 1 : 0);
    }
}

TEST_F(SaveLoadScreenThreadTest, EightAutoSlotsScrollOneRowByWheelAndKnob)
{
    MakeSlots(SLOT_AUTO_FIRST, 8);
    struct Step
    {
        int pump;
        int wheel;
        int32_t first_row; // after the step
    };
    const Step steps[] = {{40, -1, 1}, {50, -1, 1}, {60, 1, 0}, {70, 1, 0}};
    std::vector<int32_t> seen;
    std::vector<int32_t> while_dragging;
    RunScreen(
        m_load,
        [&](int pump) {
            ClickAt(pump, 20, ID_GROUP_TAB + 1);
            if (pump == 30) {
                Capture("saveload_load_auto.png");
                EXPECT_EQ(m_load.GetGroup(), 1);
                EXPECT_EQ(m_load.MaximumFirstRow(), 1);
                EXPECT_EQ(At({GROUP_TAB_X + GROUP_TAB_STEP + 126, GROUP_TAB_Y + 50}),
                          Cell(ID_GROUP_TAB + 1, 2));
                EXPECT_EQ(Row(0), Cell(tools::SAVELOAD_CELL_ROW + 6, 0)) << "slot 101 is the newest";
            }
            for (const Step& step : steps) {
                if (pump == step.pump)
                    m_mouse.wheel = step.wheel;
                if (pump == step.pump + 5)
                    seen.push_back(m_load.GetFirstRow());
            }
            // The knob: a press below its grip jumps there, then the row follows the pointer.
            if (pump == 80)
                PointAt(TRACK_X + 16, TRACK_TOP + TRACK_LENGTH - 5);
            if (pump == 81)
                m_mouse.left_down = 1;
            if (pump == 84)
                while_dragging.push_back(m_load.GetFirstRow());
            if (pump == 85)
                PointAt(TRACK_X + 16, TRACK_TOP + 3);
            if (pump == 88)
                while_dragging.push_back(m_load.GetFirstRow());
            if (pump == 89)
                m_mouse.left_down = 0;
        },
        100);
    std::vector<int32_t> expected;
    for (const Step& step : steps)
        expected.push_back(step.first_row);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(while_dragging, (std::vector<int32_t>{1, 0}));
}

TEST_F(SaveLoadScreenThreadTest, RowsShowTheGameDateTimeAndMoneyAsStored)
{
    // slot, game date (MMDD), time (HHMM), weekday, money; what the row shows.
    struct Case
    {
        int32_t date, time, weekday, money;
        std::string date_text, time_text;
        int32_t mark;
        std::string money_text;
    };
    const Case cases[] = {
        {1305, 1305, 3, 0, "01/05", "1:05", 1, "0"},
        {1231, 1200, 6, 999, "12/31", "12:00", 0, "999"},
        {401, 0, 0, 1000, "04/01", "0:00", 0, "1,000"},
        {1020, 2359, 1, 65535, "10/20", "11:59", 1, "65,535"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        MakeSlot(SLOT_FIRST + static_cast<uint32_t>(i), cases[i].money, cases[i].date, cases[i].time,
                 cases[i].weekday);
    RunScreen(
        m_load,
        [&](int pump) {
            if (pump != 30)
                return;
            Capture("saveload_rows.png");
            for (size_t i = 0; i < std::size(cases); ++i) {
                const Case& c = cases[i];
                const auto row = static_cast<int32_t>(i);
                SCOPED_TRACE(c.money_text);
                ExpectLarge(row, GAME_DATE_X, c.date_text, "date");
                EXPECT_EQ(At(InRow(row, GAME_DATE_X + LARGE_WIDTH * 5 + 33, GAME_Y + 12)),
                          Cell(tools::SAVELOAD_CELL_WEEKDAY + static_cast<uint32_t>(c.weekday), 0));
                ExpectLarge(row, GAME_TIME_X, c.time_text, "time");
                const auto mark_x = GAME_TIME_X + LARGE_WIDTH * static_cast<int32_t>(c.time_text.size()) + 21;
                EXPECT_EQ(At(InRow(row, mark_x, GAME_Y + 12)),
                          Cell(tools::SAVELOAD_CELL_MARK + static_cast<uint32_t>(c.mark), 0));
                EXPECT_EQ(At(InRow(row, MONEY_X + 11, GAME_Y + 12)), Cell(tools::SAVELOAD_CELL_CURRENCY, 0));
                ExpectLarge(row, AMOUNT_X, c.money_text, "money");
            }
            EXPECT_EQ(Row(4), BACKGROUND) << "rows past the group stay empty";
        },
        40);
}

TEST_F(SaveLoadScreenThreadTest, AClickOnAnEmptyRowDoesNothing)
{
    MakeSlots(SLOT_FIRST, 2);
    TakeOkCancelSounds();
    std::vector<std::string> sounds;
    int32_t hovered = -2;
    const int32_t result = RunScreen(
        m_load,
        [&](int pump) {
            ClickAt(pump, 30, ID_ROW + 4);
            if (pump == 45) {
                sounds = TakeOkCancelSounds();
                hovered = m_load.GetHovered();
            }
        },
        60);
    EXPECT_TRUE(sounds.empty()) << ::testing::PrintToString(sounds);
    EXPECT_EQ(hovered, ID_ROW + 4);
    EXPECT_FALSE(m_load.IsRowUsed(4));
    EXPECT_EQ(result, -1) << "still open until Escape";
}

// The background and the list are drawn whole on each open: a closed screen holds none of their
// pages, and the next open shows its rows again.
TEST_F(SaveLoadScreenThreadTest, AClosedScreenGivesItsBackgroundAndListBack)
{
    MakeSlots(SLOT_FIRST, 2);
    for (int round = 0; round < 2; ++round) {
        size_t open_background = 0, open_list = 0;
        bool row_shown = false;
        RunScreen(
            m_load,
            [&](int pump) {
                if (pump == 20) {
                    open_background = ResidentBytes(ISaveLoad::GetBackgroundLayer());
                    open_list = ResidentBytes(ISaveLoad::GetListLayer());
                    row_shown = m_load.IsRowUsed(0);
                }
            },
            40);
        EXPECT_GT(open_background, 0u) << "round " << round;
        EXPECT_GT(open_list, 0u) << "round " << round;
        EXPECT_TRUE(row_shown) << "round " << round;
        EXPECT_EQ(ResidentBytes(ISaveLoad::GetBackgroundLayer()), 0u) << "round " << round;
        EXPECT_EQ(ResidentBytes(ISaveLoad::GetListLayer()), 0u) << "round " << round;
    }
}

TEST_F(SaveLoadScreenThreadTest, TheListAndAHoveredRowShowTheBackgroundFromItsTopLeftCorner)
{
    // The background's tag stands in its top-left corner. Under an empty list the page shows the
    // background from (0, 0) at the list's place, so the tag under row 0; a hovered row shows the
    // background's top band, the tag again.
    const tools::AkbPicture background = tools::BuildSaveLoadBackground(3);
    const auto differing = [&](int32_t row) {
        int count = 0;
        for (int32_t y = 0; y < 12; ++y)
            for (int32_t x = 0; x < 60; ++x)
                count += ((Shown(LIST_X + x, LIST_Y + ROW_HEIGHT * row + y) ^ background.At(x, y)) &
                          0xFFFFFF) != 0;
        return count;
    };
    int tag = 0;
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 60; ++x)
            tag += background.At(x, y) != background.At(100, 100);
    ASSERT_GT(tag, 20) << "no tag to follow";
    std::vector<int> seen;
    RunScreen(
        m_load,
        [&](int pump) {
            if (pump == 30) {
                Capture("saveload_empty_page.png");
                seen.push_back(differing(0));
                PointAt(Centre(ID_ROW + 4).x, Centre(ID_ROW + 4).y);
            }
            if (pump == 50) {
                Capture("saveload_hovered_empty_row.png");
                EXPECT_EQ(m_load.GetHovered(), ID_ROW + 4);
                seen.push_back(differing(4));
            }
        },
        60);
    EXPECT_EQ(seen, (std::vector<int>{0, 0}))
        << "pixels unlike the background's corner: row 0, hovered row 4";
}

TEST_F(SaveLoadScreenThreadTest, DeleteAllClearsTheSaveVariablesAndKeepsTheContinueSlot)
{
    MakeSlots(SLOT_FIRST, 3);
    MakeSlots(SLOT_QUICK_FIRST, 1);
    const uint16_t continue_slot = ContinueOnDisk();
    ASSERT_NE(continue_slot, 0);
    SetConfigDialogEnable(DIALOG_NUMBERS[DIALOG_KIND_DELETE_ALL], 0); // no question: as after yes
    RunScreen(
        m_save, [&](int pump) { ClickAt(pump, 30, ID_DELETE_ALL); }, 60);
    for (size_t index : {VARIABLE_SAVE_MADE, VARIABLE_SLOT_SAVE_MADE, VARIABLE_QUICK_SAVE_MADE})
        EXPECT_EQ(State().Variables[index].Integer, 0) << index;
    EXPECT_EQ(ContinueOnDisk(), continue_slot);
    EXPECT_EQ(m_save.GetCount(0), 0);
    EXPECT_EQ(m_save.GetCount(2), 0);
    EXPECT_EQ(m_save.HasScrollBar(), 0);
    EXPECT_EQ(MoneyInFlagFile(1), -1) << "the files go with their saves";
}

TEST_F(SaveLoadScreenThreadTest, DeletingSlotOneShiftsTheFilesOnDisk)
{
    MakeSlot(1, 11);
    MakeSlot(2, 22);
    MakeSlot(3, 33);
    SetConfigDialogEnable(DIALOG_NUMBERS[DIALOG_KIND_DELETE], 0);
    RunScreen(
        m_save, [&](int pump) { ClickAt(pump, 30, ID_DELETE + 1); }, 60);
    EXPECT_EQ(MoneyInFlagFile(1), 22);
    EXPECT_EQ(MoneyInFlagFile(2), 33);
    EXPECT_EQ(MoneyInFlagFile(3), -1);
    EXPECT_EQ(m_save.GetCount(0), 2);
}

// A delete that moves the list under a pointer that stays: the help line then names the control
// under the pointer, as it does when the pointer comes to it anew.
TEST_F(SaveLoadScreenThreadTest, AfterADeleteTheHelpLineFollowsTheControlUnderThePointer)
{
    MakeSlots(SLOT_FIRST, 12);
    SetConfigDialogEnable(DIALOG_NUMBERS[DIALOG_KIND_DELETE], 0); // no question: as after yes
    auto help_line = [&] {
        Capture();
        std::vector<uint32_t> pixels;
        for (int32_t y = HELP_Y; y < HELP_Y + HELP_HEIGHT; ++y)
            for (int32_t x = HELP_X; x < HELP_X + HELP_WIDTH; ++x)
                pixels.push_back(Shown(x, y));
        return pixels;
    };
    std::vector<uint32_t> after_delete;
    std::vector<uint32_t> came_anew;
    std::vector<uint32_t> nothing;
    int32_t first_row_before = -1;
    RunScreen(
        m_save,
        [&](int pump) {
            // To the end of the list (first row 6, slots 6 to 12), then row 5's delete (slot 11).
            if (pump >= 20 && pump < 50 && pump % 5 == 0)
                m_mouse.wheel = -1;
            if (pump == 55)
                first_row_before = m_save.GetFirstRow();
            ClickAt(pump, 60, ID_DELETE + 5);
            if (pump == 100)
                after_delete = help_line();
            if (pump == 110)
                PointAt(LIST_X + 4, LIST_Y + 4 + ROW_HEIGHT * 7); // below the list, over no control
            if (pump == 120)
                nothing = help_line();
            if (pump == 130) {
                const POINT back = Centre(ID_DELETE + 5);
                PointAt(back.x, back.y);
            }
            if (pump == 150)
                came_anew = help_line();
        },
        170);
    EXPECT_EQ(first_row_before, 6);
    EXPECT_EQ(m_save.GetFirstRow(), 5) << "the list moved up by a row";
    EXPECT_NE(came_anew, nothing) << "the delete button has a help line";
    EXPECT_EQ(after_delete, came_anew);
}

TEST_F(SaveLoadScreenThreadTest, TabsLeaveForTheirPageUnlessDisabled)
{
    struct Case
    {
        bool save_screen;
        bool saved; // a slot exists: the load tab is open
        int32_t click;
        int32_t result;
        int32_t keep_view;
    };
    const Case cases[] = {
        {true, false, ID_LOAD_TAB, -1, 0}, // nothing saved yet: disabled, Escape ends it
        {true, true, ID_LOAD_TAB, 3, 1},   {false, true, ID_SAVE_TAB, 2, 1},
        {true, true, ID_SAVE_TAB, -1, 0}, // already on it
        {false, true, ID_CLOSE, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.save_screen << " " << c.saved << " " << c.click);
        if (c.saved && m_save.GetCount(0) == 0)
            MakeSlots(SLOT_FIRST, 1);
        ISaveLoad& screen = c.save_screen ? static_cast<ISaveLoad&>(m_save) : m_load;
        const int32_t result = RunScreen(
            screen, [&](int pump) { ClickAt(pump, 30, c.click); }, 60);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(screen.KeepView, c.keep_view);
    }
}

TEST_F(SaveLoadScreenThreadTest, EachLanguageShowsItsBackground)
{
    // Language, the background's language shown.
    for (const auto& [language, shown] :
         {std::pair{0, 0}, std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 3}}) {
        SetLanguage(language);
        RunScreen(
            m_load,
            [&](int pump) {
                if (pump == 30) {
                    Capture();
                    EXPECT_EQ(ShownCell(1800, 300), Cell(tools::SAVELOAD_CELL_BACKGROUND, shown)) << language;
                }
            },
            40);
    }
}

class SaveLoadWithoutTwPicturesThreadTest : public SaveLoadScreenFixture
{
protected:
    SaveLoadWithoutTwPicturesThreadTest()
        : SaveLoadScreenFixture(false)
    {}
};

TEST_F(SaveLoadWithoutTwPicturesThreadTest, TraditionalChineseFallsBackToTheUnsuffixedPictures)
{
    SetLanguage(2);
    MakeSlots(SLOT_FIRST, 1);
    RunScreen(
        m_load,
        [&](int pump) {
            if (pump == 30) {
                Capture();
                EXPECT_EQ(ShownCell(1800, 300), Cell(tools::SAVELOAD_CELL_BACKGROUND, 3));
                EXPECT_EQ(ShownCell(LIST_X + 800, LIST_Y + 100), Cell(tools::SAVELOAD_CELL_ROW + 6, 0))
                    << "parts";
            }
        },
        40);
}

} // namespace

namespace {

// Whether the pixel's blue lies strictly between those of the two others.
bool BlueBetween(uint32_t pixel, uint32_t a, uint32_t b)
{
    const uint32_t blue = pixel & 0xFF;
    return blue > std::min(a & 0xFF, b & 0xFF) && blue < std::max(a & 0xFF, b & 0xFF);
}

// A tab leads from one page to the other inside the kept view: the rows (view layer) and the
// tabs (mask layer) of both pages blend while the fade runs, then the new page stands alone.
TEST_F(SaveLoadScreenThreadTest, ATabCrossFadesFromOnePageToTheOther)
{
    MakeSlots(SLOT_FIRST, 1);
    const POINT first_row = InRow(0, 800, 100); // the new-save row, or slot 1 on the load page
    struct Picture
    {
        uint32_t row = 0;
        uint32_t tab = 0; // the old page's tab, current, then normal
    };
    struct Direction
    {
        bool from_save;
        int32_t tab; // the one picked
        const char* stem;
    };
    for (const Direction& d : {Direction{true, ID_LOAD_TAB, "saveload_fade_to_load"},
                               Direction{false, ID_SAVE_TAB, "saveload_fade_to_save"}}) {
        SCOPED_TRACE(d.stem);
        const std::string stem = d.stem;
        // The picked tab shows pressed, as on its own page: the old page's tab is the one that
        // changes.
        const POINT old_tab{TAB_X + 79, (d.from_save ? SAVE_TAB_Y : LOAD_TAB_Y) + 79};
        const int32_t old_tab_id = d.from_save ? ID_SAVE_TAB : ID_LOAD_TAB;
        // Reads the page once it stands alone, checking it is the page it should be.
        auto page = [&](bool save_page) {
            EXPECT_EQ(At(first_row), Cell(tools::SAVELOAD_CELL_ROW + (save_page ? 0 : 6), 0));
            EXPECT_EQ(At(old_tab), Cell(old_tab_id, save_page == d.from_save ? 2 : 0));
            return Picture{Shown(first_row.x, first_row.y), Shown(old_tab.x, old_tab.y)};
        };
        ISaveLoad& from = d.from_save ? static_cast<ISaveLoad&>(m_save) : m_load;
        ISaveLoad& to = d.from_save ? static_cast<ISaveLoad&>(m_load) : m_save;
        Picture before;
        const int32_t result = RunScreen(
            from,
            [&](int pump) {
                if (pump == 25) {
                    Capture(stem + "_0.png");
                    before = page(d.from_save);
                }
                ClickAt(pump, 30, d.tab);
            },
            60);
        ASSERT_EQ(result, d.from_save ? MENU_PAGE_LOAD : MENU_PAGE_SAVE);
        ASSERT_EQ(from.KeepView, 1);

        // The next page's opening at a quarter, half and three quarters of its fade.
        const int kept[] = {4, 7, 10};
        std::vector<Picture> mid;
        Picture after;
        RunScreen(
            to,
            [&](int pump) {
                for (size_t i = 0; i < std::size(kept); ++i) {
                    if (pump == kept[i]) {
                        Capture(stem + "_" + std::to_string(i + 1) + ".png");
                        mid.push_back({Shown(first_row.x, first_row.y), Shown(old_tab.x, old_tab.y)});
                    }
                }
                if (pump == 30) {
                    Capture(stem + "_4.png");
                    after = page(!d.from_save);
                }
            },
            40);
        ASSERT_EQ(mid.size(), std::size(kept));
        uint32_t previous_tab = before.tab;
        for (size_t i = 0; i < mid.size(); ++i) {
            SCOPED_TRACE(kept[i]);
            EXPECT_NE(mid[i].row, before.row);
            EXPECT_NE(mid[i].row, after.row);
            // The tab's blue moves from the old state's towards the new one's, never reaching it.
            EXPECT_TRUE(BlueBetween(mid[i].tab, previous_tab, after.tab))
                << std::hex << mid[i].tab << " " << previous_tab << " " << after.tab;
            previous_tab = mid[i].tab;
        }
    }
}

} // namespace
