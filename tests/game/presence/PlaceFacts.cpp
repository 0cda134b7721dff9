#include "game/presence/PlaceFacts.h"

#include "game/presence/PresenceRules.h"

const std::vector<PlaceFacts>& AllPlaceFacts()
{
    using M = PresenceMap;
    static const std::vector<PlaceFacts> facts = {
        PlaceFacts(M::Town, 0, {0, 1, 2, 4, 5, 7, 8, 10, 12, 14, 16, 18, 19, 20, 21, 22, 23}, 210, 1845)
            .ReadsWords({439})
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 13, 15, 16, 19, 20, 26}, {651})
            .Closes(1300, 2)
            .Gated(102),
        PlaceFacts(M::Town, 1, {0, 1, 2, 5, 7, 8, 12, 13, 14, 16, 18, 19, 20, 21}, 253, 1841)
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 18, 19, 20, 21, 26})
            .Closes(1320, 2)
            .Gated(104),
        PlaceFacts(M::Town, 2, {0, 1, 2, 4, 5, 7, 8, 9, 10, 12, 16, 18, 19, 21, 22}, 250, 1842)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 13, 15, 16, 18, 19, 20, 21}, {651})
            .Closes(1307, 18),
        PlaceFacts(M::Town, 3, {0, 1, 2, 3, 7, 12, 14, 16, 18, 21}, 429, 1844)
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 18, 19, 20, 21}, {1064})
            .Closes(1304, 3),
        PlaceFacts(M::Town, 4, {0, 1, 2, 5, 7, 12, 14, 16, 18, 19, 20, 21, 23}, 210, 1835)
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 19, 20, 21, 26})
            .Closes(1303, 12)
            .Gated(107),
        PlaceFacts(M::Town, 5, {0, 1, 2, 4, 5, 7, 8, 10, 12, 14, 16, 18, 19, 20, 21, 22}, 250, 1844)
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 19, 20, 21, 26})
            .Closes(1311, 19)
            .Gated(108),
        PlaceFacts(M::Town, 6, {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 14, 16, 18, 20, 21, 22}, 250, 1845)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 15, 16, 18, 20, 21, 26})
            .Closes(1317, 3)
            .Gated(109),
        PlaceFacts(M::Town, 7, {0, 1, 2, 4, 5, 7, 8, 9, 10, 12, 14, 16, 18, 19, 20, 21, 23}, 210, 1844)
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 18, 20, 26})
            .Closes(1319, 19)
            .Gated(111),
        PlaceFacts(M::Town, 8, {0, 1, 2, 3, 5, 7, 8, 10, 12, 16, 18, 19, 20, 21, 23}, 185, 1845)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 15, 16, 19, 20, 21, 26})
            .Closes(1316, 0)
            .Gated(112),
        PlaceFacts(M::Town, 9, {23, 25}, 625, 1299)
            .ReadsWeekday()
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 13, 15, 16, 18, 19, 20, 21, 26}, {651})
            .Gated(113),
        PlaceFacts(M::Town, 10, {0, 1, 2, 5, 7, 12, 14, 16, 18, 19, 21}, 429, 1839)
            .ReadsWords({435})
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 18, 19, 20, 26})
            .Closes(1312, 0)
            .Gated(114),
        PlaceFacts(M::Town, 11, {0, 1, 2, 5, 6, 7, 8, 9, 12, 16, 18, 19, 20, 21, 23}, 187, 1842)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 15, 16, 19, 20, 21, 26})
            .Closes(1301, 12)
            .Gated(115),
        PlaceFacts(M::Town, 12, {0, 1, 2, 4, 5, 7, 8, 9, 10, 11, 12, 14, 16, 18, 19, 21, 22, 23}, 153, 1845)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 15, 16, 18, 19, 20, 21, 26})
            .Closes(1309, 2)
            .Gated(116),
        PlaceFacts(M::Town, 13, {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 14, 16, 18, 19, 20, 21, 22}, 250, 1917)
            .ReadsWeekday()
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 11, 12, 15, 16, 18, 19, 20, 21, 26}, {813, 815})
            .Closes(1308, 18)
            .Gated(117),
        PlaceFacts(M::Town, 14, {0, 1, 2, 4, 5, 7, 10, 12, 14, 16, 18, 20, 21}, 429, 1845)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 15, 16, 18, 19, 20, 21, 26})
            .Closes(1313, 4)
            .Gated(118),
        // Places 15 to 30: the family table names one answer set for both lists; the paired
        // answer counts as 1 and 20, and the marker 26 comes only from an SP list.
        PlaceFacts(M::Town, 15,
                   {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23}, 119,
                   1841)
            .ReadsWeekday()
            .ReadsWords({435})
            .SpList({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 22, 23, 26},
                    {813, 815})
            .Gated(119),
        PlaceFacts(M::Town, 16, {0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 14, 15, 16, 18, 19, 20, 21, 23}, 128, 1837)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 14, 15, 16, 18, 19, 20, 21, 23})
            .Closes(1315, 1),
        PlaceFacts(M::Town, 17, {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 15, 16, 18, 19, 20, 21, 23, 24}, 120,
                   1845)
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 15, 16, 18, 19, 20, 21, 23, 24, 26})
            .Closes(1321, 5)
            .Gated(120),
        PlaceFacts(M::Town, 18, {0, 1, 2, 4, 5, 7, 12, 16, 18, 20, 21}, 429, 1836).ReadsSp(),
        PlaceFacts(M::Town, 19, {0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 18, 19, 20, 21, 23}, 122, 1838)
            .ReadsWeekday()
            .SpList({0, 1, 2, 4, 5, 7, 8, 10, 12, 15, 16, 18, 19, 20, 21, 23, 26})
            .Closes(1305, 5)
            .Gated(122),
        PlaceFacts(M::Town, 20, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 16, 18, 19, 20, 21, 23}, 123, 1842)
            .SpList({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 16, 18, 19, 20, 21, 23, 26})
            .Closes(1314, 0)
            .Gated(123),
        PlaceFacts(M::Town, 21, {0, 8, 13}, 50, 2049).ReadsSp().ReadsWords({439}),
        PlaceFacts(M::Town, 22, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 16, 18, 19, 20, 21, 22, 23},
                   250, 1836)
            .ReadsSp()
            .ReadsWords({433, 435, 439})
            .ReadsValues({15})
            .Closes(1310, 7),
        PlaceFacts(M::Town, 23, {0, 1, 2, 3, 4, 7, 8, 9, 10, 12, 13, 15, 16, 18, 19, 20, 21, 22}, 130, 1299)
            .SpList({0, 1, 2, 3, 4, 7, 8, 9, 10, 12, 13, 15, 16, 18, 19, 20, 21, 22}, {651}),
        PlaceFacts(M::Town, 24, {6}, 1298, 1301).ReadsSp(),
        PlaceFacts(M::Town, 25, {0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 14, 15, 16, 18, 19, 20, 21, 22, 23}, 121,
                   1841)
            .ReadsWeekday()
            .ReadsWords({435})
            .SpList({0, 1, 2, 3, 4, 5, 7, 8, 10, 12, 14, 15, 16, 18, 19, 20, 21, 22, 23, 26})
            .Gated(121),
        PlaceFacts(M::Town, 26, {0, 2, 5, 7, 12, 16, 18, 19, 21}, 429, 1843).ReadsSp(),
        PlaceFacts(M::Town, 27, {0, 1, 2, 5, 12, 16, 18, 20, 21}, 429, 1835).ReadsSp(),
        PlaceFacts(M::Town, 28, {0, 2, 4, 5, 7, 12, 16, 18, 21}, 429, 1844).ReadsSp().ReadsWeekday(),
        PlaceFacts(M::Town, 29, {0, 1, 2, 4, 5, 7, 8, 10, 12, 13, 14, 16, 18, 19, 20, 21, 22, 23}, 123, 1844)
            .ReadsSp()
            .ReadsWeekday()
            .Closes(1318, 5),
        PlaceFacts(M::Town, 30, {0, 2, 4, 7, 12, 16, 20, 21}, 440, 1838).ReadsSp(),

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

presence::RuleList RulesOf(PresenceMap map, uint32_t place, bool sp)
{
    switch (map) {
    case PresenceMap::Town: {
        const presence::TownPlaceLists lists = presence::TownPlaceRules(place);
        return sp ? lists.Sp : lists.Ordinary;
    }
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
