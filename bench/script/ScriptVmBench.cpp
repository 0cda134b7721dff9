// Interpreter speed on a tight loop of arithmetic, comparisons, a conditional jump and bank
// loads and stores, against the same loop compiled natively.
#include <benchmark/benchmark.h>

#include <vector>

#include "BenchRatio.h"
#include "app/CVeskDoc.h"
#include "mesasm/MesAssembler.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int LOOP_COUNT = 100'000;

// 19 instructions a turn (plus the jump back), all integers.
const char* const LOOP_SOURCE = R"(
        push 0
        stvar 0
    loop:
        ldvar 0
        push 1
        add
        stvar 0
        ldvar 0
        push 3
        mul
        push 7
        mod
        stflag 5
        ldvar 0
        push 100000
        lt
        jz done
        jmp loop
    done:
        end
)";

void BM_InterpretLoop(benchmark::State& state)
{
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>();
    GetScriptState().m_script_context = std::make_unique<ScriptContext>();
    GetScriptState().m_current_state->Variables.resize(4);
    GetScriptState().m_current_state->Flags.resize(8);
    const tools::AssembledScript assembled = tools::AssembleScript(LOOP_SOURCE);
    auto script = std::make_shared<CScript>();
    script->LoadImage(assembled.File, CStringUTF8("bench.mes"));
    ScriptContext& context = *GetScriptState().m_script_context;
    int64_t steps = 0;
    for (auto _ : state) {
        script->SetPosition(0);
        try {
            for (;;) {
                context.Step(*script);
                ++steps;
            }
        } catch (CVeskDoc::tagDOCUMENT_CODE) {
        }
    }
    benchmark::DoNotOptimize(GetScriptState().m_current_state->Variables[0].Integer);
    state.SetItemsProcessed(steps);
    bench::ReportPerSecond(state, static_cast<double>(steps));
}
BENCHMARK(BM_InterpretLoop)->Unit(benchmark::kMillisecond);

// The baseline: the same loop with its variables in the same arrays, compiled.
void BM_NativeLoop(benchmark::State& state)
{
    std::vector<ScriptValue> variables(4);
    std::vector<uint8_t> flags(8);
    int64_t steps = 0;
    for (auto _ : state) {
        variables[0].Integer = 0;
        ++steps;
        for (;;) {
            variables[0].Integer += 1;
            flags[5] = static_cast<uint8_t>((variables[0].Integer * 3) % 7);
            benchmark::DoNotOptimize(flags.data());
            steps += 17;
            if (!(variables[0].Integer < LOOP_COUNT))
                break;
        }
    }
    state.SetItemsProcessed(steps);
}
BENCHMARK(BM_NativeLoop)->Unit(benchmark::kMillisecond);

} // namespace
