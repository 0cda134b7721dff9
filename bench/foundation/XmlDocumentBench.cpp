// Loading a typical configuration document and answering path queries, beside a plain
// std::map of the same keys as the baseline.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "foundation/CXMLDocument.h"
#include "settingsxml/SettingsXmlWriter.h"

namespace {

constexpr int GROUPS = 16;
constexpr int KEYS_PER_GROUP = 25; // 400 keys
constexpr int QUERIES = 10'000;

struct Fixture
{
    Fixture()
    {
        groups = tools::MakeTypicalSettings(GROUPS, KEYS_PER_GROUP);
        text = tools::WriteSettingsXml("Config", groups);
        paths = tools::SettingsKeyPaths("Config", groups);
        for (size_t i = 0; i < paths.size(); ++i)
            values[paths[i]] = groups[i / KEYS_PER_GROUP].keys[i % KEYS_PER_GROUP].second;
        path =
            std::filesystem::temp_directory_path() / ("vesk-xml-bench-" + std::to_string(getpid()) + ".xml");
        std::ofstream(path, std::ios::binary) << text;
        // A query mix: every key in turn, every fifth one a key that is not there.
        for (int i = 0; i < QUERIES; ++i)
            queries.push_back(i % 5 == 4 ? "/Config/Missing/Key" + std::to_string(i % 50)
                                         : paths[(i * 7) % paths.size()]);
    }
    ~Fixture() { std::filesystem::remove(path); }

    std::vector<tools::SettingsGroup> groups;
    std::string text;
    std::vector<std::string> paths;
    std::map<std::string, std::string> values;
    std::filesystem::path path;
    std::vector<std::string> queries;
};

Fixture& GetFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_LoadConfig(benchmark::State& state)
{
    Fixture& f = GetFixture();
    for (auto _ : state) {
        CXMLDocument doc{CStringUTF8(f.path.string())};
        benchmark::DoNotOptimize(doc.Load());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}
BENCHMARK(BM_LoadConfig)->Unit(benchmark::kMicrosecond);

void MapQueries(const Fixture& f)
{
    int64_t sum = 0;
    for (int i = 0; i < QUERIES; ++i) {
        const auto found = f.values.find(f.queries[i]);
        if (i % 2 == 0)
            sum += found == f.values.end() ? 1 : std::atoi(found->second.c_str());
        else
            sum += static_cast<int64_t>((found == f.values.end() ? std::string("d") : found->second).size());
    }
    benchmark::DoNotOptimize(sum);
}

void BM_Query10000(benchmark::State& state)
{
    Fixture& f = GetFixture();
    CXMLDocument doc{CStringUTF8(f.path.string())};
    if (doc.Load() != 1)
        state.SkipWithError("load failed");
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        int64_t sum = 0;
        for (int i = 0; i < QUERIES; ++i) {
            if (i % 2 == 0)
                sum += doc.GetInt(CStringUTF8(f.queries[i]), 1);
            else
                sum += doc.GetString(CStringUTF8(f.queries[i]), CStringUTF8("d")).GetLength();
        }
        benchmark::DoNotOptimize(sum);
    }
    ratio.Report([&f] { MapQueries(f); });
    state.SetItemsProcessed(state.iterations() * QUERIES);
}
BENCHMARK(BM_Query10000)->Unit(benchmark::kMicrosecond);

// The baseline: the same queries against a std::map of std::string, atoi for the integers.
void BM_MapQuery10000(benchmark::State& state)
{
    Fixture& f = GetFixture();
    for (auto _ : state)
        MapQueries(f);
    state.SetItemsProcessed(state.iterations() * QUERIES);
}
BENCHMARK(BM_MapQuery10000)->Unit(benchmark::kMicrosecond);

// The baseline of a load: reading the same file whole into memory.
void BM_ReadFileOnly(benchmark::State& state)
{
    Fixture& f = GetFixture();
    for (auto _ : state) {
        std::ifstream in(f.path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}
BENCHMARK(BM_ReadFileOnly)->Unit(benchmark::kMicrosecond);

} // namespace
