#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "game/hints/CastNames.h"
#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr std::array<NoteStep, 3> STORY_THEN_TRIP{NOTE_A1, NOTE_T};
constexpr std::array<NoteStep, 3> STORY{NOTE_A1};
constexpr HintPlace LIVING = PlaceText("リビング");
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow SHARED_R1{"1", 1076, 8035, {1228, -1, 1000, 2100}, 1, 8, "40.mes", MY_ROOM, 270, {IfFreeText("※旅行に行ってやる→女の子を誘う"), NOTE_A1}};
constexpr HintEventRow SHARED_R2{"2", 1082, 8052, {1229, -1, 700, 800}, 0, 1, "16a.mes", STATION, 350, STORY_THEN_TRIP};
constexpr HintEventRow R3{"3", 1504, 8054, {1301, -1, 1700, 2000}, 1, 0, "39.mes", MY_HOUSE, 357, STORY_THEN_TRIP};
constexpr HintWindow R3_IN_JANUARY{1302, 1303, 700, 2000};
constexpr HintEventRow ROWS_R4_R7[] = {
    {"4", 1509, 8055, {1301, 1304, 800, 1800}, 1, 10, "41.mes", LIVING, 358, STORY},
    {"5", 1518, 8056, {1301, 1305, 2000, 2300}, 1, 10, "41.mes", LIVING, 359, {IfFreeText("※自分の部屋へ戻る"), NOTE_A1}},
    {"6", 1515, 8054, {1302, 1306, 800, 1800}, 0, 0, "30.mes", NURSERY, 360, STORY},
    {"7", 1524, 8054, {1302, 1306, 800, 1800}, 0, 0, "15.mes", POND_PARK, 361, STORY},
};
constexpr HintEventRow R8{"8", 1526, 8055, {0, 1306, 800, 1800}, 1, 0, "39.mes", MY_HOUSE, 362, STORY};
constexpr HintEventRow R9{"9", 1532, 8056, {0, 1306, 800, 1800}, 1, 0, "39.mes", MY_HOUSE, 363, STORY};
constexpr HintEventRow R10{"10", 1534, 8054, {0, 1306, 800, 2000}, 3, 1, "17.mes", SECOND_STATION, 364, STORY};
constexpr HintEventRow R11{"11", 1564, 8054, {1303, 1305, 2000, 2355}, 1, 8, "40.mes", MY_ROOM, 377, {}};
constexpr HintEventRow R12{"12", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};

// Sub-list A: the branch block (no seen test, no flag set) and the dates of the new year.
constexpr HintEventRow BRANCH_A{"A-a", 0, 8054, {0, 1305, 700, 1800}, 0, 1, "16a.mes", STATION, NO_SLOT, STORY};
constexpr HintEventRow BRANCH_B{"A-b", 0, 8054, {0, 1305, 800, 2000}, 0, 0, "29.mes", PlaceText("テニスコート"), NO_SLOT, STORY};
constexpr HintEventRow BRANCH_C{"A-c", 0, 8054, {0, 1305, 700, 1800}, 0, 1, "16a.mes", STATION, NO_SLOT, STORY};
constexpr HintEventRow BRANCH_D{"A-d", 0, 8054, {0, 1305, 700, 1800}, 0, 1, "16a.mes", STATION, NO_SLOT, STORY};
constexpr HintEventRow DATES[] = {
    {"A1", 1549, 8054, {0, 1305, 800, 2000}, 0, 0, "26.mes", PlaceText("マンション"), 365, {}},
    {"A2", 1551, 8054, {0, 1305, 800, 2000}, 0, 0, "21.mes", PlaceText("旅行代理店"), 366, {}},
    {"A3", 1552, 8054, {0, 1305, 800, 2000}, 0, 0, "27.mes", PlaceText("コンビニ"), 367, {}},
    {"A4", 1553, 8054, {0, 1305, 800, 2000}, 3, 0, "18.mes", PlaceText("ゲームセンター"), 368, {}},
    {"A5", 1555, 8054, {0, 1305, 800, 2000}, 0, 0, "31.mes", APARTMENT_B, 369, {}},
    {"A6", 1556, 8054, {0, 1305, 800, 2000}, 0, 0, "14.mes", TOWN_PARK, 370, {}},
    {"A7", 1557, 8054, {0, 1305, 800, 2200}, 0, 0, "34.mes", HouseOf(7), 371, {}},
    {"A8", 1558, 8057, {0, 1305, 800, 2200}, 1, 10, "41.mes", LIVING, 372, {}},
    {"A9", 1559, 8054, {0, 1305, 800, 1900}, 0, 0, "37.mes", HOUSE_B, 373, {}},
    {"A10", 1560, 8057, {0, 1305, 800, 1800}, 1, 0, "39.mes", MY_HOUSE, 374, {}},
    {"A11", 1562, 8054, {0, 1305, 800, 1900}, 6, 0, "01.mes", SCHOOL, 375, {}},
    {"A12", 1563, 8058, {0, 1305, 800, 2200}, 1, 10, "41.mes", LIVING, 376, STORY},
};
// clang-format on

struct SeenOnly
{
    size_t Flag;
    size_t Slot;
};
// Flags 1565 and 1566 belong to alternative branches and share one slot.
constexpr SeenOnly SEEN_ONLY[] = {{1550, 383}, {1567, 384}, {1565, 386}, {1566, 386}};

constexpr size_t MOOD_HEROINE8 = 962;
constexpr size_t MOOD_HEROINE14 = 961;
constexpr size_t SEEN_DATE_OF_SLOT_385 = 1372;

