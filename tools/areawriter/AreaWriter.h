#pragma once
// Writes hit-area files (".area"): a u32 count, then per record u32 id and i32 left, top, right,
// bottom, little-endian. Damaged files for tests are the bytes of a sound one cut or with another
// count written over it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

struct AreaRecord
{
    uint32_t id = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// forced_count, when given, is written in place of the number of records.
std::vector<uint8_t> BuildAreaFile(const std::vector<AreaRecord>& records,
                                   std::optional<uint32_t> forced_count = std::nullopt);

// One record a line: "id left top right bottom" (the id decimal or 0x hex); blank lines and lines
// starting with '#' are skipped. Answers false with the failing line's number on an error.
bool ParseAreaText(const std::string& text, std::vector<AreaRecord>& records, int& error_line);

} // namespace tools
