// Presence questions: one pass over every place of the three maps, as the town map and the sub
// maps ask while they draw their icons. Baseline: one pass over the 2,000 flag bytes the rules
// can read.

#include <cstdint>
#include <memory>
#include <numeric>
#include <random>

#include <benchmark/benchmark.h>

#include "app/CVeskDoc.h"
#include "game/presence/CPresence.h"
#include "script/FlagBuffer.h"

namespace {

constexpr uint32_t PLACES_PER_PASS = TOWN_PLACE_COUNT + SUBMAP_PLACE_COUNT + SCHOOL_PLACE_COUNT;

void InstallState()
{
    auto state = std::make_unique<FlagBuffer>();
    std::mt19937 random(8);
    state->Flags.resize(8192);
    for (uint8_t& flag : state->Flags)
        flag = static_cast<uint8_t>(random() % 4);
    state->Words.resize(448);
    state->Variables.resize(81);
    state->SetGameDate(1227);
    state->SetGameTime(1340);
    state->SetWeekday(2);
    GetDocument()->m_current_state = std::move(state);
}

void BM_AskEveryPlace(benchmark::State& state)
{
    InstallState();
    CPresence presence;
    for (auto _ : state) {
        int32_t sum = 0;
        for (uint32_t place = 0; place < TOWN_PLACE_COUNT; ++place)
            sum += presence.WhoIsAtTownPlace(place);
        for (uint32_t place = 0; place < SUBMAP_PLACE_COUNT; ++place)
            sum += presence.WhoIsAtSubmapPlace(place);
        for (uint32_t place = 0; place < SCHOOL_PLACE_COUNT; ++place)
            sum += presence.WhoIsAtSchoolPlace(4, place);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * PLACES_PER_PASS);
}
BENCHMARK(BM_AskEveryPlace);

void BM_SumReadableFlags(benchmark::State& state)
{
    InstallState();
    const FlagBuffer* flags = GetDocument()->GetGameState();
    for (auto _ : state) {
        const int32_t sum = std::accumulate(flags->Flags.begin() + 50, flags->Flags.begin() + 2050, 0);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * PLACES_PER_PASS);
}
BENCHMARK(BM_SumReadableFlags);

} // namespace
