#include "foundation/Lzss.h"

#include <bit>
#include <cstring>
#include <vector>

namespace {

// Copies one match of length bytes that starts distance bytes back in the output. The ring holds
// exactly the last 4096 bytes written, so ring position p seen from write position r is the output
// byte (r - p) & 0xFFF back, where 0 stands for a full 4096; bytes before the output's start are
// the ring's initial zeros. Reading forward one byte at a time keeps overlapping matches right.
void CopyMatchSlow(uint8_t* out, size_t o, size_t distance, size_t length)
{
    for (size_t k = 0; k < length; ++k) {
        const size_t target = o + k;
        out[target] = target >= distance ? out[target - distance] : 0;
    }
}

// The same for a source wholly inside the output, with at least MATCH_SLACK writable bytes after
// the target: whole chunks may run past the match's end, into bytes the next codes rewrite.
constexpr size_t MATCH_SLACK = 32;

// A match of period 4, a repeated 32-bit pixel, the commonest short period: whole chunks of it.
[[gnu::always_inline]] inline void StorePixelRun(uint8_t* target, uint32_t pixel)
{
    const uint64_t pair = pixel | (uint64_t{pixel} << 32);
    std::memcpy(target, &pair, 8);
    std::memcpy(target + 8, &pair, 8);
    std::memcpy(target + 16, &pair, 8);
}

[[gnu::always_inline]] inline void CopyMatchFast(uint8_t* target, size_t distance, size_t length)
{
    const uint8_t* source = target - distance;
    // Whole chunks up to the longest match, without a branch on the length.
    static_assert(LZSS_MAX_MATCH <= 24);
    if (distance >= 8) {
        std::memcpy(target, source, 8);
        std::memcpy(target + 8, source + 8, 8);
        std::memcpy(target + 16, source + 16, 8);
    } else if (distance == 1) {
        std::memset(target, *source, LZSS_MAX_MATCH);
    } else if (distance == 4) {
        uint32_t pixel;
        std::memcpy(&pixel, source, 4);
        StorePixelRun(target, pixel);
    } else {
        // Another short period: each eight-byte store keeps its first `distance` bytes, which
        // were loaded from bytes already final; the rest is rewritten by the next store or lies
        // in the slack.
        for (size_t k = 0; k < length; k += distance) {
            uint64_t chunk;
            std::memcpy(&chunk, source + k, 8);
            std::memcpy(target + k, &chunk, 8);
        }
    }
}

struct Match
{
    size_t distance;
    size_t length;
};

Match ReadMatch(const uint8_t* code, size_t o)
{
    const size_t position = code[0] | ((code[1] & 0xF0) << 4);
    const size_t write_position = (LZSS_RING_START + o) & (LZSS_RING_SIZE - 1);
    // 1 to 4096: a match at the write position itself reaches a full ring back.
    const size_t distance = ((write_position - position - 1) & (LZSS_RING_SIZE - 1)) + 1;
    return {distance, (code[1] & 0x0FU) + LZSS_MIN_MATCH};
}

// A whole group of eight codes, and its largest output with the fast copies' slack.
constexpr size_t GROUP_INPUT = 1 + 8 * 2 + 8;
constexpr size_t GROUP_OUTPUT = 8 * LZSS_MAX_MATCH + MATCH_SLACK;

// The run of one pixel that the last match of period 4 left off at: the next such match that
// follows it at once takes its pixel from here rather than reading back bytes just stored.
struct Repeat
{
    size_t end = SIZE_MAX; // where in the whole output the match ended
    uint32_t pixel = 0;    // the four bytes that would follow it
};

// Decodes one group without bounds checks: the caller keeps GROUP_INPUT bytes of input and
// GROUP_OUTPUT of room. Output byte `o` of `out` is byte `o + offset` of the whole output (the
// offset wraps below zero as a window moves on). Literal runs are copied eight bytes at a time, so
// the input keeps eight bytes in reserve.
[[gnu::always_inline]] inline void DecodeGroup(const uint8_t* in, size_t& i, uint8_t* out, size_t& o,
                                               size_t offset, Repeat& repeat)
{
    // The codes still to decode as zero bits for literals and ones for matches, above them a one
    // that ends the group.
    unsigned codes = (~unsigned{in[i++]} & 0xFFU) | 0x100U;
    while (codes != 1) {
        if ((codes & 1) == 0) {
            // A run of literals: copy eight bytes and keep as many as the run is long; the run
            // stops at the group's end.
            const int run = std::countr_zero(codes);
            std::memcpy(out + o, in + i, 8);
            o += run;
            i += run;
            codes >>= run;
            continue;
        }
        const Match match = ReadMatch(in + i, o + offset);
        i += 2;
        if (match.distance == 4 && o + offset == repeat.end) {
            StorePixelRun(out + o, repeat.pixel);
            repeat.pixel = std::rotr(repeat.pixel, static_cast<int>(8 * (match.length % 4)));
            repeat.end = o + offset + match.length;
        } else if (o >= match.distance) {
            CopyMatchFast(out + o, match.distance, match.length);
            if (match.distance == 4) {
                uint32_t pixel;
                std::memcpy(&pixel, out + o, 4);
                repeat.pixel = std::rotr(pixel, static_cast<int>(8 * (match.length % 4)));
                repeat.end = o + offset + match.length;
            }
        } else {
            CopyMatchSlow(out, o, match.distance, match.length);
        }
        o += match.length;
        codes >>= 1;
    }
}

} // namespace

