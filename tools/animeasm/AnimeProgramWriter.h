#pragma once
// Writes byte-code animation programs: 320 little-endian u32 offsets (group x 32 + slot) from the
// file start to each slot's byte code, the command table from byte 1280 (records of seven u32:
// kind, source x, source y, width, height, destination x, destination y), then the code blocks.
// Slots given no code point at a shared block holding the stop opcode.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

inline constexpr int ANIME_GROUPS = 10;
inline constexpr int ANIME_SLOTS_PER_GROUP = 32;

struct AnimeCommand
{
    uint32_t kind = 0; // 0 copy, 1 colour-key copy, 2 nothing, 3 compose
    uint32_t source_x = 0;
    uint32_t source_y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t dest_x = 0;
    uint32_t dest_y = 0;
};

// One slot's byte code, opcode by opcode.
class AnimeCode
{
public:
    AnimeCode& Nop();                                       // 0
    AnimeCode& Hold(uint32_t frames);                       // 1 n
    AnimeCode& Wait(uint32_t frames);                       // 2 n
    AnimeCode& Restart();                                   // 3
    AnimeCode& Stop();                                      // 4
    AnimeCode& LoopA(uint32_t count);                       // 5 n (0 = endless)
    AnimeCode& EndLoopA();                                  // 6
    AnimeCode& LoopB(uint32_t count);                       // 7 n
    AnimeCode& EndLoopB();                                  // 8
    AnimeCode& Command(uint32_t index, uint8_t opcode = 9); // 9..254 index
    AnimeCode& End();                                       // 255
    AnimeCode& Byte(uint8_t value);                         // raw, for malformed programs
    AnimeCode& Word(uint32_t value);

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

class AnimeProgramWriter
{
public:
    // Returns the command's index in the table.
    uint32_t AddCommand(const AnimeCommand& command);
    void SetSlotCode(int group, int slot, const AnimeCode& code);
    // Points a slot at a raw offset, for malformed programs.
    void SetSlotOffset(int group, int slot, uint32_t offset);
    std::vector<uint8_t> Build() const;

private:
    std::vector<AnimeCommand> m_commands;
    std::vector<std::vector<uint8_t>> m_code =
        std::vector<std::vector<uint8_t>>(ANIME_GROUPS * ANIME_SLOTS_PER_GROUP);
    std::vector<std::optional<uint32_t>> m_raw_offsets =
        std::vector<std::optional<uint32_t>>(ANIME_GROUPS * ANIME_SLOTS_PER_GROUP);
};

// Assembles the text form, one statement a line, ';' starting a comment:
//   command <kind> <sx> <sy> <w> <h> <dx> <dy>   kind a number or copy, colorkey, none, compose
//   slot <group> <slot>                           the following lines are that slot's code
//   nop | hold n | wait n | restart | stop | loop n | endloop | loopb n | endloopb
//   cmd <index> [opcode] | end | byte n | word n
// Returns the program, or nothing with a message naming the line in error.
std::optional<std::vector<uint8_t>> AssembleAnimeProgram(std::string_view source, std::string& error);

} // namespace tools
