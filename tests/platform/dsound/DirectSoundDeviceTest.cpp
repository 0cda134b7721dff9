#include "platform/dsound/AudioDevice.h"
#include "platform/dsound/DSoundApi.h"
#include "platform/dsound/SecondarySoundBuffer.h"
#include "platform/dsound/null/NullAudioDevice.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/LayerClock.h"
#include "platform/kernel/SyncApi.h"

#include "platform/kernel/VirtualClock.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits)
{
    const WORD block = static_cast<WORD>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * block, block, bits, 0};
}

class DirectSoundDeviceThreadTest : public ThreadTest
{
protected:
    void SetUp() override
    {
        setenv("VESK_HEADLESS", "1", 1);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &m_device, nullptr), DS_OK);
        ASSERT_EQ(m_device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
        m_null = platform::GetNullAudioDevice();
        ASSERT_NE(m_null, nullptr);
        m_null->SetClockDriven(false); // stepped by hand
        m_null->SetClockDriven(false); // stepped by hand
        m_null->StartCapture();
    }
    void TearDown() override
    {
        for (IDirectSoundBuffer8* buffer : m_buffers)
            buffer->Release();
        for (HANDLE event : m_events)
            CloseHandle(event);
        m_device->Release();
    }

    IDirectSoundBuffer8* MakeBuffer(const WAVEFORMATEX& format, DWORD bytes, DWORD flags)
    {
        WAVEFORMATEX copy = format;
        DSBUFFERDESC description{sizeof(DSBUFFERDESC), flags, bytes, 0, &copy, GUID_NULL};
        IDirectSoundBuffer* first = nullptr;
        EXPECT_EQ(m_device->CreateSoundBuffer(&description, &first, nullptr), DS_OK);
        IDirectSoundBuffer8* buffer = nullptr;
        EXPECT_EQ(first->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&buffer)), DS_OK);
        first->Release();
        m_buffers.push_back(buffer);
        return buffer;
    }

    static void Write(IDirectSoundBuffer8* buffer, DWORD offset, const void* bytes, DWORD size)
    {
        void* part1 = nullptr;
        void* part2 = nullptr;
        DWORD bytes1 = 0;
        DWORD bytes2 = 0;
        ASSERT_EQ(buffer->Lock(offset, size, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
        std::memcpy(part1, bytes, bytes1);
        if (part2)
            std::memcpy(part2, static_cast<const uint8_t*>(bytes) + bytes1, bytes2);
        ASSERT_EQ(buffer->Unlock(part1, bytes1, part2, bytes2), DS_OK);
    }

    HANDLE MakeEvent()
    {
        HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_events.push_back(event);
        return event;
    }

    static bool IsSet(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

    // One frame of the capture: {left, right}.
    std::vector<int16_t> Mix(uint32_t frames)
    {
        m_null->Advance(frames);
        return m_null->TakeCapture();
    }

    IDirectSound8* m_device = nullptr;
    platform::NullAudioDevice* m_null = nullptr;
    std::vector<IDirectSoundBuffer8*> m_buffers;
    std::vector<HANDLE> m_events;
};

constexpr DWORD BASIC =
    DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPOSITIONNOTIFY;

// Distinct quiet values, so a misplaced frame shows.
std::vector<int16_t> Pattern(size_t samples)
{
    std::vector<int16_t> out(samples);
    uint32_t state = 12345;
    for (int16_t& s : out) {
        state = state * 1103515245u + 12345u;
        s = static_cast<int16_t>(static_cast<int>((state >> 16) % 6001) - 3000);
    }
    return out;
}

} // namespace

TEST_F(DirectSoundDeviceThreadTest, PlaysSamplesUnchangedAndWrapsWhenLooping)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 4000, BASIC);
    const std::vector<int16_t> data = Pattern(2000);
    Write(buffer, 0, data.data(), 4000);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const std::vector<int16_t> out = Mix(2500);
    ASSERT_EQ(out.size(), 5000u);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], data[i % 2000]) << "sample " << i;
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
}