LzssDecodeResult LzssDecode(std::span<const uint8_t> input, std::span<uint8_t> output)
{
    const uint8_t* in = input.data();
    const size_t in_size = input.size();
    uint8_t* out = output.data();
    const size_t out_size = output.size();
    size_t i = 0;
    size_t o = 0;
    LzssDecodeResult result;
    Repeat repeat;

    // While a whole group of eight codes and its largest output fit, decode without bounds checks.
    while (in_size - i >= GROUP_INPUT && out_size - o >= GROUP_OUTPUT)
        DecodeGroup(in, i, out, o, 0, repeat);

    // The last groups: every byte read and written is checked.
    while (i < in_size) {
        unsigned flags = in[i++];
        for (int code = 0; code < 8 && i < in_size; ++code, flags >>= 1) {
            if (flags & 1) {
                if (o >= out_size) {
                    result.overflowed = true;
                    result.produced = o;
                    return result;
                }
                out[o++] = in[i++];
                continue;
            }
            if (in_size - i < 2) {
                result.truncated = true;
                result.produced = o;
                return result;
            }
            const Match match = ReadMatch(in + i, o);
            i += 2;
            if (out_size - o < match.length) {
                result.overflowed = true;
                result.produced = o;
                return result;
            }
            CopyMatchSlow(out, o, match.distance, match.length);
            o += match.length;
        }
    }
    result.produced = o;
    return result;
}

LzssDecodeResult LzssDecodeInPieces(std::span<const uint8_t> input, size_t out_size,
                                    const std::function<void(std::span<const uint8_t>)>& sink)
{
    // The window: the ring's last 4096 bytes (at first its zeros) before the piece being decoded,
    // and room for one whole group and its slack after it.
    constexpr size_t HISTORY = LZSS_RING_SIZE;
    constexpr size_t PIECE = 64 * 1024;
    std::vector<uint8_t> window(HISTORY + PIECE + GROUP_OUTPUT, 0);
    uint8_t* const out = window.data();
    const uint8_t* in = input.data();
    const size_t in_size = input.size();
    size_t i = 0;
    size_t o = HISTORY; // where the next byte goes in the window
    size_t flushed = 0; // bytes already handed to the sink
    LzssDecodeResult result;
    Repeat repeat;
    const auto produced = [&] { return flushed + (o - HISTORY); };
    const auto flush = [&] {
        if (o == HISTORY)
            return;
        sink(std::span<const uint8_t>(out + HISTORY, o - HISTORY));
        flushed += o - HISTORY;
        std::memmove(out, out + o - HISTORY, HISTORY);
        o = HISTORY;
    };
    const auto finish = [&](bool overflowed, bool truncated) {
        flush();
        result.produced = flushed;
        result.overflowed = overflowed;
        result.truncated = truncated;
        return result;
    };

    // Matches always find their source in the window, so the fast copies serve every one.
    while (in_size - i >= GROUP_INPUT && out_size - produced() >= GROUP_OUTPUT) {
        if (o >= HISTORY + PIECE)
            flush();
        DecodeGroup(in, i, out, o, flushed - HISTORY, repeat);
    }

    while (i < in_size) {
        if (o >= HISTORY + PIECE)
            flush();
        unsigned flags = in[i++];
        for (int code = 0; code < 8 && i < in_size; ++code, flags >>= 1) {
            if (flags & 1) {
                if (produced() >= out_size)
                    return finish(true, false);
                out[o++] = in[i++];
                continue;
            }
            if (in_size - i < 2)
                return finish(false, true);
            const Match match = ReadMatch(in + i, produced());
            i += 2;
            if (out_size - produced() < match.length)
                return finish(true, false);
            CopyMatchSlow(out, o, match.distance, match.length);
            o += match.length;
        }
    }
    return finish(false, false);
}

LzssDecodeResult LzssMeasure(std::span<const uint8_t> input, size_t out_size)
{
    const uint8_t* in = input.data();
    const size_t in_size = input.size();
    size_t i = 0;
    size_t o = 0;
    LzssDecodeResult result;
    while (i < in_size) {
        unsigned flags = in[i++];
        for (int code = 0; code < 8 && i < in_size; ++code, flags >>= 1) {
            const size_t length = (flags & 1)       ? 1
                                  : in_size - i < 2 ? 0
                                                    : (in[i + 1] & 0x0FU) + LZSS_MIN_MATCH;
            if (length == 0) {
                result.truncated = true;
                result.produced = o;
                return result;
            }
            if (out_size - o < length) {
                result.overflowed = true;
                result.produced = o;
                return result;
            }
            i += (flags & 1) ? 1 : 2;
            o += length;
        }
    }
    result.produced = o;
    return result;
}
