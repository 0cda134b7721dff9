// The second sub map's rule lists. Place 6 has none.

#include "game/presence/PresenceRules.h"

namespace presence {

namespace {

constexpr TimeTest DAYTIME = Hours(760, 1800);

constexpr RuleRow SUBMAP_PLACE_0[] = {
    Row(ANY_DATE, ANY_TIME, {SP}, -1),
    Row(ANY_DATE, ANY_TIME, {F(974) == 1}, 2),
    Row(ANY_DATE, ANY_TIME, {F(904) == 1}, -1),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1594) == 1, F(1595) == 0}, 0),
    Row(ANY_DATE, DAYTIME, {F(1811) == 0}, 16),
    Row(Day(1223), HoursUntil(600), {F(1811) == 1, F(1831) == 0}, 16),
    Row(Day(1227), HoursUntil(600), {F(1811) == 1, F(1835) == 1}, 16),
    Row(Day(1231), HoursUntil(600), {F(1811) == 1, F(1839) == 1}, 16),
    Row(Day(1306), HoursUntil(600), {F(1811) == 1, F(1845) == 0}, 16),
    Row(DaysFrom(1222), Hours(860, 2300), {F(810) == 0, F(817) == 0}, 12),
    Row(DaysFrom(1222), Hours(760, 2358), {F(1375) == 0, F(1378) == 1, F(1379) == 0}, 5),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1586) == 1, F(1587) == 0}, 0),
    Row(DaysFrom(1223), Hours(860, 2300), {F(810) == 1, F(825) == 0}, 12),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_1[] = {
    Row(Day(1222), Hours(1560, 1800), {F(317) != 15, F(329) == 0}, 3),
    Row(Day(1223), Hours(1160, 1400), {F(317) != 15, F(335) == 0}, 3),
    Row(Day(1223), Hours(1660, 1900), {F(317) != 15, F(337) == 0}, 3),
    Row(Day(1224), Hours(1360, 1600), {F(317) != 15, F(340) == 0}, 3),
    Row(Day(1225), Hours(1260, 1500), {F(317) != 15, F(345) == 0}, 3),
    Row(Day(1227), Hours(1160, 1300), {F(317) != 15, F(362) == 0}, 3),
    Row(Day(1228), Hours(1160, 1400), {F(317) != 15, F(367) == 0}, 3),
    Row(Day(1228), Hours(1560, 1800), {F(317) != 15, F(369) == 0}, 3),
    Row(Day(1304), Hours(1360, 1600), {F(317) != 15, F(393) == 0}, 3),
    Row(Day(1305), Hours(1260, 1500), {F(317) != 15, F(396) == 0}, 3),
    Row(Day(1306), Hours(1460, 1700), {F(317) != 15, F(400) == 0}, 3),
    Row(ANY_DATE, ANY_TIME, {F(318) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(356) == 1, F(358) == 0}, -1),
    Row(DaysFrom(1225), Hours(860, 2300), {F(810) == 1, F(838) == 0}, 12),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1588) == 1, F(1594) == 0}, 0),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_2[] = {
    Row(ANY_DATE, ANY_TIME, {F(580) == 1}, 9),
    Row(ANY_DATE, ANY_TIME, {F(823) == 1}, 12),
    Row(Days(1222, 1223), DAYTIME, {F(1173) == 1, F(1169) == 1, F(1178) == 0}, 1),
    Row(Day(1227), Hours(1230, 1330), {F(496) == 1, F(499) == 0}, 7),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1594) == 1, F(1595) == 0}, 0),
    Row(Day(1224), Hours(760, 1600), {F(1598) == 1, F(1604) == 1, F(1605) == 0}, 0),
    Row(Day(1224), Hours(1260, 1500), {F(422) == 0}, 10),
    Row(DaysUntil(1224), Hours(960, 2230), {F(402) != 0, F(406) == 1, F(425) == 0}, -1),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_3[] = {
    Row(ANY_DATE, ANY_TIME, {F(905) == 1 || F(583) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(581) == 1}, 9),
    Row(ANY_DATE, ANY_TIME, {F(1719) == 1}, -1),
    Row(Day(1225), ANY_TIME, {F(429) != 7, F(430) == 0}, 21),
    Row(Day(1222), HoursUntil(600), {F(1811) == 1, F(1812) == 0}, 16),
    Row(Day(1223), HoursUntil(600), {F(1811) == 1, F(1831) == 0}, 16),
    Row(Day(1303), HoursUntil(600), {F(1811) == 1, F(1842) == 0}, 16),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1411) == 1, F(1412) == 0}, 5),
    Row(Days(1227, 1229), Hours(760, 1600),
        {F(435) != 15, F(433) == 2, F(434) == 0, F(430) == 1, F(441) == 0}, 10),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_4[] = {
    Row(ANY_DATE, ANY_TIME, {F(1399) == 1}, 5),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1404) == 1, F(1406) == 0}, 18),
    Row(Days(1227, 1229), Hours(560, 2300), {F(429) != 15, F(433) == 2, F(434) == 0, F(430) == 2}, 21),
    Row(Day(1224), Hours(760, 1600), {F(1598) == 1, F(1604) == 1, F(1605) == 0}, 0),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_5[] = {
    Row(Day(1222), Hours(1260, 1500), {F(317) != 15, F(328) == 0}, 3),
    Row(Day(1223), Hours(1460, 1700), {F(317) != 15, F(336) == 0}, 3),
    Row(Day(1224), Hours(1860, 2100), {F(317) != 15, F(341) == 0}, 3),
    Row(Day(1225), Hours(1060, 1300), {F(317) != 15, F(344) == 0}, 3),
    Row(Day(1227), Hours(1560, 1800), {F(317) != 15, F(363) == 0}, 3),
    Row(Day(1228), Hours(1360, 1600), {F(317) != 15, F(368) == 0}, 3),
    Row(Day(1229), Hours(1660, 1800), {F(317) != 15, F(381) == 0}, 3),
    Row(Day(1230), Hours(1260, 1500), {F(317) != 15, F(389) == 0}, 3),
    Row(Day(1304), Hours(1160, 1400), {F(317) != 15, F(392) == 0}, 3),
    Row(Day(1305), Hours(1660, 1900), {F(317) != 15, F(397) == 0}, 3),
    Row(Day(1306), Hours(1260, 1400), {F(317) != 15, F(399) == 0}, 3),
    Row(ANY_DATE, ANY_TIME, {F(318) == 1}, -1),
    Row(DaysFrom(1229), Hours(860, 1800), {F(506) == 1, F(524) == 0, F(523) == 3}, 7),
    Row(Day(1231), HoursUntil(600), {F(1811) == 1, F(1839) == 0}, 16),
    Row(Day(1306), DAYTIME, {F(763) == 1, F(798) == 0}, 4),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 1}, 21),
    Row(DaysFrom(1222), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1588) == 1, F(1594) == 0}, 0),
    Row(DaysFrom(1231), Hours(960, 1800), {F(1589) == 0, F(1598) == 0, F(1686) == 1, F(1687) == 0}, 0),
    Row(DaysFrom(1304), DAYTIME, {F(1247) == 1, F(1279) == 1, F(1280) == 0}, 1),
    Row(Days(1229, 1231), Hours(760, 2000), {F(973) == 1, F(906) == 1, F(910) == 2, F(986) == 0}, 2),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1609) == 1, F(1610) == 0}, 0),
    Row(DaysUntil(1302), ANY_TIME, {}, -1),
    Row(DaysFrom(1303), DAYTIME, {F(1375) == 0, F(1465) == 1, F(1466) == 0}, 5),
    Row(DaysFrom(1303), TimeTest(HoursUntil(759), HoursFrom(1801)), {}, -1),
    Row(Except(DaysFrom(1303), 1306), ANY_TIME,
        {F(1533) == 0, F(1534) == 1, F(1532) == 1, F(1553) == 1, F(1555) == 0}, 14),
    Row(DaysFrom(1303), ANY_TIME, {F(1082) == 1, F(1419) == 0, F(1431) == 1, F(1432) == 0}, 5),
    OTHERWISE_NOBODY,
};

