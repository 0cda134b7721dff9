#include "platform/kernel/SyncApi.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/HandleTable.h"
#include "platform/kernel/Unicode.h"
#include "platform/kernel/UniqueFd.h"
#include "platform/kernel/WaitableObject.h"
#include "platform/kernel/Win32Error.h"

namespace {

using platform::UniqueFd;

class MutexObject : public platform::WaitableObject
{
public:
    platform::KernelObjectKind GetKind() const override { return platform::KernelObjectKind::Mutex; }
    bool IsReadyLocked() override { return m_count == 0 || m_owner == GetCurrentThreadId(); }
    void AcquireLocked() override
    {
        m_owner = GetCurrentThreadId();
        ++m_count;
    }

    bool Release()
    {
        WokenWaiters woken;
        std::lock_guard lock(GetLock());
        if (m_count == 0 || m_owner != GetCurrentThreadId())
            return false;
        if (--m_count == 0) {
            m_owner = 0;
            WakeWaitersLocked(woken);
        }
        return true;
    }

private:
    // guarded by GetLock(): the owning thread and how often it has taken the mutex
    DWORD m_owner = 0;
    unsigned m_count = 0;
};

// A system-wide mutex: whoever holds the flock on the lock file has the mutex in its process,
// and the kernel drops the lock when that process ends, however it ends.
class NamedMutexObject final : public MutexObject
{
public:
    NamedMutexObject(UniqueFd fd, bool locked)
        : m_fd(std::move(fd))
        , m_locked(locked)
    {}

    bool IsPolled() const override { return true; }
    bool IsReadyLocked() override
    {
        if (!m_locked)
            m_locked = ::flock(m_fd.Get(), LOCK_EX | LOCK_NB) == 0;
        return m_locked && MutexObject::IsReadyLocked();
    }

private:
    UniqueFd m_fd;
    bool m_locked; // guarded by GetLock(): this handle's descriptor holds the flock
};

// The folder of the lock files: the user's runtime folder, or else a folder of the user's own
// in the temporary folder ("vesk-<uid>", mode 0700). A folder of that name that is not the
// user's own directory is refused (EACCES): another user could otherwise hold or fake the locks.
std::filesystem::path LockFolderPath(bool* own_folder)
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        *own_folder = false;
        return runtime;
    }
    *own_folder = true;
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        folder = "/tmp";
    return folder / ("vesk-" + std::to_string(::getuid()));
}

std::optional<std::filesystem::path> LockFolder()
{
    bool own_folder = false;
    std::filesystem::path folder = LockFolderPath(&own_folder);
    if (!own_folder)
        return folder;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat status{};
    if (::lstat(folder.c_str(), &status) != 0)
        return std::nullopt;
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid()) {
        errno = EACCES;
        return std::nullopt;
    }
    return folder;
}

// One lock file per name. Bytes other than letters, digits, '.', '-' and '_' are written as %XX
// so names stay distinct.
std::string LockFileName(LPCWSTR name)
{
    std::string file = "vesk-mutex-";
    for (const unsigned char c : platform::Utf16ToUtf8(name)) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
            c == '-' || c == '_') {
            file.push_back(static_cast<char>(c));
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            file += escaped;
        }
    }
    return file + ".lock";
}

// Opens the lock file; on failure errno says why.
UniqueFd OpenLockFile(LPCWSTR name, int flags)
{
    const std::optional<std::filesystem::path> folder = LockFolder();
    if (!folder)
        return UniqueFd();
    return UniqueFd(::open((*folder / LockFileName(name)).c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0600));
}

} // namespace

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initial_owner, LPCWSTR name)
{
    std::shared_ptr<MutexObject> mutex;
    DWORD error = ERROR_SUCCESS;
    if (!name) {
        mutex = std::make_shared<MutexObject>();
    } else {
        UniqueFd fd = OpenLockFile(name, O_RDWR | O_CREAT);
        if (!fd.IsValid()) {
            platform::SetLastErrorFromErrno(errno);
            return nullptr;
        }
        const bool locked = ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0;
        if (!locked) {
            // Another process holds it: like Windows, hand out a handle to the existing mutex.
            error = ERROR_ALREADY_EXISTS;
            initial_owner = FALSE;
        }
        mutex = std::make_shared<NamedMutexObject>(std::move(fd), locked);
    }
    if (initial_owner)
        mutex->TryAcquire();
    HANDLE handle = platform::HandleTable::GetInstance().Add(std::move(mutex));
    SetLastError(error);
    return handle;
}

HANDLE OpenMutexW(DWORD, BOOL, LPCWSTR name)
{
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    UniqueFd fd = OpenLockFile(name, O_RDWR);
    if (!fd.IsValid()) {
        SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : platform::Win32ErrorFromErrno(errno));
        return nullptr;
    }
    // The mutex exists only while someone holds the lock; a free lock file is a leftover.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return platform::HandleTable::GetInstance().Add(std::make_shared<NamedMutexObject>(std::move(fd), false));
}

BOOL ReleaseMutex(HANDLE handle)
{
    std::shared_ptr<MutexObject> mutex = platform::HandleTable::GetInstance().GetAs<MutexObject>(handle);
    if (!mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!mutex->Release()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}

std::string platform::NamedMutexLockFile(LPCWSTR name)
{
    bool own_folder = false;
    return (LockFolderPath(&own_folder) / LockFileName(name)).string();
}
