#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr HintWindow OPEN_WINDOW{1222, 1306, 800, 1800};
constexpr HintWindow LATE_WINDOW{1225, 1231, 800, 1800};
constexpr std::array<NoteStep, 3> TRIP_NOTES{NOTE_T_PENDING, NOTE_T, NOTE_A1};

// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow P1{"P1", 1081, 8009, {1229, 1306, 800, 2400}, 1, 0, "39.mes", MY_HOUSE, 199, {NOTE_A1}};
constexpr HintEventRow P2{"P2", 1630, 8019, {1229, 1306, 800, 1800}, 6, 0, "01.mes", SCHOOL, 198, {NOTE_A1}};
constexpr HintWindow P2_WINDOW_IN_JANUARY{1302, 1306, 800, 1800};

constexpr HintEventRow PRE_ROWS[] = {
    {"P3", 1586, 8010, OPEN_WINDOW, 0, 1, "16a.mes", STATION, 100, TRIP_NOTES},
    {"P4", 1587, 8010, OPEN_WINDOW, 0, 0, "14.mes", TOWN_PARK, 101, TRIP_NOTES},
    {"P5", 1588, 8010, OPEN_WINDOW, 0, 0, "38.mes", HouseOf(5), 102, TRIP_NOTES},
    {"P6", 1594, 8010, OPEN_WINDOW, 0, 0, "36.mes", HOUSE_A, 103, TRIP_NOTES},
    {"P7", 1595, 8010, OPEN_WINDOW, 0, 0, "21.mes", PlaceText("旅行代理店"), 104, TRIP_NOTES},
    {"P8", 1596, 8010, OPEN_WINDOW, 0, 0, "29.mes", PlaceText("テニスコート"), 105, TRIP_NOTES},
    {"P9", 1597, 8011, OPEN_WINDOW, 0, 0, "38.mes", HouseOf(5), 106, TRIP_NOTES},
    {"P10", 1591, 8011, {1225, 1301, 800, 2200}, 1, 10, "41.mes", PlaceText("リビング"), 108, TRIP_NOTES},
    {"P11", 1593, 8010, {1225, 1301, 800, 1800}, 1, 0, "39.mes", PlaceText("自宅"), 109, TRIP_NOTES},
    {"P12", 1609, 8010, LATE_WINDOW, 6, 0, "01.mes", SCHOOL, 110, TRIP_NOTES},
    {"P13", 1610, 8010, LATE_WINDOW, 0, 0, "31.mes", APARTMENT_B, 111, TRIP_NOTES},
    {"P14", 1611, 8011, LATE_WINDOW, 0, 0, "14.mes", TOWN_PARK, 112, TRIP_NOTES},
    {"P15", 1612, 8010, LATE_WINDOW, 2, 0, "27.mes", PlaceText("コンビニ"), 113, TRIP_NOTES},
    {"P16", 1613, 8011, LATE_WINDOW, 0, 0, "21.mes", PlaceText("旅行代理店"), 114, TRIP_NOTES},
    {"P17", 1614, 8011, LATE_WINDOW, 1, 0, "39.mes", PlaceText("自宅"), 115, TRIP_NOTES},
    {"P18", 1615, 8010, LATE_WINDOW, 0, 0, "15.mes", POND_PARK, 116, TRIP_NOTES},
    {"P19", 1616, 8010, LATE_WINDOW, 0, 0, "61.mes", HouseOf(4), 117, TRIP_NOTES},
    {"P20", 1617, 8012, LATE_WINDOW, 0, 0, "38.mes", HouseOf(5), 118, TRIP_NOTES},
    {"P21", 1618, 8011, LATE_WINDOW, 0, 0, "31.mes", APARTMENT_B, 119, TRIP_NOTES},
};

constexpr HintWindow END_OF_YEAR{1230, 1231, 800, 1800};
constexpr HintWindow NEW_YEAR{1302, 1306, 800, 1800};

