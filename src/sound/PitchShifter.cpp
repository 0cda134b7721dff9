#include "sound/PitchShifter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr double PI = std::numbers::pi;

double Hann(uint32_t k)
{
    return 0.5 - 0.5 * std::cos(2.0 * PI * k / PitchShifter::FRAME);
}

} // namespace

PitchShifter::PitchShifter()
    : m_in_fifo(FRAME)
    , m_out_fifo(STEP)
    , m_work(2 * FRAME)
    , m_last_phase(BINS)
    , m_sum_phase(BINS)
    , m_accumulator(FRAME + STEP)
    , m_analysis_frequency(BINS)
    , m_analysis_magnitude(BINS)
    , m_synthesis_frequency(BINS)
    , m_synthesis_magnitude(BINS)
{}

void PitchShifter::Clear()
{
    for (std::vector<float>* v :
         {&m_in_fifo, &m_out_fifo, &m_work, &m_last_phase, &m_sum_phase, &m_accumulator,
          &m_analysis_frequency, &m_analysis_magnitude, &m_synthesis_frequency, &m_synthesis_magnitude})
        std::fill(v->begin(), v->end(), 0.0f);
    m_rover = LATENCY;
}

void PitchShifter::PitchShiftPhaseVocoder(float ratio, uint32_t count, float sample_rate, const float* in,
                                          float* out)
{
    for (uint32_t i = 0; i < count; ++i) {
        const float sample = in[i];
        out[i] = m_out_fifo[m_rover - LATENCY];
        m_in_fifo[m_rover] = sample;
        if (++m_rover == FRAME) {
            m_rover = LATENCY;
            ProcessFrame(ratio, sample_rate);
        }
    }
}

void PitchShifter::ProcessFrame(float ratio, float sample_rate)
{
    const double bin_hertz = static_cast<double>(sample_rate) / FRAME;
    const double expected = 2.0 * PI * STEP / FRAME;
    for (uint32_t k = 0; k < FRAME; ++k) {
        m_work[2 * k] = static_cast<float>(m_in_fifo[k] * Hann(k));
        m_work[2 * k + 1] = 0.0f;
    }
    FftInPlace(-1);
    for (uint32_t k = 0; k < BINS; ++k) {
        const double re = m_work[2 * k];
        const double im = m_work[2 * k + 1];
        const double magnitude = 2.0 * std::sqrt(re * re + im * im);
        const double phase = std::atan2(im, re);
        double d = phase - m_last_phase[k];
        m_last_phase[k] = static_cast<float>(phase);
        d -= k * expected;
        auto q = static_cast<long>(d / PI);
        if (q >= 0)
            q += q & 1;
        else
            q -= q & 1;
        d -= PI * static_cast<double>(q);
        d = OVERSAMPLING * d / (2.0 * PI);
        m_analysis_frequency[k] = static_cast<float>((k + d) * bin_hertz);
        m_analysis_magnitude[k] = static_cast<float>(magnitude);
    }
    std::fill(m_synthesis_frequency.begin(), m_synthesis_frequency.end(), 0.0f);
    std::fill(m_synthesis_magnitude.begin(), m_synthesis_magnitude.end(), 0.0f);
    for (uint32_t k = 0; k < BINS; ++k) {
        const auto j = static_cast<uint32_t>(k * ratio);
        if (j < BINS) {
            m_synthesis_magnitude[j] += m_analysis_magnitude[k];
            m_synthesis_frequency[j] = m_analysis_frequency[k] * ratio;
        }
    }
    for (uint32_t k = 0; k < BINS; ++k) {
        const double magnitude = m_synthesis_magnitude[k];
        double d = (m_synthesis_frequency[k] - k * bin_hertz) / bin_hertz;
        d = 2.0 * PI * d / OVERSAMPLING + k * expected;
        m_sum_phase[k] = static_cast<float>(m_sum_phase[k] + d);
        const double phase = m_sum_phase[k];
        m_work[2 * k] = static_cast<float>(magnitude * std::cos(phase));
        m_work[2 * k + 1] = static_cast<float>(magnitude * std::sin(phase));
    }
    std::fill(m_work.begin() + 2 * BINS, m_work.end(), 0.0f);
    FftInPlace(1);
    // The squared Hann window summed over the four overlapping frames is 1.5: without that
    // divisor every shifted voice would come out 1.5 times as loud as it went in.
    constexpr double WINDOW_OVERLAP_GAIN = 1.5;
    constexpr double SCALE = (FRAME / 2.0) * OVERSAMPLING * WINDOW_OVERLAP_GAIN;
    for (uint32_t k = 0; k < FRAME; ++k)
        m_accumulator[k] += static_cast<float>(2.0 * Hann(k) * m_work[2 * k] / SCALE);
    std::copy_n(m_accumulator.begin(), STEP, m_out_fifo.begin());
    std::copy(m_accumulator.begin() + STEP, m_accumulator.end(), m_accumulator.begin());
    std::fill(m_accumulator.end() - STEP, m_accumulator.end(), 0.0f);
    std::copy(m_in_fifo.begin() + STEP, m_in_fifo.end(), m_in_fifo.begin());
}

void PitchShifter::FftInPlace(int sign)
{
    float* data = m_work.data();
    constexpr uint32_t N = FRAME;
    constexpr uint32_t BITS = 11; // log2 of N
    for (uint32_t i = 1; i < N - 1; ++i) {
        uint32_t j = 0;
        for (uint32_t b = 0; b < BITS; ++b)
            j |= ((i >> b) & 1u) << (BITS - 1 - b);
        if (i < j) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
    }
    for (uint32_t le = 4; le <= 2 * N; le <<= 1) {
        const uint32_t le2 = le / 2;
        const double angle = PI / (le2 / 2);
        const auto step_re = static_cast<float>(std::cos(angle));
        const auto step_im = static_cast<float>(sign * std::sin(angle));
        float w_re = 1.0f;
        float w_im = 0.0f;
        for (uint32_t j = 0; j < le2; j += 2) {
            for (uint32_t i = j; i < 2 * N; i += le) {
                float* first = data + i;
                float* second = data + i + le2;
                const float t_re = second[0] * w_re - second[1] * w_im;
                const float t_im = second[0] * w_im + second[1] * w_re;
                second[0] = first[0] - t_re;
                second[1] = first[1] - t_im;
                first[0] += t_re;
                first[1] += t_im;
            }
            const float next_re = w_re * step_re - w_im * step_im;
            w_im = w_re * step_im + w_im * step_re;
            w_re = next_re;
        }
    }
}
