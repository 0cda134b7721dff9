// Worked examples of the school places and the paired-character choice.

#include <gtest/gtest.h>

#include "game/presence/CPresence.h"
#include "game/presence/GameStateBuilder.h"

namespace {

// Asks a rule on a clock set by hand, without a walk.
CharacterIndex AskSchool(const GameStateBuilder& state, uint32_t place, int32_t date, int32_t time)
{
    CPresence presence = PresenceAt(state.State(), date, time);
    return place == 6 ? presence.WhoIsAtSchoolPlace6() : presence.SchoolPlaceRule(place);
}

} // namespace

TEST(SchoolPlaceRules, PairedCharacterFollowsProgressDateAndSecondByte)
{
    struct Case
    {
        uint8_t Progress;       // F[154]
        uint8_t Second;         // F[156]
        CharacterIndex Want[4]; // on 1303, 1304, 1305, 1306
    };
    const Case cases[] = {
        {4, 0, {1, 20, 20, 20}}, {4, 1, {1, 20, 20, 20}}, {4, 3, {1, 20, 20, 20}}, {7, 0, {1, 20, 20, 20}},
        {7, 3, {1, 20, 20, 20}}, // 7 is among the even answers
        {8, 0, {1, 1, 1, 1}},    {8, 1, {1, 1, 1, 1}},    {8, 3, {1, 1, 1, 1}},    {14, 0, {1, 1, 1, 1}},
        {14, 1, {1, 1, 1, 20}},  {14, 3, {1, 1, 1, 20}},  {9, 0, {1, 1, 20, 20}},  {5, 3, {1, 1, 1, 1}},
        {0, 0, {1, 20, 20, 20}}, {20, 3, {1, 1, 1, 20}},  {20, 2, {1, 1, 1, 1}},
    };
    const int32_t dates[] = {1303, 1304, 1305, 1306};
    for (const Case& c : cases) {
        GameStateBuilder state;
        state.F(154, c.Progress).F(156, c.Second);
        for (size_t i = 0; i < 4; ++i) {
            CPresence presence = PresenceAt(state.State(), dates[i], 0);
            EXPECT_EQ(presence.PickPairedCharacter(), c.Want[i])
                << "F[154]=" << int(c.Progress) << " F[156]=" << int(c.Second) << " on " << dates[i];
        }
    }
}

TEST(SchoolPlaceRules, Place1OnThe30thMorning)
{
    GameStateBuilder state;
    state.F(374, 1).F(377, 0).F(378, 0).F(379, 0);
    for (int32_t time : {830, 845, 900})
        EXPECT_EQ(AskSchool(state, 1, 1230, time), 3) << time;
    EXPECT_EQ(AskSchool(state, 1, 1230, 901), -1);
    EXPECT_EQ(AskSchool(state, 1, 1230, 829), -1);
    state.F(377, 2);
    EXPECT_EQ(AskSchool(state, 1, 1230, 845), -1);
    // From floor 2 the walk is 10 minutes: asked at 0820 the rule sees 0830.
    CurrentStateScope scope(GameStateBuilder(state).F(377, 1).Date(1230).Time(820).State());
    EXPECT_EQ(CPresence().WhoIsAtSchoolPlace(2, 1), 3);
    scope.Current().SetGameTime(851);
    EXPECT_EQ(CPresence().WhoIsAtSchoolPlace(2, 1), -1);
}

TEST(SchoolPlaceRules, Place4Tail)
{
    // Rows 1-12 kept from answering: no day-long appointment of character 20 (F[1180] = 1), no
    // club of character 12 (F[810] = 1), no other row's bytes.
    GameStateBuilder state;
    state.F(1180, 1).F(810, 1).F(753, 1).F(760, 0).F(652, 1);
    for (int32_t date : {1222, 1225, 1229})
        for (int32_t time : {0, 800, 1200, 2200})
            EXPECT_EQ(AskSchool(state, 4, date, time), -1) << date << " " << time;
    EXPECT_EQ(AskSchool(state, 4, 1306, 800), 4);
    EXPECT_EQ(AskSchool(state, 4, 1306, 2200), 4);
    EXPECT_EQ(AskSchool(state, 4, 1306, 759), -1);
    EXPECT_EQ(AskSchool(state, 4, 1306, 2201), -1);
    EXPECT_EQ(AskSchool(state, 4, 1305, 1200), -1);
    state.F(760, 1);
    EXPECT_EQ(AskSchool(state, 4, 1306, 1200), -1);
    // Row 14 answers the same character in the morning from 1230 on.
    state.F(652, 0);
    EXPECT_EQ(AskSchool(state, 4, 1230, 900), 4);
    EXPECT_EQ(AskSchool(state, 4, 1229, 900), -1);
}

TEST(SchoolPlaceRules, Place6FromFloor2SeesAWindowEnd40MinutesEarlier)
{
    CurrentStateScope scope(GameStateBuilder().Date(1229).Time(1720).State());
    CPresence presence;
    EXPECT_EQ(presence.WhoIsAtSchoolPlace(2, 6), 12); // 1800
    EXPECT_EQ(presence.Time, 1800);
    scope.Current().SetGameTime(1721);
    EXPECT_EQ(presence.WhoIsAtSchoolPlace(2, 6), -1); // 1801
    scope.Current().SetGameTime(1740);
    EXPECT_EQ(presence.WhoIsAtSchoolPlace(5, 6), 12); // 10 minutes from its own floor
}

TEST(SchoolPlaceRules, Place2LooksTenMinutesFurtherAndReadsTheWeekday)
{
    // Row 1 (0810..0940 on a weekday) and row 2 (0910..1610 on day 0).
    GameStateBuilder state;
    struct Case
    {
        int32_t Time; // the clock after the walk
        int32_t Weekday;
        CharacterIndex Want;
    };
    const Case cases[] = {
        {800, 1, 4}, {930, 1, 4},  {931, 1, -1}, {759, 1, -1},
        {900, 0, 4}, {1600, 0, 4}, {859, 0, -1}, {1601, 0, -1},
    };
    for (const Case& c : cases) {
        CPresence presence = PresenceAt(state.State(), 1225, c.Time, c.Weekday);
        EXPECT_EQ(presence.SchoolPlaceRule(2), c.Want) << c.Time << " WD " << c.Weekday;
    }
}
