#pragma once
// The software mixer behind the DirectSound facade: sums every playing secondary buffer into
// 44,100 Hz 16-bit stereo for an audio device. Mix runs on the device's thread (the SDL audio
// callback) or on the thread that advances the null device; it takes only the mixer's own
// leaf locks and never blocks on game locks, and its one outside call is SetEvent.

#include "platform/dsound/MixerVoice.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

class Mixer
{
public:
    static constexpr uint32_t RATE = 44100;
    static constexpr uint32_t CHANNELS = 2;
    // Frames mixed in one pass; longer requests are mixed in passes of this size, so a
    // notification is never signalled more than this many frames late.
    static constexpr uint32_t PASS_FRAMES = 256;

    Mixer();

    void AddVoice(std::shared_ptr<MixerVoice> voice);
    void RemoveVoice(const MixerVoice* voice);

    // Writes frames of interleaved stereo samples, clipped to 16 bits.
    void Mix(int16_t* output, uint32_t frames) noexcept;

    // Whether any voice is playing: while none is, every mix is silence.
    bool AnyPlaying();
    // Frames to mix before the next notification or end of a playing voice; none when no voice
    // has one ahead.
    std::optional<uint64_t> FramesToNextEvent();
    // A device that rests while nothing plays learns here, from the thread starting a voice, that
    // one is about to start. The listener must not block on game locks; null removes it, and once
    // that call returns the old listener is not running.
    void SetStartListener(std::function<void()> listener);
    void NotifyVoiceStarting();
    // A device that mixes by its own clock, behind the game's threads (the null device), learns
    // here, from the thread about to change or read a voice, that it must first mix up to now:
    // so every change lands in the mix at the moment it was made, however late the device's own
    // thread runs. The same rules as the start listener; its own lock.
    void SetChangeListener(std::function<void()> listener);
    void NotifyVoiceChanging();

    // How far ahead of what is heard the device reads, in mixer frames: the write-cursor lead.
    void SetLeadFrames(uint32_t frames) { m_lead_frames = frames; }
    uint32_t LeadFrames() const { return m_lead_frames; }

private:
    std::mutex m_mutex; // guards m_voices and the work buffers; held for a whole Mix
    std::vector<std::shared_ptr<MixerVoice>> m_voices;
    std::vector<float> m_accumulator;
    std::vector<float> m_scratch;
    std::atomic<uint32_t> m_lead_frames{441};
    std::mutex m_listener_mutex; // guards m_start_listener; held while it runs, before its own lock
    std::function<void()> m_start_listener;
    std::mutex m_change_mutex; // guards m_change_listener; held while it runs, before its own lock
    std::function<void()> m_change_listener;
};

} // namespace platform