constexpr HintEventRow ROWS_E1_E12[] = {
    {"E1", 1666, 8010, END_OF_YEAR, 0, 0, "34.mes", HouseOf(7), 120, {NOTE_A1}},
    {"E2", 1667, 8010, END_OF_YEAR, 0, 0, "26.mes", PlaceText("マンション"), 121, {NOTE_A1}},
    {"E3", 1668, 8011, END_OF_YEAR, 0, 0, "16a.mes", STATION, 122, {NOTE_A1}},
    {"E4", 1671, 8010, {1230, 1306, 800, 1800}, 0, 0, "35.mes", HouseOf(2), 123, {NOTE_A1}},
    {"E5", 1672, 8012, END_OF_YEAR, 0, 0, "21.mes", PlaceText("旅行代理店"), 124, {NOTE_A1}},
    {"E6", 1673, 8010, END_OF_YEAR, 0, 0, "30.mes", NURSERY, 125, {NOTE_A1}},
    {"E7", 1674, 8011, END_OF_YEAR, 0, 0, "29.mes", PlaceText("テニスコート"), 126, {NOTE_A1}},
    {"E8", 1675, 8011, END_OF_YEAR, 0, 0, "15.mes", POND_PARK, 127, {NOTE_A1}},
    {"E9", 1676, 8010, {1230, 1231, 1000, 2200}, 1, 8, "40.mes", MY_ROOM, 128, {NOTE_A1}},
    {"E10", 1685, 8011, {1230, 1231, 1000, 2200}, 2, 0, "27.mes", PlaceText("コンビニ"), 129, {NOTE_A1}},
    {"E11", 1686, 8011, {1230, 1231, 1000, 1800}, 6, 0, "01.mes", SCHOOL, 130, {NOTE_A1}},
    {"E12", 1687, 8013, {1230, 1231, 1000, 1800}, 0, 0, "21.mes", PlaceText("旅行代理店"), 131, {NOTE_A1}},
};

constexpr HintEventRow ROWS_E13_E16[] = {
    {"E13", 1688, 8010, NEW_YEAR, 0, 0, "43.mes", HOUSE_C, 132, {NOTE_A1}},
    {"E14", 1693, 8011, NEW_YEAR, 0, 0, "35.mes", HouseOf(2), 133, {NOTE_A1}},
    {"E15", 1689, 8011, NEW_YEAR, 0, 0, "36.mes", HOUSE_A, 134, {NOTE_A1}},
    {"E16", 1694, 8012, NEW_YEAR, 0, 0, "14.mes", TOWN_PARK, 135, {NOTE_A1}},
};

constexpr HintEventRow E17{"E17", 1690, 8011, {1303, 1306, 1700, 2100}, 1, 8, "40.mes", MY_ROOM, 136, {NOTE_A1}};
// The window of E18, E19 and E20 follows the record before them.
constexpr HintEventRow E18{"E18", 1717, 8010, {}, 5, 13, "45a.mes", PlaceText("ホテルのロビー"), 137, {IfFree(S), NOTE_A1}};
constexpr HintEventRow E19{"E19", 1721, 8012, {}, 1, 0, "39.mes", MY_HOUSE, 138, {}};
constexpr HintEventRow E20{"E20", 8014, 8013, {}, 0, 0, "14.mes", TOWN_PARK, 139, {NOTE_A1}};
constexpr HintEventRow E21{"E21", 1753, 8012, {1306, -1, 2000, 2200}, 1, 8, "40.mes", MY_ROOM, 140, {IfFree(R, 0), NOTE_A1}};
constexpr HintEventRow E22{"E22", 0, 8060, {0, -1, 0, 2359}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {IfFree(C, 0)}};

// clang-format on
constexpr size_t MOOD_HEROINE0 = 951;

} // namespace

