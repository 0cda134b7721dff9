#include "platform/kernel/ErrorApi.h"

#include <cerrno>

#include "platform/kernel/Win32Error.h"

namespace {

thread_local DWORD t_last_error = ERROR_SUCCESS;

} // namespace

DWORD GetLastError()
{
    return t_last_error;
}

void SetLastError(DWORD error)
{
    t_last_error = error;
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
    SetLastError(Win32ErrorFromErrno(error));
}

} // namespace platform
