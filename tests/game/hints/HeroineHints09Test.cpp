#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints09Test = HintTest;

// From outside the town a trip ends at no cost, so these moments test the rules' own times.
constexpr uint8_t OUTSIDE = 200;

TEST_F(HeroineHints09Test, TennisMorningEndsAt0930)
{
    Seen(540);
    Seen(541);
    for (const int32_t time : {930, 931}) {
        SetHintMoment(m_state, 1229, time, OUTSIDE, 0);
        const std::vector<FlagHintRecord> list = Build(9);
        ASSERT_EQ(list.size(), 6u);
        EXPECT_EQ(list[2].Status, time <= 930 ? HINT_POSSIBLE : HINT_MISSED) << time;
        EXPECT_EQ(list[3].Status, time <= 930 ? HINT_POSSIBLE : HINT_MISSED) << time;
    }
}

TEST_F(HeroineHints09Test, StationTalkEndsAt1400)
{
    for (const size_t flag : {540, 541, 557})
        Seen(flag);
    for (const int32_t time : {1400, 1401}) {
        SetHintMoment(m_state, 1230, time, OUTSIDE, 0);
        const std::vector<FlagHintRecord> list = Build(9);
        EXPECT_EQ(list[3].Status, time <= 1400 ? HINT_POSSIBLE : HINT_MISSED) << time;
        EXPECT_EQ(list[4].Status, time <= 1400 ? HINT_POSSIBLE : HINT_MISSED) << time;
    }
}

TEST_F(HeroineHints09Test, LastMorningRetriesInTheEvening)
{
    for (const size_t flag : {540, 541, 557, 582, 573})
        Seen(flag);
    const struct
    {
        int32_t time;
        int32_t earliest;
        int32_t latest;
    } cases[] = {{1045, 1055, 1100}, {1055, 1700, 2300}};
    for (const auto& c : cases) {
        SetHintMoment(m_state, 1306, c.time, 1, 8);
        const std::vector<FlagHintRecord> list = Build(9);
        EXPECT_EQ(list[4].Status, HINT_POSSIBLE) << c.time;
        EXPECT_EQ(list[4].EarliestTime, c.earliest) << c.time;
        EXPECT_EQ(list[4].LatestTime, c.latest) << c.time;
    }
    SetHintMoment(m_state, 1306, 2255, 1, 8); // arrival 23:05
    EXPECT_EQ(Build(9)[4].Status, HINT_MISSED);
}

} // namespace
