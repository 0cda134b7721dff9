// The town map's rule lists: an ordinary list and an SP list per place. Places that answer nobody
// in the SP scenario run one list either way, opened by an SP row. Where a list's middle rows are
// not known, it holds its known opening rows and its known ending only.

#include "game/presence/PresenceRules.h"

namespace presence {

namespace {

constexpr TimeTest DAYTIME = Hours(800, 1800);
constexpr TimeTest BEFORE_DAWN = HoursUntil(600);
constexpr TimeTest OUTSIDE_DAYTIME{HoursUntil(759), HoursFrom(1801)};

// The closing rules: once the scenario closes the town (F[1298] and F[1299] set), a place shows
// its own character until its byte is set, and nobody after.
constexpr RuleRow Closing(uint16_t byte, int character)
{
    return Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1, F(byte) == 0}, character);
}
constexpr RuleRow Closed(uint16_t byte)
{
    return Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1, F(byte) == 1}, -1);
}
// The first rule of most SP lists.
constexpr RuleRow Gate(uint16_t byte)
{
    return Row(ANY_DATE, ANY_TIME, {F(byte) == 0}, 26);
}
constexpr RuleRow Always(Answer answer)
{
    return Row(ANY_DATE, ANY_TIME, {}, answer);
}

constexpr RuleRow TOWN_PLACE_0[] = {
    Closing(1300, 2),
    Closed(1300),
    Row(ANY_DATE, ANY_TIME, {F(533) == 1, F(537) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(437) == 1, F(439) == 0, F(441) == 0}, -1),
    // Both halves include 2300.
    Row(DateIsWord(439), HoursUntil(2300), {F(1717) == 1, F(1721) == 1, F(1723) == 0}, 0),
    Row(DateIsWord(439), HoursFrom(2300), {F(1717) == 1, F(1721) == 1, F(1724) == 0}, 0),
    Row(DaysFrom(1222), Hours(800, 2358), {F(1375) == 0, F(1378) == 1, F(1379) == 0}, 5),
    Row(Day(1228), Hours(1502, 2000), {F(906) == 1, F(947) == 0, F(971) == 0, F(910).NotIn(3, 4)}, 2),
    Row(Day(1228), Hours(1702, 2000), {F(906) == 1, F(947) == 1, F(972) == 0, F(910).NotIn(3, 4)}, 2),
    Row(Days(1222, 1227), Hours(800, 2000), {F(906) == 1, F(910) == 0, F(909) == 0}, 2),
    Row(DaysFrom(1229), Hours(800, 2000), {F(947) == 1, F(906) == 1, F(972) == 0, F(910).NotIn(3, 4)}, 2),
    Row(DaysFrom(1229), Hours(800, 2000), {F(947) == 0, F(906) == 1, F(971) == 0, F(910).NotIn(3, 4)}, 2),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1586) == 1, F(1587) == 0}, 0),
    Row(DaysFrom(1223), Hours(800, 2358), {F(1375) == 0, F(1382) != 0, F(1383) == 0}, 18),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1603) == 1, F(1604) == 0}, 0),
    Row(Day(1224), Hours(1500, 1659), {F(418) == 0}, 21),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_0_SP[] = {
    Gate(102),
    Row(Day(1304), Hours(802, 958), {F(161).In(1, 3)}, 4),
    Row(Day(1304), HoursFrom(1131), {F(165) == 0}, 15),
    Row(Day(1305), Hours(802, 1300), {F(161).In(1, 3)}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 1}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 0, F(161) != 0}, 4),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 2}, 15),
    Row(ANY_DATE, ANY_TIME, {F(130) == 5 || F(130) == 9 || F(130) == 13}, 16),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_1[] = {
    Closing(1320, 2),
    Closed(1320),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1602) == 0}, 0),
    Row(Day(1224), HoursUntil(2258), {F(1184) == 1, F(1185) == 0}, -1),
    Row(ANY_DATE, Hours(900, 1700), {F(632) == 1, F(1179) == 0, F(640) != 7, F(1285) == 0, F(1322) == 0}, 20),
    Row(DaysFrom(1223), Hours(800, 2358), {F(1375) == 0, F(1382) != 0, F(1383) == 0}, 18),
    Row(Days(1223, 1227), Hours(800, 2000), {F(906) == 1, F(917) == 1, F(910) == 1, F(920) == 0}, 2),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 0, F(1169) == 0}, 1),
    Row(Day(1302), BEFORE_DAWN, {F(1811) == 1, F(1841) == 1}, 16),
    Row(Day(1229), BEFORE_DAWN, {F(1811) == 1, F(1837) == 0}, 16),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 1, F(1169) == 1, F(1176) == 0}, 1),
    Row(DaysFrom(1225), Hours(800, 2000), {F(1186) == 0}, 1),
    Row(DaysFrom(1304), DAYTIME, {F(1724) == 1, F(1744) == 1, F(1746) == 0}, 0),
    OTHERWISE_NOBODY,
};

// Rules 8 to 30 need F[128] != 0; without it the list ends with 16 unconditionally.
constexpr RuleRow TOWN_PLACE_1_SP[] = {
    Gate(104),
    Row(Day(1304), Hours(802, 958), {F(161) == 1}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 2}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 1}, 4),
    Row(ANY_DATE, ANY_TIME, {F(163) == 1}, 18),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 3, F(134) == 1}, 19),
    Row(ANY_DATE, ANY_TIME, {F(163) == 6}, 18),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(163) == 11}, 5),
    Row(DaysUntil(1305), ANY_TIME, {F(128) != 0, F(133) == 8}, 0),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(169) == 1, F(171) == 3}, 15),
    Row(DaysUntil(1305), ANY_TIME, {F(128) != 0, F(133) == 13}, 19),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(169) == 1, F(171) == 8}, 15),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(148) == 6}, 7),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(130) == 8}, 16),
    Row(Day(1306), ANY_TIME, {F(128) != 0, F(135) == 1}, 19),
    Row(DaysFrom(1305), ANY_TIME, {F(128) != 0, F(149) == 3}, 21),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(130) == 12}, 16),
    Row(DaysFrom(1304), ANY_TIME, {F(128) != 0, F(154) == 1}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(147) == 3}, 2),
    Row(DaysFrom(1304), ANY_TIME, {F(128) != 0, F(154) == 6}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(145) == 3}, 12),
    Row(DaysFrom(1305), ANY_TIME, {F(128) != 0, F(154) == 12}, PAIRED),
    Row(DaysUntil(1305), ANY_TIME, {F(128) != 0, F(159) == 2}, 8),
    Row(DaysFrom(1305), ANY_TIME, {F(128) != 0, F(150) == 7}, 10),
    Row(DaysUntil(1305), ANY_TIME, {F(128) != 0, F(159) == 9}, 8),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(147) == 13}, 2),
    Row(Day(1306), ANY_TIME, {F(128) != 0, F(159) >= 10, F(160) == 0}, 8),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(148) == 1}, 7),
    // F[150] != 5 or the date up to 1304: one rule, two rows.
    Row(ANY_DATE, ANY_TIME, {F(128) != 0, F(150) != 5}, -1),
    Row(DaysUntil(1304), ANY_TIME, {F(128) != 0}, -1),
    Row(ANY_DATE, ANY_TIME, {F(128) != 0}, 10),
    Always(16),
};

constexpr RuleRow TOWN_PLACE_2[] = {
    Closing(1307, 18),
    Closed(1307),
    Row(Day(1225), ANY_TIME, {F(497) == 1}, -1),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1595) == 1, F(1596) == 0}, 19),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1611) == 1, F(1612) == 0}, 0),
    Row(Day(1225), Hours(800, 1100), {F(250) != 0, F(270) == 0, F(587) == 0}, 22),
    Row(DaysFrom(1224), Hours(900, 2300), {F(810) == 0, F(834) == 0}, 12),
    Row(Days(1224, 1227), Hours(800, 2000), {F(906) == 1, F(910) == 0, F(924) == 0}, 2),
    Row(Day(1225), Hours(930, 1030), {F(487) == 1, F(491) == 0}, 7),
    Row(Day(1225), ANY_TIME, {F(429) != 7, F(430) == 0}, 21),
    Row(Day(1229), Hours(850, 930), {F(541) == 1, F(557) == 0}, 9),
    // Nobody unless in the daytime with F[1375] = 0, F[1477] = 1 and F[1478] = 0; then 18.
    Row(ANY_DATE, OUTSIDE_DAYTIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1375) != 0 || F(1477) != 1 || F(1478) != 0}, -1),
    Always(18),
};

constexpr RuleRow TOWN_PLACE_2_SP[] = {
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 1}, 0),
    Row(ANY_DATE, ANY_TIME, {F(130) == 3}, 16),
    Row(Day(1304), Hours(802, 958), {F(161) == 3}, 4),
    Row(Day(1304), ANY_TIME, {F(165) == 2}, 15),
    Row(Day(1305), Hours(802, 1300), {F(161) == 3}, 4),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 0}, 15),
    // Nobody unless at 1701..2000 with F[143] = 2 and F[651] = 0; then 13.
    Row(ANY_DATE, TimeTest(HoursUntil(1700), HoursFrom(2001)), {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(143) != 2 || F(651) != 0}, -1),
    Always(13),
};

