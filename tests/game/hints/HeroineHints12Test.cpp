#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints12Test = HintTest;

TEST_F(HeroineHints12Test, NinthDayCountsAsSeenFromFourTalks)
{
    for (const uint8_t talks : {3, 4}) {
        m_state.Flags[812] = talks;
        const std::vector<FlagHintRecord> list = Build(12);
        ASSERT_EQ(list.size(), 11u);
        EXPECT_EQ(list[8].Status, talks >= 4 ? HINT_SEEN : HINT_POSSIBLE);
        EXPECT_EQ(list[8].FirstDate, talks >= 4 ? SeededDate(342) : 1230);
        EXPECT_EQ(list[8].SceneFile, "gakko1.mes");
    }
}

TEST_F(HeroineHints12Test, ConfessionFollowsTheMood)
{
    const struct
    {
        uint8_t mood;
        uint32_t status;
        const char* note;
    } cases[] = {
        {12, HINT_MISSED, "※ヒロイン12の気分値が足りない"},
        {13, HINT_POSSIBLE, "※進路は決めた→ヒロイン12に告白"},
        {14, HINT_POSSIBLE, "※ヒロイン12に告白"},
    };
    for (const auto& c : cases) {
        m_state.Flags[955] = c.mood;
        const std::vector<FlagHintRecord> list = Build(12);
        EXPECT_EQ(list.back().Status, c.status);
        EXPECT_EQ(list.back().Note.GetStdString(), c.note);
    }
}

TEST_F(HeroineHints12Test, FifthDayKeepsItsAdviceWhenMissed)
{
    SetHintMoment(m_state, 1227, 800, 1, 8);
    const std::vector<FlagHintRecord> list = Build(12);
    EXPECT_EQ(list[4].Status, HINT_MISSED);
    EXPECT_EQ(list[4].Note.GetStdString(), "※それだけだと言う");
}

} // namespace
