#pragma once
// Builds language text tables (".map"): a little-endian count, that many (i32 id, u32 offset)
// pairs, then every text as UTF-16LE ended by a 0 unit. The listing it reads is UTF-8 text, one
// entry a line: the id, one space or tab, then the text to the end of the line, markup ("\n",
// "\i", "\r" pairs) written as it stands. Blank lines and lines starting with "#" are skipped.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct MapText
{
    int32_t id;
    std::u16string text;
};

// Texts in the given order; a repeated id is written again (the reader keeps the first).
std::vector<uint8_t> BuildMapTable(std::span<const MapText> texts);

// Throws std::invalid_argument naming the line for a line without an id or separator.
std::vector<MapText> ParseMapListing(std::string_view listing);

} // namespace tools
