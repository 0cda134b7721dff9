#include "platform/kernel/FileApi.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileFault.h"
#include "platform/kernel/HandleTable.h"
#include "platform/kernel/PosixPath.h"
#include "platform/kernel/Unicode.h"
#include "platform/kernel/UniqueFd.h"
#include "platform/kernel/Win32Error.h"

namespace {

using platform::HandleTable;
using platform::KernelObjectKind;
using platform::UniqueFd;

const HANDLE CURRENT_PROCESS = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
const HANDLE CURRENT_THREAD = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

class FileObject final : public platform::KernelObject
{
public:
    explicit FileObject(UniqueFd fd)
        : m_fd(std::move(fd))
    {}
    KernelObjectKind GetKind() const override { return KernelObjectKind::File; }
    int GetFd() const { return m_fd.Get(); }

private:
    UniqueFd m_fd;
};

// A search: the folder and the names still to give, in byte order.
class FindObject final : public platform::KernelObject
{
public:
    FindObject(std::string folder, std::vector<std::string> rest)
        : Folder(std::move(folder))
        , Rest(std::move(rest))
    {}
    KernelObjectKind GetKind() const override { return KernelObjectKind::Find; }

    const std::string Folder;
    std::vector<std::string> Rest; // the last is next
};

std::shared_ptr<FileObject> FindFile(HANDLE handle)
{
    std::shared_ptr<FileObject> file = HandleTable::GetInstance().GetAs<FileObject>(handle);
    if (!file)
        SetLastError(ERROR_INVALID_HANDLE);
    return file;
}

// Resolved POSIX path of a Windows path; empty for a null or empty name.
std::string ResolvedPath(LPCWSTR name, platform::PathUse use = platform::PathUse::Existing)
{
    if (!name || !*name)
        return {};
    return platform::ResolveCaseInsensitive(platform::ToPosixPath(name), use);
}

// A folder named with a trailing separator is the same folder.
std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void SetErrorForPath(int error, const std::string& path)
{
    if (error == ENOENT)
        SetLastError(platform::MissingPathError(path));
    else
        platform::SetLastErrorFromErrno(error);
}

FILETIME ToFileTime(const timespec& time)
{
    // 100-nanosecond intervals since 1601-01-01.
    constexpr uint64_t EPOCH_DIFFERENCE_SECONDS = 11'644'473'600;
    const uint64_t ticks = (static_cast<uint64_t>(time.tv_sec) + EPOCH_DIFFERENCE_SECONDS) * 10'000'000 +
                           static_cast<uint64_t>(time.tv_nsec) / 100;
    return FILETIME{.dwLowDateTime = static_cast<DWORD>(ticks),
                    .dwHighDateTime = static_cast<DWORD>(ticks >> 32)};
}

DWORD AttributesOf(const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return FILE_ATTRIBUTE_DIRECTORY;
    return (info.st_mode & S_IWUSR) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

int RetryOnInterrupt(int (*call)(int, int), int fd, int argument)
{
    int result;
    do {
        result = call(fd, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

int FlockCall(int fd, int operation)
{
    return ::flock(fd, operation);
}

// Windows refuses to delete or rename a file that an open handle does not share for deletion;
// here any handle of ours holding the file (its flock) stands for that.
bool IsHeldOpen(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    return fd.IsValid() && RetryOnInterrupt(FlockCall, fd.Get(), LOCK_EX | LOCK_NB) != 0 &&
           errno == EWOULDBLOCK;
}

// Opens without O_TRUNC: truncation waits until the share lock is ours.
UniqueFd OpenForDisposition(const std::string& path, int mode, DWORD disposition, bool& existed)
{
    existed = true;
    switch (disposition) {
    case CREATE_NEW:
        existed = false;
        return UniqueFd(::open(path.c_str(), mode | O_CREAT | O_EXCL, 0666));
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
        for (int attempt = 0; attempt < 2; ++attempt) {
            UniqueFd fd(::open(path.c_str(), mode));
            if (fd.IsValid() || errno != ENOENT)
                return fd;
            fd.Reset(::open(path.c_str(), mode | O_CREAT | O_EXCL, 0666));
            if (fd.IsValid() || errno != EEXIST) {
                existed = false;
                return fd;
            }
        }
        return UniqueFd();
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
        return UniqueFd(::open(path.c_str(), mode));
    default:
        errno = EINVAL;
        return UniqueFd();
    }
}

// The injected fault: -1 when none waits, else the counted calls still to pass.
std::atomic<int> g_fault_skip{-1};
std::atomic<int> g_fault_error{0};
std::atomic<void (*)()> g_fault_stop{nullptr};
std::atomic<bool> g_stop_passes_closes{false};
std::atomic<platform::FileCall> g_struck_call{platform::FileCall::None};

std::function<void(platform::FolderCall, std::u16string_view, std::u16string_view)>& FolderObserver()
{
    static std::function<void(platform::FolderCall, std::u16string_view, std::u16string_view)> observer;
    return observer;
}

// Set after the observer, cleared before it goes: other threads look only at this.
std::atomic<bool> g_observing{false};

void Observe(platform::FolderCall call, LPCWSTR first, LPCWSTR second = nullptr)
{
    if (g_observing.load(std::memory_order_acquire))
        FolderObserver()(call, first != nullptr ? first : u"", second != nullptr ? second : u"");
}

// True, with the last error set, when this counted call is the one to fail.
bool FaultStrikes(platform::FileCall call, bool close = false)
{
    int skip = g_fault_skip.load();
    while (skip >= 0) {
        if (skip == 0 && close && g_stop_passes_closes.load() && g_fault_stop.load() != nullptr)
            return false;
        if (g_fault_skip.compare_exchange_weak(skip, skip - 1)) {
            if (skip != 0)
                return false;
            g_struck_call = call;
            if (void (*stop)() = g_fault_stop.exchange(nullptr))
                stop();
            platform::SetLastErrorFromErrno(g_fault_error.load());
            return true;
        }
    }
    return false;
}

bool FillFindData(const std::string& path, const std::string& found_name, LPWIN32_FIND_DATAW find_data)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        SetErrorForPath(errno, path);
        return false;
    }
    *find_data = WIN32_FIND_DATAW{};
    find_data->dwFileAttributes = AttributesOf(info);
    find_data->ftCreationTime = ToFileTime(info.st_ctim);
    find_data->ftLastAccessTime = ToFileTime(info.st_atim);
    find_data->ftLastWriteTime = ToFileTime(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        find_data->nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
        find_data->nFileSizeLow = static_cast<DWORD>(info.st_size);
    }
    const std::u16string wide_name = platform::Utf8ToUtf16(found_name);
    const size_t length = std::min<size_t>(wide_name.size(), MAX_PATH - 1);
    std::copy_n(wide_name.begin(), length, find_data->cFileName);
    find_data->cFileName[length] = 0;
    return true;
}

} // namespace

namespace platform {

void InjectFileFault(int skip, int posix_error)
{
    g_struck_call = FileCall::None;
    g_fault_error = posix_error;
    g_fault_skip = skip;
}

void InjectFileStop(int skip, void (*stop)(), bool pass_closes)
{
    g_struck_call = FileCall::None;
    g_fault_stop = stop;
    g_stop_passes_closes = pass_closes;
    g_fault_skip = skip;
}

void ClearFileFault()
{
    g_fault_skip = -1;
    g_fault_stop = nullptr;
}

bool IsFileFaultPending()
{
    return g_fault_skip.load() >= 0;
}

FileCall StruckFileCall()
{
    return g_struck_call.load();
}

void ObserveFolderCalls(std::function<void(FolderCall, std::u16string_view, std::u16string_view)> observer)
{
    g_observing.store(false, std::memory_order_release);
    FolderObserver() = std::move(observer);
    g_observing.store(static_cast<bool>(FolderObserver()), std::memory_order_release);
}

} // namespace platform

HANDLE CreateFileW(LPCWSTR file_name, DWORD desired_access, DWORD share_mode, LPSECURITY_ATTRIBUTES,
                   DWORD creation_disposition, DWORD, HANDLE)
{
    const std::string path = ResolvedPath(file_name);
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const bool reading = (desired_access & GENERIC_READ) != 0;
    const bool writing = (desired_access & GENERIC_WRITE) != 0;
    if (writing && FaultStrikes(platform::FileCall::Create))
        return INVALID_HANDLE_VALUE;
    if (creation_disposition == TRUNCATE_EXISTING && !writing) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const int mode = (writing ? (reading ? O_RDWR : O_WRONLY) : O_RDONLY) | O_CLOEXEC;

    bool existed = true;
    UniqueFd fd = OpenForDisposition(path, mode, creation_disposition, existed);
    if (!fd.IsValid()) {
        SetErrorForPath(errno, path);
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    if (::fstat(fd.Get(), &info) != 0 || S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }

    const bool exclusive = share_mode == 0 || (writing && (share_mode & FILE_SHARE_WRITE) == 0);
    if (RetryOnInterrupt(FlockCall, fd.Get(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        platform::SetLastErrorFromErrno(errno); // EWOULDBLOCK: ERROR_SHARING_VIOLATION
        return INVALID_HANDLE_VALUE;
    }
    const bool truncate =
        creation_disposition == TRUNCATE_EXISTING || (creation_disposition == CREATE_ALWAYS && existed);
    if (truncate && info.st_size != 0) {
        int result;
        do {
            result = ::ftruncate(fd.Get(), 0);
        } while (result < 0 && errno == EINTR);
        if (result != 0) {
            platform::SetLastErrorFromErrno(errno);
            return INVALID_HANDLE_VALUE;
        }
    }
    HANDLE handle = HandleTable::GetInstance().Add(std::make_shared<FileObject>(std::move(fd)));
    const bool report_existing =
        existed && (creation_disposition == CREATE_ALWAYS || creation_disposition == OPEN_ALWAYS);
    SetLastError(report_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read, void* overlapped)
{
    const auto* at = static_cast<const OVERLAPPED*>(overlapped);
    off_t offset = at ? static_cast<off_t>(uint64_t{at->OffsetHigh} << 32 | at->Offset) : 0;
    if (bytes_read)
        *bytes_read = 0;
    const std::shared_ptr<FileObject> file = FindFile(handle);
    if (!file)
        return FALSE;
    if (!buffer && bytes_to_read != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    DWORD done = 0;
    while (done < bytes_to_read) {
        const ssize_t count = at ? ::pread(file->GetFd(), bytes + done, bytes_to_read - done, offset + done)
                                 : ::read(file->GetFd(), bytes + done, bytes_to_read - done);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : platform::Win32ErrorFromErrno(errno));
            if (bytes_read)
                *bytes_read = done;
            return FALSE;
        }
        if (count == 0)
            break; // end of file: a short read is a success
        done += static_cast<DWORD>(count);
    }
    if (bytes_read)
        *bytes_read = done;
    return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytes_to_write, LPDWORD bytes_written, void*)
{
    if (bytes_written)
        *bytes_written = 0;
    const std::shared_ptr<FileObject> file = FindFile(handle);
    if (!file)
        return FALSE;
    if (!buffer && bytes_to_write != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    DWORD done = 0;
    if (FaultStrikes(platform::FileCall::Write)) {
        const int error = g_fault_error.load();
        const ssize_t half = ::write(file->GetFd(), bytes, bytes_to_write / 2);
        platform::SetLastErrorFromErrno(error);
        if (bytes_written)
            *bytes_written = half > 0 ? static_cast<DWORD>(half) : 0;
        return FALSE;
    }
    while (done < bytes_to_write) {
        const ssize_t count = ::write(file->GetFd(), bytes + done, bytes_to_write - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            const int error = count < 0 ? errno : ENOSPC;
            SetLastError(error == EBADF ? ERROR_ACCESS_DENIED : platform::Win32ErrorFromErrno(error));
            if (bytes_written)
                *bytes_written = done;
            return FALSE;
        }
        done += static_cast<DWORD>(count);
    }
    if (bytes_written)
        *bytes_written = done;
    return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG* distance_high, DWORD move_method)
{
    const std::shared_ptr<FileObject> file = FindFile(handle);
    if (!file)
        return INVALID_SET_FILE_POINTER;
    if (move_method > FILE_END) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    const int64_t offset =
        distance_high
            ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distance_high)) << 32) |
                                   static_cast<uint32_t>(distance))
            : static_cast<int64_t>(distance);
    int64_t base = 0;
    if (move_method == FILE_CURRENT) {
        base = ::lseek(file->GetFd(), 0, SEEK_CUR);
    } else if (move_method == FILE_END) {
        struct stat info;
        base = ::fstat(file->GetFd(), &info) == 0 ? info.st_size : -1;
    }
    if (base < 0) {
        platform::SetLastErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    const int64_t target = base + offset;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!distance_high && target > 0xFFFF'FFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (::lseek(file->GetFd(), target, SEEK_SET) < 0) {
        platform::SetLastErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    if (distance_high)
        *distance_high = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(target);
}

DWORD GetFileSize(HANDLE handle, LPDWORD size_high)
{
    const std::shared_ptr<FileObject> file = FindFile(handle);
    if (!file)
        return INVALID_FILE_SIZE;
    struct stat info;
    if (::fstat(file->GetFd(), &info) != 0) {
        platform::SetLastErrorFromErrno(errno);
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size_high)
        *size_high = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL FlushFileBuffers(HANDLE handle)
{
    const std::shared_ptr<FileObject> file = FindFile(handle);
    if (!file || FaultStrikes(platform::FileCall::FlushFile))
        return FALSE;
    if (::fsync(file->GetFd()) != 0 && errno != EINVAL) { // EINVAL: a file that cannot be synced
        platform::SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    if (handle == CURRENT_PROCESS || handle == CURRENT_THREAD)
        return TRUE;
    HandleTable& table = HandleTable::GetInstance();
    const std::shared_ptr<platform::KernelObject> object = table.Get(handle);
    // Find handles close with FindClose and heaps with HeapDestroy, as on Windows.
    if (!object || object->GetKind() == KernelObjectKind::Find ||
        object->GetKind() == KernelObjectKind::Heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const bool fails =
        object->GetKind() == KernelObjectKind::File && FaultStrikes(platform::FileCall::Close, true);
    table.Remove(handle);
    return fails ? FALSE : TRUE;
}

BOOL FlushFolderBuffers(LPCWSTR folder)
{
    Observe(platform::FolderCall::Flush, folder);
    const std::string path = ResolvedPath(folder);
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (FaultStrikes(platform::FileCall::FlushFolder))
        return FALSE;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.IsValid()) {
        SetErrorForPath(errno, path);
        return FALSE;
    }
    if (::fsync(fd.Get()) != 0 && errno != EINVAL) {
        platform::SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

HANDLE GetCurrentProcess()
{
    return CURRENT_PROCESS;
}

BOOL DuplicateHandle(HANDLE source_process, HANDLE source, HANDLE target_process, LPHANDLE target, DWORD,
                     BOOL, DWORD options)
{
    if (source_process != CURRENT_PROCESS || target_process != CURRENT_PROCESS) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!target) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HandleTable& table = HandleTable::GetInstance();
    std::shared_ptr<platform::KernelObject> object = table.Get(source);
    if (!object || object->GetKind() == KernelObjectKind::Find ||
        object->GetKind() == KernelObjectKind::Heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (const auto file = std::dynamic_pointer_cast<FileObject>(object)) {
        // dup() shares the open file description: the position and the share lock go with it.
        UniqueFd copy(::fcntl(file->GetFd(), F_DUPFD_CLOEXEC, 0));
        if (!copy.IsValid()) {
            platform::SetLastErrorFromErrno(errno);
            return FALSE;
        }
        object = std::make_shared<FileObject>(std::move(copy));
    }
    *target = table.Add(std::move(object));
    if (options & DUPLICATE_CLOSE_SOURCE)
        table.Remove(source);
    return TRUE;
}

HANDLE FindFirstFileW(LPCWSTR file_name, LPWIN32_FIND_DATAW find_data)
{
    if (!file_name || !*file_name || !find_data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = WithoutTrailingSlash(platform::ToPosixPath(file_name));
    const size_t slash = path.rfind('/');
    const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string found_name = pattern;
    std::string folder;
    std::vector<std::string> rest;
    if (pattern.find_first_of("*?") != std::string::npos) {
        folder = platform::ResolveCaseInsensitive(
            slash == std::string::npos ? std::string(".")
                                       : (slash == 0 ? std::string("/") : path.substr(0, slash)));
        // Windows' "*.*" also matches names without a dot.
        const std::string glob = pattern == "*.*" ? "*" : pattern;
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != ".." && ::fnmatch(glob.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
                    rest.push_back(name);
            }
            ::closedir(dir);
        } else {
            SetErrorForPath(errno, folder + "/");
            return INVALID_HANDLE_VALUE;
        }
        if (rest.empty()) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        std::sort(rest.begin(), rest.end(), std::greater<>());
        found_name = rest.back();
        rest.pop_back();
        path = folder == "/" ? "/" + found_name : folder + "/" + found_name;
    } else {
        path = platform::ResolveCaseInsensitive(path);
        const size_t resolved_slash = path.rfind('/');
        found_name = resolved_slash == std::string::npos ? path : path.substr(resolved_slash + 1);
    }
    if (!FillFindData(path, found_name, find_data))
        return INVALID_HANDLE_VALUE;
    return HandleTable::GetInstance().Add(std::make_shared<FindObject>(std::move(folder), std::move(rest)));
}

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW find_data)
{
    const std::shared_ptr<FindObject> search = HandleTable::GetInstance().GetAs<FindObject>(find);
    if (!search || !find_data) {
        SetLastError(!search ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A name gone since the search began is passed over, as the system's own listing would be
    // read after it went.
    while (!search->Rest.empty()) {
        const std::string name = std::move(search->Rest.back());
        search->Rest.pop_back();
        const std::string path = search->Folder == "/" ? "/" + name : search->Folder + "/" + name;
        if (FillFindData(path, name, find_data))
            return TRUE;
    }
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL FindClose(HANDLE find)
{
    HandleTable& table = HandleTable::GetInstance();
    const std::shared_ptr<platform::KernelObject> object = table.Get(find);
    if (!object || object->GetKind() != KernelObjectKind::Find) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    table.Remove(find);
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR file_name)
{
    const std::string path = ResolvedPath(file_name);
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        SetErrorForPath(path.empty() ? ENOENT : errno, path);
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(info);
}

BOOL CreateDirectoryW(LPCWSTR path_name, LPSECURITY_ATTRIBUTES)
{
    if (!path_name || !*path_name) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string path =
        platform::ResolveCaseInsensitive(WithoutTrailingSlash(platform::ToPosixPath(path_name)));
    if (::mkdir(path.c_str(), 0755) != 0) {
        SetLastError(errno == EEXIST                       ? ERROR_ALREADY_EXISTS
                     : errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                           : platform::Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path_name)
{
    const std::string path = WithoutTrailingSlash(ResolvedPath(path_name));
    if (path.empty() || ::rmdir(path.c_str()) != 0) {
        const int error = path.empty() ? ENOENT : errno;
        if (error == ENOTDIR)
            SetLastError(ERROR_DIRECTORY);
        else
            SetErrorForPath(error, path);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR file_name)
{
    Observe(platform::FolderCall::Delete, file_name);
    const std::string path = ResolvedPath(file_name);
    struct stat info;
    if (path.empty() || ::lstat(path.c_str(), &info) != 0) {
        SetErrorForPath(path.empty() ? ENOENT : errno, path);
        return FALSE;
    }
    if (S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (IsHeldOpen(path)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (::unlink(path.c_str()) != 0) {
        SetErrorForPath(errno, path);
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR replacement, DWORD flags)
{
    Observe(platform::FolderCall::Rename, existing, replacement);
    if (FaultStrikes(platform::FileCall::Move))
        return FALSE;
    // A source named as it is needs no case-blind search (the search would look at it first).
    struct stat from_info;
    std::string from = existing && *existing ? platform::ToPosixPath(existing) : std::string();
    const bool exact = !from.empty() && ::lstat(from.c_str(), &from_info) == 0;
    if (!exact)
        from = ResolvedPath(existing);
    platform::ResolvedEntry target = replacement && *replacement
                                         ? platform::ResolveEntry(platform::ToPosixPath(replacement))
                                         : platform::ResolvedEntry{};
    std::string to = std::move(target.Path);
    if (from.empty() || to.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (!exact && ::lstat(from.c_str(), &from_info) != 0) {
        SetErrorForPath(errno, from);
        return FALSE;
    }
    const struct stat& to_info = target.Info;
    const bool replaces = target.Exists;
    if (replaces) {
        if (to_info.st_dev == from_info.st_dev && to_info.st_ino == from_info.st_ino) {
            // The target is the source under another case: a rename that changes only the case.
            to = ResolvedPath(replacement, platform::PathUse::NewName);
        } else if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        } else if (S_ISDIR(to_info.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    // A target that is not there is held by no one.
    if ((S_ISREG(from_info.st_mode) && IsHeldOpen(from)) || (replaces && IsHeldOpen(to))) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        SetErrorForPath(errno, to);
        return FALSE;
    }
    return TRUE;
}

BOOL PathFileExistsW(LPCWSTR path_name)
{
    struct stat info;
    // Named as it is: one look (a save checks hundreds of its files).
    if (path_name && *path_name && ::stat(platform::ToPosixPath(path_name).c_str(), &info) == 0)
        return TRUE;
    const std::string path = ResolvedPath(path_name);
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        SetErrorForPath(path.empty() ? ENOENT : errno, path);
        return FALSE;
    }
    return TRUE;
}

namespace {

std::mutex g_pinned_time_lock;
std::optional<SYSTEMTIME> g_pinned_time;

} // namespace

void platform::PinLocalTime(const SYSTEMTIME* time)
{
    const std::lock_guard lock(g_pinned_time_lock);
    g_pinned_time = time != nullptr ? std::optional<SYSTEMTIME>(*time) : std::nullopt;
}

void GetLocalTime(SYSTEMTIME* time)
{
    if (!time)
        return;
    {
        const std::lock_guard lock(g_pinned_time_lock);
        if (g_pinned_time) {
            *time = *g_pinned_time;
            return;
        }
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    *time = SYSTEMTIME{.wYear = static_cast<WORD>(local.tm_year + 1900),
                       .wMonth = static_cast<WORD>(local.tm_mon + 1),
                       .wDayOfWeek = static_cast<WORD>(local.tm_wday),
                       .wDay = static_cast<WORD>(local.tm_mday),
                       .wHour = static_cast<WORD>(local.tm_hour),
                       .wMinute = static_cast<WORD>(local.tm_min),
                       .wSecond = static_cast<WORD>(local.tm_sec),
                       .wMilliseconds = static_cast<WORD>(now.tv_nsec / 1'000'000)};
}