// The opening row tests F[317] != 0, unlike the != 15 of the same timetable in places 1 and 5.
constexpr RuleRow SUBMAP_PLACE_7[] = {
    Row(DaysUntil(1225), Hours(1260, 1400), {F(347) == 0, F(317) != 0}, 3),
    Row(Day(1301), ANY_TIME, {F(1661) == 1, F(1664) == 0}, 19),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_8[] = {
    Row(Day(1305), ANY_TIME, {F(782) == 1, F(788) == 0, Computed(Predicate::WithinAnHourOfStoredTime)}, 4),
    Row(ANY_DATE, ANY_TIME, {F(1918) == 1}, -1),
    Row(Day(1225), Hours(760, 1900), {F(1070) >= 3, F(1073) == 1, F(1074) == 0}, 11),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1406) == 1, F(1407) == 0}, 5),
    Row(Days(1227, 1229), Hours(560, 2300), {F(429) != 15, F(433) == 2, F(434) == 0, F(430) == 2}, 21),
    Row(DaysFrom(1227), Hours(860, 2300), {F(810) == 1, F(840) == 1, F(822) == 1, F(851) == 0}, 12),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1610) == 1, F(1611) == 0}, 19),
    OTHERWISE_NOBODY,
};

// Places 9-11 close early and late on the clock as the dispatcher left it, then look 10 minutes on.
constexpr TimeTest CLOSED_HOURS{HoursUntil(959), HoursFrom(2230)};

