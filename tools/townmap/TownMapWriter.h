#pragma once
// Writes the town map's data files: walk maps from a text grid, mover blocks with their tables
// and programs, and event-area files. Damaged files for tests are these bytes cut or overwritten.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tools {

// One text row per map row, one character per cell: '.' free, '#' blocked without slide bits (0x10), a
// hexadecimal digit 1-9, A-F that block byte (its slide bits). Tile0 of cell (x, y) is y x 256 + x, Tile1
// 0x8000 + that. Rows shorter than the first are padded free.
std::vector<uint8_t> BuildWalkMap(const std::vector<std::string>& rows);

struct MoverRecord
{
    uint8_t state = 0x01;
    uint8_t pattern = 0;
    uint8_t width = 1;
    uint8_t height = 2;
    uint16_t x = 0;
    uint16_t y = 0;
    uint8_t facing = 0;
    uint8_t program = 0;
};

// A program as (opcode, operand) pairs; the writer ends each with a zero byte (restart).
using MoveProgram = std::vector<std::pair<uint8_t, uint8_t>>;

struct MoverBlockSpec
{
    std::vector<MoverRecord> movers;
    std::vector<MoveProgram> programs; // program p starts at restart entry p
    std::vector<uint8_t> view_points;  // 4 bytes a point
    std::vector<uint16_t> patterns;    // tile words from pattern entry 0 on, 4 words an entry
};

// Header, mover table (the restart table right after it and one spare byte, so the count reads
// back), restart table, view points, patterns, programs.
std::vector<uint8_t> BuildMoverBlock(const MoverBlockSpec& spec);
// The offset of program p's first byte in a block built from spec.
uint16_t ProgramOffset(const MoverBlockSpec& spec, size_t program);

struct EventAreaRecord
{
    uint16_t id = 0;
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t right = 0;
    uint16_t bottom = 0;
    uint8_t directions = 0x0F;
};

// The records and, unless told not to, the 0xFFFF end record.
std::vector<uint8_t> BuildEventAreaFile(const std::vector<EventAreaRecord>& areas, bool end_record = true);

} // namespace tools
