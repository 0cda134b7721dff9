#include "game/hints/HeroineHints.h"

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
constexpr NoteStep NOTE_V{NoteWhen::Always, {V}};
constexpr std::array<NoteStep, 3> CANDIDATE_NOTES{NOTE_V, NOTE_T, NOTE_A1};

struct DateEntry
{
    uint32_t Flag;
    uint32_t Slot;
};

// The dates seen so far: flag and slot.
constexpr DateEntry DATE_ENTRIES[] = {
    {329, 252}, {328, 259}, {327, 246}, {335, 253}, {336, 260}, {334, 247}, {337, 254}, {341, 261}, {339, 248},
    {345, 256}, {344, 262}, {343, 249}, {362, 257}, {363, 263}, {355, 250}, {367, 258}, {368, 264}, {365, 251},
};
constexpr uint32_t SEEN_DATES_SHOWN = 9;
constexpr uint32_t HEROINE3_DATE_CODE = 8028;

constexpr HintPlace AGENCY = PlaceText("芸能プロダクション");

// Id, Flag, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow PART2_CANDIDATES[] = {
    {"A1", 327, 8028, {1222, -1, 1100, 1300}, 0, 0, "33.mes", HouseOf(3), NO_SLOT, CANDIDATE_NOTES},
    {"A2", 334, 8029, {1223, -1, 1000, 1200}, 0, 0, "33.mes", HouseOf(3), NO_SLOT, CANDIDATE_NOTES},
    {"A3", 339, 8030, {1224, -1, 1200, 1400}, 0, 0, "33.mes", HouseOf(3), NO_SLOT, CANDIDATE_NOTES},
    {"A4", 343, 8031, {1225, -1, 800, 1000}, 0, 0, "33.mes", HouseOf(3), NO_SLOT, CANDIDATE_NOTES},
    {"A5", 328, 8028, {1222, -1, 1300, 1500}, 3, 0, "48.mes", AGENCY, NO_SLOT, CANDIDATE_NOTES},
    {"A6", 336, 8029, {1223, -1, 1500, 1700}, 3, 0, "48.mes", AGENCY, NO_SLOT, CANDIDATE_NOTES},
    {"A7", 341, 8030, {1224, -1, 1900, 2100}, 3, 0, "48.mes", AGENCY, NO_SLOT, CANDIDATE_NOTES},
    {"A8", 344, 8031, {1225, -1, 1100, 1300}, 3, 0, "48.mes", AGENCY, NO_SLOT, CANDIDATE_NOTES},
    {"A9", 329, 8028, {1222, -1, 1600, 1800}, 3, 0, "52.mes", TV_STATION, NO_SLOT, CANDIDATE_NOTES},
    {"A10", 335, 8029, {1223, -1, 1200, 1400}, 3, 0, "52.mes", TV_STATION, NO_SLOT, CANDIDATE_NOTES},
    {"A11", 337, 8030, {1223, -1, 1700, 1900}, 3, 0, "52.mes", TV_STATION, NO_SLOT, CANDIDATE_NOTES},
    {"A12", 340, 8031, {1224, -1, 1400, 1600}, 3, 0, "52.mes", TV_STATION, NO_SLOT, CANDIDATE_NOTES},
    {"A13", 345, 8032, {1225, -1, 1300, 1500}, 3, 0, "52.mes", TV_STATION, NO_SLOT, CANDIDATE_NOTES},
};

// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow B1{"B1", 320, 8028, {1226, -1, 1400, 1600}, 9, 0, "02.mes", PlaceText("３－Ｂ"), 265, {NOTE_A1, NOTE_T}};
constexpr HintEventRow B2{"B2", 321, 8028, {1226, -1, 1800, 1900}, 1, 0, "39.mes", MY_HOUSE, 266, {IfFree(W), NOTE_A1, NOTE_T}};
constexpr HintEventRow B3{"B3", 353, 8029, {1226, 1228, 1300, 1500}, 1, 0, "39.mes", MY_HOUSE, 390, {IfFree(X), NOTE_A1, NOTE_T}};
constexpr HintEventRow B4{"B4", 356, 8062, {1227, -1, 1200, 1300}, 1, 0, "52.mes", TV_STATION, 389, {IfFree(Y), NOTE_A1, NOTE_T}};
// B2's later window, when the first has passed: the same evening in the living room.
constexpr HintEventRow B2_LATE{"B2", 321, 8028, {1226, -1, 1900, 2000}, 1, 0, "41.mes", PlaceText("リビング"), 266, {IfFree(W), NOTE_A1, NOTE_T}};

