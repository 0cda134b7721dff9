#pragma once
// Run-time lookup of system functions. The only library the program opens is "User32.dll", for
// the touch functions; any other name fails with ERROR_MOD_NOT_FOUND.

#include "platform/kernel/WinTypes.h"

// Shaped void (*)() rather than INT_PTR (*)(): the one type a function pointer converts to and back
// from without a cast-function-type warning.
using FARPROC = void (*)();

// Names compare without regard to ASCII case; ".dll" may be left out.
HMODULE LoadLibraryW(LPCWSTR file_name);
BOOL FreeLibrary(HMODULE module);
// Null with ERROR_PROC_NOT_FOUND for a name the library does not export.
FARPROC GetProcAddress(HMODULE module, LPCSTR proc_name);

namespace platform {

// Tests only: hides the touch functions of "User32.dll", as on a system older than Windows 7.
void SetTouchFunctionsExported(bool exported);

} // namespace platform
