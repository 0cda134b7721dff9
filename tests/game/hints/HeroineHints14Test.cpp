#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints14Test = HintTest;

TEST_F(HeroineHints14Test, StationMorningSeenHasNoScene)
{
    std::vector<FlagHintRecord> list = Build(14);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[1].SceneFile, "16a.mes");
    Seen(1082);
    list = Build(14);
    EXPECT_EQ(list[1].Status, HINT_SEEN);
    EXPECT_EQ(list[1].FirstDate, m_state.Words[1302]);
    EXPECT_TRUE(list[1].SceneFile.IsEmpty());
}

TEST_F(HeroineHints14Test, LivingRoomFollowsTheRoomTalk)
{
    EXPECT_EQ(Build(14)[3].FirstDate, 1304);
    Seen(1564);
    m_state.Words[SeenDateWord(377)] = 1231;
    EXPECT_EQ(Build(14)[3].FirstDate, 1301);
    m_state.Words[SeenDateWord(377)] = 1306;
    EXPECT_EQ(Build(14)[3].FirstDate, 1306); // never after the last day
}

} // namespace
