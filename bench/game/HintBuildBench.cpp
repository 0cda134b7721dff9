// The work of the flag details screen when it opens: all fifteen hint lists built from a
// mid-play game state, beside one copy of that state (the baseline every list pays once).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/CVeskDoc.h"
#include "castnames/CastNamesWriter.h"
#include "foundation/CStringBase.h"
#include "game/hints/CastNames.h"
#include "game/hints/HintContext.h"
#include "script/ScriptState.h"

namespace {

// 1229 14:00 in the town, about a third of the story's flags set, every seen slot with its
// date, time and a CP932 place text.
FlagBuffer MakeMidPlayState()
{
    FlagBuffer state;
    state.Flags.resize(9000);
    state.Words.resize(1400);
    state.Variables.resize(400);
    state.SetGameDate(1229);
    state.SetGameTime(1400);
    state.SetDistrict(0);
    state.SetLocation(0);
    state.SetMoney(5000);
    for (size_t flag = 180; flag < 2120; flag += 3)
        state.Flags[flag] = 1;
    for (size_t slot = 0; slot < 391; ++slot) {
        state.Words[602 + 2 * slot] = static_cast<uint16_t>(1222 + slot % 8);
        state.Words[603 + 2 * slot] = static_cast<uint16_t>(900 + slot % 60);
        char number[16];
        std::snprintf(number, sizeof(number), "%03zu", slot);
        state.Variables[slot] =
            ScriptValue::FromText(CStringUTF8(WideToAnsi(Utf8ToWide(std::string("場所") + number))));
    }
    return state;
}

CastNames DemoNames()
{
    const std::string file = tools::WriteCastNames(tools::DemoCastNames());
    return *CastNames::Parse({reinterpret_cast<const uint8_t*>(file.data()), file.size()});
}

void BM_BuildAllFifteenLists(benchmark::State& state)
{
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>(MakeMidPlayState());
    const CastNames names = DemoNames();
    size_t records = 0;
    for (auto _ : state) {
        HintContext context;
        context.Names = &names;
        for (uint32_t heroine = 0; heroine < HINT_HEROINE_COUNT; ++heroine) {
            const std::vector<FlagHintRecord> list = BuildHeroineHints(context, heroine);
            records += list.size();
            benchmark::DoNotOptimize(list.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(records));
    DeleteDocument();
}
BENCHMARK(BM_BuildAllFifteenLists)->Unit(benchmark::kMicrosecond);

void BM_CopyGameState(benchmark::State& state)
{
    const FlagBuffer source = MakeMidPlayState();
    for (auto _ : state) {
        FlagBuffer copy;
        copy.Assign(source);
        benchmark::DoNotOptimize(copy.Flags.data());
    }
}
BENCHMARK(BM_CopyGameState)->Unit(benchmark::kMicrosecond);

} // namespace