// A record of the branch block: missed by its own test or by the latch it reads, changing none.
FlagHintRecord& ListBranch(HintBuilder& builder, const HintEventRow& row, int32_t day, uint32_t latch,
                           std::vector<FlagHintRecord>& out)
{
    const uint32_t kept = builder.Latch;
    builder.Latch = latch;
    const HintWindow window{day, row.Window.LastDate, row.Window.EarliestTime, row.Window.LatestTime};
    FlagHintRecord& record = builder.List(row, out, {.Window = &window, .LatchFromTest = false}).Record;
    builder.Latch = kept;
    return record;
}

} // namespace

void ListSharedFirstEvents(HintBuilder& builder, std::vector<FlagHintRecord>& out)
{
    HintBuilder::Listed r1 = builder.List(SHARED_R1, out);
    if (!r1.Seen) {
        if (builder.Flag(FLAG_HOT_SPRING_TRIP) == 1) {
            r1.Record.Note = builder.NoteText({T});
        } else if (builder.Flag(1383) == 0) {
            r1.Record.Status = HINT_MISSED;
            r1.Record.Note = builder.NoteText({A, 5});
            builder.Latch = 1;
        }
    }
    builder.List(SHARED_R2, out, {.SceneWhenSeen = false});
}

uint32_t BuildHeroineHints08Part2(HintContext& context, std::vector<FlagHintRecord>& out, uint32_t latch)
{
    HintBuilder builder(context, latch);
    for (const SeenOnly& seen : SEEN_ONLY) {
        if (builder.Flag(seen.Flag) == 1) {
            builder.ListSeenDate(8054, 0, seen.Slot, out);
            out.back().Location = 1;
        }
    }

    int32_t day = 0;
    if (builder.IsSet(1533) && builder.Flag(1576) == 0) {
        day = std::min(FollowingDay(context.Word(SEEN_DATE_OF_SLOT_385)), 1305);
        const uint32_t held = builder.Latch;
        if (builder.IsSet(1540) && builder.IsSet(1546) && !builder.IsSet(1566))
            ListBranch(builder, BRANCH_A, day, held, out);
        if (builder.IsSet(1540) && builder.Flag(1546) == 0) {
            uint32_t held_b = held;
            if (!builder.IsSet(1567))
                held_b = ListBranch(builder, BRANCH_B, day, held, out).Status == HINT_MISSED ? 1 : held;
            if (!builder.IsSet(1565))
                ListBranch(builder, BRANCH_C, day, held_b, out);
        }
        if (builder.Flag(1540) == 0 && !builder.IsSet(1550))
            ListBranch(builder, BRANCH_D, day, held, out);
        builder.Latch = 1;
    }

    for (const HintEventRow& row : DATES) {
        const HintWindow window{day != 0 ? day : 1303, 1305, 800, row.Window.LatestTime};
        HintBuilder::Listed listed = builder.List(row, out, {.Window = &window});
        if (listed.Seen || &row == &DATES[std::size(DATES) - 1])
            continue;
        if (builder.Flag(FLAG_HEROINE1_STORY) == 1) {
            listed.Record.Note = builder.NoteText({A, 1});
        } else if (builder.Flag(1533) == 1 && builder.Flag(MOOD_HEROINE14) < 12 && !builder.IsMissed()) {
            listed.Record.Status = HINT_MISSED;
            listed.Record.Note = builder.NoteText({A, 14});
            builder.Latch = 1;
        }
    }
    return builder.Latch;
}

void BuildHeroineHints08(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    for (const size_t flag :
         {size_t{6070}, size_t{1078}, FLAG_HOT_SPRING_TRIP, size_t{1507}, FLAG_HEROINE1_STORY}) {
        if (builder.IsSet(flag))
            builder.Latch = 1;
    }
    if (context.Date >= 1230 && builder.Flag(1082) == 0)
        builder.Latch = 1;
    ListSharedFirstEvents(builder, out);

    int32_t carried =
        builder.List(R3, out, {.Window = context.Date > 1301 ? &R3_IN_JANUARY : &R3.Window}).Record.FirstDate;
    for (const HintEventRow& row : ROWS_R4_R7)
        builder.List(row, out);
    // The evenings at home follow the first one, a day apart.
    if (builder.Flag(R8.Seen) == 1) {
        builder.List(R8, out);
    } else {
        carried = carried >= 1303 ? FollowingDay(carried) : 1303;
        const HintWindow window{carried, 1306, 800, 1800};
        builder.List(R8, out, {.Window = &window});
    }
    if (builder.Flag(R9.Seen) == 1) {
        builder.List(R9, out);
    } else {
        carried = carried < 1303 ? 1303 : FollowingDay(carried);
        const HintWindow window{carried, 1306, 800, 1800};
        builder.List(R9, out, {.Window = &window});
    }
    const HintWindow r10_window{carried, 1306, 800, 2000};
    builder.List(R10, out, {.Window = &r10_window});

    std::vector<FlagHintRecord> dates;
    builder.Latch = BuildHeroineHints08Part2(context, dates, builder.Latch);
    SortHintsByDate(dates, out);

    HintBuilder::Listed r11 = builder.List(R11, out);
    if (!r11.Seen) {
        if (!builder.IsMissed()) {
            if (builder.Flag(1546) == 0) {
                const CStringUTF8 name = builder.Context.GetNames().HeroineGiven(8);
                CStringUTF8 note = CStringUTF8("※") + name + "ちゃんタイプ→" + name + "を大人にするぞ\n　→";
                note.Append(name.GetText());
                note.Append("を大人にするぞ");
                r11.Record.Note = note;
            } else {
                r11.Record.Note = "※何もないと言うぞ";
            }
        }
        builder.ApplyNotes(r11.Record, {NOTE_A1});
    }

    builder.FinishConfession(builder.List(R12, out).Record, {K, 8}, 8, builder.Flag(MOOD_HEROINE8) < 12);
}
