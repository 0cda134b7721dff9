#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints05Test = HintTest;

TEST_F(HeroineHints05Test, FirstDaysFollowThePresentDate)
{
    const struct
    {
        int32_t date;
        int32_t star, plus;
    } cases[] = {{1223, 1222, 1225}, {1224, 1225, 1225}, {1301, 1302, 1302}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.date);
        SetHintMoment(m_state, c.date, 800, 1, 8);
        const std::vector<FlagHintRecord> list = Build(5);
        ASSERT_EQ(list.size(), 47u);
        const FlagHintRecord* arcade = FindRecord(list, "18.mes", 8022); // record 14, 1225+
        ASSERT_TRUE(arcade);
        // A star day before the present moves to the present when tested; one after it stays.
        EXPECT_EQ(list[0].FirstDate, std::max(c.star, c.date));
        EXPECT_EQ(arcade->FirstDate, std::max(c.plus, c.date));
    }
}

TEST_F(HeroineHints05Test, SubListIsSortedSeenFirst)
{
    Seen(1376);
    const std::vector<FlagHintRecord> list = Build(5);
    EXPECT_EQ(list[0].Status, HINT_SEEN);
    EXPECT_EQ(list[0].PlaceName.GetStdString(), SeededPlace(201));
    EXPECT_EQ(list[1].SceneFile, "38.mes");
    EXPECT_EQ(list[1].Status, HINT_POSSIBLE);
}

TEST_F(HeroineHints05Test, PunishmentFollowsTheTalksDate)
{
    Seen(1470);
    m_state.Words[SeenDateWord(244)] = 1304;
    const std::vector<FlagHintRecord> list = Build(5);
    const FlagHintRecord& record44 = list[list.size() - 2];
    EXPECT_EQ(record44.Code, 8027u);
    EXPECT_EQ(record44.FirstDate, 1304);
    EXPECT_EQ(record44.LastDate, -1);
}

TEST_F(HeroineHints05Test, SeenApartmentNeedsMood11)
{
    Seen(1467);
    for (const uint8_t mood : {10, 11}) {
        m_state.Flags[964] = mood;
        const std::vector<FlagHintRecord> list = Build(5);
        for (size_t k = list.size() - 3; k < list.size() - 1; ++k)
            EXPECT_EQ(list[k].Status, mood < 11 ? HINT_MISSED : HINT_POSSIBLE) << k;
        EXPECT_EQ(list.back().Status, HINT_MISSED); // Flags[1481] is clear: the mood note
    }
}

TEST_F(HeroineHints05Test, ConfessionNeedsThePunishmentSeen)
{
    for (const uint8_t punished : {0, 1}) {
        m_state.Flags[1481] = punished;
        const std::vector<FlagHintRecord> list = Build(5);
        EXPECT_EQ(list.back().Status, punished ? HINT_POSSIBLE : HINT_MISSED);
        EXPECT_EQ(list.back().Note.GetStdString(),
                  punished ? "※ヒロイン05からの告白" : "※ヒロイン05の気分値が足りない");
    }
}

} // namespace