constexpr HintEventRow PART3_CANDIDATES[] = {
    {"B5", 355, 8032, {1227, -1, 1000, 1200}, 0, 0, "33.mes", HouseOf(3), NO_SLOT, CANDIDATE_NOTES},
    {"B6", 363, 8032, {1227, -1, 1600, 1800}, 3, 0, "48.mes", AGENCY, NO_SLOT, CANDIDATE_NOTES},
    {"B7", 362, 8033, {1227, -1, 1200, 1300}, 3, 0, "52.mes", TV_STATION, NO_SLOT, CANDIDATE_NOTES},
    {"B8", 365, 8033, {1228, -1, 800, 1000}, 0, 0, "33.mes", HouseOf(3), NO_SLOT, CANDIDATE_NOTES},
    {"B9", 368, 8033, {1228, -1, 1400, 1600}, 3, 0, "48.mes", AGENCY, NO_SLOT, {NOTE_V, NOTE_A1, NOTE_T}},
    {"B10", 367, 8034, {1228, -1, 1200, 1400}, 3, 0, "52.mes", TV_STATION, NO_SLOT, CANDIDATE_NOTES},
};

constexpr HintEventRow K1{"K1", 361, 8028, {1229, -1, 1300, 1500}, 0, 0, "51.mes", BEACH, 267, {IfFree(E), NOTE_T, NOTE_A1}};
constexpr HintEventRow K2{"K2", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {IfFree(K, 3)}};

// clang-format on
constexpr size_t MOOD_HEROINE3 = 954;
constexpr size_t FLAG_HEROINE3_DATES = 317;

} // namespace

uint32_t BuildHeroineHints03Part2(HintContext& context, std::vector<FlagHintRecord>& out, uint32_t& counter)
{
    HintBuilder builder(context);
    if (builder.IsSet(2058))
        builder.Latch = 1;
    else
        builder.Latch =
            builder.IsSet(354) || builder.IsSet(FLAG_HOT_SPRING_TRIP) || builder.IsSet(FLAG_HEROINE1_STORY);
    if (context.Date > 1228 && builder.Flag(FLAG_HEROINE3_DATES) < 6)
        builder.Latch = 1;
    for (const HintEventRow& row : PART2_CANDIDATES)
        builder.ListCandidate(row, counter, out);
    return builder.Latch;
}

uint32_t BuildHeroineHints03Part3(HintContext& context, std::vector<FlagHintRecord>& out, uint32_t& counter,
                                  uint32_t latch)
{
    HintBuilder builder(context, latch);
    builder.List(B1, out, {.SetSeen = false});

    // B2 is first tried at its own hour; when that has passed, at the later one, and only that
    // second try counts for the latch.
    builder.ListWithRetry(B2, B2_LATE, out, {.SetSeen = false, .SceneWhenSeen = false});

    builder.List(B3, out, {.SetSeen = false});
    builder.List(B4, out, {.SetSeen = false});
    for (const HintEventRow& row : PART3_CANDIDATES)
        builder.ListCandidate(row, counter, out);
    return builder.Latch;
}

void BuildHeroineHints03(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    uint32_t counter = 0;
    for (const DateEntry& entry : DATE_ENTRIES) {
        if (counter >= SEEN_DATES_SHOWN)
            break;
        if (builder.Flag(entry.Flag) == 1) {
            builder.ListSeenDate(HEROINE3_DATE_CODE, 0, entry.Slot, out);
            ++counter;
        }
    }

    std::vector<FlagHintRecord> part2;
    uint32_t latch = BuildHeroineHints03Part2(context, part2, counter);
    if (!part2.empty())
        SortHintsByDateTime(part2, out);
    std::vector<FlagHintRecord> part3;
    latch = BuildHeroineHints03Part3(context, part3, counter, latch);
    if (!part3.empty())
        SortHintsByDateTime(part3, out);

    builder.Latch = latch;
    builder.List(K1, out);
    FlagHintRecord& k2 = builder.List(K2, out).Record;
    if (builder.IsSet(1481)) {
        k2.Status = HINT_MISSED;
        k2.Note = builder.NoteText({O, 5});
    } else if (builder.Flag(MOOD_HEROINE3) < HINT_MOOD_NEEDED) {
        k2.Status = HINT_MISSED;
        k2.Note = builder.NoteText({M, 3});
    }
}
