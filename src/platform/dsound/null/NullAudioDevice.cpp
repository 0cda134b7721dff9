#include "platform/dsound/null/NullAudioDevice.h"

#include <cstdlib>
#include <fstream>

#include "platform/dsound/Mixer.h"
#include "platform/kernel/LayerClock.h"

#include <algorithm>
#include <chrono>

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

NullAudioDevice::NullAudioDevice()
{
    if (const char* path = std::getenv("VESK_AUDIO_DUMP"); path && *path) {
        m_dump_path = path;
        m_capturing = true;
    }
    std::lock_guard lock(g_registry_mutex);
    g_devices.push_back(this);
}

NullAudioDevice::~NullAudioDevice()
{
    WriteDump();
    std::lock_guard lock(g_registry_mutex);
    std::erase(g_devices, this);
}

bool NullAudioDevice::Start(Mixer& mixer)
{
    {
        std::lock_guard lock(m_mutex);
        m_mixer = &mixer;
        m_mixer->SetLeadFrames(PERIOD_FRAMES);
        m_clock_seen = GetLayerTime();
    }
    if (!m_follower.joinable())
        m_follower = std::jthread([this](std::stop_token stop) { FollowClock(stop); });
    return true;
}

void NullAudioDevice::Stop()
{
    if (m_follower.joinable()) {
        m_follower.request_stop();
        m_follower.join();
    }
    std::lock_guard lock(m_mutex);
    m_mixer = nullptr;
}

// A plain 44,100 Hz 16-bit stereo RIFF file of everything captured.
void NullAudioDevice::WriteDump()
{
    std::lock_guard lock(m_mutex);
    if (m_dump_path.empty())
        return;
    std::ofstream out(m_dump_path, std::ios::binary | std::ios::trunc);
    const auto put32 = [&](uint32_t v) {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        out.write(b, 4);
    };
    const auto put16 = [&](uint16_t v) {
        const char b[2] = {char(v), char(v >> 8)};
        out.write(b, 2);
    };
    const auto data_bytes = static_cast<uint32_t>(m_capture.size() * sizeof(int16_t));
    out.write("RIFF", 4);
    put32(36 + data_bytes);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(Mixer::CHANNELS);
    put32(Mixer::RATE);
    put32(Mixer::RATE * Mixer::CHANNELS * 2);
    put16(Mixer::CHANNELS * 2);
    put16(16);
    out.write("data", 4);
    put32(data_bytes);
    for (int16_t sample : m_capture)
        put16(static_cast<uint16_t>(sample));
    m_dump_path.clear();
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
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        uint64_t elapsed = 0;
        {
            std::lock_guard lock(m_mutex);
            const uint64_t now = GetLayerTime();
            if (!m_clock_driven || !m_mixer || now <= m_clock_seen)
                continue;
            elapsed = now - m_clock_seen;
            m_clock_seen = now;
        }
        AdvanceMilliseconds(static_cast<uint32_t>(std::min<uint64_t>(elapsed, 60'000)));
    }
}

void NullAudioDevice::Advance(uint32_t frames)
{
    std::lock_guard lock(m_mutex);
    if (!m_mixer)
        return;
    m_frames_advanced += frames;
    while (frames > 0) {
        const uint32_t block = std::min<uint32_t>(frames, 4096);
        m_block.resize(block * 2);
        m_mixer->Mix(m_block.data(), block);
        if (m_capturing)
            m_capture.insert(m_capture.end(), m_block.begin(), m_block.end());
        frames -= block;
    }
}

void NullAudioDevice::AdvanceMilliseconds(uint32_t milliseconds)
{
    uint64_t target;
    uint64_t done;
    {
        std::lock_guard lock(m_mutex);
        done = m_milliseconds_advanced * Mixer::RATE / 1000;
        m_milliseconds_advanced += milliseconds;
        target = m_milliseconds_advanced * Mixer::RATE / 1000;
    }
    Advance(static_cast<uint32_t>(target - done));
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
