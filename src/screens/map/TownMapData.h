#pragma once
// The town map's records. The file records are read and written in place as little-endian fields
// at their byte offsets, so a mover's walk changes the very block it was loaded in, whatever the
// host's byte order and alignment. The in-memory records (camera, view cells) are plain.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int32_t MAP_MAX_COLUMNS = 255;
inline constexpr int32_t MAP_MAX_ROWS = 192;
inline constexpr int32_t MAP_CELL_SIZE = 5;
inline constexpr int32_t MAP_CELL_PIXELS = 40;
inline constexpr int32_t MAP_VIEW_COLUMNS = 48;
inline constexpr int32_t MAP_VIEW_ROWS = 27;
inline constexpr size_t MAP_MOVER_LIMIT = 64;
inline constexpr size_t MAP_MOVER_RECORD_SIZE = 14;
inline constexpr size_t MAP_EVENT_AREA_SIZE = 12;
inline constexpr uint16_t MAP_EVENT_END = 0xFFFF;
inline constexpr uint16_t MAP_NO_TILE = 0xFFFF;
inline constexpr size_t MAP_TRAIL_LENGTH = 32;

namespace townmap {

inline uint16_t Read16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline void Write16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

} // namespace townmap

// One cell of the walk map: two tile numbers and the block byte (0 free; else blocked, its bits
// telling how a mover may slide around it).
class MapCell
{
public:
    explicit MapCell(uint8_t* bytes)
        : m_bytes(bytes)
    {}
    uint16_t Tile0() const { return townmap::Read16(m_bytes); }
    uint16_t Tile1() const { return townmap::Read16(m_bytes + 2); }
    uint8_t Block() const { return m_bytes[4]; }
    void SetTile0(uint16_t tile) { townmap::Write16(m_bytes, tile); }
    void SetTile1(uint16_t tile) { townmap::Write16(m_bytes + 2, tile); }
    void SetBlock(uint8_t block) { m_bytes[4] = block; }

private:
    uint8_t* m_bytes; // not owned: the grid's or the file's bytes
};

// A walking figure inside the mover block; every change stays in the block.
class MapMover
{
public:
    explicit MapMover(uint8_t* bytes)
        : m_bytes(bytes)
    {}
    uint8_t State() const { return m_bytes[0]; }
    uint8_t Pattern() const { return m_bytes[1]; }
    uint8_t Width() const { return m_bytes[2]; }
    uint8_t Height() const { return m_bytes[3]; }
    uint16_t X() const { return townmap::Read16(m_bytes + 4); }
    uint16_t Y() const { return townmap::Read16(m_bytes + 6); }
    uint8_t Facing() const { return m_bytes[8]; }
    uint8_t Program() const { return m_bytes[9]; }
    uint8_t Opcode() const { return m_bytes[10]; }
    uint8_t Count() const { return m_bytes[11]; }
    uint16_t Pc() const { return townmap::Read16(m_bytes + 12); }
    void SetState(uint8_t value) { m_bytes[0] = value; }
    void SetX(uint16_t value) { townmap::Write16(m_bytes + 4, value); }
    void SetY(uint16_t value) { townmap::Write16(m_bytes + 6, value); }
    void SetFacing(uint8_t value) { m_bytes[8] = value; }
    void SetOpcode(uint8_t value) { m_bytes[10] = value; }
    void SetCount(uint8_t value) { m_bytes[11] = value; }
    void SetPc(uint16_t value) { townmap::Write16(m_bytes + 12, value); }
    uint8_t* Bytes() const { return m_bytes; }

private:
    uint8_t* m_bytes; // not owned: a record of the mover block
};

// The movement data of one map, whole: header of four u16 offsets (mover table, restart table,
// view points, tile patterns), then the tables and the program bytes.
struct MoveProgramBlock
{
    std::vector<uint8_t> Bytes;

    bool Empty() const { return Bytes.empty(); }
    uint16_t Header(size_t index) const
    {
        return Bytes.size() >= 8 ? townmap::Read16(Bytes.data() + 2 * index) : uint16_t{0};
    }
    uint16_t MoverTable() const { return Header(0); }
    uint16_t RestartTable() const { return Header(1); }
    uint16_t PatternTable() const { return Header(3); }
    // The program start of a program number, when its entry lies inside the block.
    bool RestartEntry(uint8_t program, uint16_t& offset) const
    {
        const size_t at = size_t{RestartTable()} + 2u * program;
        if (at + 2 > Bytes.size())
            return false;
        offset = townmap::Read16(Bytes.data() + at);
        return true;
    }
};

struct MapEventArea
{
    uint16_t Id = 0;
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Right = 0;
    uint16_t Bottom = 0;
    uint8_t Directions = 0; // bit d allows facing d (0 up, 1 down, 2 left, 3 right)
};

struct MapCamera
{
    int32_t CamX = 0;
    int32_t CamY = 0;
    int32_t MapWidth = 0;
    int32_t MapHeight = 0;
    int32_t ViewLeft = 0;
    int32_t ViewTop = 0;
    int32_t ViewWidth = MAP_VIEW_COLUMNS;
    int32_t ViewHeight = MAP_VIEW_ROWS;
    int32_t MarginLeft = 20;
    int32_t MarginTop = 12;
    int32_t MarginRight = 20;
    int32_t MarginBottom = 12;
    bool operator==(const MapCamera&) const = default;
};

// One visible cell: the map's two tiles and two mover tiles (0xFFFF empty). A mover tile holds the
// mover's ordinal in bits 10..15 and its tile in bits 0..9; bit 15 of Tile1 marks a mover tile
// drawn as the overlay.
struct ViewCell
{
    uint16_t Tile0 = MAP_NO_TILE;
    uint16_t Tile1 = MAP_NO_TILE;
    uint16_t MoverA = MAP_NO_TILE;
    uint16_t MoverB = MAP_NO_TILE;
    bool operator==(const ViewCell&) const = default;
};

// The visible cells with a row stride of the view's own width, so no column reaches into the
// next row.
using ViewCellArray = std::array<ViewCell, MAP_VIEW_COLUMNS * MAP_VIEW_ROWS>;

inline size_t ViewIndex(int32_t column, int32_t row)
{
    return static_cast<size_t>(row) * MAP_VIEW_COLUMNS + static_cast<size_t>(column);
}

struct TrailEntry
{
    uint16_t X = 0;
    uint16_t Y = 0;
    uint8_t Facing = 0;
};

namespace townmap {

// The map's size from a walk-map file, when the file is whole and fits the grid.
bool AcceptWalkMap(const std::vector<uint8_t>& file, int32_t& width, int32_t& height);
// Copies a whole walk-map file's cells into the column-major grid.
void CopyWalkMap(const std::vector<uint8_t>& file, std::vector<uint8_t>& grid);
// Every record before the end record, or before the file's end when it has none.
std::vector<MapEventArea> ReadEventAreas(const std::vector<uint8_t>& file);
// How many mover records the block lists and really holds, at most the mover list's size.
size_t CountMovers(const MoveProgramBlock& block);
// Points the mover at its program's first byte and decodes it; false (the mover stands still)
// when the program lies outside the block.
bool PrimeMover(const MoveProgramBlock& block, MapMover mover);
// Reads the mover's next instruction into Opcode and Count, restarting its program at a zero
// byte; false for an idle tick (the program leaves the block or restarts onto a zero byte).
bool FetchInstruction(const MoveProgramBlock& block, MapMover mover);
// The offset of the mover's tile pattern, when all of it lies inside the block.
bool PatternOffset(const MoveProgramBlock& block, MapMover mover, size_t& offset);

} // namespace townmap
