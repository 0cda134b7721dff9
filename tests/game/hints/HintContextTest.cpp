#include "game/hints/HintContext.h"

#include "HintTestFixture.h"
#include "foundation/CStringBase.h"
#include "script/ScriptState.h"

namespace {

using HintContextTest = HintTest;

TEST_F(HintContextTest, UnknownHeroineGivesAnEmptyListAfterTheCopy)
{
    SetHintMoment(m_state, 1229, 1930, 6, 3);
    m_state.SetMoney(1234);
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>(m_state);
    HintContext context = MakeContext();
    EXPECT_TRUE(BuildHeroineHints(context, 15).empty());
    EXPECT_EQ(context.Date, 1229);
    EXPECT_EQ(context.Time, 1930);
    EXPECT_EQ(context.District, 6u);
    EXPECT_EQ(context.Location, 3u);
    EXPECT_EQ(context.Money, 1234);
}

TEST_F(HintContextTest, ShortStateReadsAsZerosAndStaysUntouched)
{
    FlagBuffer old_state;
    old_state.Flags.assign(10, 1);
    old_state.Values.resize(8);
    old_state.SetGameDate(1226);
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>(old_state);
    HintContext context = MakeContext();
    for (uint32_t heroine = 0; heroine < 4; ++heroine)
        EXPECT_FALSE(BuildHeroineHints(context, heroine).empty());
    EXPECT_GE(context.State.Flags.size(), 8066u);
    EXPECT_GE(context.State.Words.size(), 1384u);
    EXPECT_GE(context.State.Variables.size(), 391u);
    EXPECT_EQ(context.Date, 1226);
    const FlagBuffer& document_state = *GetScriptState().m_current_state.get();
    EXPECT_EQ(document_state.Flags, old_state.Flags);
    EXPECT_EQ(document_state.Values.size(), 8u);
    EXPECT_TRUE(document_state.Variables.empty());
}

TEST_F(HintContextTest, MoneyIsClampedToSixteenBits)
{
    const std::pair<int32_t, uint16_t> cases[] = {{0, 0}, {65'535, 65'535}, {65'536 + 200, 65'535}, {-1, 0}};
    for (const auto& [money, read] : cases) {
        m_state.SetMoney(money);
        EXPECT_EQ(LoadedContext().Money, read) << money;
    }
}

TEST_F(HintContextTest, PlaceTextsDecodeLeniently)
{
    HintContext context = LoadedContext();
    EXPECT_EQ(PlaceNameOfRecord(context, 123).GetStdString(), SeededPlace(123));
    // 0x81 followed by a byte that is no trail byte, and 0xA0, which maps to nothing.
    context.State.Variables[5].Text = CStringUTF8(std::string("\x8F\xEA\x81\x20"
                                                              "A\xA0",
                                                              6));
    EXPECT_EQ(PlaceNameOfRecord(context, 5).GetStdString(), "場\xEF\xBF\xBD A\xEF\xBF\xBD");
    EXPECT_TRUE(PlaceNameOfRecord(context, 100'000).IsEmpty());
    EXPECT_EQ(AnsiToWideLenient(std::string("\x82\xA0\x82", 3)), u"あ\uFFFD");
}

TEST_F(HintContextTest, BuildingOrderDoesNotMatter)
{
    Seen(906);
    Seen(1174);
    const std::vector<FlagHintRecord> alone = Build(2);
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>(m_state);
    HintContext context = MakeContext();
    BuildHeroineHints(context, 1);
    BuildHeroineHints(context, 0);
    const std::vector<FlagHintRecord> after = BuildHeroineHints(context, 2);
    ASSERT_EQ(after.size(), alone.size());
    for (size_t k = 0; k < alone.size(); ++k) {
        EXPECT_EQ(after[k].FirstDate, alone[k].FirstDate);
        EXPECT_EQ(after[k].Status, alone[k].Status);
        EXPECT_EQ(after[k].Note, alone[k].Note);
    }
}

TEST_F(HintContextTest, RecordCountsOfTheStartOfPlay)
{
    const std::pair<uint32_t, size_t> counts[] = {{4, 10}, {5, 2 + 45}, {9, 6}, {10, 10}, {12, 11}, {14, 5}};
    for (const auto& [heroine, count] : counts)
        EXPECT_EQ(Build(heroine).size(), count) << heroine;
}

} // namespace
