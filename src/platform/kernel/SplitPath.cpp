#include "platform/kernel/FileApi.h"

#include <cerrno>
#include <cstring>

// The CRT's _wsplitpath_s: drive ("X:" only), folder up to and including the last "\" or "/",
// file name up to the last dot behind it, extension from that dot. Each size counts characters
// including the NUL; a null buffer must come with size 0 and is skipped.

namespace {

struct Part
{
    WCHAR* buffer;
    size_t size;
    const WCHAR* begin;
    size_t length;
};

void EmptyAll(Part* parts, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (parts[i].buffer != nullptr && parts[i].size > 0)
            parts[i].buffer[0] = 0;
    }
}

} // namespace

int _wsplitpath_s(const WCHAR* path, WCHAR* drive, size_t drive_size, WCHAR* dir, size_t dir_size,
                  WCHAR* fname, size_t fname_size, WCHAR* ext, size_t ext_size)
{
    Part parts[] = {
        {drive, drive_size, nullptr, 0},
        {dir, dir_size, nullptr, 0},
        {fname, fname_size, nullptr, 0},
        {ext, ext_size, nullptr, 0},
    };
    bool consistent = path != nullptr;
    for (const Part& part : parts) {
        if ((part.buffer == nullptr) != (part.size == 0))
            consistent = false;
    }
    if (!consistent) {
        EmptyAll(parts, 4);
        return EINVAL;
    }

    size_t length = 0;
    while (path[length] != 0)
        ++length;
    const WCHAR* cursor = path;
    const WCHAR* const end = path + length;

    if (length >= 2 && path[1] == u':') {
        parts[0].begin = cursor;
        parts[0].length = 2;
        cursor += 2;
    }
    const WCHAR* last_separator = nullptr;
    const WCHAR* last_dot = nullptr;
    for (const WCHAR* p = cursor; p != end; ++p) {
        if (*p == u'\\' || *p == u'/') {
            last_separator = p;
            last_dot = nullptr;
        } else if (*p == u'.') {
            last_dot = p;
        }
    }
    if (last_separator != nullptr) {
        parts[1].begin = cursor;
        parts[1].length = static_cast<size_t>(last_separator + 1 - cursor);
        cursor = last_separator + 1;
    }
    const WCHAR* const name_end = last_dot != nullptr ? last_dot : end;
    parts[2].begin = cursor;
    parts[2].length = static_cast<size_t>(name_end - cursor);
    parts[3].begin = name_end;
    parts[3].length = static_cast<size_t>(end - name_end);

    for (const Part& part : parts) {
        if (part.buffer != nullptr && part.length + 1 > part.size) {
            EmptyAll(parts, 4);
            return ERANGE;
        }
    }
    for (const Part& part : parts) {
        if (part.buffer == nullptr)
            continue;
        if (part.length > 0)
            std::memcpy(part.buffer, part.begin, part.length * sizeof(WCHAR));
        part.buffer[part.length] = 0;
    }
    return 0;
}
