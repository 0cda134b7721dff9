#include "arcpack/ArchiveWriter.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "foundation/NameScramble.h"
#include "lzss/LzssEncoder.h"
#include "UnwatchedScope.h"

namespace tools {

void PutBigEndian32(std::vector<uint8_t>& out, uint64_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

std::vector<uint8_t> BuildArchive(std::span<const ArchiveEntry> entries, ArchiveEncoding encoding)
{
    [[maybe_unused]] const UnwatchedScope unwatched;
    std::vector<std::vector<uint8_t>> stored;
    stored.reserve(entries.size());
    uint64_t index_length = 0;
    for (const ArchiveEntry& entry : entries) {
        if (entry.name.empty() || entry.name.size() > 255 || entry.name.find('\0') != std::string::npos)
            throw std::invalid_argument("archive entry name must be 1 to 255 bytes without zero: " +
                                        entry.name);
        index_length += entry.name.size() + 13;
        stored.push_back(encoding == ArchiveEncoding::Lzss ? LzssEncode(entry.data) : entry.data);
    }
    uint64_t data_offset = 4 + index_length;
    uint64_t total = data_offset;
    for (const std::vector<uint8_t>& bytes : stored)
        total += bytes.size();
    if (total > std::numeric_limits<uint32_t>::max())
        throw std::length_error("archive larger than 4 GB");

    std::vector<uint8_t> out;
    out.reserve(total);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(index_length >> shift));
    for (size_t k = 0; k < entries.size(); ++k) {
        const ArchiveEntry& entry = entries[k];
        out.push_back(static_cast<uint8_t>(entry.name.size()));
        std::vector<uint8_t> name(entry.name.begin(), entry.name.end());
        ScrambleName(name);
        out.insert(out.end(), name.begin(), name.end());
        PutBigEndian32(out, stored[k].size());
        PutBigEndian32(out, entry.data.size());
        PutBigEndian32(out, data_offset);
        data_offset += stored[k].size();
    }
    for (const std::vector<uint8_t>& bytes : stored)
        out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

std::vector<ArchiveEntry> ReadFolderEntries(const std::filesystem::path& folder)
{
    std::vector<ArchiveEntry> entries;
    for (const std::filesystem::directory_entry& item : std::filesystem::directory_iterator(folder)) {
        if (!item.is_regular_file())
            continue;
        std::ifstream input(item.path(), std::ios::binary);
        if (!input)
            throw std::runtime_error("cannot read " + item.path().string());
        ArchiveEntry entry;
        entry.name = item.path().filename().string();
        entry.data.assign(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const ArchiveEntry& a, const ArchiveEntry& b) { return a.name < b.name; });
    return entries;
}

std::string UpperCaseName(std::string name)
{
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

} // namespace tools
