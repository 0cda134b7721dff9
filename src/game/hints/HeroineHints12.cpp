#include "game/hints/HeroineHints.h"

#include "game/hints/HintBuilder.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr std::array<NoteStep, 3> STORY_THEN_TRIP{NOTE_A1, NOTE_T};
constexpr HintPlace STAFF_ROOM = PlaceText("職員室");
constexpr NoteStep NOTE_ONLY_THAT{NoteWhen::Always, {Literal, 0, "※それだけだと言う"}}; // also when missed
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow ROWS[] = {
    {"1", 2097, 8051, {1222, -1, 800, 1800}, 7, 0, "gakko1.mes", STAFF_ROOM, 339, STORY_THEN_TRIP},
    {"2", 822, 8051, {1223, -1, 1200, 1500}, 4, 0, "22.mes", STUDIO, 333, STORY_THEN_TRIP},
    {"3", 2098, 8051, {1224, -1, 800, 1800}, 7, 0, "gakko1.mes", STAFF_ROOM, 340, STORY_THEN_TRIP},
    {"4", 839, 8051, {1225, -1, 900, 2300}, 0, 0, "15.mes", POND_PARK, 334, STORY_THEN_TRIP},
    {"5", 2099, 8051, {1226, -1, 800, 1800}, 7, 0, "gakko1.mes", STAFF_ROOM, 341, {NOTE_ONLY_THAT, NOTE_A1, NOTE_T}},
    {"6", 851, 8051, {1227, -1, 900, 2300}, 3, 0, "50.mes", PlaceText("神社の高台"), 335, STORY_THEN_TRIP},
    {"7", 858, 8051, {1228, -1, 800, 1800}, 7, 0, "gakko1.mes", STAFF_ROOM, 336, STORY_THEN_TRIP},
    {"8", 865, 8051, {1229, -1, 900, 2300}, 0, 0, "16a.mes", STATION, 337, STORY_THEN_TRIP},
};
constexpr HintEventRow R9{"9", 0, 8051, {1230, -1, 800, 1800}, 7, 0, "gakko1.mes", STAFF_ROOM, 342, STORY_THEN_TRIP};
constexpr HintEventRow R10{"10", 2096, 8051, {1231, -1, 1700, 1900}, 5, 14, "45a.mes", PlaceText("ロビー"), 338, {IfFreeText("※先生を元気づける→部屋を予約するぞ"), NOTE_A1, NOTE_T}};
constexpr HintEventRow R11{"11", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

constexpr size_t MOOD_HEROINE12 = 955;

} // namespace

void BuildHeroineHints12(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context, context.IsFlagSet(2095) || context.IsFlagSet(FLAG_HOT_SPRING_TRIP) ||
                                     context.IsFlagSet(FLAG_HEROINE1_STORY));
    for (const HintEventRow& row : ROWS)
        builder.List(row, out);
    // The ninth day has no seen flag: the story's count of staff-room talks tells.
    builder.List(R9, out, {.ForceSeen = builder.Flag(812) >= 4});
    builder.List(R10, out);

    const uint8_t mood = builder.Flag(MOOD_HEROINE12);
    const HintNote confession = mood == 13 ? HintNote{Named, 12, "に告白", "進路は決めた→"} : HintNote{K, 12};
    builder.FinishConfession(builder.List(R11, out).Record, confession, 12, mood < 13);
}
