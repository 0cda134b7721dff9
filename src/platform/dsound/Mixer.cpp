#include "platform/dsound/Mixer.h"

#include <algorithm>
#include <cmath>

namespace platform {

Mixer::Mixer()
    : m_accumulator(PASS_FRAMES * CHANNELS)
    , m_scratch(PASS_FRAMES * CHANNELS)
{}

void Mixer::AddVoice(std::shared_ptr<MixerVoice> voice)
{
    std::lock_guard lock(m_mutex);
    m_voices.push_back(std::move(voice));
}

void Mixer::RemoveVoice(const MixerVoice* voice)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_voices, [voice](const std::shared_ptr<MixerVoice>& v) { return v.get() == voice; });
}

bool Mixer::AnyPlaying()
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [](const std::shared_ptr<MixerVoice>& voice) { return voice->IsPlaying(); });
}

std::optional<uint64_t> Mixer::FramesToNextEvent()
{
    std::lock_guard lock(m_mutex);
    std::optional<uint64_t> next;
    for (const std::shared_ptr<MixerVoice>& voice : m_voices)
        if (const std::optional<uint64_t> frames = voice->FramesToNextEvent())
            next = next ? std::min(*next, *frames) : *frames;
    return next;
}

void Mixer::SetStartListener(std::function<void()> listener)
{
    std::lock_guard lock(m_listener_mutex);
    m_start_listener = std::move(listener);
}

void Mixer::NotifyVoiceStarting()
{
    std::lock_guard lock(m_listener_mutex);
    if (m_start_listener)
        m_start_listener();
}

void Mixer::SetChangeListener(std::function<void()> listener)
{
    std::lock_guard lock(m_change_mutex);
    m_change_listener = std::move(listener);
}

void Mixer::NotifyVoiceChanging()
{
    std::lock_guard lock(m_change_mutex);
    if (m_change_listener)
        m_change_listener();
}

void Mixer::Mix(int16_t* output, uint32_t frames) noexcept
{
    std::lock_guard lock(m_mutex);
    while (frames > 0) {
        const uint32_t pass = std::min(frames, PASS_FRAMES);
        std::fill_n(m_accumulator.begin(), pass * CHANNELS, 0.0f);
        bool sounding = false;
        for (const std::shared_ptr<MixerVoice>& voice : m_voices)
            sounding |= voice->MixInto(m_accumulator.data(), m_scratch.data(), pass);
        // A device keeps mixing while the game is silent (it catches up the rest it took): the
        // silence needs no rounding.
        if (!sounding) {
            std::fill_n(output, pass * CHANNELS, int16_t{0});
        } else {
            for (uint32_t i = 0; i < pass * CHANNELS; ++i) {
                const float value = std::nearbyint(m_accumulator[i]);
                output[i] = static_cast<int16_t>(std::clamp(value, -32768.0f, 32767.0f));
            }
        }
        output += pass * CHANNELS;
        frames -= pass;
    }
}

} // namespace platform
