// Town places: the closing rules, the SP gates, and worked examples of the given rows.

#include <random>

#include <gtest/gtest.h>

#include "game/presence/CPresence.h"
#include "game/presence/GameStateBuilder.h"
#include "game/presence/PlaceFacts.h"
#include "game/presence/PresenceRules.h"

namespace {

// Asks a town place's rule on a clock set by hand, without the walk.
CharacterIndex AskTown(const FlagBuffer& state, uint32_t place, int32_t date, int32_t time,
                       int32_t weekday = 1)
{
    return PresenceAt(state, date, time, weekday).TownPlaceRule(place);
}

CharacterIndex AskTown(const GameStateBuilder& state, uint32_t place, int32_t date, int32_t time,
                       int32_t weekday = 1)
{
    return AskTown(state.State(), place, date, time, weekday);
}

const PlaceFacts& TownFacts(uint32_t place)
{
    for (const PlaceFacts& facts : AllPlaceFacts()) {
        if (facts.Map == PresenceMap::Town && facts.Place == place)
            return facts;
    }
    throw "no facts for the town place";
}

int32_t FifteenMinutesBefore(int32_t time)
{
    const int32_t minutes = time / 100 * 60 + time % 100 - 15;
    return minutes / 60 * 100 + minutes % 60;
}

} // namespace

TEST(TownPlaceRules, ClosingRulesShowThePlacesOwnCharacterUntilItsByteIsSet)
{
    std::mt19937 random(37);
    std::uniform_int_distribution<int32_t> minute(0, 1439);
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        FlagBuffer state = GenerateState(seed);
        state.SetSpMode(0);
        state.Flags[1298] = 1;
        state.Flags[1299] = 1;
        const int32_t date = state.GameDate();
        const int32_t at = minute(random);
        const int32_t time = at / 60 * 100 + at % 60;
        for (uint32_t place :
             {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 10u, 12u, 13u, 14u, 16u, 17u, 19u, 20u, 22u, 29u}) {
            const PlaceFacts& facts = TownFacts(place);
            state.Flags[facts.ClosingByte] = 0;
            EXPECT_EQ(AskTown(state, place, date, time), facts.ClosingCharacter) << place << " on " << date;
            state.Flags[facts.ClosingByte] = 1;
            EXPECT_EQ(AskTown(state, place, date, time), -1) << place << " on " << date;
        }
        EXPECT_EQ(AskTown(state, 9, date, time), -1);
        // Places without a closing byte of their own: nobody, or character 1 at place 25.
        state.Flags[632] = 0;
        for (uint32_t place : {18u, 21u, 23u, 26u, 27u, 28u, 30u})
            EXPECT_EQ(AskTown(state, place, date, time), -1) << place << " on " << date;
        EXPECT_EQ(AskTown(state, 25, date, time), 1);
        state.Flags[1298] = 0;
        state.Flags[1299] = 2;
        EXPECT_EQ(AskTown(state, 9, date, time), -1);
    }
    EXPECT_EQ(TownFacts(2).ClosingCharacter, 18);
    EXPECT_EQ(TownFacts(4).ClosingCharacter, 12);
}

TEST(TownPlaceRules, Place11ClosesOnTheBranchesThatRunTheClosingRules)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        FlagBuffer state = GenerateState(seed);
        state.SetSpMode(0);
        state.Flags[1298] = 1;
        state.Flags[1299] = 1;
        state.Flags[1301] = 0;
        const int32_t date = state.GameDate();
        const uint8_t f188 = state.Flags[188];
        const uint8_t f239 = state.Flags[239];
        bool closes = true;
        if (date >= 1230 && f188 != 0) {
            const bool second_branch = f188 == 1 && (f239 == 0 || (date == 1230 && f239 == 1));
            closes = second_branch || f239 == 1;
        }
        EXPECT_EQ(AskTown(state, 11, date, 1200), closes ? 12 : -1)
            << date << " F[188]=" << int(f188) << " F[239]=" << int(f239);
        state.Flags[1301] = 1;
        EXPECT_EQ(AskTown(state, 11, date, 1200), -1);
    }
}

