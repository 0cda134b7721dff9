// The message window passing messages as the skip modes do: with Ctrl held (every message opens,
// shows its page whole and ends at once) and with read-skip at full speed (an already-read
// message opens whole and the modal loop's idle pass ends it). Each message is the window's own
// work: the open, the copy of the 1920 x 280 page, the page end with its text-area reset, and the
// close that marks it read. Compare with BM_StoryTextPage in the same run, the typesetting of a
// page: the window should cost no more than that.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/CInputView.h"
#include "app/CVeskDoc.h"
#include "app/CWinApp.h"
#include "app/ConfigSettings.h"
#include "foundation/CXMLDocument.h"
#include "graphics/CSpriteLayer.h"
#include "screens/base/CMesWnd.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/commands/CFuncOneMes.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int32_t MESSAGE_NUMBER = 5;

// An application with an empty configuration of its own, which the skip settings are written to.
class BenchApp final : public CWinApp
{
public:
    BenchApp()
    {
        const std::string path = (std::filesystem::temp_directory_path() / "vesk_message_bench.xml").string();
        auto config = std::make_unique<CXMLDocument>(CStringUTF8(path));
        config->Load();
        ReplaceConfigDocument(std::move(config));
    }
    int InitInstance() override { return 1; }
    int Run() override { return 0; }
    int ExitInstance() override { return 0; }
};

CMesWnd& PrepareWindow()
{
    static BenchApp* app = new BenchApp;
    (void)app;
    CVeskDoc* document = GetDocument();
    auto state = std::make_unique<FlagBuffer>();
    state->Variables.resize(100);
    state->Words.resize(200);
    document->m_current_state = std::move(state);
    document->SaveDataTable = std::make_unique<ScriptValueTable>();
    document->m_script_context = std::make_unique<ScriptContext>();
    BacklogStore& backlog = document->m_script_context->Backlog;
    backlog.Allocate(1);
    backlog.Entries[0]->Code = {0};
    backlog.Entries[0]->BodyText = "冬休みの最初の朝、駅前の広場へ向かった。待ち合わせは時計塔の下だ。";
    if (document->FindSpriteLayer(8) == nullptr) {
        auto* layer = new CSpriteLayer; // the document owns it
        layer->Create(0, 0, 1920, 1080, -1);
        layer->FillRect(0, 70, 1920, 180, 0xFFFFFFFF, 1);
        document->RegisterSpriteLayer(8, layer);
    }
    CFuncOneMes read;
    read.ResizeReadBuffer(64);
    read.ClearReadBuffer();
    static CMesWnd* window = [] {
        auto* made = new CMesWnd;
        auto text = std::make_unique<CSpriteLayer>();
        text->Create(0, 0, 1920, 280, -1);
        made->m_text_area_sprite = std::move(text);
        return made;
    }();
    return *window;
}

// One message as the modal loop runs it, without the frames in between.
void PassMessage(CMesWnd& window, bool read_skip)
{
    CurrentMessageNumber = MESSAGE_NUMBER;
    window.MessageMode = 0;
    window.OnOpen();
    if (read_skip) {
        window.HoverId = MESWND_ADVANCE;
        window.OnDecide();
    } else {
        window.OnCtrlKey();
    }
    window.OnClose();
}

void Report(benchmark::State& state, CMesWnd& window)
{
    benchmark::DoNotOptimize(window.Running);
    state.SetItemsProcessed(state.iterations());
    state.counters["messages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_MessageCtrlSkip(benchmark::State& state)
{
    CMesWnd& window = PrepareWindow();
    SetConfigOneMes(0);
    for (auto _ : state) {
        GetInputView()->SetExtraInput(0, 1);
        PassMessage(window, false);
    }
    GetInputView()->SetExtraInput(0, 0);
    Report(state, window);
}
BENCHMARK(BM_MessageCtrlSkip)->Unit(benchmark::kMicrosecond);

void BM_MessageReadSkip(benchmark::State& state)
{
    CMesWnd& window = PrepareWindow();
    GetApp()->GetConfigDocument()->SetInt("/Config/OneMesSpeed", 100);
    CFuncOneMes read;
    read.MarkRead(MESSAGE_NUMBER);
    for (auto _ : state) {
        // The close marks it read; read-skip is switched on for every message as the player has it.
        SetConfigOneMes(1);
        PassMessage(window, true);
    }
    SetConfigOneMes(0);
    Report(state, window);
}
BENCHMARK(BM_MessageReadSkip)->Unit(benchmark::kMicrosecond);

} // namespace
