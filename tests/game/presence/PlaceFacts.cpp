#include "game/presence/PlaceFacts.h"

#include "game/presence/PresenceRules.h"

const std::vector<PlaceFacts>& AllPlaceFacts()
{
    using M = PresenceMap;
    static const std::vector<PlaceFacts> facts = {
        PlaceFacts(M::Town, 24, {6}, 1298, 1301).ReadsSp(),

        PlaceFacts(M::Submap, 0, {0, 1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 14, 16, 18, 19, 20, 21, 23}, 210, 1845)
            .ReadsSp(),
        PlaceFacts(M::Submap, 1, {0, 1, 3, 5, 8, 9, 12, 16, 18, 19, 20, 21}, 317, 1843),
        PlaceFacts(M::Submap, 2, {0, 1, 2, 4, 5, 7, 8, 9, 10, 12, 14, 16, 18, 19, 20, 21, 23}, 210, 1839),
        PlaceFacts(M::Submap, 3, {1, 2, 5, 7, 9, 10, 12, 14, 16, 18, 19, 21, 23}, 429, 1844),
        PlaceFacts(M::Submap, 4, {0, 1, 2, 5, 7, 8, 9, 10, 12, 16, 18, 19, 20, 21, 23}, 210, 1845),
        PlaceFacts(M::Submap, 5, {0, 1, 2, 3, 4, 5, 7, 14, 16, 21}, 317, 1839),
        PlaceFacts(M::Submap, 7, {0, 1, 2, 3, 4, 5, 8, 11, 12, 14, 16, 18, 19, 20, 21}, 317, 1841),
        PlaceFacts(M::Submap, 8, {0, 1, 4, 5, 7, 8, 9, 10, 11, 12, 14, 16, 18, 19, 21}, 429, 1918)
            .ReadsValues({20}),
        PlaceFacts(M::Submap, 9, {0, 2, 5, 7, 8, 10, 11, 12, 18, 20, 21}, 429, 1674),
        PlaceFacts(M::Submap, 10, {0, 1, 2, 5, 8, 10, 11, 20, 21}, 429, 1674).ReadsWords({433}),
        PlaceFacts(M::Submap, 11, {0, 2, 8, 10, 11, 12, 14, 16, 18, 19, 20}, 440, 1837)
            .ReadsWords({439, 440, 446, 447}),
        PlaceFacts(M::Submap, 12, {5}, 1375, 1398),

        PlaceFacts(M::School, 0, {0, 1, 2, 4, 5, 7, 12, 16, 18, 19, 20, 21}, 324, 1837),
        PlaceFacts(M::School, 1, {0, 1, 2, 3, 4, 5, 7, 12, 16, 18, 19, 20, 21}, 374, 1842),
        PlaceFacts(M::School, 2, {0, 1, 2, 3, 4, 5, 12, 16, 18, 19, 21}, 320, 1844).ReadsWeekday(),
        PlaceFacts(M::School, 4, {1, 2, 4, 12, 16, 20}, 652, 1845),
        PlaceFacts(M::School, 5, {0, 1, 2, 4, 7, 12, 16, 18, 19, 21}, 440, 1839),
        PlaceFacts(M::School, 6, {0, 1, 2, 4, 5, 7, 12, 16, 18, 19, 20, 21}, 429, 1843),
    };
    return facts;
}

presence::RuleList RulesOf(PresenceMap map, uint32_t place)
{
    switch (map) {
    case PresenceMap::Town:
        return place == 24 ? presence::TownPlace24Rules() : presence::TownPlaceRules(place);
    case PresenceMap::Submap:
        return place == 12 ? presence::SubmapPlace12Rules() : presence::SubmapPlaceRules(place);
    case PresenceMap::School:
        return presence::SchoolPlaceRules(place);
    }
    return {};
}

const char* MapName(PresenceMap map)
{
    switch (map) {
    case PresenceMap::Town:
        return "town";
    case PresenceMap::Submap:
        return "second sub map";
    case PresenceMap::School:
        return "school";
    }
    return "";
}
