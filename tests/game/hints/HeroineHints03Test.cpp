#include "game/hints/HeroineHints.h"

#include <algorithm>

#include "HintTestFixture.h"

namespace {

using HeroineHints03Test = HintTest;

constexpr size_t DATE_FLAGS[] = {329, 328, 327, 335, 336, 334, 337, 341, 339,
                                 345, 344, 343, 362, 363, 355, 367, 368, 365};
constexpr size_t DATE_SLOTS[] = {252, 259, 246, 253, 260, 247, 254, 261, 248,
                                 256, 262, 249, 257, 263, 250, 258, 264, 251};

size_t CountCode8028Seen(const std::vector<FlagHintRecord>& list)
{
    return static_cast<size_t>(std::count_if(list.begin(), list.end(), [](const FlagHintRecord& record) {
        return record.Status == HINT_SEEN && record.SceneFile.IsEmpty();
    }));
}

TEST_F(HeroineHints03Test, NineSeenDatesEndTheList)
{
    for (size_t k = 0; k < 10; ++k)
        Seen(DATE_FLAGS[k]);
    const std::vector<FlagHintRecord> list = Build(3);
    EXPECT_EQ(CountCode8028Seen(list), 9u);
    for (size_t k = 0; k < 9; ++k) {
        EXPECT_EQ(list[k].FirstDate, SeededDate(DATE_SLOTS[k]));
        EXPECT_EQ(list[k].EarliestTime, SeededTime(DATE_SLOTS[k]));
        EXPECT_EQ(list[k].PlaceName.GetStdString(), SeededPlace(DATE_SLOTS[k]));
    }
    // No candidate: only B1 to B4, K1 and K2 follow.
    EXPECT_EQ(list.size(), 9u + 6u);
}

TEST_F(HeroineHints03Test, EightDatesListedStopTheCandidates)
{
    for (size_t k = 0; k < 6; ++k)
        Seen(DATE_FLAGS[k]);
    // Six seen; of the open candidates only two more are listed.
    const std::vector<FlagHintRecord> list = Build(3);
    const auto candidates = std::count_if(list.begin(), list.end(), [](const FlagHintRecord& record) {
        return record.Status != HINT_SEEN && (record.SceneFile == "33.mes" || record.SceneFile == "48.mes" ||
                                              (record.SceneFile == "52.mes" && record.Code != 8062));
    });
    EXPECT_EQ(candidates, 2);
    EXPECT_EQ(list.size(), 6u + 2u + 6u);
}

TEST_F(HeroineHints03Test, PassedCandidatesAreAbsent)
{
    SetHintMoment(m_state, 1223, 800, 1, 8);
    const std::vector<FlagHintRecord> list = Build(3);
    for (const FlagHintRecord& record : list) {
        EXPECT_NE(record.FirstDate, 1222);
        if (record.Code != 8060) {
            EXPECT_NE(record.Status, HINT_MISSED) << record.SceneFile.GetStdString();
        }
    }
    EXPECT_EQ(list[0].FirstDate, 1223);
}

TEST_F(HeroineHints03Test, VisitNoteOncePerList)
{
    // Flag byte 2: neither a seen date nor an open one, so list A is empty and list B fills.
    for (size_t flag : {327, 334, 339, 343, 328, 336, 341, 344, 329, 335, 337, 340, 345})
        m_state.Flags[flag] = 2;
    std::vector<FlagHintRecord> list = Build(3);
    ASSERT_EQ(list.size(), 4u + 6u + 2u);
    const auto visits = std::count_if(list.begin(), list.end(), [](const FlagHintRecord& record) {
        return record.Note == "※会いに来ただけ";
    });
    EXPECT_EQ(visits, 1);
    const FlagHintRecord* b5 = FindRecord(list, "33.mes", 8032); // the first candidate of list B
    ASSERT_TRUE(b5);
    EXPECT_EQ(b5->Note.GetStdString(), "※会いに来ただけ");

    m_state.Flags[317] = 1; // she already has a mood: no visit note
    list = Build(3);
    EXPECT_TRUE(std::none_of(list.begin(), list.end(),
                             [](const FlagHintRecord& record) { return record.Note == "※会いに来ただけ"; }));
}

TEST_F(HeroineHints03Test, FamilyDinnerMovesToTheLivingRoom)
{
    Seen(320);
    const struct
    {
        int32_t time;
        const char* scene;
        const char* place;
        int32_t earliest;
        uint32_t status;
    } cases[] = {
        {1830, "39.mes", "自分の家", 1855, HINT_POSSIBLE},
        {1840, "41.mes", "リビング", 1905, HINT_POSSIBLE},
        {1940, "41.mes", "リビング", 1900, HINT_MISSED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        SetHintMoment(m_state, 1226, c.time, 1, 8);
        const std::vector<FlagHintRecord> list = Build(3);
        const FlagHintRecord* b2 = FindRecord(list, c.scene, 8028);
        ASSERT_TRUE(b2);
        EXPECT_EQ(b2->PlaceName.GetStdString(), c.place);
        EXPECT_EQ(b2->EarliestTime, c.earliest);
        EXPECT_EQ(b2->Status, c.status);
    }
}

TEST_F(HeroineHints03Test, RivalAndMoodDecideTheConfession)
{
    m_state.Flags[954] = 15;
    EXPECT_EQ(Build(3).back().Note.GetStdString(), "※ヒロイン03に告白");
    m_state.Flags[1481] = 1;
    const std::vector<FlagHintRecord> list = Build(3);
    EXPECT_EQ(list.back().Status, HINT_MISSED);
    EXPECT_EQ(list.back().Note.GetStdString(), "※ヒロイン05に先越される");
}

} // namespace