TEST_F(DirectSoundDeviceThreadTest, TheDumpIsAWavFileOfWhatWasMixed)
{
    TempDir dir;
    const std::string path = dir.PathOf("dump.wav");
    ASSERT_TRUE(m_null->StartDump(path));
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 4000, BASIC);
    const std::vector<int16_t> data = Pattern(2000);
    Write(buffer, 0, data.data(), 4000);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const std::vector<int16_t> out = Mix(3000);
    // Readable at any time, not only once the device is gone.
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 44u + 12000u);
    auto le32 = [&](size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24;
    };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(le32(4), 36 + 12000);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(24), 44100);
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(le32(40), 12000);
    EXPECT_EQ(std::memcmp(bytes.data() + 44, out.data(), 12000), 0);
}

TEST_F(DirectSoundDeviceThreadTest, VolumeAndPanAreHundredthsOfADecibel)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 400, BASIC);
    std::vector<int16_t> loud(200, 10000);
    Write(buffer, 0, loud.data(), 400);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    struct Case
    {
        LONG volume;
        LONG pan;
        int16_t left;
        int16_t right;
    };
    // -6 dB is 10^(-600/2000) = 0.50119 of the amplitude: 10000 -> 5012.
    const Case cases[] = {{0, 0, 10000, 10000},   {-600, 0, 5012, 5012}, {-10000, 0, 0, 0},
                          {0, 10000, 0, 10000},   {0, -10000, 10000, 0}, {0, -600, 10000, 5012},
                          {-600, 600, 2512, 5012}};
    for (const Case& c : cases) {
        ASSERT_EQ(buffer->SetVolume(c.volume), DS_OK);
        ASSERT_EQ(buffer->SetPan(c.pan), DS_OK);
        const std::vector<int16_t> out = Mix(10);
        EXPECT_EQ(out[0], c.left) << c.volume << "/" << c.pan;
        EXPECT_EQ(out[1], c.right) << c.volume << "/" << c.pan;
    }
    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetPan(10001), DSERR_INVALIDPARAM);
    LONG volume = 1;
    buffer->GetVolume(&volume);
    EXPECT_EQ(volume, -600); // the last value set
}

// A silent voice, muted or stopped, adds nothing yet keeps its place; a voice before them is heard.
TEST_F(DirectSoundDeviceThreadTest, SilentVoicesAddNothingAndKeepTheirPlace)
{
    IDirectSoundBuffer8* heard = MakeBuffer(Pcm(2, 44100, 16), 4000, BASIC);
    IDirectSoundBuffer8* muted = MakeBuffer(Pcm(2, 44100, 16), 4000, BASIC);
    IDirectSoundBuffer8* stopped = MakeBuffer(Pcm(2, 44100, 16), 4000, BASIC);
    const std::vector<int16_t> data = Pattern(2000);
    for (IDirectSoundBuffer8* buffer : {muted, stopped, heard})
        Write(buffer, 0, data.data(), 4000);
    ASSERT_EQ(muted->SetVolume(DSBVOLUME_MIN), DS_OK);
    ASSERT_EQ(muted->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(Mix(300), std::vector<int16_t>(600, 0));
    DWORD play = 0;
    muted->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 1200u);
    ASSERT_EQ(heard->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const std::vector<int16_t> out = Mix(700);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], data[i]) << "sample " << i;
}

TEST_F(DirectSoundDeviceThreadTest, MonoPlaysOnBothSidesAndEightBitCentresOn128)
{
    IDirectSoundBuffer8* mono = MakeBuffer(Pcm(1, 44100, 16), 200, BASIC);
    std::vector<int16_t> value(100, 1234);
    Write(mono, 0, value.data(), 200);
    mono->Play(0, 0, DSBPLAY_LOOPING);
    std::vector<int16_t> out = Mix(4);
    EXPECT_EQ(out, (std::vector<int16_t>{1234, 1234, 1234, 1234, 1234, 1234, 1234, 1234}));
    mono->Stop();

    IDirectSoundBuffer8* bytes = MakeBuffer(Pcm(1, 44100, 8), 100, BASIC);
    std::vector<uint8_t> data(100, 0xC0);
    data[1] = 0x80;
    data[2] = 0x00;
    Write(bytes, 0, data.data(), 100);
    bytes->Play(0, 0, DSBPLAY_LOOPING);
    out = Mix(3);
    // (0xC0 - 128) x 256 = 16384; 0x80 is silence; 0x00 is -32768.
    EXPECT_EQ(out, (std::vector<int16_t>{16384, 16384, 0, 0, -32768, -32768}));
}

