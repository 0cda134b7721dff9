#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "HintTestFixture.h"

namespace {

using HeroineHints01Test = HintTest;

// Open dates stand between the events before them (two, or three with event 3) and E1.
size_t CountOpenDates(const std::vector<FlagHintRecord>& list, size_t before)
{
    for (size_t k = 0; k < list.size(); ++k) {
        if (list[k].SceneFile == "40.mes" && list[k].Code == 8015)
            return k - before;
    }
    return 0;
}

const FlagHintRecord* FindE9(const std::vector<FlagHintRecord>& list)
{
    return FindRecord(list, "01.mes", HINT_CODE_NONE);
}

TEST_F(HeroineHints01Test, EightSeenDatesLeaveNoOpenDate)
{
    for (size_t flag = 1188; flag < 1196; ++flag)
        Seen(flag);
    const std::vector<FlagHintRecord> list = Build(1);
    ASSERT_GE(list.size(), 10u);
    for (size_t k = 0; k < 8; ++k) {
        EXPECT_EQ(list[2 + k].Status, HINT_SEEN);
        EXPECT_EQ(list[2 + k].FirstDate, SeededDate(143 + k));
        EXPECT_EQ(list[2 + k].District, 2u);
        EXPECT_TRUE(list[2 + k].SceneFile.IsEmpty());
    }
    EXPECT_EQ(list[10].SceneFile, "40.mes"); // E1 follows at once
    EXPECT_EQ(list[10].Status, HINT_POSSIBLE);
    // The floor is the last seen date (slot 150: 1228).
    EXPECT_EQ(list[10].FirstDate, 1228);
}

TEST_F(HeroineHints01Test, UnreachableOpenDateStopsTheRest)
{
    SetHintMoment(m_state, 1226, 800, 1, 8);
    m_state.SetMoney(0); // the game centre across the railway cannot be paid for
    Seen(1174);
    const std::vector<FlagHintRecord> list = Build(1);
    EXPECT_EQ(CountOpenDates(list, 2), 7u);
    EXPECT_EQ(FindRecord(list, "18.mes", 8015), nullptr);
    EXPECT_EQ(FindRecord(list, "17.mes", 8015), nullptr);
    // Fewer than 8 dates: every later event is missed until E9 frees the rest.
    const FlagHintRecord* e1 = FindRecord(list, "40.mes", 8015);
    const FlagHintRecord* e9 = FindE9(list);
    ASSERT_TRUE(e1 && e9);
    EXPECT_EQ(e1->Status, HINT_MISSED);
    EXPECT_EQ(e9->Status, HINT_POSSIBLE);
    EXPECT_EQ(e9->LatestTime, 2359);
    const FlagHintRecord& e10 = *(e9 + 1);
    EXPECT_EQ(e10.SceneFile, "09a.mes");
    EXPECT_EQ(e10.Status, HINT_POSSIBLE);
    EXPECT_EQ(e10.Note.GetStdString(), "※雑誌がある棚を調べる");
}

TEST_F(HeroineHints01Test, LastRoomEventOnNewYearsEveEndsAt2255)
{
    for (const int32_t date : {1230, 1231}) {
        SCOPED_TRACE(date);
        SetHintMoment(m_state, date, 800, 1, 8);
        const std::vector<FlagHintRecord> list = Build(1);
        const FlagHintRecord* e8 = FindRecord(list, "40.mes", 8018);
        ASSERT_TRUE(e8);
        EXPECT_EQ(e8->FirstDate, date);
        EXPECT_EQ(e8->EarliestTime, 810);
        EXPECT_EQ(e8->LatestTime, date == 1231 ? 2255 : 2355);
        // E9 starts 15 minutes after the clock of the last test (E8's arrival at 08:10).
        const FlagHintRecord* e9 = FindE9(list);
        ASSERT_TRUE(e9);
        EXPECT_EQ(e9->EarliestTime, 825);
    }
}

TEST_F(HeroineHints01Test, EventThreeAfterTheYearRaisesTheFloor)
{
    SetHintMoment(m_state, 1231, 2350, 1, 8);
    m_state.Flags[2051] = 1;
    m_state.Flags[1245] = 1;
    const std::vector<FlagHintRecord> list = Build(1);
    const FlagHintRecord* event3 = FindRecord(list, "39.mes", 8009);
    ASSERT_TRUE(event3);
    EXPECT_EQ(event3->FirstDate, 1301);
    EXPECT_EQ(event3->Status, HINT_MISSED); // listed unseen, it starts the latch
    EXPECT_EQ(CountOpenDates(list, 3), 0u);
    const FlagHintRecord* e1 = FindRecord(list, "40.mes", 8015);
    ASSERT_TRUE(e1);
    EXPECT_EQ(e1->FirstDate, 1302);
}

TEST_F(HeroineHints01Test, MetAlreadyMovesTheFirstEventToTomorrow)
{
    m_state.Flags[1173] = 1;
    std::vector<FlagHintRecord> list = Build(1);
    EXPECT_EQ(list[0].FirstDate, 1223);
    EXPECT_EQ(list[0].Status, HINT_POSSIBLE);
    EXPECT_EQ(list[0].Note.GetStdString(), "※ヒロイン01を誘う");
    SetHintMoment(m_state, 1223, 800, 1, 8);
    list = Build(1);
    EXPECT_EQ(list[0].Status, HINT_MISSED);
    EXPECT_TRUE(list[0].Note.IsEmpty());
}

} // namespace