uint32_t BuildHeroineHints00Pre(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    builder.Latch = builder.IsSet(1727) || builder.Flag(618) == 4 || builder.IsSet(FLAG_HEROINE1_STORY) ||
                    builder.Flag(FLAG_HOT_SPRING_TRIP) == 1;
    bool list_p1 = false;
    if (!builder.IsSet(2051) && !builder.IsSet(1081)) {
        if (builder.IsSet(1497) && builder.Flag(1082) == 0)
            builder.Latch = 1;
    } else {
        list_p1 = builder.IsSet(1629) || builder.IsSet(1497);
    }
    // P1 and P2 miss on their own: their tests do not set the latch, but listing them unseen does.
    if (list_p1 && !builder.List(P1, out, {.LatchFromTest = false}).Seen)
        builder.Latch = 1;
    if (builder.IsSet(1629)) {
        const HintWindow* window = context.Date > 1231 ? &P2_WINDOW_IN_JANUARY : &P2.Window;
        if (!builder.List(P2, out, {.Window = window, .LatchFromTest = false}).Seen)
            builder.Latch = 1;
    }
    for (const HintEventRow& row : PRE_ROWS)
        builder.List(row, out);
    return builder.Latch;
}

void BuildHeroineHints00(HintContext& context, std::vector<FlagHintRecord>& out)
{
    std::vector<FlagHintRecord> first;
    const uint32_t first_latch = BuildHeroineHints00Pre(context, first);
    HintBuilder builder(context, context.IsFlagSet(FLAG_HEROINE1_STORY) ? 1 : first_latch);
    SortHintsByDate(first, out);

    for (const HintEventRow& row : ROWS_E1_E12)
        builder.List(row, out);
    if (!builder.IsMissed()) {
        context.SetFlag(1589, 1);
        context.SetFlag(1598, 1);
    }
    if (!(builder.Flag(1618) == 1 && builder.Flag(1687) == 1 && builder.Flag(1589) == 1 &&
          builder.Flag(1598) == 1))
        builder.Latch = 1;

    for (const HintEventRow& row : ROWS_E13_E16)
        builder.List(row, out);
    if (builder.IsSet(506))
        builder.Latch = 1;

    const FlagHintRecord& e17 = builder.List(E17, out).Record;
    int32_t date = e17.FirstDate;
    int32_t time = e17.EarliestTime;
    const int32_t start = time;
    AdvanceClockOf(date, time, 95);
    const HintWindow e18_window{date, -1, start, time};
    const int32_t e18_date =
        builder.List(E18, out, {.Window = &e18_window, .SetSeen = false}).Record.FirstDate;

    const HintWindow e19_window{e18_date, -1, 0, 2355};
    HintBuilder::Listed e19 = builder.List(E19, out, {.Window = &e19_window});
    if (!e19.Seen) {
        if (builder.Flag(FLAG_HEROINE1_STORY) == 1) {
            e19.Record.Note = builder.NoteText({A, 1});
        } else if (builder.IsSet(1719) && builder.Flag(2112) == 0) {
            builder.Latch = 1;
            e19.Record.Status = HINT_MISSED;
            e19.Record.Note = builder.NoteText({S});
        }
    }

    const HintWindow e20_window{e19.Record.FirstDate, -1, 2300, 2355};
    if (!builder.List(E20, out, {.Window = &e20_window, .SetSeen = false}).Seen && !builder.IsMissed()) {
        // Saturating: the copy's byte must not wrap a high mood round to a low one.
        context.SetFlag(MOOD_HEROINE0, static_cast<uint8_t>(std::min(builder.Flag(MOOD_HEROINE0) + 2, 255)));
    }

    HintBuilder::Listed e21 = builder.List(E21, out);
    if (e21.Seen && builder.Flag(MOOD_HEROINE0) < HINT_MOOD_NEEDED)
        e21.Record.Status = HINT_MISSED;

    FlagHintRecord& e22 = builder.List(E22, out).Record;
    if (builder.Flag(MOOD_HEROINE0) < HINT_MOOD_NEEDED) {
        e22.Status = HINT_MISSED;
        e22.Note = builder.NoteText({M, 0});
    }
}
