#pragma once
// The operating-system identity the program sees: Windows 10.0 (build 19045), unless a test
// sets another version to reach the branches for older systems.

#include "platform/kernel/WinTypes.h"

struct OSVERSIONINFOEXW
{
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
using LPOSVERSIONINFOEXW = OSVERSIONINFOEXW*;

inline constexpr DWORD VER_MINORVERSION = 0x01;
inline constexpr DWORD VER_MAJORVERSION = 0x02;
inline constexpr DWORD VER_BUILDNUMBER = 0x04;
inline constexpr DWORD VER_PLATFORMID = 0x08;
inline constexpr DWORD VER_SERVICEPACKMINOR = 0x10;
inline constexpr DWORD VER_SERVICEPACKMAJOR = 0x20;

inline constexpr BYTE VER_EQUAL = 1;
inline constexpr BYTE VER_GREATER = 2;
inline constexpr BYTE VER_GREATER_EQUAL = 3;
inline constexpr BYTE VER_LESS = 4;
inline constexpr BYTE VER_LESS_EQUAL = 5;

inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
inline constexpr DWORD ERROR_OLD_WIN_VERSION = 1150;

// Stores the condition for each field of type_mask in the mask (three bits per field).
ULONGLONG VerSetConditionMask(ULONGLONG condition_mask, DWORD type_mask, BYTE condition);
// Major, minor, service-pack major and minor compare as one version number, as on Windows, so
// 10.0 passes ">= 6.2". A failed comparison answers FALSE with ERROR_OLD_WIN_VERSION.
BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW version_info, DWORD type_mask, ULONGLONG condition_mask);

namespace platform {

// Tests only: the version VerifyVersionInfoW compares against; Reset goes back to Windows 10.0.
void SetReportedWindowsVersion(DWORD major, DWORD minor, WORD service_pack_major = 0);
void ResetReportedWindowsVersion();

} // namespace platform
