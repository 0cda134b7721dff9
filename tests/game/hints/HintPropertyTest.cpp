// Properties every hint builder keeps over thousands of random game states: flags, dates, times,
// positions inside and outside the town, money and short state arrays.
#include <random>
#include <string>

#include "HintTestFixture.h"
#include "game/hints/HintReachability.h"
#include "script/ScriptState.h"

namespace {

constexpr int STATES = 1000;

class HintPropertyTest : public HintTest
{
protected:
    void Randomise(std::mt19937& random)
    {
        m_state = m_base;
        auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
        // A density per state, so some states have few flags set and some many.
        const uint32_t density = below(60);
        for (size_t flag = 300; flag < 2200; ++flag) {
            if (below(100) < density)
                m_state.Flags[flag] = below(8) == 0 ? static_cast<uint8_t>(below(256)) : 1;
        }
        for (size_t flag = 8008; flag < 8066; ++flag)
            m_state.Flags[flag] = below(100) < density ? 1 : 0;
        for (size_t flag : {317, 618, 951, 953, 954, 958})
            m_state.Flags[flag] = static_cast<uint8_t>(below(25));
        m_state.Flags[FLAG_HOT_SPRING_TRIP] = below(6) == 0;
        m_state.Flags[FLAG_HEROINE1_STORY] = below(6) == 0;

        static constexpr int32_t DATES[] = {1222, 1223, 1224, 1225, 1226, 1227, 1228, 1229,
                                            1230, 1231, 1301, 1302, 1303, 1304, 1305, 1306};
        const int32_t date = DATES[below(std::size(DATES))];
        const int32_t time = static_cast<int32_t>(below(24) * 100 + below(60));
        // Mostly inside the town; sometimes a district or location no rule knows.
        const auto district = static_cast<uint8_t>(below(10) == 0 ? below(256) : below(11));
        const auto location = static_cast<uint8_t>(below(10) == 0 ? below(256) : below(16));
        SetHintMoment(m_state, date, time, district, location);
        static constexpr int32_t MONEY[] = {0, 299, 300, 599, 600, 10'000, 70'000, -300};
        m_state.SetMoney(below(3) == 0 ? static_cast<int32_t>(below(100'000))
                                       : MONEY[below(std::size(MONEY))]);
        if (below(20) == 0)
            m_state.Flags.resize(below(8066)); // an old, short state
    }

    void CheckList(uint32_t heroine, const std::vector<FlagHintRecord>& list)
    {
        SCOPED_TRACE(heroine);
        ASSERT_FALSE(list.empty());
        const FlagHintRecord& last = list.back();
        EXPECT_EQ(last.Code, 8060u);
        EXPECT_EQ(last.SceneFile, "40.mes");
        EXPECT_EQ(last.PlaceName, "自分の部屋");
        EXPECT_EQ(last.District, 1u);
        EXPECT_EQ(last.Location, 8u);
        EXPECT_EQ(last.FirstDate, HINT_DATE_AFTER_END);
        EXPECT_EQ(last.EarliestTime, 800);
        EXPECT_EQ(last.LastDate, -1);
        EXPECT_EQ(last.LatestTime, -1);
        EXPECT_NE(last.Status, HINT_SEEN);

        const uint8_t* flags = m_state.Flags.data();
        const size_t flag_count = m_state.Flags.size();
        auto flag = [&](size_t n) { return n < flag_count ? flags[n] : 0; };
        const int32_t game_date = m_state.GameDate();
        const bool all_missed =
            flag(FLAG_HOT_SPRING_TRIP) == 1 || (heroine != 1 && flag(FLAG_HEROINE1_STORY) == 1);
        bool after_e9 = false;
        for (size_t k = 0; k < list.size(); ++k) {
            const FlagHintRecord& record = list[k];
            SCOPED_TRACE(k);
            EXPECT_EQ(record.Code == 8060, k + 1 == list.size());
            EXPECT_LE(record.Status, HINT_MISSED);
            EXPECT_EQ(record.IsNext, 0u);
            EXPECT_TRUE(record.Fare == 0 || record.Fare == 3);
            if (heroine == 1 && record.Code == HINT_CODE_NONE && record.SceneFile == "01.mes")
                after_e9 = true;
            if (record.Status == HINT_SEEN) {
                const int32_t minutes = record.EarliestTime / 100 * 60 + record.EarliestTime % 100;
                const auto slot = static_cast<size_t>(minutes / 3);
                EXPECT_EQ(record.EarliestTime, SeededTime(slot));
                EXPECT_EQ(record.FirstDate, SeededDate(slot));
                EXPECT_EQ(record.PlaceName.GetStdString(), SeededPlace(slot));
                EXPECT_EQ(record.LastDate, -1);
                EXPECT_EQ(record.LatestTime, -1);
                continue;
            }
            // Seen events shown missed (a seen room talk without the mood) still hold their slot.
            const bool seen_shown_missed =
                record.Fare == 0 && record.PlaceName.GetStdString().starts_with("場所");
            if (seen_shown_missed)
                continue;
            if (all_missed && !after_e9) {
                EXPECT_EQ(record.Status, HINT_MISSED);
            }
            if (m_state.Money() <= 0 && record.Fare == 3 && record.FirstDate < HINT_DATE_AFTER_END) {
                EXPECT_EQ(record.Status, HINT_MISSED);
            }
            if (record.Status == HINT_POSSIBLE && record.Code != HINT_CODE_NONE &&
                record.FirstDate < HINT_DATE_AFTER_END) {
                EXPECT_GE(record.FirstDate, game_date);
                EXPECT_LE(record.FirstDate, HINT_LAST_DAY);
                // A window that ends before it begins still counts as possible while it lies ahead.
                if (record.LastDate != -1 && record.FirstDate <= game_date) {
                    EXPECT_LE(record.FirstDate, record.LastDate);
                }
                if (record.District < 7 || record.District > 10) {
                    FlagHintRecord again = record;
                    EXPECT_EQ(CheckEventWindow(m_recheck, again), 0u);
                    EXPECT_EQ(Fingerprint(again), Fingerprint(record));
                }
            }
        }
    }

    const FlagBuffer m_base = MakeHintState();
    HintContext m_recheck; // the present moment of the state under test, for tests run again

    static std::string Fingerprint(const FlagHintRecord& r)
    {
        return std::to_string(r.FirstDate) + "," + std::to_string(r.LastDate) + "," +
               std::to_string(r.EarliestTime) + "," + std::to_string(r.LatestTime) + "," +
               r.SceneFile.GetStdString() + "," + r.PlaceName.GetStdString() + "," + r.Note.GetStdString() +
               "," + std::to_string(r.IsNext) + "," + std::to_string(r.Status) + "," +
               std::to_string(r.District) + "," + std::to_string(r.Location) + "," + std::to_string(r.Fare) +
               "," + std::to_string(r.Code);
    }
    static std::string Fingerprint(const std::vector<FlagHintRecord>& list)
    {
        std::string text;
        for (const FlagHintRecord& record : list)
            text += Fingerprint(record) + "\n";
        return text;
    }
};

TEST_F(HintPropertyTest, EveryBuilderKeepsItsPromises)
{
    std::mt19937 random(44);
    for (int state = 0; state < STATES; ++state) {
        SCOPED_TRACE(state);
        Randomise(random);
        GetScriptState().m_current_state = std::make_unique<FlagBuffer>(m_state);
        HintContext context = MakeContext();
        m_recheck = LoadedContext();
        std::string forward[HINT_HEROINE_COUNT];
        for (const uint32_t heroine : BUILT_HEROINES) {
            const std::vector<FlagHintRecord> list = BuildHeroineHints(context, heroine);
            CheckList(heroine, list);
            forward[heroine] = Fingerprint(list);
        }
        for (size_t k = std::size(BUILT_HEROINES); k-- > 0;) {
            const uint32_t heroine = BUILT_HEROINES[k];
            EXPECT_EQ(Fingerprint(BuildHeroineHints(context, heroine)), forward[heroine]);
        }
        const FlagBuffer& after = *GetScriptState().m_current_state.get();
        EXPECT_EQ(after.Flags, m_state.Flags);
        EXPECT_EQ(after.Words, m_state.Words);
        ASSERT_EQ(after.Variables.size(), m_state.Variables.size());
        EXPECT_EQ(after.GameTime(), m_state.GameTime());
        if (HasFailure())
            break;
    }
}

} // namespace
