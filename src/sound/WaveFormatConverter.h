#pragma once
// Turns a stream of PCM frames of one format into another: 8 or 16 bits, mono or stereo, any
// rate (linear interpolation). Used when a WAV entry's own format differs from the format of
// the buffer that plays it, so it is heard at its own speed. Frames at the same rate come out
// unchanged in value; a stream of n input frames gives ceil(n x output rate / input rate)
// output frames. One stream at a time; the owner's lock guards it.

#include "platform/dsound/DSoundApi.h"

#include <cstdint>

class WaveFormatConverter
{
public:
    // True for 8- or 16-bit PCM with one or two channels at a rate the mixer plays on both sides.
    static bool CanConvert(const WAVEFORMATEX& from, const WAVEFORMATEX& to);
    // True when both formats play the same bytes the same way.
    static bool IsSameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b);

    // Starts a new stream.
    void Reset(const WAVEFORMATEX& from, const WAVEFORMATEX& to);
    uint64_t OutputFrames(uint64_t input_frames) const;

    // Converts whole frames from input until it is used up or output is full; returns the frames
    // written and sets *consumed to the input frames taken. With end_of_stream, the last frames are
    // written once all input is taken, and Finished becomes true.
    uint32_t Convert(const uint8_t* input, uint32_t input_frames, uint32_t* consumed, uint8_t* output,
                     uint32_t output_frames, bool end_of_stream);
    bool Finished() const { return m_finished; }

private:
    void Decode(const uint8_t* frame, float* out) const;
    void Encode(const float* previous, const float* next, double fraction, uint8_t* out) const;

    WAVEFORMATEX m_from{};
    WAVEFORMATEX m_to{};
    float m_previous[2] = {0, 0};
    float m_next[2] = {0, 0};
    bool m_have_previous = false;
    bool m_have_next = false;
    bool m_finished = false;
    // Position of the next output frame past m_previous, in units of 1 / output rate.
    uint64_t m_phase = 0;
};
