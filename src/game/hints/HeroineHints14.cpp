#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "game/hints/HintBuilder.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr NoteStep NOTE_Q8{NoteWhen::Free, {Named, 8, "ちゃんタイプ→適当にごまかしちゃう"}};
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow R3{"3", 1564, 8054, {1303, 1305, 2000, 2355}, 1, 8, "40.mes", MY_ROOM, 377, {NOTE_Q8, NOTE_T}};
constexpr HintEventRow R4{"4", 1574, 8059, {0, -1, 800, 1700}, 1, 10, "41.mes", PlaceText("リビング"), 388, {NOTE_A1}};
constexpr HintEventRow R5{"5", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

} // namespace

void BuildHeroineHints14(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    for (const size_t flag :
         {size_t{6070}, size_t{1078}, FLAG_HOT_SPRING_TRIP, FLAG_HEROINE1_STORY, size_t{1572}}) {
        if (builder.IsSet(flag))
            builder.Latch = 1;
    }
    if (context.Date >= 1230 && builder.Flag(1082) == 0)
        builder.Latch = 1;

    ListSharedFirstEvents(builder, out);

    HintBuilder::Listed r3 = builder.List(R3, out, {.SetSeen = false});
    if (!r3.Seen) {
        if (builder.Flag(FLAG_HEROINE1_STORY) == 1) {
            r3.Record.Note = builder.NoteText({A, 1});
        } else if (builder.Flag(1563) == 0 && !builder.IsMissed()) {
            r3.Record.Status = HINT_MISSED;
            r3.Record.Note = builder.NoteText({A, 8});
            builder.Latch = 1;
        }
    }
    const HintWindow r4_window{std::min(FollowingDay(r3.Record.FirstDate), 1306), -1, 800, 1700};
    builder.List(R4, out, {.Window = &r4_window, .SetSeen = false});

    builder.FinishConfession(builder.List(R5, out).Record, {K, 14}, 14, builder.Flag(961) < 12);
}
