#include "sound/WaveFormatConverter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

bool WaveFormatConverter::CanConvert(const WAVEFORMATEX& from, const WAVEFORMATEX& to)
{
    auto usable = [](const WAVEFORMATEX& f) {
        return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
               (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
               f.nSamplesPerSec >= DSBFREQUENCY_MIN && f.nSamplesPerSec <= DSBFREQUENCY_MAX &&
               f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
    };
    return usable(from) && usable(to);
}

bool WaveFormatConverter::IsSameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b)
{
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels &&
           a.nSamplesPerSec == b.nSamplesPerSec && a.wBitsPerSample == b.wBitsPerSample &&
           a.nBlockAlign == b.nBlockAlign;
}

void WaveFormatConverter::Reset(const WAVEFORMATEX& from, const WAVEFORMATEX& to)
{
    m_from = from;
    m_to = to;
    m_have_previous = false;
    m_have_next = false;
    m_finished = false;
    m_phase = 0;
}

uint64_t WaveFormatConverter::OutputFrames(uint64_t input_frames) const
{
    const uint64_t in_rate = m_from.nSamplesPerSec;
    const uint64_t out_rate = m_to.nSamplesPerSec;
    return (input_frames * out_rate + in_rate - 1) / in_rate;
}

void WaveFormatConverter::Decode(const uint8_t* frame, float* out) const
{
    for (int c = 0; c < m_from.nChannels; ++c) {
        if (m_from.wBitsPerSample == 16) {
            int16_t value;
            std::memcpy(&value, frame + c * 2, 2);
            out[c] = value;
        } else {
            out[c] = (static_cast<int>(frame[c]) - 128) * 256.0f;
        }
    }
    if (m_from.nChannels == 1)
        out[1] = out[0];
}

void WaveFormatConverter::Encode(const float* previous, const float* next, double fraction,
                                 uint8_t* out) const
{
    double value[2];
    for (int c = 0; c < 2; ++c)
        value[c] = previous[c] + (static_cast<double>(next[c]) - previous[c]) * fraction;
    if (m_to.nChannels == 1)
        value[0] = m_from.nChannels == 1 ? value[0] : (value[0] + value[1]) / 2.0;
    for (int c = 0; c < m_to.nChannels; ++c) {
        if (m_to.wBitsPerSample == 16) {
            const auto sample = static_cast<int16_t>(std::clamp(std::lround(value[c]), -32768L, 32767L));
            std::memcpy(out + c * 2, &sample, 2);
        } else {
            out[c] = static_cast<uint8_t>(std::clamp(std::lround(value[c] / 256.0) + 128, 0L, 255L));
        }
    }
}

uint32_t WaveFormatConverter::Convert(const uint8_t* input, uint32_t input_frames, uint32_t* consumed,
                                      uint8_t* output, uint32_t output_frames, bool end_of_stream)
{
    const uint64_t in_rate = m_from.nSamplesPerSec;
    const uint64_t out_rate = m_to.nSamplesPerSec;
    uint32_t used = 0;
    uint32_t written = 0;
    auto emit = [&](const float* previous, const float* next) {
        Encode(previous, next, static_cast<double>(m_phase) / static_cast<double>(out_rate),
               output + written * m_to.nBlockAlign);
        ++written;
        m_phase += in_rate;
    };
    while (!m_finished) {
        if (!m_have_previous) {
            if (used == input_frames) {
                if (end_of_stream)
                    m_finished = true; // an empty stream
                break;
            }
            Decode(input + used++ * m_from.nBlockAlign, m_previous);
            m_have_previous = true;
            continue;
        }
        if (!m_have_next) {
            if (used < input_frames) {
                Decode(input + used++ * m_from.nBlockAlign, m_next);
                m_have_next = true;
            } else if (end_of_stream) {
                // The last frame holds until the stream's length is reached.
                while (m_phase < out_rate && written < output_frames)
                    emit(m_previous, m_previous);
                if (m_phase >= out_rate)
                    m_finished = true;
                break;
            } else {
                break;
            }
        }
        while (m_phase < out_rate && written < output_frames)
            emit(m_previous, m_next);
        if (m_phase < out_rate)
            break; // output full
        m_phase -= out_rate;
        std::memcpy(m_previous, m_next, sizeof(m_previous));
        m_have_next = false;
    }
    *consumed = used;
    return written;
}
