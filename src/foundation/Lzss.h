#pragma once
// The LZSS form of compressed archive entries and FLAG images. A 4096-byte ring starts zero-filled
// with its write position at 0xFEE; each flag byte announces eight codes, least significant bit
// first: 1 is one literal byte, 0 is a two-byte match b1, b2 that copies (b2 & 0x0F) + 3 bytes from
// ring position b1 | ((b2 & 0xF0) << 4). Stateless; safe on any thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

inline constexpr size_t LZSS_RING_SIZE = 4096;
inline constexpr size_t LZSS_RING_START = 0xFEE;
inline constexpr size_t LZSS_MIN_MATCH = 3;
inline constexpr size_t LZSS_MAX_MATCH = 18;

struct LzssDecodeResult
{
    size_t produced = 0;     // bytes written to the output
    bool overflowed = false; // the stream held more bytes than the output takes
    bool truncated = false;  // the input ended inside a match

    // A stream is sound when it filled the output exactly: a short stream would leave bytes the
    // caller never got, and a long one would have written past the caller's buffer.
    bool Complete(size_t expected_size) const
    {
        return !overflowed && !truncated && produced == expected_size;
    }
};

// Decodes until the input is used up. Never reads past the input or writes past the output; a
// stream that runs out inside a code or holds more than the output takes stops there.
LzssDecodeResult LzssDecode(std::span<const uint8_t> input, std::span<uint8_t> output);

// The same decoding for an output of out_size bytes that is never held whole: the bytes go to the
// sink in order, a piece at a time, as they are decoded, and only the last 4096 of them are kept
// for the matches. The sink sees exactly the bytes LzssDecode would have written.
LzssDecodeResult LzssDecodeInPieces(std::span<const uint8_t> input, size_t out_size,
                                    const std::function<void(std::span<const uint8_t>)>& sink);

// What LzssDecode would answer for an output of out_size bytes, found without decoding.
LzssDecodeResult LzssMeasure(std::span<const uint8_t> input, size_t out_size);