constexpr RuleRow TOWN_PLACE_3[] = {
    Closing(1304, 3),
    Closed(1304),
    Row(ANY_DATE, ANY_TIME, {F(506) == 1, F(514) == 0}, -1),
    Row(Days(1226, 1227), Hours(800, 2000), {F(906) == 1, F(910) == 0, F(936) == 0}, 2),
    Row(DaysFrom(1226), DAYTIME, {F(1375) == 0, F(1398) == 1, F(1400) == 0}, 18),
    Row(Day(1226), BEFORE_DAWN, {F(1811) == 1, F(1834) == 0}, 16),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 0}, 21),
    Row(Day(1226), DAYTIME, {F(1375) == 0, F(1392) == 1, F(1393) == 0}, 18),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1603) == 1, F(1604) == 0}, 0),
    Row(Except(DaysFrom(1225), 1226, 1230), DAYTIME, {F(1375) == 0, F(1392) == 1, F(1393) == 0}, 18),
    Row(Day(1230), BEFORE_DAWN, {F(1811) == 1, F(1838) == 1}, 16),
    Row(Day(1230), DAYTIME, {F(1375) == 0, F(1392) == 1, F(1393) == 0}, 18),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1407) == 1, F(1408) == 0}, 18),
    Row(DaysFrom(1231), Hours(800, 2300), {F(440) == 1, F(442) != 15, F(445) == 1}, 21),
    Row(ANY_DATE, Hours(900, 1600), {F(484) == 0, F(483) == 0}, 7),
    Row(DaysFrom(1228), Hours(900, 2300), {F(810) == 0, F(862) == 0}, 12),
    Row(Day(1305), BEFORE_DAWN, {F(1811) == 1, F(1844) == 0}, 16),
    Row(DaysFrom(1305), Hours(800, 1900), {F(983) == 1, F(1141) == 0, F(1142) == 0, F(1116) == 1}, 2),
    Row(Days(1229, 1302), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1618) == 1, F(1666) == 0}, 0),
    Row(DaysFrom(1303), DAYTIME, {F(1247) == 1, F(1275) == 1, F(1276) == 0}, 1),
    Row(DaysFrom(1303), DAYTIME, {F(1082) == 1, F(1419) == 0, F(1433) == 1, F(1434) == 0}, 18),
    Row(DaysFrom(1303), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1618) == 1, F(1666) == 0}, 0),
    Row(DaysFrom(1302), DAYTIME, {F(1336) == 1, F(1344) == 0, F(1355) == 1, F(1356) == 0}, 1),
    Row(Days(1228, 1302), ANY_TIME, {}, -1),
    Row(DaysFrom(1303), DAYTIME, {F(1375) == 0, F(1464) == 1, F(1465) == 0}, 18),
    Row(DaysFrom(1303), DAYTIME, {F(1375) == 0, F(1477) == 1, F(1478) == 0}, 18),
    Row(Day(1306), Hours(1100, 1700), {F(906) == 1, F(910) == 2, F(1064) == 0}, 2),
    Row(Day(1306), ANY_TIME, {}, -1),
    Row(Days(1303, 1305), Hours(800, 2200),
        {F(1533) == 0, F(1534) == 1, F(1532) == 1, F(1556) == 1, F(1557) == 0}, 14),
    Row(Day(1305), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1704) == 0}, 0),
    Row(DaysFrom(1228), ANY_TIME, {}, -1),
    Row(Day(1224), BEFORE_DAWN, {F(1811) == 1, F(1832) == 0}, 16),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_3_SP[] = {
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 2}, 19),
    Row(ANY_DATE, ANY_TIME, {F(130) == 3}, 16),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 6, F(134) == 2}, 19),
    Row(Day(1304), Hours(802, 958), {F(130) != 8, F(161) == 4}, 4),
    Row(Day(1306), ANY_TIME, {F(130) != 8, F(162) == 4}, 4),
    Row(Day(1305), Hours(802, 1300), {F(130) != 8, F(161) == 4}, 4),
    Row(ANY_DATE, ANY_TIME, {F(147) == 8}, 2),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_4[] = {
    Closing(1303, 12),
    Closed(1303),
    Row(DaysFrom(1302), DAYTIME, {F(1247) == 1, F(1269) == 1, F(1270) == 0}, 18),
    Row(DaysFrom(1303), DAYTIME, {F(1247) == 1, F(1271) == 1, F(1273) == 0}, 1),
    Row(Day(1224), ANY_TIME, {F(426) == 1, F(408) == 1, F(428) == 0}, 21),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1595) == 1, F(1596) == 0}, 19),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 0, F(1169) == 1, F(1170) == 0}, 1),
    Row(Day(1223), Hours(1900, 2200), {F(210) == 1, F(641) == 0}, 23),
    Row(Day(1223), Hours(2000, 2200), {F(412) == 0}, 21),
    Row(Day(1223), BEFORE_DAWN, {F(1811) == 1, F(1831) == 1}, 16),
    Row(Day(1222), Hours(1900, 2100), {F(405) == 0}, 21),
    Row(Day(1222), BEFORE_DAWN, {F(1811) == 1, F(1812) == 0}, 16),
    Row(ANY_DATE, ANY_TIME, {F(1724) == 1, F(1748) == 1, F(1749) == 0}, 19),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_4_SP[] = {
    Row(ANY_DATE, ANY_TIME, {F(107) == 0, F(149) == 0}, 26),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 2}, 19),
    Row(Day(1304), Hours(802, 958), {F(161) == 1}, 4),
    Row(Day(1304), ANY_TIME, {F(165) == 1}, 15),
    Row(Day(1306), ANY_TIME, {F(162) == 1}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 1}, 4),
    // Nobody unless F[150] = 11 after 1305; then 10.
    Row(ANY_DATE, ANY_TIME, {F(150) != 11}, -1),
    Row(DaysUntil(1305), ANY_TIME, {}, -1),
    Always(10),
};

constexpr RuleRow TOWN_PLACE_5[] = {
    Closing(1311, 19),
    Closed(1311),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1586) == 1, F(1587) == 0}, 0),
    Row(Day(1222), Hours(900, 1500), {F(402) == 0}, 10),
    Row(Day(1222), HoursUntil(1600), {F(402) != 0, F(403) == 1}, -1),
    Row(Day(1224), Hours(1800, 2300), {F(426) == 0}, 10),
    Row(Day(1224), Hours(900, 1059), {F(415) == 0}, 21),
    Row(Day(1223), Hours(800, 1100), {F(402) <= 1}, 10),
    Row(Day(1223), Hours(1100, 1500), {F(406) == 0}, 10),
    Row(DaysFrom(1223), Hours(800, 2358), {F(1375) == 0, F(1380) == 1, F(1382) == 0}, 5),
    Row(Day(1223), BEFORE_DAWN, {F(1811) == 1, F(1831) == 0}, 16),
    Row(ANY_DATE, ANY_TIME, {F(1439) == 1, F(1578) == 1, F(1579) == 0}, 18),
    // Nobody unless F[1480] = 1 and F[1578] = 1.
    Row(ANY_DATE, ANY_TIME, {F(1480) != 1 || F(1578) != 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1579) != 0}, -1),
    Always(18),
};

constexpr RuleRow TOWN_PLACE_5_SP[] = {
    Gate(108),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 2}, 19),
    Row(Day(1304), ANY_TIME, {F(165) == 1}, 15),
    Row(ANY_DATE, ANY_TIME, {F(130) == 4}, 16),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 1}, 15),
    Row(DaysFrom(1304), ANY_TIME, {F(150) == 1}, 10),
    Row(ANY_DATE, ANY_TIME, {F(145) == 7}, 12),
    Row(ANY_DATE, ANY_TIME, {F(147) == 11}, 2),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_6[] = {
    Closing(1317, 3),
    Closed(1317),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 1, F(1169) == 1, F(1175) == 0}, 1),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1588) == 1, F(1594) == 0}, 0),
    Row(Day(1225), BEFORE_DAWN, {F(1811) == 1, F(1833) == 0}, 16),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1611) == 1, F(1612) == 0}, 0),
    Row(Days(1226, 1228), DAYTIME, {F(1186) == 1, F(1187) != 15, F(1193) == 0}, 1),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1602) == 0}, 0),
    Row(Day(1224), Hours(800, 2000), {F(1387) == 0}, 18),
    Row(Day(1224), Hours(1700, 1900), {F(419) == 0}, 21),
    Row(DaysFrom(1222), Hours(800, 2200), {F(1375) == 0, F(1376) == 1, F(1377) == 1, F(1378) == 0}, 18),
    // Nobody unless on 1306 in the daytime with F[1589], F[1598] and F[1706] all 0; then 0.
    Row(NotDay(1306), ANY_TIME, {}, -1),
    Row(ANY_DATE, OUTSIDE_DAYTIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1589) != 0 || F(1598) != 0 || F(1706) != 0}, -1),
    Always(0),
};

constexpr RuleRow TOWN_PLACE_6_SP[] = {
    Gate(109),
    Row(DaysUntil(1305), ANY_TIME, {F(133) >= 2, F(134) == 0}, 0),
    Row(Day(1304), ANY_TIME, {F(165) == 1}, 15),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 2}, 15),
    Row(Day(1304), Hours(802, 958), {F(161).In(1, 4)}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161).In(1, 4)}, 4),
    Row(ANY_DATE, ANY_TIME, {F(130) == 11}, 16),
    Row(ANY_DATE, ANY_TIME, {F(148) == 2}, 7),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_7[] = {
    Closing(1319, 19),
    Closed(1319),
    Row(Days(1227, 1229), Hours(800, 1600), {F(436) != 11, F(433) == 2, F(434) == 0, F(430) == 0}, 10),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1409) == 1, F(1410) == 0}, 5),
    Row(Day(1224), BEFORE_DAWN, {F(1811) == 1, F(1832) == 0}, 16),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1602) == 1, F(1603) == 0}, 19),
    Row(Day(1226), HoursUntil(259), {F(665) == 0}, 20),
    // One rule with two alternative appointments: two rows.
    Row(Day(1226), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1597) == 1, F(1609) == 0}, 0),
    Row(Day(1226), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1611) == 1, F(1612) == 0}, 0),
    Row(Days(1227, 1229), Hours(600, 2300), {F(429) != 15, F(433) == 2, F(434) == 0, F(430) == 0}, 21),
    Row(Days(1227, 1229), Hours(800, 1600),
        {F(435) != 15, F(433) == 2, F(434) == 0, F(430) == 2, F(441) == 0}, 10),
    Row(Except(DaysFrom(1227), 1305), Hours(900, 2300), {F(810) == 1, F(855) == 0}, 12),
    Row(Except(DaysFrom(1225), 1226, 1305), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1597) == 1, F(1609) == 0},
        0),
    Row(Except(DaysFrom(1225), 1226, 1305), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1611) == 1, F(1612) == 0},
        0),
    Row(Day(1305), Hours(1201, 1800), {F(763) == 0, F(687) == 1, F(701) == 0, F(770) == 0}, 4),
    Row(DaysUntil(1303), ANY_TIME, {}, -1),
    // Nobody unless in the daytime with F[1717] = 1, F[1724] = 0, F[1727] = 1, F[1739] = 0; then 0.
    Row(ANY_DATE, OUTSIDE_DAYTIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1717) != 1 || F(1724) != 0 || F(1727) != 1 || F(1739) != 0}, -1),
    Always(0),
};