TEST(TownPlaceRules, SpGatesAnswerTheMarker)
{
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        FlagBuffer state = GenerateState(seed);
        state.SetSpMode(1);
        const int32_t date = state.GameDate();
        for (uint32_t place = 0; place <= 30; ++place) {
            const PlaceFacts& facts = TownFacts(place);
            if (facts.Gate < 0) {
                // Places without a gate never answer the marker.
                EXPECT_NE(AskTown(state, place, date, state.GameTime()), 26) << place;
                continue;
            }
            state.Flags[facts.Gate] = 0;
            state.Flags[149] = 0;
            state.Flags[154] = 0;
            EXPECT_EQ(AskTown(state, place, date, state.GameTime()), 26) << place;
        }
    }
    GameStateBuilder four;
    four.SpMode(1).F(107, 0).F(149, 1);
    EXPECT_NE(AskTown(four, 4, 1304, 1200), 26);
    four.F(149, 0);
    EXPECT_EQ(AskTown(four, 4, 1304, 1200), 26);

    GameStateBuilder seven;
    seven.SpMode(1).F(111, 1).F(154, 9);
    for (uint8_t f155 : {0, 1})
        EXPECT_EQ(AskTown(GameStateBuilder(seven).F(155, f155), 7, 1304, 1200), 26);
    EXPECT_NE(AskTown(GameStateBuilder(seven).F(155, 2), 7, 1304, 1200), 26);
}

TEST(TownPlaceRules, Place0AppointmentOnTheStoredDayIncludes2300BothWays)
{
    GameStateBuilder state;
    state.W(439, 1227).F(1717, 1).F(1721, 1);
    struct Case
    {
        uint8_t F1723;
        uint8_t F1724;
        int32_t Time;
        CharacterIndex Want;
    };
    const Case cases[] = {
        {0, 1, 2300, 0}, {1, 0, 2300, 0}, {1, 1, 2300, -1}, {0, 1, 2301, -1},
        {1, 0, 2301, 0}, {0, 1, 1000, 0}, {1, 0, 1000, -1},
    };
    for (const Case& c : cases) {
        GameStateBuilder asked(state);
        asked.F(1723, c.F1723).F(1724, c.F1724).Date(1227).Time(FifteenMinutesBefore(c.Time));
        CurrentStateScope scope(asked.State());
        EXPECT_EQ(CPresence().WhoIsAtTownPlace(0), c.Want) << int(c.F1723) << int(c.F1724) << " " << c.Time;
    }
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(1723, 0), 0, 1228, 2300), -1);
}

TEST(TownPlaceRules, EndingsAnswerOnlyWhereTheyAreStated)
{
    // Place 0's 1224 ending.
    GameStateBuilder zero;
    zero.F(1598, 1).F(1603, 1).F(1604, 0);
    EXPECT_EQ(AskTown(zero, 0, 1224, 1200), 0);
    EXPECT_EQ(AskTown(zero, 0, 1225, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder().F(418, 0), 0, 1224, 1600), 21);
    EXPECT_EQ(AskTown(GameStateBuilder().F(418, 0), 0, 1223, 1600), -1);

    // Place 2's last two rules.
    GameStateBuilder two;
    two.F(810, 1).F(1375, 0).F(1477, 1).F(1478, 0); // F[810] = 1: no club of character 12
    EXPECT_EQ(AskTown(two, 2, 1230, 800), 18);
    EXPECT_EQ(AskTown(two, 2, 1230, 1800), 18);
    EXPECT_EQ(AskTown(two, 2, 1230, 759), -1);
    EXPECT_EQ(AskTown(two, 2, 1230, 1801), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(two).F(1478, 1), 2, 1230, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(two).F(1375, 1), 2, 1230, 1200), -1);
}

TEST(TownPlaceRules, Place2OnThe25thWithByte497)
{
    GameStateBuilder state;
    state.F(1595, 1); // an appointment of character 19 in the daytime
    EXPECT_EQ(AskTown(state, 2, 1225, 1200), 19);
    state.F(497, 1);
    EXPECT_EQ(AskTown(state, 2, 1225, 1200), -1);
    EXPECT_EQ(AskTown(state, 2, 1226, 1200), 19);
}

