// Presence questions: one pass over all 51 places of the three maps, as one repaint of the town
// map's icons plus a sub map asks, cycling over a few game states. Baseline in the same run: a
// plain copy of one 1920 x 1080 frame of 32-bit pixels.

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "app/CVeskDoc.h"
#include "game/presence/CPresence.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"

namespace {

constexpr uint32_t PLACES_PER_PASS = TOWN_PLACE_COUNT + SUBMAP_PLACE_COUNT + SCHOOL_PLACE_COUNT;
constexpr size_t FRAME_BYTES = size_t{1920} * 1080 * 4;

std::unique_ptr<FlagBuffer> MakeState(uint32_t seed, int32_t date, int32_t time, int32_t sp_mode)
{
    auto state = std::make_unique<FlagBuffer>();
    std::mt19937 random(seed);
    state->Flags.resize(8192);
    for (uint8_t& flag : state->Flags) {
        const uint32_t roll = random() % 100;
        flag = roll < 55 ? 0 : roll < 95 ? static_cast<uint8_t>(random() % 4) : 15;
    }
    state->Words.resize(448);
    state->Values.resize(56);
    state->Variables.resize(81);
    state->SetGameDate(date);
    state->SetGameTime(time);
    state->SetWeekday(static_cast<int32_t>(seed % 7));
    state->SetSpMode(sp_mode);
    return state;
}

void BM_AskEveryPlace(benchmark::State& state)
{
    std::array<std::unique_ptr<FlagBuffer>, 4> states = {
        MakeState(8, 1227, 1340, 0), MakeState(9, 1224, 2250, 0), MakeState(10, 1302, 905, 0),
        MakeState(11, 1305, 1530, 1)};
    auto saved = std::move(GetScriptState().m_current_state);
    CPresence presence;
    size_t turn = 0;
    for (auto _ : state) {
        // The document's state changes between repaints; swapping the owner costs no copy.
        std::unique_ptr<FlagBuffer>& next = states[turn++ % states.size()];
        std::swap(GetScriptState().m_current_state, next);
        int32_t sum = 0;
        for (uint32_t place = 0; place < TOWN_PLACE_COUNT; ++place)
            sum += presence.WhoIsAtTownPlace(place);
        for (uint32_t place = 0; place < SUBMAP_PLACE_COUNT; ++place)
            sum += presence.WhoIsAtSubmapPlace(place);
        for (uint32_t place = 0; place < SCHOOL_PLACE_COUNT; ++place)
            sum += presence.WhoIsAtSchoolPlace(4, place);
        benchmark::DoNotOptimize(sum);
        std::swap(GetScriptState().m_current_state, next);
    }
    GetScriptState().m_current_state = std::move(saved);
    state.SetItemsProcessed(state.iterations() * PLACES_PER_PASS);
}
BENCHMARK(BM_AskEveryPlace);

void BM_CopyOneFrame(benchmark::State& state)
{
    bench::FrameCopy copy;
    for (auto _ : state)
        copy();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FRAME_BYTES));
}
BENCHMARK(BM_CopyOneFrame);

} // namespace
