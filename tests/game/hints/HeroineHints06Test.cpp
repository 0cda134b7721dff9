#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

class HeroineHints06Test : public HintTest
{
protected:
    // Record 1 seen on 1222 and the first `count` visits on the days after it, at 15:00.
    void SeenVisits(int count)
    {
        Seen(188);
        m_state.Words[SeenDateWord(298)] = 1222;
        for (int k = 0; k < count; ++k) {
            Seen(2077 + k);
            m_state.Words[SeenDateWord(299 + k)] = static_cast<uint16_t>(1223 + k);
            m_state.Words[SeenTimeWord(299 + k)] = 1500;
        }
    }
};

TEST_F(HeroineHints06Test, PredictedVisitsFollowTheSeenOnes)
{
    SeenVisits(3);
    SetHintMoment(m_state, 1226, 800, 1, 8);
    const std::vector<FlagHintRecord> list = Build(6);
    ASSERT_EQ(list.size(), 12u);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(list[k].Status, HINT_SEEN);
    for (int k = 4; k <= 6; ++k) {
        EXPECT_EQ(list[k].FirstDate, 1222 + k);
        EXPECT_EQ(list[k].LastDate, 1229);
        EXPECT_EQ(list[k].Status, HINT_POSSIBLE);
    }
}

TEST_F(HeroineHints06Test, ADayWithoutAVisitEndsTheChain)
{
    SeenVisits(3); // the last on 1225
    const struct
    {
        int32_t date, time;
        uint32_t status;
    } cases[] = {{1226, 1700, HINT_POSSIBLE}, {1226, 1701, HINT_MISSED}, {1227, 800, HINT_MISSED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date * 10'000 + c.time);
        SetHintMoment(m_state, c.date, c.time, 1, 8);
        const std::vector<FlagHintRecord> list = Build(6);
        EXPECT_EQ(list[4].Status, c.status);
        EXPECT_EQ(list[list.size() - 3].Status, c.status); // record 3 follows the chain
    }
    // Flag 232: no visit is predicted and the chain is not tested.
    m_state.Flags[232] = 1;
    const std::vector<FlagHintRecord> list = Build(6);
    EXPECT_EQ(list.size(), 1u + 3u + 5u);
    EXPECT_EQ(list[4].SceneFile, "62b.mes");
    EXPECT_EQ(list[4].Status, HINT_POSSIBLE);
}

TEST_F(HeroineHints06Test, TreeNotesOnThePredictedVisits)
{
    m_state.Flags[2076] = 1;
    const struct
    {
        uint8_t mood, missed;
        const char* first;
        const char* second;
    } cases[] = {
        {7, 0, "※木によじ登るぞ→もちろんいない\n　→髪の毛を「調べる」→「長い髪が好き」", "※木によじ登るぞ"},
        {8, 0, "※木によじ登るぞ→もちろんいない", "※木によじ登るぞ"},
        {7, 1, "\n　→髪の毛を「調べる」→「長い髪が好き」", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int{c.mood} * 10 + c.missed);
        m_state.Flags[952] = c.mood;
        m_state.Flags[237] = c.missed;
        const std::vector<FlagHintRecord> list = Build(6);
        EXPECT_EQ(list[1].Note.GetStdString(), c.first);
        EXPECT_EQ(list[2].Note.GetStdString(), c.second);
    }
    m_state.Flags[242] = 1;
    const std::vector<FlagHintRecord> list = Build(6);
    EXPECT_EQ(list[list.size() - 4].SceneFile, "62c.mes");
    EXPECT_EQ(list[list.size() - 4].Note.GetStdString(), "※自室で４回行動");
}

} // namespace
