#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints08Test = HintTest;

TEST_F(HeroineHints08Test, EveningsAtHomeFollowTheFirst)
{
    Seen(1504);
    m_state.Words[SeenDateWord(357)] = 1231;
    const std::vector<FlagHintRecord> list = Build(8);
    EXPECT_EQ(list[2].Status, HINT_SEEN);
    EXPECT_EQ(list[7].FirstDate, 1303);
    EXPECT_EQ(list[8].FirstDate, 1304);
    EXPECT_EQ(list[9].FirstDate, 1304);
    EXPECT_EQ(list[9].SceneFile, "17.mes");
}

TEST_F(HeroineHints08Test, BranchBlockForcesTheLatch)
{
    m_state.Flags[1383] = 1; // the invitation stays possible
    std::vector<FlagHintRecord> list = Build(8);
    ASSERT_EQ(list.size(), 24u);
    for (size_t k = 10; k < 22; ++k) {
        EXPECT_EQ(list[k].FirstDate, 1303) << k;
        EXPECT_EQ(list[k].LastDate, 1305) << k;
        EXPECT_EQ(list[k].Status, HINT_POSSIBLE) << k;
    }
    m_state.Flags[1533] = 1;
    m_state.Flags[961] = 20;
    list = Build(8);
    ASSERT_EQ(list.size(), 25u); // the block adds A-d
    for (size_t k = 11; k < list.size(); ++k)
        EXPECT_EQ(list[k].Status, HINT_MISSED) << k;
    EXPECT_EQ(list[9].Status, HINT_POSSIBLE);
}

} // namespace
