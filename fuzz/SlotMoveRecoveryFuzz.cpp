// The start's recovery of a stopped slot move: a journal together with the save folder's files,
// finished or undone, then the system file read as the start reads it. The first byte says what
// the journal is made to know (a checksum set right, the system file's hash as the one written
// last or the one replaced, its version) and whether its renames were marked made; then come
// records of a name's index, a 16-bit length and the bytes, the first the journal, the others
// files of the folder. A start that succeeds leaves no journal, and the start after changes no
// file.
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "script/FlagBuffer.h"
#include "script/save/SaveStore.h"
#include "script/save/SlotMoveJournal.h"

namespace {

constexpr uint8_t FIX_CHECKSUM = 0x01;
constexpr uint8_t KNOWS_WRITTEN = 0x02;
constexpr uint8_t KNOWS_REPLACED = 0x04;
constexpr uint8_t NEWEST_VERSION = 0x08;
constexpr uint8_t MARKED_MADE = 0x10;

constexpr std::array<const char*, 28> NAMES = {
    "FLAG000",
    "FLAG001",
    "FLAG002",
    "FLAG003",
    "SaveData001.dat",
    "SaveData002.dat",
    "SaveData003.dat",
    "thm001",
    "thm002",
    "sel001",
    "sel002",
    "FLAG001.drop",
    "FLAG002.drop",
    "FLAG003.drop",
    "SaveData001.dat.drop",
    "SaveData002.dat.drop",
    "SaveData003.dat.drop",
    "thm001.drop",
    "sel001.drop",
    "FLAG001.kept",
    "SP_FLAG000",
    "SP_FLAG001",
    "SP_FLAG001.drop",
    "SP_SaveData001.dat",
    "FLAG000.tmp",
    "FLAG001.tmp",
    "FLAG000.bad",
    "SaveData001.dat.kept",
};

using Files = std::map<std::string, std::vector<uint8_t>>;

Files ReadFolder(const std::string& folder)
{
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] =
            std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

void PutLittleEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

int FuzzSlotMoveRecovery(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    FuzzApplication();
    if (size < 1)
        return 0;
    const std::string folder = FuzzScratchFolder();
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        std::filesystem::remove_all(entry.path());
    const uint8_t mode = data[0];
    size_t at = 1;
    std::vector<uint8_t> journal_bytes;
    Files files;
    for (bool first = true; at + 3 <= size; first = false) {
        const uint8_t index = data[at];
        const size_t length = std::min<size_t>(data[at + 1] | data[at + 2] << 8, size - at - 3);
        std::vector<uint8_t> bytes(data + at + 3, data + at + 3 + length);
        at += 3 + length;
        if (first)
            journal_bytes = std::move(bytes);
        else
            files[NAMES[index % NAMES.size()]] = std::move(bytes);
    }
    for (const auto& [name, bytes] : files)
        WriteFuzzFile(name, bytes.data(), bytes.size());

    // The checksums and hashes a mutation cannot find are set as the mode asks.
    if ((mode & FIX_CHECKSUM) != 0 && journal_bytes.size() >= 4) {
        const size_t body = journal_bytes.size() - 4;
        PutLittleEndian32(journal_bytes, body,
                          static_cast<uint32_t>(HashSaveBytes(std::span(journal_bytes.data(), body))));
    }
    SlotMoveJournal journal;
    if (journal.Decode(journal_bytes) && (mode & (KNOWS_WRITTEN | KNOWS_REPLACED | NEWEST_VERSION)) != 0) {
        const auto system = files.find(journal.SystemFile.GetStdString());
        const uint64_t hash = system != files.end() ? HashSaveBytes(system->second) : 0;
        if ((mode & (KNOWS_REPLACED | NEWEST_VERSION)) != 0)
            journal.Version = SLOT_MOVE_JOURNAL_VERSION;
        if ((mode & KNOWS_WRITTEN) != 0)
            journal.SystemHash = hash;
        if ((mode & KNOWS_REPLACED) != 0) {
            journal.HasPrevious = true;
            journal.PreviousHash = hash;
        }
        journal_bytes = journal.Encode();
    }
    const char* journal_name = (mode & MARKED_MADE) != 0 ? "slotmove.jnm" : "slotmove.jnl";
    WriteFuzzFile(journal_name, journal_bytes.data(), journal_bytes.size());

    FlagBuffer system;
    SaveStore::RemoveLeftovers();
    if (!SaveStore::ReadSystemFile(system))
        return 0; // a rename that failed, reported: the next start tries again
    if (std::filesystem::exists(folder + "/slotmove.jnl") ||
        std::filesystem::exists(folder + "/slotmove.jnm"))
        std::abort();
    const Files settled = ReadFolder(folder);
    SaveStore::RemoveLeftovers();
    if (!SaveStore::ReadSystemFile(system) || ReadFolder(folder) != settled)
        std::abort();
    return 0;
}
