#include "platform/dsound/MixerVoice.h"

#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// Hundredths of a decibel to an amplitude factor; the bottom of the range is exact silence.
float AttenuationToGain(LONG hundredths)
{
    if (hundredths <= DSBVOLUME_MIN)
        return 0.0f;
    if (hundredths >= 0)
        return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

} // namespace

MixerVoice::MixerVoice(const WAVEFORMATEX& format, uint32_t bytes, DWORD flags)
    : m_format(format)
    , m_size(bytes)
    , m_frames(bytes / format.nBlockAlign)
    , m_flags(flags)
    , m_data(new uint8_t[bytes])
{
    // A new buffer is silent.
    std::memset(m_data.get(), format.wBitsPerSample == 8 ? 0x80 : 0, bytes);
    UpdateStepLocked();
}

void MixerVoice::PublishRingWrites()
{
    std::lock_guard lock(m_mutex);
}

void MixerVoice::WriteRing(uint32_t offset, const uint8_t* bytes, uint32_t count)
{
    std::lock_guard lock(m_mutex);
    const auto put = [this](uint32_t at, const uint8_t* from, uint32_t n) {
        if (from)
            std::memcpy(m_data.get() + at, from, n);
        else
            std::memset(m_data.get() + at, 0, n);
    };
    const uint32_t first = std::min(count, m_size - offset);
    put(offset, bytes, first);
    put(0, bytes ? bytes + first : nullptr, count - first);
}

MixerVoice::~MixerVoice() = default;

void MixerVoice::Play(bool looping)
{
    std::lock_guard lock(m_mutex);
    m_playing = true;
    m_looping = looping;
}

void MixerVoice::Stop()
{
    std::lock_guard lock(m_mutex);
    StopLocked();
}

void MixerVoice::StopLocked()
{
    if (!m_playing)
        return;
    m_playing = false;
    for (const DSBPOSITIONNOTIFY& n : m_notifications) {
        if (n.dwOffset == DSBPN_OFFSETSTOP)
            SetEvent(n.hEventNotify);
    }
    // The game's loops poll whether a sound still plays (a voice's end moves auto mode on).
    WakeIdleOwner();
}

void MixerVoice::SetCurrentPosition(uint32_t byte_offset)
{
    std::lock_guard lock(m_mutex);
    m_position = static_cast<uint64_t>(byte_offset / m_format.nBlockAlign) << 32;
}

void MixerVoice::GetCursors(uint32_t lead_frames, DWORD* play_cursor, DWORD* write_cursor) const
{
    std::lock_guard lock(m_mutex);
    const uint32_t block = m_format.nBlockAlign;
    const DWORD play = static_cast<DWORD>(m_position >> 32) * block;
    if (play_cursor)
        *play_cursor = play;
    if (write_cursor) {
        DWORD write = play;
        if (m_playing) {
            // The mixer may have read this far ahead already: frames at the buffer's own rate.
            const uint64_t ahead = ((static_cast<uint64_t>(lead_frames) * m_step) + ONE - 1) >> 32;
            const uint64_t lead = std::min<uint64_t>(ahead, m_frames - 1);
            write = static_cast<DWORD>((play + lead * block) % m_size);
        }
        *write_cursor = write;
    }
}

DWORD MixerVoice::Status() const
{
    std::lock_guard lock(m_mutex);
    if (!m_playing)
        return 0;
    return DSBSTATUS_PLAYING | (m_looping ? DSBSTATUS_LOOPING : 0);
}

bool MixerVoice::IsPlaying() const
{
    std::lock_guard lock(m_mutex);
    return m_playing;
}

void MixerVoice::SetVolume(LONG volume)
{
    std::lock_guard lock(m_mutex);
    m_volume = volume;
    UpdateGainsLocked();
}

LONG MixerVoice::Volume() const
{
    std::lock_guard lock(m_mutex);
    return m_volume;
}

void MixerVoice::SetPan(LONG pan)
{
    std::lock_guard lock(m_mutex);
    m_pan = pan;
    UpdateGainsLocked();
}

LONG MixerVoice::Pan() const
{
    std::lock_guard lock(m_mutex);
    return m_pan;
}

