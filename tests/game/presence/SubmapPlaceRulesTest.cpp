// Worked examples of the second sub map's places.

#include <climits>

#include <gtest/gtest.h>

#include "game/presence/CPresence.h"
#include "game/presence/GameStateBuilder.h"

namespace {

// Asks a place through the dispatcher at a game date and time.
CharacterIndex AskAt(GameStateBuilder state, uint32_t place, int32_t date, int32_t time)
{
    CurrentStateScope scope(state.Date(date).Time(time).State());
    return CPresence().WhoIsAtSubmapPlace(place);
}

CharacterIndex AskRule(const GameStateBuilder& state, uint32_t place, int32_t date, int32_t time)
{
    return PresenceAt(state.State(), date, time).SubmapPlaceRule(place);
}

} // namespace

TEST(SubmapPlaceRules, Place9ClosesOnTheDispatchersClockThenLooksTenMinutesOn)
{
    GameStateBuilder state;
    state.F(810, 1).F(822, 1);                  // row 5: character 12 from 1225, 0860..2300
    EXPECT_EQ(AskAt(state, 9, 1225, 944), -1);  // 0959: closed by row 1
    EXPECT_EQ(AskAt(state, 9, 1225, 945), 12);  // 1000, then 1010
    EXPECT_EQ(AskAt(state, 9, 1225, 2200), 12); // 2215, then 2225
    EXPECT_EQ(AskAt(state, 9, 1225, 2210), -1); // 2225, then 2235: row 3
    EXPECT_EQ(AskAt(state, 9, 1225, 2215), -1); // 2230: row 1
}

TEST(SubmapPlaceRules, Place10ClosesLikePlace9)
{
    GameStateBuilder state;
    state.F(1221, 1).F(1222, 0);                 // row 5: character 20 in 1060..2000
    EXPECT_EQ(AskAt(state, 10, 1227, 1035), 20); // 1050, then 1100
    EXPECT_EQ(AskAt(state, 10, 1227, 1034), -1); // 1049, then 1059
    EXPECT_EQ(AskAt(state, 10, 1227, 944), -1);
    state.W(433, 1227).F(1360, 1); // row 4: the stored date, from 1700
    EXPECT_EQ(AskAt(state, 10, 1227, 1635), 1);
    EXPECT_EQ(AskAt(state, 10, 1228, 1635), 20);
}

TEST(SubmapPlaceRules, Place11FirstAppointmentEnds95MinutesAfterItsTime)
{
    GameStateBuilder state;
    state.F(1717, 0).F(1690, 1).W(439, 1227).W(440, 1400); // ends 1535
    // The dispatcher adds 15 minutes and the rule 10 more.
    EXPECT_EQ(AskAt(state, 11, 1227, 1000), 0);
    EXPECT_EQ(AskAt(state, 11, 1227, 1510), 0);  // 1535
    EXPECT_EQ(AskAt(state, 11, 1227, 1511), -1); // 1536
    EXPECT_EQ(AskAt(state, 11, 1228, 1200), -1);
    EXPECT_EQ(AskAt(state, 11, 1226, 1200), -1);
    // An end past the hour: 1430 + 95 is 1605, compared as an HHMM number.
    state.W(440, 1430);
    EXPECT_EQ(AskAt(state, 11, 1227, 1540), 0);  // 1605
    EXPECT_EQ(AskAt(state, 11, 1227, 1541), -1); // 1606
}

TEST(SubmapPlaceRules, Place11SecondAppointmentEndsAnHourAfterItsTime)
{
    GameStateBuilder state;
    state.F(1717, 1).F(1720, 0).W(446, 1227).W(447, 1500); // ends 1600
    EXPECT_EQ(AskRule(state, 11, 1227, 1549), 19);         // 1559 after the rule's own 10 minutes
    EXPECT_EQ(AskRule(state, 11, 1227, 1550), -1);         // 1600
    EXPECT_EQ(AskRule(state, 11, 1228, 1200), -1);
    state.F(1720, 1);
    EXPECT_EQ(AskRule(state, 11, 1227, 1200), -1);
}

TEST(SubmapPlaceRules, Place8ComparesTheStoredTimeAsAnHHMMDifference)
{
    GameStateBuilder state;
    state.F(782, 1).F(788, 0);
    struct Case
    {
        int32_t Stored; // Val[20]
        CharacterIndex Want;
    };
    // Asked at 1345, the rule sees 1400.
    const Case cases[] = {
        {1500, 4},     // -100: a negative difference counts
        {1341, 4},     // 59 as numbers, though 19 minutes
        {1340, -1},    // 60
        {1330, -1},    // 70
        {INT_MIN, -1}, // far in the past: the difference does not wrap
        {INT_MAX, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AskAt(GameStateBuilder(state).Val(20, c.Stored), 8, 1305, 1345), c.Want) << c.Stored;
    EXPECT_EQ(AskAt(GameStateBuilder(state).Val(20, 1500), 8, 1304, 1345), -1);
}

TEST(SubmapPlaceRules, TimetableRowsOfCharacter3)
{
    GameStateBuilder state;
    state.F(317, 3).F(344, 0);
    EXPECT_EQ(AskRule(state, 5, 1225, 1100), 3);
    state.F(318, 1); // the closing byte comes after the timetable
    EXPECT_EQ(AskRule(state, 5, 1225, 1100), 3);
    EXPECT_EQ(AskRule(state, 5, 1225, 1301), -1);
    state.F(317, 15);
    EXPECT_EQ(AskRule(state, 5, 1225, 1100), -1);

    // Place 7's opening row asks F[317] != 0.
    GameStateBuilder seven;
    EXPECT_EQ(AskRule(seven, 7, 1224, 1300), -1);
    seven.F(317, 15);
    EXPECT_EQ(AskRule(seven, 7, 1224, 1300), 3);
    EXPECT_EQ(AskRule(seven, 7, 1226, 1300), -1);
    seven.F(347, 1).F(1661, 1);
    EXPECT_EQ(AskRule(seven, 7, 1301, 1300), 19);
}

TEST(SubmapPlaceRules, Place0InTheSpScenarioIsEmpty)
{
    GameStateBuilder state;
    state.F(974, 1);
    EXPECT_EQ(AskRule(state, 0, 1225, 1200), 2);
    state.SpMode(1);
    EXPECT_EQ(AskRule(state, 0, 1225, 1200), -1);
}
