#include "screens/flags/CFlagDetails.h"

#include <gtest/gtest.h>

#include <cmath>

#include "foundation/CInputView.h"
#include "graphics/CSprite.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/flags/FlagScreenFixture.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;

FlagHintRecord Event(int32_t date, uint32_t status, const char* note = "")
{
    FlagHintRecord record;
    record.FirstDate = date;
    record.EarliestTime = 1800;
    record.Status = status;
    record.Note = note;
    record.PlaceName = "P";
    record.SceneFile = "main.mes";
    return record;
}

int32_t CellId(int32_t row, int32_t day)
{
    return (row + FLAG_CELL_GROUP) * 256 + day;
}

class CFlagDetailsThreadTest : public FlagScreenFixture
{
protected:
    CFlagDetailsThreadTest() { EXPECT_EQ(m_details.CreateParts(), 1); }

    // Runs the schedule, calling step at each pump; Esc ends it at the given pump.
    ScriptValue Run(int32_t heroine, std::function<void(int)> step = nullptr, int escape_at = 3)
    {
        Step([&, step](int pump) {
            if (step)
                step(pump);
            PressAt(pump, escape_at, 1);
        });
        ScriptValue out = ScriptValue::FromInteger(99);
        m_details.RunForHeroine(&out, heroine);
        OnPump(nullptr);
        m_keyboard.down.clear();
        m_mouse.left_down = 0;
        return out;
    }

    // Replaces the lists by the given rows (the rest empty) and places them.
    void Place(std::vector<std::vector<FlagHintRecord>> rows)
    {
        rows.resize(FLAG_ROWS);
        m_details.HintLists = std::move(rows);
        m_details.PlaceLists();
    }

    Cell CanvasCell(int x, int y)
    {
        uint32_t id = 0;
        int32_t state = 0;
        const uint32_t pixel = EffectPixel(*SpriteLayerOf(m_details.GetPlateCanvas()), x, y) | 0xFF000000u;
        return tools::DecodeCellColour(pixel, id, state) ? Cell{id, state} : Cell{0xFFFFFFFFu, -1};
    }

    Cell FrameCell(int x, int y)
    {
        uint32_t id = 0;
        int32_t state = 0;
        const uint32_t pixel = EffectPixel(*SpriteLayerOf(m_details.GetPanelFrame()), x, y) | 0xFF000000u;
        return tools::DecodeCellColour(pixel, id, state) ? Cell{id, state} : Cell{0xFFFFFFFFu, -1};
    }

    // Pixels of the help line's strip that differ from the background under it.
    int HelpLinePixels()
    {
        int count = 0;
        for (int y = 1004; y < 1044; y += 2)
            for (int x = 109; x < 1109; x += 2)
                count += ShownCell(x, y) != Cell{tools::FLAG_SCHEDULE_BACKGROUND, 0} ? 1 : 0;
        return count;
    }

    CFlagDetails m_details;
};

TEST_F(CFlagDetailsThreadTest, EachDayShowsOneRecordAndAMissedOneEndsTheRow)
{
    struct Case
    {
        const char* name;
        std::vector<FlagHintRecord> list;
        std::vector<int32_t> shown; // per day 0 to 16: index into the list, -1 empty
        int32_t next;               // day of the next event, -1 none
    };
    auto days = [](std::initializer_list<std::pair<int32_t, int32_t>> placed) {
        std::vector<int32_t> out(FLAG_DAYS, -1);
        for (auto [day, index] : placed)
            out[static_cast<size_t>(day)] = index;
        return out;
    };
    const Case cases[] = {
        {"seen then unseen", {Event(1224, HINT_SEEN), Event(1224, HINT_POSSIBLE)}, days({{2, 1}}), 2},
        {"unseen then seen", {Event(1224, HINT_POSSIBLE), Event(1224, HINT_SEEN)}, days({{2, 0}}), 2},
        {"two seen", {Event(1224, HINT_SEEN), Event(1224, HINT_SEEN)}, days({{2, 1}}), -1},
        {"missed third on 1226",
         {Event(1223, HINT_SEEN), Event(1225, HINT_POSSIBLE), Event(1226, HINT_MISSED),
          Event(1228, HINT_POSSIBLE), Event(1301, HINT_POSSIBLE)},
         days({{1, 0}, {3, 1}, {4, 2}}),
         3},
        {"off the grid skipped",
         {Event(1220, HINT_POSSIBLE), Event(1308, HINT_SEEN), Event(1223, HINT_POSSIBLE)},
         days({{1, 2}}),
         1},
        {"missed off the grid still ends the walk",
         {Event(1223, HINT_POSSIBLE), Event(1308, HINT_MISSED), Event(1225, HINT_POSSIBLE)},
         days({{1, 0}}),
         1},
        {"missed before the grid clears the row",
         {Event(1223, HINT_POSSIBLE), Event(1220, HINT_MISSED), Event(1225, HINT_POSSIBLE)},
         days({}),
         -1},
        {"next is the first in day order",
         {Event(1230, HINT_POSSIBLE), Event(1224, HINT_POSSIBLE)},
         days({{8, 0}, {2, 1}}),
         2},
    };
    for (const Case& c : cases) {
        Place({{}, c.list});
        const auto& list = m_details.HintLists[1];
        for (int32_t d = 0; d < FLAG_DAYS; ++d) {
            const int32_t index = c.shown[static_cast<size_t>(d)];
            EXPECT_EQ(m_details.Slot(1, d), index < 0 ? nullptr : &list[static_cast<size_t>(index)])
                << c.name << " day " << d;
            if (FlagHintRecord* record = m_details.Slot(1, d)) {
                EXPECT_EQ(record->IsNext, d == c.next ? 1u : 0u) << c.name << " day " << d;
            }
        }
        for (int32_t d = 0; d < FLAG_DAYS; ++d)
            EXPECT_EQ(m_details.Slot(0, d), nullptr) << c.name;
    }
}

