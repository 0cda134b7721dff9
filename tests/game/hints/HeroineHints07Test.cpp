#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "HintTestFixture.h"

namespace {

using HeroineHints07Test = HintTest;

TEST_F(HeroineHints07Test, StudioVisitNeeds1500Money)
{
    for (const int32_t money : {1499, 1500}) {
        m_state.SetMoney(money);
        const std::vector<FlagHintRecord> list = Build(7);
        EXPECT_EQ(list[2].Status, money < 1500 ? HINT_MISSED : HINT_POSSIBLE);
        EXPECT_EQ(list[2].Note.GetStdString(),
                  money < 1500 ? "※お金が足りない" : "※まだ帰らない→行ってもいいぞ\n　→自分の家に行くぞ");
        EXPECT_EQ(list[3].Status, money < 1500 ? HINT_MISSED : HINT_POSSIBLE);
    }
}

TEST_F(HeroineHints07Test, MeetingsTakeTheSlotsOfTheSeenCount)
{
    for (const size_t flag : {2060, 2062, 2065, 2070})
        Seen(flag);
    m_state.Flags[523] = 2;
    std::vector<FlagHintRecord> list = Build(7);
    ASSERT_EQ(list.size(), 3u + 15u + 2u);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(list[3 + k].Status, HINT_SEEN);
        EXPECT_EQ(list[3 + k].PlaceName.GetStdString(), SeededPlace(282 + k));
    }
    std::vector<int32_t> firsts;
    for (size_t k = 7; k < 18; ++k) {
        EXPECT_EQ(list[k].SceneFile, "15.mes");
        EXPECT_EQ(list[k].LastDate, 1306);
        firsts.push_back(list[k].FirstDate);
    }
    EXPECT_EQ(std::count(firsts.begin(), firsts.end(), 1229), 2);
    EXPECT_EQ(std::count(firsts.begin(), firsts.end(), 1231), 5);
    EXPECT_EQ(std::count(firsts.begin(), firsts.end(), 1303), 4);

    m_state.Flags[523] = 7; // no place chosen: no meeting predicted, and the list still ends
    EXPECT_EQ(Build(7).size(), 3u + 4u + 2u);
    m_state.Flags[523] = 2;
    m_state.Flags[522] = 15;
    EXPECT_EQ(Build(7).size(), 3u + 4u + 2u);
}

TEST_F(HeroineHints07Test, MakeUpFollowsTheLastMeeting)
{
    for (size_t flag = 2060; flag < 2075; ++flag)
        Seen(flag);
    m_state.Flags[522] = 20;
    m_state.Words[SeenDateWord(296)] = 1306;
    for (const uint16_t time : {1000, 1500}) {
        m_state.Words[SeenTimeWord(296)] = time;
        const std::vector<FlagHintRecord> list = Build(7);
        const FlagHintRecord& makeup = list[list.size() - 2];
        EXPECT_EQ(makeup.SceneFile, "39.mes");
        EXPECT_EQ(makeup.Status, time < 1400 ? HINT_POSSIBLE : HINT_MISSED);
        if (time < 1400) {
            EXPECT_EQ(makeup.EarliestTime, 1000);
        }
        EXPECT_EQ(list.back().Status, time < 1400 ? HINT_POSSIBLE : HINT_MISSED);
    }
}

} // namespace
