// The Ogg sound objects on the null device, stepped by hand, in both driving forms: loop seams,
// ends, decoder failures, mixing a stereo stream down, pitch and teardown.

#include "sound/COggSoundThread.h"
#include "sound/COggSoundNotify.h"

#include "OggTestSupport.h"
#include "SoundTestSupport.h"
#include "foundation/ScopedLock.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/ThreadFailure.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"
#include "support/ThreadTest.h"

#include <atomic>
#include <cmath>
#include <fstream>
#include <memory>
#include <thread>

namespace {

constexpr WAVEFORMATEX MONO_16 = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

struct SoundDeleter
{
    void operator()(CWaveSoundThread* sound) const
    {
        sound->Destroy();
        delete sound;
    }
};
template <class T>
using OggPtr = std::unique_ptr<T, SoundDeleter>;

enum class Driver
{
    Polling,
    Notify
};

class OggStreamingThreadTest : public SoundThreadTest, public ::testing::WithParamInterface<Driver>
{
protected:
    // Both forms share their Ogg side; the tests reach it through the polled one's interface.
    using Ogg = OggStreaming<CWaveSoundThread>;
    using OggNotify = OggStreaming<CWaveSoundNotify>;

    void Make()
    {
        if (GetParam() == Driver::Polling) {
            m_polled.reset(new COggSoundThread);
            ASSERT_TRUE(m_polled->Create(MONO_16, 0));
        } else {
            m_notified.reset(new COggSoundNotify);
            ASSERT_TRUE(m_notified->Create(MONO_16, 0));
        }
        Settle(Threads());
    }
    CWaveSoundThread& Sound() { return m_polled ? static_cast<CWaveSoundThread&>(*m_polled) : *m_notified; }
    bool OpenOgg(const std::vector<uint8_t>& entry, uint32_t offset = 0)
    {
        std::vector<uint8_t> bytes(offset, 0x4F);
        bytes.insert(bytes.end(), entry.begin(), entry.end());
        m_path = m_dir.PathOf("voice" + std::to_string(m_files.size()) + ".ogg");
        HANDLE file = OpenBytes(m_path, bytes);
        m_files.push_back(file);
        const auto size = static_cast<DWORD>(entry.size());
        return m_polled ? m_polled->OpenOggData(file, offset, size)
                        : m_notified->OpenOggData(file, offset, size);
    }
    uint32_t TotalSize() const { return m_polled ? m_polled->GetTotalSize() : m_notified->GetTotalSize(); }
    size_t Threads() const { return GetParam() == Driver::Polling ? 1 : 2; }
    uint32_t Tick() const { return GetParam() == Driver::Polling ? 50 : 10; }
    void Run(uint32_t milliseconds)
    {
        for (uint32_t t = 0; t < milliseconds; t += Tick())
            Pass(Tick(), Threads());
    }
    bool IsPlaying() { return (Sound().GetStatus() & DSBSTATUS_PLAYING) != 0; }
    // The left channel of what was mixed (a mono buffer plays the same on both sides).
    std::vector<int16_t> TakeLeft()
    {
        const std::vector<int16_t> out = TakeOutput();
        std::vector<int16_t> left(out.size() / 2);
        for (size_t i = 0; i < left.size(); ++i) {
            EXPECT_EQ(out[2 * i], out[2 * i + 1]);
            left[i] = out[2 * i];
        }
        return left;
    }

