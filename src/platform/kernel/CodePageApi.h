#pragma once
// Code-page conversions. CP_UTF8 is our own codec (each bad sequence becomes U+FFFD);
// CP_ACP is Japanese CP932 through iconv. A length of -1 means the input is NUL-terminated
// and the NUL is converted and counted too, as on Windows.

#include "platform/kernel/WinTypes.h"

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr UINT CP_932 = 932;
// MultiByteToWideChar fails with ERROR_NO_UNICODE_TRANSLATION instead of substituting.
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR multi_byte, int multi_byte_length, LPWSTR wide,
                        int wide_length);
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR multi_byte,
                        int multi_byte_length, LPCSTR default_char, LPBOOL used_default_char);
UINT GetACP();
// Whether the byte starts a two-byte character of the code page (CP_ACP or 932; false otherwise).
BOOL IsDBCSLeadByteEx(UINT code_page, BYTE byte);
