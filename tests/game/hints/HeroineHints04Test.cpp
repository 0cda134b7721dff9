#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints04Test = HintTest;

TEST_F(HeroineHints04Test, FirstSchoolDayFollowsTheWeekday)
{
    const struct
    {
        int32_t date, time;
        int32_t first, earliest, latest;
        uint32_t status;
    } cases[] = {
        {1222, 800, 1222, 900, 1600, HINT_POSSIBLE}, // weekday 0: from 9:00 to the end
        {1223, 905, 1223, 930, 930, HINT_POSSIBLE},  // other days: until 9:30
        {1223, 906, 1224, 700, 930, HINT_POSSIBLE},  // 9:31 is too late: the next day
        {1228, 910, 1228, 935, 1600, HINT_MISSED},   // the next day would be 1229
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date * 10'000 + c.time);
        SetHintMoment(m_state, c.date, c.time, 1, 8);
        const std::vector<FlagHintRecord> list = Build(4);
        ASSERT_EQ(list.size(), 10u);
        EXPECT_EQ(list[0].FirstDate, c.first);
        EXPECT_EQ(list[0].EarliestTime, c.earliest);
        EXPECT_EQ(list[0].LatestTime, c.latest);
        EXPECT_EQ(list[0].Status, c.status);
        if (c.status == HINT_MISSED) {
            EXPECT_EQ(list[8].Status, HINT_MISSED);
        }
    }
}

TEST_F(HeroineHints04Test, AfternoonAtSchoolOrEveningAtHome)
{
    std::vector<FlagHintRecord> list = Build(4);
    EXPECT_EQ(list[3].FirstDate, 1225); // the school day 1222 raised
    EXPECT_EQ(list[3].SceneFile, "01.mes");

    Seen(632);
    m_state.Words[SeenDateWord(380)] = 1225;
    SetHintMoment(m_state, 1228, 1750, 1, 8);
    list = Build(4);
    EXPECT_EQ(list[3].SceneFile, "39.mes");
    EXPECT_EQ(list[3].PlaceName.GetStdString(), "自分の家");
    EXPECT_EQ(list[3].District, 1u);
    EXPECT_EQ(list[3].FirstDate, 1228);
    EXPECT_EQ(list[3].EarliestTime, 1815);
    EXPECT_EQ(list[3].LatestTime, 2200);
}

TEST_F(HeroineHints04Test, SeventhEventTakesTheFirstReachablePlace)
{
    for (const size_t flag : {632, 635, 208, 658, 681, 686})
        Seen(flag);
    const struct
    {
        int32_t time;
        bool latch;
        const char* scene;
        int32_t earliest;
        uint32_t status;
    } cases[] = {
        {900, false, "39.mes", 925, HINT_POSSIBLE},
        {920, false, "28b.mes", 955, HINT_POSSIBLE},
        {900, true, "39.mes", 1805, HINT_MISSED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        SetHintMoment(m_state, 1304, c.time, 1, 8);
        m_state.Flags[784] = c.latch;
        const std::vector<FlagHintRecord> list = Build(4);
        EXPECT_EQ(list[6].SceneFile, c.scene);
        EXPECT_EQ(list[6].EarliestTime, c.earliest);
        EXPECT_EQ(list[6].Status, c.status);
    }
}

TEST_F(HeroineHints04Test, ConfessionNeedsMoodAndNoRival)
{
    const struct
    {
        uint8_t mood, rival;
        uint32_t status;
        const char* note;
    } cases[] = {
        {15, 0, HINT_POSSIBLE, "※ヒロイン04に告白"},
        {14, 0, HINT_MISSED, "※ヒロイン04の気分値が足りない"},
        {30, 1, HINT_MISSED, "※ヒロイン05に先越される"},
    };
    for (const auto& c : cases) {
        m_state.Flags[960] = c.mood;
        m_state.Flags[1481] = c.rival;
        const std::vector<FlagHintRecord> list = Build(4);
        EXPECT_EQ(list.back().Status, c.status);
        EXPECT_EQ(list.back().Note.GetStdString(), c.note);
    }
}

} // namespace