TEST_F(DirectSoundDeviceThreadTest, FrequencyResamplesBetweenFrames)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(1, 22050, 16), 2000, BASIC);
    std::vector<int16_t> ramp(1000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i * 10);
    Write(buffer, 0, ramp.data(), 2000);
    DWORD frequency = 0;
    buffer->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 22050u);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    std::vector<int16_t> out = Mix(5);
    // Half the mixer's rate: every second output frame lies halfway between two frames.
    EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 5, 5, 10, 10, 15, 15, 20, 20}));

    // Back at the mixer's rate the half frame is dropped and stored samples come out unchanged.
    ASSERT_EQ(buffer->SetFrequency(44100), DS_OK);
    out = Mix(3);
    EXPECT_EQ(out[0], 20);
    EXPECT_EQ(out[2], 30);
    EXPECT_EQ(out[4], 40);
    ASSERT_EQ(buffer->SetFrequency(0), DS_OK);
    buffer->GetFrequency(&frequency);
    EXPECT_EQ(frequency, 22050u);
    EXPECT_EQ(buffer->SetFrequency(99), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundDeviceThreadTest, NotificationsFireOncePerPassStartingAtOffsetZero)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 16000, BASIC); // 4000 frames
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
    HANDLE at[4] = {MakeEvent(), MakeEvent(), MakeEvent(), MakeEvent()};
    HANDLE stopped = MakeEvent();
    const DSBPOSITIONNOTIFY positions[] = {
        {0, at[0]}, {4000, at[1]}, {8000, at[2]}, {12000, at[3]}, {DSBPN_OFFSETSTOP, stopped}};
    ASSERT_EQ(notify->SetNotificationPositions(5, positions), DS_OK);

    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(notify->SetNotificationPositions(5, positions), DSERR_INVALIDCALL);
    Mix(1);
    EXPECT_TRUE(IsSet(at[0])) << "the position play starts from";
    EXPECT_FALSE(IsSet(at[1]));
    Mix(999);
    EXPECT_FALSE(IsSet(at[1])) << "frame 1000 has not played yet";
    Mix(1);
    EXPECT_TRUE(IsSet(at[1]));
    for (HANDLE event : at)
        ResetEvent(event);
    Mix(2999); // to the end of the first pass
    EXPECT_FALSE(IsSet(at[0]));
    EXPECT_FALSE(IsSet(at[1])) << "once per pass";
    EXPECT_TRUE(IsSet(at[2]));
    EXPECT_TRUE(IsSet(at[3]));
    Mix(1);
    EXPECT_TRUE(IsSet(at[0])) << "the second pass";
    EXPECT_FALSE(IsSet(stopped));
    buffer->Stop();
    EXPECT_TRUE(IsSet(stopped));
    notify->Release();

    const DSBPOSITIONNOTIFY outside[] = {{16000, at[0]}};
    IDirectSoundNotify* again = nullptr;
    buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&again));
    EXPECT_EQ(again->SetNotificationPositions(1, outside), DSERR_INVALIDPARAM);
    again->Release();
}

TEST_F(DirectSoundDeviceThreadTest, StopKeepsThePositionAndTheWriteCursorLeadsWhilePlaying)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 16000, BASIC);
    const std::vector<int16_t> data = Pattern(8000);
    Write(buffer, 0, data.data(), 16000);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    Mix(300);
    DWORD play = 0;
    DWORD write = 0;
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 1200u);
    EXPECT_EQ(write, (300u + platform::NullAudioDevice::PERIOD_FRAMES) * 4);
    buffer->Stop();
    buffer->GetCurrentPosition(&play, &write);
    EXPECT_EQ(play, 1200u);
    EXPECT_EQ(write, 1200u);
    EXPECT_EQ(Mix(5), std::vector<int16_t>(10, 0)) << "a stopped buffer is silent";
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    const std::vector<int16_t> out = Mix(2);
    EXPECT_EQ(out, std::vector<int16_t>(data.begin() + 600, data.begin() + 604));
}

