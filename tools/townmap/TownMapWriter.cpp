#include "townmap/TownMapWriter.h"

namespace tools {

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Set16(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

uint8_t BlockByte(char c)
{
    if (c == '#')
        return 0x10;
    if (c >= '1' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<uint8_t>(c - 'A' + 10);
    return 0;
}

constexpr size_t HEADER_SIZE = 8;
constexpr size_t RECORD_SIZE = 14;

size_t ProgramsStart(const MoverBlockSpec& spec)
{
    const size_t restart = HEADER_SIZE + RECORD_SIZE * spec.movers.size() + 1;
    return restart + 2 * spec.programs.size() + spec.view_points.size() + 2 * spec.patterns.size();
}

} // namespace

std::vector<uint8_t> BuildWalkMap(const std::vector<std::string>& rows)
{
    const size_t width = rows.empty() ? 0 : rows.front().size();
    std::vector<uint8_t> out;
    Put16(out, static_cast<uint16_t>(width));
    Put16(out, static_cast<uint16_t>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < width; ++x) {
            const auto tile = static_cast<uint16_t>(y * 256 + x);
            Put16(out, tile);
            Put16(out, static_cast<uint16_t>(0x8000 | tile));
            out.push_back(x < rows[y].size() ? BlockByte(rows[y][x]) : 0);
        }
    return out;
}

uint16_t ProgramOffset(const MoverBlockSpec& spec, size_t program)
{
    size_t at = ProgramsStart(spec);
    for (size_t p = 0; p < program && p < spec.programs.size(); ++p)
        at += spec.programs[p].size() + 1;
    return static_cast<uint16_t>(at);
}

std::vector<uint8_t> BuildMoverBlock(const MoverBlockSpec& spec)
{
    std::vector<uint8_t> out(HEADER_SIZE, 0);
    const size_t movers = out.size();
    for (const MoverRecord& m : spec.movers) {
        out.push_back(m.state);
        out.push_back(m.pattern);
        out.push_back(m.width);
        out.push_back(m.height);
        Put16(out, m.x);
        Put16(out, m.y);
        out.push_back(m.facing);
        out.push_back(m.program);
        out.push_back(0); // opcode, count and pc are set when the map loads
        out.push_back(0);
        Put16(out, 0);
    }
    out.push_back(0); // the spare byte that makes (restart - 9) / 14 the record count
    const size_t restart = out.size();
    for (size_t p = 0; p < spec.programs.size(); ++p)
        Put16(out, ProgramOffset(spec, p));
    const size_t view_points = out.size();
    out.insert(out.end(), spec.view_points.begin(), spec.view_points.end());
    const size_t patterns = out.size();
    for (uint16_t word : spec.patterns)
        Put16(out, word);
    for (const MoveProgram& program : spec.programs) {
        for (const auto& [opcode, operand] : program)
            out.push_back(static_cast<uint8_t>(opcode << 4 | (operand & 15)));
        out.push_back(0);
    }
    Set16(out, 0, static_cast<uint16_t>(movers));
    Set16(out, 2, static_cast<uint16_t>(restart));
    Set16(out, 4, static_cast<uint16_t>(view_points));
    Set16(out, 6, static_cast<uint16_t>(patterns));
    return out;
}

std::vector<uint8_t> BuildEventAreaFile(const std::vector<EventAreaRecord>& areas, bool end_record)
{
    std::vector<uint8_t> out;
    for (const EventAreaRecord& a : areas) {
        Put16(out, a.id);
        Put16(out, a.left);
        Put16(out, a.top);
        Put16(out, a.right);
        Put16(out, a.bottom);
        out.push_back(a.directions);
        out.push_back(0);
    }
    if (end_record)
        out.insert(out.end(), {0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    return out;
}

} // namespace tools
