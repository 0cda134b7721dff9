#pragma once
// Windows paths at the system-call boundary: the program keeps "\" separators and case-blind
// names; the layer turns them into POSIX paths and finds the entry that a case-insensitive file
// system would have found. Layer-internal.

#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "platform/kernel/WinTypes.h"

namespace platform {

// UTF-8, "\" turned into "/", a leading drive ("C:") dropped.
std::string ToPosixPath(std::u16string_view windows_path);

enum class PathUse
{
    Existing, // every component is looked up
    NewName   // the last component is a name about to be created: only its folder is looked up
};

// Each component whose exact name is missing becomes the entry of its folder that equals it
// ignoring case; the exact name wins when it exists, and among several case variants the
// first in byte order. From the first component that matches nothing on, the rest is kept as
// given, so the system call reports what is missing.
std::string ResolveCaseInsensitive(const std::string& posix_path, PathUse use = PathUse::Existing);

// The same for a path whose exact name has just been looked up and is missing.
std::string ResolveMissing(const std::string& posix_path, PathUse use);

// A path resolved as an existing entry, with what the lookup saw: the entry's lstat when it
// exists, so a caller need not look again.
struct ResolvedEntry
{
    std::string Path;
    bool Exists = false;
    struct stat Info
    {};
};
ResolvedEntry ResolveEntry(const std::string& posix_path);

// ERROR_FILE_NOT_FOUND when the folder of the path exists, else ERROR_PATH_NOT_FOUND.
DWORD MissingPathError(const std::string& posix_path);

// Case folding as Windows compares names: ASCII, Latin-1, Greek, Cyrillic and full-width letters.
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The key two names share when they are equal ignoring case (malformed UTF-8 may share it too).
std::u16string FoldedName(std::string_view name);

} // namespace platform
