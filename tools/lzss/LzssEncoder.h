#pragma once
// LZSS encoder for the ring format that foundation/Lzss.h decodes: greedy matching over hash chains
// of three-byte prefixes, with the ring's initial zeros counted as history so leading runs of zero
// bytes compress too.

#include <cstdint>
#include <span>
#include <vector>

namespace tools {

std::vector<uint8_t> LzssEncode(std::span<const uint8_t> data);

} // namespace tools
