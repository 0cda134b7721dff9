// The backlog over a full ring (the most records a backlog may hold), each message run through the script
// engine with recording on (so each record carries its code and a snapshot of a play-sized game state):
// opening (the text layer cleared, the records counted and the first page of three drawn into
// the image layers, as the screen opens), once over the page the last opening left there and once
// over layers another screen has drawn on, and one wheel step of the scroll from the newest
// record towards the oldest, its redraw included. Beside them, the baseline: the same three
// messages typeset directly into a layer, as the story text is.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "BenchRatio.h"
#include "app/CVeskDoc.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesAssembler.h"
#include "screens/PictureSprite.h"
#include "screens/base/CBacklogScreen.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/CFuncString.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"
#include "sheetgen/BacklogSheet.h"

namespace {

constexpr int32_t RECORDS = static_cast<int32_t>(MAX_BACKLOG_ENTRIES);
constexpr int32_t MESSAGE_SPRITE = 900;

const char* const MESSAGES[3] = {
    "夕暮れの商店街を抜けて、駅前の広場まで歩いてきた。冬の風が頬を刺すように冷たい。",
    "「遅かったね。もう来ないのかと思ってた」振り返ると、見慣れたマフラーの彼女がいた。",
    "吐く息が白い。街灯に照らされた雪がゆっくりと舞い落ちて、石畳に静かに積もっていく。",
};

struct Ring
{
    bool ok = false;
    std::string error;
    double bytes_per_record = 0;
};

// A play-sized game state, the message layout, the text sprites and a full ring.
Ring PrepareRing(CVeskDoc& document)
{
    static Ring ring = [&document] {
        Ring made;
        auto state = std::make_unique<FlagBuffer>();
        state->Flags.resize(10'000);
        state->Words.resize(2'000);
        state->Bytes.resize(32'768);
        state->Variables.resize(100);
        const std::pair<size_t, int32_t> layout[] = {
            {30, 48}, {31, 72},   {32, 0},   {33, 0xFFFFFF},          {34, 48}, {35, 72}, {46, 160},
            {47, 40}, {48, 1760}, {49, 260}, {53, BACKLOG_TEXT_LAYER}};
        for (const auto& [index, value] : layout)
            state->Values[index] = ScriptValue::FromInteger(value);
        GetScriptState().m_current_state = std::move(state);
        GetScriptState().SaveDataTable = std::make_unique<ScriptValueTable>();
        GetScriptState().m_script_context = std::make_unique<ScriptContext>();
        for (int32_t number : {MESSAGE_SPRITE, BACKLOG_TEXT_LAYER}) {
            auto sprite = std::make_unique<CSpriteLayer>();
            sprite->Create(0, 0, 1920, 1080, -1);
            GetSpriteLayerRegistry().RegisterSpriteLayer(number, sprite.release());
        }
        auto font = std::make_unique<CFontDIB>();
        font->Create(CStringUTF8("ＭＳ ゴシック"));
        font->SetFontSize(48, 48);
        GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_MAIN, std::move(font));

        // One message a record: the text line opens the record, the backlog command closes it.
        std::string source;
        for (const char* message : MESSAGES)
            source += std::string("text \"") + message + "\"\nlib 22, 3\n";
        const tools::AssembledScript assembled = tools::AssembleScript(source + "end\n");
        if (!assembled.Ok) {
            made.error = assembled.Error;
            return made;
        }
        auto script = std::make_shared<CScript>();
        script->LoadImage(assembled.File, CStringUTF8("bench.mes"));
        ScriptContext& context = *GetScriptState().m_script_context;
        FlagBuffer& game = *GetScriptState().m_current_state;
        context.Backlog.Allocate(RECORDS);
        for (int32_t filled = 0; filled < RECORDS; filled += 3) {
            game.SetEngineStateWord(ENGINE_STATE_RECORDING);
            script->SetPosition(0);
            try {
                for (;;)
                    context.Step(*script);
            } catch (CVeskDoc::tagDOCUMENT_CODE) {
            }
        }
        game.SetEngineStateWord(0);
        size_t bytes = 0;
        for (const auto& record : context.Backlog.Entries) {
            const FlagBuffer& snapshot = record->StateSnapshot;
            std::string table;
            record->JumpState.AppendTo(table);
            bytes += sizeof(LogBuffer) + record->Code.capacity() + snapshot.Flags.capacity() +
                     snapshot.Words.capacity() * sizeof(snapshot.Words[0]) + snapshot.Bytes.capacity() +
                     (snapshot.Values.capacity() + snapshot.Variables.capacity()) * sizeof(ScriptValue) +
                     record->BodyText.GetLength() + table.size();
        }
        made.bytes_per_record = static_cast<double>(bytes) / RECORDS;
        made.ok = CountBacklogEntries() == RECORDS;
        if (!made.ok)
            made.error = "the ring holds " + std::to_string(CountBacklogEntries()) + " records";
        return made;
    }();
    return ring;
}

// A backlog with the generated row frames, controls and cover (the pictures a game folder
// holds), drawing into its image layers as it does while it opens.
std::unique_ptr<CBacklogScreen> MakeScreen(benchmark::State& state, const Ring& ring)
{
    if (!ring.ok) {
        state.SkipWithError(ring.error.c_str());
        return nullptr;
    }
    auto screen = std::make_unique<CBacklogScreen>();
    if (screen->CreateParts() == 0) {
        state.SkipWithError("the backlog's parts cannot be made");
        return nullptr;
    }
    screen->PartsImage = SpriteOfPicture(tools::BacklogSheet());
    screen->CoverImage = SpriteOfPicture(tools::BacklogCover());
    screen->DrawToImage = 1;
    state.counters["bytes/record"] = ring.bytes_per_record;
    return screen;
}

void TypesetThreeMessages(CSpriteLayer* layer)
{
    for (int32_t row = 0; row < 3; ++row) {
        TextBox box;
        box.Text = MESSAGES[row];
        box.CursorX = 184;
        box.CursorY = 300 * row + 178;
        box.CellWidth = 24;
        box.LineHeight = 48;
        box.DrawWord1 = 0xFFFFFF;
        box.Left = 184;
        box.Top = box.CursorY;
        box.Right = 1184;
        box.Bottom = 1080;
        box.UseLineBreakRules = 1;
        box.DrawWord4 = layer;
        CFuncString().TypesetText(box); // the document's font, as the story text uses
    }
}

// The floor of an opening over layers another screen has drawn on: the passes over whole 1080p
// layers it cannot leave out, whatever it draws. The text layer (the message window's, on screen)
// is cleared completely; the mask image is made clear of alpha and the view image a copy of the
// page background, as the image layers may hold any picture then.
class WholeLayerPasses
{
public:
    WholeLayerPasses()
    {
        for (CSpriteLayer& layer : m_layers)
            layer.Create(0, 0, 1920, 1080, -1);
        // A background of pixels of its own: a copy from memory never written costs less.
        m_layers[3].FillRect(0, 0, 1920, 1080, 0x80102030, 1);
    }

    void operator()()
    {
        m_layers[0].FillRect(0, 0, 1920, 1080, 0, 1);
        m_layers[1].SetAlphaRect(0, 0, 1920, 1080, 0);
        m_layers[2].Blt(0, 0, 1920, 1080, &m_layers[3], 0, 0, 1);
    }

private:
    CSpriteLayer m_layers[4];
};

// The page layers, which the screens keep to themselves.
struct PageLayers : CBacklogScreen
{
    using ISystemParts::MaskImageLayer;
    using ISystemParts::ViewImageLayer;
};

// Opening after opening, as the backlog is opened again with nothing drawn on its layers in
// between: only what it drew there is cleared and redrawn. No floor: the least such an opening
// must do depends on how much the new page differs from the last.
void BM_BacklogOpen(benchmark::State& state)
{
    const Ring& ring = PrepareRing(*GetDocument());
    std::unique_ptr<CBacklogScreen> screen = MakeScreen(state, ring);
    if (!screen)
        return;
    CSpriteLayer* layer = GetSpriteLayerRegistry().FindSpriteLayer(MESSAGE_SPRITE);
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        screen->Top = 0;
        screen->ResetPage();
        screen->DrawFirstPage();
    }
    ratio.Report([layer] { TypesetThreeMessages(layer); });
}
BENCHMARK(BM_BacklogOpen)->Unit(benchmark::kMillisecond);

// Each opening after a pixel of the text layer and of both image layers was written by someone
// else: the screen cannot know what they hold, so it clears and draws them whole.
void BM_BacklogOpenOverOtherDrawing(benchmark::State& state)
{
    const Ring& ring = PrepareRing(*GetDocument());
    std::unique_ptr<CBacklogScreen> screen = MakeScreen(state, ring);
    if (!screen)
        return;
    CSpriteLayer* layer = GetSpriteLayerRegistry().FindSpriteLayer(MESSAGE_SPRITE);
    ILayer* others[] = {GetSpriteLayerRegistry().FindSpriteLayer(BACKLOG_TEXT_LAYER), PageLayers::ViewImageLayer(),
                        PageLayers::MaskImageLayer()};
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        for (ILayer* other : others)
            if (other != nullptr)
                other->FillRect(1919, 1079, 1, 1, 0xFF000000u | static_cast<uint32_t>(state.iterations()), 1);
        screen->Top = 0;
        screen->ResetPage();
        screen->DrawFirstPage();
    }
    ratio.Report([layer] { TypesetThreeMessages(layer); });
    // What the aim can reach at best: the whole-layer passes alone over the same baseline.
    bench::ReportFloor(state, WholeLayerPasses(), [layer] { TypesetThreeMessages(layer); });
}
BENCHMARK(BM_BacklogOpenOverOtherDrawing)->Unit(benchmark::kMillisecond);

void BM_BacklogWheelStep(benchmark::State& state)
{
    const Ring& ring = PrepareRing(*GetDocument());
    std::unique_ptr<CBacklogScreen> screen = MakeScreen(state, ring);
    if (!screen)
        return;
    screen->Top = 0;
    screen->ResetPage();
    screen->DrawFirstPage();
    for (auto _ : state) {
        if (screen->Top == screen->MaxTop)
            screen->Top = 0; // back to the newest: the whole ring is scrolled again
        screen->OnMouseWheel(1);
    }
}
BENCHMARK(BM_BacklogWheelStep)->Unit(benchmark::kMillisecond);

void BM_TypesetThreeMessages(benchmark::State& state)
{
    CVeskDoc* document = GetDocument();
    PrepareRing(*document);
    CSpriteLayer* layer = GetSpriteLayerRegistry().FindSpriteLayer(MESSAGE_SPRITE);
    for (auto _ : state)
        TypesetThreeMessages(layer);
}
BENCHMARK(BM_TypesetThreeMessages)->Unit(benchmark::kMillisecond);

} // namespace
