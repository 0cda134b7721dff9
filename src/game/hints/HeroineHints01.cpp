#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow EVENT1{"1", 1174, 8015, {1222, 1223, 800, 1800}, 6, 0, "01.mes", SCHOOL, 141, {IfFree(I, 1), NOTE_T}};
constexpr HintEventRow EVENT2{"2", 1186, 8015, {1225, 1228, 800, 2000}, 0, 0, "42.mes", HouseOf(1), 142, {NOTE_T}};
constexpr HintEventRow EVENT3{"3", 1081, 8009, {1230, 1306, 800, 2400}, 1, 0, "39.mes", MY_HOUSE, 199, {NOTE_A1}};

// The dates seen so far: flags 1188 to 1204, 1230 to 1236 and 1238 to 1242, slots 143 to 171.
struct DateRange
{
    uint32_t FirstFlag;
    uint32_t LastFlag;
    uint32_t FirstSlot;
};
constexpr DateRange DATE_RANGES[] = {{1188, 1204, 143}, {1230, 1236, 160}, {1238, 1242, 167}};
constexpr uint32_t DATES_NEEDED = 8;
constexpr uint32_t HEROINE1_DATE_CODE = 8015;

constexpr HintWindow EARLY{1225, 1228, 800, 1800};
constexpr HintWindow MIDDLE{1226, 1228, 800, 1800};
constexpr HintWindow LATE{1227, 1228, 800, 1800};
constexpr HintWindow LAST_DAY{1228, -1, 800, 1800};
constexpr HintWindow YEAR_END{1229, 1231, 800, 1900};
constexpr HintWindow YEAR_END_LATE{1230, 1231, 800, 1900};
constexpr HintWindow NEW_YEARS_EVE{1231, -1, 800, 1900};

// Id, Flag, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow OPEN_DATES[] = {
    {"D1", 1188, 8015, EARLY, 2, 0, "27.mes", PlaceText("コンビニ"), NO_SLOT, {}},
    {"D2", 1189, 8015, EARLY, 0, 0, "35.mes", HouseOf(2), NO_SLOT, {}},
    {"D3", 1190, 8015, EARLY, 0, 0, "30.mes", NURSERY, NO_SLOT, {}},
    {"D4", 1191, 8015, EARLY, 0, 0, "16a.mes", STATION, NO_SLOT, {}},
    {"D5", 1192, 8015, MIDDLE, 0, 0, "14.mes", TOWN_PARK, NO_SLOT, {}},
    {"D6", 1193, 8015, MIDDLE, 0, 0, "36.mes", HOUSE_A, NO_SLOT, {}},
    {"D7", 1194, 8015, MIDDLE, 0, 0, "21.mes", PlaceText("旅行代理店"), NO_SLOT, {}},
    {"D8", 1195, 8015, MIDDLE, 3, 0, "18.mes", PlaceText("ゲームセンター"), NO_SLOT, {}},
    {"D9", 1196, 8015, LATE, 3, 2, "17.mes", SECOND_STATION, NO_SLOT, {}},
    {"D10", 1197, 8015, LATE, 4, 0, "22.mes", STUDIO, NO_SLOT, {}},
    {"D11", 1198, 8015, LATE, 0, 0, "43.mes", HOUSE_D, NO_SLOT, {}},
    {"D12", 1199, 8015, LATE, 0, 0, "29.mes", PlaceText("テニスコート"), NO_SLOT, {}},
    {"D13", 1200, 8015, LAST_DAY, 0, 0, "26.mes", PlaceText("マンション"), NO_SLOT, {}},
    {"D14", 1201, 8015, LAST_DAY, 0, 0, "38.mes", HouseOf(5), NO_SLOT, {}},
    {"D15", 1202, 8015, LAST_DAY, 0, 0, "15.mes", POND_PARK, NO_SLOT, {}},
    {"D16", 1203, 8015, LAST_DAY, 0, 0, "61.mes", HouseOf(4), NO_SLOT, {}},
    {"D17", 1204, 8015, LAST_DAY, 0, 0, "31.mes", APARTMENT_B, NO_SLOT, {}},
    {"D18", 1230, 8018, YEAR_END, 2, 0, "27.mes", PlaceText("コンビニ"), NO_SLOT, {NOTE_T}},
    {"D19", 1231, 8018, YEAR_END, 0, 0, "38.mes", HouseOf(5), NO_SLOT, {NOTE_T}},
    {"D20", 1232, 8015, YEAR_END, 0, 0, "33.mes", HouseOf(3), NO_SLOT, {NOTE_T}},
    {"D21", 1233, 8015, YEAR_END, 9, 0, "08.mes", PlaceText("図書室"), NO_SLOT, {NOTE_T}},
    {"D22", 1234, 8015, YEAR_END, 10, 0, "03.mes", PlaceText("屋上"), NO_SLOT, {NOTE_T}},
    {"D23", 1235, 8018, YEAR_END_LATE, 0, 0, "42.mes", HouseOf(1), NO_SLOT, {NOTE_T}},
    {"D24", 1236, 8018, YEAR_END_LATE, 0, 0, "29.mes", PlaceText("テニスコート"), NO_SLOT, {NOTE_T}},
    {"D25", 1238, 8018, YEAR_END_LATE, 0, 0, "35.mes", HouseOf(2), NO_SLOT, {NOTE_T}},
    {"D26", 1239, 8018, NEW_YEARS_EVE, 0, 0, "26.mes", PlaceText("マンション"), NO_SLOT, {}},
    {"D27", 1240, 8018, NEW_YEARS_EVE, 0, 0, "21.mes", PlaceText("旅行代理店"), NO_SLOT, {}},
    {"D28", 1241, 8018, NEW_YEARS_EVE, 0, 0, "15.mes", POND_PARK, NO_SLOT, {}},
    {"D29", 1242, 8015, NEW_YEARS_EVE, 3, 0, "49.mes", SECOND_SHRINE, NO_SLOT, {}},
};
// Indexes into OPEN_DATES: D18 on need Flags[1243] clear; D18 to D25 follow event 3; D26 on
// are left out once event 3 is listed unseen.
constexpr size_t FIRST_YEAR_END_DATE = 17;
constexpr size_t FIRST_NEW_YEARS_EVE_DATE = 25;

