// One town-map step at 1920 x 1080 in picture mode: eight movers walk a step each (the leader's
// camera follows it through its scroll zone, a quarter of the steps), the visible cells are built,
// the movers composed and the view drawn with the overlay keyed on 0xFF00 and the presence overlay
// blended, into the target. Baseline in the same run: a plain copy of one frame of 32-bit pixels.
// A 2400 x 1400 map picture stands in for the game's 8400 x 5040: only the visible window is read.

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "app/CVeskDoc.h"
#include "foundation/CString.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "screens/base/ISelect.h"
#include "screens/map/CCps.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "townmap/TownMapWriter.h"

namespace {

constexpr size_t FRAME_BYTES = size_t{1920} * 1080 * 4;

class BenchMap final : public CCps
{
public:
    void ReadFile(const CStringUTF8& name, std::vector<uint8_t>& out) override
    {
        const auto found = files.find(name.GetText());
        if (found == files.end())
            throw CString("missing");
        out = found->second;
    }
    std::map<std::string, std::vector<uint8_t>> files;
};

std::unique_ptr<CSpriteLayer> Filled(int32_t width, int32_t height, uint32_t (*pixel)(int x, int y))
{
    std::unique_ptr<CSpriteLayer> layer = CreateSpriteOfType(0, 0, width, height, -1, LAYER_KIND_MEMORY);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t value = pixel(x, y);
            std::memcpy(layer->GetLayer()->GetPixelPtr(x, y), &value, 4);
        }
    return layer;
}

void BM_DrawTownMapFrame(benchmark::State& state)
{
    auto saved = std::move(GetScriptState().m_current_state);
    GetScriptState().m_current_state = std::make_unique<FlagBuffer>();
    FlagBuffer& game = *GetScriptState().m_current_state;
    game.Flags.resize(8192);
    game.Flags[8004] = 1;
    SetConfigGameMode(1);

    CCps::SetMapPictureSize(2400, 1400);
    BenchMap map;
    map.CreateMapLayers();
    map.MapPicture =
        Filled(2400, 1400, [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(x ^ y); });
    // Mostly the key colour, with opaque roofs every few cells.
    map.OverlayPicture = Filled(
        2400, 1400, [](int x, int y) { return (x / 40 + y / 40) % 5 == 0 ? 0xFF806040u : 0xFF00FF00u; });
    map.PresenceOverlay = Filled(
        2400, 1400, [](int x, int y) { return (x / 184 + y / 256) % 3 == 0 ? 0xC0FFFFFFu : 0x00000000u; });
    for (auto& slot : map.PictureSlot)
        slot = Filled(1440, 240, [](int x, int y) { return (x + y) % 7 == 0 ? 0u : 0xFF2040C0u; });

    tools::MoverBlockSpec spec;
    // The leader walks eight cells right and back with the camera on it; the others walk squares.
    spec.movers.push_back({0x21, 0, 1, 2, 28, 12, 0x12, 0});
    for (uint16_t i = 1; i < 8; ++i)
        spec.movers.push_back(
            {0x01, 0, 1, 2, static_cast<uint16_t>(4 + 5 * i), static_cast<uint16_t>(6 + 2 * i), 0x12, 1});
    spec.programs = {{{5, 8}, {4, 8}}, {{5, 3}, {3, 2}, {4, 3}, {2, 2}}};
    spec.patterns = std::vector<uint16_t>(64, 3);
    std::vector<std::string> rows(35, std::string(60, '.'));
    map.files["walk.map"] = tools::BuildWalkMap(rows);
    map.files["movers.bin"] = tools::BuildMoverBlock(spec);
    map.LoadWalkMap("walk.map");
    for (size_t i = 0; i < spec.movers.size(); ++i) {
        game.Flags[7091 + 3 * i] = static_cast<uint8_t>(spec.movers[i].x);
        game.Flags[7092 + 3 * i] = static_cast<uint8_t>(spec.movers[i].y);
        game.Flags[7093 + 3 * i] = spec.movers[i].facing;
    }
    map.LoadMovers("movers.bin");
    map.Camera.CamX = 3;
    map.Camera.CamY = 2;
    auto target = Filled(1920, 1080, [](int, int) { return 0u; });

    bench::FrameCopy copy;
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        map.StepMovers();
        map.BuildViewCells();
        map.ComposeMovers();
        map.DrawMap(target.get());
        benchmark::DoNotOptimize(target->GetLayer()->GetBits());
        benchmark::ClobberMemory();
    }
    ratio.Report(copy);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FRAME_BYTES));
    CCps::SetMapPictureSize(8400, 5040);
    GetScriptState().m_current_state = std::move(saved);
}
BENCHMARK(BM_DrawTownMapFrame)->Unit(benchmark::kMicrosecond);

void BM_CopyOneFrame(benchmark::State& state)
{
    bench::FrameCopy copy;
    for (auto _ : state)
        copy();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FRAME_BYTES));
}
BENCHMARK(BM_CopyOneFrame)->Unit(benchmark::kMicrosecond);

} // namespace
