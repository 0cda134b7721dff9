#include "game/hints/HeroineHints.h"

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr NoteStep NOTE_PROMISE{NoteWhen::Free, {Named, 7, "と約束する"}};
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow R1{"1", 486, 8037, {1222, 1224, 930, 1030}, 9, 0, "08.mes", PlaceText("図書室"), 279, {IfFreeText("※誘いに来たぞ"), NOTE_A1_FREE, NOTE_T}};
constexpr HintEventRow R2{"2", 491, 8037, {1225, -1, 930, 1030}, 0, 0, "29.mes", PlaceText("テニスコート"), 280, {NOTE_PROMISE, NOTE_A1_FREE, NOTE_T}};
constexpr HintEventRow R3{"3", 499, 8037, {1227, -1, 1230, 1330}, 4, 0, "22.mes", STUDIO, 281, {IfFreeText("※まだ帰らない→行ってもいいぞ\n　→自分の家に行くぞ"), NOTE_A1, NOTE_T}};
constexpr HintEventRow R4{"4", 2057, 8037, {1305, 1306, 800, 1400}, 0, 0, "39.mes", MY_HOUSE, 297, {IfFreeText("※仲直りをする"), NOTE_A1, NOTE_T}};
constexpr HintEventRow R5{"5", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};

// The meeting place the story chose (Flags[523]).
constexpr HintEventRow MEETINGS[] = {
    {"B", 0, 8037, {0, 1306, 900, 1800}, 0, 0, "14.mes", TOWN_PARK, NO_SLOT, {NOTE_A1, NOTE_T}},
    {"B", 0, 8037, {0, 1306, 900, 1800}, 0, 0, "43.mes", HOUSE_D, NO_SLOT, {NOTE_A1, NOTE_T}},
    {"B", 0, 8037, {0, 1306, 900, 1800}, 0, 0, "15.mes", POND_PARK, NO_SLOT, {NOTE_A1, NOTE_T}},
    {"B", 0, 8037, {0, 1306, 900, 1800}, 0, 0, "21.mes", PlaceText("旅行代理店"), NO_SLOT, {NOTE_A1, NOTE_T}},
};
// clang-format on

constexpr size_t MOOD_HEROINE7 = 522;
constexpr uint32_t MEETING_COUNT = 15;
constexpr size_t FIRST_MEETING_FLAG = 2060;
constexpr size_t FIRST_MEETING_SLOT = 282;
constexpr int32_t R3_MONEY_NEEDED = 1500;

} // namespace

uint32_t BuildHeroineHints07Part2(HintContext& context, std::vector<FlagHintRecord>& out, int32_t latch)
{
    HintBuilder builder(context, latch != 0);
    if ((context.Date >= 1306 && builder.Flag(MOOD_HEROINE7) < 15) || builder.IsSet(534))
        builder.Latch = 1;

    // Seen meetings take the slots in the order they were seen.
    uint32_t count = 0;
    for (uint32_t k = 0; k < MEETING_COUNT; ++k) {
        if (builder.Flag(FIRST_MEETING_FLAG + k) == 1)
            builder.ListSeenDate(8037, 0, FIRST_MEETING_SLOT + count++, out);
    }
    if (builder.Flag(MOOD_HEROINE7) == 15)
        return builder.Latch;

    // The meetings to come; a place the story never chose lists none, and every turn counts so
    // that the prediction ends whatever the state holds.
    const uint8_t place = builder.Flag(523);
    for (; count < MEETING_COUNT; ++count) {
        if (place >= std::size(MEETINGS))
            continue;
        const int32_t first = count < 6 ? 1229 : count < 11 ? 1231 : 1303;
        const HintWindow window{first, 1306, 900, 1800};
        builder.List(MEETINGS[place], out, {.Window = &window});
    }
    return builder.Latch;
}

void BuildHeroineHints07(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context,
                        context.IsFlagSet(FLAG_HOT_SPRING_TRIP) || context.IsFlagSet(FLAG_HEROINE1_STORY));
    const std::pair<size_t, size_t> needed[] = {{487, 486}, {496, 491}, {506, 499}, {2057, 533}};
    for (const auto& [first, second] : needed) {
        if (builder.Flag(first) == 0 && builder.IsSet(second))
            builder.Latch = 1;
    }

    builder.List(R1, out);
    builder.List(R2, out);
    HintBuilder::Listed r3 = builder.List(R3, out);
    if (!r3.Seen && context.Money < R3_MONEY_NEEDED && !builder.IsMissed()) {
        r3.Record.Note = builder.NoteText({Q});
        r3.Record.Status = HINT_MISSED;
        builder.Latch = 1;
    }

    std::vector<FlagHintRecord> meetings;
    builder.Latch = BuildHeroineHints07Part2(context, meetings, static_cast<int32_t>(builder.Latch));
    SortHintsByDate(meetings, out);

    // The make-up follows the last meeting: on the last day it cannot start before it.
    HintWindow window = R4.Window;
    if (out.back().FirstDate == HINT_LAST_DAY) {
        if (out.back().EarliestTime < 1400)
            window.EarliestTime = out.back().EarliestTime;
        else
            builder.Latch = 1;
    }
    builder.List(R4, out, {.Window = &window});

    FlagHintRecord& last = builder.List(R5, out).Record;
    if (!builder.IsMissed()) {
        last.Note = builder.NoteText({C, 7});
        if (builder.Flag(MOOD_HEROINE7) < HINT_MOOD_NEEDED) {
            last.Status = HINT_MISSED;
            last.Note = builder.NoteText({M, 7});
        }
    }
}
