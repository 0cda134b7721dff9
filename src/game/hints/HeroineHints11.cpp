#include "game/hints/HeroineHints.h"

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr std::array<NoteStep, 3> STORY_THEN_TRIP{NOTE_A1, NOTE_T};
constexpr HintPlace AGENCY = PlaceText("旅行代理店");
constexpr NoteStep NOTE_ROOM_208{NoteWhen::Always, {Literal, 0, "※２０８号室に行く"}}; // also when missed
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow R1{"1", 1076, 8035, {1228, -1, 1000, 2100}, 1, 8, "40.mes", MY_ROOM, 270, {IfFree(I, 0), NOTE_A1}};
constexpr HintEventRow R2{"2", 1082, 8052, {1229, -1, 600, 800}, 1, 10, "41.mes", PlaceText("リビング"), 350, {IfFreeText("※手を元気に上げる"), NOTE_A1, NOTE_T}};
constexpr HintEventRow R3{"3", 1148, 8053, {1231, -1, 800, 1100}, 0, 0, "21.mes", AGENCY, 351, STORY_THEN_TRIP};
constexpr HintEventRow R4{"4", 1152, 8053, {1231, -1, 1400, 2000}, 0, 0, "21.mes", AGENCY, 352, STORY_THEN_TRIP};
constexpr HintEventRow R5{"5", 1156, 8053, {1301, -1, 800, 940}, 0, 0, "26.mes", PlaceText("マンション"), 353, {NOTE_ROOM_208, NOTE_A1, NOTE_T}};
constexpr HintEventRow SHIFT{"S", 0, 8053, {0, 1306, 0, 0}, 0, 0, "21.mes", AGENCY, NO_SLOT, STORY_THEN_TRIP};
constexpr HintEventRow FINAL{"F", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

constexpr size_t MORNING_TAKEN = 1068;
constexpr size_t AFTERNOON_TAKEN = 1069;
constexpr size_t MOOD_HEROINE11 = 963;
constexpr uint32_t FIRST_SERIES = 6;
constexpr uint32_t SECOND_SERIES = 3;

void NextShiftDay(HintContext& context, int32_t& day)
{
    day = NextHintDate(day);
    context.SetFlag(MORNING_TAKEN, 0);
    context.SetFlag(AFTERNOON_TAKEN, 0);
}

// The seen shifts of a series, while the latch is clear.
uint32_t ListSeenShifts(HintBuilder& builder, size_t first_flag, size_t first_slot, uint32_t count,
                        std::vector<FlagHintRecord>& out)
{
    uint32_t listed = 0;
    for (uint32_t k = 0; k < count && !builder.IsMissed(); ++k) {
        if (builder.Flag(first_flag + k) == 1) {
            builder.ListSeenDate(8053, 0, first_slot + k, out);
            ++listed;
        }
    }
    return listed;
}

} // namespace

uint32_t BuildHeroineHints11Part2(HintContext& context, int32_t& day, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    uint32_t missed = builder.IsSet(FLAG_HEROINE1_STORY);
    if (builder.Flag(1067) == 0 && context.Date >= 1228)
        missed = 1;
    if (builder.IsSet(AFTERNOON_TAKEN) || context.Time > 2000)
        NextShiftDay(context, day);
    if (DayOfWeek(day) == 3) // her day off
        NextShiftDay(context, day);
    if (context.Date >= 1230 && builder.Flag(1099) == 0)
        missed = 1;
    if (builder.IsSet(6070) || builder.IsSet(1078) || builder.IsSet(FLAG_HOT_SPRING_TRIP))
        missed = 1;

    // A morning that cannot be reached is left out: the afternoon is tried by the next call.
    if (builder.Flag(MORNING_TAKEN) == 0) {
        FlagHintRecord record = builder.Prepare(SHIFT, {day, 1306, 800, 1100});
        if (CheckEventWindow(context, record) == 0 && missed == 0) {
            record.Status = HINT_POSSIBLE;
            builder.Finish(record, SHIFT);
            out.push_back(record);
        }
        context.SetFlag(MORNING_TAKEN, 1);
        return 0;
    }
    if (builder.Flag(AFTERNOON_TAKEN) == 0) {
        FlagHintRecord record = builder.Prepare(SHIFT, {day, 1306, 1400, 2000});
        if (CheckEventWindow(context, record) != 0)
            missed = 1;
        record.Status = missed != 0 ? HINT_MISSED : HINT_POSSIBLE;
        builder.Finish(record, SHIFT);
        out.push_back(record);
        context.SetFlag(AFTERNOON_TAKEN, 1);
    }
    return missed;
}

void BuildHeroineHints11(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context, context.IsFlagSet(2095) || context.IsFlagSet(FLAG_HOT_SPRING_TRIP) ||
                                     context.IsFlagSet(FLAG_HEROINE1_STORY));
    int32_t day = context.Date;

    if (builder.Flag(1067) == 1)
        builder.ListSeenDate(8053, 0, 343, out);
    else if (BuildHeroineHints11Part2(context, day, out) != 0)
        builder.Latch = 1;

    uint32_t count = ListSeenShifts(builder, 2100, 344, FIRST_SERIES, out);
    if (count < FIRST_SERIES && context.Date >= 1228)
        builder.Latch = 1;
    for (; !builder.IsMissed() && count < FIRST_SERIES; ++count) {
        if (BuildHeroineHints11Part2(context, day, out) != 0)
            builder.Latch = 1;
    }

    HintBuilder::Listed r1 = builder.List(R1, out);
    if (!r1.Seen) {
        if (builder.Flag(FLAG_HOT_SPRING_TRIP) == 1) {
            r1.Record.Note = builder.NoteText({T});
        } else if (builder.Flag(1383) == 0 && !builder.IsMissed()) {
            r1.Record.Status = HINT_MISSED;
            r1.Record.Note = builder.NoteText({A, 5});
            builder.Latch = 1;
        }
    }
    for (const size_t flag : {6070, 2051, 1078, 2106, 1243, 2107}) {
        if (builder.IsSet(flag))
            builder.Latch = 1;
    }
    builder.List(R2, out);
    if (context.Date > 1230 &&
        !(builder.Flag(MOOD_HEROINE11) >= 9 && builder.IsSet(1150) && builder.IsSet(1099)))
        builder.Latch = 1;
    builder.List(R3, out);
    if (builder.IsSet(1149) && builder.Flag(1152) == 0)
        builder.Latch = 1;
    builder.List(R4, out);
    builder.List(R5, out);

    // The second series predicts its shifts whatever the latch; each shows its own status.
    count = ListSeenShifts(builder, 2108, 354, SECOND_SERIES, out);
    day = context.Date;
    if (count < SECOND_SERIES) {
        if (context.Date >= 1306 && context.Time >= 2000)
            builder.Latch = 1;
        for (; count < SECOND_SERIES; ++count) {
            if (BuildHeroineHints11Part2(context, day, out) != 0)
                builder.Latch = 1;
        }
    }

    builder.FinishConfession(builder.List(FINAL, out).Record, {K, 11}, 11, builder.Flag(MOOD_HEROINE11) < 12);
}