constexpr RuleRow TOWN_PLACE_7_SP[] = {
    Row(ANY_DATE, ANY_TIME, {F(154) == 9, F(155) <= 1}, 26),
    Gate(111),
    Row(Day(1304), Hours(802, 958), {F(161) == 0}, 4),
    Row(Day(1304), ANY_TIME, {F(165) == 1}, 15),
    Row(Day(1306), ANY_TIME, {F(162) == 0, F(161) == 0}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 0}, 4),
    Row(ANY_DATE, ANY_TIME, {F(148) == 6}, 7),
    Row(ANY_DATE, ANY_TIME, {F(130) == 11}, 16),
    OTHERWISE_NOBODY,
};

// Rows 3 to 12 are character 3's timetable: a daytime slot under F[317] != 15 and a night slot
// under F[332] != 11, each with its own byte that must still be 0.
constexpr RuleRow TOWN_PLACE_8[] = {
    Closing(1316, 0),
    Closed(1316),
    Row(Day(1222), Hours(1100, 1300), {F(317) != 15, F(327) == 0}, 3),
    Row(Day(1222), HoursFrom(2300), {F(332) != 11, F(330) == 0}, 3),
    Row(Day(1223), Hours(1000, 1200), {F(317) != 15, F(334) == 0}, 3),
    Row(Day(1223), HoursFrom(2200), {F(332) != 11, F(338) == 0}, 3),
    Row(Day(1224), Hours(1200, 1400), {F(317) != 15, F(339) == 0}, 3),
    Row(Day(1225), HoursUntil(100), {F(332) != 11, F(342) == 0}, 3),
    Row(Day(1225), Hours(800, 1000), {F(317) != 15, F(343) == 0}, 3),
    Row(Day(1225), HoursFrom(2300), {F(332) != 11, F(346) == 0}, 3),
    Row(Day(1227), Hours(1000, 1200), {F(317) != 15, F(355) == 0}, 3),
    Row(Day(1227), HoursFrom(2200), {F(332) != 11, F(364) == 0}, 3),
    // The list's end as far as it is known: nobody once F[351] is set, else character 0 when the
    // bytes of her ending stand as at the other places that show her then.
    Row(ANY_DATE, ANY_TIME, {F(351) != 0}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1717) == 1, F(1724) == 1, F(1744) == 1, F(1746) == 0}, 0),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_8_SP[] = {
    Gate(112),
    Row(Day(1304), HoursFrom(1131), {F(165) == 0}, 15),
    Row(Day(1304), Hours(802, 958), {F(161) == 0}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 0}, 4),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 2}, 19),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 4}, 15),
    Always(3),
};

constexpr RuleRow TOWN_PLACE_9[] = {
    Row(ANY_DATE, ANY_TIME, {F(1299) != 0}, -1),
    Row(ANY_DATE, ANY_TIME, {WD != 0, F(786) == 1, F(789) == 1, F(808) <= 1}, 25),
    Row(ANY_DATE, Hours(950, 1800), {WD != 0, F(763) == 1, F(782) == 1, F(789) == 0, F(803) == 0}, 25),
    Row(ANY_DATE, Hours(950, 1800), {WD != 0, F(763) == 1, F(782) == 1, F(789) == 0, F(803) == 1}, 25),
    Row(Day(1306), ANY_TIME, {F(701) == 1, F(767) <= 1}, 25),
    Row(ANY_DATE, ANY_TIME, {WD != 0, F(686).NotIn(0, 1)}, -1),
    Row(ANY_DATE, Hours(950, 1800), {WD != 0, F(686) == 1, F(763) == 0}, 23),
    Row(ANY_DATE, Hours(950, 1800), {WD != 0, F(686) == 0}, 23),
    Row(ANY_DATE, ANY_TIME, {WD == 0, F(625).NotIn(0, 1)}, -1),
    Always(25),
};

constexpr RuleRow TOWN_PLACE_9_SP[] = {
    Gate(113),
    Row(Day(1304), Hours(802, 958), {F(161) == 0}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 0, F(161) == 0}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 0}, 4),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 1}, 0),
    Row(ANY_DATE, ANY_TIME, {F(128) == 1, F(130) == 0}, 16),
    Row(Day(1304), HoursUntil(1759), {F(165) == 3}, 15),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 3}, 15),
    Row(ANY_DATE, ANY_TIME, {F(163) == 3}, 5),
    Row(DaysUntil(1305), ANY_TIME, {F(133) >= 5, F(134) == 1}, 0),
    Row(ANY_DATE, Hours(1701, 2000), {F(143) == 0}, 13),
    Row(ANY_DATE, Hours(900, 1029), {F(143) == 0}, 13),
    Row(ANY_DATE, ANY_TIME, {F(163) == 9}, 18),
    Row(ANY_DATE, Hours(900, 1029), {F(143) == 1, F(651) == 0}, 13),
    Row(ANY_DATE, Hours(1701, 2000), {F(143) == 1, F(651) == 0}, 13),
    Row(ANY_DATE, ANY_TIME, {F(163) == 14}, 5),
    Row(DaysFrom(1305), ANY_TIME, {F(147) == 5}, 2),
    Row(DaysFrom(1306), ANY_TIME, {F(149) == 5}, 21),
    Row(ANY_DATE, Hours(900, 1029), {F(145) != 6, F(143) == 2, F(651) == 0}, 13),
    Row(ANY_DATE, Hours(1701, 2000), {F(145) != 6, F(143) == 2, F(651) == 0}, 13),
    Row(DaysUntil(1305), ANY_TIME, {F(145) != 6, F(147) != 11, F(159) == 3}, 8),
    Row(ANY_DATE, ANY_TIME, {F(145) != 6, F(147) != 11, F(130) == 10}, 16),
    Row(Day(1306), ANY_TIME, {F(145) != 6, F(147) != 11, F(160) == 1}, 8),
    Row(DaysUntil(1305), ANY_TIME, {F(145) != 6, F(147) != 11, F(133) == 10}, 0),
    Row(ANY_DATE, ANY_TIME, {F(145) != 6, F(147) == 13}, 2),
    Row(DaysUntil(1305), ANY_TIME, {F(145) != 6, F(147) != 11, F(133) == 15, F(138) == 0}, 0),
    Row(Day(1306), ANY_TIME, {F(145) != 6, F(147) != 11, F(135).In(3, 6)}, 19),
    Row(DaysFrom(1304), ANY_TIME, {F(145) != 6, F(147) != 11, F(154) == 3}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(145) != 6, F(147) != 11, F(148) == 0}, 7),
    Row(DaysFrom(1305), ANY_TIME, {F(145) != 6, F(147) != 11, F(154) == 9}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(145) != 6, F(147) != 11, F(148) == 5}, 7),
    Row(DaysFrom(1305), ANY_TIME, {F(145) != 6, F(147) != 11, F(150) == 4}, 10),
    Row(DaysFrom(1306), ANY_TIME, {F(145) != 6, F(147) != 11, F(154) == 14, F(156) == 0}, PAIRED),
    // F[156] != 4 or the date up to 1305: one rule, two rows.
    Row(ANY_DATE, ANY_TIME, {F(145) != 6, F(147) != 11, F(156) != 4}, -1),
    Row(DaysUntil(1305), ANY_TIME, {F(145) != 6, F(147) != 11}, -1),
    Row(ANY_DATE, ANY_TIME, {F(145) != 6, F(147) != 11}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(145) == 6}, 12),
    Always(2),
};

constexpr RuleRow TOWN_PLACE_10[] = {
    Closing(1312, 0),
    Closed(1312),
    Row(ANY_DATE, ANY_TIME, {F(1485) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1487) == 1}, 5),
    Row(DateIsWord(435), HoursUntil(2358), {F(1470) == 1, F(1482) == 0, F(1484) == 0}, 5),
    Row(DateIsWord(435, Compare::NotEqual), ANY_TIME,
        {F(1470) == 1, F(1482) == 0, F(1472) == 0, F(1483) == 0, F(1484) == 0}, -1),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1596) == 1, F(1597) == 0}, 0),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1603) == 1, F(1604) == 0}, 0),
    Row(DaysFrom(1222), Hours(1000, 1600), {F(1375) == 0, F(1377) == 0}, 5),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1587) == 1, F(1588) == 0}, 19),
    Row(DaysFrom(1223), Hours(1000, 1700), {F(1375) == 0, F(1385) == 1, F(1390) == 0}, 5),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 1}, 21),
    Row(DaysFrom(1304), ANY_TIME, {}, -1),
    // Nobody unless on 1303 in the daytime with F[1589] = 0 and F[1598] = 0.
    Row(NotDay(1303), ANY_TIME, {}, -1),
    Row(ANY_DATE, OUTSIDE_DAYTIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1589) != 0 || F(1598) != 0}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1701) != 0}, -1),
    Always(0),
};