TEST_F(DirectSoundDeviceThreadTest, AnUnloopedBufferStopsAtItsEnd)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 400, BASIC);
    IDirectSoundNotify* notify = nullptr;
    buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify));
    HANDLE stopped = MakeEvent();
    const DSBPOSITIONNOTIFY positions[] = {{DSBPN_OFFSETSTOP, stopped}};
    notify->SetNotificationPositions(1, positions);
    notify->Release();
    std::vector<int16_t> data(200, 700);
    Write(buffer, 0, data.data(), 400);
    buffer->Play(0, 0, 0);
    const std::vector<int16_t> out = Mix(150);
    EXPECT_EQ(out[199], 700);
    EXPECT_EQ(out[200], 0);
    DWORD status = 1;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(IsSet(stopped));
}

TEST_F(DirectSoundDeviceThreadTest, LockSplitsAtTheEndOfTheRing)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 1000, BASIC);
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    ASSERT_EQ(buffer->Lock(800, 400, &part1, &bytes1, &part2, &bytes2, 0), DS_OK);
    EXPECT_EQ(bytes1, 200u);
    EXPECT_EQ(bytes2, 200u);
    EXPECT_EQ(static_cast<uint8_t*>(part1) - static_cast<uint8_t*>(part2), 800);
    buffer->Unlock(part1, bytes1, part2, bytes2);
    EXPECT_EQ(buffer->Lock(0, 1001, &part1, &bytes1, &part2, &bytes2, 0), DSERR_INVALIDPARAM);
}

// A writer that fell behind writes where the mixer reads: through the ring's own write the two
// never touch a byte at once (ThreadSanitizer sees the race a Lock and a copy make).
TEST_F(DirectSoundDeviceThreadTest, TheRingsOwnWriteNeverMeetsTheMixerHalfWay)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 4000, BASIC);
    auto* ring = dynamic_cast<platform::SecondarySoundBuffer*>(buffer);
    ASSERT_NE(ring, nullptr);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    std::atomic<bool> done{false};
    std::thread mixer([&] {
        while (!done)
            m_null->Advance(64);
    });
    std::vector<int16_t> frames(1000 * 2);
    for (int pass = 0; pass < 200; ++pass) {
        std::fill(frames.begin(), frames.end(), static_cast<int16_t>(pass * 100));
        EXPECT_EQ(ring->WriteRing(static_cast<DWORD>(pass * 16 % 4000), frames.data(), 4000), DS_OK);
    }
    done = true;
    mixer.join();
    EXPECT_EQ(ring->WriteRing(4000, frames.data(), 4), DSERR_INVALIDPARAM);
    EXPECT_EQ(ring->WriteRing(0, frames.data(), 4004), DSERR_INVALIDPARAM);
}

TEST_F(DirectSoundDeviceThreadTest, ThePrimaryBufferNeedsThePriorityLevelAndTakesAFormat)
{
    IDirectSound8* other = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &other, nullptr), DS_OK);
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr, GUID_NULL};
    IDirectSoundBuffer* primary = nullptr;
    EXPECT_EQ(other->CreateSoundBuffer(&description, &primary, nullptr), DSERR_PRIOLEVELNEEDED);
    other->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    ASSERT_EQ(other->CreateSoundBuffer(&description, &primary, nullptr), DS_OK);
    const WAVEFORMATEX format = Pcm(2, 44100, 16);
    EXPECT_EQ(primary->SetFormat(&format), DS_OK);
    IDirectSoundBuffer8* eight = nullptr;
    EXPECT_EQ(primary->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&eight)),
              E_NOINTERFACE);
    DSCAPS caps{};
    caps.dwSize = sizeof(DSCAPS);
    EXPECT_EQ(other->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwMaxSecondarySampleRate, DSBFREQUENCY_MAX);
    primary->Release();
    other->Release();
}

TEST_F(DirectSoundDeviceThreadTest, NotificationNeedsItsCapability)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 1000, DSBCAPS_CTRLVOLUME);
    IDirectSoundNotify* notify = nullptr;
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)),
              E_NOINTERFACE);
    EXPECT_EQ(buffer->SetPan(0), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(buffer->SetFX(0, nullptr, nullptr), DSERR_CONTROLUNAVAIL);
}

