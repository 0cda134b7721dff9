#include "arcpack/GroupPacker.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>

#include "arcpack/ArchiveWriter.h"
#include "foundation/NameScramble.h"

namespace tools {
namespace {

namespace fs = std::filesystem;

struct Source
{
    std::string name; // the file's name; the archive stores it upper-cased
    uint64_t size = 0;
    fs::path file;       // empty: the bytes are in the archive being replaced
    uint64_t offset = 0; // where, there
};

struct OldEntry
{
    uint64_t offset = 0;
    uint64_t size = 0;
};

uint64_t BigEndian32(const uint8_t* p)
{
    return uint64_t(p[0]) << 24 | uint64_t(p[1]) << 16 | uint64_t(p[2]) << 8 | p[3];
}

// The plain entries of the archive being replaced, by stored name; none when it is missing or
// does not read, so its groups are drawn again.
std::map<std::string, OldEntry> ReadOldIndex(const fs::path& archive)
{
    std::ifstream input(archive, std::ios::binary);
    uint8_t head[4];
    if (!input.read(reinterpret_cast<char*>(head), 4))
        return {};
    const uint64_t length = head[0] | head[1] << 8 | head[2] << 16 | uint64_t(head[3]) << 24;
    std::error_code error;
    const uint64_t file_size = fs::file_size(archive, error);
    if (error || length > file_size - 4)
        return {};
    std::vector<uint8_t> index(length);
    if (!input.read(reinterpret_cast<char*>(index.data()), static_cast<std::streamsize>(length)))
        return {};
    std::map<std::string, OldEntry> entries;
    for (size_t at = 0; at < index.size();) {
        const size_t name_length = index[at];
        if (index.size() - at < name_length + 13)
            return {};
        std::vector<uint8_t> name(index.begin() + at + 1, index.begin() + at + 1 + name_length);
        UnscrambleName(name);
        const uint8_t* fields = index.data() + at + 1 + name_length;
        const OldEntry entry{BigEndian32(fields + 8), BigEndian32(fields)};
        if (BigEndian32(fields + 4) != entry.size || entry.offset > file_size ||
            entry.size > file_size - entry.offset)
            return {};
        entries[std::string(name.begin(), name.end())] = entry;
        at += 1 + name_length + 12;
    }
    return entries;
}

std::vector<std::string> ReadLines(const fs::path& file)
{
    std::vector<std::string> lines;
    std::ifstream input(file);
    for (std::string line; std::getline(input, line);) {
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

void CopyBytes(std::istream& input, std::ostream& output, uint64_t size, const std::string& what)
{
    std::vector<char> buffer(1 << 20);
    while (size > 0) {
        const auto chunk = static_cast<std::streamsize>(std::min<uint64_t>(size, buffer.size()));
        if (!input.read(buffer.data(), chunk))
            throw std::runtime_error("cannot read " + what);
        output.write(buffer.data(), chunk);
        size -= static_cast<uint64_t>(chunk);
    }
}

fs::path WithSuffix(const fs::path& folder, const char* suffix)
{
    return fs::path(folder.string() + suffix);
}

} // namespace

void GroupPacker::Pack(const fs::path& archive, const std::vector<fs::path>& folders)
{
    const std::map<std::string, OldEntry> old = ReadOldIndex(archive);
    std::vector<Source> sources;
    std::map<std::string, fs::path> owners;
    std::vector<std::vector<std::string>> records(folders.size());
    std::string lost;
    for (size_t g = 0; g < folders.size(); ++g) {
        const fs::path& folder = folders[g];
        std::vector<Source> group;
        std::error_code error;
        for (const fs::directory_entry& item : fs::directory_iterator(folder, error)) {
            if (item.is_regular_file())
                group.push_back({item.path().filename().string(), item.file_size(), item.path(), 0});
        }
        if (group.empty()) {
            // Not drawn again: what it gave last time, from the archive being replaced.
            const std::vector<std::string> names = ReadLines(WithSuffix(folder, ".packed"));
            bool whole = !names.empty();
            for (const std::string& name : names) {
                const auto found = old.find(UpperCaseName(name));
                if (found == old.end()) {
                    whole = false;
                    break;
                }
                group.push_back({name, found->second.size, {}, found->second.offset});
            }
            if (!whole) {
                fs::remove(WithSuffix(folder, ".drawn"), error);
                lost += " " + folder.string();
                continue;
            }
        }
        for (const Source& source : group) {
            const auto [at, added] = owners.emplace(UpperCaseName(source.name), folder);
            if (!added)
                throw std::runtime_error(source.name + " is given by both " + at->second.string() + " and " +
                                         folder.string());
            records[g].push_back(source.name);
        }
        sources.insert(sources.end(), group.begin(), group.end());
    }
    if (!lost.empty())
        throw std::runtime_error("the pictures of" + lost + " are neither drawn nor in " + archive.string() +
                                 ": build again to draw them");

    // The order and layout BuildArchive gives the folder's entries read by ReadFolderEntries.
    std::sort(sources.begin(), sources.end(),
              [](const Source& a, const Source& b) { return a.name < b.name; });
    uint64_t index_length = 0;
    for (const Source& source : sources) {
        if (source.name.size() > 255)
            throw std::runtime_error("archive entry name longer than 255 bytes: " + source.name);
        index_length += source.name.size() + 13;
    }
    uint64_t offset = 4 + index_length;
    std::vector<uint8_t> head;
    for (int shift = 0; shift < 32; shift += 8)
        head.push_back(static_cast<uint8_t>(index_length >> shift));
    for (const Source& source : sources) {
        std::vector<uint8_t> name;
        for (char c : UpperCaseName(source.name))
            name.push_back(static_cast<uint8_t>(c));
        head.push_back(static_cast<uint8_t>(name.size()));
        ScrambleName(name);
        head.insert(head.end(), name.begin(), name.end());
        PutBigEndian32(head, source.size);
        PutBigEndian32(head, source.size);
        PutBigEndian32(head, offset);
        offset += source.size;
    }
    if (offset > std::numeric_limits<uint32_t>::max())
        throw std::runtime_error("archive larger than 4 GB");

    const fs::path part = WithSuffix(archive, ".part");
    {
        std::ofstream output(part, std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
        std::ifstream previous(archive, std::ios::binary);
        for (const Source& source : sources) {
            if (source.file.empty()) {
                previous.seekg(static_cast<std::streamoff>(source.offset));
                CopyBytes(previous, output, source.size, source.name + " in " + archive.string());
            } else {
                std::ifstream input(source.file, std::ios::binary);
                CopyBytes(input, output, source.size, source.file.string());
            }
        }
        output.close();
        if (!output)
            throw std::runtime_error("cannot write " + part.string());
    }
    fs::rename(part, archive);
    // Noted before the files go: a stop in between leaves files that are packed again, same bytes.
    for (size_t g = 0; g < folders.size(); ++g) {
        std::ofstream record(WithSuffix(folders[g], ".packed"), std::ios::trunc);
        for (const std::string& name : records[g])
            record << name << '\n';
        record.close();
        if (!record)
            throw std::runtime_error("cannot write " + WithSuffix(folders[g], ".packed").string());
    }
    for (const Source& source : sources) {
        if (!source.file.empty())
            fs::remove(source.file);
    }
}

} // namespace tools
