#pragma once
// Writes the other game-state files of the save folder from text listings, reads them back and
// dumps them as listings for test failure messages:
// - save data files: u32 record count, then per record u32 key (group << 16 | index), u32 value
//   count and the values (u32 type, u32 integer, u32 text length, UTF-8 text);
// - already-read files: the bits as they are, message n being bit 0x80 >> (n % 8) of byte n / 8.
// Any listing may end with damage statements that cut or overwrite the bytes written, for the
// readers' tests of truncated and damaged files.

#include <cstdint>
#include <string>
#include <vector>

#include "flagwrite/FlagFileWriter.h"

namespace tools {

struct SaveDataRecord
{
    uint16_t group = 0;
    uint16_t index = 0;
    std::vector<FlagValue> values;
};

// Records in the order given; the engine writes them in ascending key order.
std::vector<uint8_t> WriteSaveDataFile(const std::vector<SaveDataRecord>& records);
bool ReadSaveDataFile(const std::vector<uint8_t>& file, std::vector<SaveDataRecord>& records);

// A save data listing, one statement a line ('#' starts a comment):
//   record GROUP INDEX          starts a record
//   value INT | value text TEXT appends a value to the last record
std::vector<SaveDataRecord> ParseSaveDataListing(const std::string& listing);
std::string DumpSaveDataFile(const std::vector<uint8_t>& file);

// An already-read listing: "messages N" sizes the file to (N + 7) / 8 bytes; "read N" marks
// message N.
std::vector<uint8_t> ParseReadBufferListing(const std::string& listing);
// "messages" with the file's bit count, then one "read N" per marked message.
std::string DumpReadBufferFile(const std::vector<uint8_t>& file);

// Damage statements, applied in order after the file is written:
//   truncate N                  keeps the first N bytes
//   patch OFFSET B1 B2 ...      overwrites bytes (each 0-255, decimal or 0x..) from OFFSET on,
//                               growing the file when it reaches past its end
// Statements of other kinds are left to the file's own parser. Throws std::invalid_argument.
void ApplyDamage(const std::string& listing, std::vector<uint8_t>& file);
// The listing without its damage statements, for the file's own parser.
std::string WithoutDamage(const std::string& listing);

// The kinds of file the tool writes.
enum class GameFileKind
{
    Flag,
    SaveData,
    ReadBuffer,
};

// The file a listing of the kind describes, damage applied.
std::vector<uint8_t> WriteGameFile(GameFileKind kind, const std::string& listing);
std::string DumpGameFile(GameFileKind kind, const std::vector<uint8_t>& file);

} // namespace tools