// The chain the engine sets on every buffer, at the settings it leaves them: echo wet/dry 0,
// compressor gain 0, ten equaliser bands at gain 0. A quiet signal passes bit for bit.
TEST_F(DirectSoundDeviceThreadTest, TheEnginesEffectChainAtRestChangesNoSample)
{
    IDirectSoundBuffer8* buffer = MakeBuffer(Pcm(2, 44100, 16), 88200, BASIC | DSBCAPS_CTRLFX);
    DSEFFECTDESC effects[12];
    for (auto& effect : effects)
        effect = DSEFFECTDESC{sizeof(DSEFFECTDESC), DSFX_LOCSOFTWARE, GUID_DSFX_STANDARD_PARAMEQ, 0, 0};
    effects[0].guidDSFXClass = GUID_DSFX_STANDARD_ECHO;
    effects[1].guidDSFXClass = GUID_DSFX_STANDARD_COMPRESSOR;
    DWORD codes[12] = {};
    ASSERT_EQ(buffer->SetFX(12, effects, codes), DS_OK);
    EXPECT_EQ(codes[0], DSFXR_LOCSOFTWARE);

    IDirectSoundFXEcho8* echo = nullptr;
    ASSERT_EQ(buffer->GetObjectInPath(GUID_DSFX_STANDARD_ECHO, 0, IID_IDirectSoundFXEcho8,
                                      reinterpret_cast<void**>(&echo)),
              DS_OK);
    DSFXEcho echo_parameters{};
    echo->GetAllParameters(&echo_parameters);
    EXPECT_EQ(echo_parameters.fWetDryMix, 50.0f); // a new echo is half wet
    echo_parameters.fWetDryMix = 0;
    EXPECT_EQ(echo->SetAllParameters(&echo_parameters), DS_OK);
    echo->Release();
    IDirectSoundFXCompressor8* compressor = nullptr;
    ASSERT_EQ(buffer->GetObjectInPath(GUID_DSFX_STANDARD_COMPRESSOR, 0, IID_IDirectSoundFXCompressor8,
                                      reinterpret_cast<void**>(&compressor)),
              DS_OK);
    DSFXCompressor compressor_parameters{};
    compressor->GetAllParameters(&compressor_parameters);
    EXPECT_EQ(compressor_parameters.fThreshold, -20.0f);
    EXPECT_EQ(compressor_parameters.fRatio, 3.0f);
    compressor_parameters.fRatio = 101;
    EXPECT_EQ(compressor->SetAllParameters(&compressor_parameters), DSERR_INVALIDPARAM);
    compressor->Release();
    const float centres[10] = {80, 160, 320, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    for (DWORD band = 0; band < 10; ++band) {
        IDirectSoundFXParamEq8* eq = nullptr;
        ASSERT_EQ(buffer->GetObjectInPath(GUID_DSFX_STANDARD_PARAMEQ, band, IID_IDirectSoundFXParamEq8,
                                          reinterpret_cast<void**>(&eq)),
                  DS_OK);
        DSFXParamEq p{};
        eq->GetAllParameters(&p);
        p.fCenter = centres[band];
        EXPECT_EQ(eq->SetAllParameters(&p), DS_OK);
        eq->Release();
    }
    void* none = nullptr;
    EXPECT_EQ(buffer->GetObjectInPath(GUID_DSFX_STANDARD_PARAMEQ, 10, IID_IDirectSoundFXParamEq8, &none),
              DSERR_OBJECTNOTFOUND);
    EXPECT_EQ(buffer->GetObjectInPath(GUID_DSFX_STANDARD_ECHO, 0, IID_IDirectSoundFXParamEq8, &none),
              E_NOINTERFACE);

    const std::vector<int16_t> data = Pattern(44100);
    Write(buffer, 0, data.data(), 88200);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(buffer->SetFX(0, nullptr, nullptr), DSERR_INVALIDCALL) << "effects change only while stopped";
    const std::vector<int16_t> out = Mix(22050);
    EXPECT_EQ(out, data);
}

TEST_F(DirectSoundDeviceThreadTest, AnEffectBufferMustHoldAtLeast150Milliseconds)
{
    WAVEFORMATEX format = Pcm(2, 44100, 16);
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_CTRLFX, 176400 / 10, 0, &format, GUID_NULL};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(m_device->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_BUFFERTOOSMALL);
    WAVEFORMATEX odd = Pcm(6, 44100, 16);
    description.dwFlags = 0;
    description.lpwfxFormat = &odd;
    EXPECT_EQ(m_device->CreateSoundBuffer(&description, &buffer, nullptr), DSERR_BADFORMAT);
}

