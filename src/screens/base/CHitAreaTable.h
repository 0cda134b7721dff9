#pragma once
// A screen's clickable regions, read from a hit-area file (".area"): a u32 count, then count
// records of u32 id and i32 left, top, right, bottom in screen pixels, little-endian. Table order
// is the file's and is the priority of the hit test: where regions overlap, the earlier wins.
// Main thread only.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/CStringUTF8.h"

struct HitArea
{
    uint32_t Id = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;  // exclusive
    int32_t Bottom = 0; // exclusive

    // Left and top edges inside, right and bottom outside; an empty rectangle holds no point.
    bool Contains(int32_t x, int32_t y) const { return Left <= x && x < Right && Top <= y && y < Bottom; }
};

inline constexpr size_t HIT_AREA_RECORD_SIZE = 20;

class CHitAreaTable
{
public:
    // Reads the named entry from the document's data archives. An unreadable entry or one whose
    // count does not fit its size is reported in a message box and answers false; the table then
    // keeps the records it had.
    bool Load(const CStringUTF8& name);
    // Replaces the records by those of a whole file image; false, changing nothing, when the
    // count does not fit the size (so a damaged count never allocates).
    bool Parse(const uint8_t* image, size_t size);

    // The first record holding the point, or null.
    const HitArea* HitTest(int32_t x, int32_t y) const;
    // The first record with the id, or null.
    const HitArea* Find(uint32_t id) const;
    // Warps the mouse to the centre of the first record with the id (rounding toward zero);
    // nothing when no record has it. Always false.
    bool MoveCursorToArea(uint32_t id) const;

    // Replaces the records by ones built in code.
    void Assign(std::vector<HitArea> records) { m_records = std::move(records); }
    const std::vector<HitArea>& Records() const { return m_records; }
    bool IsEmpty() const { return m_records.empty(); }

private:
    std::vector<HitArea> m_records;
};