// Rules 25 to 28 are reached only with F[159] = 11.
constexpr RuleRow TOWN_PLACE_10_SP[] = {
    Gate(114),
    Row(DaysUntil(1305), ANY_TIME, {F(133) >= 2, F(134) == 0}, 0),
    Row(ANY_DATE, ANY_TIME, {F(130) == 3}, 16),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 7}, 0),
    Row(Day(1304), ANY_TIME, {F(165) == 2}, 15),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 5}, 15),
    Row(Day(1305), Hours(802, 1300), {F(161) == 4}, 4),
    Row(Day(1304), Hours(802, 958), {F(161) == 4}, 4),
    Row(ANY_DATE, ANY_TIME, {F(147) == 3}, 2),
    Row(DaysFrom(1304), ANY_TIME, {F(150) == 0}, 10),
    Row(ANY_DATE, ANY_TIME, {F(145) == 2}, 12),
    Row(ANY_DATE, ANY_TIME, {F(147) == 13}, 2),
    Row(ANY_DATE, ANY_TIME, {F(148) == 5}, 7),
    Row(ANY_DATE, ANY_TIME, {F(130) == 11}, 16),
    Row(DaysFrom(1304), ANY_TIME, {F(154).In(1, 7)}, PAIRED),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 13}, 19),
    Row(DaysFrom(1305), ANY_TIME, {F(154) == 12}, PAIRED),
    Row(DaysUntil(1305), ANY_TIME, {F(159) == 6}, 8),
    Row(DaysFrom(1305), ANY_TIME, {F(150) == 6}, 10),
    Row(ANY_DATE, ANY_TIME, {F(163) == 1}, 18),
    Row(ANY_DATE, ANY_TIME, {F(163) == 7}, 5),
    Row(ANY_DATE, ANY_TIME, {F(159) != 11, F(135) != 0}, -1),
    Row(NotDay(1306), ANY_TIME, {F(159) != 11}, -1),
    Row(ANY_DATE, ANY_TIME, {F(159) != 11}, 0),
    Row(DaysUntil(1305), ANY_TIME, {}, 8),
    Row(ANY_DATE, ANY_TIME, {F(135) != 0}, -1),
    Row(NotDay(1306), ANY_TIME, {}, -1),
    Always(0),
};

// Up to 1229 one list; from 1230 three branches on F[188], F[187] and F[239].
constexpr RuleRow TOWN_PLACE_11[] = {
    Row(DaysUntil(1229), ANY_TIME, {F(1298) == 1, F(1299) == 1, F(1301) == 0}, 12),
    Row(DaysUntil(1229), ANY_TIME, {F(1298) == 1, F(1299) == 1, F(1301) == 1}, -1),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 0, F(1169) == 1, F(1171) == 0}, 1),
    Row(Days(1222, 1229), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1596) == 1, F(1597) == 0}, 0),
    Row(Days(1225, 1229), DAYTIME, {F(1375) == 0, F(1390) == 1, F(1391) == 0}, 18),
    Row(Days(1225, 1229), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1613) == 1, F(1614) == 0}, 19),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 1}, 21),
    Row(DaysUntil(1229), ANY_TIME, {F(483) == 2}, 7),
    Row(DaysUntil(1229), ANY_TIME, {}, -1),
    // From 1230, F[188] = 0.
    Row(ANY_DATE, ANY_TIME, {F(188) == 0, F(1298) == 1, F(1299) == 1, F(1301) == 0}, 12),
    Row(ANY_DATE, ANY_TIME, {F(188) == 0, F(1298) == 1, F(1299) == 1, F(1301) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(188) == 0, F(187) == 0}, -1),
    Row(Day(1303), BEFORE_DAWN, {F(188) == 0, F(1811) == 1, F(1842) == 0}, 16),
    Row(ANY_DATE, DAYTIME, {F(188) == 0, F(1589) == 0, F(1598) == 0, F(1596) == 1, F(1597) == 0}, 0),
    Row(ANY_DATE, DAYTIME, {F(188) == 0, F(1375) == 0, F(1390) == 1, F(1391) == 0}, 18),
    Row(ANY_DATE, ANY_TIME, {F(188) == 0}, -1),
    // F[188] = 1 with F[239] = 0, or on 1230 with F[239] = 1.
    Row(ANY_DATE, ANY_TIME, {F(188) == 1, F(239) == 0, F(1298) == 1, F(1299) == 1, F(1301) == 0}, 12),
    Row(ANY_DATE, ANY_TIME, {F(188) == 1, F(239) == 0, F(1298) == 1, F(1299) == 1, F(1301) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(188) == 1, F(239) == 0}, -1),
    Row(Day(1230), ANY_TIME, {F(188) == 1, F(239) == 1, F(1298) == 1, F(1299) == 1, F(1301) == 0}, 12),
    Row(Day(1230), ANY_TIME, {F(188) == 1, F(239) == 1}, -1),
    // Any other F[188] and F[239].
    Row(ANY_DATE, ANY_TIME, {F(239) != 1}, -1),
    Closing(1301, 12),
    Closed(1301),
    Row(ANY_DATE, DAYTIME, {F(1589) == 0, F(1598) == 0, F(1596) == 1, F(1597) == 0}, 0),
    Row(ANY_DATE, DAYTIME, {F(1375) == 0, F(1390) == 1, F(1391) == 0}, 18),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_11_SP[] = {
    Gate(115),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 4}, 0),
    Row(Day(1304), Hours(802, 958), {F(161) == 2}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 2}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 2}, 4),
    Row(ANY_DATE, ANY_TIME, {F(163) == 0}, 5),
    Row(ANY_DATE, ANY_TIME, {F(130) == 2}, 16),
    Row(Day(1304), ANY_TIME, {F(165) == 2}, 15),
    Row(DaysUntil(1305), ANY_TIME, {F(159) == 2}, 8),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 3}, 15),
    Row(ANY_DATE, ANY_TIME, {F(148) == 6}, 7),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 8}, 15),
    Row(ANY_DATE, ANY_TIME, {F(163).In(5, 11)}, 5),
    Row(Day(1305), ANY_TIME, {F(133) == 9}, 19),
    Row(DaysUntil(1305), ANY_TIME, {F(159) == 9}, 8),
    Row(DaysUntil(1305), ANY_TIME, {F(133) >= 13, F(134) == 2}, 0),
    Row(Day(1306), ANY_TIME, {F(159) >= 10, F(160) == 0}, 8),
    Row(DaysFrom(1305), ANY_TIME, {F(149) == 2}, 21),
    Row(ANY_DATE, ANY_TIME, {F(147) == 4}, 2),
    Row(ANY_DATE, ANY_TIME, {F(144) == 6}, 3),
    Row(Day(1306), ANY_TIME, {F(135) == 2}, 0),
    Row(DaysFrom(1305), ANY_TIME, {F(150) == 5}, 10),
    Row(ANY_DATE, ANY_TIME, {F(148) == 1}, 7),
    Row(DaysFrom(1304), ANY_TIME, {F(154) == 0}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(147) == 12}, 2),
    Row(ANY_DATE, ANY_TIME, {F(130) == 7}, 16),
    Row(DaysFrom(1304), ANY_TIME, {F(154) == 5}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(145) == 4}, 12),
    Row(DaysFrom(1305), ANY_TIME, {F(154) == 11}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(130) == 12}, 16),
    Row(ANY_DATE, ANY_TIME, {F(145) == 9}, 12),
    // F[156] != 2 or the date up to 1305: one rule, two rows.
    Row(ANY_DATE, ANY_TIME, {F(156) != 2}, -1),
    Row(DaysUntil(1305), ANY_TIME, {}, -1),
    Always(PAIRED),
};

constexpr RuleRow TOWN_PLACE_12[] = {
    Closing(1309, 2),
    Closed(1309),
    Row(ANY_DATE, ANY_TIME, {F(1167) == 1 || F(1168) == 1}, -1),
    Row(Day(1301), Hours(1200, 2000), {F(1067) == 1, F(1158) == 0}, 11),
    Row(ANY_DATE, ANY_TIME, {F(153) == 0, F(1152) == 0}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1152) == 1, F(1153) == 0}, -1),
    Row(DaysFrom(1222), Hours(800, 2358), {F(1375) == 0, F(1378) == 1, F(1379) == 0}, 5),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 0, F(1169) == 0}, 1),
    Row(Day(1301), BEFORE_DAWN, {F(1811) == 1, F(1840) == 0}, 16),
    Row(Day(1306), BEFORE_DAWN, {F(1811) == 1, F(1845) == 0}, 16),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1602) == 1, F(1603) == 0}, 19),
    Row(Day(1224), BEFORE_DAWN, {F(1811) == 1, F(1832) == 0}, 16),
    Row(ANY_DATE, OUTSIDE_DAYTIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1439) == 1, F(1577) == 0}, 18),
    // Nobody unless F[1480] = 1 and F[1577] = 0; then 18.
    Row(ANY_DATE, ANY_TIME, {F(1480) != 1 || F(1577) != 0}, -1),
    Always(18),
};

constexpr RuleRow TOWN_PLACE_12_SP[] = {
    Gate(116),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 1}, 0),
    Row(ANY_DATE, ANY_TIME, {F(130) == 1}, 16),
    Row(Day(1304), Hours(802, 958), {F(161) == 1}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 1}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 1}, 4),
    Row(ANY_DATE, ANY_TIME, {F(150) != 10}, -1),
    Row(DaysFrom(1306), ANY_TIME, {}, 10),
    OTHERWISE_NOBODY,
};

// Rows 3 to 8 are character 11's timetable, on every weekday but 3.
constexpr RuleRow TOWN_PLACE_13[] = {
    Closing(1308, 18),
    Closed(1308),
    Row(DaysFrom(1222), Hours(800, 1100), {WD != 3, F(1068) == 0, F(1067) == 0}, 11),
    Row(DaysFrom(1222), Hours(1300, 1600), {WD != 3, F(1069) == 0, F(1067) == 0}, 11),
    Row(DaysFrom(1222), Hours(800, 1100), {WD != 3, F(1068) == 0, F(1067) == 1, F(1917) == 0, F(1099) == 0},
        11),
    Row(DaysFrom(1222), Hours(1400, 2000), {WD != 3, F(1069) == 0, F(1067) == 1, F(1917) == 0, F(1099) == 0},
        11),
    Row(DaysFrom(1222), Hours(800, 1100), {WD != 3, F(1068) == 0, F(1067) == 1, F(1099) == 1}, 11),
    Row(DaysFrom(1222), Hours(1400, 2000), {WD != 3, F(1069) == 0, F(1067) == 1, F(1099) == 1}, 11),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1594) == 1, F(1595) == 0}, 0),
    Row(DaysFrom(1222), Hours(900, 2300), {F(810) == 0, F(819) == 0}, 12),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 1, F(1598) == 0, F(1586) == 0}, 19),
    Row(DaysFrom(1223), Hours(800, 2358), {F(1375) == 0, F(1380) == 1, F(1382) == 0}, 5),
    Row(ANY_DATE, ANY_TIME, {F(910).In(3, 4)}, -1),
    Always(2),
};

