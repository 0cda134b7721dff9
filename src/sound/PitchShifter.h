#pragma once
// A phase vocoder that moves the pitch of mono float samples by a ratio (2 an octave up, 0.5 one
// down) without changing their length: short-time Fourier analysis of 2,048-sample frames at
// four-fold overlap, every bin moved by the ratio, resynthesis by overlap-add. Output lags input
// by a whole frame: the output FIFO trails the input by 1,536 samples, and a frame's first step
// is complete only once the frame after it has been added. Each sound object owns one, so two voices shifting
// at once never mix their frames; the object's lock serialises the calls. Allocates only when built.

#include <cstdint>
#include <vector>

class PitchShifter
{
public:
    static constexpr uint32_t FRAME = 2048;
    static constexpr uint32_t OVERSAMPLING = 4;
    static constexpr uint32_t STEP = FRAME / OVERSAMPLING;
    static constexpr uint32_t LATENCY = FRAME - STEP; // of the output FIFO behind the input FIFO
    static constexpr uint32_t DELAY = FRAME;          // of an output sample behind its input
    static constexpr uint32_t BINS = FRAME / 2 + 1;

    PitchShifter();

    // in and out may be the same array.
    void PitchShiftPhaseVocoder(float ratio, uint32_t count, float sample_rate, const float* in, float* out);
    // Transforms the FRAME complex values of the work space in place: sign -1 forward, +1
    // inverse, unscaled.
    void FftInPlace(int sign);

    // The work space: FRAME complex values, real and imaginary interleaved.
    float* Work() { return m_work.data(); }
    // Back to the state of a new shifter (silence in the pipeline).
    void Clear();

private:
    void ProcessFrame(float ratio, float sample_rate);

    std::vector<float> m_in_fifo;
    std::vector<float> m_out_fifo;
    std::vector<float> m_work;
    std::vector<float> m_last_phase;
    std::vector<float> m_sum_phase;
    std::vector<float> m_accumulator;
    std::vector<float> m_analysis_frequency;
    std::vector<float> m_analysis_magnitude;
    std::vector<float> m_synthesis_frequency;
    std::vector<float> m_synthesis_magnitude;
    uint32_t m_rover = LATENCY;
};
