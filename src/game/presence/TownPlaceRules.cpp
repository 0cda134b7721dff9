// The town map's rule lists.

#include "game/presence/PresenceRules.h"

namespace presence {

namespace {

// Answered by the town dispatcher itself.
constexpr RuleRow TOWN_PLACE_24[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1, F(1301).In(0, 1)}, -1),
    Row(DaysUntil(1229), Hours(1360, 1700), {}, 6),
    OTHERWISE_NOBODY,
};

} // namespace

RuleList TownPlaceRules(uint32_t place)
{
    // FIXME: places 0..23 and 25..30 answer nobody until their lists are written.
    (void)place;
    return {};
}

RuleList TownPlace24Rules()
{
    return TOWN_PLACE_24;
}

} // namespace presence
