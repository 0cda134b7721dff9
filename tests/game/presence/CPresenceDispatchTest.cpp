// The three dispatchers: travel times, places without rules, the inline places, and questions
// that leave the game state as it was.

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "game/presence/CPresence.h"
#include "game/presence/GameStateBuilder.h"
#include "script/ScriptState.h"

namespace {

bool SameState(const FlagBuffer& a, const FlagBuffer& b)
{
    auto same_values = [](const std::vector<ScriptValue>& x, const std::vector<ScriptValue>& y) {
        if (x.size() != y.size())
            return false;
        for (size_t i = 0; i < x.size(); ++i) {
            if (x[i].Type != y[i].Type || x[i].Integer != y[i].Integer || !(x[i].Text == y[i].Text))
                return false;
        }
        return true;
    };
    return a.Flags == b.Flags && a.Words == b.Words && a.Bytes == b.Bytes &&
           same_values(a.Values, b.Values) && same_values(a.Variables, b.Variables);
}

} // namespace

TEST(CPresenceDispatch, TownAndSubMapWalksTakeFifteenMinutes)
{
    CurrentStateScope scope(GameStateBuilder().Date(1224).Time(2350).Weekday(3).State());
    CPresence presence;
    presence.WhoIsAtTownPlace(31);
    EXPECT_EQ(presence.Date, 1225);
    EXPECT_EQ(presence.Time, 5);
    EXPECT_EQ(presence.Weekday, 4);
    presence.WhoIsAtSubmapPlace(13);
    EXPECT_EQ(presence.Date, 1225);
    EXPECT_EQ(presence.Time, 5);
    EXPECT_EQ(presence.Weekday, 4);
}

TEST(CPresenceDispatch, SchoolWalksTakeTenMinutesAndTenPerFloor)
{
    // Places 0..6 lie on floors 2, 2, 4, 4, 4, 4, 5; any other place counts as floor 0.
    const uint32_t floors[] = {2, 2, 4, 4, 4, 4, 5, 0};
    CurrentStateScope scope(GameStateBuilder().Date(1225).Time(1000).State());
    CPresence presence;
    for (uint32_t current = 0; current <= 6; ++current) {
        for (uint32_t place = 0; place < 8; ++place) {
            const uint32_t distance =
                current > floors[place] ? current - floors[place] : floors[place] - current;
            const uint32_t travel = 10 + 10 * distance;
            // School place 2 looks 10 minutes further on its own.
            const uint32_t own = place == 2 ? 10 : 0;
            presence.WhoIsAtSchoolPlace(current, place);
            EXPECT_EQ(presence.Time, 1000 + (travel + own) / 60 * 100 + (travel + own) % 60)
                << "floor " << current << " place " << place;
        }
    }
}

TEST(CPresenceDispatch, PlacesWithoutRulesAnswerNobody)
{
    CPresence presence;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        CurrentStateScope scope(GenerateState(seed));
        EXPECT_EQ(presence.WhoIsAtSchoolPlace(4, 3), -1);
        EXPECT_EQ(presence.WhoIsAtSchoolPlace(2, 7), -1);
        EXPECT_EQ(presence.WhoIsAtTownPlace(31), -1);
        EXPECT_EQ(presence.WhoIsAtTownPlace(0xFFFFFFFFu), -1);
        EXPECT_EQ(presence.WhoIsAtSubmapPlace(6), -1);
        EXPECT_EQ(presence.WhoIsAtSubmapPlace(13), -1);
    }
}

TEST(CPresenceDispatch, SubMapPlace12LooksFifteenMinutesAhead)
{
    struct Case
    {
        int32_t Date;
        int32_t Time;
        CharacterIndex Want;
    };
    const Case cases[] = {
        {1225, 1044, -1}, // 1059
        {1225, 1045, 5},  // 1100
        {1225, 2145, 5},  // 2200
        {1225, 2146, -1}, // 2201
        {1224, 1200, -1}, {1306, 1200, 5},
    };
    CPresence presence;
    for (const Case& c : cases) {
        CurrentStateScope scope(GameStateBuilder().Date(c.Date).Time(c.Time).F(1395, 1).State());
        EXPECT_EQ(presence.WhoIsAtSubmapPlace(12), c.Want) << c.Date << " " << c.Time;
    }
    CurrentStateScope scope(GameStateBuilder().Date(1225).Time(1200).F(1395, 1).F(1398, 1).State());
    EXPECT_EQ(presence.WhoIsAtSubmapPlace(12), -1);
}