TEST(TownPlaceRules, Place1SpListWithoutByte128EndsWith16)
{
    GameStateBuilder state;
    state.SpMode(1).F(104, 1).F(150, 7);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(128, 1), 1, 1305, 1200), 10);
    EXPECT_EQ(AskTown(state, 1, 1305, 1200), 16);
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        FlagBuffer generated = GenerateState(seed);
        generated.SetSpMode(1);
        generated.Flags[104] = 1;
        generated.Flags[128] = 0;
        EXPECT_NE(AskTown(generated, 1, generated.GameDate(), generated.GameTime()), 10) << seed;
    }
}

TEST(TownPlaceRules, Place3DateWindows)
{
    GameStateBuilder later;
    later.F(484, 1).F(810, 1).F(1375, 0).F(1464, 1).F(1465, 0); // rule 25, from 1303
    EXPECT_EQ(AskTown(later, 3, 1229, 1200), -1);
    EXPECT_EQ(AskTown(later, 3, 1302, 1200), -1);
    EXPECT_EQ(AskTown(later, 3, 1303, 1200), 18);

    GameStateBuilder appointment;
    appointment.F(1375, 0).F(1392, 1).F(1393, 0).F(484, 1); // rules 8, 10 and 12
    for (int32_t date : {1225, 1227, 1228, 1231, 1303})
        EXPECT_EQ(AskTown(appointment, 3, date, 1200), 18) << date;
    EXPECT_EQ(AskTown(appointment, 3, 1225, 1801), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(appointment).F(1392, 0), 3, 1227, 1200), -1);
}

TEST(TownPlaceRules, Place9Weekdays)
{
    GameStateBuilder state;
    // A weekday, F[786] = F[763] = F[686] = 0 at 1000: 23.
    EXPECT_EQ(AskTown(state, 9, 1227, 1000, 2), 23);
    EXPECT_EQ(AskTown(state, 9, 1227, 949, 2), 25);
    // Weekday 0 never gives 23.
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        FlagBuffer generated = GenerateState(seed);
        generated.SetSpMode(0);
        EXPECT_NE(AskTown(generated, 9, generated.GameDate(), generated.GameTime(), 0), 23) << seed;
    }
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(625, 2), 9, 1227, 1000, 0), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(625, 1), 9, 1227, 1000, 0), 25);
    // F[686] outside {0, 1} on a weekday: nobody, unless 1306 with F[701] = 1 comes first.
    GameStateBuilder busy(state);
    busy.F(686, 2);
    EXPECT_EQ(AskTown(busy, 9, 1305, 1000, 3), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(busy).F(701, 1), 9, 1306, 1000, 3), 25);
    EXPECT_EQ(AskTown(GameStateBuilder(busy).F(701, 1).F(767, 2), 9, 1306, 1000, 3), -1);
}

TEST(TownPlaceRules, Place9SpEnding)
{
    GameStateBuilder state;
    // Past the gate, the hours of character 13 and every earlier stage rule.
    state.SpMode(1).F(113, 1).F(161, 1).F(162, 1).F(143, 3).F(148, 1).F(154, 1);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(156, 0), 9, 1306, 1200), -1); // rule 34
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(156, 4), 9, 1305, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(156, 4), 9, 1306, 1200), 1); // rule 35: paired
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(156, 4).F(154, 2), 9, 1306, 1200), 20);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(145, 6), 9, 1306, 1200), 12);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(147, 11), 9, 1306, 1200), 2);
}

TEST(TownPlaceRules, Place8TimetableOfCharacter3)
{
    GameStateBuilder state;
    state.F(317, 15);
    EXPECT_EQ(AskTown(state, 8, 1222, 2300), 3); // the night slot ignores F[317]
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(332, 11), 8, 1222, 2300), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(330, 1), 8, 1222, 2300), -1);
    EXPECT_EQ(AskTown(state, 8, 1222, 1200), -1); // the day slot needs F[317] != 15
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(317, 14), 8, 1222, 1200), 3);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(317, 14).F(327, 1), 8, 1222, 1200), -1);
    // Through the dispatcher: asked at 2245, the rule sees 2300.
    CurrentStateScope scope(GameStateBuilder(state).Date(1222).Time(2245).State());
    EXPECT_EQ(CPresence().WhoIsAtTownPlace(8), 3);
    scope.Current().SetGameTime(2244);
    EXPECT_EQ(CPresence().WhoIsAtTownPlace(8), -1);
}

