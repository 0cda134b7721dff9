#include "sound/CWaveSoundThread.h"
#include "sound/CWaveSoundNotify.h"

#include "SoundTestSupport.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveManager.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/Unicode.h"
#include "support/FakeDocumentLink.h"
#include "support/ThreadTest.h"
#include "support/WorkingDir.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <memory>
#include <thread>

namespace {

struct SoundDeleter
{
    void operator()(CWaveSoundThread* sound) const
    {
        sound->Destroy();
        delete sound;
    }
};
using SoundPtr = std::unique_ptr<CWaveSoundThread, SoundDeleter>;

// The two ways a sound object is driven: polled every 50 ms (one thread), or woken by buffer
// positions with a 15 ms fade timer (two threads).
enum class Driver
{
    Polling,
    Notify
};

std::string DriverName(const ::testing::TestParamInfo<Driver>& info)
{
    return info.param == Driver::Polling ? "Polling" : "Notify";
}

class StreamingThreadTest : public SoundThreadTest, public ::testing::WithParamInterface<Driver>
{
protected:
    SoundPtr Make(DWORD work_size = WORK_SIZE)
    {
        SoundPtr sound(GetParam() == Driver::Polling ? new CWaveSoundThread : new CWaveSoundNotify);
        EXPECT_TRUE(sound->Create(STEREO_16, work_size));
        Settle(Threads());
        return sound;
    }
    size_t Threads() const { return GetParam() == Driver::Polling ? 1 : 2; }
    // One turn of the sound's own clock: a poll, or a slice of notification-driven play.
    uint32_t Tick() const { return GetParam() == Driver::Polling ? 50 : 10; }
    void Run(uint32_t milliseconds)
    {
        for (uint32_t t = 0; t < milliseconds; t += Tick())
            Pass(Tick(), Threads());
    }
    static bool IsPlaying(CWaveSoundThread& sound) { return (sound.GetStatus() & DSBSTATUS_PLAYING) != 0; }
    void StartAndRun(CWaveSoundThread& sound, const tools::WavContents& wav, uint32_t milliseconds)
    {
        ASSERT_TRUE(sound.ReadWaveHeader(OpenWav(wav)));
        ASSERT_TRUE(sound.Start());
        Run(milliseconds);
    }
};

// A steady 3000 on both sides, looping over its first half, so it plays as long as a test runs.
tools::WavContents SteadyLoop()
{
    tools::WavContents wav = StereoWav(std::vector<int16_t>(20000, 3000));
    wav.loop = tools::WavLoop{.start = 0, .end = 10000};
    return wav;
}

// The stream a loop produces: the data up to the loop end, then the loop again and again.
std::vector<int16_t> Looped(const std::vector<int16_t>& data, size_t start, size_t end, size_t frames)
{
    std::vector<int16_t> out;
    out.reserve(frames * 2);
    size_t frame = 0;
    while (out.size() < frames * 2) {
        out.push_back(data[frame * 2]);
        out.push_back(data[frame * 2 + 1]);
        if (++frame == end)
            frame = start;
    }
    return out;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Drivers, StreamingThreadTest, ::testing::Values(Driver::Polling, Driver::Notify),
                         DriverName);

TEST_P(StreamingThreadTest, LoopSeamsAreSampleExact)
{
    const std::vector<int16_t> data = QuietPattern(66150, 2);
    tools::WavContents wav = StereoWav(data);
    wav.loop = tools::WavLoop{.start = 10000, .end = 50000};
    SoundPtr sound = Make(100'000); // a work block smaller than a segment: refills mid-segment
    ASSERT_NO_FATAL_FAILURE(StartAndRun(*sound, wav, 6000));
    EXPECT_TRUE(IsPlaying(*sound)) << "looped data never stops by itself";
    const std::vector<int16_t> out = TakeOutput();
    ASSERT_EQ(out.size(), FramesMixed() * 2);
    const std::vector<int16_t> expected = Looped(data, 10000, 50000, FramesMixed());
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], expected[i]) << "frame " << i / 2;
}

