#include "platform/dsound/null/NullAudioDevice.h"

#include "platform/dsound/Mixer.h"

#include <algorithm>

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
    std::lock_guard lock(g_registry_mutex);
    g_devices.push_back(this);
}

NullAudioDevice::~NullAudioDevice()
{
    std::lock_guard lock(g_registry_mutex);
    std::erase(g_devices, this);
}

bool NullAudioDevice::Start(Mixer& mixer)
{
    std::lock_guard lock(m_mutex);
    m_mixer = &mixer;
    m_mixer->SetLeadFrames(PERIOD_FRAMES);
    return true;
}

void NullAudioDevice::Stop()
{
    std::lock_guard lock(m_mutex);
    m_mixer = nullptr;
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