    platform::ScriptedMessageBoxPolicy m_boxes;
    OggPtr<COggSoundThread> m_polled;
    OggPtr<COggSoundNotify> m_notified;
    std::string m_path;
};

// A buffer whose Stop stops the real one and then reports a failure.
class StopFailing final : public IDirectSoundBuffer8
{
public:
    explicit StopFailing(IDirectSoundBuffer8* real)
        : m_real(real)
    {}
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return m_real->QueryInterface(riid, object);
    }
    ULONG AddRef() override { return m_real->AddRef(); }
    ULONG Release() override { return m_real->Release(); }
    HRESULT GetCaps(LPDSBCAPS caps) override { return m_real->GetCaps(caps); }
    HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) override
    {
        return m_real->GetCurrentPosition(play, write);
    }
    HRESULT GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) override
    {
        return m_real->GetFormat(format, size, written);
    }
    HRESULT GetVolume(LPLONG volume) override { return m_real->GetVolume(volume); }
    HRESULT GetPan(LPLONG pan) override { return m_real->GetPan(pan); }
    HRESULT GetFrequency(LPDWORD frequency) override { return m_real->GetFrequency(frequency); }
    HRESULT GetStatus(LPDWORD status) override { return m_real->GetStatus(status); }
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* part1, LPDWORD bytes1, LPVOID* part2, LPDWORD bytes2,
                 DWORD flags) override
    {
        return m_real->Lock(offset, bytes, part1, bytes1, part2, bytes2, flags);
    }
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override
    {
        return m_real->Play(reserved, priority, flags);
    }
    HRESULT SetCurrentPosition(DWORD position) override { return m_real->SetCurrentPosition(position); }
    HRESULT SetFormat(LPCWAVEFORMATEX format) override { return m_real->SetFormat(format); }
    HRESULT SetVolume(LONG volume) override { return m_real->SetVolume(volume); }
    HRESULT SetPan(LONG pan) override { return m_real->SetPan(pan); }
    HRESULT SetFrequency(DWORD frequency) override { return m_real->SetFrequency(frequency); }
    HRESULT Stop() override
    {
        m_real->Stop();
        return DSERR_GENERIC;
    }
    HRESULT Unlock(LPVOID part1, DWORD bytes1, LPVOID part2, DWORD bytes2) override
    {
        return m_real->Unlock(part1, bytes1, part2, bytes2);
    }
    HRESULT Restore() override { return m_real->Restore(); }
    HRESULT SetFX(DWORD count, LPDSEFFECTDESC effects, LPDWORD codes) override
    {
        return m_real->SetFX(count, effects, codes);
    }
    HRESULT GetObjectInPath(REFGUID object, DWORD index, REFGUID interface_id, LPVOID* result) override
    {
        return m_real->GetObjectInPath(object, index, interface_id, result);
    }

private:
    IDirectSoundBuffer8* m_real;
};

// Either form with its buffer open to the test.
template <class Base>
class Probe final : public OggStreaming<Base>
{
public:
    void SwapBuffer(IDirectSoundBuffer8*& other)
    {
        ScopedLock lock(this->m_lock);
        std::swap(this->m_buffer, other);
    }
    IDirectSoundBuffer8* Buffer() const { return this->m_buffer; }
};

// The notified form with its segment events open to the test and its refills counted.
class SegmentProbe final : public OggStreaming<CWaveSoundNotify>
{
public:
    void SignalSegment(DWORD k) { m_segment_events[k].Set(); }
    void Pause()
    {
        ScopedLock lock(m_lock);
        StopBuffer();
    }
    void FillSegment(DWORD segment) override
    {
        ++fills;
        OggStreaming<CWaveSoundNotify>::FillSegment(segment);
    }
    std::atomic<int> fills{0};
};

std::string DriverName(const ::testing::TestParamInfo<Driver>& info)
{
    return info.param == Driver::Polling ? "Polling" : "Notify";
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Drivers, OggStreamingThreadTest, ::testing::Values(Driver::Polling, Driver::Notify),
                         DriverName);