// Left to itself the null device plays as the layer clock moves, so a headless run hears its
// sounds start and end without a test stepping it.
using NullAudioDeviceThreadTest = ThreadTest;

TEST_F(NullAudioDeviceThreadTest, FollowsTheLayerClockByDefault)
{
    setenv("VESK_HEADLESS", "1", 1);
    platform::VirtualClock::Enable(5000);
    IDirectSound8* device = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    WAVEFORMATEX format = Pcm(2, 44100, 16);
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), 0, 176400, 0, &format, GUID_NULL};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    buffer->Play(0, 0, 0);
    platform::VirtualClock::Advance(100);
    DWORD play = 0;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (play != 4410 * 4 && std::chrono::steady_clock::now() < limit) {
        std::this_thread::yield();
        buffer->GetCurrentPosition(&play, nullptr);
    }
    EXPECT_EQ(play, 4410u * 4) << "100 ms of the clock is 4410 frames";
    buffer->Release();
    device->Release();
    platform::VirtualClock::Disable();
}

// A change to a voice lands in the mix at the clock time it was made, however late the device's
// thread would have mixed the time before it: a volume step of a fade is not heard early.
TEST_F(NullAudioDeviceThreadTest, AChangeIsMixedAtTheTimeItWasMade)
{
    setenv("VESK_HEADLESS", "1", 1);
    platform::VirtualClock::Enable(5000);
    IDirectSound8* device = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
    device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    platform::NullAudioDevice* null = platform::GetNullAudioDevice();
    ASSERT_NE(null, nullptr);
    WAVEFORMATEX format = Pcm(2, 44100, 16);
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_CTRLVOLUME, 176400, 0, &format, GUID_NULL};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
    void* part = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, 176400, &part, &bytes, nullptr, nullptr, 0), DS_OK);
    std::fill_n(static_cast<int16_t*>(part), bytes / 2, int16_t{1000});
    buffer->Unlock(part, bytes, nullptr, 0);
    null->StartCapture();
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    // 100 ms heard, then silenced at once: no thread gets to mix in between.
    platform::VirtualClock::Advance(100);
    buffer->SetVolume(DSBVOLUME_MIN);
    platform::VirtualClock::Advance(100);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (null->FramesAdvanced() < 8820 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::vector<int16_t> heard = null->TakeCapture();
    buffer->Release();
    device->Release();
    platform::VirtualClock::Disable();
    ASSERT_GE(heard.size(), 8820u * 2);
    EXPECT_EQ(std::count(heard.begin(), heard.begin() + 4410 * 2, int16_t{1000}), 4410 * 2)
        << "the first 100 ms at full volume";
    EXPECT_EQ(std::count(heard.begin() + 4410 * 2, heard.begin() + 8820 * 2, int16_t{0}), 4410 * 2)
        << "the next 100 ms silenced";
}