TEST(TownPlaceRules, Place8EndsWithCharacter0sBytes)
{
    GameStateBuilder ending;
    ending.F(1717, 1).F(1724, 1).F(1744, 1);
    EXPECT_EQ(AskTown(ending, 8, 1304, 1200), 0);
    EXPECT_EQ(AskTown(ending, 8, 1229, 300), 0);
    EXPECT_EQ(AskTown(GameStateBuilder(ending).F(1746, 1), 8, 1304, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(ending).F(351, 1), 8, 1304, 1200), -1);
    for (uint16_t byte : {1717, 1724, 1744})
        EXPECT_EQ(AskTown(GameStateBuilder(ending).F(byte, 0), 8, 1304, 1200), -1) << byte;
    // The timetable comes first.
    EXPECT_EQ(AskTown(ending, 8, 1222, 2300), 3);
}

TEST(TownPlaceRules, Place10LooksAtItsBytesBeforeAnyDateOrTime)
{
    for (int32_t date : {1221, 1230, 1306}) {
        for (int32_t time : {300, 1200, 2359}) {
            EXPECT_EQ(AskTown(GameStateBuilder().F(1485, 1).F(1487, 1), 10, date, time), -1);
            EXPECT_EQ(AskTown(GameStateBuilder().F(1487, 1), 10, date, time), 5);
        }
    }
    GameStateBuilder stored;
    stored.W(435, 1228).F(1470, 1);
    EXPECT_EQ(AskTown(stored, 10, 1228, 2358), 5);
    EXPECT_EQ(AskTown(stored, 10, 1228, 300), 5);
    EXPECT_EQ(AskTown(stored, 10, 1229, 1200), -1);
    // With F[1472] = 1 rule 6 stays quiet and the day goes on to the later rules.
    EXPECT_EQ(AskTown(GameStateBuilder(stored).F(1472, 1), 10, 1229, 900), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(stored).F(1472, 1), 10, 1229, 1100), 5);
}

TEST(TownPlaceRules, Place10SpPathWithByte159At11)
{
    GameStateBuilder state;
    state.SpMode(1).F(114, 1).F(150, 1).F(159, 11);
    EXPECT_EQ(AskTown(state, 10, 1306, 1200), 0);                               // rule 28
    EXPECT_EQ(AskTown(state, 10, 1305, 1200), 8);                               // rule 25
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(135, 1), 10, 1306, 1200), -1);  // rule 26
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(159, 10), 10, 1306, 1200), 0);  // rule 24
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(159, 10), 10, 1305, 1200), -1); // rule 23
}

TEST(TownPlaceRules, Place11AfterMidnightOnThe29thAnswersFromThe30thBranch)
{
    GameStateBuilder state;
    state.F(483, 2).F(188, 0).F(187, 0);
    {
        CurrentStateScope scope(GameStateBuilder(state).Date(1229).Time(2340).State());
        EXPECT_EQ(CPresence().WhoIsAtTownPlace(11), 7); // 2355 on 1229
    }
    CurrentStateScope scope(GameStateBuilder(state).Date(1229).Time(2350).State());
    CPresence presence;
    EXPECT_EQ(presence.WhoIsAtTownPlace(11), -1); // 0005 on 1230: F[188] = 0 with F[187] = 0
    EXPECT_EQ(presence.Date, 1230);
}

TEST(TownPlaceRules, Place12OnNewYearsDay)
{
    GameStateBuilder state;
    state.F(1067, 1).F(1158, 0);
    EXPECT_EQ(AskTown(state, 12, 1301, 1200), 11);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(1167, 1), 12, 1301, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(1168, 1), 12, 1301, 1200), -1);
    EXPECT_EQ(AskTown(state, 12, 1301, 1159), -1);
}