TEST_P(StreamingThreadTest, UnloopedDataStopsAtItsEnd)
{
    for (const uint32_t frames : {44100u, 88200u, 176400u, 463050u}) { // 1, 2, 4 and 10.5 seconds
        SCOPED_TRACE(frames);
        const std::vector<int16_t> data = QuietPattern(frames, 2, frames);
        SoundPtr sound = Make();
        ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(StereoWav(data))));
        TakeOutput();
        const uint64_t start = FramesMixed();
        ASSERT_TRUE(sound->Start());
        uint64_t stopped_at = 0;
        for (uint32_t t = 0; t < frames / 44 + 1000 && !stopped_at; t += Tick()) {
            Pass(Tick(), Threads());
            if (!IsPlaying(*sound))
                stopped_at = FramesMixed() - start;
        }
        ASSERT_NE(stopped_at, 0u) << "the sound never stopped";
        EXPECT_GE(stopped_at, frames);
        EXPECT_LE(stopped_at, frames + Tick() * 441 / 10) << "stopped more than one turn after the end";
        const std::vector<int16_t> out = TakeOutput();
        ASSERT_GE(out.size(), stopped_at * 2);
        for (size_t i = 0; i < frames * 2; ++i)
            ASSERT_EQ(out[i], data[i]) << "frame " << i / 2;
        for (size_t i = frames * 2; i < out.size(); ++i)
            ASSERT_EQ(out[i], 0) << "frame " << i / 2 << " after the end";
        // The data file was closed with the stop: playing again needs the data again.
        EXPECT_FALSE(sound->PrimeBuffer());
        EXPECT_EQ(sound->GetStatusCode(), SOUND_STATUS_NO_FILE);
    }
}

TEST_P(StreamingThreadTest, VolumePanAndFrequencyStayInTheirRanges)
{
    SoundPtr sound = Make();
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(SteadyLoop())));
    EXPECT_TRUE(sound->SetVolume(5));
    EXPECT_EQ(sound->GetVolume(), 0);
    EXPECT_TRUE(sound->SetVolume(-20000));
    EXPECT_EQ(sound->GetVolume(), -10000);
    EXPECT_TRUE(sound->SetVolume(-1000));
    EXPECT_TRUE(sound->SetPan(-20000)); // all the way left
    ASSERT_TRUE(sound->Start());
    Pass(Tick(), Threads());
    std::vector<int16_t> out = TakeOutput();
    // -10 dB: 3000 x 10^(-1000/2000) = 948.7; the right side is silent.
    EXPECT_EQ(out[out.size() - 2], 949);
    EXPECT_EQ(out[out.size() - 1], 0);

    DWORD frequency = 0;
    EXPECT_TRUE(sound->SetFrequency(50));
    EXPECT_TRUE(sound->GetFrequency(&frequency));
    EXPECT_EQ(frequency, 100u);
    EXPECT_TRUE(sound->SetFrequency(150000));
    sound->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 100000u);
    EXPECT_TRUE(sound->SetFrequency(0));
    sound->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 44100u) << "0 is the data's own rate";
}

TEST_P(StreamingThreadTest, SetVolumeCancelsAFadeAndContinuePlaysAtTheFadesTarget)
{
    SoundPtr sound = Make();
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(SteadyLoop())));
    ASSERT_TRUE(sound->Start());
    ASSERT_TRUE(sound->FadeTo(100, -2000, 0));
    Pass(50, Threads());
    EXPECT_NE(sound->IsFading(), 0u);
    EXPECT_EQ(sound->GetVolume(), -2000) << "the stored volume is the target once a step has run";
    ASSERT_TRUE(sound->SetVolume(-1000));
    EXPECT_EQ(sound->IsFading(), 0u);
    Run(500);
    std::vector<int16_t> out = TakeOutput();
    EXPECT_EQ(out.back(), 949);

    ASSERT_TRUE(sound->FadeTo(100, -3000, 0));
    Pass(50, Threads());
    ASSERT_TRUE(sound->StopBuffer());
    EXPECT_EQ(sound->IsFading(), 0u);
    ASSERT_TRUE(sound->Continue());
    Pass(50, Threads());
    out = TakeOutput();
    // The target, -20 dB: 3000 x 10^(-3000/2000) = 94.9.
    EXPECT_EQ(out.back(), 95);
}