// The later events: FirstDate comes from the floor (0 here), LastDate 1306 unless single day.
constexpr HintWindow FLOOR_DAY{0, 1306, 800, 1800};
constexpr HintEventRow E1{"E1", 1213, 8015, {0, 1306, 1800, 2300}, 1, 8, "40.mes", MY_ROOM, 172, {NOTE_T}};
constexpr HintEventRow ROWS_E2_E7[] = {
    {"E2", 1288, 8015, {0, 1306, 1600, 1725}, 0, 0, "51.mes", BEACH, 173, {NOTE_T}},
    {"E3", 1289, 8018, FLOOR_DAY, 6, 0, "01.mes", SCHOOL, 174, {NOTE_T}},
    {"E4", 1291, 8020, FLOOR_DAY, 0, 0, "21.mes", PlaceText("旅行代理店"), 175, {NOTE_T}},
    {"E5", 1292, 8020, FLOOR_DAY, 0, 0, "26.mes", PlaceText("マンション"), 176, {NOTE_T}},
    {"E6", 1293, 8015, FLOOR_DAY, 6, 3, "05.mes", PlaceText("校庭"), 177, {NOTE_T}},
    {"E7", 1294, 8015, FLOOR_DAY, 6, 6, "07.mes", PlaceText("体育館裏"), 178, {NOTE_T}},
};
constexpr HintEventRow E8{"E8", 1298, 8018, {0, 1306, 0, 2355}, 1, 8, "40.mes", MY_ROOM, 179, {NOTE_T}};
constexpr HintEventRow E9{"E9", 8016, HINT_CODE_NONE, {0, -1, 0, 2359}, 6, 0, "01.mes", SCHOOL, 180, {NOTE_T}};
constexpr HintEventRow E10{"E10", 2052, HINT_CODE_NONE, FLOOR_DAY, 9, 0, "09a.mes", PlaceText("写真部"), 181, {Always(N1), NOTE_T}};
constexpr HintEventRow ROWS_E11_E23[] = {
    {"E11", 1345, 8020, FLOOR_DAY, 6, 0, "01.mes", SCHOOL, 182, {}},
    {"E12", 1336, 8015, {0, 1306, 1100, 1700}, 1, 0, "39.mes", MY_HOUSE, 183, {}},
    {"E13", 1346, 8020, FLOOR_DAY, 0, 0, "15.mes", POND_PARK, 184, {}},
    {"E14", 1347, 8018, FLOOR_DAY, 0, 0, "16a.mes", STATION, 185, {}},
    {"E15", 1349, 8015, FLOOR_DAY, 9, 0, "gakko3.mes", PlaceText("学園３階"), 186, {}},
    {"E16", 1351, 8020, FLOOR_DAY, 2, 0, "27.mes", PlaceText("コンビニ"), 187, {}},
    {"E17", 1352, 8020, FLOOR_DAY, 0, 0, "42.mes", HouseOf(1), 188, {}},
    {"E18", 1353, 8020, FLOOR_DAY, 0, 0, "29.mes", PlaceText("テニスコート"), 189, {}},
    {"E19", 1354, 8021, FLOOR_DAY, 0, 0, "26.mes", PlaceText("マンション"), 190, {}},
    {"E20", 1355, 8018, FLOOR_DAY, 6, 6, "07.mes", PlaceText("体育館裏"), 191, {}},
    {"E21", 1356, 8018, FLOOR_DAY, 0, 0, "30.mes", NURSERY, 192, {}},
    {"E22", 1357, 8021, FLOOR_DAY, 0, 0, "21.mes", PlaceText("旅行代理店"), 193, {}},
    {"E23", 1358, 8018, FLOOR_DAY, 0, 0, "31.mes", APARTMENT_B, 194, {}},
};
constexpr HintEventRow E24{"E24", 1359, 8018, {0, 1306, 1100, 1700}, 1, 0, "39.mes", MY_HOUSE, 195, {}};
constexpr HintEventRow E25{"E25", 1360, 8020, {0, 1306, 0, 1659}, 1, 8, "40.mes", MY_ROOM, 196, {}};
constexpr HintEventRow E26{"E26", 8017, 8015, {0, -1, 1700, 2230}, 4, 12, "25.mes", PlaceText("遊園地"), 197, {IfFree(N2)}};
constexpr HintEventRow E27{"E27", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {IfFree(C, 1)}};

