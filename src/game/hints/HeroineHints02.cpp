#include "game/hints/HeroineHints.h"

#include "game/hints/HintBuilder.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow H1{"H1", 906, 8035, {1222, 1227, 1100, 1500}, 0, 0, "39.mes", MY_HOUSE, 268, {NOTE_A1, NOTE_T}};
constexpr HintEventRow H2{"H2", 2054, 8035, {1228, -1, 1300, 1500}, 0, 0, "35.mes", HouseOf(2), 269, {IfFree(Z), NOTE_A1}};
constexpr HintEventRow H3{"H3", 1076, 8035, {1228, -1, 1000, 2100}, 1, 8, "40.mes", MY_ROOM, 270, {IfFree(I, 2), NOTE_A1, NOTE_T}};
constexpr HintEventRow H4{"H4", 1082, 8052, {1229, -1, 700, 800}, 0, 1, "16a.mes", STATION, 350, {NOTE_A1, NOTE_T}};
constexpr HintEventRow H5{"H5", 1116, 8035, {1230, 1231, 800, 1900}, 0, 0, "15.mes", POND_PARK, 271, {NOTE_A1, NOTE_T}};
constexpr HintEventRow H6{"H6", 1141, 8035, {1305, 1306, 800, 1500}, 10, 0, "03.mes", PlaceText("屋上"), 272, {NOTE_A1, NOTE_T}};
constexpr HintEventRow H7{"H7", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {IfFree(C, 2)}};

// clang-format on
constexpr size_t MOOD_HEROINE2 = 958;
constexpr int32_t H2_MONEY_NEEDED = 600;

} // namespace

void BuildHeroineHints02(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context,
                        context.IsFlagSet(FLAG_HOT_SPRING_TRIP) || context.IsFlagSet(FLAG_HEROINE1_STORY));

    builder.List(H1, out);
    if (builder.Flag(2054) == 1 && builder.Flag(MOOD_HEROINE2) < 13)
        builder.Latch = 1;

    HintBuilder::Listed h2 = builder.List(H2, out);
    if (!h2.Seen && builder.Flag(FLAG_HEROINE1_STORY) != 1 && context.Money < H2_MONEY_NEEDED &&
        !builder.IsMissed()) {
        h2.Record.Status = HINT_MISSED;
        builder.Latch = 1;
        h2.Record.Note = builder.NoteText({Q});
    }
    for (size_t flag : {6070, 2051, 1078, 2055, 1243, 1497}) {
        if (builder.IsSet(flag))
            builder.Latch = 1;
    }

    HintBuilder::Listed h3 = builder.List(H3, out);
    if (!h3.Seen && builder.Flag(FLAG_HOT_SPRING_TRIP) != 1 && builder.Flag(1383) == 0) {
        h3.Record.Status = HINT_MISSED;
        builder.Latch = 1;
        h3.Record.Note = builder.NoteText({A, 5});
    }

    builder.List(H4, out, {.SceneWhenSeen = false});
    if (context.Date >= 1230 && !builder.IsSet(983))
        builder.Latch = 1;

    builder.List(H5, out);
    builder.List(H6, out);

    FlagHintRecord& h7 = builder.List(H7, out).Record;
    if (builder.Flag(MOOD_HEROINE2) < HINT_MOOD_NEEDED) {
        h7.Status = HINT_MISSED;
        h7.Note = builder.NoteText({M, 2});
    }
}