TEST_P(StreamingThreadTest, AFadeOfTimeZeroAppliesItsTargetAtOnce)
{
    SoundPtr sound = Make();
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(SteadyLoop())));
    ASSERT_TRUE(sound->Start());
    ASSERT_TRUE(sound->FadeTo(0, -2000, 0));
    EXPECT_EQ(sound->IsFading(), 0u);
    EXPECT_EQ(sound->GetVolume(), -2000);
    Pass(Tick(), Threads());
    EXPECT_EQ(TakeOutput().back(), 300); // -20 dB of 3000
    EXPECT_TRUE(IsPlaying(*sound));
    ASSERT_TRUE(sound->FadeTo(0, -10000, 1));
    EXPECT_FALSE(IsPlaying(*sound)) << "a fade out with stop-at-end stops when it ends";
}

// A difference smaller than the number of steps still fades, one hundredth of a decibel per
// step, and never stops a sound whose stop-at-end flag is 0.
TEST_P(StreamingThreadTest, AFadeSmallerThanItsStepCountStillReachesItsTarget)
{
    SoundPtr sound = Make();
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(SteadyLoop())));
    ASSERT_TRUE(sound->Start());
    ASSERT_TRUE(sound->FadeTo(100, -50, 0));
    EXPECT_TRUE(IsPlaying(*sound));
    Run(3000); // at least 60 steps of either driver
    EXPECT_TRUE(IsPlaying(*sound));
    EXPECT_EQ(sound->IsFading(), 0u);
    // -0.5 dB: 3000 x 10^(-50/2000) = 2832.2.
    EXPECT_EQ(TakeOutput().back(), 2832);

    ASSERT_TRUE(sound->FadeTo(100, 0, 0));
    Run(3000);
    EXPECT_EQ(sound->IsFading(), 0u);
    EXPECT_EQ(TakeOutput().back(), 3000);
}

TEST_P(StreamingThreadTest, LoopPointsAreClampedToTheData)
{
    const std::vector<int16_t> data = QuietPattern(5000, 2);
    tools::WavContents wav = StereoWav(data);
    wav.loop = tools::WavLoop{.start = 1000, .end = 999999};
    SoundPtr sound = Make();
    ASSERT_NO_FATAL_FAILURE(StartAndRun(*sound, wav, 1000));
    EXPECT_TRUE(IsPlaying(*sound));
    const std::vector<int16_t> out = TakeOutput();
    EXPECT_EQ(out, Looped(data, 1000, 5000, FramesMixed()));
}

TEST_P(StreamingThreadTest, ALoopThatDoesNotMoveForwardPlaysOnce)
{
    const std::vector<int16_t> data = QuietPattern(5000, 2);
    tools::WavContents wav = StereoWav(data);
    wav.loop = tools::WavLoop{.start = 3000, .end = 3000};
    SoundPtr sound = Make();
    ASSERT_NO_FATAL_FAILURE(StartAndRun(*sound, wav, 1000));
    EXPECT_FALSE(IsPlaying(*sound));
    const std::vector<int16_t> out = TakeOutput();
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 10000), data);

    wav.loop = tools::WavLoop{.start = 4000, .end = 2000};
    ASSERT_NO_FATAL_FAILURE(StartAndRun(*sound, wav, 1000));
    EXPECT_FALSE(IsPlaying(*sound));
}

TEST_P(StreamingThreadTest, ExtensibleFormatWithPcmDataPlays)
{
    const std::vector<int16_t> data = QuietPattern(5000, 2);
    tools::WavContents wav = StereoWav(data);
    wav.extensible = true;
    SoundPtr sound = Make();
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(wav)));
    ASSERT_TRUE(sound->Start());
    Run(500);
    EXPECT_FALSE(IsPlaying(*sound));
    const std::vector<int16_t> out = TakeOutput();
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 10000), data);
}

