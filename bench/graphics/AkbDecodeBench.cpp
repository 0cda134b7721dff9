// Decoding a full-screen picture with alpha: AKB into a layer beside the same picture as PNG
// through libpng, the format a port would otherwise have used.

#include "BenchRatio.h"
#include "akbwriter/AkbWriter.h"
#include "foundation/Lzss.h"
#include "graphics/CAkb.h"
#include "graphics/CDIB.h"
#include "platform/gdi/PngCodec.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
constexpr int64_t FRAME_BYTES = int64_t{WIDTH} * HEIGHT * 4;

// A standing-character-like picture: a soft-shaded figure with a little grain over a transparent
// background, edges anti-aliased.
tools::AkbPicture MakeFigure()
{
    tools::AkbPicture picture = tools::MakePicture(WIDTH, HEIGHT, 0);
    uint32_t noise = 2463534242u;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const double dx = (x - WIDTH / 2.0) / 520.0;
            const double dy = (y - HEIGHT / 2.0) / 500.0;
            const double d = std::sqrt(dx * dx + dy * dy);
            const double edge = std::clamp((1.0 - d) * 60.0, 0.0, 1.0);
            const uint32_t a = static_cast<uint32_t>(edge * 255.0 + 0.5);
            if (a == 0)
                continue;
            const int grain = static_cast<int>(noise & 3) - 1;
            const int band = ((x / 37) + (y / 53)) % 5 == 0 ? 40 : 0;
            const uint32_t r = static_cast<uint32_t>(std::clamp(180 + band + grain + (y >> 4), 0, 255));
            const uint32_t g = static_cast<uint32_t>(std::clamp(140 + grain + (x >> 5), 0, 255));
            const uint32_t b = static_cast<uint32_t>(std::clamp(120 + band / 2 + ((x + y) >> 5), 0, 255));
            picture.At(x, y) = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    return picture;
}

struct Files
{
    std::vector<uint8_t> akb;
    std::vector<uint8_t> png;
};

const Files& GetFiles()
{
    static const Files files = [] {
        const tools::AkbPicture picture = MakeFigure();
        Files made;
        tools::AkbOptions options;
        options.content = tools::FindContentRect(picture, 0);
        made.akb = tools::EncodeAkb(picture, options);
        made.png = platform::EncodePng(WIDTH, HEIGHT, picture.pixels);
        return made;
    }();
    return files;
}

void BM_DecodeAkb(benchmark::State& state)
{
    const Files& files = GetFiles();
    CDIB layer;
    layer.Create(WIDTH, HEIGHT);
    CAkb akb(files.akb.data(), files.akb.size());
    for (auto _ : state) {
        RECT rect;
        if (!DecodeAkb(akb, &layer, 0, 0, &rect, 0))
            state.SkipWithError("AKB refused");
        benchmark::DoNotOptimize(layer.GetBits());
    }
    state.SetBytesProcessed(state.iterations() * FRAME_BYTES);
    state.counters["file_bytes"] = static_cast<double>(files.akb.size());
}
BENCHMARK(BM_DecodeAkb)->Unit(benchmark::kMillisecond);

// A sheet at start-up: the picture decoded into a layer made for it, whose clear parts are never
// touched. Beside it, the least any decode must do: the body's LZSS decoded once into a buffer
// already at hand.
void BM_DecodeAkbIntoNewLayer(benchmark::State& state)
{
    const Files& files = GetFiles();
    CAkb akb(files.akb.data(), files.akb.size());
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        CDIB layer;
        layer.Create(WIDTH, HEIGHT);
        if (!DecodeAkb(akb, &layer, 0, 0, nullptr, 0, true))
            state.SkipWithError("AKB refused");
        benchmark::DoNotOptimize(layer.GetBits());
    }
    const RECT content = akb.GetContentRect();
    std::vector<uint8_t> plain(size_t{4} * static_cast<size_t>(content.right - content.left) *
                               static_cast<size_t>(content.bottom - content.top));
    ratio.Report([&] {
        benchmark::DoNotOptimize(LzssDecode(akb.GetBody(), plain));
        benchmark::DoNotOptimize(plain.data());
    });
    state.SetBytesProcessed(state.iterations() * FRAME_BYTES);
}
BENCHMARK(BM_DecodeAkbIntoNewLayer)->Unit(benchmark::kMillisecond);

// The baseline: the same picture decoded by libpng into a buffer of the same size.
void BM_DecodePng(benchmark::State& state)
{
    const Files& files = GetFiles();
    std::vector<uint32_t> pixels(static_cast<size_t>(WIDTH) * HEIGHT);
    for (auto _ : state) {
        if (!platform::DecodePngInto(files.png, WIDTH, HEIGHT, pixels))
            state.SkipWithError("PNG refused");
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * FRAME_BYTES);
    state.counters["file_bytes"] = static_cast<double>(files.png.size());
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

} // namespace
