#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints00Test = HintTest;

constexpr const char* ADVANCE_1 = "※ヒロイン01を進める";

TEST_F(HeroineHints00Test, FollowingHeroine1MissesEveryUnseenEvent)
{
    m_state.Flags[FLAG_HEROINE1_STORY] = 1;
    m_state.Flags[1629] = 1; // lists P1 and P2
    m_state.Flags[2051] = 1;
    Seen(1587);
    const std::vector<FlagHintRecord> list = Build(0);
    ASSERT_EQ(list.size(), 43u);
    for (size_t k = 0; k + 1 < list.size(); ++k) {
        SCOPED_TRACE(k);
        if (list[k].Status == HINT_SEEN)
            continue;
        EXPECT_EQ(list[k].Status, HINT_MISSED);
        EXPECT_EQ(list[k].Note.GetStdString(), ADVANCE_1);
    }
    EXPECT_EQ(list[0].Status, HINT_SEEN); // the first list sorts the seen P4 first
    EXPECT_EQ(list[0].SceneFile, "14.mes");

    m_state.Flags[FLAG_HEROINE1_STORY] = 0;
    m_state.Flags[1629] = 0;
    const std::vector<FlagHintRecord> free = Build(0);
    EXPECT_EQ(free[1].Status, HINT_POSSIBLE);
    EXPECT_TRUE(free[1].Note.IsEmpty());
}

TEST_F(HeroineHints00Test, HotelFollowsTheRoomBy95Minutes)
{
    SetHintMoment(m_state, 1303, 800, 1, 8);
    const FlagHintRecord* e17 = nullptr;
    std::vector<FlagHintRecord> list = Build(0);
    e17 = FindRecord(list, "40.mes", 8011);
    const FlagHintRecord* e18 = FindRecord(list, "45a.mes", 8010);
    ASSERT_TRUE(e17 && e18);
    EXPECT_EQ(e17->FirstDate, 1303);
    EXPECT_EQ(e17->EarliestTime, 1700);
    EXPECT_EQ(e18->FirstDate, 1303);
    EXPECT_EQ(e18->EarliestTime, 1700);
    EXPECT_EQ(e18->LatestTime, 1835);
    EXPECT_EQ(e18->LastDate, -1);

    // Seen late in the evening: the hotel window runs past midnight and starts the next day.
    Seen(1690);
    m_state.Words[SeenDateWord(136)] = 1303;
    m_state.Words[SeenTimeWord(136)] = 2330;
    list = Build(0);
    e18 = FindRecord(list, "45a.mes", 8010);
    const FlagHintRecord* e19 = FindRecord(list, "39.mes", 8012);
    ASSERT_TRUE(e18 && e19);
    EXPECT_EQ(e18->FirstDate, 1304);
    EXPECT_EQ(e18->EarliestTime, 2330);
    EXPECT_EQ(e18->LatestTime, 105);
    EXPECT_EQ(e19->FirstDate, 1304);
}

TEST_F(HeroineHints00Test, SeenRoomTalkNeedsMood15)
{
    Seen(1753);
    Seen(8014); // the park at night, which would raise the mood, is seen too
    for (const uint8_t mood : {14, 15}) {
        m_state.Flags[951] = mood;
        const std::vector<FlagHintRecord> list = Build(0);
        const FlagHintRecord& e21 = list[list.size() - 2];
        EXPECT_EQ(e21.Status, mood < 15 ? HINT_MISSED : HINT_SEEN);
        EXPECT_EQ(e21.FirstDate, SeededDate(140));
        EXPECT_EQ(e21.EarliestTime, SeededTime(140));
        EXPECT_EQ(e21.PlaceName.GetStdString(), SeededPlace(140));
        const FlagHintRecord& e22 = list.back();
        EXPECT_EQ(e22.Status, mood < 15 ? HINT_MISSED : HINT_POSSIBLE);
        EXPECT_EQ(e22.Note.GetStdString(),
                  mood < 15 ? "※ヒロイン00の気分値が足りない" : "※ヒロイン00からの告白");
    }
}

TEST_F(HeroineHints00Test, ParkAtNightRaisesTheMoodByTwo)
{
    // Unseen and free, the last park event is worth 2 of mood: 13 becomes enough, 12 not.
    for (const uint8_t mood : {12, 13, 254}) {
        m_state.Flags[951] = mood;
        const std::vector<FlagHintRecord> list = Build(0);
        EXPECT_EQ(list.back().Status, mood + 2 >= 15 ? HINT_POSSIBLE : HINT_MISSED) << int{mood};
    }
}

TEST_F(HeroineHints00Test, PrerequisitesAfterE12)
{
    // With the latch clear, only the flags of P21 and E12 decide; listing them sets both, so
    // the events of the new year stay possible.
    SetHintMoment(m_state, 1302, 800, 1, 8);
    const std::vector<FlagHintRecord> list = Build(0);
    const FlagHintRecord* e13 = FindRecord(list, "43.mes", 8010);
    ASSERT_TRUE(e13);
    EXPECT_EQ(e13->Status, HINT_MISSED); // the year-end events before it are already missed
    EXPECT_EQ(e13->FirstDate, 1302);

    m_state.Flags[506] = 1;
    SetHintMoment(m_state, 1229, 800, 1, 8);
    const std::vector<FlagHintRecord> with_506 = Build(0);
    const FlagHintRecord* e16 = FindRecord(with_506, "14.mes", 8012);
    const FlagHintRecord* e17 = FindRecord(with_506, "40.mes", 8011);
    ASSERT_TRUE(e16 && e17);
    EXPECT_EQ(e16->Status, HINT_POSSIBLE);
    EXPECT_EQ(e17->Status, HINT_MISSED);
}

} // namespace