TEST_P(StreamingThreadTest, OtherReadsOfTheFileDoNotMoveTheStream)
{
    // Four seconds through a small work block, so most of it is read while it plays.
    const std::vector<int16_t> data = QuietPattern(44100 * 4, 2, 7);
    SoundPtr sound = Make(65536);
    HANDLE file = OpenWav(StereoWav(data));
    ASSERT_TRUE(sound->ReadWaveHeader(file));
    ASSERT_TRUE(sound->Start());
    for (uint32_t t = 0; t < 6000 && IsPlaying(*sound); t += Tick()) {
        // Another entry of the same archive is read through the original handle.
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        BYTE other[16];
        DWORD got = 0;
        ReadFile(file, other, sizeof(other), &got, nullptr);
        Pass(Tick(), Threads());
    }
    EXPECT_FALSE(IsPlaying(*sound));
    const std::vector<int16_t> out = TakeOutput();
    ASSERT_GE(out.size(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
}

TEST_P(StreamingThreadTest, AShortReadEndsTheStreamWithItsStatus)
{
    // The data claims six seconds; the file holds four.
    const std::vector<int16_t> data = QuietPattern(44100 * 4, 2, 9);
    SoundPtr sound = Make(65536);
    HANDLE file = OpenWav(StereoWav(data));
    constexpr DWORD DATA_START = 44;
    ASSERT_TRUE(sound->OpenData(file, DATA_START, 176400 * 6, CWaveSoundThread::NO_LOOP, 0));
    ASSERT_TRUE(sound->Start());
    Run(7000);
    EXPECT_EQ(sound->GetStatusCode(), SOUND_STATUS_SHORT_READ);
    EXPECT_FALSE(IsPlaying(*sound));
    const std::vector<int16_t> out = TakeOutput();
    ASSERT_GE(out.size(), data.size());
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
    EXPECT_TRUE(std::all_of(out.begin() + static_cast<ptrdiff_t>(data.size()), out.end(), [](int16_t v) {
        return v == 0;
    })) << "silence after what was read";
}

TEST_P(StreamingThreadTest, ASamplerChunkWithoutLoopsPlaysOnce)
{
    const std::vector<int16_t> data = QuietPattern(5000, 2);
    tools::WavContents wav = StereoWav(data);
    wav.sampler_without_loops = true;
    wav.before_data.push_back({"LIST", {1, 2, 3}}); // odd size: a pad byte follows
    SoundPtr sound = Make();
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(wav, 1001)));
    ASSERT_TRUE(sound->Start());
    Run(500);
    EXPECT_FALSE(IsPlaying(*sound));
    const std::vector<int16_t> out = TakeOutput();
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 10000), data);
}

TEST_P(StreamingThreadTest, DataInAnotherFormatIsConvertedToTheBuffers)
{
    // One second of 8-bit mono at 22,050 Hz.
    tools::WavContents wav;
    wav.channels = 1;
    wav.bits = 8;
    wav.rate = 22050;
    wav.samples.resize(22050);
    for (size_t i = 0; i < wav.samples.size(); ++i)
        wav.samples[i] = static_cast<uint8_t>(128 + (i % 2 ? 8 : -8));
    SoundPtr sound = Make();
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(wav)));
    ASSERT_TRUE(sound->Start());
    uint64_t stopped_at = 0;
    for (uint32_t t = 0; t < 3000 && !stopped_at; t += Tick()) {
        Pass(Tick(), Threads());
        if (!IsPlaying(*sound))
            stopped_at = FramesMixed();
    }
    // Played at its own speed: one second, not half a second.
    EXPECT_GE(stopped_at, 44100u);
    EXPECT_LE(stopped_at, 44100u + 2205u);
    const std::vector<int16_t> out = TakeOutput();
    // Bytes 120 and 136 are -2048 and +2048; frames in between are interpolated to 0, on both sides.
    EXPECT_EQ(out[0], -2048);
    EXPECT_EQ(out[1], -2048);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[4], 2048);
    EXPECT_EQ(out[5], 2048);
    ASSERT_GE(out.size(), 2u * 44100);
    EXPECT_EQ(out[2 * 44099], 2048); // the last frame holds to the end
    for (size_t i = 2 * 44100; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0);
}

