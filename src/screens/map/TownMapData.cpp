#include "screens/map/TownMapData.h"

#include <algorithm>

namespace townmap {

namespace {

constexpr size_t PATTERN_ENTRY_SIZE = 8;
constexpr uint16_t NO_PROGRAM = 0xFFFF;

} // namespace

bool AcceptWalkMap(const std::vector<uint8_t>& file, int32_t& width, int32_t& height)
{
    if (file.size() < 4)
        return false;
    width = Read16(file.data());
    height = Read16(file.data() + 2);
    return width <= MAP_MAX_COLUMNS && height <= MAP_MAX_ROWS &&
           file.size() >=
               4 + size_t{MAP_CELL_SIZE} * static_cast<size_t>(width) * static_cast<size_t>(height);
}

void CopyWalkMap(const std::vector<uint8_t>& file, std::vector<uint8_t>& grid)
{
    int32_t width = 0;
    int32_t height = 0;
    if (!AcceptWalkMap(file, width, height) ||
        grid.size() < size_t{MAP_MAX_COLUMNS} * MAP_MAX_ROWS * MAP_CELL_SIZE)
        return;
    // The file is row-major, the grid column-major; cells outside the map keep what they held.
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            std::copy_n(file.data() + 4 + MAP_CELL_SIZE * (static_cast<size_t>(y) * width + x), MAP_CELL_SIZE,
                        grid.data() + MAP_CELL_SIZE * (static_cast<size_t>(x) * MAP_MAX_ROWS + y));
}

std::vector<MapEventArea> ReadEventAreas(const std::vector<uint8_t>& file)
{
    std::vector<MapEventArea> areas;
    for (size_t at = 0; at + MAP_EVENT_AREA_SIZE <= file.size(); at += MAP_EVENT_AREA_SIZE) {
        const uint8_t* p = file.data() + at;
        const uint16_t id = Read16(p);
        if (id == MAP_EVENT_END)
            break;
        areas.push_back({id, Read16(p + 2), Read16(p + 4), Read16(p + 6), Read16(p + 8), p[10]});
    }
    return areas;
}

size_t CountMovers(const MoveProgramBlock& block)
{
    const int32_t listed = (static_cast<int32_t>(block.RestartTable()) - 9) / 14;
    const size_t table = block.MoverTable();
    const size_t held = table < block.Bytes.size() ? (block.Bytes.size() - table) / MAP_MOVER_RECORD_SIZE : 0;
    return std::min({static_cast<size_t>(std::max(listed, 0)), held, MAP_MOVER_LIMIT});
}

bool PrimeMover(const MoveProgramBlock& block, MapMover mover)
{
    uint16_t start = 0;
    if (!block.RestartEntry(mover.Program(), start) || start >= block.Bytes.size()) {
        mover.SetPc(NO_PROGRAM);
        mover.SetOpcode(0);
        mover.SetCount(0);
        return false;
    }
    const uint8_t first = block.Bytes[start];
    mover.SetOpcode(static_cast<uint8_t>(first >> 4));
    mover.SetCount(static_cast<uint8_t>((first & 15) + 1));
    mover.SetPc(static_cast<uint16_t>(start + 1));
    return true;
}

bool FetchInstruction(const MoveProgramBlock& block, MapMover mover)
{
    const std::vector<uint8_t>& bytes = block.Bytes;
    if (mover.Pc() >= bytes.size())
        return false;
    uint8_t byte = bytes[mover.Pc()];
    mover.SetPc(static_cast<uint16_t>(mover.Pc() + 1));
    if (byte == 0) {
        uint16_t start = 0;
        if (!block.RestartEntry(mover.Program(), start) || start >= bytes.size()) {
            mover.SetPc(NO_PROGRAM);
            return false;
        }
        // A program that starts with a zero byte would restart for ever: idle on it instead.
        mover.SetPc(start);
        byte = bytes[start];
        if (byte == 0)
            return false;
        mover.SetPc(static_cast<uint16_t>(start + 1));
    }
    mover.SetOpcode(static_cast<uint8_t>(byte >> 4));
    mover.SetCount(static_cast<uint8_t>(byte & 15));
    return true;
}

bool PatternOffset(const MoveProgramBlock& block, MapMover mover, size_t& offset)
{
    offset = block.PatternTable() + PATTERN_ENTRY_SIZE * (16u * mover.Pattern() + mover.Facing());
    const size_t words = size_t{mover.Width()} * mover.Height();
    return offset + 2 * words <= block.Bytes.size();
}

} // namespace townmap
