#include "wavwriter/WavWriter.h"

#include <gtest/gtest.h>

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

std::string Id(const std::vector<uint8_t>& b, size_t at)
{
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                       b.begin() + static_cast<std::ptrdiff_t>(at) + 4);
}

} // namespace

TEST(WavWriter, WritesTheCanonicalHeaderByteForByte)
{
    tools::WavContents wav;
    wav.channels = 1;
    wav.rate = 8000;
    wav.samples = tools::Pcm16Bytes({1, -1});
    const std::vector<uint8_t> expected = {
        'R', 'I', 'F', 'F', 40,   0,    0, 0, 'W',  'A',  'V',  'E', // RIFF size = 4 + 24 + 12
        'f', 'm', 't', ' ', 16,   0,    0, 0,                        // fmt chunk of 16 bytes
        1,   0,   1,   0,   0x40, 0x1F, 0, 0, 0x80, 0x3E, 0,    0,
        2,   0,   16,  0, // PCM, mono, 8000 Hz, 16000 B/s, block 2, 16 bit
        'd', 'a', 't', 'a', 4,    0,    0, 0, 1,    0,    0xFF, 0xFF};
    EXPECT_EQ(tools::WriteWav(wav), expected);
}

TEST(WavWriter, PadsOddChunksAndPlacesTheLoopRecord)
{
    tools::WavContents wav;
    wav.samples = tools::Pcm16Bytes({0, 0});
    wav.before_data.push_back({"junk", {1, 2, 3}});
    wav.loop = tools::WavLoop{.start = 5, .end = 9};
    const std::vector<uint8_t> out = tools::WriteWav(wav);
    EXPECT_EQ(Le32(out, 4), out.size() - 8);
    // fmt at 12 (24 bytes), junk at 36: 8 + 3 + 1 pad, data at 48: 8 + 4, smpl at 60.
    EXPECT_EQ(Id(out, 36), "junk");
    EXPECT_EQ(Le32(out, 40), 3u);
    EXPECT_EQ(out[47], 0);
    EXPECT_EQ(Id(out, 48), "data");
    EXPECT_EQ(Id(out, 60), "smpl");
    EXPECT_EQ(Le32(out, 64), 36u + 24u);
    EXPECT_EQ(Le32(out, 68 + 28), 1u); // the eighth u32: loop count
    EXPECT_EQ(Le32(out, 68 + 36 + 8), 5u);
    EXPECT_EQ(Le32(out, 68 + 36 + 12), 9u);
    EXPECT_EQ(out.size(), 68u + 60u);
}
