#pragma once
// One secondary buffer as the mixer sees it: a byte ring in the buffer's PCM format (8 or 16 bits,
// mono or stereo), a play position in frames with a 32-bit fraction, volume, pan, frequency,
// position notifications and the effect chain. Game threads call the control operations; the
// mixer calls MixInto from the audio callback or the null device. One short internal lock guards
// the state; ring bytes are written by the game between Lock and Unlock without it, into parts the
// play cursor is not reading, as with DirectSound. The only outside call made under the lock is
// SetEvent.

#include "platform/dsound/DSoundApi.h"
#include "platform/dsound/EffectChain.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

class MixerVoice
{
public:
    // format must be PCM with 1 or 2 channels of 8 or 16 bits; bytes a multiple of its block.
    MixerVoice(const WAVEFORMATEX& format, uint32_t bytes, DWORD flags);
    MixerVoice(const MixerVoice&) = delete;
    MixerVoice& operator=(const MixerVoice&) = delete;
    ~MixerVoice();
    const WAVEFORMATEX& Format() const { return m_format; }
    uint32_t Size() const { return m_size; }
    DWORD Flags() const { return m_flags; }
    uint8_t* Data() { return m_data.get(); }
    // Makes the ring bytes written since the last call visible to the mixer's thread: a release
    // through the voice lock, which the mixer acquires before it reads the ring.
    void PublishRingWrites();
    // Copies count bytes (zeros for null) into the ring at offset, wrapping at its end, under the
    // voice lock: for a writer that may fall behind the play cursor, whose bytes the mixer must
    // then never read half-written.
    void WriteRing(uint32_t offset, const uint8_t* bytes, uint32_t count);

    void Play(bool looping);
    void Stop();
    void SetCurrentPosition(uint32_t byte_offset);
    // lead_frames: how far ahead of the play cursor the mixer may already have read, in mixer frames.
    void GetCursors(uint32_t lead_frames, DWORD* play_cursor, DWORD* write_cursor) const;
    DWORD Status() const;
    bool IsPlaying() const;

    void SetVolume(LONG volume);
    LONG Volume() const;
    void SetPan(LONG pan);
    LONG Pan() const;
    // 0 plays at the format's own rate.
    void SetFrequency(DWORD frequency);
    // The rate in effect: the format's own when 0 was set.
    DWORD Frequency() const;

    HRESULT SetNotifications(const DSBPOSITIONNOTIFY* positions, DWORD count);
    // Replaces the effect chain; an empty list removes it.
    HRESULT SetEffects(const std::vector<EffectKind>& kinds);
    // Runs f(EffectChain&) under the lock; DSERR_OBJECTNOTFOUND when the voice has no chain.
    template <typename F>
    HRESULT WithEffects(F&& f)
    {
        std::lock_guard lock(m_mutex);
        if (!m_effects)
            return DSERR_OBJECTNOTFOUND;
        return f(*m_effects);
    }

    // Adds frames of this voice, after effects, volume and pan, to accumulator (stereo, interleaved,
    // 16-bit scale); scratch holds at least 2 x frames floats. Advances the play position and
    // signals each notification offset the play cursor passed, once per pass. Returns whether it
    // added anything: a stopped or muted voice leaves the accumulator as it was.
    bool MixInto(float* accumulator, float* scratch, uint32_t frames);
    // Mixer frames to mix before the play cursor passes the next notification offset or, unlooped,
    // the buffer's end; none while stopped or with neither ahead.
    std::optional<uint64_t> FramesToNextEvent() const;

    static constexpr uint32_t MIXER_RATE = 44100;

private:
    static constexpr uint64_t ONE = uint64_t{1} << 32;

    void UpdateGainsLocked();
    void UpdateStepLocked();
    void StopLocked();
    uint32_t ReadFramesLocked(float* scratch, uint32_t frames, bool* ended);
    void SignalPassedLocked(uint32_t start_frame, uint64_t crossed_frames);

    WAVEFORMATEX m_format;
    uint32_t m_size;
    uint32_t m_frames;
    DWORD m_flags;
    std::unique_ptr<uint8_t[]> m_data;

    mutable std::mutex m_mutex; // guards everything below; a leaf lock
    bool m_playing = false;
    bool m_looping = false;
    uint64_t m_position = 0; // frames, 32.32 fixed point
    uint64_t m_step = ONE;   // frames per mixer frame, 32.32 fixed point
    LONG m_volume = 0;
    LONG m_pan = 0;
    DWORD m_frequency = 0;
    float m_gain_left = 1;
    float m_gain_right = 1;
    std::vector<DSBPOSITIONNOTIFY> m_notifications;
    std::unique_ptr<EffectChain> m_effects;
};

} // namespace platform
