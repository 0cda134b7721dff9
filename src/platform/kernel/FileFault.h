#pragma once
// A test switch of the file layer: makes one of the coming calls that change files fail as the
// disk or the system would, so writers can be checked at every step. Counted calls: CreateFileW
// with write access, WriteFile, FlushFileBuffers, CloseHandle of a file, MoveFileExW and
// FlushFolderBuffers. A failed WriteFile has written half of its bytes first; a failed
// CloseHandle still closes the handle. Process-wide; tests only.

namespace platform {

// The call after skip counted calls fails with the POSIX error (ENOSPC, EIO, EACCES ...).
void InjectFileFault(int skip, int posix_error);
// At the call after skip counted calls, before it acts, calls stop, which throws or ends the
// process: the files are then as a crash at that point leaves them.
void InjectFileStop(int skip, void (*stop)());
// Drops a fault that has not struck yet.
void ClearFileFault();
// True while an injected fault waits for its call.
bool IsFileFaultPending();

} // namespace platform