TEST(TownPlaceRules, Place13TimetableSkipsWeekday3)
{
    GameStateBuilder state; // F[1067] = F[1068] = 0
    for (int32_t time = 800; time <= 1100; time += 100) {
        EXPECT_EQ(AskTown(state, 13, 1225, time, 2), 11) << time;
        EXPECT_NE(AskTown(state, 13, 1225, time, 3), 11) << time;
    }
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        FlagBuffer generated = GenerateState(seed);
        generated.SetSpMode(0);
        EXPECT_NE(AskTown(generated, 13, generated.GameDate(), generated.GameTime(), 3), 11) << seed;
    }
    // The weekday is the one after the walk: asked at 2350 on weekday 2 the rule sees weekday 3.
    CurrentStateScope scope(GameStateBuilder(state).Date(1225).Time(2350).Weekday(2).State());
    CPresence presence;
    EXPECT_NE(presence.WhoIsAtTownPlace(13), 11);
    EXPECT_EQ(presence.Weekday, 3);
    scope.Current().SetGameTime(745);
    EXPECT_EQ(presence.WhoIsAtTownPlace(13), 11);
}

namespace {

// Asks the dispatcher with the game clock at date and time.
CharacterIndex AskTownAt(const GameStateBuilder& state, uint32_t place, int32_t date, int32_t time)
{
    CurrentStateScope scope(GameStateBuilder(state).Date(date).Time(time).State());
    return CPresence().WhoIsAtTownPlace(place);
}

CharacterIndex AskPlace21Tail(const GameStateBuilder& state, int32_t date, int32_t time)
{
    return PresenceAt(state.State(), date, time)
        .RunRules(presence::RoutineRules(presence::Routine::TownPlace21Tail));
}

} // namespace

TEST(TownPlaceRules, PlacesClosedToTheSpScenarioAnswerNobodyThere)
{
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        FlagBuffer state = GenerateState(seed);
        state.SetSpMode(1);
        CurrentStateScope scope(state);
        CPresence presence;
        for (uint32_t place : {18u, 21u, 22u, 24u, 26u, 27u, 28u, 29u, 30u}) {
            EXPECT_EQ(presence.WhoIsAtTownPlace(place), -1) << place << " seed " << seed;
            EXPECT_EQ(AskTown(state, place, state.GameDate(), state.GameTime()), -1) << place;
        }
    }
    // Place 27 and 30 are closed once F[1299] is set, too.
    GameStateBuilder closed;
    closed.F(1299, 2).F(1216, 1);
    EXPECT_EQ(AskTown(closed, 30, 1227, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(closed).F(1299, 0), 30, 1227, 1200), 20);
    closed.F(1376, 0);
    EXPECT_EQ(AskTown(closed, 27, 1227, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(closed).F(1299, 0), 27, 1227, 1200), 5);
}

TEST(TownPlaceRules, Place23TriesItsSpRowsFirstAndItsOrdinaryRowsTenMinutesOn)
{
    // F[147] = 1 and F[143] = 3 keep every SP row quiet; the ordinary rows would answer 22.
    GameStateBuilder state;
    state.F(147, 1).F(143, 3);
    EXPECT_EQ(AskTown(state, 23, 1226, 1500), 22);
    EXPECT_EQ(AskTown(GameStateBuilder(state).SpMode(1), 23, 1226, 1500), -1);

    EXPECT_EQ(AskTown(state, 23, 1226, 1600), 13); // 1610 lies outside 1360..1599
    EXPECT_EQ(AskTown(state, 23, 1226, 1059), -1); // before the 10 minutes
    EXPECT_EQ(AskTown(state, 23, 1226, 1100), 13);
    EXPECT_EQ(AskTown(state, 23, 1226, 1349), 13);
    EXPECT_EQ(AskTown(state, 23, 1226, 1350), 22); // 1400 after them
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(265, 1), 23, 1226, 1500), 13);
    EXPECT_EQ(AskTown(state, 23, 1302, 1500), -1);
    // Through the dispatcher: 1044 walks to 1059.
    EXPECT_EQ(AskTownAt(state, 23, 1226, 1044), -1);
    EXPECT_EQ(AskTownAt(state, 23, 1226, 1445), 22);

    // Its SP rows give the paired character for F[154] 1 or 6 from 1304, 12 from 1305.
    GameStateBuilder sp(state);
    sp.SpMode(1);
    for (uint8_t f154 : {1, 6, 12}) {
        for (int32_t date : {1303, 1304, 1305}) {
            GameStateBuilder asked(sp);
            asked.F(154, f154);
            const bool paired = date >= (f154 == 12 ? 1305 : 1304);
            const CharacterIndex want =
                paired ? PresenceAt(asked.State(), date, 1200).PickPairedCharacter() : -1;
            EXPECT_EQ(AskTown(asked, 23, date, 1200), want) << int(f154) << " on " << date;
        }
    }
}

