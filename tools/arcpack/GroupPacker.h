#pragma once
// Packs folders that a build draws side by side into one plain archive, the same archive
// ReadFolderEntries and BuildArchive make of all their files in one folder, while keeping one copy
// of each entry: a file packed from a folder is removed from it, and the names it gave are noted
// in "<folder>.packed". A folder found empty is a group that was not drawn again: its entries come
// from the archive being replaced. A group whose entries are in neither place loses its
// "<folder>.drawn" stamp, so the next build draws it again, and the packing fails naming it.

#include <filesystem>
#include <vector>

namespace tools {

class GroupPacker
{
public:
    // Writes the archive through a temporary file beside it, then removes the packed files. Throws
    // std::runtime_error for a group that cannot be placed and for a name given by two groups.
    static void Pack(const std::filesystem::path& archive, const std::vector<std::filesystem::path>& folders);
};

} // namespace tools