constexpr RuleRow SUBMAP_PLACE_9[] = {
    Row(ANY_DATE, CLOSED_HOURS, {}, -1),
    Advance(10),
    Row(ANY_DATE, ANY_TIME, {F(504) == 1 || F(975) == 1}, -1),
    Row(ANY_DATE, HoursFrom(2231), {}, -1),
    Row(ANY_DATE, Hours(1060, 2000), {F(1221) == 0, F(1285) == 0}, 20),
    Row(DaysFrom(1225), Hours(860, 2300), {F(810) == 1, F(840) == 0, F(822) == 1, F(839) == 0}, 12),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1614) == 1, F(1615) == 0}, 0),
    Row(Day(1225), Hours(760, 1600), {F(1070) >= 3, F(1071) == 1, F(1072) == 0}, 11),
    Row(DaysFrom(1226), DAYTIME, {F(1375) == 0, F(1400) == 1, F(1401) == 0}, 5),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 1}, 21),
    Row(ANY_DATE, Hours(860, 1700), {F(518) == 0, F(517) == 1, F(483) == 0}, 7),
    Row(Days(1227, 1229), Hours(760, 1600),
        {F(435) != 15, F(433) == 2, F(434) == 0, F(430) == 2, F(441) == 0}, 10),
    Row(DaysFrom(1227), DAYTIME, {F(1375) == 0, F(1404) == 1, F(1406) == 0}, 18),
    Row(DaysFrom(1230), DAYTIME, {F(1082) == 1, F(1419) == 0, F(1421) == 1, F(1422) == 0}, 18),
    Row(DaysFrom(1230), DAYTIME, {F(1082) == 1, F(1419) == 0, F(1440) == 0, F(1422) == 1, F(1423) == 0}, 18),
    Row(DaysFrom(1230), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1673) == 1, F(1674) == 0}, 0),
    Row(DaysFrom(1302), DAYTIME, {F(1514) == 0, F(1515) == 1, F(1518) == 1, F(1524) == 1, F(1529) == 0}, 8),
    Row(DaysFrom(1303), Hours(760, 1900), {F(906) == 1, F(910) == 2, F(1055) == 0}, 2),
    Row(DaysFrom(1303), ANY_TIME, {}, -1),
    Row(Day(1302), Hours(1060, 1600), {F(440) == 1, F(448) == 0}, 10),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_10[] = {
    Row(ANY_DATE, CLOSED_HOURS, {}, -1),
    Advance(10),
    Row(ANY_DATE, HoursFrom(2231), {}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1363) == 1}, -1),
    Row(DateIsWord(433), HoursFrom(1660), {F(1360) == 1, F(1361) == 0}, 1),
    Row(ANY_DATE, Hours(1060, 2000), {F(1221) == 1, F(1222) == 0, F(1285) == 0}, 20),
    Row(Day(1226), ANY_TIME, {F(429) != 15, F(431) == 0, F(430) == 0}, 21),
    Row(Day(1225), DAYTIME, {F(1070) >= 3, F(1072) == 1, F(1073) == 0}, 11),
    Row(DaysFrom(1225), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1614) == 1, F(1615) == 0}, 0),
    Row(DaysFrom(1303), DAYTIME, {F(1247) == 1, F(1274) == 1, F(1275) == 0}, 1),
    // F[1419] = 1 here where the other rows of this kind ask 0: kept as the scenario has it.
    Row(Day(1301), DAYTIME, {F(1082) == 1, F(1419) == 1, F(1426) == 1, F(1427) == 0}, 5),
    Row(DaysFrom(1230), DAYTIME, {F(1589) == 0, F(1598) == 0, F(1673) == 1, F(1674) == 0}, 0),
    Row(DaysFrom(1302), DAYTIME, {F(1514) == 0, F(1515) == 1, F(1518) == 1, F(1524) == 1, F(1530) == 0}, 8),
    Row(Day(1227), DAYTIME, {F(906) == 1, F(910) == 1, F(944) == 0}, 2),
    Row(NotDay(1303), ANY_TIME, {}, -1),
    Row(Day(1303), Hours(1260, 1700), {F(440) == 1, F(449) == 0}, 10),
    OTHERWISE_NOBODY,
};

