#include <algorithm>
#include <array>
#include <random>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/Lzss.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Decodes into a buffer of exactly expected_size bytes, as the archive reader does.
Bytes Decode(const Bytes& stream, size_t expected_size, LzssDecodeResult* result = nullptr)
{
    Bytes out(expected_size, 0xCC);
    const LzssDecodeResult decoded = LzssDecode(stream, out);
    if (result)
        *result = decoded;
    out.resize(decoded.produced);
    return out;
}

// The textbook ring decoder, one byte at a time: the oracle for streams built at random.
Bytes RingDecode(const Bytes& in)
{
    std::array<uint8_t, 4096> ring{};
    size_t r = 0xFEE;
    unsigned flags = 0;
    size_t i = 0;
    Bytes out;
    while (i < in.size()) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            flags = in[i++] | 0xFF00;
            if (i >= in.size())
                break;
        }
        if (flags & 1) {
            out.push_back(in[i]);
            ring[r] = in[i++];
            r = (r + 1) & 0xFFF;
        } else {
            if (in.size() - i < 2)
                break;
            const size_t position = in[i] | ((in[i + 1] & 0xF0) << 4);
            const size_t length = (in[i + 1] & 0x0F) + 3;
            i += 2;
            for (size_t k = 0; k < length; ++k) {
                const uint8_t b = ring[(position + k) & 0xFFF];
                out.push_back(b);
                ring[r] = b;
                r = (r + 1) & 0xFFF;
            }
        }
    }
    return out;
}

} // namespace

TEST(LzssDecode, MatchBeforeAnyLiteralYieldsZeros)
{
    // flag 0x00: two matches; ring position 0x000 length 3, then 0xFEE (the write position) length 18.
    const Bytes stream = {0x00, 0x00, 0x00, 0xEE, 0xFF};
    LzssDecodeResult result;
    EXPECT_EQ(Decode(stream, 21, &result), Bytes(21, 0));
    EXPECT_TRUE(result.Complete(21));
}

TEST(LzssDecode, EightLiteralsThenMatchAtTheFirstLiteral)
{
    // flag 0xFF: eight literals, landing at ring 0xFEE..0xFF5; flag 0x00, match 0xFEE length 3.
    const Bytes stream = {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x00, 0xEE, 0xF0};
    EXPECT_EQ(Decode(stream, 11), (Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'a', 'b', 'c'}));
}

TEST(LzssDecode, MatchOverlappingTheWritePositionRepeatsTheLastByte)
{
    // flag 0x01: literal 'x' at 0xFEE, then a match at 0xFEE (one back) of length 18.
    const Bytes stream = {0x01, 'x', 0xEE, 0xFF};
    EXPECT_EQ(Decode(stream, 19), Bytes(19, 'x'));
}

TEST(LzssDecode, MatchStraddlingTheRingStartMixesZerosAndOutput)
{
    // flag 0x03: literals 'a' (ring 0xFEE) and 'b' (0xFEF); a match at 0xFED of length 4 reads the
    // never-written zero at 0xFED, 'a', 'b', and then the zero it copied to 0xFF0 itself.
    const Bytes stream = {0x03, 'a', 'b', 0xED, 0xF1};
    EXPECT_EQ(Decode(stream, 6), (Bytes{'a', 'b', 0, 'a', 'b', 0}));
}

TEST(LzssDecode, MatchAtTheWritePositionReadsTheByteWrittenAFullRingAgo)
{
    // 4096 literals fill the ring once; the write position is back at 0xFEE, so a match at 0xFEE
    // copies the first literals again.
    Bytes stream;
    Bytes expected;
    for (size_t k = 0; k < 4096; ++k) {
        if (k % 8 == 0)
            stream.push_back(0xFF);
        const uint8_t b = static_cast<uint8_t>((k * 7 + k / 256) & 0xFF);
        stream.push_back(b);
        expected.push_back(b);
    }
    stream.insert(stream.end(), {0x00, 0xEE, 0xF5}); // match 0xFEE, length 8
    expected.insert(expected.end(), expected.begin(), expected.begin() + 8);
    LzssDecodeResult result;
    EXPECT_EQ(Decode(stream, expected.size(), &result), expected);
    EXPECT_TRUE(result.Complete(expected.size()));
}