TEST_F(CFlagDetailsThreadTest, TheChosenHeroineOpensAsTheThirdVisibleRow)
{
    struct Case
    {
        int32_t heroine;
        double scroll;
        int32_t pixels;
    } cases[] = {{0, 0, 0},       {1, 0, 0},       {2, 0, 0},      {7, 5 * 160 / FLAG_PIXELS_PER_UNIT, 800},
                 {12, 534, 1600}, {13, 534, 1600}, {14, 534, 1600}};
    for (const Case& c : cases) {
        double seen = -1;
        const ScriptValue out = Run(c.heroine, [&](int pump) {
            if (pump == 1)
                seen = m_details.ScrollPos;
        });
        EXPECT_EQ(out.Integer, -1);
        EXPECT_DOUBLE_EQ(seen, c.scroll) << c.heroine;
        EXPECT_EQ(m_details.ScrollPixels(), c.pixels) << c.heroine;
        // The heroine's row stands third from the window's top where the range allows.
        const HitArea& area = m_details.GridAreas[static_cast<size_t>(c.heroine * FLAG_DAYS)];
        EXPECT_EQ(area.Top, 146 + 160 * c.heroine - c.pixels);
    }
    EXPECT_EQ(TakeSounds(false), 7); // the cancels
}

TEST_F(CFlagDetailsThreadTest, ArrowsAndWheelStepTwentyPixelsAndStopSilentlyAtTheEnds)
{
    const int32_t arrow_x = 1733;
    int help_at_end = -1;
    Cell up_at_top, down_at_bottom;
    double after_wheel = -1, after_80 = -1, after_end_click = -1, after_up_click = -1;
    int top_sounds = -1, bottom_sounds = -1;
    Run(
        0,
        [&](int pump) {
            if (pump == 3)
                PointAt(arrow_x, 123);
            if (pump == 6) {
                Capture("flag_details_top.png");
                up_at_top = ShownCell(arrow_x, 130);
                help_at_end = HelpLinePixels();
                TakeOkCancelSounds();
            }
            ClickAt(pump, 7);
            if (pump == 12) {
                top_sounds = TakeSounds(true);
                m_mouse.wheel = -5;
            }
            if (pump == 15) {
                after_wheel = m_details.ScrollPos;
                for (int i = 0; i < 79; ++i)
                    m_details.OnMouseWheel(-1);
                after_80 = m_details.ScrollPos;
                PointAt(arrow_x, 950);
            }
            if (pump == 18) {
                Capture("flag_details_bottom.png");
                down_at_bottom = ShownCell(arrow_x, 955);
            }
            ClickAt(pump, 19);
            if (pump == 24) {
                after_end_click = m_details.ScrollPos;
                bottom_sounds = TakeSounds(true);
                PointAt(arrow_x, 123);
            }
            ClickAt(pump, 26);
            if (pump == 34)
                after_up_click = m_details.ScrollPos;
        },
        36);
    EXPECT_EQ(up_at_top, Cell(0, 3));
    EXPECT_EQ(help_at_end, 0);
    EXPECT_EQ(top_sounds, 0);
    EXPECT_EQ(bottom_sounds, 0);
    EXPECT_DOUBLE_EQ(after_wheel, FLAG_SCROLL_STEP);
    EXPECT_EQ(after_80, FLAG_SCROLL_MAX);
    EXPECT_EQ(down_at_bottom, Cell(1, 3));
    EXPECT_EQ(after_end_click, FLAG_SCROLL_MAX);
    EXPECT_DOUBLE_EQ(after_up_click, FLAG_SCROLL_MAX - FLAG_SCROLL_STEP);
    EXPECT_EQ(m_mouse.wheel, 0);
}

