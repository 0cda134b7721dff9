#include "game/hints/HeroineHints.h"

#include "HintTestFixture.h"

namespace {

using HeroineHints11Test = HintTest;

TEST_F(HeroineHints11Test, ShiftsSkipHerDayOff)
{
    const std::vector<FlagHintRecord> list = Build(11);
    ASSERT_EQ(list.size(), 16u);
    const int32_t days[] = {1222, 1222, 1223, 1223, 1224, 1224, 1226};
    const int32_t starts[] = {825, 1400, 800, 1400, 800, 1400, 800};
    for (size_t k = 0; k < std::size(days); ++k) {
        EXPECT_EQ(list[k].FirstDate, days[k]) << k; // 1225 is weekday 3
        EXPECT_EQ(list[k].EarliestTime, starts[k]) << k;
        EXPECT_EQ(list[k].Status, HINT_POSSIBLE) << k;
    }
}

TEST_F(HeroineHints11Test, LateEveningStartsOnTheNextDay)
{
    for (const int32_t time : {2000, 2030}) {
        SCOPED_TRACE(time);
        SetHintMoment(m_state, 1222, time, 1, 8);
        const std::vector<FlagHintRecord> list = Build(11);
        // At 20:00 the first morning is still 1222's, moved to the next day by the test; its
        // arrival after 20:00 then ends the day. At 20:30 the first shift is already 1223's.
        EXPECT_EQ(list[0].FirstDate, 1223);
        EXPECT_EQ(list[1].FirstDate, time > 2000 ? 1224 : 1223);
        EXPECT_EQ(list[1].EarliestTime, 800);
    }
}

TEST_F(HeroineHints11Test, MissedMorningIsLeftOut)
{
    SetHintMoment(m_state, 1306, 1200, 1, 8);
    Seen(1067);
    m_state.Flags[1099] = 1;
    const std::vector<FlagHintRecord> list = Build(11);
    size_t shifts = 0;
    for (const FlagHintRecord& record : list) {
        if (record.Code != 8053 || record.FirstDate != 1306)
            continue;
        ++shifts;
        EXPECT_EQ(record.EarliestTime, 1400); // the afternoon; the morning has passed
        EXPECT_EQ(record.Status, HINT_POSSIBLE);
    }
    EXPECT_EQ(shifts, 1u);
}

TEST_F(HeroineHints11Test, LatchBeforeASeriesHidesItsSeenShifts)
{
    m_state.Flags[2095] = 1;
    Seen(2100);
    Seen(2108);
    const std::vector<FlagHintRecord> list = Build(11);
    ASSERT_EQ(list.size(), 1u + 5u + 3u + 1u);
    for (const FlagHintRecord& record : list)
        EXPECT_NE(record.Status, HINT_SEEN);
    // The second series still predicts, with the prediction's own status.
    for (size_t k = 6; k < 9; ++k) {
        EXPECT_EQ(list[k].SceneFile, "21.mes");
        EXPECT_EQ(list[k].Status, HINT_POSSIBLE);
    }
}

TEST_F(HeroineHints11Test, RoomInvitationNeedsFlag1383)
{
    for (const uint8_t value : {0, 1}) {
        m_state.Flags[1383] = value;
        const std::vector<FlagHintRecord> list = Build(11);
        const FlagHintRecord& r1 = list[7];
        EXPECT_EQ(r1.SceneFile, "40.mes");
        EXPECT_EQ(r1.Status, value ? HINT_POSSIBLE : HINT_MISSED);
        EXPECT_EQ(r1.Note.GetStdString(), value ? "※ヒロイン00を誘う" : "※ヒロイン05を進める");
        EXPECT_EQ(list[8].Status, value ? HINT_POSSIBLE : HINT_MISSED);
    }
}

} // namespace
