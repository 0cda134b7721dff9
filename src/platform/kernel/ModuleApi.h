#pragma once
// The executable's own path, its module handle and its compiled-in string table.

#include "platform/kernel/WinTypes.h"

// The executable's full path (from /proc/self/exe, or VESK_MODULE_PATH when set for tests).
DWORD GetModuleFileNameW(HMODULE module, LPWSTR file_name, DWORD size);
HMODULE GetModuleHandleW(LPCWSTR module_name);
// A buffer size of 0 stores a read-only pointer to the text in *buffer and returns its length.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int buffer_max);
