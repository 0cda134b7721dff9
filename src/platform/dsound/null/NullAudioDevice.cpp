#include "platform/dsound/null/NullAudioDevice.h"

#include <cstdlib>

#include "platform/dsound/Mixer.h"
#include "platform/kernel/LayerClock.h"
#include "platform/kernel/VirtualClock.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>

namespace platform {

namespace {

std::mutex g_registry_mutex;             // guards g_devices
std::vector<NullAudioDevice*> g_devices; // not owned: newest last

} // namespace

std::unique_ptr<AudioDevice> CreateNullAudioDevice()
{
    return std::make_unique<NullAudioDevice>();
}

NullAudioDevice* GetNullAudioDevice()
{
    std::lock_guard lock(g_registry_mutex);
    return g_devices.empty() ? nullptr : g_devices.back();
}

namespace {

constexpr uint32_t WAV_HEADER_BYTES = 44;

void PutLe32(uint8_t* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutLe16(uint8_t* out, uint16_t value)
{
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
}

// A RIFF "WAVE" header for data_bytes of 44,100 Hz 16-bit stereo.
void MakeWavHeader(uint8_t* header, uint32_t data_bytes)
{
    std::copy_n("RIFF", 4, header);
    PutLe32(header + 4, 36 + data_bytes);
    std::copy_n("WAVEfmt ", 8, header + 8);
    PutLe32(header + 16, 16);
    PutLe16(header + 20, 1);
    PutLe16(header + 22, 2);
    PutLe32(header + 24, Mixer::RATE);
    PutLe32(header + 28, Mixer::RATE * 4);
    PutLe16(header + 32, 4);
    PutLe16(header + 34, 16);
    std::copy_n("data", 4, header + 36);
    PutLe32(header + 40, data_bytes);
}

} // namespace

NullAudioDevice::NullAudioDevice()
{
    {
        std::lock_guard lock(g_registry_mutex);
        g_devices.push_back(this);
    }
    if (const char* path = std::getenv("VESK_SOUND_DUMP"); path && *path)
        StartDump(path);
}

NullAudioDevice::~NullAudioDevice()
{
    {
        std::lock_guard lock(g_registry_mutex);
        std::erase(g_devices, this);
    }
    ForgetChanges();
    if (m_follower.joinable()) {
        m_follower.request_stop();
        m_follower.join();
    }
    std::lock_guard lock(m_mutex);
    if (m_mixer)
        m_mixer->SetStartListener(nullptr); // a device dropped without Stop
    if (m_dump)
        std::fclose(m_dump);
}

bool NullAudioDevice::StartDump(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    if (m_dump)
        std::fclose(m_dump);
    m_dump = std::fopen(path.c_str(), "wb");
    m_dump_bytes = 0;
    if (!m_dump)
        return false;
    uint8_t header[WAV_HEADER_BYTES];
    MakeWavHeader(header, 0);
    std::fwrite(header, 1, sizeof(header), m_dump);
    std::fflush(m_dump);
    return true;
}

void NullAudioDevice::WriteDump(const int16_t* samples, uint32_t frames)
{
    constexpr uint64_t LIMIT = 0xFFFFFFFFull - WAV_HEADER_BYTES;
    const uint64_t bytes = static_cast<uint64_t>(frames) * 4;
    if (m_dump_bytes + bytes > LIMIT)
        return; // a WAV file cannot say more
    std::fwrite(samples, 1, bytes, m_dump);
    m_dump_bytes += bytes;
    uint8_t header[WAV_HEADER_BYTES];
    MakeWavHeader(header, static_cast<uint32_t>(m_dump_bytes));
    std::fseek(m_dump, 0, SEEK_SET);
    std::fwrite(header, 1, sizeof(header), m_dump);
    std::fseek(m_dump, 0, SEEK_END);
    std::fflush(m_dump);
}

bool NullAudioDevice::Start(Mixer& mixer)
{
    {
        std::lock_guard lock(m_mutex);
        m_mixer = &mixer;
        m_mixer->SetLeadFrames(PERIOD_FRAMES);
        m_clock_seen = GetLayerTime();
    }
    mixer.SetStartListener([this] { OnVoiceStarting(); });
    // Each change or look at a voice first mixes the time up to it, on the calling thread; only
    // a change that brings the next event nearer than the helper's rest ends it.
    mixer.SetChangeListener([this] {
        CatchUp();
        PokeIfNearer();
    });
    if (!m_follower.joinable())
        m_follower = std::jthread([this](std::stop_token stop) { FollowClock(stop); });
    return true;
}

void NullAudioDevice::Stop()
{
    ForgetChanges();
    if (m_follower.joinable()) {
        m_follower.request_stop();
        m_follower.join();
    }
    std::lock_guard lock(m_mutex);
    if (m_mixer)
        m_mixer->SetStartListener(nullptr);
    m_mixer = nullptr;
}

void NullAudioDevice::ForgetChanges()
{
    // Outside m_mutex: a change listener runs under the mixer's listener lock and takes m_mutex.
    Mixer* mixer = nullptr;
    {
        std::lock_guard lock(m_mutex);
        mixer = m_mixer;
    }
    if (mixer)
        mixer->SetChangeListener(nullptr);
}

void NullAudioDevice::SetClockDriven(bool clock_driven)
{
    std::lock_guard lock(m_mutex);
    m_clock_driven = clock_driven;
    m_clock_seen = GetLayerTime();
}

// Sleeps on the real clock, not the layer's, so it never counts as a parked layer thread; with a
// virtual clock it simply finds the time moved on.
void NullAudioDevice::FollowClock(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        // The virtual clock keeps the plain polling its tests were written against.
        if (VirtualClock::IsEnabled())
            std::this_thread::sleep_for(std::chrono::milliseconds(FOLLOW_MS));
        else
            RestWhilePlaying(stop);
        {
            std::lock_guard rest(m_rest_mutex);
            m_follow_wakes++;
        }
        CatchUp();
        if (!VirtualClock::IsEnabled())
            RestWhileSilent(stop);
    }
}

void NullAudioDevice::RestWhilePlaying(std::stop_token stop)
{
    // Nothing is heard here, so the output only needs mixing where a voice's notification or end
    // falls (a game thread waits for it); every look or change mixes up to its moment anyway.
    // Armed before the look at the voices: until the rest's end is known, any change ends it.
    {
        std::lock_guard rest(m_rest_mutex);
        m_follow_armed = true;
        m_poked = false;
        m_follow_until = 0;
    }
    const uint64_t ms = MillisecondsToNextEvent().value_or(EVENTLESS_REST_MS);
    std::unique_lock rest(m_rest_mutex);
    m_follow_until = GetLayerTime() + ms;
    m_rest_wake.wait_for(rest, stop, std::chrono::milliseconds(ms), [this] { return m_poked; });
    m_follow_armed = false;
}

std::optional<uint64_t> NullAudioDevice::MillisecondsToNextEvent()
{
    std::optional<uint64_t> frames;
    {
        std::lock_guard lock(m_mutex);
        if (m_mixer != nullptr)
            frames = m_mixer->FramesToNextEvent();
    }
    if (!frames)
        return std::nullopt;
    return std::clamp<uint64_t>((*frames + 1) * 1000 / Mixer::RATE + 1, FOLLOW_MS, EVENTLESS_REST_MS);
}

void NullAudioDevice::PokeIfNearer()
{
    {
        std::lock_guard rest(m_rest_mutex);
        if (!m_follow_armed || m_poked)
            return;
    }
    // The same event seen a moment later rounds to a millisecond or two either way.
    constexpr uint64_t ROUNDING_MS = 3;
    const std::optional<uint64_t> ms = MillisecondsToNextEvent();
    const uint64_t due = GetLayerTime() + ms.value_or(EVENTLESS_REST_MS);
    std::lock_guard rest(m_rest_mutex);
    if (!m_follow_armed || m_poked)
        return;
    if (m_follow_until != 0 && due + ROUNDING_MS >= m_follow_until)
        return;
    m_poked = true;
    m_rest_wake.notify_all();
}

bool NullAudioDevice::IsRestingWhilePlaying() const
{
    std::lock_guard rest(m_rest_mutex);
    return m_follow_armed && !m_poked && m_follow_until != 0;
}

uint64_t NullAudioDevice::FollowWakes() const
{
    std::lock_guard rest(m_rest_mutex);
    return m_follow_wakes;
}

void NullAudioDevice::CatchUp()
{
    std::lock_guard lock(m_mutex);
    const uint64_t now = GetLayerTime();
    if (!m_clock_driven || !m_mixer || now <= m_clock_seen)
        return;
    const uint64_t elapsed = now - m_clock_seen;
    m_clock_seen = now;
    AdvanceMillisecondsLocked(std::min<uint64_t>(elapsed, 60'000), false);
}

void NullAudioDevice::RestWhileSilent(std::stop_token stop)
{
    // A start ends the rest at once, so its length only sets how often silence is counted.
    constexpr auto REST_LIMIT = std::chrono::milliseconds(1000);
    // Armed before the look at the voices: a start after the look ends the rest at once.
    {
        std::lock_guard rest(m_rest_mutex);
        m_rest_armed = true;
        m_start_seen = false;
    }
    bool silent = false;
    {
        std::lock_guard lock(m_mutex);
        silent = m_clock_driven && m_mixer != nullptr && !m_mixer->AnyPlaying();
    }
    uint64_t start_time = 0;
    {
        std::unique_lock rest(m_rest_mutex);
        if (silent) {
            m_resting = true;
            m_rest_wake.wait_for(rest, stop, REST_LIMIT, [this] { return m_start_seen; });
            m_resting = false;
        }
        m_rest_armed = false;
        if (!silent || !m_start_seen)
            return; // the next catch-up mixes the (silent) time that passed
        start_time = m_start_time;
        m_rests_ended_by_start++;
    }
    // Nothing played from the last catch-up to the start: that stretch is silence, and the new
    // voice begins where it was started, not where the helper woke.
    std::lock_guard lock(m_mutex);
    if (!m_clock_driven || !m_mixer || start_time <= m_clock_seen)
        return;
    const uint64_t silence = start_time - m_clock_seen;
    m_clock_seen = start_time;
    AdvanceMillisecondsLocked(std::min<uint64_t>(silence, 60'000), true);
}

void NullAudioDevice::OnVoiceStarting()
{
    std::lock_guard rest(m_rest_mutex);
    if (!m_rest_armed || m_start_seen)
        return;
    m_start_seen = true;
    m_start_time = GetLayerTime();
    m_rest_wake.notify_all();
}

bool NullAudioDevice::IsResting() const
{
    std::lock_guard rest(m_rest_mutex);
    return m_resting;
}

uint64_t NullAudioDevice::RestsEndedByStart() const
{
    std::lock_guard rest(m_rest_mutex);
    return m_rests_ended_by_start;
}

void NullAudioDevice::Advance(uint32_t frames)
{
    std::lock_guard lock(m_mutex);
    AdvanceLocked(frames, false);
}

void NullAudioDevice::AdvanceLocked(uint32_t frames, bool silent)
{
    if (!m_mixer)
        return;
    m_frames_advanced += frames;
    while (frames > 0) {
        const uint32_t block = std::min<uint32_t>(frames, 4096);
        m_block.resize(block * 2);
        if (silent)
            std::fill(m_block.begin(), m_block.end(), int16_t{0});
        else
            m_mixer->Mix(m_block.data(), block);
        if (m_capturing)
            m_capture.insert(m_capture.end(), m_block.begin(), m_block.end());
        if (m_dump)
            WriteDump(m_block.data(), block);
        frames -= block;
    }
}

void NullAudioDevice::AdvanceMilliseconds(uint32_t milliseconds)
{
    std::lock_guard lock(m_mutex);
    AdvanceMillisecondsLocked(milliseconds, false);
}

void NullAudioDevice::AdvanceMillisecondsLocked(uint64_t milliseconds, bool silent)
{
    const uint64_t done = m_milliseconds_advanced * Mixer::RATE / 1000;
    m_milliseconds_advanced += milliseconds;
    const uint64_t target = m_milliseconds_advanced * Mixer::RATE / 1000;
    AdvanceLocked(static_cast<uint32_t>(target - done), silent);
}

void NullAudioDevice::StartCapture()
{
    std::lock_guard lock(m_mutex);
    m_capturing = true;
    m_capture.clear();
}

std::vector<int16_t> NullAudioDevice::TakeCapture()
{
    std::lock_guard lock(m_mutex);
    std::vector<int16_t> taken;
    taken.swap(m_capture);
    return taken;
}

uint64_t NullAudioDevice::FramesAdvanced() const
{
    std::lock_guard lock(m_mutex);
    return m_frames_advanced;
}

} // namespace platform