void MixerVoice::SetFrequency(DWORD frequency)
{
    std::lock_guard lock(m_mutex);
    m_frequency = frequency;
    UpdateStepLocked();
}

DWORD MixerVoice::Frequency() const
{
    std::lock_guard lock(m_mutex);
    return m_frequency == 0 ? m_format.nSamplesPerSec : m_frequency;
}

void MixerVoice::UpdateGainsLocked()
{
    const float gain = AttenuationToGain(m_volume);
    // A pan to one side attenuates the other side by the pan amount.
    m_gain_left = gain * (m_pan > 0 ? AttenuationToGain(-m_pan) : 1.0f);
    m_gain_right = gain * (m_pan < 0 ? AttenuationToGain(m_pan) : 1.0f);
}

void MixerVoice::UpdateStepLocked()
{
    const uint64_t rate = m_frequency == 0 ? m_format.nSamplesPerSec : m_frequency;
    m_step = (rate << 32) / MIXER_RATE;
    // Back at the mixer's own rate the samples are read unchanged again, not interpolated.
    if (m_step == ONE)
        m_position &= ~(ONE - 1);
}

HRESULT MixerVoice::SetNotifications(const DSBPOSITIONNOTIFY* positions, DWORD count)
{
    std::lock_guard lock(m_mutex);
    if (m_playing)
        return DSERR_INVALIDCALL;
    for (DWORD i = 0; i < count; ++i) {
        if (!positions[i].hEventNotify ||
            (positions[i].dwOffset != DSBPN_OFFSETSTOP && positions[i].dwOffset >= m_size))
            return DSERR_INVALIDPARAM;
    }
    m_notifications.assign(positions, positions + count);
    return DS_OK;
}

HRESULT MixerVoice::SetEffects(const std::vector<EffectKind>& kinds)
{
    auto chain = kinds.empty() ? nullptr : std::make_unique<EffectChain>(m_format.nChannels, MIXER_RATE);
    for (EffectKind kind : kinds)
        chain->Add(kind);
    std::lock_guard lock(m_mutex);
    if (m_playing)
        return DSERR_INVALIDCALL;
    m_effects = std::move(chain);
    return DS_OK;
}

uint32_t MixerVoice::ReadFramesLocked(float* scratch, uint32_t frames, bool* ended)
{
    const uint32_t channels = m_format.nChannels;
    const uint32_t block = m_format.nBlockAlign;
    const bool sixteen = m_format.wBitsPerSample == 16;
    const uint8_t* data = m_data.get();
    const uint64_t ring = static_cast<uint64_t>(m_frames) << 32;
    auto sample = [&](uint32_t frame, uint32_t channel) -> float {
        const uint8_t* p = data + frame * block;
        if (sixteen) {
            int16_t value;
            std::memcpy(&value, p + channel * 2, 2);
            return value;
        }
        return (static_cast<int>(p[channel]) - 128) * 256.0f;
    };

    uint32_t produced = 0;
    *ended = false;
    if (m_step == ONE && (m_position & (ONE - 1)) == 0) {
        // The usual case: the buffer runs at the mixer's rate and samples are copied unchanged.
        while (produced < frames) {
            const uint32_t frame = static_cast<uint32_t>(m_position >> 32);
            const uint32_t run = std::min(frames - produced, m_frames - frame);
            float* out = scratch + produced * channels;
            if (sixteen) {
                const uint8_t* p = data + frame * block;
                for (uint32_t i = 0; i < run * channels; ++i) {
                    int16_t value;
                    std::memcpy(&value, p + i * 2, 2);
                    out[i] = value;
                }
            } else {
                for (uint32_t i = 0; i < run; ++i) {
                    for (uint32_t c = 0; c < channels; ++c)
                        out[i * channels + c] = sample(frame + i, c);
                }
            }
            produced += run;
            m_position += static_cast<uint64_t>(run) << 32;
            if (m_position >= ring) {
                m_position -= ring;
                if (!m_looping) {
                    *ended = true;
                    break;
                }
            }
        }
        return produced;
    }

    // Another rate: linear interpolation between neighbouring frames of the ring.
    while (produced < frames) {
        const uint32_t frame = static_cast<uint32_t>(m_position >> 32);
        const float fraction = static_cast<float>(m_position & (ONE - 1)) * (1.0f / 4294967296.0f);
        uint32_t next = frame + 1;
        if (next == m_frames)
            next = m_looping ? 0 : frame;
        for (uint32_t c = 0; c < channels; ++c) {
            const float a = sample(frame, c);
            const float b = sample(next, c);
            scratch[produced * channels + c] = a + (b - a) * fraction;
        }
        ++produced;
        m_position += m_step;
        if (m_position >= ring) {
            m_position %= ring;
            if (!m_looping) {
                *ended = true;
                break;
            }
        }
    }
    return produced;
}

