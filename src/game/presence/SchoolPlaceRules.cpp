// The school sub map's rule lists and the paired-character choice.

#include "game/presence/PresenceRules.h"

namespace presence {

namespace {

// Early mornings and evenings at school.
constexpr TimeTest OUT_OF_HOURS{HoursUntil(799), HoursFrom(1760)};

constexpr RuleRow PAIRED_CHARACTER[] = {
    Row(DaysFrom(1304), ANY_TIME, {F(154) == 1 || F(154) == 3 || F(154) == 5}, 1),
    Row(DaysFrom(1304), ANY_TIME, {F(154) == 0 || F(154) == 2 || F(154) == 4 || F(154) == 6 || F(154) == 7},
        20),
    Row(DaysFrom(1305), ANY_TIME, {F(154) == 8 || F(154) == 10 || F(154) == 12}, 1),
    Row(DaysFrom(1305), ANY_TIME, {F(154) == 9 || F(154) == 11 || F(154) == 13}, 20),
    Row(DaysFrom(1306), ANY_TIME, {F(154) == 14, F(156) == 0}, 1),
    Row(DaysFrom(1306), ANY_TIME, {F(156).In(1, 3)}, 20),
    Row(ANY_DATE, ANY_TIME, {}, 1),
};

constexpr RuleRow SCHOOL_PLACE_0[] = {
    Row(ANY_DATE, Hours(750, 1750), {F(810) == 0, F(813).In(0, 1)}, 12),
    Row(ANY_DATE, ANY_TIME, {F(813) == 1, F(815) == 0}, -1),
    Row(Day(1226), Hours(1360, 1500), {F(324) == 0}, 12),
    Row(DaysFrom(1226), Hours(760, 1800), {F(1375) == 0, F(1402) == 1, F(1403) == 0}, 18),
    Row(Day(1226), OUT_OF_HOURS, {F(1811) == 1, F(1834) == 0}, 16),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SCHOOL_PLACE_1[] = {
    Row(Day(1230), HoursFrom(901), {F(374) == 1, F(378).In(0, 1), F(379) == 0}, -1),
    Row(Day(1230), Hours(830, 900), {F(374) == 1, F(377).In(0, 1)}, 3),
    Row(ANY_DATE, ANY_TIME, {F(374) == 1, F(376) == 0}, -1),
    Row(DaysFrom(1223), Hours(760, 1800), {F(1375) == 0, F(1384) == 1, F(1385) == 0}, 18),
    Row(Day(1228), OUT_OF_HOURS, {F(1811) == 1, F(1836) == 0}, 16),
    Row(Days(1223, 1227), Hours(760, 1800), {F(906) == 1, F(910) == 1, F(922) == 0}, 2),
    Row(Day(1303), OUT_OF_HOURS, {F(1811) == 1, F(1842) == 0}, 16),
    Row(Day(1222), OUT_OF_HOURS, {F(1811) == 1, F(1812) == 0}, 16),
    Row(ANY_DATE, Hours(1060, 2000), {F(1223) == 1, F(1224) == 0, F(1285) == 0}, 20),
    Row(DaysFrom(1225), Hours(860, 2300), {F(810) == 1, F(836) == 0}, 12),
    Row(Days(1225, 1228), Hours(760, 1800), {F(1186) == 1, F(1207) == 1, F(1205) == 0}, 1),
    Row(DaysFrom(1226), Hours(760, 1800), {F(1375) == 0, F(1403) == 1, F(1404) == 0}, 5),
    Row(DaysFrom(1227), Hours(760, 1800), {F(1375) == 0, F(1410) == 1, F(1411) == 0}, 18),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 0}, 21),
    Row(ANY_DATE, Hours(860, 1600), {F(484) == 0, F(483) == 1}, 7),
    Row(Day(1227), Hours(760, 930), {F(671) == 0}, 4),
    Row(Day(1227), ANY_TIME, {}, -1),
    Row(Days(1229, 1231), Hours(760, 1800), {F(973) == 1, F(906) == 1, F(910) == 2, F(988) == 0}, 2),
    Row(Except(DaysFrom(1229), 1301), Hours(760, 1800),
        {F(1213) == 1, F(1288) == 1, F(1290) == 0, F(1291) == 1, F(1292) == 0}, 1),
    Row(DaysFrom(1303), Hours(760, 1800), {F(1247) == 1, F(1276) == 1, F(1277) == 0, F(1285) == 0}, 1),
    Row(DaysFrom(1230), Hours(760, 1300), {F(983) == 1, F(1125) == 0, F(1116) == 1}, 2),
    Row(Day(1230), Hours(760, 930), {F(724) == 0, F(686) == 1, F(714) == 0}, 4),
    Row(DaysFrom(1230), Hours(760, 1800),
        {F(1589) == 0, F(1598) == 0, F(1668) == 1, F(1677) == 1, F(1678) == 0}, 0),
    Row(DaysFrom(1302), Hours(760, 2258), {F(1322) == 1, F(1338) == 1, F(1339) == 0}, 20),
    Row(DaysFrom(1303), Hours(760, 1800), {F(878) == 1, F(883) == 0}, 12),
    Row(DaysFrom(1304), Hours(760, 1800), {F(1724) == 1, F(1748) == 1, F(1749) == 0}, 19),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SCHOOL_PLACE_2[] = {
    Advance(10),
    Row(ANY_DATE, Hours(810, 940), {WD != 0, F(635) == 0, F(686) == 0}, 4),
    Row(ANY_DATE, Hours(910, 1610), {WD == 0, F(635) == 0, F(686) == 0}, 4),
    Row(ANY_DATE, ANY_TIME, {F(805) == 1 || F(806) == 1}, -1),
    Row(Day(1226), Hours(1360, 1600), {F(320).In(0, 1)}, 3),
    Row(ANY_DATE, Hours(760, 930), {WD != 0, F(649) == 1, F(650) == 0, F(724) == 0}, 4),
    Row(Day(1224), OUT_OF_HOURS, {F(1811) == 1, F(1832) == 0}, 16),
    Row(Day(1301), OUT_OF_HOURS, {F(1811) == 1, F(1840) == 0}, 16),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SCHOOL_PLACE_4[] = {
    Row(DaysFrom(1302), Hours(810, 1810), {F(1336) == 1, F(1344) == 0, F(1347) == 1, F(1349) == 0}, 1),
    Row(ANY_DATE, Hours(810, 1810), {F(1298) == 1, F(1322) == 0}, 20),
    Row(ANY_DATE, ANY_TIME, {F(1335) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1350) == 1}, 20),
    Row(Days(1230, 1231), Hours(760, 1800), {F(1250) == 1, F(1255) == 0}, 20),
    Row(ANY_DATE, Hours(760, 1800), {F(1180) == 0, F(1181) != 8, F(1285) == 0, F(1322) == 0}, 20),
    Row(DaysFrom(1224), Hours(860, 1800), {F(810) == 0, F(831) == 0}, 12),
    Row(Day(1227), Hours(760, 1800), {F(906) == 1, F(910) == 1, F(941) == 0}, 2),
    Row(Day(1227), OUT_OF_HOURS, {F(1811) == 1, F(1835) == 0}, 16),
    Row(Day(1302), OUT_OF_HOURS, {F(1811) == 1, F(1841) == 0}, 16),
    Row(Day(1306), OUT_OF_HOURS, {F(1811) == 1, F(1845) == 0}, 16),
    Row(Days(1225, 1228), Hours(760, 1800), {F(1186) == 1, F(1209) == 1, F(1210) == 0}, 1),
    Row(DaysUntil(1229), ANY_TIME, {}, -1),
    Row(ANY_DATE, Hours(760, 930), {F(686) == 0, F(702) <= 3, F(652) == 0}, 4),
    Row(DaysFrom(1306), Hours(760, 2200), {F(753) == 1, F(760) == 0}, 4),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SCHOOL_PLACE_5[] = {
    Row(ANY_DATE, ANY_TIME, {F(489) == 1}, 7),
    Row(Days(1225, 1228), Hours(760, 1800), {F(1186) == 1, F(1205) == 1, F(1208) == 0}, 1),
    Row(DaysFrom(1222), Hours(760, 1800), {F(1589) == 0, F(1598) == 0, F(1596) == 1, F(1597) == 0}, 0),
    Row(Day(1231), OUT_OF_HOURS, {F(1811) == 1, F(1839) == 0}, 16),
    Row(DaysFrom(1229), Hours(860, 1800), {F(506) == 1, F(524) == 0, F(523) == 1}, 7),
    Row(Days(1229, 1231), Hours(760, 1900), {F(1243) == 0, F(1288) == 0, F(1233) == 0}, 1),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SCHOOL_PLACE_6[] = {
    Row(ANY_DATE, Hours(801, 1700), {F(810) == 0, F(814) == 1, F(816) == 0}, 12),
    Row(DaysFrom(1223), Hours(760, 1800),
        {F(1589) == 0, F(1598) == 0, F(1615) == 0, F(1597) == 1, F(1636) == 1, F(1637) == 0}, 0),
    Row(Days(1224, 1228), Hours(760, 1800), {F(906) == 1, F(910) == 0, F(927) == 0}, 2),
    Row(DaysFrom(1229), Hours(860, 1800), {F(810) == 0, F(863) == 0}, 12),
    Row(Day(1304), OUT_OF_HOURS, {F(1811) == 1, F(1843) == 0}, 16),
    Row(Day(1230), OUT_OF_HOURS, {F(1811) == 1, F(1838) == 0}, 16),
    Row(Day(1222), OUT_OF_HOURS, {F(1811) == 1, F(1812) == 0}, 16),
    Row(Day(1223), OUT_OF_HOURS, {F(1811) == 1, F(1831) == 0}, 16),
    OTHERWISE_NOBODY,
};

} // namespace

RuleList SchoolPlaceRules(uint32_t place)
{
    switch (place) {
    case 0:
        return SCHOOL_PLACE_0;
    case 1:
        return SCHOOL_PLACE_1;
    case 2:
        return SCHOOL_PLACE_2;
    case 4:
        return SCHOOL_PLACE_4;
    case 5:
        return SCHOOL_PLACE_5;
    case 6:
        return SCHOOL_PLACE_6;
    default:
        return {};
    }
}

RuleList PairedCharacterRules()
{
    return PAIRED_CHARACTER;
}

} // namespace presence
