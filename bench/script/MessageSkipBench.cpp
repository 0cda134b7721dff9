// The message window passing the demo story's messages as the skip modes do, each through the
// window's modal run (RunMessage: the open, the pumped frames, the page end and the close): with
// Ctrl held, and with read-skip at "/Config/OneMesSpeed" 100 over messages already read. The
// messages were typeset and recorded into the backlog beforehand, as the script does before it
// runs the window, so this is the window's own cost: compare with BM_StoryTextPage in the same
// run, the typesetting of a page. The window should cost no more than that. With Ctrl held a
// message opens typing and is completed by the Ctrl pass, drawing the first character, then the
// page, on the stage's live headless display (a redraw that would show an unchanged screen is
// neither composed nor presented); read-skip draws none.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchRatio.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"
#include "graphics/CDirect3D.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesAssembler.h"
#include "platform/d3d/DxgiObjects.h"
#include "screens/ScreenFixture.h"
#include "screens/base/CMesWnd.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/CFuncOneMes.h"
#include "script/vm/ScriptContext.h"

namespace {

// The demo story's messages (demo/script/scene_messages.mes); an empty speaker is narration.
struct StoryMessage
{
    const char* speaker;
    const char* text;
};
constexpr StoryMessage STORY[] = {
    {"", "冬休みの最初の朝、駅前の広場へ向かった。"},
    {"", "待ち合わせは時計塔の下だ。"},
    {"ユキ", "おはよう。待った？"},
    {"", "ううん、今来たところ。今日の最高気温は、マイナス３度だって。"},
};
constexpr int32_t STORY_LENGTH = static_cast<int32_t>(std::size(STORY));
constexpr int32_t FIRST_MESSAGE_NUMBER = 10;
constexpr int32_t CELL = 48;
constexpr int32_t LINE = 72;
constexpr int32_t TEXT_LAYER = 8;
constexpr uint32_t KEY_CTRL = 29;
// A message the window does not end within this many frames counts as stuck.
constexpr int STUCK_PUMPS = 100;

// The screen tests' stage (headless display, started document, the window's generated sheets).
class Stage final : public ScreenFixture
{
public:
    Stage()
        : ScreenFixture(MessageWindowDataEntries(), MessageWindowPictureEntries())
    {}
    void TestBody() override {}
    CMesWnd& Window() { return *GetGameWork()->GetMessageWindow(); }
    void SetConfig(const char* key, int32_t value) { m_app.Config().SetInt(key, value); }
    void HoldCtrl(bool held)
    {
        m_keyboard.down.clear();
        if (held)
            m_keyboard.down.insert(KEY_CTRL);
    }
    void CountPumps(int32_t& stuck)
    {
        OnPump([this, &stuck](int pump) {
            if (pump > STUCK_PUMPS) {
                ++stuck;
                Window().Running = 0;
            }
        });
    }
    int32_t PumpsSoFar() const { return Pumps(); }
    void StopCounting() { OnPump(nullptr); }
};

Stage& GetStage()
{
    static Stage* stage = [] {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("VESK_HEADLESS", "1", 0);
        return new Stage; // lives to the end of the run
    }();
    return *stage;
}

// A game state of a play's size (its snapshot goes into every record), the story typeset and
// recorded message by message, the window shown. Answers an error, empty when ready.
std::string PrepareStory(Stage& stage)
{
    auto state = std::make_unique<FlagBuffer>();
    state->Flags.resize(10'000);
    state->Words.resize(2'000);
    state->Bytes.resize(32'768);
    state->Variables.resize(100);
    state->Values.resize(FLAG_BUFFER_VALUE_COUNT);
    const std::pair<size_t, int32_t> layout[] = {{29, static_cast<int32_t>(FONT_OUTLINE)},
                                                 {30, CELL},
                                                 {31, LINE},
                                                 {32, 0x202020},
                                                 {33, 0xFFFFFF},
                                                 {34, CELL},
                                                 {35, LINE}};
    for (const auto& [index, value] : layout)
        state->Values[index] = ScriptValue::FromInteger(value);
    GetScriptState().m_current_state = std::move(state);
    GetScriptState().SaveDataTable = std::make_unique<ScriptValueTable>();
    GetScriptState().m_script_context = std::make_unique<ScriptContext>();
    if (GetSpriteLayerRegistry().FindSpriteLayer(TEXT_LAYER) == nullptr) {
        auto* layer = new CSpriteLayer; // the document owns it
        layer->Create(0, 0, 1920, 1080, -1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(TEXT_LAYER, layer);
    }
    auto font = std::make_unique<CFontDIB>();
    font->Create(CStringUTF8("ＭＳ ゴシック"));
    font->SetFontSize(CELL, CELL);
    GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_MAIN, std::move(font));
    CFuncOneMes read;
    read.ResizeReadBuffer(64);
    read.ClearReadBuffer();

    ScriptContext& context = *GetScriptState().m_script_context;
    FlagBuffer& game = *GetScriptState().m_current_state;
    context.Backlog.Allocate(STORY_LENGTH);
    CMesWnd& window = stage.Window();
    for (const StoryMessage& message : STORY) {
        window.ResetTextArea();
        game.SetEngineStateBits(ENGINE_STATE_RECORDING);
        const tools::AssembledScript assembled =
            tools::AssembleScript(std::string("text \"") + message.text + "\"\nlib 22, 3\nend\n");
        if (!assembled.Ok)
            return assembled.Error;
        CScript script;
        script.LoadImage(assembled.File, CStringUTF8("story.mes"));
        try {
            for (;;)
                context.Step(script);
        } catch (CVeskDoc::tagDOCUMENT_CODE) {
        }
        if (LogBuffer* entry = context.Backlog.GetCurrentEntry())
            entry->HeadText = message.speaker;
    }
    if (CountBacklogEntries() != STORY_LENGTH)
        return "the story recorded " + std::to_string(CountBacklogEntries()) + " messages";
    window.ResetTextArea();
    CSpriteAnime at_once;
    window.ShowWindow(at_once, 1);
    return {};
}

// Every frame the game draws goes through RedrawFrameNow, which this benchmark is linked to reach
// through the wrapper below (bench/CMakeLists.txt): the time spent in it, summed over all threads.
std::atomic<int64_t> g_drawing_ns{0};

} // namespace

extern "C" void __real__Z14RedrawFrameNowv();
extern "C" void __wrap__Z14RedrawFrameNowv()
{
    const auto start = std::chrono::steady_clock::now();
    __real__Z14RedrawFrameNowv();
    g_drawing_ns +=
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start)
            .count();
}

namespace {

// Frames presented so far on the stage's display.
uint64_t PresentCount()
{
    auto* chain = static_cast<platform::SwapChain*>(CDirect3D::GetInstance()->GetSwapChain());
    return chain != nullptr ? chain->PresentCount() : 0;
}

// The next message of the story becomes the newest record, as the script's text would make it.
void NextMessage(int32_t& at)
{
    auto& entries = GetScriptState().m_script_context->Backlog.Entries;
    std::rotate(entries.begin(), entries.begin() + 1, entries.end());
    at = (at + 1) % STORY_LENGTH;
}

void PassStory(benchmark::State& state, bool ctrl)
{
    Stage& stage = GetStage();
    if (const std::string error = PrepareStory(stage); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    CMesWnd& window = stage.Window();
    stage.SetConfig("/Config/MesWnd/Speed", 50);
    stage.SetConfig("/Config/AutoRead", 0);
    stage.SetConfig("/Config/OneMes", ctrl ? 0 : 1);
    stage.SetConfig("/Config/OneMesSpeed", 100);
    CFuncOneMes read;
    for (int32_t n = 0; n < STORY_LENGTH && !ctrl; ++n)
        read.MarkRead(FIRST_MESSAGE_NUMBER + n);
    stage.HoldCtrl(ctrl);
    int32_t stuck = 0;
    int64_t pumps = 0;
    int32_t at = STORY_LENGTH - 1;
    const uint64_t presents = PresentCount();
    const int64_t drawing_before = g_drawing_ns.load();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        NextMessage(at);
        stage.CountPumps(stuck);
        ScriptValue out;
        window.RunMessage(out, 0, FIRST_MESSAGE_NUMBER + at);
        pumps += stage.PumpsSoFar();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double drawn = static_cast<double>(PresentCount() - presents);
    const int64_t drawing_ns = g_drawing_ns.load() - drawing_before;
    stage.StopCounting();
    stage.HoldCtrl(false);
    stage.SetConfig("/Config/OneMes", 0);
    if (stuck != 0) {
        state.SkipWithError((std::to_string(stuck) + " messages did not end by themselves").c_str());
        return;
    }
    state.SetItemsProcessed(state.iterations());
    bench::ReportPerSecond(state, static_cast<double>(state.iterations()));
    const double iterations = static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["frames/message"] = static_cast<double>(pumps) / iterations;
    // The share of the loop's time spent drawing and presenting its frames, as timed around them.
    state.counters["draws/message"] = drawn / iterations;
    state.counters["draw_share"] = static_cast<double>(drawing_ns) * 1e-9 / seconds;
}

void BM_MessageCtrlSkip(benchmark::State& state)
{
    PassStory(state, true);
}
BENCHMARK(BM_MessageCtrlSkip)->Unit(benchmark::kMicrosecond);

void BM_MessageReadSkip(benchmark::State& state)
{
    PassStory(state, false);
}
BENCHMARK(BM_MessageReadSkip)->Unit(benchmark::kMicrosecond);

} // namespace
