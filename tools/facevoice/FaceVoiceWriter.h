#pragma once
// Writer of face-voice tables: a u32 record count, then per record the u32 time in milliseconds
// after the voice began, the i32 animation group (-1 none), the i32 slot and an unused u32, all
// little-endian. The count is written as given, so a test can claim more records than follow;
// a file can also be cut short after any byte.

#include <cstdint>
#include <optional>
#include <vector>

namespace tools {

struct FaceVoiceRecord
{
    uint32_t Time = 0;
    int32_t Group = -1;
    int32_t Slot = 0;
    uint32_t Unused = 0;
};

// The table; count defaults to the number of records, and size cuts the bytes to that length.
std::vector<uint8_t> WriteFaceVoiceTable(const std::vector<FaceVoiceRecord>& records,
                                         std::optional<uint32_t> count = std::nullopt,
                                         std::optional<size_t> size = std::nullopt);

} // namespace tools