TEST_F(CFlagDetailsThreadTest, TheThumbFollowsThePointerOnItAndStepsTowardsItOutside)
{
    double followed = -1, stepped = -1;
    int32_t hovered = -2;
    Run(
        0,
        [&](int pump) {
            if (pump == 3)
                PointAt(1733, 200);
            if (pump == 5) {
                hovered = m_details.CurrentId;
                m_mouse.left_down = 1;
            }
            if (pump == 8)
                PointAt(1733, 230);
            if (pump == 11) {
                followed = m_details.ScrollPos;
                PointAt(1733, 1000);
            }
            if (pump == 15) {
                stepped = m_details.ScrollPos;
                m_mouse.left_down = 0;
            }
        },
        30);
    EXPECT_EQ(hovered, FLAG_ID_THUMB);
    EXPECT_DOUBLE_EQ(followed, 30.0);
    const double steps = (stepped - 30.0) / FLAG_SCROLL_STEP;
    EXPECT_GE(steps, 2.0);
    EXPECT_NEAR(steps, std::round(steps), 1e-9);
    EXPECT_EQ(TakeSounds(true), 0); // the thumb is silent
}

TEST_F(CFlagDetailsThreadTest, CursorKeysFollowTheTable)
{
    Run(0);
    struct Case
    {
        double scroll;
        int32_t current;
        uint32_t key;
        int32_t target;
    } cases[] = {
        {0, -1, SCAN_UP, CellId(0, 0)},
        {534, -1, SCAN_RIGHT, CellId(10, 0)},
        {0, FLAG_ID_UP, SCAN_UP, -1},
        {0, FLAG_ID_UP, SCAN_DOWN, FLAG_ID_DOWN},
        {0, FLAG_ID_UP, SCAN_LEFT, CellId(0, 16)},
        {0, FLAG_ID_UP, SCAN_RIGHT, FLAG_ID_BACK},
        {0, FLAG_ID_DOWN, SCAN_DOWN, -1},
        {0, FLAG_ID_DOWN, SCAN_LEFT, CellId(4, 16)},
        {534, FLAG_ID_DOWN, SCAN_LEFT, CellId(14, 16)},
        {0, FLAG_ID_THUMB, SCAN_LEFT, CellId(2, 16)},
        {534, FLAG_ID_THUMB, SCAN_LEFT, CellId(12, 16)},
        {0, FLAG_ID_THUMB, SCAN_UP, FLAG_ID_UP},
        {0, FLAG_ID_BACK, SCAN_LEFT, FLAG_ID_DOWN},
        {0, FLAG_ID_BACK, SCAN_UP, -1},
        {0, CellId(0, 3), SCAN_UP, -1},
        {0, CellId(14, 3), SCAN_DOWN, -1},
        {0, CellId(5, 0), SCAN_LEFT, -1},
        {0, CellId(5, 4), SCAN_RIGHT, CellId(5, 5)},
        {0, CellId(1, 16), SCAN_RIGHT, FLAG_ID_UP},
        {0, CellId(2, 16), SCAN_RIGHT, FLAG_ID_THUMB},
        {0, CellId(3, 16), SCAN_RIGHT, FLAG_ID_DOWN},
        {534, CellId(11, 16), SCAN_RIGHT, FLAG_ID_UP},
        {534, CellId(12, 16), SCAN_RIGHT, FLAG_ID_THUMB},
    };
    for (const Case& c : cases) {
        m_details.ScrollPos = c.scroll;
        m_details.MoveGridAreas();
        m_details.CurrentId = c.current;
        EXPECT_EQ(m_details.KeyTarget(c.key), c.target) << c.scroll << " " << c.current << " " << c.key;
    }
    // A cell target that the window does not show leaves the pointer; a shown one centres it.
    m_details.ScrollPos = 0;
    m_details.MoveGridAreas();
    m_mouse.warps.clear();
    m_details.CurrentId = CellId(4, 0);
    m_details.OnDownKey();
    EXPECT_TRUE(m_mouse.warps.empty());
    m_details.CurrentId = CellId(3, 0);
    PointAt(0, 0);
    m_details.OnDownKey();
    ASSERT_EQ(m_mouse.warps.size(), 1u);
    EXPECT_EQ(m_mouse.warps[0].x, 255);
    EXPECT_EQ(m_mouse.warps[0].y, 828);
    EXPECT_EQ(m_details.CurrentId, CellId(4, 0));
}