constexpr RuleRow TOWN_PLACE_13_SP[] = {
    Gate(117),
    Row(ANY_DATE, Hours(900, 1029), {F(813) == 0}, 11),
    Row(Day(1304), ANY_TIME, {F(165) == 1}, 15),
    Row(Day(1304), Hours(802, 958), {F(161) == 3}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 0, F(161) != 0}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 3}, 4),
    Row(ANY_DATE, Hours(1600, 2000), {F(815) == 0}, 11),
    Row(ANY_DATE, ANY_TIME, {F(148) == 3}, 7),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_14[] = {
    Closing(1313, 4),
    Closed(1313),
    Row(Day(1222), Hours(2000, 2000), {F(632) == 1, F(637) == 0}, 4),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1586) == 1, F(1587) == 0}, 0),
    Row(Days(1225, 1228), DAYTIME, {F(1186) == 1, F(1187) != 15, F(1189) == 0}, 1),
    Row(DaysFrom(1226), DAYTIME, {F(1375) == 0, F(1403) == 1, F(1404) == 0}, 5),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 1}, 21),
    Row(Day(1224), Hours(800, 1600), {F(1598) == 1, F(1603) == 1, F(1604) == 0}, 0),
    Row(Days(1223, 1227), Hours(800, 2000), {F(906) == 1, F(910) == 1, F(921) == 0}, 2),
    Row(DaysFrom(1223), Hours(800, 2358), {F(1375) == 0, F(1384) == 1, F(1385) == 0}, 18),
    // Nobody unless on 1228 with F[906] = 1, F[947] = 0 and F[971] = 0; then 2.
    Row(NotDay(1228), ANY_TIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(906) != 1 || F(947) != 0 || F(971) != 0}, -1),
    Always(2),
};

constexpr RuleRow TOWN_PLACE_14_SP[] = {
    Gate(118),
    Row(Day(1304), HoursFrom(1131), {F(165) == 0}, 15),
    Row(DaysUntil(1305), ANY_TIME, {F(133) >= 2, F(134) == 0}, 0),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 1}, 15),
    Row(ANY_DATE, ANY_TIME, {F(130) == 1}, 16),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 6, F(134) == 2}, 19),
    Row(ANY_DATE, ANY_TIME, {F(130) == 6 || F(130) == 9 || F(130) == 13}, 16),
    OTHERWISE_NOBODY,
};

// Rules 1 to 17 and the known later rows lie inside 0660..2200; outside it only the closing rule
// on F[1306] applies.
constexpr TimeTest PLACE_15_HOURS = Hours(660, 2200);
constexpr RuleRow TOWN_PLACE_15[] = {
    Row(ANY_DATE, TimeTest(HoursUntil(659), HoursFrom(2201)), {F(1298) == 1, F(1299) == 1, F(1306) == 0}, 13),
    Row(ANY_DATE, TimeTest(HoursUntil(659), HoursFrom(2201)), {}, -1),
    Row(ANY_DATE, PLACE_15_HOURS, {F(1298) == 1, F(1299) == 1, F(1302) == 0}, 13),
    Row(ANY_DATE, PLACE_15_HOURS, {F(1298) == 1, F(1299) == 1, F(1302) == 1}, -1),
    Row(ANY_DATE, PLACE_15_HOURS,
        {F(511) == 1 || F(472) == 1 || F(309) == 1 || F(1115) == 1 || F(303) == 1 || F(542) == 1 ||
         F(543) == 1},
        -1),
    Row(ANY_DATE, PLACE_15_HOURS, {F(296) == 1, F(297) == 0}, -1),
    Row(Days(1303, 1304), Hours(1260, 1400), {F(242) == 1, F(295) == 0}, 6),
    Row(Day(1306), Hours(1241, 1330), {F(295) == 1, F(296) == 0, F(304) == 0}, 6),
    Row(ANY_DATE, DAYTIME, {F(1811) == 0}, 16),
    Row(Day(1229), Hours(660, 800), {F(1077) == 1, F(1082) == 0}, 18),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1594) == 1, F(1595) == 0}, 0),
    Row(DaysFrom(1222), Hours(760, 2200), {F(1375) == 0, F(1376) == 1, F(1377) == 1, F(1378) == 0}, 18),
    Row(DaysFrom(1225), DAYTIME, {F(1375) == 0, F(1392) == 1, F(1393) == 0}, 18),
    Row(Days(1225, 1228), DAYTIME, {F(1186) == 1, F(1187) != 15, F(1191) == 0}, 1),
    Row(DaysFrom(1229), DAYTIME, {F(1077) == 1, F(1081) == 1, F(1415) == 0}, 5),
    Row(Except(DaysFrom(1229), 1301), DAYTIME,
        {F(1213) == 1, F(1288) == 1, F(1290) == 0, F(1296) == 1, F(1297) == 0}, 1),
    Row(DaysFrom(1222), Hours(760, 1100), {WD != 3, F(1068) == 0, F(1067) == 0}, 11),
    Row(DaysFrom(1222), Hours(1260, 1600), {WD != 3, F(1069) == 0, F(1067) == 0}, 11),
    // Rule 17 tests F[1068] in its first window and F[1069] in its second; "F[1099] = 1 or
    // (F[1070] != 15 and F[1099] = 0)" is written as its two factors.
    Row(DaysFrom(1222), Hours(860, 1000),
        {WD != 3, F(1067) == 1, F(1068) == 0, F(1099) == 1 || F(1070) != 15, F(1099).In(0, 1)}, 11),
    Row(DaysFrom(1222), Hours(1360, 1500),
        {WD != 3, F(1067) == 1, F(1069) == 0, F(1099) == 1 || F(1070) != 15, F(1099).In(0, 1)}, 11),
    Row(DateIsWord(435, Compare::NotEqual), Hours(760, 2000),
        {F(1470) == 1, F(1375) == 1, F(1481) == 0, F(1472) == 0}, 5),
    Row(Day(1223), Hours(1660, 1800), {F(251) == 0}, 13),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_15_SP[] = {
    Gate(119),
    Row(DaysUntil(1305), Hours(1260, 1400), {F(139) != 8}, 6),
    Row(Day(1306), Hours(1260, 1400), {F(141) == 0}, 6),
    Row(ANY_DATE, Hours(860, 1029), {F(813) == 0}, 11),
    Row(ANY_DATE, Hours(1560, 2000), {F(815) == 0}, 11),
    Row(DaysFrom(1306), ANY_TIME, {F(156) == 1}, PAIRED),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_16[] = {
    Closing(1315, 1),
    Closed(1315),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 0, F(1169) == 1, F(1172) == 0}, 1),
    Row(DaysFrom(1225), DAYTIME, {F(1375) == 0, F(1392) == 1, F(1393) == 0}, 18),
    Row(DaysFrom(1229), DAYTIME, {F(1375) == 0, F(1442) == 1, F(1443) == 0}, 18),
    Row(DaysFrom(1229), DAYTIME, {F(1598) == 1, F(1591) == 1, F(1593) == 0}, 19),
    Row(Day(1228), BEFORE_DAWN, {F(1811) == 1, F(1836) == 0}, 16),
    Row(Days(1225, 1228), DAYTIME, {F(1598) == 1, F(1591) == 1, F(1593) == 0}, 19),
    Row(DaysFrom(1225), Hours(860, 2300), {F(810) == 0, F(832) == 0}, 12),
    Row(Day(1224), Hours(760, 1600), {F(1598) == 1, F(1602) == 1, F(1603) == 0}, 19),
    Row(Day(1224), Hours(1860, 2300), {F(210) == 1, F(648) == 0}, 23),
    Row(Day(1224), Hours(1660, 2000), {}, -1),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1587) == 1, F(1588) == 0}, 19),
    Row(DaysFrom(1223), Hours(760, 2358), {F(1375) == 0, F(1383) == 1, F(1384) == 0}, 5),
    Row(Days(1224, 1227), Hours(760, 2000), {F(906) == 1, F(910) == 0, F(928) == 0}, 2),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_16_SP[] = {
    Row(Day(1304), Hours(802, 958), {F(161) == 0}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 0}, 4),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 3, F(134) == 1}, 19),
    Row(ANY_DATE, ANY_TIME, {F(128) == 0}, 16),
    Row(DaysFrom(1305), ANY_TIME, {F(149) == 3}, 21),
    Row(ANY_DATE, ANY_TIME, {F(130) == 7}, 16),
    Row(ANY_DATE, ANY_TIME, {F(130) == 12}, 16),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_17[] = {
    Closing(1321, 5),
    Closed(1321),
    Row(ANY_DATE, ANY_TIME, {F(689) == 1}, -1),
    Row(Days(1224, 1227), Hours(760, 2000), {F(906) == 1, F(910) == 0, F(926) == 0}, 2),
    Row(DaysFrom(1229), Hours(760, 2000), {F(906) == 1, F(947) == 1, F(972) == 0, F(910).NotIn(3, 4)}, 2),
    Row(DaysFrom(1229), Hours(760, 2000), {F(906) == 1, F(947) == 0, F(971) == 0, F(910).NotIn(3, 4)}, 2),
    Row(Day(1228), Hours(960, 1200), {F(366) == 0}, 3),
    Row(Day(1228), Hours(1502, 2000), {F(906) == 1, F(947) == 0, F(971) == 0, F(910).NotIn(3, 4)}, 2),
    Row(Day(1228), Hours(1702, 2000), {F(906) == 1, F(947) == 1, F(972) == 0, F(910).NotIn(3, 4)}, 2),
    Row(Day(1228), DAYTIME, {F(1186) == 1, F(1187) != 15, F(1202) == 0}, 1),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_17_SP[] = {
    Gate(120),
    Row(Day(1304), HoursFrom(1131), {F(165) == 0}, 15),
    Row(Day(1304), HoursFrom(1031), {F(133) == 0}, 19),
    Row(Except(DaysUntil(1305), 1304), ANY_TIME, {F(133) == 0}, 19),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 3}, 15),
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 5}, 19),
    Row(ANY_DATE, ANY_TIME, {F(169) == 1, F(171) == 8}, 15),
    Row(DaysFrom(1304), ANY_TIME, {F(149) == 0}, 21),
    Row(Day(1304), Hours(802, 958), {F(161) == 0}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 0}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 0, F(161) == 0}, 4),
    Row(DaysUntil(1305), ANY_TIME, {F(159) == 3}, 8),
    Row(ANY_DATE, ANY_TIME, {F(144) == 5}, 3),
    Row(ANY_DATE, ANY_TIME, {F(163) == 4}, 18),
    Row(DaysUntil(1305), ANY_TIME, {F(159).In(5, 9)}, 8),
    Row(ANY_DATE, ANY_TIME, {F(128) == 1, F(130) == 0}, 16),
    Row(ANY_DATE, ANY_TIME, {F(163) == 10}, 5),
    Row(ANY_DATE, ANY_TIME, {F(147) == 1}, 2),
    Row(ANY_DATE, ANY_TIME, {F(145) == 5}, 12),
    Row(Day(1306), ANY_TIME, {F(159) >= 10, F(160) == 0}, 8),
    Row(DaysFrom(1304), ANY_TIME, {F(154) == 4}, PAIRED),
    Row(DaysFrom(1305), ANY_TIME, {F(154) == 10}, PAIRED),
    Row(DaysFrom(1306), ANY_TIME, {F(156) == 1}, PAIRED),
    OTHERWISE_NOBODY,
};

