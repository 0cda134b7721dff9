#include "moviecheck/MovieCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/TempDir.h"
#include "wavwriter/WavWriter.h"

namespace {

// Appends milliseconds of a stereo tone (0 Hz: silence) at 44,100 Hz.
void AddTone(std::vector<int16_t>& samples, int hz, int milliseconds, double amplitude)
{
    const int frames = 44100 * milliseconds / 1000;
    for (int n = 0; n < frames; ++n) {
        const auto value =
            static_cast<int16_t>(hz == 0 ? 0 : amplitude * std::sin(2 * std::numbers::pi * hz * n / 44100.0));
        samples.push_back(value);
        samples.push_back(value);
    }
}

// The movie test tells its third clip's 550 Hz track from the others' 440 and 660 Hz, quiet as
// movies are mixed, and a pause's silence is not counted.
TEST(MovieCheck, ToneIsMeasuredApartFromOtherTonesAndSilence)
{
    std::vector<int16_t> samples;
    AddTone(samples, 440, 300, 400);
    AddTone(samples, 550, 500, 400);
    AddTone(samples, 0, 200, 0);
    AddTone(samples, 660, 400, 400);
    AddTone(samples, 550, 240, 120);
    TempDir dir;
    const std::string path = dir.PathOf("sound.wav");
    tools::WavContents wav;
    wav.samples = tools::Pcm16Bytes(samples);
    ASSERT_TRUE(tools::WriteWavFile(path, wav));
    EXPECT_NEAR(tools::WavToneMilliseconds(path, 550), 740, 40);
    EXPECT_NEAR(tools::WavToneMilliseconds(path, 440), 300, 40);
    EXPECT_NEAR(tools::WavToneMilliseconds(path, 660), 400, 40);
    EXPECT_EQ(tools::WavToneMilliseconds(dir.PathOf("none.wav"), 550), -1);
}

} // namespace