TEST(CPresenceDispatch, TownPlace24AnswersInline)
{
    struct Case
    {
        GameStateBuilder State;
        CharacterIndex Want;
    };
    Case cases[] = {
        {GameStateBuilder().Date(1229).Time(1350), 6},  // 1405
        {GameStateBuilder().Date(1229).Time(1344), -1}, // 1359
        {GameStateBuilder().Date(1229).Time(1345), 6},  // 1400
        {GameStateBuilder().Date(1229).Time(1645), 6},  // 1700
        {GameStateBuilder().Date(1229).Time(1646), -1}, // 1701
        {GameStateBuilder().Date(1230).Time(1350), -1},
        {GameStateBuilder().Date(1229).Time(1350).SpMode(1), -1},
        {GameStateBuilder().Date(1229).Time(1350).F(1298, 1).F(1299, 1).F(1301, 1), -1},
        {GameStateBuilder().Date(1229).Time(1350).F(1298, 1).F(1299, 1).F(1301, 2), 6},
        {GameStateBuilder().Date(1229).Time(1350).F(1298, 1).F(1301, 0), 6},
    };
    CPresence presence;
    for (const Case& c : cases) {
        CurrentStateScope scope(c.State.State());
        EXPECT_EQ(presence.WhoIsAtTownPlace(24), c.Want) << c.State.State().GameTime();
    }
}

TEST(CPresenceDispatch, TravelCarriesAcrossMidnightAndTheYearsEnd)
{
    CPresence presence;
    {
        // 1222 2350 + 15: the night of 1223 on the second sub map's place 0.
        CurrentStateScope scope(GameStateBuilder().Date(1222).Time(2350).F(1811, 1).State());
        EXPECT_EQ(presence.WhoIsAtSubmapPlace(0), 16);
        EXPECT_EQ(presence.Date, 1223);
        scope.Current().Flags[1831] = 1;
        EXPECT_EQ(presence.WhoIsAtSubmapPlace(0), -1);
    }
    {
        // 1231 2340 from floor 4: 10 minutes' walk and place 2's own 10 reach 1301 0000.
        CurrentStateScope scope(GameStateBuilder().Date(1231).Time(2340).Weekday(6).F(1811, 1).State());
        EXPECT_EQ(presence.WhoIsAtSchoolPlace(4, 2), 16);
        EXPECT_EQ(presence.Date, 1301);
        EXPECT_EQ(presence.Time, 0);
        EXPECT_EQ(presence.Weekday, 0);
        scope.Current().Flags[1840] = 1;
        EXPECT_EQ(presence.WhoIsAtSchoolPlace(4, 2), -1);
    }
}

TEST(CPresenceDispatch, QuestionsRefillTheClockAndNeverWriteTheState)
{
    CPresence presence;
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        const FlagBuffer generated = GenerateState(seed);
        CurrentStateScope scope(generated);
        for (uint32_t place = 0; place < 33; ++place) {
            const CharacterIndex town = presence.WhoIsAtTownPlace(place);
            EXPECT_EQ(presence.WhoIsAtTownPlace(place), town);
            const CharacterIndex submap = presence.WhoIsAtSubmapPlace(place);
            EXPECT_EQ(presence.WhoIsAtSubmapPlace(place), submap);
            for (uint32_t floor = 2; floor <= 5; ++floor) {
                const CharacterIndex school = presence.WhoIsAtSchoolPlace(floor, place);
                EXPECT_EQ(presence.WhoIsAtSchoolPlace(floor, place), school);
            }
            const CharacterIndex six = presence.WhoIsAtSchoolPlace6();
            EXPECT_EQ(presence.WhoIsAtSchoolPlace6(), six); // no refill here, but no advance either
        }
        EXPECT_TRUE(SameState(scope.Current(), generated)) << seed;
    }
}

TEST(CPresenceDispatch, TruncatedStatesAnswerAsZeros)
{
    const FlagBuffer zeros = GameStateBuilder().State();
    FlagBuffer empty;
    empty.Values.clear();
    FlagBuffer truncated = zeros;
    truncated.Flags.resize(100);
    truncated.Words.resize(10);
    truncated.Values.resize(5);
    truncated.Variables.resize(3);
    CPresence presence;
    for (uint32_t place = 0; place < 14; ++place) {
        std::vector<CharacterIndex> answers;
        for (const FlagBuffer* state : std::initializer_list<const FlagBuffer*>{&zeros, &empty, &truncated}) {
            CurrentStateScope scope(*state);
            answers.push_back(presence.WhoIsAtSubmapPlace(place));
            answers.push_back(presence.WhoIsAtTownPlace(place + 17));
            answers.push_back(presence.WhoIsAtSchoolPlace(3, place % 8));
        }
        for (size_t i = 3; i < answers.size(); ++i)
            EXPECT_EQ(answers[i], answers[i % 3]) << place;
    }
    // No game state at all.
    auto saved = std::move(GetScriptState().m_current_state);
    EXPECT_EQ(presence.WhoIsAtSubmapPlace(5), -1);
    EXPECT_EQ(presence.WhoIsAtSchoolPlace(2, 0), -1);
    GetScriptState().m_current_state = std::move(saved);
}
