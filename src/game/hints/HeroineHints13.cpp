#include "game/hints/HeroineHints.h"

#include <functional>

#include "game/hints/CastNames.h"
#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

constexpr HintPlace CAFE = PlaceText("喫茶店");
constexpr HintPlace LIVING = PlaceText("リビング");

// The tables, one row a line as their columns stand.
// clang-format off
enum class Visit : uint8_t
{
    Counted, // V1 to V5: one more visit of the run
    Night,   // N: listed apart from the run
    Last,    // V6: carries its date on a run of four
};
struct VisitRow
{
    size_t ListedWhenClear; // the flag that must be 0 for the row to be listed
    Visit Kind;
    HintEventRow Row;
};
// Listed when, then Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr VisitRow VISITS[] = {
    {249, Visit::Counted, {"V1", 0, 8047, {1223, -1, 1400, 1655}, 1, 9, "63a.mes", CAFE, NO_SLOT, {}}},
    {254, Visit::Counted, {"V2", 0, 8047, {1224, -1, 1400, 1655}, 1, 9, "63a.mes", CAFE, NO_SLOT, {}}},
    {258, Visit::Counted, {"V3", 0, 8047, {1225, -1, 1400, 1655}, 1, 9, "63a.mes", CAFE, NO_SLOT, {}}},
    {261, Visit::Night, {"N", 0, 8047, {1226, -1, 0, 500}, 1, 10, "41.mes", LIVING, NO_SLOT, {}}},
    {265, Visit::Counted, {"V4", 0, 8047, {1226, -1, 1400, 1555}, 1, 9, "63a.mes", CAFE, NO_SLOT, {}}},
    {269, Visit::Counted, {"V5", 0, 8047, {1227, -1, 1300, 1655}, 1, 9, "63a.mes", CAFE, NO_SLOT, {}}},
    {280, Visit::Last, {"V6", 0, 8047, {1228, -1, 1400, 1655}, 1, 9, "63a.mes", CAFE, NO_SLOT, {}}},
};
constexpr HintEventRow R1{"1", 275, 8048, {0, 1229, 100, 400}, 1, 10, "41.mes", LIVING, 330, {}};
constexpr HintEventRow R2{"2", 608, 8049, {1305, -1, 700, 1000}, 1, 10, "41.mes", LIVING, 331, {}};
constexpr HintEventRow R2_CAFE{"2", 608, 8049, {1305, -1, 1100, 1700}, 1, 9, "63a.mes", CAFE, 331, {}};
constexpr HintEventRow R2_EVENING{"2", 608, 8049, {1305, -1, 1800, 2200}, 1, 10, "41.mes", LIVING, 331, {}};
constexpr HintEventRow R3{"3", 0, 8050, {1306, -1, 130, 300}, 1, 10, "41.mes", LIVING, 332, {}};
constexpr HintEventRow R4{"4", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

constexpr uint32_t SEEN_VISITS = 5;
constexpr size_t FIRST_VISIT_FLAG = 2090;
constexpr size_t FIRST_VISIT_SLOT = 324;
constexpr size_t MOOD_HEROINE13 = 950;
constexpr const char* BACK_TO_THE_LIVING_ROOM = "※→リビングに戻る";

// Following heroine 1, back from the trip, or else the rule of the row.
void StoryTripOr(HintBuilder& builder, FlagHintRecord& record, const std::function<void()>& otherwise)
{
    if (builder.Flag(FLAG_HEROINE1_STORY) == 1)
        record.Note = builder.NoteText({A, 1});
    else if (builder.Flag(FLAG_HOT_SPRING_TRIP) == 1)
        record.Note = builder.NoteText({T});
    else
        otherwise();
}

// While heroine 6 is pressing (the mark), heroine 13's events give way to hers.
void MissForHeroine6(HintBuilder& builder, FlagHintRecord& record)
{
    record.Status = HINT_MISSED;
    record.Note = builder.NoteText({A, 6});
    builder.Latch = 1;
}

} // namespace

uint32_t BuildHeroineHints13Part2(HintContext& context, int32_t date, int32_t, int32_t)
{
    if (context.Flag(188) == 0)
        return 1;
    int32_t visit = context.Flag(188) == 1 ? context.Word(1198) : 0;
    for (size_t k = 0; k < 6; ++k) {
        if (context.Flag(2077 + k) == 1)
            visit = context.Word(1200 + 2 * k);
    }
    if (visit == date)
        return 0;
    if (visit > date)
        return context.Time <= 1700 && context.Flag(242) == 0 ? 1 : 0;
    if (context.Time < 1700)
        return 1;
    return context.Time == 1700 && context.Flag(242) == 0 ? 1 : 0;
}

