#pragma once
// The rule lists of every place, as data. A place without a rule has an empty list, which
// answers -1. The lists are the scenario's knowledge of who is where; the tests read them to
// know which bytes each place depends on.

#include <cstdint>

#include "game/presence/RuleRow.h"

namespace presence {

// A town place's ordinary list and the list it runs instead in the SP scenario (SpMode 1).
struct TownPlaceLists
{
    RuleList Ordinary;
    RuleList Sp;
};
TownPlaceLists TownPlaceRules(uint32_t place);
// The town place that its dispatcher answers inline; TownPlaceRules(24) holds the same rows.
RuleList TownPlace24Rules();
RuleList SubmapPlaceRules(uint32_t place);
// The second sub map's place that its dispatcher answers inline.
RuleList SubmapPlace12Rules();
RuleList SchoolPlaceRules(uint32_t place);
RuleList PairedCharacterRules();
// The list a Call row runs.
RuleList RoutineRules(Routine routine);

// Game-state entries a computed test reads, besides the clock.
struct PredicateReads
{
    uint16_t Words[2];
    uint8_t WordCount;
    uint16_t Values[1];
    uint8_t ValueCount;
};
PredicateReads ReadsOf(Predicate predicate);

} // namespace presence
