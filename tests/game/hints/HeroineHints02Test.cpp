#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints02Test = HintTest;

TEST_F(HeroineHints02Test, VisitNeeds600Money)
{
    SetHintMoment(m_state, 1228, 800, 1, 8);
    Seen(906); // the first event is behind her, so the latch is still clear
    for (const int32_t money : {599, 600}) {
        SCOPED_TRACE(money);
        m_state.SetMoney(money);
        const std::vector<FlagHintRecord> list = Build(2);
        ASSERT_EQ(list.size(), 7u);
        const FlagHintRecord& h2 = list[1];
        EXPECT_EQ(h2.SceneFile, "35.mes");
        EXPECT_EQ(h2.Status, money < 600 ? HINT_MISSED : HINT_POSSIBLE);
        EXPECT_EQ(h2.Note.GetStdString(), money < 600 ? "※お金が足りない" : "※インターフォンを押す");
        EXPECT_EQ(list[3].Status, HINT_MISSED); // the room visit, with Flags[1383] clear, set the latch
        EXPECT_EQ(list[2].Note.GetStdString(), "※ヒロイン05を進める");
    }
    // Following heroine 1 takes the place of the money rule.
    m_state.SetMoney(0);
    m_state.Flags[FLAG_HEROINE1_STORY] = 1;
    const std::vector<FlagHintRecord> story = Build(2);
    EXPECT_EQ(story[1].Note.GetStdString(), "※ヒロイン01を進める");
}

TEST_F(HeroineHints02Test, StationMorningAndItsFollowers)
{
    SetHintMoment(m_state, 1229, 600, 0, 1);
    Seen(906);
    Seen(2054);
    Seen(1076);
    m_state.Flags[958] = 13;
    m_state.Flags[1383] = 1;
    std::vector<FlagHintRecord> list = Build(2);
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[3].SceneFile, "16a.mes");
    EXPECT_EQ(list[3].Status, HINT_POSSIBLE);
    EXPECT_EQ(list[3].EarliestTime, 700);
    EXPECT_EQ(list[4].Status, HINT_POSSIBLE);

    Seen(1082); // seen at the station: no scene file, and the test before it left the date at 1229
    list = Build(2);
    EXPECT_EQ(list[3].Status, HINT_SEEN);
    EXPECT_TRUE(list[3].SceneFile.IsEmpty());
    EXPECT_EQ(list[3].PlaceName.GetStdString(), SeededPlace(350));

    m_state.Flags[958] = 12; // after the visit a mood below 13 loses the rest
    list = Build(2);
    EXPECT_EQ(list[4].Status, HINT_MISSED);
}

TEST_F(HeroineHints02Test, YearEndNeedsFlag983)
{
    SetHintMoment(m_state, 1230, 800, 1, 8);
    for (const size_t flag : {906, 2054, 1076, 1082})
        Seen(flag);
    m_state.Flags[958] = 20;
    for (const uint8_t value : {0, 1}) {
        m_state.Flags[983] = value;
        const std::vector<FlagHintRecord> list = Build(2);
        EXPECT_EQ(list[4].Status, value ? HINT_POSSIBLE : HINT_MISSED);
        EXPECT_EQ(list.back().Status, value ? HINT_POSSIBLE : HINT_MISSED);
    }
}

} // namespace
