// The phase vocoder: its transform, its latency at ratio 1, a moved tone at ratio 2, and the
// independence of two shifters working at once.

#include "sound/PitchShifter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace {

std::vector<float> Sine(size_t count, double hertz, double amplitude = 0.5)
{
    std::vector<float> out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hertz * i / 44100.0));
    return out;
}

// The magnitude of one frequency over a stretch of samples.
double Magnitude(const std::vector<float>& samples, size_t from, size_t count, double hertz)
{
    std::complex<double> sum;
    for (size_t i = from; i < from + count; ++i)
        sum +=
            static_cast<double>(samples[i]) * std::polar(1.0, -2.0 * std::numbers::pi * hertz * i / 44100.0);
    return std::abs(sum) / static_cast<double>(count);
}

std::vector<float> Shift(PitchShifter& shifter, const std::vector<float>& in, float ratio)
{
    std::vector<float> out(in.size());
    // Odd pieces, as fills of different sizes hand them over.
    for (size_t done = 0; done < in.size();) {
        const auto count = static_cast<uint32_t>(std::min<size_t>(in.size() - done, 1237));
        shifter.PitchShiftPhaseVocoder(ratio, count, 44100.0f, in.data() + done, out.data() + done);
        done += count;
    }
    return out;
}

} // namespace

TEST(PitchShifterTest, ForwardThenInverseTransformGivesNTimesTheInput)
{
    PitchShifter shifter;
    std::vector<float> input(2 * PitchShifter::FRAME);
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<float>(std::sin(0.37 * i) + 0.25 * std::cos(1.9 * i));
    std::copy(input.begin(), input.end(), shifter.Work());
    shifter.FftInPlace(-1);
    shifter.FftInPlace(1);
    for (size_t i = 0; i < input.size(); ++i)
        ASSERT_NEAR(shifter.Work()[i], input[i] * PitchShifter::FRAME, 0.05) << i;

    // A lone cosine puts half its length into its bin.
    std::fill(shifter.Work(), shifter.Work() + 2 * PitchShifter::FRAME, 0.0f);
    for (uint32_t k = 0; k < PitchShifter::FRAME; ++k)
        shifter.Work()[2 * k] =
            static_cast<float>(std::cos(2.0 * std::numbers::pi * 64 * k / PitchShifter::FRAME));
    shifter.FftInPlace(-1);
    EXPECT_NEAR(shifter.Work()[2 * 64], PitchShifter::FRAME / 2.0, 0.05);
    EXPECT_NEAR(shifter.Work()[2 * 65], 0.0, 0.05);
}

TEST(PitchShifterTest, RatioOneDelaysTheInputByOneFrame)
{
    PitchShifter shifter;
    // A sweep, so that no other delay would match.
    std::vector<float> in(30'000);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * (300.0 + 0.02 * i) * i / 44100.0));
    const std::vector<float> out = Shift(shifter, in, 1.0f);
    for (size_t i = 0; i < PitchShifter::STEP; ++i)
        ASSERT_EQ(out[i], 0.0f) << "the pipeline starts silent";
    // The output FIFO trails by 1,536 samples; a sample comes out once the four frames over it
    // have been added, one frame after it went in.
    for (size_t i = 2 * PitchShifter::FRAME; i < in.size(); ++i)
        ASSERT_NEAR(out[i], in[i - PitchShifter::DELAY], 0.002) << i;
}

TEST(PitchShifterTest, RatioTwoMovesASineAnOctaveUp)
{
    PitchShifter shifter;
    const std::vector<float> in = Sine(44'100, 1000.0);
    const std::vector<float> out = Shift(shifter, in, 2.0f);
    const double at_octave = Magnitude(out, 8192, 32768, 2000.0);
    const double at_source = Magnitude(out, 8192, 32768, 1000.0);
    EXPECT_GT(at_octave, 0.1);
    EXPECT_GT(at_octave, 10 * at_source);
    // Lowering by an octave moves it the other way.
    PitchShifter lower;
    const std::vector<float> down = Shift(lower, in, 0.5f);
    EXPECT_GT(Magnitude(down, 8192, 32768, 500.0), 10 * Magnitude(down, 8192, 32768, 1000.0));
}

TEST(PitchShifterTest, TwoShiftersAtOnceDoNotMixTheirFrames)
{
    const std::vector<float> a = Sine(20'000, 700.0);
    const std::vector<float> b = Sine(20'000, 300.0, 0.3);
    PitchShifter alone_a;
    PitchShifter alone_b;
    const std::vector<float> expected_a = Shift(alone_a, a, 1.5f);
    const std::vector<float> expected_b = Shift(alone_b, b, 1.5f);
    // Two voices filling turn about, as two channels' threads do.
    PitchShifter voice_a;
    PitchShifter voice_b;
    std::vector<float> out_a(a.size());
    std::vector<float> out_b(b.size());
    for (size_t done = 0; done < a.size(); done += 500) {
        voice_a.PitchShiftPhaseVocoder(1.5f, 500, 44100.0f, a.data() + done, out_a.data() + done);
        voice_b.PitchShiftPhaseVocoder(1.5f, 500, 44100.0f, b.data() + done, out_b.data() + done);
    }
    EXPECT_EQ(out_a, expected_a);
    EXPECT_EQ(out_b, expected_b);
}