TEST(TownPlaceRules, Place24IsOneListForTheDispatcherAndTheTable)
{
    GameStateBuilder state;
    struct Case
    {
        int32_t Date;
        int32_t Time;
        CharacterIndex Want;
    };
    const Case cases[] = {
        {1222, 1400, 6},  {1229, 1400, 6},  {1229, 1700, 6},  {1229, 1359, -1},
        {1229, 1701, -1}, {1230, 1400, -1}, {1301, 1400, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AskTown(state, 24, c.Date, c.Time), c.Want) << c.Date << " " << c.Time;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        const FlagBuffer generated = GenerateState(seed);
        CurrentStateScope scope(generated);
        CPresence walked;
        walked.Fill(&generated);
        walked.AdvanceClock(TOWN_TRAVEL_MINUTES);
        EXPECT_EQ(walked.TownPlaceRule(24), CPresence().WhoIsAtTownPlace(24)) << seed;
    }
}

TEST(TownPlaceRules, Place28ReadsRow2BeforeItsTenMinutes)
{
    GameStateBuilder state;
    state.F(632, 1);
    EXPECT_EQ(AskTown(state, 28, 1227, 900, 0), 4);
    EXPECT_EQ(AskTown(state, 28, 1227, 1555, 0), 4); // 1605 after the 10 minutes
    EXPECT_NE(AskTown(state, 28, 1227, 900, 1), 4);
    EXPECT_NE(AskTown(GameStateBuilder(state).F(633, 1), 28, 1227, 900, 0), 4);

    GameStateBuilder dawn;
    dawn.F(1811, 1).F(1832, 1);
    EXPECT_EQ(AskTown(dawn, 28, 1224, 550), 16);
    EXPECT_EQ(AskTown(dawn, 28, 1224, 551), -1);
}

TEST(TownPlaceRules, TwentyMinutePlacesReadTheClockThirtyFiveMinutesOn)
{
    struct Case
    {
        uint32_t Place;
        int32_t Date;
        uint16_t Byte; // the "..0600" row's byte that must be 1
        uint8_t Value;
    };
    const Case cases[] = {{26, 1304, 1843, 0}, {27, 1226, 1834, 1}, {30, 1230, 1838, 0}};
    for (const Case& c : cases) {
        GameStateBuilder state;
        state.F(1811, 1).F(c.Byte, c.Value);
        EXPECT_EQ(AskTownAt(state, c.Place, c.Date, 525), 16) << c.Place; // 0600
        EXPECT_EQ(AskTownAt(state, c.Place, c.Date, 535), -1) << c.Place; // 0610
        // Across midnight: 2330 the day before reads 0005.
        const int32_t before = c.Date == 1301 ? 1231 : c.Date - 1;
        EXPECT_EQ(AskTownAt(state, c.Place, before, 2330), 16) << c.Place;
        EXPECT_EQ(AskTownAt(state, c.Place, before, 2320), -1) << c.Place;
    }
}