// On the real clock the device rests while nothing plays. A voice started during a rest begins in
// the output at the clock time it was started: the rest before it is silence, not its first frames.
TEST_F(NullAudioDeviceThreadTest, AVoiceStartedDuringARestBeginsWhenItWasStarted)
{
    setenv("VESK_HEADLESS", "1", 1);
    TempDir dir;
    const std::string path = dir.PathOf("rest.wav");
    auto wait_for = [](auto done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return done();
    };
    // A rest can run out at its limit just before the start; then the start is tried again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        setenv("VESK_SOUND_DUMP", path.c_str(), 1); // everything mixed from the device's start
        const uint64_t created_from = platform::GetLayerTime();
        IDirectSound8* device = nullptr;
        ASSERT_EQ(DirectSoundCreate8(nullptr, &device, nullptr), DS_OK);
        const uint64_t created_to = platform::GetLayerTime();
        unsetenv("VESK_SOUND_DUMP");
        device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
        platform::NullAudioDevice* null = platform::GetNullAudioDevice();
        ASSERT_NE(null, nullptr);
        WAVEFORMATEX format = Pcm(2, 44100, 16);
        DSBUFFERDESC description{sizeof(DSBUFFERDESC), 0, 4000, 0, &format, GUID_NULL};
        IDirectSoundBuffer* buffer = nullptr;
        ASSERT_EQ(device->CreateSoundBuffer(&description, &buffer, nullptr), DS_OK);
        void* part = nullptr;
        DWORD bytes = 0;
        ASSERT_EQ(buffer->Lock(0, 4000, &part, &bytes, nullptr, nullptr, 0), DS_OK);
        std::fill_n(static_cast<int16_t*>(part), bytes / 2, int16_t{1000});
        buffer->Unlock(part, bytes, nullptr, 0);

        ASSERT_TRUE(wait_for([&] { return null->IsResting(); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a stretch of silence to keep
        const uint64_t rests = null->RestsEndedByStart();
        const uint64_t play_from = platform::GetLayerTime();
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        const uint64_t play_to = platform::GetLayerTime();
        DWORD played = 0;
        EXPECT_TRUE(
            wait_for([&] { return buffer->GetCurrentPosition(&played, nullptr) == DS_OK && played > 0; }));
        const bool started_in_rest = null->RestsEndedByStart() > rests;
        buffer->Release();
        device->Release(); // closes the dump
        if (!started_in_rest)
            continue;

        std::ifstream file(path, std::ios::binary);
        const std::vector<uint8_t> wav((std::istreambuf_iterator<char>(file)),
                                       std::istreambuf_iterator<char>());
        ASSERT_GT(wav.size(), 44u);
        size_t first = 0;
        while (44 + first * 4 + 2 <= wav.size() && wav[44 + first * 4] == 0 && wav[45 + first * 4] == 0)
            ++first;
        ASSERT_LT(44 + first * 4, wav.size()) << "the voice was never heard";
        EXPECT_GE(first + 1, (play_from - created_to) * 44100 / 1000);
        EXPECT_LE(first, (play_to - created_from) * 44100 / 1000 + 1);
        return;
    }
    GTEST_SKIP() << "no start fell inside a rest";
}

// A looping stereo buffer on the headless device, notified at its start and its middle, playing
// from its start; `bytes` long, with `flags` besides the notification's.
struct NotifiedLoop
{
    explicit NotifiedLoop(DWORD bytes, DWORD flags = 0)
        : middle_offset(bytes / 2)
    {
        setenv("VESK_HEADLESS", "1", 1);
        if (DirectSoundCreate8(nullptr, &device, nullptr) != DS_OK)
            return;
        device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
        null = platform::GetNullAudioDevice();
        WAVEFORMATEX format = Pcm(2, 44100, 16);
        DSBUFFERDESC description{
            sizeof(DSBUFFERDESC), DSBCAPS_CTRLPOSITIONNOTIFY | flags, bytes, 0, &format, GUID_NULL};
        if (device->CreateSoundBuffer(&description, &buffer, nullptr) != DS_OK ||
            buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)) != DS_OK)
            return;
        DSBPOSITIONNOTIFY positions[] = {{0, start}, {middle_offset, middle}};
        if (notify->SetNotificationPositions(2, positions) == DS_OK)
            ready = buffer->Play(0, 0, DSBPLAY_LOOPING) == DS_OK;
    }
    ~NotifiedLoop()
    {
        if (buffer != nullptr)
            buffer->Stop();
        if (notify != nullptr)
            notify->Release();
        if (buffer != nullptr)
            buffer->Release();
        CloseHandle(start);
        CloseHandle(middle);
        if (device != nullptr)
            device->Release();
    }

    const DWORD middle_offset;
    IDirectSound8* device = nullptr;
    platform::NullAudioDevice* null = nullptr;
    IDirectSoundBuffer* buffer = nullptr;
    IDirectSoundNotify* notify = nullptr;
    HANDLE start = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE middle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    bool ready = false;
};

