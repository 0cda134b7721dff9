// The software mixer's cost: 8 looping 44.1 kHz stereo streams, each with its own volume and pan,
// mixed for 60 seconds of audio. The "fraction_of_real_time" counter is the time spent per second
// of audio (0.01 = 1 % of one core). Beside it, the baseline: the same streams summed as plain
// integers with no volume, pan, clipping or bookkeeping.
#include "platform/dsound/Mixer.h"
#include "platform/dsound/MixerVoice.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t STREAMS = 8;
constexpr uint32_t SECONDS = 60;
constexpr uint32_t FRAMES = SECONDS * platform::Mixer::RATE;
constexpr uint32_t DEVICE_PERIOD = 1024; // the SDL callback's usual request
constexpr WAVEFORMATEX FORMAT = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};

std::vector<int16_t> Noise(uint32_t frames, uint32_t seed)
{
    std::vector<int16_t> out(frames * 2);
    for (int16_t& s : out) {
        seed = seed * 1103515245u + 12345u;
        s = static_cast<int16_t>((seed >> 16) % 20001) - 10000;
    }
    return out;
}

std::vector<std::shared_ptr<platform::MixerVoice>> MakeVoices(platform::Mixer& mixer, bool effects)
{
    std::vector<std::shared_ptr<platform::MixerVoice>> voices;
    for (uint32_t i = 0; i < STREAMS; ++i) {
        // Four-second rings as the engine makes them.
        auto voice =
            std::make_shared<platform::MixerVoice>(FORMAT, 4 * 176400, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN);
        const std::vector<int16_t> data = Noise(4 * 44100, i + 1);
        std::memcpy(voice->Data(), data.data(), data.size() * 2);
        voice->SetVolume(-300 * static_cast<LONG>(i));
        voice->SetPan(-8000 + 2000 * static_cast<LONG>(i));
        if (effects) {
            std::vector<platform::EffectKind> kinds = {platform::EffectKind::Echo,
                                                       platform::EffectKind::Compressor};
            kinds.resize(12, platform::EffectKind::ParamEq);
            voice->SetEffects(kinds);
            voice->WithEffects([](platform::EffectChain& chain) {
                return chain.SetEcho(0, {0, 50, 500, 500, 0});
            });
        }
        voice->Play(true);
        mixer.AddVoice(voice);
        voices.push_back(voice);
    }
    return voices;
}

void MixMinute(benchmark::State& state, bool effects)
{
    platform::Mixer mixer;
    const auto voices = MakeVoices(mixer, effects);
    std::vector<int16_t> output(DEVICE_PERIOD * 2);
    for (auto _ : state) {
        for (uint32_t done = 0; done < FRAMES; done += DEVICE_PERIOD)
            mixer.Mix(output.data(), DEVICE_PERIOD);
        benchmark::DoNotOptimize(output.data());
    }
    state.counters["fraction_of_real_time"] =
        benchmark::Counter(static_cast<double>(SECONDS) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FRAMES) * STREAMS);
}

void BM_MixEightStreams(benchmark::State& state)
{
    MixMinute(state, false);
}

// The same with the effect chain every engine buffer carries, at rest (the compressor still runs).
void BM_MixEightStreamsWithTheEnginesEffects(benchmark::State& state)
{
    MixMinute(state, true);
}

void BM_SumEightStreamsBaseline(benchmark::State& state)
{
    std::vector<std::vector<int16_t>> streams;
    for (uint32_t i = 0; i < STREAMS; ++i)
        streams.push_back(Noise(4 * 44100, i + 1));
    std::vector<int32_t> output(DEVICE_PERIOD * 2);
    const uint32_t ring = 4 * 44100;
    for (auto _ : state) {
        uint32_t position = 0;
        for (uint32_t done = 0; done < FRAMES; done += DEVICE_PERIOD) {
            std::memset(output.data(), 0, output.size() * sizeof(int32_t));
            for (const auto& stream : streams) {
                for (uint32_t f = 0; f < DEVICE_PERIOD; ++f) {
                    const uint32_t at = ((position + f) % ring) * 2;
                    output[2 * f] += stream[at];
                    output[2 * f + 1] += stream[at + 1];
                }
            }
            position = (position + DEVICE_PERIOD) % ring;
            benchmark::DoNotOptimize(output.data());
        }
    }
    state.counters["fraction_of_real_time"] =
        benchmark::Counter(static_cast<double>(SECONDS) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(FRAMES) * STREAMS);
}

} // namespace

BENCHMARK(BM_MixEightStreams)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixEightStreamsWithTheEnginesEffects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumEightStreamsBaseline)->Unit(benchmark::kMillisecond);