TEST_P(StreamingThreadTest, DestroyingAPlayingSoundDoesNotHang)
{
    std::vector<int16_t> data = QuietPattern(50000, 2);
    tools::WavContents wav = StereoWav(data);
    wav.loop = tools::WavLoop{.start = 0, .end = 50000};
    HANDLE file = OpenWav(wav);
    for (int round = 0; round < 10; ++round) {
        SoundPtr sound = Make();
        SetFilePointer(file, 0, nullptr, FILE_BEGIN); // the entry's header, as a channel hands it over
        ASSERT_TRUE(sound->ReadWaveHeader(file));
        ASSERT_TRUE(sound->Start());
        ASSERT_TRUE(sound->FadeTo(100, -3000, 1));
        Pass(Tick(), Threads());
        // The output keeps running on another thread while the sound is torn down.
        std::atomic<bool> done{false};
        std::thread mixer([&] {
            while (!done)
                m_null->Advance(64);
        });
        sound.reset();
        done = true;
        mixer.join();
    }
}

TEST_F(SoundThreadTest, WaveHeadersThatAreNotPlayableAreRefusedWithTheirStatus)
{
    SoundPtr sound(new CWaveSoundThread);
    ASSERT_TRUE(sound->Create(STEREO_16, WORK_SIZE));
    const std::vector<int16_t> data = QuietPattern(100, 2);
    struct Case
    {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t status;
    };
    std::vector<Case> cases;
    std::vector<uint8_t> good = tools::WriteWav(StereoWav(data));
    std::vector<uint8_t> bytes = good;
    bytes[0] = 'X';
    cases.push_back({"not RIFF", bytes, SOUND_STATUS_NOT_RIFF});
    bytes = good;
    bytes[8] = 'A';
    cases.push_back({"not WAVE", bytes, SOUND_STATUS_NOT_WAVE});
    tools::WavContents no_data = StereoWav(data);
    no_data.omit_data = true;
    no_data.after_data.push_back({"junk", std::vector<uint8_t>(32, 0)});
    cases.push_back({"no data chunk", tools::WriteWav(no_data), SOUND_STATUS_NO_DATA});
    cases.push_back({"empty data chunk", tools::WriteWav(StereoWav({})), SOUND_STATUS_NO_DATA});
    tools::WavContents adpcm = StereoWav(data);
    adpcm.format_tag = 2;
    cases.push_back({"compressed", tools::WriteWav(adpcm), SOUND_STATUS_BAD_FORMAT});
    cases.push_back({"too short", {'R', 'I', 'F', 'F'}, SOUND_STATUS_NOT_RIFF});
    // Formats the mixer cannot play are refused before any conversion runs.
    tools::WavContents huge_rate = StereoWav(data);
    huge_rate.rate = 0xFFFFFF00;
    cases.push_back({"enormous rate", tools::WriteWav(huge_rate), SOUND_STATUS_BAD_FORMAT});
    tools::WavContents tiny_rate = StereoWav(data);
    tiny_rate.rate = 1;
    cases.push_back({"rate of 1", tools::WriteWav(tiny_rate), SOUND_STATUS_BAD_FORMAT});
    tools::WavContents six_channels = StereoWav(data);
    six_channels.channels = 6;
    cases.push_back({"six channels", tools::WriteWav(six_channels), SOUND_STATUS_BAD_FORMAT});
    bytes = good;
    bytes[32] = 0x40; // "fmt " block align of 64 bytes
    cases.push_back({"block size", bytes, SOUND_STATUS_BAD_FORMAT});
    tools::WavContents extensible_float = StereoWav(data);
    extensible_float.extensible = true;
    extensible_float.format_tag = 3;
    cases.push_back({"extensible float", tools::WriteWav(extensible_float), SOUND_STATUS_BAD_FORMAT});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_dir.PathOf(std::string(c.name) + ".wav");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(c.bytes.data()),
                   static_cast<std::streamsize>(c.bytes.size()));
        const std::u16string wide = platform::Utf8ToUtf16(path);
        HANDLE file =
            CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_FALSE(sound->ReadWaveHeader(file));
        EXPECT_EQ(sound->GetStatusCode(), c.status);
        EXPECT_FALSE(sound->Start()) << "nothing was attached";
        CloseHandle(file);
    }
    EXPECT_FALSE(sound->ReadWaveHeader(nullptr));
    EXPECT_EQ(sound->GetStatusCode(), SOUND_STATUS_NO_FILE);
}

