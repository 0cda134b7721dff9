// One full frame of a typical scene composed in software, beside a memcpy of one frame.
// The scene: an opaque background, two large standing pictures with soft-edged alpha, a
// half-transparent message-window plate and a line of text-sized glyph pictures, each drawn
// the way the sprite pass draws a sprite layer (BltAlphaOpacity at full opacity).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchRatio.h"
#include "graphics/CDIB.h"

namespace {

constexpr int FRAME_WIDTH = 1920;
constexpr int FRAME_HEIGHT = 1080;
constexpr size_t FRAME_BYTES = size_t{FRAME_WIDTH} * FRAME_HEIGHT * 4;

std::unique_ptr<CDIB> MakePicture(int w, int h, uint32_t (*pixel)(int x, int y, int w, int h))
{
    auto layer = std::make_unique<CDIB>();
    layer->Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t value = pixel(x, y, w, h);
            std::memcpy(layer->GetPixelPtr(x, y), &value, 4);
        }
    return layer;
}

uint32_t Background(int x, int y, int, int)
{
    return 0xFF000000u | uint32_t((x * 7) & 0xFF) << 16 | uint32_t((y * 3) & 0xFF) << 8 |
           uint32_t((x + y) & 0xFF);
}

// An ellipse filling most of the picture, opaque inside, fading over a 6-pixel rim.
uint32_t Figure(int x, int y, int w, int h)
{
    const double dx = (x - w / 2.0) / (w * 0.42);
    const double dy = (y - h / 2.0) / (h * 0.48);
    const double edge = (1.0 - std::sqrt(dx * dx + dy * dy)) * (w * 0.42) / 6.0;
    const int alpha = edge <= 0 ? 0 : edge >= 1 ? 255 : static_cast<int>(edge * 255);
    return uint32_t(alpha) << 24 | 0x00C08060u;
}

uint32_t Plate(int, int, int, int)
{
    return 0xA0102040u;
}

// A glyph-like coverage: a ring with antialiased borders.
uint32_t Glyph(int x, int y, int w, int h)
{
    const double r = std::hypot(x - w / 2.0, y - h / 2.0);
    const double coverage = 1.0 - std::abs(r - w * 0.3) / 4.0;
    const int alpha = coverage <= 0 ? 0 : static_cast<int>(coverage * 255);
    return uint32_t(alpha) << 24 | 0x00FFFFFFu;
}

struct Scene
{
    std::unique_ptr<CDIB> frame;
    std::unique_ptr<CDIB> background;
    std::unique_ptr<CDIB> figure;
    std::unique_ptr<CDIB> plate;
    std::unique_ptr<CDIB> glyph;

    void Compose()
    {
        frame->BltAlphaOpacity(0, 0, FRAME_WIDTH, FRAME_HEIGHT, background.get(), 0, 0, 255);
        frame->BltAlphaOpacity(200, 80, 800, 1000, figure.get(), 0, 0, 255);
        frame->BltAlphaOpacity(920, 80, 800, 1000, figure.get(), 0, 0, 255);
        frame->BltAlphaOpacity(60, 760, 1800, 300, plate.get(), 0, 0, 255);
        for (int i = 0; i < 36; ++i)
            frame->BltAlphaOpacity(120 + 46 * i, 820, 48, 48, glyph.get(), 0, 0, 255);
    }

    // The bytes the frame must move, as plain copies of the same rectangles.
    void CopyOnly()
    {
        frame->Blt(0, 0, FRAME_WIDTH, FRAME_HEIGHT, background.get(), 0, 0, 1);
        frame->Blt(200, 80, 800, 1000, figure.get(), 0, 0, 1);
        frame->Blt(920, 80, 800, 1000, figure.get(), 0, 0, 1);
        frame->Blt(60, 760, 1800, 300, plate.get(), 0, 0, 1);
        for (int i = 0; i < 36; ++i)
            frame->Blt(120 + 46 * i, 820, 48, 48, glyph.get(), 0, 0, 1);
    }
};

Scene MakeTypicalScene()
{
    Scene scene;
    scene.frame = std::make_unique<CDIB>();
    scene.frame->Create(FRAME_WIDTH, FRAME_HEIGHT);
    scene.background = MakePicture(FRAME_WIDTH, FRAME_HEIGHT, Background);
    scene.figure = MakePicture(800, 1000, Figure);
    scene.plate = MakePicture(1800, 300, Plate);
    scene.glyph = MakePicture(48, 48, Glyph);
    return scene;
}

void BM_ComposeScene(benchmark::State& state)
{
    Scene scene = MakeTypicalScene();
    bench::FrameCopy copy;
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        scene.Compose();
        benchmark::DoNotOptimize(scene.frame->GetBits());
        benchmark::ClobberMemory();
    }
    ratio.Report(copy);
    bench::ReportFloor(
        state, [&scene] { scene.CopyOnly(); }, copy);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FRAME_BYTES));
}

void BM_CopyOneFrame(benchmark::State& state)
{
    bench::FrameCopy copy;
    for (auto _ : state)
        copy();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(FRAME_BYTES));
}

} // namespace

BENCHMARK(BM_ComposeScene)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyOneFrame)->Unit(benchmark::kMillisecond);