TEST(TownPlaceRules, Places26And30OnTheirDateRows)
{
    GameStateBuilder state; // F[810] = F[847] = 0: place 30 ends with 12 in the daytime
    EXPECT_EQ(AskTown(state, 30, 1226, 1200), 12);
    for (int32_t date : {1222, 1224, 1225})
        EXPECT_EQ(AskTown(state, 30, date, 1200), -1) << date;
    EXPECT_EQ(AskTown(state, 30, 1230, 1200), 12);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(906, 1).F(910, 1), 30, 1226, 1200), 2);
    EXPECT_EQ(AskTown(GameStateBuilder(state).F(906, 1).F(910, 1), 30, 1230, 1200), 12);

    // Place 26 on 1226: 21 at any time its advanced clock stays on that day.
    for (uint8_t f429 : {0, 1, 3}) {
        GameStateBuilder asked;
        asked.F(429, f429);
        for (int32_t time = 0; time < 2340; time += 17) {
            if (time % 100 >= 60)
                continue;
            EXPECT_EQ(AskTown(asked, 26, 1226, time), 21) << time;
        }
        EXPECT_EQ(AskTown(asked, 26, 1226, 2340), -1); // 0000 on 1227
    }
    EXPECT_EQ(AskTown(GameStateBuilder().F(429, 15), 26, 1226, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder().F(430, 1), 26, 1226, 1200), -1);
}

TEST(TownPlaceRules, Place21TailRows)
{
    GameStateBuilder morning;
    morning.F(2049, 1);
    EXPECT_EQ(AskPlace21Tail(morning, 1227, 900), 13);
    EXPECT_EQ(AskPlace21Tail(GameStateBuilder(morning).F(2049, 0), 1227, 900), -1);
    EXPECT_EQ(AskPlace21Tail(GameStateBuilder(morning).F(273, 15), 1227, 900), -1);
    for (int32_t date : {1226, 1301})
        EXPECT_EQ(AskPlace21Tail(morning, date, 900), -1) << date;
    EXPECT_EQ(AskPlace21Tail(morning, 1227, 830), -1);
    EXPECT_EQ(AskPlace21Tail(morning, 1227, 1100), -1);
    // t13 has no date of its own.
    for (int32_t date : {1226, 1227, 1301})
        EXPECT_EQ(AskPlace21Tail(morning, date, 1900), 13) << date;
    EXPECT_EQ(AskPlace21Tail(GameStateBuilder(morning).F(2049, 0), 1227, 1900), -1);
    EXPECT_EQ(AskPlace21Tail(GameStateBuilder(morning).F(274, 15), 1227, 1900), -1);
    // t10 stops the list before t11 and t13.
    EXPECT_EQ(AskPlace21Tail(GameStateBuilder(morning).F(50, 1), 1227, 900), -1);
    EXPECT_EQ(AskPlace21Tail(GameStateBuilder(morning).F(50, 3), 1227, 1900), -1);

    // The place's rule calls the tail last, on its clock 10 minutes on.
    EXPECT_EQ(AskTown(morning, 21, 1227, 850), 13);
    EXPECT_EQ(AskTown(morning, 21, 1227, 820), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(morning).F(1523, 1), 21, 1227, 850), -1);
    // A state too short to hold F[2049] reads it as 0.
    FlagBuffer shortened = morning.State();
    shortened.Flags.resize(2049);
    EXPECT_EQ(AskTown(shortened, 21, 1227, 850), -1);
}

TEST(TownPlaceRules, Place15SplitsOnItsDayWindow)
{
    struct Case
    {
        int32_t Time;
        bool Inside;
    };
    const Case cases[] = {{500, false}, {659, false}, {700, true}, {1200, true}, {2200, true}, {2201, false}};
    for (const Case& c : cases) {
        for (uint8_t f1302 : {0, 1}) {
            for (uint8_t f1306 : {0, 1}) {
                GameStateBuilder state;
                state.F(1298, 1).F(1299, 1).F(1302, f1302).F(1306, f1306);
                const uint8_t deciding = c.Inside ? f1302 : f1306;
                EXPECT_EQ(AskTown(state, 15, 1227, c.Time), deciding == 0 ? 13 : -1)
                    << c.Time << " F[1302]=" << int(f1302) << " F[1306]=" << int(f1306);
            }
        }
    }
}

