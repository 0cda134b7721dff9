// One page of story text as skip mode passes it: three lines of 60 full-width characters
// decoded from the script code, recorded into a backlog record with its game-state snapshot and
// typeset, outlined, into a 1920 x 280 layer. Beside it, the baseline: the same 180 characters
// rasterised at the same size by FreeType alone.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <memory>
#include <string>

#include "app/CVeskDoc.h"
#include "graphics/CFontDIB.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "mesasm/MesAssembler.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/vm/ScriptContext.h"

namespace {

constexpr int32_t CELL = 32; // a full-width character: 60 of them fill 1920 pixels
constexpr int32_t TEXT_SPRITE = 900;

const char* const PAGE_LINES[3] = {
    "　夕暮れの商店街を抜けて、駅前の広場まで歩いてきた。"
    "冬の風が頬を刺すように冷たくて、思わず首をすくめる。",
    "「遅かったね。もう来ないのかと思ってた」振り返ると、"
    "見慣れたマフラーに顔を半分うずめた彼女が立っていた。",
    "　吐く息が白い。街灯に照らされた雪がゆっくりと舞い落ちて、"
    "石畳の上に静かに積もっていく。今日は特別な日だ。",
};

// Each line cut or padded to exactly 60 characters.
std::string PageSource()
{
    std::string source;
    for (const char* line : PAGE_LINES) {
        CStringUTF8 text(line);
        std::string sixty;
        for (int i = 0; i < 60; ++i)
            sixty += text.GetCharAt(i % text.GetCharCount());
        source += "text \"" + sixty + "\"\nnewline\n";
    }
    return source + "end\n";
}

void PrepareDocument()
{
    auto state = std::make_unique<FlagBuffer>();
    // A game state of the size a play carries, so that the record's snapshot costs what it does.
    state->Flags.resize(10'000);
    state->Words.resize(2'000);
    state->Bytes.resize(32'768);
    state->Variables.resize(100);
    const std::pair<size_t, int32_t> layout[] = {{29, static_cast<int32_t>(FONT_OUTLINE)},
                                                 {30, CELL},
                                                 {31, 40},
                                                 {32, 0x202020},
                                                 {33, 0xFFFFFF},
                                                 {34, CELL},
                                                 {35, 40},
                                                 {46, 0},
                                                 {47, 20},
                                                 {48, 1920},
                                                 {49, 280},
                                                 {53, TEXT_SPRITE},
                                                 {55, 0x80}};
    for (const auto& [index, value] : layout)
        state->Values[index] = ScriptValue::FromInteger(value);
    GetScriptState().m_current_state = std::move(state);
    GetScriptState().SaveDataTable = std::make_unique<ScriptValueTable>();
    GetScriptState().m_script_context = std::make_unique<ScriptContext>();
    GetScriptState().m_script_context->Backlog.Allocate(50);
    auto sprite = std::make_unique<CSpriteLayer>();
    sprite->Create(0, 0, 1920, 280, -1);
    GetSpriteLayerRegistry().Sprites()[TEXT_SPRITE] = std::move(sprite);
    auto font = std::make_unique<CFontDIB>();
    font->Create(CStringUTF8("ＭＳ ゴシック"));
    font->SetFontSize(CELL, CELL);
    GetSpriteLayerRegistry().ReplaceFont(DOCUMENT_FONT_MAIN, std::move(font));
}

void BM_StoryTextPage(benchmark::State& state)
{
    PrepareDocument();
    const tools::AssembledScript assembled = tools::AssembleScript(PageSource());
    if (!assembled.Ok) {
        state.SkipWithError(assembled.Error.c_str());
        return;
    }
    auto script = std::make_shared<CScript>();
    script->LoadImage(assembled.File, CStringUTF8("bench.mes"));
    ScriptContext& context = *GetScriptState().m_script_context;
    FlagBuffer& game = *GetScriptState().m_current_state;
    for (auto _ : state) {
        // The message window closes the record and puts the pen back at the box's corner.
        game.ClearEngineStateBits(ENGINE_STATE_ENTRY_OPEN);
        SetIntegerValue(game.Values[50], 0);
        SetIntegerValue(game.Values[51], 20);
        script->SetPosition(0);
        try {
            for (;;)
                context.Step(*script);
        } catch (CVeskDoc::tagDOCUMENT_CODE) {
        }
    }
    benchmark::DoNotOptimize(context.Backlog.GetCurrentEntry()->Code.size());
    state.SetItemsProcessed(state.iterations());
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    GetSpriteLayerRegistry().Sprites().erase(TEXT_SPRITE);
}
BENCHMARK(BM_StoryTextPage)->Unit(benchmark::kMicrosecond);

// The face the game's font resolves to, found in Debian's Noto CJK collection.
FT_Face OpenMonoFace(FT_Library library)
{
    const char* path = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
    FT_Face probe = nullptr;
    if (FT_New_Face(library, path, -1, &probe) != 0)
        return nullptr;
    const FT_Long count = probe->num_faces;
    FT_Done_Face(probe);
    for (FT_Long i = 0; i < count; ++i) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, path, i, &face) != 0)
            continue;
        if (face->family_name && std::strcmp(face->family_name, "Noto Sans Mono CJK JP") == 0)
            return face;
        FT_Done_Face(face);
    }
    return nullptr;
}

void BM_FreeTypeAlonePage(benchmark::State& state)
{
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    FT_Face face = OpenMonoFace(library);
    if (!face) {
        state.SkipWithError("Noto Sans Mono CJK JP is not installed");
        FT_Done_FreeType(library);
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, CELL);
    std::u32string characters;
    for (const char* line : PAGE_LINES) {
        const CStringUTF8 text(line);
        for (int i = 0; i < 60; ++i) {
            const std::u16string wide = CStringUTF8(text.GetCharAt(i % text.GetCharCount()).c_str()).ToWide();
            characters.push_back(wide.empty() ? U' ' : static_cast<char32_t>(wide[0]));
        }
    }
    for (auto _ : state) {
        for (char32_t character : characters) {
            FT_Load_Char(face, character, FT_LOAD_RENDER);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_FreeTypeAlonePage)->Unit(benchmark::kMicrosecond);

} // namespace
