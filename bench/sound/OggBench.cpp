// The voice side's cost. Decoding: a 60-second stereo piece and a 60-second mono voice through
// COggDecodeUser (length scan included), beside a plain libvorbis loop over the same files read
// the same way (aim: at most 1.2 times its time). The pitch shifter at ratio 1.5 over the mono
// voice. Four streaming voices and one music track mixed on the null device, with their
// streaming and timer threads. "fraction_of_real_time" is the time per second of audio on one
// core (0.01 = 1 %); the streaming benchmark counts the whole process's CPU time.
#include "oggwriter/OggWriter.h"
#include "platform/dsound/null/NullAudioDevice.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/Unicode.h"
#include "platform/kernel/VirtualClock.h"
#include "sound/COggDecodeBase.h"
#include "sound/COggSoundNotify.h"
#include "sound/CWaveSoundNotify.h"
#include "sound/PitchShifter.h"
#include "sound/SoundSystem.h"
#include "wavwriter/WavWriter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr uint32_t SECONDS = 60;
constexpr uint32_t FRAMES = SECONDS * 44100;
constexpr WAVEFORMATEX STEREO_16 = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
constexpr WAVEFORMATEX MONO_16 = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

// Speech-like material: a tone gliding under a slow syllable envelope, with a second voice.
std::vector<int16_t> Material(uint16_t channels)
{
    std::vector<int16_t> out;
    out.reserve(static_cast<size_t>(FRAMES) * channels);
    double phase = 0;
    for (uint32_t i = 0; i < FRAMES; ++i) {
        const double t = i / 44100.0;
        phase += 2.0 * std::numbers::pi * (180.0 + 40.0 * std::sin(t * 1.3)) / 44100.0;
        const double envelope = 0.5 + 0.5 * std::sin(t * 2.0 * std::numbers::pi * 3.0);
        const double value = 9000.0 * envelope * (std::sin(phase) + 0.3 * std::sin(3.1 * phase));
        for (uint16_t c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(c == 0 ? value : value * 0.7));
    }
    return out;
}

std::string OggFile(uint16_t channels)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("vesk_bench_" + std::to_string(channels) + ".ogg"))
            .string();
    if (!std::filesystem::exists(path)) {
        tools::OggContents ogg;
        ogg.channels = channels;
        ogg.samples = Material(channels);
        tools::WriteOggFile(path, ogg);
    }
    return path;
}

HANDLE Open(const std::string& path)
{
    const std::u16string wide = platform::Utf8ToUtf16(path);
    return CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

void SetRealTimeShare(benchmark::State& state)
{
    state.counters["fraction_of_real_time"] =
        benchmark::Counter(static_cast<double>(SECONDS) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_DecodeUser(benchmark::State& state)
{
    const auto channels = static_cast<uint16_t>(state.range(0));
    const std::string path = OggFile(channels);
    const WAVEFORMATEX& format = channels == 2 ? STEREO_16 : MONO_16;
    std::vector<uint8_t> work(1'048'576);
    std::vector<uint8_t> output(format.nAvgBytesPerSec);
    HANDLE file = Open(path);
    const DWORD size = GetFileSize(file, nullptr);
    uint64_t bytes = 0;
    for (auto _ : state) {
        COggDecodeUser decoder;
        decoder.Open(format, work.data(), static_cast<uint32_t>(work.size()), output.data(),
                     static_cast<uint32_t>(output.size()));
        decoder.Attach(file, size, 0, nullptr);
        int32_t end = 0;
        uint32_t count = 0;
        while (end < COggDecodeBase::END_ALL_DELIVERED && decoder.GetOutput(&end, &count))
            bytes += count;
        decoder.Reset();
        benchmark::DoNotOptimize(output.data());
    }
    CloseHandle(file);
    SetRealTimeShare(state);
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

// The reference: sync, stream, headers, synthesis and 16-bit conversion, 4096 bytes a read.
void BM_PlainVorbisLoop(benchmark::State& state)
{
    const std::string path = OggFile(static_cast<uint16_t>(state.range(0)));
    for (auto _ : state) {
        std::ifstream file(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(tools::DecodeOggPlain(bytes, false).samples.data());
    }
    SetRealTimeShare(state);
}

void BM_PitchShiftVoice(benchmark::State& state)
{
    const std::vector<int16_t> voice = Material(1);
    std::vector<float> samples(voice.size());
    for (size_t i = 0; i < voice.size(); ++i)
        samples[i] = voice[i] / 32768.0f;
    constexpr uint32_t SEGMENT = 44100; // one fill
    for (auto _ : state) {
        PitchShifter shifter;
        std::vector<float> work = samples;
        for (uint32_t done = 0; done < work.size(); done += SEGMENT)
            shifter.PitchShiftPhaseVocoder(
                1.5f, std::min<uint32_t>(SEGMENT, static_cast<uint32_t>(work.size()) - done), 44100.0f,
                work.data() + done, work.data() + done);
        benchmark::DoNotOptimize(work.data());
    }
    SetRealTimeShare(state);
}

// The mixer stepped 10 ms at a time on the virtual clock, each step waiting until every
// streaming and timer thread has reacted, as the game's output would pace them.
void BM_StreamFourVoicesAndMusic(benchmark::State& state)
{
    setenv("VESK_HEADLESS", "1", 1);
    platform::VirtualClock::Enable(1000);
    CreateSoundSystem(nullptr);
    platform::NullAudioDevice* device = platform::GetNullAudioDevice();
    device->SetClockDriven(false);
    const std::string voice_path = OggFile(1);
    {
        // Every voice loops over its whole length, so all four stream for the whole run.
        tools::WavContents music;
        music.samples = tools::Pcm16Bytes(Material(2));
        music.loop = tools::WavLoop{.start = 0, .end = FRAMES};
        tools::WriteWavFile((std::filesystem::temp_directory_path() / "vesk_bench_music.wav").string(),
                            music);
    }
    std::vector<HANDLE> files;
    std::vector<CWaveSoundThread*> sounds;
    for (int i = 0; i < 4; ++i) {
        auto* voice = new COggSoundNotify;
        voice->Create(MONO_16, 0);
        HANDLE file = Open(voice_path);
        files.push_back(file);
        voice->OpenOggData(file, 0, GetFileSize(file, nullptr));
        voice->Start();
        sounds.push_back(voice);
    }
    auto* music = new CWaveSoundNotify;
    music->Create(STEREO_16, 1'048'576);
    HANDLE music_file = Open((std::filesystem::temp_directory_path() / "vesk_bench_music.wav").string());
    files.push_back(music_file);
    music->ReadWaveHeader(music_file);
    music->Start();
    sounds.push_back(music);
    const size_t threads = 2 * sounds.size();
    for (auto _ : state) {
        for (uint32_t ms = 0; ms < SECONDS * 1000; ms += 10) {
            device->AdvanceMilliseconds(10);
            platform::VirtualClock::WaitForParked(threads);
            platform::VirtualClock::Advance(10);
            platform::VirtualClock::WaitForParked(threads);
        }
    }
    for (CWaveSoundThread* sound : sounds) {
        sound->Destroy();
        delete sound;
    }
    for (HANDLE file : files)
        CloseHandle(file);
    ReleaseSoundSystem();
    platform::VirtualClock::Disable();
    SetRealTimeShare(state);
}

} // namespace

BENCHMARK(BM_DecodeUser)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainVorbisLoop)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PitchShiftVoice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamFourVoicesAndMusic)->MeasureProcessCPUTime()->Iterations(1)->Unit(benchmark::kMillisecond);