// Nobody in the SP scenario; the rows after the first read the clock 10 minutes on.
constexpr RuleRow TOWN_PLACE_18[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Advance(10),
    Row(ANY_DATE, ANY_TIME, {F(1299) != 0}, -1),
    Row(Day(1307), ANY_TIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(683) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(633) == 1, F(635) == 0, F(634) == 0}, -1),
    Row(Days(1222, 1227), Hours(760, 1500), {F(906) == 1, F(910) != 2, F(915) == 0}, 2),
    Row(Days(1222, 1227), Hours(760, 1500), {F(906) == 1, F(916) == 1, F(913) == 0}, 1),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1596) == 1, F(1597) == 0}, 0),
    Row(DaysFrom(1225), DAYTIME, {F(1375) == 0, F(1390) == 1, F(1391) == 0}, 18),
    Row(Day(1228), BEFORE_DAWN, {F(1811) == 1, F(1836) == 1}, 16),
    Row(Day(1226), BEFORE_DAWN, {F(1811) == 1, F(1834) == 0}, 16),
    Row(DaysFrom(1225), Hours(860, 2300), {F(810) == 1, F(835) == 0}, 12),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 1}, 21),
    Row(Days(1225, 1228), DAYTIME, {F(1186) == 1, F(1207) == 0}, 1),
    Row(Day(1222), BEFORE_DAWN, {F(1811) == 1, F(1812) == 0}, 16),
    Row(DaysFrom(1229), DAYTIME, {F(1077) == 1, F(1081) == 1, F(1415) == 1, F(1416) == 0}, 5),
    Row(DaysFrom(1229), Hours(860, 1800), {F(506) == 1, F(524) == 0, F(523) == 2}, 7),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1404) == 1, F(1406) == 0}, 18),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1406) == 1, F(1407) == 0}, 5),
    Row(DaysFrom(1302), Hours(760, 2258), {F(1345) == 1, F(1336) == 0}, 20),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_19[] = {
    Closing(1305, 5),
    Closed(1305),
    Row(ANY_DATE, ANY_TIME, {F(763) == 1, F(785) == 0}, -1),
    Row(ANY_DATE, Hours(860, 2200),
        {WD != 0, F(136) == 1, F(632) == 1, F(655) == 0, F(651) == 0, F(1285) == 0, F(1322) == 0}, 20),
    Row(DaysFrom(1231), Hours(760, 930), {WD != 0, F(686) == 1, F(651) == 0, F(724) == 0, F(721) != 4}, 4),
    Row(Day(1228), DAYTIME, {F(1186) == 1, F(1187) != 15, F(1203) == 0}, 1),
    Row(Days(1230, 1231), DAYTIME, {F(1247) == 1, F(1250) == 0}, 1),
    Row(DaysFrom(1230), Hours(760, 930), {F(686) == 0, F(704).In(0, 1), F(651) == 0}, 4),
    Row(DaysFrom(1222), Hours(760, 2358), {F(1375) == 0, F(1395) == 1, F(1397) == 0}, 2),
    Row(Day(1226), BEFORE_DAWN, {F(1811) == 1, F(1834) == 0}, 16),
    Row(Day(1230), BEFORE_DAWN, {F(1811) == 1, F(1838) == 0}, 16),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1615) == 1, F(1616) == 0}, 0),
    Row(DaysFrom(1225), DAYTIME, {F(1375) == 0, F(1390) == 1, F(1391) == 0}, 18),
    Row(DaysFrom(1230), Hours(760, 930), {F(686) == 0, F(704) == 2, F(651) == 0}, 4),
    Row(DaysFrom(1303), DAYTIME, {F(1247) == 1, F(1275) == 1, F(1276) == 0}, 1),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_19_SP[] = {
    Gate(122),
    Row(DaysFrom(1306), ANY_TIME, {F(156) == 2}, PAIRED),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_20[] = {
    Closing(1314, 0),
    Closed(1314),
    Row(Day(1229), Hours(1260, 1500), {F(361).In(0, 1)}, 3),
    Row(Day(1229), Hours(1501, 1600), {F(361) == 1}, 3),
    Row(Day(1229), TimeTest(HoursUntil(1259), HoursFrom(1601)), {F(361) == 1, F(372) == 0}, -1),
    Row(Day(1225), Hours(1760, 2200), {F(210) == 1, F(662) == 0}, 23),
    Row(DaysFrom(1225), Hours(1860, 2300), {F(810) == 1, F(841) == 0}, 12),
    Row(ANY_DATE, Hours(1060, 2000), {F(1227) == 1, F(1228) == 0, F(1285) == 0}, 20),
    Row(Days(1223, 1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1615) == 0, F(1586) == 1, F(1639) == 0}, 0),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_20_SP[] = {
    Gate(123),
    OTHERWISE_NOBODY,
};

// Nobody in the SP scenario; the rows after the first read the clock 10 minutes on. The list
// ends in a routine of its own, the tail below.
constexpr RuleRow TOWN_PLACE_21[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Advance(10),
    Row(ANY_DATE, ANY_TIME, {F(1299) != 0}, -1),
    Row(Day(1307), ANY_TIME, {}, -1),
    Row(Day(1224), HoursFrom(1660), {F(408) == 1, F(427) == 0, F(426) == 0}, 13),
    Row(Day(1224), Hours(760, 1400), {F(408) == 1, F(427) == 0, F(426) == 0}, 0),
    Row(ANY_DATE, ANY_TIME, {F(1652) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1521) == 1}, 13),
    Row(ANY_DATE, ANY_TIME, {F(1523) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1683) == 1}, 0),
    Row(ANY_DATE, Hours(1860, 2100), {F(1668) == 1, F(1682) == 0}, 0),
    Row(ANY_DATE, ANY_TIME, {F(1668) == 1, F(1682) == 0}, -1),
    Row(Days(1301, 1303), Hours(660, 1158), {F(290) == 0, F(310) == 0}, 13),
    Row(Days(1301, 1303), HoursFrom(1460), {F(290) == 0, F(310) == 0}, 13),
    Row(DaysFrom(1301), Hours(660, 1099), {F(290) == 0, F(310) == 0}, 13),
    Row(DaysFrom(1301), HoursFrom(1701), {F(290) == 0, F(310) == 0}, 13),
    Row(DateIsWord(439), ANY_TIME, {F(1721) == 1, F(1722) == 0, F(1723) == 0, F(1724) == 0}, 13),
    Call(Routine::TownPlace21Tail),
};

constexpr RuleRow TOWN_PLACE_21_TAIL[] = {
    Row(Day(1304), Hours(560, 1000), {F(606) == 0}, 13),
    Row(Day(1304), Hours(1760, 2200), {F(607) == 0}, 13),
    Row(Day(1305), Hours(660, 1000), {F(609) == 0}, 13),
    Row(Day(1305), Hours(1760, 2200), {F(610) == 0}, 13),
    Row(Day(1306), Hours(660, 1099), {F(612) == 0}, 13),
    Row(Day(1306), Hours(1760, 2300), {F(613) == 0}, 13),
    Row(DaysFrom(1304), DAYTIME, {F(1724) == 1, F(1744) == 1, F(1746) == 0}, 0),
    Row(Day(1224), HoursFrom(2260), {F(256) == 0}, 13),
    Row(Day(1225), Hours(1660, 2100), {F(259) == 0}, 13),
    Row(ANY_DATE, ANY_TIME, {F(50) != 0}, -1),
    Row(Except(ANY_DATE, 1226, 1301), Hours(831, 1099),
        {F(273) != 15, F(271) == 0, F(310) == 0, F(2049) == 1}, 13),
    Row(Except(ANY_DATE, 1226, 1301), Hours(831, 1099), {F(273) != 15, F(271) == 0, F(310) == 0}, -1),
    Row(ANY_DATE, Hours(1801, 2199), {F(274) != 15, F(271) == 0, F(310) == 0, F(2049) == 1}, 13),
    OTHERWISE_NOBODY,
};

