#include "sound/WaveFormatConverter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

WAVEFORMATEX Pcm(WORD channels, DWORD rate, WORD bits)
{
    const WORD block = static_cast<WORD>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * block, block, bits, 0};
}

std::vector<int16_t> ConvertAll(WaveFormatConverter& converter, const std::vector<uint8_t>& input,
                                const WAVEFORMATEX& from, const WAVEFORMATEX& to, uint32_t chunk)
{
    std::vector<int16_t> out;
    std::vector<uint8_t> block(chunk * to.nBlockAlign);
    size_t used = 0;
    const size_t frames = input.size() / from.nBlockAlign;
    while (!converter.Finished()) {
        uint32_t consumed = 0;
        const auto waiting = static_cast<uint32_t>(std::min<size_t>(frames - used, 7));
        const uint32_t written = converter.Convert(input.data() + used * from.nBlockAlign, waiting, &consumed,
                                                   block.data(), chunk, used + waiting == frames);
        used += consumed;
        const size_t start = out.size();
        out.resize(start + written * to.nBlockAlign / 2);
        std::memcpy(out.data() + start, block.data(), written * to.nBlockAlign);
    }
    return out;
}

} // namespace

TEST(WaveFormatConverter, DoublingTheRateInterpolatesAndKeepsTheLength)
{
    const WAVEFORMATEX from = Pcm(1, 22050, 16);
    const WAVEFORMATEX to = Pcm(2, 44100, 16);
    std::vector<int16_t> samples = {0, 100, -100, 1000};
    std::vector<uint8_t> input(8);
    std::memcpy(input.data(), samples.data(), 8);
    WaveFormatConverter converter;
    converter.Reset(from, to);
    EXPECT_EQ(converter.OutputFrames(4), 8u);
    const std::vector<int16_t> out = ConvertAll(converter, input, from, to, 3);
    EXPECT_EQ(out, (std::vector<int16_t>{0, 0, 50, 50, 100, 100, 0, 0, -100, -100, 450, 450, 1000, 1000, 1000,
                                         1000}));
}

TEST(WaveFormatConverter, SameRateChangesOnlyTheSampleForm)
{
    const WAVEFORMATEX from = Pcm(2, 44100, 8);
    const WAVEFORMATEX to = Pcm(1, 44100, 16);
    const std::vector<uint8_t> input = {128, 128, 0, 255, 192, 192};
    WaveFormatConverter converter;
    converter.Reset(from, to);
    // Left and right averaged: (-32768 + 32512) / 2 = -128; 192 is +16384.
    EXPECT_EQ(ConvertAll(converter, input, from, to, 2), (std::vector<int16_t>{0, -128, 16384}));
}

TEST(WaveFormatConverter, ReducingTheRateKeepsEveryNthFrameOnExactMultiples)
{
    const WAVEFORMATEX from = Pcm(1, 48000, 16);
    const WAVEFORMATEX to = Pcm(1, 16000, 16);
    std::vector<int16_t> samples(9);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(i * 10);
    std::vector<uint8_t> input(18);
    std::memcpy(input.data(), samples.data(), 18);
    WaveFormatConverter converter;
    converter.Reset(from, to);
    EXPECT_EQ(converter.OutputFrames(9), 3u);
    EXPECT_EQ(ConvertAll(converter, input, from, to, 64), (std::vector<int16_t>{0, 30, 60}));
}

TEST(WaveFormatConverter, RefusesWhatItCannotRead)
{
    EXPECT_TRUE(WaveFormatConverter::CanConvert(Pcm(1, 8000, 8), Pcm(2, 44100, 16)));
    EXPECT_FALSE(WaveFormatConverter::CanConvert(Pcm(6, 44100, 16), Pcm(2, 44100, 16)));
    EXPECT_FALSE(WaveFormatConverter::CanConvert(Pcm(2, 44100, 24), Pcm(2, 44100, 16)));
    WAVEFORMATEX adpcm = Pcm(2, 44100, 16);
    adpcm.wFormatTag = 2;
    EXPECT_FALSE(WaveFormatConverter::CanConvert(adpcm, Pcm(2, 44100, 16)));
}