// clang-format on
constexpr size_t MOOD_HEROINE1 = 953;

int32_t ClampA(int32_t date)
{
    return date > 1231 ? std::max(date, 1302) : date;
}

int32_t ClampB(int32_t date)
{
    return date > 1231 ? std::max(date, 1302) : std::max(date, 1229);
}

HintWindow FromFloor(const HintWindow& window, int32_t first_date)
{
    HintWindow moved = window;
    moved.FirstDate = first_date;
    return moved;
}

} // namespace

void BuildHeroineHints01(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context, context.IsFlagSet(FLAG_HOT_SPRING_TRIP) || context.IsFlagSet(1247));
    uint32_t latch = builder.Latch;

    // Event 1: once she has been met (Flags[1173]) it can only follow on a later day.
    HintWindow event1_window = EVENT1.Window;
    if (builder.Flag(EVENT1.Seen) != 1 && builder.IsSet(1173)) {
        if (context.Date < 1223)
            event1_window.FirstDate = context.Date + 1;
        else
            builder.Latch = 1;
    }
    builder.List(EVENT1, out, {.Window = &event1_window});
    builder.List(EVENT2, out);
    latch = builder.Latch;

    uint32_t marker = 0;
    int32_t saved_date = 0;
    const uint32_t open_latch_start = builder.IsSet(1243) ? 1 : latch;
    if ((builder.IsSet(2051) || builder.IsSet(1081)) && (builder.IsSet(1245) || builder.IsSet(1243))) {
        HintBuilder::Listed event3 = builder.List(EVENT3, out, {.LatchFromTest = false});
        saved_date = event3.Record.FirstDate;
        if (!event3.Seen) {
            builder.Latch = 1;
            marker = 1;
        }
    }
    latch = builder.Latch;

    uint32_t counter = 0;
    for (const DateRange& range : DATE_RANGES) {
        for (uint32_t flag = range.FirstFlag; flag <= range.LastFlag && counter < DATES_NEEDED; ++flag) {
            if (builder.IsSet(flag)) {
                builder.ListSeenDate(HEROINE1_DATE_CODE, 2, range.FirstSlot + (flag - range.FirstFlag), out);
                ++counter;
            }
        }
    }

    // Open dates: the first one that cannot be reached ends the listing of the rest.
    HintBuilder open(context, open_latch_start);
    for (size_t index = 0; index < std::size(OPEN_DATES); ++index) {
        const HintEventRow& row = OPEN_DATES[index];
        if (builder.Flag(row.Seen) != 0 || counter >= DATES_NEEDED)
            continue;
        if (index >= FIRST_YEAR_END_DATE && builder.IsSet(1243))
            continue;
        if (index >= FIRST_NEW_YEARS_EVE_DATE && marker == 1)
            continue;
        if (index >= FIRST_YEAR_END_DATE && marker == 1 && saved_date > 1231)
            open.Latch = 1;
        FlagHintRecord record = open.Prepare(row, row.Window);
        if (CheckEventWindow(context, record) != 0)
            open.Latch = 1;
        if (open.IsMissed())
            continue;
        record.Status = HINT_POSSIBLE;
        open.Finish(record, row);
        out.push_back(record);
        ++counter;
    }
    builder.Latch = counter < DATES_NEEDED ? 1 : latch;

    // The later events start no earlier than the events before them.
    const auto floor_of = [&](int32_t date, int32_t (*clamp)(int32_t)) {
        const int32_t clamped = clamp(date);
        return marker == 1 ? std::max(clamped, saved_date) : clamped;
    };
    const int32_t floor = out.back().FirstDate;
    HintWindow window = FromFloor(E1.Window, floor_of(floor, ClampA));
    const int32_t e1_date = builder.List(E1, out, {.Window = &window}).Record.FirstDate;
    int32_t e7_date = e1_date;
    for (const HintEventRow& row : ROWS_E2_E7) {
        window = FromFloor(row.Window, floor_of(e1_date, ClampB));
        e7_date = builder.List(row, out, {.Window = &window}).Record.FirstDate;
    }
    window = FromFloor(E8.Window, floor_of(e7_date, ClampA));
    if (window.FirstDate == 1231)
        window.LatestTime = 2255;
    const FlagHintRecord& e8 = builder.List(E8, out, {.Window = &window}).Record;
    int32_t floor_date = e8.FirstDate;
    int32_t floor_time = e8.EarliestTime;
    AdvanceClockOf(floor_date, floor_time, 60);

    // E9 follows straight on from the evening before: never tested, and it frees the events after it.
    if (builder.Flag(E9.Seen) == 1) {
        builder.List(E9, out);
    } else {
        int32_t carry_date = floor_date;
        int32_t time = context.Time;
        AdvanceClockOf(carry_date, time, 15);
        FlagHintRecord record = builder.Prepare(E9, {floor_date, -1, time, 2359});
        builder.Latch = 0;
        record.Status = HINT_POSSIBLE;
        builder.Finish(record, E9);
        out.push_back(record);
        context.SetFlag(E9.Seen, 1);
    }

    window = FromFloor(E10.Window, floor_date);
    floor_date = builder.List(E10, out, {.Window = &window}).Record.FirstDate;
    context.SetFlag(2052, 1);
    context.SetFlag(1322, 1);

    for (const HintEventRow& row : ROWS_E11_E23) {
        window = FromFloor(row.Window, std::max(floor_date, 1302));
        builder.List(row, out, {.Window = &window});
    }
    window = FromFloor(E24.Window, std::max(floor_date, 1304));
    floor_date = builder.List(E24, out, {.Window = &window}).Record.FirstDate;
    window = FromFloor(E25.Window, std::max(floor_date, 1304));
    floor_date = builder.List(E25, out, {.Window = &window}).Record.FirstDate;
    if (builder.IsSet(1362) || builder.IsSet(983))
        builder.Latch = 1;

    window = FromFloor(E26.Window, floor_date);
    builder.List(E26, out, {.Window = &window});

    FlagHintRecord& e27 = builder.List(E27, out).Record;
    if (builder.Flag(MOOD_HEROINE1) < HINT_MOOD_NEEDED) {
        e27.Status = HINT_MISSED;
        e27.Note = builder.NoteText({M, 1});
    }
}