// From 1303 on, on a day other than the one Val[15] holds.
constexpr DateTest PLACE_22_VAL15{
    .Low = 1303, .Stored = StoredKind::Value, .Op = Compare::NotEqual, .StoredIndex = 15};
constexpr RuleRow TOWN_PLACE_22[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Closing(1310, 7),
    Closed(1310),
    Row(ANY_DATE, ANY_TIME, {F(1575) == 1 || F(1506) == 1 || F(907) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(314) == 1, F(315) == 0}, 6),
    Row(ANY_DATE, ANY_TIME, {F(310) == 1, F(311) == 0, F(313).In(0, 1)}, -1),
    Row(ANY_DATE, ANY_TIME, {F(534) == 1, F(535) == 0}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1742) == 1 || F(1079) == 1 || F(1080) == 1}, -1),
    Row(ANY_DATE, DAYTIME, {F(1811) == 0}, 16),
    Row(Day(1228), BEFORE_DAWN, {F(1811) == 1, F(1836) == 0}, 16),
    Row(Day(1229), HoursFrom(801), {F(1077) == 1, F(1082) == 0, F(1081) == 0}, 18),
    Row(DaysFrom(1230), ANY_TIME, {F(1077) == 1, F(1082) == 0, F(1081) == 0}, 18),
    Row(DateIsWord(439), ANY_TIME, {F(1717) == 1, F(1721) == 0}, 0),
    Row(Days(1222, 1227), Hours(1060, 1500), {F(906) == 0}, 2),
    Row(Days(1228, 1229), Hours(1660, 2200), {F(406) == 1, F(432) == 1, F(437) == 0}, 10),
    Row(DaysFrom(1222), Hours(760, 2200), {F(1375) == 0, F(1376) == 1, F(1377) == 1, F(1378) == 0}, 18),
    Row(DaysFrom(1228), Hours(960, 2000),
        {F(947) == 1, F(976) == 0, F(1082) == 0, F(1589) == 0, F(1598) == 0}, 0),
    Row(PLACE_22_VAL15, DAYTIME, {F(1508) == 1, F(1524) == 1, F(1526) == 0}, 14),
    Row(PLACE_22_VAL15, DAYTIME, {F(1508) == 1, F(1526) == 1, F(1532) == 0}, 8),
    Row(DateIsWord(435, Compare::NotEqual), ANY_TIME,
        {F(1470) == 1, F(1375) == 1, F(1481) == 0, F(1472) == 0}, 5),
    OTHERWISE_NOBODY,
};

// Tried first in the SP scenario.
constexpr TimeTest PLACE_23_SP_HOURS{Hours(860, 1029), Hours(1701, 2000)};
constexpr RuleRow TOWN_PLACE_23_SP[] = {
    Row(DaysUntil(1305), ANY_TIME, {F(133) == 3, F(134) == 1}, 19),
    Row(ANY_DATE, PLACE_23_SP_HOURS, {F(143) == 0}, 13),
    Row(Day(1304), Hours(802, 958), {F(161) == 2}, 4),
    Row(Day(1305), Hours(802, 1300), {F(161) == 2}, 4),
    Row(Day(1306), ANY_TIME, {F(162) == 2}, 4),
    Row(ANY_DATE, PLACE_23_SP_HOURS, {F(143) == 1, F(651) == 0}, 13),
    Row(ANY_DATE, ANY_TIME, {F(163) == 1}, 18),
    Row(ANY_DATE, PLACE_23_SP_HOURS, {F(143) == 2, F(651) == 0}, 13),
    Row(ANY_DATE, ANY_TIME, {F(163) == 6}, 18),
    Row(ANY_DATE, ANY_TIME, {F(144) == 9}, 3),
    Row(DaysFrom(1304), ANY_TIME, {F(149) == 1}, 21),
    Row(ANY_DATE, ANY_TIME, {F(130) == 1}, 16),
    Row(ANY_DATE, ANY_TIME, {F(147) == 0}, 2),
    Row(DaysFrom(1304), ANY_TIME, {F(154).In(1, 6)}, PAIRED),
    Row(DaysFrom(1305), ANY_TIME, {F(154) == 12}, PAIRED),
    Row(ANY_DATE, ANY_TIME, {F(130) == 11}, 16),
    OTHERWISE_NOBODY,
};

// The first three rows read the walk's clock, the rest the clock 10 minutes on.
constexpr RuleRow TOWN_PLACE_23[] = {
    Row(Days(1301, 1303), ANY_TIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1}, -1),
    Row(ANY_DATE, TimeTest(HoursUntil(1059), HoursFrom(1700)), {}, -1),
    Advance(10),
    Row(Day(1223), Hours(1360, 1699), {F(249) == 0}, 22),
    Row(Day(1224), Hours(1360, 1699), {F(254) == 0}, 22),
    Row(Day(1225), Hours(1360, 1699), {F(258) == 0}, 22),
    Row(Day(1226), Hours(1360, 1599), {F(265) == 0}, 22),
    Row(Day(1227), Hours(1260, 1699), {F(269) == 0}, 22),
    Row(Day(1228), Hours(1360, 1699), {F(270) == 0, F(280) == 0}, 22),
    Row(Day(1228), Hours(1360, 1699), {F(270) == 0, F(281) == 0}, 22),
    Always(13),
};

// Answered by the town dispatcher itself, and the place's list in the table below.
constexpr RuleRow TOWN_PLACE_24[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1, F(1301).In(0, 1)}, -1),
    Row(DaysUntil(1229), Hours(1360, 1700), {}, 6),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_25[] = {
    Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1}, 1),
    Row(Day(1225), Hours(1760, 2200), {F(250) != 0, F(270) == 0, F(588) == 0}, 22),
    Row(ANY_DATE, Hours(660, 930), {WD != 0, F(632) == 0, F(763) == 0}, 4),
    Row(ANY_DATE, Hours(860, 1600), {WD == 0, F(632) == 0, F(763) == 0}, 4),
    Row(DaysFrom(1222), Hours(760, 2200), {F(1375) == 0, F(1376) == 1, F(1377) == 1, F(1378) == 0}, 18),
    Row(ANY_DATE, Hours(560, 800), {WD != 0, F(635) == 1, F(649) == 0, F(763) == 0}, 4),
    Row(ANY_DATE, DAYTIME, {F(1811) == 0}, 16),
    Row(Day(1302), BEFORE_DAWN, {F(1811) == 1, F(1841) == 0}, 16),
    Row(DaysFrom(1224), DAYTIME, {F(1589) == 1, F(1598) == 0, F(1586) == 0}, 19),
    Row(DateIsWord(435, Compare::NotEqual), Hours(760, 2000),
        {F(1470) == 1, F(1375) == 1, F(1481) == 0, F(1472) == 0}, 5),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_25_SP[] = {
    Gate(121),
    OTHERWISE_NOBODY,
};

// Nobody in the SP scenario; the rows after the first read the clock 20 minutes on. Rows 18 and
// 19 are reached only from 1304 on inside 0760..1800, with no date or time of their own.
constexpr RuleRow TOWN_PLACE_26[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Advance(20),
    Row(Day(1307), ANY_TIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1}, -1),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1411) == 1, F(1412) == 0}, 5),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1610) == 1, F(1611) == 0}, 19),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 0}, 21),
    Row(DaysFrom(1231), Hours(860, 1700), {F(440) == 1, F(442) != 15, F(445) == 3}, 21),
    Row(DaysFrom(1304), ANY_TIME, {F(454) == 1, F(456) == 1, F(458) != 15, F(459) == 1}, 21),
    Row(ANY_DATE, Hours(860, 1600), {F(484) == 0, F(483) == 1}, 7),
    Row(Day(1227), DAYTIME, {F(906) == 1, F(910) == 1, F(942) == 0}, 2),
    Row(DaysFrom(1223), Hours(760, 2358), {F(1375) == 0, F(1379) != 0, F(1380) == 0}, 18),
    Row(DaysFrom(1228), Hours(860, 1800), {F(810) == 0, F(864) == 0}, 12),
    Row(DaysFrom(1230), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1668) == 1, F(1678) == 1, F(1679) == 0}, 0),
    Row(Day(1304), BEFORE_DAWN, {F(1811) == 1, F(1843) == 0}, 16),
    Row(DaysFrom(1302), DAYTIME, {F(1083) == 1, F(910) == 4, F(1089) == 0}, 2),
    Row(DaysUntil(1303), ANY_TIME, {}, -1),
    Row(ANY_DATE, OUTSIDE_DAYTIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1082) == 1, F(1419) == 0, F(1435) == 1, F(1436) == 0}, 18),
    Row(ANY_DATE, ANY_TIME, {F(983) == 1, F(1116) == 1, F(1140) == 0}, 2),
    OTHERWISE_NOBODY,
};

// Nobody in the SP scenario or once F[1299] is set; the rows after the first read the clock 20
// minutes on.
constexpr RuleRow TOWN_PLACE_27[] = {
    Row(ANY_DATE, ANY_TIME, {SP || F(1299) != 0}, -1),
    Advance(20),
    Row(Day(1307), ANY_TIME, {}, -1),
    Row(DaysFrom(1222), DAYTIME, {F(1375) == 0, F(1376) == 0}, 5),
    Row(Day(1224), Hours(960, 1400), {F(1182) == 0}, 1),
    Row(Days(1225, 1231), Hours(1460, 1800),
        {F(1186) == 1, F(1180) == 0, F(1187) >= 4, F(1215) == 0, F(1243) == 0}, 1),
    Row(Days(1225, 1231), Hours(1460, 1800),
        {F(1186) == 1, F(1180) == 0, F(1187) >= 4, F(1218) == 0, F(1243) == 0}, 1),
    Row(DaysFrom(1225), DAYTIME, {F(1375) == 0, F(1391) == 1, F(1392) == 0}, 5),
    Row(DaysFrom(1226), DAYTIME, {F(1375) == 0, F(1400) == 1, F(1401) == 0}, 5),
    Row(Days(1230, 1231), Hours(760, 1900), {F(1237) == 0, F(1180) == 0, F(1243) == 0}, 1),
    Row(Day(1226), BEFORE_DAWN, {F(1811) == 1, F(1834) == 1}, 16),
    Row(Day(1227), BEFORE_DAWN, {F(1811) == 1, F(1835) == 1}, 16),
    Row(DaysFrom(1223), DAYTIME,
        {F(1589) == 0, F(1598) == 0, F(1615) == 0, F(1597) == 1, F(1634) == 1, F(1635) == 0}, 0),
    OTHERWISE_NOBODY,
};

