#pragma once
// A test switch of the file layer: makes one of the coming calls that change files fail as the
// disk or the system would, so writers can be checked at every step. Counted calls: CreateFileW
// with write access, WriteFile, FlushFileBuffers, CloseHandle of a file, MoveFileExW and
// FlushFolderBuffers. A failed WriteFile has written half of its bytes first; a failed
// CloseHandle still closes the handle. Process-wide; tests only.

#include <functional>
#include <string_view>

namespace platform {

// What a call does to the entries of a folder.
enum class FolderCall
{
    Rename,
    Delete,
    Flush,
};

// The counted calls, by kind.
enum class FileCall
{
    None,
    Create,
    Write,
    FlushFile,
    Close,
    Move,
    FlushFolder,
};

// The call after skip counted calls fails with the POSIX error (ENOSPC, EIO, EACCES ...).
void InjectFileFault(int skip, int posix_error);
// At the call after skip counted calls, before it acts, calls stop, which throws or ends the
// process: the files are then as a crash at that point leaves them. With pass_closes a stop due at
// a CloseHandle waits for the next counted call that is not one (it leaves the files as a crash
// at the close would): a stop that throws must not strike a close made by a destructor.
void InjectFileStop(int skip, void (*stop)(), bool pass_closes = false);
// Drops a fault that has not struck yet.
void ClearFileFault();
// True while an injected fault waits for its call.
bool IsFileFaultPending();
// The kind of call the last injected fault struck; None while it waits.
FileCall StruckFileCall();

// Calls the observer before every MoveFileExW (both names), DeleteFileW and FlushFolderBuffers
// acts, with the names as the caller gave them (the second empty but for a rename); none when
// the observer is empty. Lets a test model a disk that keeps the folder's changes in another
// order than they were made.
void ObserveFolderCalls(std::function<void(FolderCall, std::u16string_view, std::u16string_view)> observer);

} // namespace platform
