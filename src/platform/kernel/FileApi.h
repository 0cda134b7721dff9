#pragma once
// Files over POSIX with Win32 results. Paths keep their Windows form ("\" separators); each call
// turns them into POSIX paths and resolves every component case-insensitively when the exact
// name is missing. Share modes are emulated with flock so an exclusive writer sees
// ERROR_SHARING_VIOLATION while another open holds the file.

#include "platform/kernel/WinTypes.h"

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
inline constexpr DWORD DUPLICATE_CLOSE_SOURCE = 0x1;
inline constexpr DWORD DUPLICATE_SAME_ACCESS = 0x2;
inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;

struct WIN32_FIND_DATAW
{
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;

// Opening a folder fails with ERROR_ACCESS_DENIED. CREATE_ALWAYS and OPEN_ALWAYS leave
// ERROR_ALREADY_EXISTS when the file was there. A file another handle holds is not truncated.
HANDLE CreateFileW(LPCWSTR file_name, DWORD desired_access, DWORD share_mode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation_disposition, DWORD flags_and_attributes, HANDLE template_file);
// With an OVERLAPPED record, ReadFile reads at the record's offset and leaves the file pointer
// where it was, so threads reading through duplicates of one handle do not move each other.
struct OVERLAPPED
{
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};
using LPOVERLAPPED = OVERLAPPED*;
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytes_to_write, LPDWORD bytes_written, void* overlapped);
// Without distance_high the distance is signed and the result must fit in 32 bits. A result
// whose low word is 0xFFFFFFFF is a success with GetLastError() == 0.
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distance_high, DWORD move_method);
DWORD GetFileSize(HANDLE file, LPDWORD size_high);
BOOL FlushFileBuffers(HANDLE file);
// Ours: makes the folder's entries (a rename into it) durable, as FlushFileBuffers does for a
// file's bytes. Windows reaches this by flushing a folder handle.
BOOL FlushFolderBuffers(LPCWSTR folder);
// Closes any kernel handle: file, event, mutex, thread or find handle.
BOOL CloseHandle(HANDLE handle);
// A pseudo handle meaning "this process"; it needs no CloseHandle.
HANDLE GetCurrentProcess();
// A duplicate shares the file position with the original, as dup() does.
BOOL DuplicateHandle(HANDLE source_process, HANDLE source, HANDLE target_process, LPHANDLE target,
                     DWORD desired_access, BOOL inherit, DWORD options);

// Finds a file or a folder; "*" and "?" in the last component match ignoring case.
HANDLE FindFirstFileW(LPCWSTR file_name, LPWIN32_FIND_DATAW find_data);
// The next name of a wildcard search, in byte order; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW find_data);
BOOL FindClose(HANDLE find);
DWORD GetFileAttributesW(LPCWSTR file_name);
// Creates one level; ERROR_ALREADY_EXISTS when an entry of that name exists.
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryW(LPCWSTR path);
BOOL DeleteFileW(LPCWSTR file_name);
// Without MOVEFILE_REPLACE_EXISTING an existing target gives ERROR_ALREADY_EXISTS.
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR replacement, DWORD flags);
BOOL PathFileExistsW(LPCWSTR path);
// The local time; while a test has pinned one (platform::PinLocalTime), that one.
void GetLocalTime(SYSTEMTIME* time);

// The CRT's path splitter: both separators, drive only for an "X:" prefix. Sizes are in
// characters including the NUL; a part that does not fit gives ERANGE (34) and empties every part.
int _wsplitpath_s(const WCHAR* path, WCHAR* drive, size_t drive_size, WCHAR* dir, size_t dir_size,
                  WCHAR* fname, size_t fname_size, WCHAR* ext, size_t ext_size);

namespace platform {

// Tests only: GetLocalTime answers this time until unpinned (nullptr), so that two saves can fall
// in the same second.
void PinLocalTime(const SYSTEMTIME* time);

} // namespace platform
