#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/Lzss.h"
#include "lzss/LzssEncoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes RoundTrip(const Bytes& data, size_t* packed_size = nullptr)
{
    const Bytes packed = tools::LzssEncode(data);
    if (packed_size)
        *packed_size = packed.size();
    Bytes out(data.size());
    const LzssDecodeResult result = LzssDecode(packed, out);
    EXPECT_TRUE(result.Complete(data.size()));
    return out;
}

} // namespace

TEST(LzssEncode, RoundTripsAssortedData)
{
    std::mt19937 random(7);
    std::vector<Bytes> inputs;
    inputs.push_back({});
    inputs.push_back({'a'});
    inputs.push_back(Bytes(100'000, 0));
    inputs.push_back(Bytes(5000, 0xAB));
    Bytes noise(70'000);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(random());
    inputs.push_back(noise);
    Bytes mixed;
    for (int k = 0; k < 20'000; ++k) // short repeats near and far, some longer than a match
        mixed.push_back(static_cast<uint8_t>(k % 3 == 0 ? random() % 4 : (k / 37) % 251));
    inputs.push_back(mixed);
    for (const Bytes& input : inputs)
        EXPECT_EQ(RoundTrip(input), input) << "size " << input.size();
}

TEST(LzssEncode, FindsRealMatches)
{
    const std::string line = "The quick brown fox jumps over the lazy dog. ";
    Bytes text;
    while (text.size() < 40'000)
        text.insert(text.end(), line.begin(), line.end());
    size_t packed_size = 0;
    EXPECT_EQ(RoundTrip(text, &packed_size), text);
    // Repeated text packs to two bytes per 18 plus a flag bit, about a ninth of its size.
    EXPECT_LT(packed_size, text.size() / 8);
}

TEST(LzssEncode, CountsTheRingsInitialZerosAsHistory)
{
    // The first zero bytes can already be a match into the zero-filled ring: eighteen zeros are one
    // flag byte and one two-byte match.
    const Bytes zeros(18, 0);
    EXPECT_EQ(tools::LzssEncode(zeros).size(), 3u);
    EXPECT_EQ(RoundTrip(zeros), zeros);
}
