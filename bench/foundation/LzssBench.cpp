// LZSS decoding speed on a mix like the game's archives: half picture bytes (32-bit pixels with
// gradients, flat areas and grain), half script text. Baselines in the same run: the textbook
// ring decoder that moves one byte at a time, and a memcpy of the decoded size.
#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "foundation/Lzss.h"
#include "lzss/LzssEncoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes MakePictureBytes(int width, int height)
{
    std::mt19937 random(1);
    Bytes pixels;
    pixels.reserve(size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool flat = (x / 64 + y / 48) % 3 == 0;           // flat panels of one colour
            const bool grain = !flat && (x / 32 + y / 32) % 4 == 1; // photographic grain
            const int noise = grain ? int(random() % 9) - 4 : 0;
            const auto channel = [&](int value) {
                return static_cast<uint8_t>(std::clamp(value + noise, 0, 255));
            };
            pixels.push_back(flat ? 40 : channel(x * 255 / width));
            pixels.push_back(flat ? 90 : channel(y * 255 / height));
            pixels.push_back(flat ? 160 : channel((x + y) * 127 / (width + height) + 64));
            pixels.push_back(flat || (x / 16) % 2 ? 255 : channel(128 + (x % 16) * 8));
        }
    }
    return pixels;
}

Bytes MakeScriptBytes(size_t size)
{
    // Command words and recurring phrases around changing UTF-8 story text.
    const std::vector<std::string> words = {"\x01mes ",
                                            "\x02voice \"v_0123.ogg\" ",
                                            "\x03wait 120 ",
                                            "「",
                                            "」",
                                            "……",
                                            "そうだね",
                                            "今日は",
                                            "雪が降っている。",
                                            "駅前",
                                            "商店街",
                                            "彼女は",
                                            "笑った。",
                                            "\\n",
                                            "\x04bg \"bg_town_night.akb\" ",
                                            "ありがとう",
                                            "どうしたの？",
                                            "また明日。",
                                            "\x05se \"door.wav\" "};
    std::mt19937 random(2);
    Bytes text;
    while (text.size() < size) {
        const std::string& word = words[random() % words.size()];
        text.insert(text.end(), word.begin(), word.end());
        if (random() % 5 == 0)
            text.push_back(static_cast<uint8_t>(random())); // operands: numbers, offsets
    }
    text.resize(size);
    return text;
}

struct Workload
{
    Bytes plain;
    Bytes packed;
};

const Workload& GetWorkload()
{
    static const Workload workload = [] {
        Workload w;
        w.plain = MakePictureBytes(512, 512);
        const Bytes script = MakeScriptBytes(w.plain.size());
        w.plain.insert(w.plain.end(), script.begin(), script.end());
        w.packed = tools::LzssEncode(w.plain);
        return w;
    }();
    return workload;
}

// The textbook decoder: every byte goes through the ring, whose index wraps at each step.
size_t RingDecodeReference(const Bytes& in, uint8_t* out, size_t out_size)
{
    std::array<uint8_t, 4096> ring{};
    size_t r = 0xFEE;
    unsigned flags = 0;
    size_t i = 0;
    size_t o = 0;
    while (i < in.size()) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            flags = in[i++] | 0xFF00;
            if (i >= in.size())
                break;
        }
        if (flags & 1) {
            if (o >= out_size)
                break;
            const uint8_t b = in[i++];
            out[o++] = b;
            ring[r] = b;
            r = (r + 1) & 0xFFF;
        } else {
            if (in.size() - i < 2)
                break;
            const size_t position = in[i] | ((in[i + 1] & 0xF0) << 4);
            const size_t length = (in[i + 1] & 0x0F) + 3;
            i += 2;
            for (size_t k = 0; k < length; ++k) {
                if (o >= out_size)
                    return o;
                const uint8_t b = ring[(position + k) & 0xFFF];
                out[o++] = b;
                ring[r] = b;
                r = (r + 1) & 0xFFF;
            }
        }
    }
    return o;
}

void BM_LzssDecode(benchmark::State& state)
{
    const Workload& w = GetWorkload();
    Bytes out(w.plain.size());
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        LzssDecodeResult result = LzssDecode(w.packed, out);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(out.data());
    }
    Bytes reference_out(w.plain.size());
    ratio.Report([&] {
        benchmark::DoNotOptimize(RingDecodeReference(w.packed, reference_out.data(), reference_out.size()));
        benchmark::DoNotOptimize(reference_out.data());
    });
    if (out != w.plain)
        state.SkipWithError("decoded bytes differ");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(w.plain.size()));
    state.counters["ratio"] = double(w.packed.size()) / double(w.plain.size());
}

void BM_LzssDecodeReference(benchmark::State& state)
{
    const Workload& w = GetWorkload();
    Bytes out(w.plain.size());
    for (auto _ : state) {
        size_t produced = RingDecodeReference(w.packed, out.data(), out.size());
        benchmark::DoNotOptimize(produced);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != w.plain)
        state.SkipWithError("decoded bytes differ");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(w.plain.size()));
}

void BM_CopyDecodedSize(benchmark::State& state)
{
    const Workload& w = GetWorkload();
    Bytes out(w.plain.size());
    for (auto _ : state) {
        std::memcpy(out.data(), w.plain.data(), w.plain.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(w.plain.size()));
}

} // namespace

BENCHMARK(BM_LzssDecode);
BENCHMARK(BM_LzssDecodeReference);
BENCHMARK(BM_CopyDecodedSize);
