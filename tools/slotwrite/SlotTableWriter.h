#pragma once
// Writes and reads the save slots' own formats, independent of the engine: the system slot table
// (301 packed 103-byte headers, then the last saved and continue slots as u16, 31,009 bytes in
// all, little-endian, kept at the start of flag file 0's byte array) and the thumbnail file
// (192 x 108 pixels, blue, green, red, unused, bottom row first, 82,944 bytes).

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

inline constexpr size_t SLOT_TABLE_BYTES = 31009;
inline constexpr size_t THUMBNAIL_FILE_BYTES = 192 * 108 * 4;

struct SlotListingHeader
{
    uint32_t slot = 0;
    uint8_t used = 1;
    uint16_t date = 0, weekday = 0, time = 0, money = 0;
    uint16_t saved[6] = {}; // year, month, day, hour, minute, second
    std::u16string comment;  // written as it is, cut to fit the 44 bytes with a NUL
};

struct SlotTableListing
{
    std::vector<SlotListingHeader> headers;
    uint16_t last_saved = 0;
    uint16_t continue_slot = 0;
};

// A listing, one statement a line ('#' starts a comment):
//   slot N [date MMDD] [weekday W] [time HHMM] [money M] [saved Y M D h m s] [empty] [comment TEXT]
//   last N | continue N
// "comment" takes the rest of the line as UTF-8. Throws std::invalid_argument.
SlotTableListing ParseSlotTableListing(const std::string& listing);
std::vector<uint8_t> WriteSlotTable(const SlotTableListing& table);
// Flag file 0 holding the table in its bytes and the save variables 53, 56 and 57.
std::vector<uint8_t> WriteSystemFlagFile(const SlotTableListing& table, int32_t v53, int32_t v56, int32_t v57);
// The used slots of a table (the first 31,009 bytes given), one "slot" statement each, then
// "last" and "continue": a listing ParseSlotTableListing reads back. Short input is padded.
std::string DumpSlotTable(const std::vector<uint8_t>& bytes);

// A thumbnail whose pixel (x, y), y counted from the top, is colour(x, y) as 0xRRGGBB.
std::vector<uint8_t> WriteThumbnailFile(uint32_t (*colour)(int x, int y));
// The thumbnail as top-down RGBA rows (opaque), for a PNG; empty unless exactly 82,944 bytes.
std::vector<uint8_t> ThumbnailToRgba(const std::vector<uint8_t>& file);

} // namespace tools
