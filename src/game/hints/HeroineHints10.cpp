#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr std::array<NoteStep, 3> STORY_THEN_TRIP{NOTE_A1, NOTE_T};
constexpr NoteStep NOTE_RESCUE{NoteWhen::Always, {Literal, 0, "※身体をはって助ける→喫茶店に行こう"}};
constexpr NoteStep NOTE_VIDEO{NoteWhen::Always, {Video}};
constexpr NoteStep NOTE_COSTUME{NoteWhen::Always, {Literal, 0, "※衣装を借りる"}};
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow R1{"1", 402, 8042, {1222, -1, 900, 1500}, 0, 0, "30.mes", NURSERY, 314, STORY_THEN_TRIP};
constexpr HintEventRow R1_NEXT_MORNING{"1", 402, 8042, {1223, -1, 800, 1100}, 0, 0, "30.mes", NURSERY, 314, STORY_THEN_TRIP};
constexpr HintEventRow R2{"2", 406, 8043, {1223, -1, 1100, 1500}, 0, 0, "30.mes", NURSERY, 315, {NOTE_RESCUE, NOTE_A1, NOTE_T}};
constexpr HintEventRow B1{"B1", 425, 8042, {0, 1224, 0, 2230}, 4, 0, "22.mes", STUDIO, 317, {NOTE_VIDEO, NOTE_A1, NOTE_T}};
constexpr HintEventRow B2{"B2", 408, 8042, {0, 1224, 0, 1800}, 9, 15, "gakko3.mes", PlaceText("演劇部の倉庫"), 316, {NOTE_COSTUME, NOTE_A1, NOTE_T}};
constexpr HintEventRow R3{"3", 2089, 8044, {1224, -1, 1800, 2300}, 0, 0, "30.mes", NURSERY, 318, STORY_THEN_TRIP};
constexpr HintEventRow R4{"4", 8065, 8045, {1226, -1, 800, 2000}, 0, 0, "30.mes", NURSERY, 319, STORY_THEN_TRIP};
constexpr HintEventRow R5{"5", 437, 8042, {1228, 1229, 1700, 2200}, 1, 0, "39.mes", MY_HOUSE, 321, STORY_THEN_TRIP};
constexpr HintEventRow R6{"6", 441, 8046, {0, 1230, 900, 1600}, 0, 0, "30.mes", NURSERY, 322, STORY_THEN_TRIP};
constexpr HintEventRow R7{"7", 460, 8043, {1231, 1305, 1800, 2130}, 1, 0, "39.mes", MY_HOUSE, 323, {IfFreeText("※今はすごく暇である→自分も好きだと言う"), NOTE_A1, NOTE_T}};
constexpr HintEventRow R8{"8", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

constexpr HintWindow B2_LAST_DAY{1224, -1, 800, 1800};
constexpr size_t MOOD_HEROINE10 = 956;

// One minute later on the clock: 1059 becomes 1100, never 1060; a carry past midnight is dropped.
int32_t MinuteAfter(int32_t time)
{
    int32_t date = 0;
    AdvanceClockOf(date, time, 1);
    return time;
}

} // namespace

uint32_t BuildHeroineHints10Part2(HintContext& context, std::vector<FlagHintRecord>& out, int32_t date,
                                  int32_t time, uint32_t latch)
{
    HintBuilder builder(context, latch);
    const int32_t d = std::min(date, 1224);
    const HintWindow b1_window{d, 1224, time >= 1000 ? MinuteAfter(time) : 1000, 2230};
    int32_t t2 = builder.List(B1, out, {.Window = &b1_window}).Record.EarliestTime;

    int32_t f = d;
    if (t2 >= 1800) {
        t2 = 800;
        f = std::min(FollowingDay(d), 1224);
    }
    const HintWindow b2_window{f, 1224, t2 >= 800 ? MinuteAfter(t2) : 800, 1800};
    HintBuilder::Listed b2 = builder.List(B2, out, {.Window = &b2_window, .SetSeen = false});
    if (!b2.Seen && b2.Record.FirstDate != f && f == 1223) {
        // The storeroom is tried once more on the last day, and that result counts too.
        out.pop_back();
        builder.List(B2, out, {.Window = &B2_LAST_DAY, .SetSeen = false});
    }
    context.SetFlag(B2.Seen, 1);
    return builder.Latch;
}

void BuildHeroineHints10(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context,
                        context.IsFlagSet(FLAG_HOT_SPRING_TRIP) || context.IsFlagSet(FLAG_HEROINE1_STORY));
    builder.ListWithRetry(R1, R1_NEXT_MORNING, out);

    HintBuilder::Listed r2 = builder.List(R2, out);
    const int32_t carried_date = r2.Record.FirstDate;
    const int32_t carried_time = r2.Seen ? 1000 : r2.Record.EarliestTime;
    builder.Latch = BuildHeroineHints10Part2(context, out, carried_date, carried_time, builder.Latch);

    if (builder.Flag(426) == 1 && builder.Flag(2089) == 0)
        builder.Latch = 1;
    builder.List(R3, out);
    if (builder.Flag(431) == 0 && builder.Flag(433) == 1)
        builder.Latch = 1;
    builder.List(R4, out, {.SetSeen = false});
    context.SetFlag(431, 1);
    const int32_t after_r5 = FollowingDay(builder.List(R5, out).Record.FirstDate);
    const HintWindow r6_window{after_r5, 1230, 900, 1600};
    builder.List(R6, out, {.Window = &r6_window});
    builder.List(R7, out);

    const uint8_t mood = builder.Flag(MOOD_HEROINE10);
    builder.FinishConfession(builder.List(R8, out).Record, {mood == 15 ? C : K, 10}, 10, mood < 12);
}