std::optional<uint64_t> MixerVoice::FramesToNextEvent() const
{
    std::lock_guard lock(m_mutex);
    if (!m_playing || m_frames == 0)
        return std::nullopt;
    const uint64_t frame = m_position >> 32;
    std::optional<uint64_t> ahead; // voice frames the cursor moves over before the event
    if (!m_looping)
        ahead = m_frames - frame;
    for (const DSBPOSITIONNOTIFY& n : m_notifications) {
        if (n.dwOffset == DSBPN_OFFSETSTOP)
            continue;
        // An offset is signalled by the pass that starts on it or moves over it.
        const uint64_t at = n.dwOffset / m_format.nBlockAlign;
        const uint64_t distance = (at + m_frames - frame) % m_frames + 1;
        ahead = ahead ? std::min(*ahead, distance) : distance;
    }
    if (!ahead)
        return std::nullopt;
    // The cursor moves m_step voice frames a mixer frame, from its fraction of a frame on.
    const uint64_t travel = (*ahead << 32) - (m_position & (ONE - 1));
    return (travel + m_step - 1) / m_step;
}

void MixerVoice::SignalPassedLocked(uint32_t start_frame, uint64_t crossed_frames)
{
    if (crossed_frames == 0)
        return;
    const uint64_t start = static_cast<uint64_t>(start_frame) * m_format.nBlockAlign;
    const uint64_t span = crossed_frames * m_format.nBlockAlign;
    for (const DSBPOSITIONNOTIFY& n : m_notifications) {
        if (n.dwOffset == DSBPN_OFFSETSTOP)
            continue;
        // Passed when the offset lies in [start, start + span) around the ring.
        const uint64_t distance = (n.dwOffset + static_cast<uint64_t>(m_size) - start) % m_size;
        if (span >= m_size || distance < span)
            SetEvent(n.hEventNotify);
    }
}

bool MixerVoice::MixInto(float* accumulator, float* scratch, uint32_t frames)
{
    std::lock_guard lock(m_mutex);
    if (!m_playing)
        return false;
    const uint32_t start_frame = static_cast<uint32_t>(m_position >> 32);
    const uint64_t start_position = m_position;
    bool ended = false;
    const uint32_t produced = ReadFramesLocked(scratch, frames, &ended);

    // Frames the cursor passed: the whole-frame distance from the start to where the read stopped.
    const uint64_t travelled = (start_position & (ONE - 1)) + produced * m_step;
    const uint64_t crossed = ended ? m_frames - start_frame : travelled >> 32;
    SignalPassedLocked(start_frame, crossed);

    if (m_effects)
        m_effects->Process(scratch, produced);
    const float left = m_gain_left;
    const float right = m_gain_right;
    const bool added = produced > 0 && (left != 0.0f || right != 0.0f);
    if (added) {
        if (m_format.nChannels == 1) {
            for (uint32_t i = 0; i < produced; ++i) {
                accumulator[2 * i] += scratch[i] * left;
                accumulator[2 * i + 1] += scratch[i] * right;
            }
        } else {
            for (uint32_t i = 0; i < produced; ++i) {
                accumulator[2 * i] += scratch[2 * i] * left;
                accumulator[2 * i + 1] += scratch[2 * i + 1] * right;
            }
        }
    }
    if (ended)
        StopLocked();
    return added;
}

} // namespace platform
