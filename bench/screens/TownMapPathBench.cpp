// The town map's path search with its trace on a 255 x 192 map: once open, once a serpentine maze
// of two-row corridors whose gaps alternate ends (the longest way the search can be made to walk).
// Baseline in the same run: a plain copy of one 1920 x 1080 frame of 32-bit pixels.

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "foundation/CString.h"
#include "screens/map/CCps.h"
#include "townmap/TownMapWriter.h"

namespace {

class PathMap final : public CCps
{
public:
    void ReadFile(const CStringUTF8&, std::vector<uint8_t>& out) override { out = walk; }
    std::vector<uint8_t> walk;
};

std::vector<std::string> Serpentine()
{
    std::vector<std::string> rows(192, std::string(255, '.'));
    for (size_t wall = 2, turn = 0; wall < rows.size(); wall += 3, ++turn) {
        rows[wall] = std::string(255, '#');
        const size_t gap = turn % 2 == 0 ? 252 : 0;
        rows[wall][gap] = rows[wall][gap + 1] = '.';
    }
    return rows;
}

void RunSearch(benchmark::State& state, const std::vector<std::string>& rows, uint16_t foot_x, uint16_t foot_y)
{
    PathMap map;
    map.walk = tools::BuildWalkMap(rows);
    map.LoadWalkMap("walk.map");
    std::array<uint8_t, 14> bytes{};
    MapMover figure(bytes.data());
    figure.SetX(foot_x);
    figure.SetY(static_cast<uint16_t>(foot_y - 1));
    for (auto _ : state) {
        map.PrepareDistanceGrid();
        map.PathTarget.TargetX = 0;
        map.PathTarget.TargetY = 0;
        if (map.FindPath(figure) != 1) {
            state.SkipWithError("no path");
            break;
        }
        benchmark::DoNotOptimize(map.PathLength);
    }
    state.counters["steps"] = map.PathLength;
}

void BM_FindPathOpenMap(benchmark::State& state)
{
    RunSearch(state, std::vector<std::string>(192, std::string(255, '.')), 250, 189);
}
BENCHMARK(BM_FindPathOpenMap)->Unit(benchmark::kMicrosecond);

void BM_FindPathSerpentineMaze(benchmark::State& state)
{
    RunSearch(state, Serpentine(), 100, 189);
}
BENCHMARK(BM_FindPathSerpentineMaze)->Unit(benchmark::kMicrosecond);

void BM_CopyOneFrameBesidePath(benchmark::State& state)
{
    constexpr size_t frame_bytes = size_t{1920} * 1080 * 4;
    std::vector<uint8_t> from(frame_bytes, 1);
    std::vector<uint8_t> to(frame_bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), frame_bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyOneFrameBesidePath)->Unit(benchmark::kMicrosecond);

} // namespace
