#pragma once
// Builds FLAG images, the small archives the executable carries as resources of type "FLAG": a
// little-endian entry count, 272-byte records (a 260-byte zero-padded scrambled name, then the
// big-endian stored size, decoded size and data offset), then every entry as one LZSS stream.
// Also turns an image into the C++ source that compiles it into the executable.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "arcpack/ArchiveWriter.h"

namespace tools {

inline constexpr size_t FLAG_RECORD_SIZE = 272;
inline constexpr size_t FLAG_NAME_FIELD_SIZE = 260;

// Entry names are bytes of the ANSI code page. Throws std::invalid_argument for a name that is
// empty, longer than 259 bytes or holds a zero byte, std::length_error for an image past 4 GB.
std::vector<uint8_t> BuildFlagImage(std::span<const ArchiveEntry> entries);

// C++ source holding the image as an array that registers itself as resource "FLAG" number id.
std::string FlagImageToCpp(std::span<const uint8_t> image, unsigned id);

} // namespace tools
