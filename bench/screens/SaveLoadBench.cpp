// A quick save and a quick load on a game state of a play's size (32 KB of bytes, 9,000 flags,
// 300 variables), with the quick group full so every save pushes 99 slots of files, and the
// thumbnail averaged from a 1920 x 1080 snapshot. Beside them, the baseline: the same bytes as
// one file, written and flushed once.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchRatio.h"
#include "app/CVeskDoc.h"
#include "app/CWinApp.h"
#include "foundation/CFile.h"
#include "foundation/WriteFileAtomically.h"
#include "graphics/CDIBDC.h"
#include "platform/kernel/FileApi.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveStore.h"
#include "script/save/SaveThumbnail.h"

namespace {

class BenchApp final : public CWinApp
{
public:
    int InitInstance() override { return 1; }
    int Run() override { return 0; }
    int ExitInstance() override { return 0; }
    CStringUTF8 GetAppString() override { return CStringUTF8(Folder().string() + "/"); }

    static std::filesystem::path Folder()
    {
        static const std::filesystem::path folder = [] {
            std::filesystem::path path = std::filesystem::temp_directory_path() / "vesk_save_bench";
            std::filesystem::remove_all(path);
            std::filesystem::create_directories(path);
            return path;
        }();
        return folder;
    }
};

class BenchSave final : public CSaveDialog
{
public:
    BenchSave()
        : CSaveDialog(2)
    {
        m_snapshot.Create(1920, 1080);
        for (int y = 0; y < 1080; ++y)
            for (int x = 0; x < 1920; ++x)
                *reinterpret_cast<uint32_t*>(m_snapshot.GetPixelPtr(x, y)) = 0xFF000000u | (x * 131 + y * 7);
    }
    ILayer* GetSnapshotLayer() override { return &m_snapshot; }

private:
    CDIBDC m_snapshot;
};

void Prepare()
{
    static BenchApp* app = new BenchApp;
    (void)app;
    auto state = std::make_unique<FlagBuffer>();
    state->Flags.resize(9'000, 1);
    state->Words.resize(500);
    state->Bytes.resize(32'768);
    state->Variables.resize(300);
    for (size_t i = 0; i < state->Variables.size(); i += 3)
        state->Variables[i] = ScriptValue::FromInteger(static_cast<int32_t>(i));
    GetScriptState().m_current_state = std::move(state);
    GetScriptState().SaveDataTable = std::make_unique<ScriptValueTable>();
    GetScriptState().SaveDataSnapshot = std::make_unique<ScriptValueTable>();
}

BenchSave& Screen()
{
    static BenchSave* screen = [] {
        Prepare();
        auto* made = new BenchSave;
        // Fill the quick group, so that each save drops its last slot.
        for (int i = 0; i < 100; ++i)
            (void)made->QuickSave();
        return made;
    }();
    return *screen;
}

// The bytes one quick save writes (flag file, save data, thumbnail, system file), as one file
// written and flushed once.
class OneFileOneFlush
{
public:
    OneFileOneFlush()
    {
        uint64_t bytes = 0;
        for (const CStringUTF8& name : {SaveStore::FlagFileName(201), SaveStore::SaveDataFileName(201),
                                        SaveStore::ThumbnailFileName(201), SaveStore::FlagFileName(0)})
            bytes += std::filesystem::file_size(name.GetText());
        m_data.assign(bytes, 'x');
    }

    void operator()() const
    {
        CFile file;
        file.OpenWrite(m_name, CREATE_ALWAYS);
        (void)file.Write(m_data.data(), static_cast<DWORD>(m_data.size()));
        FlushFileBuffers(file.GetHandle());
        file.Close();
    }

    size_t Bytes() const { return m_data.size(); }

private:
    std::string m_data;
    CStringUTF8 m_name{(BenchApp::Folder() / "baseline").string()};
};

// The least a quick save must do whatever its speed elsewhere, so that a stop at any point is
// recovered: the slot-move journal on the disk (flushed, renamed, the folder flushed) before the
// first of a full group's 300 renames (the dropped slot's three files set aside, the other 99
// slots' moved up); the three slot files flushed and renamed, then one flush of the folder for
// them and the renames; the system file flushed, renamed, the folder flushed; then the set-aside
// files and the journal deleted. Five flushes of files and three of the folder, where the baseline
// has one flush of a file; and the thumbnail's one read of the 1920 x 1080 snapshot.
class LeastDurableSave
{
public:
    LeastDurableSave()
        : m_snapshot(size_t{1920} * 1080 / 2)
    {
        m_journal.assign(300 * 2 * 24, 'j');
        for (const CStringUTF8& name : {SaveStore::FlagFileName(201), SaveStore::SaveDataFileName(201),
                                        SaveStore::ThumbnailFileName(201)})
            m_slot_files.emplace_back(std::filesystem::file_size(name.GetText()), 'x');
        m_system.assign(std::filesystem::file_size(SaveStore::FlagFileName(0).GetText()), 's');
        for (int i = 0; i < MOVES; ++i)
            std::ofstream(Renamed(i, m_flip)).put('x');
        for (size_t i = 0; i < m_slot_files.size(); ++i)
            std::ofstream(Slot(i).GetText()).put('x');
    }

    void operator()()
    {
        uint64_t sum = 0;
        for (uint64_t pixels : m_snapshot)
            sum += pixels;
        benchmark::DoNotOptimize(sum);
        (void)WriteFileAtomically(Name("floor_journal"), m_journal);
        for (size_t i = 0; i < m_slot_files.size(); ++i)
            std::filesystem::rename(Slot(i).GetText(), Dropped(i));
        for (int i = 0; i < MOVES; ++i)
            std::filesystem::rename(Renamed(i, m_flip), Renamed(i, !m_flip));
        m_flip = !m_flip;
        {
            DeferredFolderFlush together;
            for (size_t i = 0; i < m_slot_files.size(); ++i)
                (void)WriteFileAtomically(Slot(i), m_slot_files[i]);
            (void)together.Flush();
        }
        (void)WriteFileAtomically(Name("floor_system"), m_system);
        for (size_t i = 0; i < m_slot_files.size(); ++i)
            std::filesystem::remove(Dropped(i));
        std::filesystem::remove(Name("floor_journal").GetText());
    }

private:
    static constexpr int MOVES = 297;

    static CStringUTF8 Name(const std::string& name)
    {
        return CStringUTF8((BenchApp::Folder() / name).string());
    }
    static CStringUTF8 Slot(size_t i) { return Name("floor_slot" + std::to_string(i)); }
    static std::filesystem::path Dropped(size_t i)
    {
        return BenchApp::Folder() / ("floor_slot" + std::to_string(i) + ".drop");
    }
    static std::filesystem::path Renamed(int i, bool flip)
    {
        return BenchApp::Folder() / ((flip ? "floor_b" : "floor_a") + std::to_string(i));
    }

    std::vector<uint64_t> m_snapshot; // two pixels a word
    std::vector<uint8_t> m_journal;
    std::vector<std::vector<uint8_t>> m_slot_files;
    std::vector<uint8_t> m_system;
    bool m_flip = false;
};

void BM_QuickSave(benchmark::State& state)
{
    BenchSave& screen = Screen();
    const OneFileOneFlush baseline;
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        if (!screen.QuickSave()) {
            state.SkipWithError("the save failed");
            return;
        }
    }
    ratio.Report(baseline);
    LeastDurableSave floor;
    bench::ReportFloor(state, floor, baseline, 20);
    bench::ReportRatioToFloor(state, [&] { (void)screen.QuickSave(); }, floor, 20);
}
BENCHMARK(BM_QuickSave)->Unit(benchmark::kMillisecond);

void BM_QuickLoad(benchmark::State& state)
{
    BenchSave& screen = Screen();
    for (auto _ : state) {
        try {
            screen.QuickLoad();
            state.SkipWithError("the load was refused");
            return;
        } catch (CVeskDoc::tagDOCUMENT_CODE) {
        }
    }
}
BENCHMARK(BM_QuickLoad)->Unit(benchmark::kMillisecond);

void BM_OneFileOneFlush(benchmark::State& state)
{
    Screen();
    const OneFileOneFlush baseline;
    for (auto _ : state)
        baseline();
    state.counters["bytes"] = static_cast<double>(baseline.Bytes());
}
BENCHMARK(BM_OneFileOneFlush)->Unit(benchmark::kMillisecond);

} // namespace