TEST(LzssDecode, StopsWhereTheInputRunsOut)
{
    struct Case
    {
        const char* what;
        Bytes stream;
        Bytes output;
        bool truncated;
    };
    const Case cases[] = {
        {"empty input", {}, {}, false},
        {"flag byte alone", {0xFF}, {}, false},
        {"flag byte after eight literals",
         {0xFF, '1', '2', '3', '4', '5', '6', '7', '8', 0x00},
         {'1', '2', '3', '4', '5', '6', '7', '8'},
         false},
        {"literals missing behind their flag", {0xFF, 'a', 'b'}, {'a', 'b'}, false},
        {"match cut after its first byte", {0x01, 'q', 0xEE}, {'q'}, true},
    };
    for (const Case& c : cases) {
        LzssDecodeResult result;
        EXPECT_EQ(Decode(c.stream, 32, &result), c.output) << c.what;
        EXPECT_EQ(result.truncated, c.truncated) << c.what;
        EXPECT_FALSE(result.overflowed) << c.what;
        EXPECT_FALSE(result.Complete(32)) << c.what;
    }
}

TEST(LzssDecode, ShortStreamIsNotComplete)
{
    LzssDecodeResult result;
    Decode({0x03, 'a', 'b'}, 3, &result);
    EXPECT_EQ(result.produced, 2u);
    EXPECT_FALSE(result.Complete(3));
}

TEST(LzssDecode, NeverWritesPastTheOutput)
{
    // Exact-size buffers, so the sanitizer build sees any stray write.
    const Bytes literals = {0xFF, '1', '2', '3', '4', '5', '6', '7', '8'};
    const Bytes match = {0x01, 'x', 0xEE, 0xFF};
    for (size_t size = 0; size < 8; ++size) {
        LzssDecodeResult result;
        const Bytes out = Decode(literals, size, &result);
        EXPECT_TRUE(result.overflowed) << size;
        EXPECT_EQ(out, Bytes(literals.begin() + 1, literals.begin() + 1 + size)) << size;
    }
    for (size_t size = 1; size < 19; ++size) {
        LzssDecodeResult result;
        Decode(match, size, &result);
        EXPECT_TRUE(result.overflowed) << size;
        EXPECT_FALSE(result.Complete(size)) << size;
    }
}

TEST(LzssDecode, AgreesWithTheRingDecoderOnRandomStreams)
{
    std::mt19937 random(12345);
    const uint8_t flag_choices[] = {0xFF, 0x00, 0x55, 0xFE, 0x7F};
    for (int round = 0; round < 200; ++round) {
        Bytes stream;
        size_t produced = 0;
        // Every tenth stream is long enough to pass through many pieces of the piecewise decoder.
        const size_t groups = 1 + random() % (round % 10 == 0 ? 20000 : 800);
        for (size_t g = 0; g < groups; ++g) {
            const uint8_t flags = random() % 2 ? flag_choices[random() % 5] : static_cast<uint8_t>(random());
            stream.push_back(flags);
            for (int bit = 0; bit < 8; ++bit) {
                if (flags & (1 << bit)) {
                    stream.push_back(static_cast<uint8_t>(random()));
                    ++produced;
                    continue;
                }
                // Half the matches reach only a few bytes back, so many overlap their own output.
                const size_t write_position = (0xFEE + produced) & 0xFFF;
                const size_t distance = random() % 2 ? 1 + random() % 24 : random() % 4096;
                const size_t position = (write_position - distance) & 0xFFF;
                const size_t length = 3 + random() % 16;
                stream.push_back(static_cast<uint8_t>(position & 0xFF));
                stream.push_back(static_cast<uint8_t>(((position >> 4) & 0xF0) | (length - 3)));
                produced += length;
            }
        }
        stream.resize(stream.size() - random() % 3);
        const Bytes expected = RingDecode(stream);
        LzssDecodeResult result;
        ASSERT_EQ(Decode(stream, expected.size(), &result), expected) << "round " << round;
        EXPECT_FALSE(result.overflowed);
        // Decoded in pieces and measured, into room for all of it or for less (an overflow).
        for (const size_t room :
             {expected.size(), expected.size() - std::min<size_t>(expected.size(), random() % 40)}) {
            LzssDecodeResult whole;
            const Bytes bytes = Decode(stream, room, &whole);
            Bytes pieces;
            const LzssDecodeResult streamed =
                LzssDecodeInPieces(stream, room, [&](std::span<const uint8_t> piece) {
                    pieces.insert(pieces.end(), piece.begin(), piece.end());
                });
            ASSERT_EQ(pieces, bytes) << "round " << round << ", room " << room;
            for (const LzssDecodeResult& other : {streamed, LzssMeasure(stream, room)}) {
                EXPECT_EQ(other.produced, whole.produced) << "round " << round;
                EXPECT_EQ(other.overflowed, whole.overflowed) << "round " << round;
                EXPECT_EQ(other.truncated, whole.truncated) << "round " << round;
            }
        }
    }
}
