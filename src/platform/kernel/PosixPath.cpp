#include "platform/kernel/PosixPath.h"

#include <algorithm>
#include <vector>

#include <sys/stat.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FolderListingCache.h"
#include "platform/kernel/Unicode.h"

namespace platform {

namespace {

char16_t FoldCase(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9) ||
        (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

bool Exists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::string Join(const std::string& folder, std::string_view name)
{
    if (folder.empty())
        return std::string(name);
    if (folder.back() == '/')
        return folder + std::string(name);
    return folder + "/" + std::string(name);
}

std::string ParentOf(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return trimmed.substr(0, slash);
}

} // namespace

std::string ToPosixPath(std::u16string_view windows_path)
{
    std::string path = Utf16ToUtf8(windows_path);
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        path.erase(0, 2);
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() == b.size() && a == b)
        return true;
    // Folder scans compare every entry; plain ASCII names need no conversion.
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (ascii(a) && ascii(b)) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                                  [&](char x, char y) { return lower(x) == lower(y); });
    }
    const std::u16string wide_a = Utf8ToUtf16(a);
    const std::u16string wide_b = Utf8ToUtf16(b);
    if (wide_a.size() != wide_b.size())
        return false;
    for (size_t i = 0; i < wide_a.size(); ++i) {
        if (FoldCase(wide_a[i]) != FoldCase(wide_b[i]))
            return false;
    }
    return true;
}

std::u16string FoldedName(std::string_view name)
{
    std::u16string folded = Utf8ToUtf16(name);
    for (char16_t& c : folded)
        c = FoldCase(c);
    return folded;
}

std::string ResolveCaseInsensitive(const std::string& posix_path, PathUse use)
{
    if (posix_path.empty() || Exists(posix_path))
        return posix_path;
    return ResolveMissing(posix_path, use);
}

ResolvedEntry ResolveEntry(const std::string& posix_path)
{
    ResolvedEntry entry;
    if (posix_path.empty())
        return entry;
    if (::lstat(posix_path.c_str(), &entry.Info) == 0) {
        entry.Path = posix_path;
        entry.Exists = true;
        return entry;
    }
    entry.Path = ResolveMissing(posix_path, PathUse::Existing);
    // Kept as given, the path was just looked at and is missing.
    entry.Exists = entry.Path != posix_path && ::lstat(entry.Path.c_str(), &entry.Info) == 0;
    return entry;
}

std::string ResolveMissing(const std::string& posix_path, PathUse use)
{
    // Mostly the folder is named as it is and only the file differs or is new (a save renames
    // hundreds): one look at the folder spares a look at each folder above it.
    if (const size_t slash = posix_path.rfind('/');
        slash != std::string::npos && slash + 1 < posix_path.size()) {
        const std::string_view name = std::string_view(posix_path).substr(slash + 1);
        const std::string folder = slash == 0 ? std::string("/") : posix_path.substr(0, slash);
        struct stat info;
        if (name != "." && name != ".." && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            if (use == PathUse::NewName)
                return posix_path;
            const std::optional<std::string> match =
                FolderListingCache::GetInstance().FindIgnoringCase(folder, name, info.st_dev, info.st_ino);
            return match ? Join(folder, *match) : posix_path;
        }
    }

    std::vector<std::string_view> components;
    const std::string_view view = posix_path;
    for (size_t start = 0; start <= view.size();) {
        const size_t slash = view.find('/', start);
        const size_t end = slash == std::string_view::npos ? view.size() : slash;
        if (end > start)
            components.push_back(view.substr(start, end - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }

    std::string resolved = posix_path.front() == '/' ? "/" : "";
    bool searching = true;
    for (size_t i = 0; i < components.size(); ++i) {
        const std::string_view name = components[i];
        const std::string exact = Join(resolved, name);
        const bool last = i + 1 == components.size();
        if (!searching || name == "." || name == ".." || (last && use == PathUse::NewName) || Exists(exact)) {
            resolved = exact;
            continue;
        }
        if (const std::optional<std::string> match =
                FolderListingCache::GetInstance().FindIgnoringCase(resolved, name)) {
            resolved = Join(resolved, *match);
        } else {
            resolved = exact;
            searching = false;
        }
    }
    if (posix_path.back() == '/' && resolved.back() != '/')
        resolved.push_back('/');
    return resolved;
}

DWORD MissingPathError(const std::string& posix_path)
{
    struct stat info;
    const std::string parent = ParentOf(posix_path);
    if (::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

} // namespace platform