TEST_F(CFlagDetailsThreadTest, ClockTodayAndSeenBarsDraw)
{
    Run(0);
    struct Clock
    {
        int32_t time;
        uint32_t mark;
        int32_t digits[4];
    } clocks[] = {{930, tools::FLAG_SHEET_AM, {0, 9, 3, 0}},
                  {1200, tools::FLAG_SHEET_PM, {1, 2, 0, 0}},
                  {1345, tools::FLAG_SHEET_PM, {0, 1, 4, 5}},
                  {5, tools::FLAG_SHEET_AM, {0, 0, 0, 5}}};
    for (const Clock& c : clocks) {
        State().SetGameTime(c.time);
        m_details.DrawPage();
        Capture("flag_details_clock_" + std::to_string(c.time) + ".png");
        EXPECT_EQ(ShownCell(25, 50), Cell(c.mark, 0)) << c.time;
        const int places[4] = {41, 76, 131, 166};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(ShownCell(places[i] + 17, 40), Cell(tools::FLAG_SHEET_DIGIT + c.digits[i], 0))
                << c.time << i;
        EXPECT_EQ(ShownCell(121, 40), Cell(tools::FLAG_SHEET_COLON, 0));
    }
    for (auto [date, day] : {std::pair{1231, 9}, std::pair{1301, 10}}) {
        State().SetGameDate(date);
        m_details.DrawPage();
        Capture();
        EXPECT_EQ(ShownCell(205 + 87 * day + 51, 110), Cell(tools::FLAG_SHEET_TODAY, 0)) << date;
        EXPECT_NE(ShownCell(205 + 87 * (19 - day) + 51, 110), Cell(tools::FLAG_SHEET_TODAY, 0)) << date;
    }

    auto list = [](int count, int seen) {
        std::vector<FlagHintRecord> out;
        for (int i = 0; i < count; ++i)
            out.push_back(Event(1230, i < seen ? HINT_SEEN : HINT_POSSIBLE));
        return out;
    };
    Place({list(11, 5), list(8, 3), list(1, 1)});
    m_details.DrawPage();
    const Cell seen{tools::FLAG_SHEET_SEEN, 0};
    const Cell plate{tools::FLAG_SHEET_ROW_PLATE, 0};
    // 5 of 11: five whole blocks.
    EXPECT_EQ(CanvasCell(559 + 87 * 4 + 43, 10 + 118), seen);
    EXPECT_EQ(CanvasCell(559 + 87 * 5 + 43, 10 + 118), plate);
    // 3 of 8: 42, four blocks and ten pixels of the fifth.
    EXPECT_EQ(CanvasCell(559 + 87 * 3 + 43, 170 + 118), seen);
    EXPECT_EQ(CanvasCell(576 + 87 * 4 + 9, 170 + 118), seen);
    EXPECT_EQ(CanvasCell(576 + 87 * 4 + 10, 170 + 118), plate);
    // A one-record list has no bar.
    EXPECT_EQ(CanvasCell(559 + 43, 330 + 118), plate);
}