TEST_F(SoundThreadTest, DestroyAnswersTheLastReleaseOfTheBuffer)
{
    struct Holder : CWaveSoundThread
    {
        IDirectSoundBuffer8* Hold()
        {
            m_buffer->AddRef();
            return m_buffer;
        }
    };
    Holder sound;
    ASSERT_TRUE(sound.Create(STEREO_16, WORK_SIZE));
    IDirectSoundBuffer8* held = sound.Hold();
    EXPECT_EQ(sound.Destroy(), 1u) << "one reference is still held";
    EXPECT_EQ(held->Release(), 0u);
    EXPECT_EQ(sound.Destroy(), 0u) << "nothing left to release";
}

TEST_F(SoundThreadTest, AnObjectWithoutABufferAnswersStatusTwo)
{
    CWaveSoundThread sound;
    EXPECT_EQ(sound.GetStatus(), 0u);
    EXPECT_EQ(sound.GetStatusCode(), SOUND_STATUS_NO_BUFFER);
    EXPECT_FALSE(sound.SetVolume(0));
    EXPECT_FALSE(sound.FadeTo(10, 0, 0));
    EXPECT_EQ(sound.GetStatusCode(), SOUND_STATUS_NO_BUFFER);
}

TEST_F(SoundThreadTest, PollingFadesTakeOneStepPer50Milliseconds)
{
    SoundPtr sound(new CWaveSoundThread);
    ASSERT_TRUE(sound->Create(STEREO_16, WORK_SIZE));
    Settle(1);
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(SteadyLoop())));
    ASSERT_TRUE(sound->SetVolume(-5000));
    ASSERT_TRUE(sound->Start());
    ASSERT_TRUE(sound->FadeTo(100, 0, 0));
    // Volume after k steps: -5000 + 50 k; 3000 x 10^(v / 2000) at k = 0, 40, 80: 9.5, 94.9, 948.7.
    const std::pair<int, int16_t> checks[] = {{0, 9}, {40, 95}, {80, 949}};
    int step = 0;
    for (const auto& [k, expected] : checks) {
        for (; step < k; ++step)
            Pass(50, 1);
        TakeOutput();
        m_null->Advance(1);
        EXPECT_EQ(TakeOutput()[0], expected) << "after " << k << " steps";
    }
    for (; step < 99; ++step)
        Pass(50, 1);
    EXPECT_NE(sound->IsFading(), 0u) << "99 steps of 50 ms";
    Pass(50, 1);
    EXPECT_EQ(sound->IsFading(), 0u) << "100 steps: 5 seconds";
}

TEST_F(SoundThreadTest, NotifiedFadesTakeOneStepPer15Milliseconds)
{
    SoundPtr sound(new CWaveSoundNotify);
    ASSERT_TRUE(sound->Create(STEREO_16, WORK_SIZE));
    Settle(2);
    ASSERT_TRUE(sound->ReadWaveHeader(OpenWav(SteadyLoop())));
    ASSERT_TRUE(sound->Start());
    Settle(2);
    ASSERT_TRUE(sound->FadeTo(100, -5000, 1));
    Settle(2); // the first step runs at once
    for (int step = 1; step < 99; ++step)
        Pass(15, 2);
    EXPECT_NE(sound->IsFading(), 0u) << "99 steps";
    EXPECT_TRUE(sound->GetStatus() & DSBSTATUS_PLAYING);
    Pass(15, 2);
    EXPECT_EQ(sound->IsFading(), 0u) << "100 steps, the last 1.5 s after the first";
    EXPECT_FALSE(sound->GetStatus() & DSBSTATUS_PLAYING) << "a fade out with stop-at-end stops the sound";
}

