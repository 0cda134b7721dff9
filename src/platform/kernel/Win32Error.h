#pragma once
// Turning POSIX errno values into the Win32 error numbers the facade reports. Layer-internal.

#include "platform/kernel/WinTypes.h"

namespace platform {

DWORD Win32ErrorFromErrno(int error);
// SetLastError(Win32ErrorFromErrno(error)).
void SetLastErrorFromErrno(int error);

} // namespace platform