TEST_F(CFlagDetailsThreadTest, TextsFollowTheLanguage)
{
    FlagHintRecord range = Event(1229, HINT_POSSIBLE);
    range.PlaceName = "駅";
    range.LatestTime = 2000;
    FlagHintRecord days = range;
    days.FirstDate = 1230;
    days.LastDate = 1302;
    days.EarliestTime = 930;
    days.LatestTime = -1;
    struct Case
    {
        int language;
        int32_t date, time;
        const char* date_text;
        const char* time_text;
        std::string range_text; // the panel of the 1229 18:00 to 20:00 event
        std::string days_text;  // the panel of the 1230 to 1302 09:30 event
    } cases[] = {
        {0, 1228, 930, "December ２８", "09:30 a.m.", "Place: 駅\nDate: December ２９\nTime: 06:00 p.m.\n",
         "Place: 駅\nDate: December ３０\nTime: 09:30 a.m.\n"},
        {0, 1303, 1200, "January ０３", "12:00 p.m.", "", ""},
        {0, 1303, 1815, "January ０３", "06:15 p.m.", "", ""},
        {1, 1228, 1830, "１２月２８日", "18点30分",
         "场所: 駅\n日期: １２月２９日\n时间: 18点00分～20点00分\n",
         "场所: 駅\n日期: １２月３０日～０１月０２日\n时间: 09点30分\n"},
        {2, 1228, 1830, "１２月２８日", "18點30分",
         "場所: 駅\n日期: １２月２９日\n時間: 18點00分～20點00分\n", ""},
        {3, 1303, 1830, "０１月０３日", "１８時３０分",
         "場所: 駅\n日付: １２月２９日\n時間: １８時００分～２０時００分\n",
         "場所: 駅\n日付: １２月３０日～０１月０２日\n時間: ０９時３０分\n"},
    };
    for (const Case& c : cases) {
        GetDocument()->SetLanguage(c.language);
        EXPECT_EQ(std::string(m_details.FormatDate(c.date).GetText()), c.date_text) << c.language;
        EXPECT_EQ(std::string(m_details.FormatTime(c.time).GetText()), c.time_text) << c.language;
        EXPECT_EQ(std::string(m_details.FormatDate(-1).GetText()), "");
        if (!c.range_text.empty()) {
            EXPECT_EQ(std::string(m_details.PanelText(range).GetText()), c.range_text) << c.language;
        }
        if (!c.days_text.empty()) {
            EXPECT_EQ(std::string(m_details.PanelText(days).GetText()), c.days_text) << c.language;
        }
    }
    const FlagHintRecord missed = Event(1224, HINT_MISSED, "遅い");
    EXPECT_EQ(std::string(m_details.PanelText(missed).GetText()), "　\n遅い");
}

TEST_F(CFlagDetailsThreadTest, ThePanelOpensTowardsTheWindowsMiddleWithItsPointerOnTheCell)
{
    Run(0);
    std::vector<FlagHintRecord> row3{Event(1222, HINT_POSSIBLE), Event(1227, HINT_POSSIBLE, "note"),
                                     Event(1307, HINT_POSSIBLE, "one\ntwo")};
    Place({{},
           {Event(1224, HINT_MISSED, "late"), Event(1224, HINT_MISSED)},
           {Event(1225, HINT_SEEN, "kept"), Event(1226, HINT_MISSED)},
           row3});
    struct Case
    {
        int32_t day;
        double scroll; // 30.04 shows row 3 from y 536, 30.38 from 535
        bool upwards;
        int32_t x, y;
        int32_t last_row_y;
        uint32_t pointer_piece;
        int32_t pointer_x;
    } cases[] = {
        {0, 30.04, true, 233, 536 + 42 - 176, 113, 9, 22},
        {0, 30.38, false, 233, 535 + 42, 113, 1, 22},
        {5, 30.04, true, 502, 536 + 42 - 176, 133, 9, 188},
        {16, 30.38, false, 1293, 535 + 42, 153, 2, 271},
    };
    for (const Case& c : cases) {
        m_details.ScrollPos = c.scroll;
        m_details.MoveGridAreas();
        m_details.ShowEventPanel(CellId(3, c.day), 1);
        CSprite* frame = m_details.GetPanelFrame();
        EXPECT_TRUE(frame->IsVisible() && m_details.GetPanelText()->IsVisible()) << c.day;
        EXPECT_EQ(frame->GetPosition().x, c.x) << c.day;
        EXPECT_EQ(frame->GetPosition().y, c.y) << c.day;
        EXPECT_EQ(m_details.GetPanelText()->GetPosition().y, c.y) << c.day;
        EXPECT_EQ(FrameCell(5, c.last_row_y + 30), Cell(tools::FLAG_SHEET_PANEL + 8, 0)) << c.day;
        EXPECT_EQ(FrameCell(c.pointer_x + 40, c.upwards ? c.last_row_y + 30 : 30),
                  Cell(tools::FLAG_SHEET_PANEL + c.pointer_piece, 0))
            << c.day;
        m_details.ShowEventPanel(CellId(3, c.day), 0);
        EXPECT_FALSE(frame->IsVisible());
    }
    // A missed event shows its note; one without a note, and an empty cell, show nothing.
    for (auto [row, day, shown] :
         {std::tuple{1, 2, true}, std::tuple{2, 3, true}, std::tuple{2, 4, false}, std::tuple{0, 4, false}}) {
        m_details.ShowEventPanel(CellId(row, day), 0);
        m_details.ShowEventPanel(CellId(row, day), 1);
        EXPECT_EQ(m_details.GetPanelFrame()->IsVisible() != 0, shown) << row << " " << day;
    }
    // A seen event's note takes no line: its frame has three rows.
    m_details.ShowEventPanel(CellId(2, 3), 1);
    EXPECT_EQ(FrameCell(5, 113 + 30), Cell(tools::FLAG_SHEET_PANEL + 8, 0));
}

} // namespace
