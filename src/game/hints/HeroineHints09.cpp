#include "game/hints/HeroineHints.h"

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr std::array<NoteStep, 3> STORY_THEN_TRIP{NOTE_A1, NOTE_T};
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow ROWS[] = {
    {"1", 540, 8040, {1225, 1228, 900, 1500}, 0, 1, "16a.mes", STATION, 309, STORY_THEN_TRIP},
    {"2", 541, 8041, {1226, 1228, 900, 1500}, 0, 1, "16a.mes", STATION, 310, STORY_THEN_TRIP},
    {"3", 557, 8040, {1229, -1, 850, 930}, 0, 0, "29.mes", PlaceText("テニスコート"), 311, STORY_THEN_TRIP},
    {"4", 582, 8040, {1230, -1, 1240, 1400}, 3, 2, "17.mes", SECOND_STATION, 312, {IfFreeText("※その通りだ→その通りだ→全然違うぞ\n　→つき合ってあげる→一緒に部屋へ行く"), NOTE_A1, NOTE_T}},
};
constexpr HintEventRow R5{"5", 584, 8040, {1306, -1, 900, 1100}, 1, 10, "41.mes", PlaceText("リビング"), 313, STORY_THEN_TRIP};
constexpr HintEventRow R5_EVENING{"5", 584, 8040, {1306, -1, 1700, 2300}, 1, 10, "41.mes", PlaceText("リビング"), 313, STORY_THEN_TRIP};
constexpr HintEventRow R6{"6", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

} // namespace

void BuildHeroineHints09(HintContext& context, std::vector<FlagHintRecord>& out)
{
    const uint32_t start = context.IsFlagSet(2084) || context.IsFlagSet(FLAG_HOT_SPRING_TRIP) ||
                           context.IsFlagSet(FLAG_HEROINE1_STORY);
    HintBuilder builder(context, start);
    const int32_t date = context.Date;
    const int32_t time = context.Time;
    if (builder.IsSet(541) && builder.Flag(557) == 0 && (date >= 1230 || (date == 1229 && time >= 931)))
        builder.Latch = 1;
    if (builder.IsSet(557)) {
        if (builder.IsSet(573))
            builder.Latch = start;
        else
            builder.Latch = date >= 1231 || (date == 1230 && time >= 1401) ? 1 : start;
    }

    for (const HintEventRow& row : ROWS)
        builder.List(row, out);

    // The last morning can still be made up for in the evening; only that second try counts.
    builder.ListWithRetry(R5, R5_EVENING, out, {.SetSeen = false});

    builder.FinishConfession(builder.List(R6, out).Record, {C, 9}, 9, builder.Flag(R5.Seen) == 0);
}
