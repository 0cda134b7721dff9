#pragma once
// The version resource of the executable: a VS_VERSIONINFO block whose fixed part carries the
// project version the build was configured with. Any thread.

#include "platform/kernel/WinTypes.h"

struct VS_FIXEDFILEINFO
{
    DWORD dwSignature; // 0xFEEF04BD
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS; // major in the high word, minor in the low word
    DWORD dwFileVersionLS; // third and fourth numbers
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr DWORD VOS_NT_WINDOWS32 = 0x00040004;
inline constexpr DWORD VFT_APP = 0x00000001;

// The executable's own file (as GetModuleFileNameW names it) has a version block; other files
// have none (0, ERROR_RESOURCE_TYPE_NOT_FOUND).
DWORD GetFileVersionInfoSizeW(LPCWSTR file_name, LPDWORD handle);
BOOL GetFileVersionInfoW(LPCWSTR file_name, DWORD handle, DWORD size, LPVOID data);
// Only the root block ("\\"), which gives the VS_FIXEDFILEINFO inside the caller's copy.
BOOL VerQueryValueW(LPCVOID block, LPCWSTR sub_block, LPVOID* buffer, UINT* length);
