// The load screen over full slot groups (300 slots, each with its thumbnail, made by the save
// operations): opening it up to its first drawn page, and one wheel step of the manual group
// from its top row to its last. Beside them, the baseline: the seven thumbnail files a page
// shows, read with plain file reads.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "screens/system/SaveLoadScreenFixture.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveStore.h"

namespace {

// The screen tests' stage (headless display, started document, generated sheets) as a bench.
class Stage final : public SaveLoadScreenFixture
{
public:
    void TestBody() override {}

    bool Fill()
    {
        for (uint32_t first : {SLOT_FIRST, SLOT_AUTO_FIRST, SLOT_AUTO_FIRST + 100})
            for (uint32_t i = 0; i < 100; ++i)
                if (!m_save.SaveToSlot(first + i, ""))
                    return false;
        return true;
    }
    CLoadDialog& Load() { return m_load; }
    std::filesystem::path Folder() const { return m_dir.Path(); }
};

struct Prepared
{
    Stage* stage = nullptr;
    std::string error;
};

Prepared& Prepare()
{
    static Prepared prepared = [] {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("VESK_HEADLESS", "1", 0);
        Prepared made;
        // Lives to the end of the run; only its save folder is removed then.
        made.stage = new Stage;
        static const std::filesystem::path folder = made.stage->Folder();
        std::atexit([] { std::filesystem::remove_all(folder); });
        if (!made.stage->Fill())
            made.error = "a save failed";
        for (uint32_t slot = 1; slot <= 300 && made.error.empty(); ++slot)
            if (!std::ifstream(SaveStore::ThumbnailFileName(slot).GetText()))
                made.error = "slot " + std::to_string(slot) + " has no thumbnail";
        return made;
    }();
    return prepared;
}

void BM_OpenLoadScreen(benchmark::State& state)
{
    Prepared& prepared = Prepare();
    if (!prepared.error.empty()) {
        state.SkipWithError(prepared.error.c_str());
        return;
    }
    CLoadDialog& screen = prepared.stage->Load();
    for (auto _ : state) {
        screen.OnOpen();
        state.PauseTiming();
        const bool full = screen.GetCount(0) == 100 && screen.IsRowUsed(6);
        screen.OnClose();
        state.ResumeTiming();
        if (!full) {
            state.SkipWithError("the manual group is not shown full");
            break;
        }
    }
}
BENCHMARK(BM_OpenLoadScreen)->Unit(benchmark::kMillisecond);

void BM_WheelStepManualGroup(benchmark::State& state)
{
    Prepared& prepared = Prepare();
    if (!prepared.error.empty()) {
        state.SkipWithError(prepared.error.c_str());
        return;
    }
    CLoadDialog& screen = prepared.stage->Load();
    screen.OnOpen();
    const int32_t last = screen.MaximumFirstRow();
    if (screen.HasScrollBar() == 0 || last <= 0) {
        state.SkipWithError("the manual group does not scroll");
        return;
    }
    // One iteration is the whole sweep, top row to last; the counter gives the time of a step.
    for (auto _ : state) {
        state.PauseTiming();
        screen.SetFirstRow(0);
        state.ResumeTiming();
        int32_t row = 1;
        for (; row <= last; ++row) {
            screen.OnMouseWheel(-1);
            if (screen.GetFirstRow() != row)
                break;
        }
        if (row <= last) {
            state.SkipWithError("a wheel step did not move one row");
            break;
        }
    }
    screen.OnClose();
    state.counters["steps"] = static_cast<double>(last);
    state.counters["s_per_step"] =
        benchmark::Counter(static_cast<double>(last), benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}
BENCHMARK(BM_WheelStepManualGroup)->Unit(benchmark::kMillisecond);

// The thumbnail files of the seven rows a page shows, read whole.
void BM_ReadSevenThumbnails(benchmark::State& state)
{
    Prepared& prepared = Prepare();
    if (!prepared.error.empty()) {
        state.SkipWithError(prepared.error.c_str());
        return;
    }
    int64_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (uint32_t slot = 1; slot <= 7; ++slot) {
            std::ifstream file(SaveStore::ThumbnailFileName(slot).GetText(), std::ios::binary);
            const std::vector<char> data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
            benchmark::DoNotOptimize(data.data());
            bytes += static_cast<int64_t>(data.size());
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ReadSevenThumbnails)->Unit(benchmark::kMillisecond);

} // namespace
