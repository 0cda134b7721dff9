#pragma once
// The one way the program replaces a file on disk (settings, flag files, save data, the
// already-read file, slot files and thumbnails): the bytes go to a temporary beside the file,
// every write, the flush to the disk and the close are checked, and only then is the temporary
// renamed over the file and the folder flushed. A failed or interrupted save keeps the old file
// byte for byte and leaves no temporary behind. Any thread; one writer per path at a time.

#include <cstdint>
#include <span>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

// True when the file now holds exactly the bytes. On failure the reason, the system's text of
// the failing call's error, goes to reason when given. With keep_previous_as a copy of the old
// file is written under that name before the new one takes its place, so that the file is never
// missing (an old entry that is no file, such as a folder, is renamed there instead).
[[nodiscard]] bool WriteFileAtomically(const CStringUTF8& path, std::span<const uint8_t> bytes,
                                       CStringUTF8* reason = nullptr,
                                       const CStringUTF8* keep_previous_as = nullptr);

// Files replaced together, as one save's, need their folder flushed once, before the write that
// must not reach the disk ahead of them (the renames are all in the folder's entries, and one
// flush takes them all). While one of these lives on a thread, WriteFileAtomically there leaves
// the folder flush to it, and Flush flushes each folder once. A group left unflushed (given up
// on) is not flushed at all. A flush that fails leaves the writes' order to the disk: the caller
// must not go on as if they were there.
class DeferredFolderFlush
{
public:
    DeferredFolderFlush();
    ~DeferredFolderFlush();
    DeferredFolderFlush(const DeferredFolderFlush&) = delete;
    DeferredFolderFlush& operator=(const DeferredFolderFlush&) = delete;

    void Add(const CStringUTF8& folder);
    // False, the error set, when a folder could not be flushed.
    [[nodiscard]] bool Flush();

private:
    DeferredFolderFlush* m_outer;
    std::vector<CStringUTF8> m_folders;
};

// Removes what a write of path (keeping its old bytes as keep_previous_as when given) that a stop
// cut short can have left beside it; only where no write of it can be under way.
void RemoveCutWrite(const CStringUTF8& path, const CStringUTF8* keep_previous_as = nullptr);

// Flushes the entries of the folder that holds path at once (a rename made by hand reaches the
// disk before what follows); false, the error set, when it cannot.
[[nodiscard]] bool FlushFolderOf(const CStringUTF8& path);

// The system's text for an error number (FormatMessageW), without the trailing line break.
CStringUTF8 SystemErrorText(DWORD error);