// A "data" size that claims more than the entry holds stops at the entry's end instead of
// streaming whatever follows it in the file (the next entry of an archive).
TEST_F(SoundThreadTest, ADataSizeBeyondTheEntryIsCutToTheEntry)
{
    SoundPtr sound(new CWaveSoundThread);
    ASSERT_TRUE(sound->Create(STEREO_16, WORK_SIZE));
    Settle(1);
    const std::vector<int16_t> data = QuietPattern(4000, 2);
    std::vector<uint8_t> bytes = tools::WriteWav(StereoWav(data));
    bytes[40] = 0xFF; // the data chunk's size, now about 4 GB
    bytes[41] = 0xFF;
    bytes[42] = 0xFF;
    bytes[43] = 0x7F;
    const std::vector<int16_t> next_entry(20000, 2500);
    const std::vector<uint8_t> trailing = tools::Pcm16Bytes(next_entry);
    bytes.insert(bytes.end(), trailing.begin(), trailing.end());
    const std::string path = m_dir.PathOf("inflated.wav");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::u16string wide = platform::Utf8ToUtf16(path);
    HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(sound->ReadWaveHeader(file));
    CloseHandle(file);
    ASSERT_TRUE(sound->Start());
    for (int i = 0; i < 10; ++i)
        Pass(50, 1);
    EXPECT_FALSE(sound->GetStatus() & DSBSTATUS_PLAYING);
    const std::vector<int16_t> out = TakeOutput();
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 8000), data);
    for (size_t i = 8000; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0) << "frame " << i / 2;
}

TEST_F(SoundThreadTest, EffectSettersRefuseBandsThatDoNotExist)
{
    SoundPtr sound(new CWaveSoundThread);
    ASSERT_TRUE(sound->Create(STEREO_16, WORK_SIZE));
    EXPECT_EQ(sound->SetEqualizerGain(9, 6.0f), DS_OK);
    EXPECT_EQ(sound->SetEqualizerGain(10, 6.0f), E_INVALIDARG);
    EXPECT_EQ(sound->SetEqualizerGain(0, 16.0f), DSERR_INVALIDPARAM); // beyond +-15 dB
    EXPECT_EQ(sound->SetEchoMix(30.0f), DS_OK);
    EXPECT_EQ(sound->SetCompressorGain(-3.0f), DS_OK);
    sound->EnableEffects(false);
    DWORD frequency = 0;
    sound->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 44100u) << "effects off puts the speed back to normal";
}

// The way a channel plays a sound: the entry is found in an archive, a handle on the archive
// file is duplicated at the entry's start, and the sound reads only that entry through it.
TEST_F(SoundThreadTest, AnArchiveEntryPlaysThroughADuplicatedHandle)
{
    WorkingDir folder;
    FakeDocumentLink document;
    const std::vector<int16_t> first = QuietPattern(30000, 2, 1);
    const std::vector<int16_t> wanted = QuietPattern(44100, 2, 2);
    const std::vector<int16_t> after(60000, 2500);
    tools::WavContents looped = StereoWav(first);
    looped.loop = tools::WavLoop{.start = 0, .end = 30000};
    const std::vector<tools::ArchiveEntry> entries = {{"A.WAV", tools::WriteWav(looped)},
                                                      {"B.WAV", tools::WriteWav(StereoWav(wanted))},
                                                      {"C.WAV", tools::WriteWav(StereoWav(after))}};
    folder.Write("music.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Plain));
    CArchiveManager archives("music.arc", false, true);
    ASSERT_TRUE(archives.OpenEntry("B.WAV"));
    HANDLE entry = archives.DuplicateEntryHandle();
    ASSERT_NE(entry, nullptr);

    SoundPtr sound(new CWaveSoundNotify);
    ASSERT_TRUE(sound->Create(STEREO_16, WORK_SIZE));
    Settle(2);
    ASSERT_TRUE(sound->ReadWaveHeader(entry));
    CloseHandle(entry); // the sound keeps a duplicate of its own
    archives.CloseEntry();
    ASSERT_TRUE(sound->Start());
    for (int i = 0; i < 150 && (sound->GetStatus() & DSBSTATUS_PLAYING); ++i)
        Pass(10, 2);
    EXPECT_FALSE(sound->GetStatus() & DSBSTATUS_PLAYING);
    const std::vector<int16_t> out = TakeOutput();
    ASSERT_GE(out.size(), wanted.size());
    EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(wanted.size())),
              wanted);
    for (size_t i = wanted.size(); i < out.size(); ++i)
        ASSERT_EQ(out[i], 0) << "frame " << i / 2 << " comes from beyond the entry";
}