void BuildHeroineHints13(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context,
                        context.IsFlagSet(FLAG_HOT_SPRING_TRIP) || context.IsFlagSet(FLAG_HEROINE1_STORY));
    uint32_t pressure = context.Date == 1222 ? BuildHeroineHints13Part2(context, 1222, 0, 0) : 0;

    // The unbroken run of seen visits.
    std::vector<FlagHintRecord> seen;
    uint32_t visits = 0;
    int32_t last_seen = 0;
    for (uint32_t pass = 0; pass < SEEN_VISITS; ++pass) {
        if (builder.Flag(FIRST_VISIT_FLAG + visits) != 1)
            continue;
        builder.ListSeenDate(8047, 1, FIRST_VISIT_SLOT + visits, seen);
        seen.back().Location = 9;
        last_seen = seen.back().FirstDate;
        if (visits == 4 && builder.Flag(270) == 0) {
            seen.back().Status = HINT_MISSED;
            seen.back().Note = BACK_TO_THE_LIVING_ROOM;
        }
        ++visits;
    }
    if (builder.Flag(261) == 1) {
        builder.ListSeenDate(8047, 1, 329, seen);
        seen.back().Location = 10;
    }
    SortHintsByDate(seen, out);
    if (last_seen == context.Date && BuildHeroineHints13Part2(context, context.Date, 0, 0) == 1)
        pressure = 1;
    int32_t carried = last_seen;

    for (const VisitRow& visit : VISITS) {
        if (builder.Flag(visit.ListedWhenClear) != 0 || (visit.Kind != Visit::Night && visits >= 5))
            continue;
        FlagHintRecord& record = builder.List(visit.Row, out).Record;
        StoryTripOr(builder, record, [&] {
            if (pressure == 1)
                MissForHeroine6(builder, record);
            else if (visits == 4)
                record.Note = BACK_TO_THE_LIVING_ROOM;
        });
        if (visit.Kind == Visit::Counted && ++visits == 5)
            carried = record.FirstDate;
        if (visit.Kind == Visit::Last && visits == 4)
            carried = record.FirstDate;
    }

    const bool not_home = builder.Flag(270) == 0;
    if (not_home && (context.Date > 1228 || (context.Date == 1228 && context.Time > 1700)))
        builder.Latch = 1;
    if (BuildHeroineHints13Part2(context, context.Date, 0, 0) == 1)
        pressure = 1;

    const HintWindow r1_window{carried, 1229, 100, 400};
    HintBuilder::Listed r1 = builder.List(R1, out, {.Window = &r1_window});
    if (!r1.Seen) {
        StoryTripOr(builder, r1.Record, [&] {
            if (pressure == 1)
                MissForHeroine6(builder, r1.Record);
        });
    }

    // On its day the morning has two later chances; a window that can be reached stays, and only
    // the last one's test counts for the latch.
    const HintEventRow* r2_row = &R2;
    bool r2_latch_from_test = true;
    if (context.Date == 1305 && builder.Flag(R2.Seen) != 1) {
        r2_row = &R2_EVENING;
        for (const HintEventRow* row : {&R2, &R2_CAFE}) {
            FlagHintRecord trial = builder.Prepare(*row, row->Window);
            if (CheckEventWindow(context, trial) == 0) {
                r2_row = row;
                r2_latch_from_test = false;
                break;
            }
        }
    }
    HintBuilder::Listed r2 = builder.List(*r2_row, out, {.LatchFromTest = r2_latch_from_test});
    if (!r2.Seen) {
        StoryTripOr(builder, r2.Record, [&] {
            if (builder.Flag(8063) == 0)
                MissForHeroine6(builder, r2.Record);
        });
    }

    if (builder.Flag(618) != 0 && builder.Flag(618) != 4)
        builder.Latch = 1;
    HintBuilder::Listed r3 = builder.List(R3, out, {.ForceSeen = builder.Flag(618) == 4});
    context.SetFlag(618, 4);
    if (!r3.Seen) {
        if (!builder.IsMissed()) {
            const CStringUTF8 name = context.GetNames().HeroineGiven(13);
            CStringUTF8 note = CStringUTF8("※") + name + "さんが大好き→" + name;
            note.Append("さんを抱きたい");
            r3.Record.Note = note;
        }
        StoryTripOr(builder, r3.Record, [&] {
            if (builder.Flag(242) == 0)
                MissForHeroine6(builder, r3.Record);
        });
    }

    builder.FinishConfession(builder.List(R4, out).Record, {K, 13}, 13,
                             builder.Flag(MOOD_HEROINE13) < HINT_MOOD_NEEDED);
}
