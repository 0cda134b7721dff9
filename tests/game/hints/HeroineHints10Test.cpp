#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints10Test = HintTest;

TEST_F(HeroineHints10Test, FirstVisitRetriesNextMorning)
{
    for (const int32_t time : {1430, 1440}) {
        SetHintMoment(m_state, 1222, time, 1, 8);
        const std::vector<FlagHintRecord> list = Build(10);
        ASSERT_EQ(list.size(), 10u);
        const bool first_window = time == 1430; // arrival 14:55; from 14:40 it is 15:05
        EXPECT_EQ(list[0].FirstDate, first_window ? 1222 : 1223) << time;
        EXPECT_EQ(list[0].LatestTime, first_window ? 1500 : 1100) << time;
        EXPECT_EQ(list[0].Status, HINT_POSSIBLE) << time;
    }
}

TEST_F(HeroineHints10Test, StudioFollowsTheRescue)
{
    EXPECT_EQ(Build(10)[2].EarliestTime, 1101); // the rescue's 11:00, a minute on
    Seen(406);
    EXPECT_EQ(Build(10)[2].EarliestTime, 1001); // seen: from 10:00
}

TEST_F(HeroineHints10Test, StoreroomStartsAMinuteAfterTheStudio)
{
    Seen(425);
    m_state.Words[SeenDateWord(317)] = 1223;
    const struct
    {
        uint16_t studio;
        int32_t first, earliest;
    } cases[] = {
        {1059, 1223, 1100}, // on the clock: never 1060
        {1759, 1223, 1800},
        {1800, 1224, 801}, // the evening has gone: the next morning
    };
    for (const auto& c : cases) {
        m_state.Words[SeenTimeWord(317)] = c.studio;
        const std::vector<FlagHintRecord> list = Build(10);
        EXPECT_EQ(list[3].SceneFile, "gakko3.mes");
        EXPECT_EQ(list[3].FirstDate, c.first) << c.studio;
        EXPECT_EQ(list[3].EarliestTime, c.earliest) << c.studio;
    }
}

} // namespace