TEST_P(OggStreamingThreadTest, TheLoopSeamIsSampleExact)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    struct Case
    {
        uint32_t frames;
        uint32_t start;
        uint32_t end;
        uint32_t played_end; // a loop end past the stream is pulled back to its end
    };
    for (const Case& c : {Case{132'300, 30'000, 100'000, 100'000}, Case{66'150, 20'000, 999'999, 66'150}}) {
        SCOPED_TRACE(c.end);
        const std::vector<uint8_t> file = QuietOgg(c.frames, 1, tools::OggLoopComments(c.start, c.end));
        const std::vector<int16_t> data = DecodeReference(file).samples;
        ASSERT_TRUE(OpenOgg(file, 333));
        TakeOutput();
        ASSERT_TRUE(Sound().Start());
        Run(7000);
        EXPECT_TRUE(IsPlaying()) << "a looped voice never stops by itself";
        const std::vector<int16_t> out = TakeLeft();
        ASSERT_GT(out.size(), 300'000u);
        size_t frame = 0;
        for (size_t i = 0; i < out.size(); ++i) {
            ASSERT_EQ(out[i], data[frame]) << "output frame " << i;
            if (++frame == c.played_end)
                frame = c.start;
        }
        Sound().Stop();
    }
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_P(OggStreamingThreadTest, UnloopedVoicesStopAtTheirEnd)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    // Under a segment, under the three primed seconds, and beyond the four-second buffer; a loop
    // end past the stream is pulled back to it, and a loop start at the end plays once.
    struct Case
    {
        uint32_t frames;
        std::vector<std::string> comments;
    };
    for (const Case& c : {Case{20'000, {}}, Case{66'150, {}}, Case{233'000, {}},
                          Case{50'000, tools::OggLoopComments(50'000, 90'000)}}) {
        SCOPED_TRACE(c.frames);
        const std::vector<uint8_t> file = QuietOgg(c.frames, 1, c.comments);
        const std::vector<int16_t> data = DecodeReference(file).samples;
        ASSERT_TRUE(OpenOgg(file));
        EXPECT_EQ(TotalSize(), c.frames * 2);
        TakeOutput();
        const uint64_t start = FramesMixed();
        ASSERT_TRUE(Sound().Start());
        uint64_t stopped_at = 0;
        for (uint32_t t = 0; t < c.frames / 44 + 1000 && !stopped_at; t += Tick()) {
            Pass(Tick(), Threads());
            if (!IsPlaying())
                stopped_at = FramesMixed() - start;
        }
        ASSERT_NE(stopped_at, 0u) << "the voice never stopped";
        EXPECT_GE(stopped_at, c.frames);
        EXPECT_LE(stopped_at, c.frames + Tick() * 441 / 10 + 441);
        const std::vector<int16_t> out = TakeLeft();
        ASSERT_GE(out.size(), c.frames);
        for (size_t i = 0; i < c.frames; ++i)
            ASSERT_EQ(out[i], data[i]) << "frame " << i;
        for (size_t i = c.frames; i < out.size(); ++i)
            ASSERT_EQ(out[i], 0) << "frame " << i;
    }
}

TEST_P(OggStreamingThreadTest, AStereoStreamIsMixedDownForTheMonoFormat)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    const std::vector<uint8_t> file = QuietOgg(60'000, 2);
    const std::vector<int16_t> data = DecodeReference(file).samples;
    ASSERT_TRUE(OpenOgg(file));
    EXPECT_EQ(TotalSize(), 60'000u * 2) << "one mono frame per stereo frame: not half speed";
    TakeOutput();
    ASSERT_TRUE(Sound().Start());
    Run(2000);
    EXPECT_FALSE(IsPlaying());
    const std::vector<int16_t> out = TakeLeft();
    ASSERT_GE(out.size(), 60'000u);
    for (size_t i = 0; i < 60'000; ++i)
        ASSERT_EQ(out[i], std::lround((data[2 * i] + data[2 * i + 1]) / 2.0)) << "frame " << i;
}

TEST_P(OggStreamingThreadTest, GarbagePlaysNothingAndFailsOnce)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    EXPECT_FALSE(OpenOgg(tools::WithGarbagePrefix(QuietOgg(44'100, 1), 5000)));
    EXPECT_EQ(Sound().GetStatusCode(), SOUND_STATUS_DECODER_ATTACH);
    EXPECT_FALSE(Sound().Start());
    EXPECT_EQ(Sound().GetStatusCode(), SOUND_STATUS_NO_FILE) << "nothing half-made plays";
    Run(500);
    const std::vector<int16_t> out = TakeOutput();
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
    ASSERT_EQ(m_boxes.Shown().size(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, u"return error [ ogg_sync_pageout() ]");
    EXPECT_EQ(m_boxes.Shown()[0].caption, u"エラー");
}

TEST_P(OggStreamingThreadTest, ADecoderErrorMidStreamEndsTheVoiceAndReportsOnce)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    // Looped, so only the error can end it.
    const std::vector<uint8_t> file = QuietOgg(441'000, 1, tools::OggLoopComments(0, 441'000));
    ASSERT_TRUE(OpenOgg(file));
    ASSERT_TRUE(Sound().Start());
    // The entry is damaged on disk after it was measured: a page beyond the primed seconds.
    {
        std::fstream damage(m_path, std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp(static_cast<std::streamoff>(file.size() * 6 / 10));
        const std::string junk(3000, 'x');
        damage.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    for (int i = 0; i < 2000 / static_cast<int>(Tick()) * 10 && IsPlaying(); ++i)
        Pass(Tick(), Threads());
    EXPECT_FALSE(IsPlaying()) << "the voice went on after its data broke";
    ASSERT_EQ(m_boxes.Shown().size(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, u"return error [ ogg_sync_pageout() ]");
}

TEST_P(OggStreamingThreadTest, AStreamShorterThanItClaimsEndsInsteadOfWaiting)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    // It claims 5 s and holds 1 s, and it loops over what it claims: once the decoder has nothing
    // more, the data ends instead of the fill waiting for bytes that never come.
    const std::vector<uint8_t> file =
        tools::WithLastGranule(QuietOgg(44'100, 1, tools::OggLoopComments(1000, 220'500)), 220'500);
    const std::vector<int16_t> data = DecodeReference(file).samples;
    ASSERT_TRUE(OpenOgg(file));
    EXPECT_EQ(TotalSize(), 220'500u * 2);
    TakeOutput();
    ASSERT_TRUE(Sound().Start());
    for (int i = 0; i < 20'000 / static_cast<int>(Tick()) && IsPlaying(); ++i)
        Pass(Tick(), Threads());
    EXPECT_FALSE(IsPlaying()) << "the voice never ended";
    const std::vector<int16_t> out = TakeLeft();
    ASSERT_GE(out.size(), 44'100u);
    for (size_t i = 0; i < 44'100; ++i)
        ASSERT_EQ(out[i], data[i]) << "frame " << i;
    EXPECT_TRUE(m_boxes.Shown().empty()) << "a short stream is no decoder error";
}

TEST_P(OggStreamingThreadTest, PitchShiftsOnlyFromOneSemitoneWithEffectsOn)
{
    ASSERT_NO_FATAL_FAILURE(Make());
    const std::vector<uint8_t> file = QuietOgg(30'000, 1);
    const std::vector<int16_t> data = DecodeReference(file).samples;
    Sound().EnableEffects(true);
    struct Case
    {
        float pitch;
        bool shifted;
    };
    // SetPitch takes octaves: 0.05 is 0.6 semitones, which truncates to none.
    for (const Case& c : {Case{0.0f, false}, Case{0.05f, false}, Case{0.5f, true}}) {
        SCOPED_TRACE(c.pitch);
        Sound().SetPitch(c.pitch);
        ASSERT_TRUE(OpenOgg(file));
        TakeOutput();
        ASSERT_TRUE(Sound().Start());
        Run(1000);
        const std::vector<int16_t> out = TakeLeft();
        ASSERT_GE(out.size(), 30'000u);
        const bool same = std::equal(data.begin(), data.end(), out.begin());
        EXPECT_EQ(same, !c.shifted);
        if (c.shifted) {
            EXPECT_TRUE(std::any_of(out.begin(), out.begin() + 30'000, [](int16_t s) { return s != 0; }));
        }
    }
}

TEST_P(OggStreamingThreadTest, DestroyingWhilePlayingAndFadingJoinsItsThreads)
{
    const std::vector<uint8_t> file = QuietOgg(88'200, 1, tools::OggLoopComments(0, 88'200));
    for (int round = 0; round < 6; ++round) {
        ASSERT_NO_FATAL_FAILURE(Make());
        ASSERT_TRUE(OpenOgg(file));
        ASSERT_TRUE(Sound().Start());
        EXPECT_EQ(Sound().FadeTo(100, -3000, 1), GetParam() == Driver::Notify)
            << "the polled form has no fades";
        Pass(Tick(), Threads());
        std::atomic<bool> done{false};
        std::thread mixer([&] {
            while (!done)
                m_null->Advance(64);
        });
        m_polled.reset();
        m_notified.reset();
        done = true;
        mixer.join();
    }
}

TEST_P(OggStreamingThreadTest, AStreamingThreadThatCannotStartGivesStatus36)
{
    OggPtr<CWaveSoundThread> sound(GetParam() == Driver::Polling
                                       ? static_cast<CWaveSoundThread*>(new COggSoundThread)
                                       : new COggSoundNotify);
    platform::FailNextThreadStarts(1);
    const bool created = sound->Create(MONO_16, 0);
    platform::FailNextThreadStarts(0);
    EXPECT_FALSE(created);
    EXPECT_EQ(sound->GetStatusCode(), SOUND_STATUS_OGG_THREAD);
}

TEST_P(OggStreamingThreadTest, AStopThatFailsStillClosesTheVoiceWithStatusZero)
{
    const std::vector<uint8_t> file = QuietOgg(44'100, 1);
    const auto check = [&](auto& sound) {
        ASSERT_TRUE(sound.Create(MONO_16, 0));
        Settle(Threads());
        HANDLE data = OpenBytes(m_dir.PathOf("stop.ogg"), file);
        m_files.push_back(data);
        ASSERT_TRUE(sound.OpenOggData(data, 0, static_cast<DWORD>(file.size())));
        ASSERT_TRUE(sound.Start());
        Pass(Tick(), Threads());
        StopFailing failing(sound.Buffer());
        IDirectSoundBuffer8* other = &failing;
        sound.SwapBuffer(other);
        EXPECT_FALSE(sound.Stop());
        sound.SwapBuffer(other);
        EXPECT_EQ(sound.GetStatusCode(), SOUND_STATUS_OK);
        EXPECT_FALSE(sound.Start()) << "the data was closed";
        sound.Destroy();
    };
    if (GetParam() == Driver::Polling) {
        Probe<CWaveSoundThread> sound;
        check(sound);
    } else {
        Probe<CWaveSoundNotify> sound;
        check(sound);
    }
}

TEST_P(OggStreamingThreadTest, ANotifiedVoiceRefillsOnlyWhilePlaying)
{
    if (GetParam() == Driver::Polling)
        GTEST_SKIP() << "the polled form has no notifications";
    const std::vector<uint8_t> file = QuietOgg(233'000, 1);
    SegmentProbe sound;
    ASSERT_TRUE(sound.Create(MONO_16, 0));
    Settle(Threads());
    HANDLE data = OpenBytes(m_dir.PathOf("long.ogg"), file);
    m_files.push_back(data);
    ASSERT_TRUE(sound.OpenOggData(data, 0, static_cast<DWORD>(file.size())));
    ASSERT_TRUE(sound.Start());
    Run(1500);
    const int playing = sound.fills;
    EXPECT_GT(playing, 0) << "a segment played is refilled";
    sound.Pause();
    Settle(Threads());
    sound.SignalSegment(2);
    Settle(Threads());
    EXPECT_EQ(sound.fills, playing) << "a paused voice's stream stays where it is";
    sound.Destroy();
}