// Nobody in the SP scenario; row 2 reads the walk's clock, the rows after it the clock 10
// minutes on.
constexpr RuleRow TOWN_PLACE_28[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Row(ANY_DATE, Hours(860, 1600), {WD == 0, F(632) == 1, F(633) == 0, F(635) == 0}, 4),
    Advance(10),
    Row(Day(1307), ANY_TIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1298) == 1, F(1299) == 1}, -1),
    Row(Days(1222, 1227), Hours(760, 1500), {F(906) == 1, F(910) != 2, F(915) == 1, F(914) == 0}, 2),
    Row(Days(1222, 1227), Hours(760, 1500), {F(906) == 1, F(910) != 2, F(915) == 1, F(914) == 1}, 2),
    Row(DaysFrom(1226), DAYTIME, {F(1375) == 0, F(1400) == 1, F(1401) == 0}, 5),
    Row(Days(1227, 1229), Hours(560, 2300), {F(429) != 15, F(433) == 2, F(434) == 0, F(430) == 1}, 21),
    Row(ANY_DATE, Hours(860, 1600), {F(484) == 0, F(483) == 1}, 7),
    Row(DaysFrom(1229), Hours(860, 1800), {F(506) == 1, F(524) == 0, F(523) == 1}, 7),
    Row(DaysFrom(1230), DAYTIME, {F(810) == 0, F(875) == 0}, 12),
    Row(Days(1228, 1231), DAYTIME, {F(973) == 1, F(906) == 1, F(910) == 2, F(982) == 0}, 2),
    Row(Day(1230), BEFORE_DAWN, {F(1811) == 1, F(1838) == 0}, 16),
    Row(DaysFrom(1230), DAYTIME, {F(1082) == 1, F(1419) == 0, F(1424) == 1, F(1425) == 0}, 18),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1612) == 1, F(1613) == 0}, 0),
    Row(Day(1305), BEFORE_DAWN, {F(1811) == 1, F(1844) == 1}, 16),
    Row(DaysFrom(1231), Hours(660, 930), {F(686) == 1, F(724) == 0, F(736) == 0}, 4),
    Row(DaysFrom(1302), Hours(760, 2000), {F(983) == 1, F(1132) == 0, F(1116) == 1}, 2),
    Row(Days(1225, 1303), ANY_TIME, {}, -1),
    Row(Day(1304), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1702) == 0}, 0),
    Row(DaysFrom(1304), DAYTIME, {F(1724) == 1, F(1750) == 1, F(1751) == 0}, 0),
    Row(DaysFrom(1304), DAYTIME, {F(1082) == 1, F(1419) == 0, F(1436) == 1, F(1437) == 0}, 5),
    Row(DaysFrom(1304), TimeTest(HoursUntil(759), HoursFrom(1901)), {}, -1),
    Row(DaysFrom(1304), Hours(760, 1900), {F(906) == 1, F(910) == 2, F(1059) == 0}, 2),
    Row(DaysFrom(1304), ANY_TIME, {}, -1),
    Row(Day(1224), BEFORE_DAWN, {F(1811) == 1, F(1832) == 1}, 16),
    OTHERWISE_NOBODY,
};

constexpr RuleRow TOWN_PLACE_29[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Closing(1318, 5),
    Closed(1318),
    Row(ANY_DATE, ANY_TIME, {F(123) == 0}, -1),
    Row(Day(1224), Hours(960, 1700), {F(210) == 1, F(644) == 0}, 19),
    Row(ANY_DATE, Hours(1260, 1500), {WD != 0, F(210) == 1, F(628) == 0, F(701) == 0, F(763) == 0}, 23),
    Row(ANY_DATE, DAYTIME, {F(1811) == 0}, 16),
    Row(Day(1225), BEFORE_DAWN, {F(1811) == 1, F(1833) == 0}, 16),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 1, F(1598) == 0, F(1586) == 0}, 0),
    Row(ANY_DATE, Hours(860, 1700),
        {WD != 0, F(123) == 1, F(632) == 1, F(656) == 0, F(652) == 0, F(1285) == 0, F(1322) == 0}, 20),
    Row(DaysFrom(1223), Hours(760, 2358), {F(1375) == 0, F(1382) != 0, F(1383) == 0}, 18),
    Row(DaysFrom(1223), Hours(860, 2300), {F(810) == 1, F(827) == 0}, 12),
    Row(DaysFrom(1222), Hours(760, 2358), {F(1375) == 0, F(1393) == 1, F(1394) == 0}, 5),
    Row(DaysFrom(1226), DAYTIME, {F(1375) == 0, F(1398) == 1, F(1400) == 0}, 18),
    Row(Day(1224), BEFORE_DAWN, {F(1811) == 1, F(1832) == 1}, 16),
    Row(Day(1224), ANY_TIME, {}, -1),
    OTHERWISE_NOBODY,
};

// Nobody in the SP scenario or once F[1299] is set; the rows after the first read the clock 20
// minutes on. On 1230 nothing between rows 5 and 12 applies.
constexpr RuleRow TOWN_PLACE_30[] = {
    Row(ANY_DATE, ANY_TIME, {SP || F(1299) != 0}, -1),
    Advance(20),
    Row(Day(1307), ANY_TIME, {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1216) == 1, F(1217) == 0 || F(1219) == 0}, 20),
    Row(ANY_DATE, Hours(860, 1700), {F(521) == 0, F(517) == 1}, 7),
    Row(Day(1230), BEFORE_DAWN, {F(1811) == 1, F(1838) == 0}, 16),
    Row(Days(1225, 1227), DAYTIME, {F(906) == 1, F(910) == 1, F(931) == 0}, 2),
    Row(DaysFrom(1231), Hours(860, 1700), {F(440) == 1, F(442) != 15, F(445) == 3}, 21),
    Row(DaysFrom(1304), ANY_TIME, {F(454) == 1, F(456) == 1, F(458) != 15, F(459) == 1}, 21),
    Row(Day(1305), DAYTIME, {F(770) == 1, F(774) == 0}, 4),
    Row(DaysUntil(1225), ANY_TIME, {}, -1),
    Row(Day(1303), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1700) == 0}, 0),
    Row(ANY_DATE, ANY_TIME, {F(810) != 0}, -1),
    Row(ANY_DATE, DAYTIME, {F(847) == 0}, 12),
    OTHERWISE_NOBODY,
};

} // namespace

TownPlaceLists TownPlaceRules(uint32_t place)
{
    switch (place) {
    case 0:
        return {TOWN_PLACE_0, TOWN_PLACE_0_SP};
    case 1:
        return {TOWN_PLACE_1, TOWN_PLACE_1_SP};
    case 2:
        return {TOWN_PLACE_2, TOWN_PLACE_2_SP};
    case 3:
        return {TOWN_PLACE_3, TOWN_PLACE_3_SP};
    case 4:
        return {TOWN_PLACE_4, TOWN_PLACE_4_SP};
    case 5:
        return {TOWN_PLACE_5, TOWN_PLACE_5_SP};
    case 6:
        return {TOWN_PLACE_6, TOWN_PLACE_6_SP};
    case 7:
        return {TOWN_PLACE_7, TOWN_PLACE_7_SP};
    case 8:
        return {TOWN_PLACE_8, TOWN_PLACE_8_SP};
    case 9:
        return {TOWN_PLACE_9, TOWN_PLACE_9_SP};
    case 10:
        return {TOWN_PLACE_10, TOWN_PLACE_10_SP};
    case 11:
        return {TOWN_PLACE_11, TOWN_PLACE_11_SP};
    case 12:
        return {TOWN_PLACE_12, TOWN_PLACE_12_SP};
    case 13:
        return {TOWN_PLACE_13, TOWN_PLACE_13_SP};
    case 14:
        return {TOWN_PLACE_14, TOWN_PLACE_14_SP};
    case 15:
        return {TOWN_PLACE_15, TOWN_PLACE_15_SP};
    case 16:
        return {TOWN_PLACE_16, TOWN_PLACE_16_SP};
    case 17:
        return {TOWN_PLACE_17, TOWN_PLACE_17_SP};
    case 18:
        return {TOWN_PLACE_18, TOWN_PLACE_18};
    case 19:
        return {TOWN_PLACE_19, TOWN_PLACE_19_SP};
    case 20:
        return {TOWN_PLACE_20, TOWN_PLACE_20_SP};
    case 21:
        return {TOWN_PLACE_21, TOWN_PLACE_21};
    case 22:
        return {TOWN_PLACE_22, TOWN_PLACE_22};
    case 23:
        return {TOWN_PLACE_23, TOWN_PLACE_23_SP};
    case 24:
        return {TOWN_PLACE_24, TOWN_PLACE_24};
    case 25:
        return {TOWN_PLACE_25, TOWN_PLACE_25_SP};
    case 26:
        return {TOWN_PLACE_26, TOWN_PLACE_26};
    case 27:
        return {TOWN_PLACE_27, TOWN_PLACE_27};
    case 28:
        return {TOWN_PLACE_28, TOWN_PLACE_28};
    case 29:
        return {TOWN_PLACE_29, TOWN_PLACE_29};
    case 30:
        return {TOWN_PLACE_30, TOWN_PLACE_30};
    default:
        return {};
    }
}

RuleList TownPlace24Rules()
{
    return TOWN_PLACE_24;
}

RuleList RoutineRules(Routine routine)
{
    switch (routine) {
    case Routine::TownPlace21Tail:
        return TOWN_PLACE_21_TAIL;
    }
    return {};
}

} // namespace presence
