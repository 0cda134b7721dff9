#include "platform/dsound/EffectChain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr uint32_t RATE = 44100;

std::vector<float> Sine(float amplitude, float hertz, uint32_t frames)
{
    std::vector<float> out(frames * 2);
    for (uint32_t i = 0; i < frames; ++i) {
        const float value =
            amplitude *
            static_cast<float>(std::sin(2.0 * std::numbers::pi * hertz * i / static_cast<double>(RATE)));
        out[2 * i] = out[2 * i + 1] = value;
    }
    return out;
}

float PeakOfLast(const std::vector<float>& samples, uint32_t frames)
{
    float peak = 0;
    for (size_t i = samples.size() - frames * 2; i < samples.size(); ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

} // namespace

TEST(EffectChain, EchoAddsOneDelayedCopyAtTheWetShare)
{
    platform::EffectChain chain(2, RATE);
    chain.Add(platform::EffectKind::Echo);
    ASSERT_EQ(chain.SetEcho(0, DSFXEcho{50, 0, 10, 10, 0}), DS_OK); // 10 ms = 441 frames, no feedback
    std::vector<float> samples(2000 * 2, 0.0f);
    samples[0] = samples[1] = 2000;
    chain.Process(samples.data(), 2000);
    EXPECT_FLOAT_EQ(samples[0], 1000);
    EXPECT_FLOAT_EQ(samples[2 * 441], 1000);
    EXPECT_FLOAT_EQ(samples[2 * 441 + 1], 1000);
    float rest = 0;
    for (size_t i = 2; i < samples.size(); ++i) {
        if (i / 2 != 441)
            rest += std::fabs(samples[i]);
    }
    EXPECT_EQ(rest, 0.0f);
}

TEST(EffectChain, CompressorFollowsItsStaticCurveAboveTheThreshold)
{
    platform::EffectChain chain(2, RATE);
    chain.Add(platform::EffectKind::Compressor); // threshold -20 dB, ratio 3, attack 10 ms, release 200 ms
    std::vector<float> square(RATE * 2);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = ((i / 2) / 50) % 2 ? 30000.0f : -30000.0f;
    chain.Process(square.data(), RATE);
    // 30000 is -0.77 dBFS, 19.23 dB over the threshold; a third of that stays: -13.59 dBFS = 6855.
    EXPECT_NEAR(PeakOfLast(square, RATE / 4), 6855.0f, 6855.0f * 0.03f);

    platform::EffectChain quiet_chain(2, RATE);
    quiet_chain.Add(platform::EffectKind::Compressor);
    std::vector<float> quiet = Sine(3000, 440, RATE / 10); // below -20 dBFS (3277)
    const std::vector<float> original = quiet;
    quiet_chain.Process(quiet.data(), RATE / 10);
    EXPECT_EQ(quiet, original);
}

TEST(EffectChain, EqualiserBoostsItsBandAndLeavesOthers)
{
    platform::EffectChain chain(2, RATE);
    chain.Add(platform::EffectKind::ParamEq);
    ASSERT_EQ(chain.SetParamEq(0, DSFXParamEq{1000, 12, 6}), DS_OK);
    std::vector<float> centre = Sine(4000, 1000, RATE / 2);
    chain.Process(centre.data(), RATE / 2);
    // +6 dB is a factor of 10^(6/20) = 1.995.
    EXPECT_NEAR(PeakOfLast(centre, RATE / 10), 4000 * 1.995f, 4000 * 0.03f);

    chain.Reset();
    std::vector<float> far = Sine(4000, 12000, RATE / 2); // more than three octaves away
    chain.Process(far.data(), RATE / 2);
    EXPECT_NEAR(PeakOfLast(far, RATE / 10), 4000, 4000 * 0.05f);

    EXPECT_EQ(chain.SetParamEq(0, DSFXParamEq{79, 12, 0}), DSERR_INVALIDPARAM);
    EXPECT_EQ(chain.SetParamEq(0, DSFXParamEq{1000, 12, 15.5f}), DSERR_INVALIDPARAM);
}