// On the real clock, while a voice plays, the device mixes where its notifications fall, not every
// few milliseconds: nothing is heard, and a look or change mixes up to its moment anyway.
TEST_F(NullAudioDeviceThreadTest, WhileAVoicePlaysTheDeviceWakesForItsNotifications)
{
    // Half a second: an event every quarter second.
    NotifiedLoop loop(88200);
    ASSERT_TRUE(loop.ready && loop.null != nullptr);
    // Three passes of the buffer, each event awaited (a hang's bound, not a pace).
    ASSERT_EQ(WaitForSingleObject(loop.middle, 10'000), WAIT_OBJECT_0);
    const uint64_t wakes = loop.null->FollowWakes();
    for (int pass = 0; pass < 3; ++pass) {
        ASSERT_EQ(WaitForSingleObject(loop.start, 10'000), WAIT_OBJECT_0) << pass;
        ASSERT_EQ(WaitForSingleObject(loop.middle, 10'000), WAIT_OBJECT_0) << pass;
    }
    // Six events; a wake that came a moment early rests again for the rest of the way.
    EXPECT_LE(loop.null->FollowWakes() - wakes, 14u);
}

// A loop that asks each turn whether its music plays, a refill or a volume step leaves the
// device's rest alone; a change that brings a notification nearer ends it.
TEST_F(NullAudioDeviceThreadTest, OnlyAChangeThatBringsAnEventNearerEndsTheDevicesRest)
{
    // Four seconds: the device rests until the next event, a second at the most.
    NotifiedLoop loop(705600, DSBCAPS_CTRLVOLUME);
    ASSERT_TRUE(loop.ready && loop.null != nullptr);
    platform::NullAudioDevice& null = *loop.null;
    IDirectSoundBuffer& buffer = *loop.buffer;
    ASSERT_EQ(WaitForSingleObject(loop.start, 10'000), WAIT_OBJECT_0);
    const auto rests = [&] {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!null.IsRestingWhilePlaying() && std::chrono::steady_clock::now() < limit)
            std::this_thread::yield();
        return null.IsRestingWhilePlaying();
    };
    // Each look, refill and volume step made while the device rests; one rest may end at its
    // time on a slow machine.
    ASSERT_TRUE(rests());
    const uint64_t wakes = null.FollowWakes();
    for (int turn = 0; turn < 20 && rests(); ++turn) {
        DWORD status = 0;
        DWORD play = 0;
        buffer.GetStatus(&status);
        buffer.GetCurrentPosition(&play, nullptr);
        void* part = nullptr;
        DWORD bytes = 0;
        ASSERT_EQ(buffer.Lock(0, 4096, &part, &bytes, nullptr, nullptr, 0), DS_OK);
        buffer.Unlock(part, bytes, nullptr, 0);
        buffer.SetVolume(-turn * 10);
    }
    EXPECT_LE(null.FollowWakes() - wakes, 1u);
    // Just before the middle: its notification is due at once, and the rest ends for it.
    ASSERT_TRUE(rests());
    const uint64_t before_move = null.FollowWakes();
    buffer.SetCurrentPosition(loop.middle_offset - 4 * 441);
    EXPECT_TRUE(!null.IsRestingWhilePlaying() || null.FollowWakes() != before_move);
    EXPECT_EQ(WaitForSingleObject(loop.middle, 10'000), WAIT_OBJECT_0);
}

TEST(AudioDevice, HeadlessRunsChooseTheNullDevice)
{
    const char* saved_headless = std::getenv("VESK_HEADLESS");
    const char* saved_driver = std::getenv("SDL_AUDIODRIVER");
    const std::string headless = saved_headless ? saved_headless : "";
    const std::string driver = saved_driver ? saved_driver : "";
    unsetenv("VESK_HEADLESS");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(platform::IsHeadlessAudio());
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    EXPECT_FALSE(platform::IsHeadlessAudio());
    setenv("VESK_HEADLESS", "1", 1);
    EXPECT_TRUE(platform::IsHeadlessAudio());
    setenv("VESK_HEADLESS", "0", 1);
    EXPECT_FALSE(platform::IsHeadlessAudio());
    if (saved_headless)
        setenv("VESK_HEADLESS", headless.c_str(), 1);
    else
        unsetenv("VESK_HEADLESS");
    if (saved_driver)
        setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}
