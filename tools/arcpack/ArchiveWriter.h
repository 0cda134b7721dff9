#pragma once
// Builds ".arc" archives: a little-endian index length, the index records (name length, scrambled
// name, big-endian stored size, decoded size and data offset), then every entry's bytes in index
// order, each stored plain or as one LZSS stream. Also reads a folder into entries for the packers.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tools {

struct ArchiveEntry
{
    std::string name; // stored as given; the reader finds entries by their upper-case names
    std::vector<uint8_t> data;
};

enum class ArchiveEncoding
{
    Plain,
    Lzss
};

// Appends the low 32 bits of value, most significant byte first, as index fields are stored.
void PutBigEndian32(std::vector<uint8_t>& out, uint64_t value);

// Throws std::invalid_argument for a name that is empty, longer than 255 bytes or holds a zero
// byte, and std::length_error for an archive past 4 GB.
std::vector<uint8_t> BuildArchive(std::span<const ArchiveEntry> entries, ArchiveEncoding encoding);

// Every regular file directly inside the folder, in byte order of the names, named by its file name.
std::vector<ArchiveEntry> ReadFolderEntries(const std::filesystem::path& folder);

// The name with ASCII letters upper-cased, as the reader's lookups upper-case requested names.
std::string UpperCaseName(std::string name);

} // namespace tools