TEST(TownPlaceRules, Place15TimetableWithTwoWindows)
{
    GameStateBuilder state;
    state.F(1811, 1).F(1067, 1).F(1099, 1);
    struct Case
    {
        int32_t Time;
        uint8_t F1068;
        uint8_t F1069;
        uint8_t F1099;
        uint8_t F1070;
        int32_t Weekday;
        CharacterIndex Want;
    };
    const Case cases[] = {
        {900, 0, 1, 1, 0, 1, 11},  {900, 1, 0, 1, 0, 1, -1}, {1400, 1, 0, 1, 0, 1, 11},
        {1400, 0, 1, 1, 0, 1, -1}, {900, 0, 0, 0, 0, 1, 11}, {900, 0, 0, 0, 15, 1, -1},
        {900, 0, 0, 2, 0, 1, -1},  {900, 0, 0, 1, 0, 3, -1}, {1200, 0, 0, 1, 0, 1, -1},
        {1001, 0, 0, 1, 0, 1, -1},
    };
    for (const Case& c : cases) {
        GameStateBuilder asked(state);
        asked.F(1068, c.F1068).F(1069, c.F1069).F(1099, c.F1099).F(1070, c.F1070);
        EXPECT_EQ(AskTown(asked, 15, 1225, c.Time, c.Weekday), c.Want)
            << c.Time << " " << int(c.F1068) << int(c.F1069) << int(c.F1099) << " " << int(c.F1070);
    }
}

TEST(TownPlaceRules, PairedRowsOfTheSpLists)
{
    struct Case
    {
        uint32_t Place;
        uint16_t Byte;
        uint8_t Value;
        int32_t From;
    };
    // Gates set and the earlier rows' bytes moved off the values that answer.
    GameStateBuilder sp;
    sp.SpMode(1).F(119, 1).F(120, 1).F(122, 1).F(133, 1).F(149, 1).F(161, 1).F(165, 1).F(813, 1).F(815, 1);
    const Case cases[] = {
        {15, 156, 1, 1306}, {17, 154, 4, 1304}, {17, 154, 10, 1305}, {17, 156, 1, 1306}, {19, 156, 2, 1306},
    };
    for (const Case& c : cases) {
        GameStateBuilder asked(sp);
        asked.F(c.Byte, c.Value);
        for (int32_t date : {1303, 1304, 1305, 1306}) {
            const CharacterIndex want =
                date >= c.From ? PresenceAt(asked.State(), date, 1200).PickPairedCharacter() : -1;
            EXPECT_EQ(AskTown(asked, c.Place, date, 1200), want)
                << c.Place << " F[" << c.Byte << "] on " << date;
        }
    }
}

TEST(TownPlaceRules, StatedRowsOfPlaces18And22)
{
    GameStateBuilder eighteen;
    eighteen.F(1345, 1);
    EXPECT_EQ(AskTown(eighteen, 18, 1302, 2248), 20); // 2258 after the 10 minutes
    EXPECT_EQ(AskTown(eighteen, 18, 1302, 2250), -1);
    EXPECT_EQ(AskTown(eighteen, 18, 1301, 1200), -1);

    GameStateBuilder twenty_two;
    twenty_two.F(1811, 1).F(1508, 1).F(1524, 1).Val(15, 1305);
    EXPECT_EQ(AskTown(twenty_two, 22, 1303, 1200), 14);
    EXPECT_EQ(AskTown(twenty_two, 22, 1305, 1200), -1); // the day Val[15] holds
    EXPECT_EQ(AskTown(twenty_two, 22, 1302, 1200), -1);
    EXPECT_EQ(AskTown(GameStateBuilder(twenty_two).F(1526, 1), 22, 1304, 1200), 8);
    // W[435] not the date, at any time.
    GameStateBuilder w435;
    w435.F(1811, 1).F(1470, 1).F(1375, 1).W(435, 1227);
    EXPECT_EQ(AskTown(w435, 22, 1229, 300), 5);
    EXPECT_EQ(AskTown(w435, 22, 1227, 300), -1);
    EXPECT_EQ(AskTown(w435, 15, 1228, 1900), 5);
    EXPECT_EQ(AskTown(w435, 15, 1228, 2100), -1);
    EXPECT_EQ(AskTown(w435, 25, 1228, 1900), 5);
    EXPECT_EQ(AskTown(w435, 25, 1227, 1900), -1);
}