constexpr RuleRow SUBMAP_PLACE_11[] = {
    Row(Day(1229), HoursUntil(559), {F(1547) != 1, F(1548) != 1, F(1811) == 1, F(1837) == 0}, 16),
    Row(ANY_DATE, TimeTest(HoursUntil(559), Hours(2359, 2359)), {}, -1),
    Advance(10),
    Row(DateIsWord(439), ANY_TIME,
        {F(1717) == 0, F(1690) == 1, Computed(Predicate::NotAfterFirstAppointmentEnd)}, 0),
    Row(ANY_DATE, ANY_TIME, {F(1717) == 0, F(1690) == 1}, -1),
    Row(Day(1231), ANY_TIME, {F(899) == 1, F(903) == 0, F(902) == 0}, -1),
    Row(ANY_DATE, ANY_TIME, {F(903) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {F(1363) == 1 || F(1365) == 1 || F(1547) == 1 || F(1548) == 1}, -1),
    Row(ANY_DATE, ANY_TIME, {Computed(Predicate::BeforeSecondAppointmentEnd), F(1717) == 1, F(1720) == 0},
        19),
    Row(ANY_DATE, ANY_TIME, {F(1716) == 1, F(1717) == 0}, -1),
    Row(Day(1225), Hours(760, 2000), {F(1070) >= 3, F(1074) == 1, F(1075) == 0}, 11),
    Row(DateIsWord(439), ANY_TIME,
        {Computed(Predicate::AfterFirstAppointmentEnd), F(1690) == 1, F(1714) == 1, F(1717) == 0,
         F(1715) == 0},
        -1),
    Row(DaysFrom(1302), Hours(760, 2258), {F(1322) == 1, F(1341) == 1, F(1342) == 0}, 20),
    Row(Except(DaysFrom(1303), 1306), DAYTIME,
        {F(1533) == 0, F(1534) == 1, F(1532) == 1, F(1551) == 1, F(1552) == 0}, 14),
    Row(DaysFrom(1303), DAYTIME, {F(1082) == 1, F(1419) == 0, F(1433) == 1, F(1434) == 0}, 18),
    Row(Except(DaysFrom(1303), 1306), Hours(760, 1900),
        {F(1533) == 0, F(1534) == 1, F(1532) == 1, F(1558) == 1, F(1559) == 0}, 14),
    Row(DaysFrom(1305), Hours(560, 1000), {F(440) == 1, F(451) == 0}, 10),
    Row(DaysFrom(1223), Hours(860, 2300), {F(810) == 1, F(824) == 1, F(828) == 0}, 12),
    Row(DaysFrom(1227), Hours(860, 2300), {F(810) == 1, F(853) == 0}, 12),
    Row(Day(1231), Hours(1660, 1900), {F(899) == 0}, 12),
    Row(Day(1231), HoursUntil(1699), {F(900) == 1, F(899) == 0, F(901).In(0, 1)}, -1),
    Row(Days(1229, 1231), Hours(760, 2000), {F(973) == 1, F(906) == 1, F(910) == 2, F(985) == 0}, 2),
    Row(DaysFrom(1302), DAYTIME, {F(1514) == 0, F(1515) == 1, F(1518) == 1, F(1524) == 1, F(1525) == 0}, 8),
    Row(DaysFrom(1302), Hours(760, 2000), {F(1526) == 1, F(1533) == 0, F(1534) == 1, F(1537) == 0}, 14),
    Row(DaysFrom(1302), Hours(760, 2300), {F(878) == 1, F(882) == 0}, 12),
    Row(DaysUntil(1222), ANY_TIME, {}, -1),
    Row(NotDay(1301), TimeTest(HoursUntil(759), HoursFrom(2301)), {}, -1),
    Row(NotDay(1301), ANY_TIME, {F(1419) == 0, F(1375) == 0, F(1494) == 1, F(1495) == 0}, 18),
    Row(NotDay(1301), ANY_TIME, {}, -1),
    Row(Day(1301), Hours(1160, 2100), {F(1158) == 1, F(1161) == 1, F(1162) == 0}, 11),
    OTHERWISE_NOBODY,
};

// Answered by the second sub map's dispatcher itself.
constexpr RuleRow SUBMAP_PLACE_12[] = {
    Row(DaysFrom(1225), Hours(1060, 2200), {F(1375) == 0, F(1395) == 1, F(1398) == 0}, 5),
    OTHERWISE_NOBODY,
};

} // namespace

RuleList SubmapPlaceRules(uint32_t place)
{
    switch (place) {
    case 0:
        return SUBMAP_PLACE_0;
    case 1:
        return SUBMAP_PLACE_1;
    case 2:
        return SUBMAP_PLACE_2;
    case 3:
        return SUBMAP_PLACE_3;
    case 4:
        return SUBMAP_PLACE_4;
    case 5:
        return SUBMAP_PLACE_5;
    case 7:
        return SUBMAP_PLACE_7;
    case 8:
        return SUBMAP_PLACE_8;
    case 9:
        return SUBMAP_PLACE_9;
    case 10:
        return SUBMAP_PLACE_10;
    case 11:
        return SUBMAP_PLACE_11;
    default:
        return {};
    }
}

RuleList SubmapPlace12Rules()
{
    return SUBMAP_PLACE_12;
}

} // namespace presence
