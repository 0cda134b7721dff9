// The row engine on lists written for the test.

#include <gtest/gtest.h>

#include "game/presence/CPresence.h"
#include "game/presence/GameStateBuilder.h"

using namespace presence;

namespace {

class RuleRowTest : public ::testing::Test
{
protected:
    CharacterIndex Run(RuleList rows, int32_t date, int32_t time)
    {
        m_presence.State = &m_builder.State();
        m_presence.Date = static_cast<uint16_t>(date);
        m_presence.Time = static_cast<uint16_t>(time);
        m_presence.Weekday = 0;
        return m_presence.RunRules(rows);
    }

    std::vector<int32_t> ValidTimes()
    {
        std::vector<int32_t> times;
        for (int32_t h = 0; h < 24; ++h)
            for (int32_t m = 0; m < 60; ++m)
                times.push_back(h * 100 + m);
        return times;
    }

    GameStateBuilder m_builder;
    CPresence m_presence;
};

} // namespace

TEST_F(RuleRowTest, WindowsIncludeTheirBounds)
{
    constexpr RuleRow rows[] = {Row(Days(1224, 1226), Hours(800, 1000), {}, 4)};
    struct Case
    {
        int32_t Date;
        int32_t Time;
        CharacterIndex Want;
    };
    const Case cases[] = {
        {1224, 800, 4},  {1226, 1000, 4}, {1225, 900, 4},   {1223, 900, -1},
        {1227, 900, -1}, {1224, 759, -1}, {1226, 1001, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Run(rows, c.Date, c.Time), c.Want) << c.Date << " " << c.Time;
}

TEST_F(RuleRowTest, BoundsThatNoTimeEqualsActAsTheNearestTimeInside)
{
    constexpr RuleRow low_760[] = {Row(ANY_DATE, Hours(760, 2000), {}, 1)};
    constexpr RuleRow low_800[] = {Row(ANY_DATE, Hours(800, 2000), {}, 1)};
    constexpr RuleRow high_1099[] = {Row(ANY_DATE, HoursUntil(1099), {}, 1)};
    constexpr RuleRow high_1059[] = {Row(ANY_DATE, HoursUntil(1059), {}, 1)};
    constexpr RuleRow high_799[] = {Row(ANY_DATE, TimeTest(HoursUntil(799), HoursFrom(1760)), {}, 1)};
    constexpr RuleRow high_759[] = {Row(ANY_DATE, TimeTest(HoursUntil(759), HoursFrom(1800)), {}, 1)};
    for (int32_t time : ValidTimes()) {
        EXPECT_EQ(Run(low_760, 1225, time), Run(low_800, 1225, time)) << time;
        EXPECT_EQ(Run(high_1099, 1225, time), Run(high_1059, 1225, time)) << time;
        EXPECT_EQ(Run(high_799, 1225, time), Run(high_759, 1225, time)) << time;
    }
    // Counted in minutes, 1099 would reach 11:39.
    EXPECT_EQ(Run(high_1099, 1225, 1100), -1);
    EXPECT_EQ(Run(high_1099, 1225, 1139), -1);
    EXPECT_EQ(Run(low_760, 1225, 759), -1);
}

TEST_F(RuleRowTest, FirstMatchWinsAndAnExplicitNobodyStops)
{
    constexpr RuleRow first_wins[] = {
        Row(ANY_DATE, ANY_TIME, {F(500) == 0}, 3),
        Row(ANY_DATE, ANY_TIME, {}, 5),
    };
    constexpr RuleRow nobody_stops[] = {
        Row(Day(1225), ANY_TIME, {}, -1),
        Row(ANY_DATE, ANY_TIME, {}, 5),
    };
    constexpr RuleRow runs_out[] = {Row(Day(1226), ANY_TIME, {}, 5)};
    EXPECT_EQ(Run(first_wins, 1225, 1200), 3);
    m_builder.F(500, 1);
    EXPECT_EQ(Run(first_wins, 1225, 1200), 5);
    EXPECT_EQ(Run(nobody_stops, 1225, 1200), -1);
    EXPECT_EQ(Run(nobody_stops, 1226, 1200), 5);
    EXPECT_EQ(Run(runs_out, 1225, 1200), -1);
    EXPECT_EQ(Run(RuleList(), 1225, 1200), -1);
}

TEST_F(RuleRowTest, ConditionsTestFlagsWeekdayAndScenario)
{
    struct Case
    {
        Condition Test;
        uint8_t Flag;
        bool Want;
    };
    const Case cases[] = {
        {F(600) == 2, 2, true},      {F(600) == 2, 3, false},       {F(600) != 2, 3, true},
        {F(600) != 2, 2, false},     {F(600) >= 5, 5, true},        {F(600) >= 5, 4, false},
        {F(600) <= 3, 3, true},      {F(600) <= 3, 4, false},       {F(600).In(0, 1), 1, true},
        {F(600).In(0, 1), 2, false}, {F(600).NotIn(0, 1), 2, true}, {F(600).NotIn(0, 1), 0, false},
    };
    for (const Case& c : cases) {
        const RuleRow rows[] = {Row(ANY_DATE, ANY_TIME, {c.Test}, 9)};
        m_builder.F(600, c.Flag);
        EXPECT_EQ(Run(rows, 1225, 1200), c.Want ? 9 : -1) << static_cast<int>(c.Flag);
    }

    constexpr RuleRow sp[] = {Row(ANY_DATE, ANY_TIME, {SP}, 1), Row(ANY_DATE, ANY_TIME, {NOT_SP}, 2)};
    EXPECT_EQ(Run(sp, 1225, 1200), 2);
    m_builder.SpMode(1);
    EXPECT_EQ(Run(sp, 1225, 1200), 1);
    m_builder.SpMode(2); // only 1 is the SP scenario
    EXPECT_EQ(Run(sp, 1225, 1200), 2);

    constexpr RuleRow weekday[] = {Row(ANY_DATE, ANY_TIME, {WD == 0}, 1),
                                   Row(ANY_DATE, ANY_TIME, {WD != 0}, 2)};
    EXPECT_EQ(Run(weekday, 1225, 1200), 1);
    m_presence.Weekday = 3;
    EXPECT_EQ(m_presence.RunRules(weekday), 2);
}

TEST_F(RuleRowTest, AlternativesJoinByOrAndGroupsByAnd)
{
    constexpr RuleRow rows[] = {
        Row(ANY_DATE, ANY_TIME, {F(700) == 1 || F(701) == 1 || F(702) == 1, F(703) == 0}, 6)};
    struct Case
    {
        uint8_t Flags[4];
        CharacterIndex Want;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, -1}, {{1, 0, 0, 0}, 6}, {{0, 1, 0, 0}, 6},
        {{0, 0, 1, 0}, 6},  {{1, 1, 1, 0}, 6}, {{1, 1, 1, 1}, -1},
    };
    for (const Case& c : cases) {
        for (size_t i = 0; i < 4; ++i)
            m_builder.F(700 + i, c.Flags[i]);
        EXPECT_EQ(Run(rows, 1225, 1200), c.Want);
    }
}

