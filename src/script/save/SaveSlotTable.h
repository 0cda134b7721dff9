#pragma once
// The system slot table: 301 packed slot headers and the two slot pointers, kept in the first
// 31,009 bytes of the system flag file's byte array and mirrored into the game state's while a
// save or load runs. Slots come in three groups of 100 (manual 1-100, auto 101-200, quick
// 201-300); inside a group the used slots run unbroken from its first slot, newest first.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "foundation/CStringUTF8.h"

class FlagBuffer;

inline constexpr uint32_t SLOT_HEADER_SIZE = 103;
inline constexpr uint32_t SLOT_HEADER_COUNT = 301;
inline constexpr uint32_t SLOT_LAST_SAVED_OFFSET = 31003;
inline constexpr uint32_t SLOT_CONTINUE_OFFSET = 31005;
inline constexpr uint32_t SLOT_TABLE_SIZE = 31009;
inline constexpr uint32_t SLOT_COMMENT_OFFSET = 21;
inline constexpr uint32_t SLOT_COMMENT_BYTES = 44;
// The longest comment kept, in UTF-16 units; its NUL still fits the field.
inline constexpr uint32_t SLOT_COMMENT_UNITS = 21;
// A delete or delete-all clears only this much of a header's comment.
inline constexpr uint32_t SLOT_COMMENT_CLEARED_BYTES = 22;

inline constexpr uint32_t SLOT_FIRST = 1;
inline constexpr uint32_t SLOT_LAST = 300;
inline constexpr uint32_t SLOT_GROUP_SIZE = 100;
inline constexpr uint32_t SLOT_AUTO_FIRST = 101;
inline constexpr uint32_t SLOT_QUICK_FIRST = 201;

// The system file's variables (mirrored in the game state) that say which kinds of save exist.
inline constexpr size_t VARIABLE_SAVE_MADE = 53;
inline constexpr size_t VARIABLE_SLOT_SAVE_MADE = 56;
inline constexpr size_t VARIABLE_QUICK_SAVE_MADE = 57;

// Group word 0 manual, 1 auto, 2 quick.
inline constexpr uint32_t SlotGroupFirst(int32_t group) { return 1 + SLOT_GROUP_SIZE * static_cast<uint32_t>(group); }
inline constexpr uint32_t SlotGroupLast(int32_t group) { return SLOT_GROUP_SIZE * (static_cast<uint32_t>(group) + 1); }
// The group of slots 1 to 300.
inline constexpr int32_t SlotGroupOf(uint32_t slot) { return static_cast<int32_t>((slot - 1) / SLOT_GROUP_SIZE); }

struct SaveSlotHeader
{
    uint8_t Used = 0;
    uint16_t GameDate = 0; // MMDD, month 13 for January
    uint16_t Weekday = 0;
    uint16_t GameTime = 0; // HHMM
    uint16_t Money = 0;
    uint16_t Year = 0;
    uint16_t Month = 0;
    uint16_t Day = 0;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    std::array<uint8_t, SLOT_COMMENT_BYTES> Comment{}; // UTF-16LE, NUL-terminated

    // Used, with the game fields as a slot saved from the state shows them; the rest zero.
    static SaveSlotHeader OfState(const FlagBuffer& state);
    // The header a save showed, for the state stored in the slot's flag file: the save put its
    // header into the table, at the slot it saved into, before the state was stored, and named
    // that slot by the last-saved pointer (an auto save) or the continue pointer (the others);
    // pushes and deletes move the file since, never that copy. OfState without a copy that
    // agrees with the state's own fields (a script's flag file, an older build's).
    static SaveSlotHeader OfStoredState(uint32_t slot, FlagBuffer& state);

    // The packed little-endian form; both need exactly SLOT_HEADER_SIZE bytes. The header's
    // last 38 bytes are neither written nor read: they only move with the slot (Copy).
    void Encode(std::span<uint8_t, SLOT_HEADER_SIZE> out) const;
    static SaveSlotHeader Decode(std::span<const uint8_t, SLOT_HEADER_SIZE> in);

    // Zeroes the field, then stores the text's first units: at most 21, never half of a
    // surrogate pair, so the field always ends in a NUL.
    void SetComment(const CStringUTF8& text);
    CStringUTF8 GetComment() const;
};

// A view of the table's bytes; the span must hold at least SLOT_TABLE_SIZE bytes.
class SaveSlotTable
{
public:
    explicit SaveSlotTable(std::span<uint8_t> bytes);

    SaveSlotHeader Get(uint32_t slot) const;
    void Put(uint32_t slot, const SaveSlotHeader& header);
    bool IsUsed(uint32_t slot) const;
    // Header to := header from, all 103 bytes.
    void Copy(uint32_t from, uint32_t to);
    // Used := 0 and the first 22 comment bytes zeroed; the rest stays.
    void Clear(uint32_t slot);
    // The used run from the group's first slot.
    int32_t CountUsed(int32_t group) const;

    uint16_t GetLastSaved() const;
    void SetLastSaved(uint16_t slot);
    uint16_t GetContinue() const;
    void SetContinue(uint16_t slot);

private:
    uint8_t* Header(uint32_t slot) const;

    std::span<uint8_t> m_bytes;
};

// Makes the byte array long enough to hold the table, adding zeros.
void GrowToSlotTable(std::vector<uint8_t>& bytes);
