#include "platform/kernel/ErrorApi.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/kernel/Unicode.h"
#include "platform/kernel/Win32Error.h"

namespace {

thread_local DWORD t_last_error = ERROR_SUCCESS;
// The errno behind t_last_error when a POSIX call set it, else 0.
thread_local int t_last_errno = 0;

struct ErrorText
{
    DWORD Code;
    const char* Text;
};

constexpr ErrorText ERROR_TEXTS[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_WRITE_PROTECT, "The media is write protected."},
    {ERROR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_INVALID_NAME, "The filename, directory name, or volume label syntax is incorrect."},
    {ERROR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
};

// strerror_r comes in two shapes: the XSI one fills the buffer, the GNU one may answer a
// static text instead.
[[maybe_unused]] std::string StrerrorText(int, const char* buffer)
{
    return buffer;
}
[[maybe_unused]] std::string StrerrorText(const char* text, const char*)
{
    return text;
}

std::string SystemText(DWORD code)
{
    if (code == t_last_error && t_last_errno != 0) {
        char buffer[256] = {};
        return StrerrorText(strerror_r(t_last_errno, buffer, sizeof buffer), buffer) + ".";
    }
    for (const ErrorText& entry : ERROR_TEXTS) {
        if (entry.Code == code)
            return entry.Text;
    }
    return "Unknown error " + std::to_string(code) + ".";
}

} // namespace

DWORD GetLastError()
{
    return t_last_error;
}

void SetLastError(DWORD error)
{
    t_last_error = error;
    t_last_errno = 0;
}

DWORD FormatMessageW(DWORD flags, LPCVOID, DWORD message_id, DWORD, LPWSTR buffer, DWORD size, void*)
{
    if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || buffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Windows ends system texts with a line break.
    const std::u16string text = platform::Utf8ToUtf16(SystemText(message_id) + "\r\n");
    const DWORD length = static_cast<DWORD>(text.size());
    if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        auto* copy = new char16_t[text.size() + 1];
        std::copy(text.begin(), text.end(), copy);
        copy[text.size()] = u'\0';
        *reinterpret_cast<LPWSTR*>(buffer) = copy;
        return length;
    }
    if (size <= length) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[length] = u'\0';
    return length;
}

HLOCAL LocalFree(HLOCAL memory)
{
    delete[] static_cast<char16_t*>(memory);
    return nullptr;
}

namespace platform {

DWORD Win32ErrorFromErrno(int error)
{
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EWOULDBLOCK:
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case ELOOP:
        return ERROR_CANT_RESOLVE_FILENAME;
    case ENOSYS:
    case EOPNOTSUPP:
        return ERROR_NOT_SUPPORTED;
    default:
        return ERROR_GEN_FAILURE;
    }
}

void SetLastErrorFromErrno(int error)
{
    t_last_error = Win32ErrorFromErrno(error);
    t_last_errno = error;
}

} // namespace platform