TEST_F(RuleRowTest, DatesWithExceptionsAndStoredDates)
{
    constexpr RuleRow except[] = {Row(Except(DaysFrom(1303), 1306), ANY_TIME, {}, 1)};
    constexpr RuleRow not_day[] = {Row(NotDay(1230), ANY_TIME, {}, 1)};
    constexpr RuleRow stored[] = {
        Row(DateIsWord(433), ANY_TIME, {}, 1),
        Row(DateIsValue(15, Compare::Less), ANY_TIME, {}, 2),
        Row(DateIsWord(435, Compare::NotEqual), ANY_TIME, {}, 3),
    };
    EXPECT_EQ(Run(except, 1302, 1200), -1);
    EXPECT_EQ(Run(except, 1303, 1200), 1);
    EXPECT_EQ(Run(except, 1306, 1200), -1);
    EXPECT_EQ(Run(except, 1307, 1200), 1);
    EXPECT_EQ(Run(not_day, 1230, 1200), -1);
    EXPECT_EQ(Run(not_day, 1231, 1200), 1);

    m_builder.W(433, 1227).Val(15, 1229).W(435, 1230);
    EXPECT_EQ(Run(stored, 1227, 1200), 1);
    EXPECT_EQ(Run(stored, 1228, 1200), 2);
    EXPECT_EQ(Run(stored, 1229, 1200), 3);
    EXPECT_EQ(Run(stored, 1230, 1200), -1);
}

TEST_F(RuleRowTest, AnAdvanceRowMovesTheClockForTheRowsAfterIt)
{
    constexpr RuleRow rows[] = {
        Row(ANY_DATE, HoursFrom(1000), {}, 7),
        Advance(10),
        Row(ANY_DATE, HoursFrom(1000), {}, 8),
    };
    EXPECT_EQ(Run(rows, 1225, 1000), 7);
    EXPECT_EQ(m_presence.Time, 1000);
    EXPECT_EQ(Run(rows, 1225, 955), 8);
    EXPECT_EQ(m_presence.Time, 1005);
    EXPECT_EQ(Run(rows, 1225, 949), -1);
}

TEST_F(RuleRowTest, APairedRowAnswersThePairedChoice)
{
    constexpr RuleRow rows[] = {Row(ANY_DATE, ANY_TIME, {}, PAIRED)};
    m_builder.F(154, 2);
    EXPECT_EQ(Run(rows, 1303, 1200), 1);
    EXPECT_EQ(Run(rows, 1304, 1200), 20);
}

TEST_F(RuleRowTest, AStateWithoutEntriesReadsZeros)
{
    constexpr RuleRow rows[] = {
        Row(ANY_DATE, ANY_TIME, {F(2000) != 0}, 1),
        Row(DateIsWord(440, Compare::NotEqual), ANY_TIME, {}, 2),
        Row(ANY_DATE, ANY_TIME, {F(2000) == 0, NOT_SP}, 3),
    };
    FlagBuffer empty;
    empty.Values.clear();
    m_presence.State = &empty;
    m_presence.Date = 0;
    EXPECT_EQ(m_presence.RunRules(rows), 3);
    m_presence.State = nullptr;
    EXPECT_EQ(m_presence.RunRules(rows), 3);
}
