#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints13Test = HintTest;

TEST_F(HeroineHints13Test, FiveSeenVisitsLeaveNoVisitRow)
{
    m_state.Flags[188] = 1; // heroine 6 is not pressing: her last visit was on the game's date
    m_state.Words[1198] = 1222;
    for (size_t k = 0; k < 5; ++k)
        Seen(2090 + k);
    for (const uint8_t home : {0, 1}) {
        m_state.Flags[270] = home;
        const std::vector<FlagHintRecord> list = Build(13);
        ASSERT_EQ(list.size(), 5u + 1u + 4u); // the run, N, then #1 to #4
        const FlagHintRecord& fifth = list[4];
        EXPECT_EQ(fifth.PlaceName.GetStdString(), SeededPlace(328));
        EXPECT_EQ(fifth.Status, home ? HINT_SEEN : HINT_MISSED);
        EXPECT_EQ(fifth.Note.GetStdString(), home ? "" : "※→リビングに戻る");
        EXPECT_EQ(list[5].SceneFile, "41.mes"); // N
        EXPECT_EQ(list[6].Code, 8048u);
        EXPECT_EQ(list[6].FirstDate, SeededDate(328));
    }
}

TEST_F(HeroineHints13Test, NoVisitsListTheRunAndTheNight)
{
    m_state.Flags[188] = 1;
    m_state.Words[1198] = 1222;
    const std::vector<FlagHintRecord> list = Build(13);
    ASSERT_EQ(list.size(), 6u + 4u);
    const int32_t days[] = {1223, 1224, 1225, 1226, 1226, 1227};
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(list[k].FirstDate, days[k]) << k;
        EXPECT_EQ(list[k].Status, HINT_POSSIBLE) << k;
    }
    EXPECT_EQ(list[6].FirstDate, 1227); // #1 from V5's day
}

TEST_F(HeroineHints13Test, PressureOfHeroine6)
{
    const std::vector<FlagHintRecord> list = Build(13); // Flags[188] clear: she presses
    EXPECT_EQ(list[6].Status, HINT_MISSED);
    EXPECT_EQ(list[6].Note.GetStdString(), "※ヒロイン06を進める");
}

TEST_F(HeroineHints13Test, NightTalkNeedsFlag618AtFour)
{
    m_state.Flags[188] = 1;
    m_state.Words[1198] = 1222;
    m_state.Flags[242] = 1;
    m_state.Flags[8063] = 1;
    for (const uint8_t value : {3, 4}) {
        m_state.Flags[618] = value;
        const std::vector<FlagHintRecord> list = Build(13);
        const FlagHintRecord& r3 = list[list.size() - 2];
        EXPECT_EQ(r3.Code, 8050u);
        EXPECT_EQ(r3.Status, value == 4 ? HINT_SEEN : HINT_MISSED);
    }
}

} // namespace
