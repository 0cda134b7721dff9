#pragma once
// Writes flag files, the saved image of a game state: a 260-byte zero-padded name, then the
// values, flag bytes, 16-bit words, variables and bytes, each array as a little-endian u32 count
// followed by its elements; a value is u32 type, u32 integer, u32 text length and the text's
// UTF-8 bytes. Independent of the engine's reader, so tests can check one against the other.
// Also reads the text listings the build turns into the initial save set.

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace tools {

struct FlagValue
{
    uint32_t type = 0; // 0 integer, 1 text
    int32_t integer = 0;
    std::string text;
};

struct FlagFileContents
{
    std::string name;
    std::vector<FlagValue> values = std::vector<FlagValue>(56);
    std::vector<uint8_t> flags;
    std::vector<uint16_t> words;
    std::vector<FlagValue> variables;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> WriteFlagFile(const FlagFileContents& contents);

// A listing holds one statement a line ('#' starts a comment):
//   name TEXT | values N | flags N | words N | variables N | bytes N   (array sizes)
//   value I INT | value I text TEXT | variable I INT | variable I text TEXT
//   flag I BYTE | word I U16 | byte I BYTE                             (elements)
// An element statement must come after the size that covers it. Throws std::invalid_argument
// naming the line of the first mistake.
FlagFileContents ParseFlagListing(const std::string& listing);

// The flag file read back by this tool's own reader; false when the bytes are not one whole
// flag file (a count past the end, bytes left over).
bool ReadFlagFile(const std::vector<uint8_t>& file, FlagFileContents& contents);
// A listing of the file that ParseFlagListing turns back into the same bytes, for test failure
// messages; a file that does not read says where it stops.
std::string DumpFlagFile(const std::vector<uint8_t>& file);

// Pieces shared with the other writers of this tool.
// Calls the action with each statement's line number, its keyword and the stream after it;
// '#' starts a comment, blank lines are passed over.
void ForEachStatement(const std::string& listing,
                      const std::function<void(int line, const std::string& keyword, std::istringstream& in)>& action);
void PutU32(std::vector<uint8_t>& out, uint32_t value);
void PutValue(std::vector<uint8_t>& out, const FlagValue& value);
// A value statement's operand: "INT" or "text TEXT". Throws std::invalid_argument.
FlagValue ParseValueOperand(const std::string& operand, int line);
std::string ValueOperand(const FlagValue& value);

} // namespace tools
