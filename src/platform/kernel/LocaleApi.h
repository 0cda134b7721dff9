#pragma once
// The user's language as a Windows LANGID, taken from the POSIX locale: the first non-empty of
// LC_ALL, LC_MESSAGES and LANG. Chinese of Taiwan and Hong Kong is traditional, of China and
// Singapore simplified, Japanese is Japanese, anything else (C and POSIX included) US English.

#include <string_view>

#include "platform/kernel/WinTypes.h"

using LANGID = WORD;

inline constexpr WORD LANG_NEUTRAL = 0x00;
inline constexpr WORD LANG_CHINESE = 0x04;
inline constexpr WORD LANG_ENGLISH = 0x09;
inline constexpr WORD LANG_JAPANESE = 0x11;
inline constexpr WORD SUBLANG_NEUTRAL = 0x00;
inline constexpr WORD SUBLANG_DEFAULT = 0x01;
inline constexpr WORD SUBLANG_ENGLISH_US = 0x01;
inline constexpr WORD SUBLANG_CHINESE_TRADITIONAL = 0x01;
inline constexpr WORD SUBLANG_CHINESE_SIMPLIFIED = 0x02;
inline constexpr WORD SUBLANG_CHINESE_HONGKONG = 0x03;
inline constexpr WORD SUBLANG_CHINESE_SINGAPORE = 0x04;
inline constexpr WORD SUBLANG_CHINESE_MACAU = 0x05;

constexpr LANGID MAKELANGID(WORD primary, WORD sub)
{
    return static_cast<LANGID>((sub << 10) | primary);
}
constexpr WORD PRIMARYLANGID(LANGID id)
{
    return static_cast<WORD>(id & 0x3FF);
}
constexpr WORD SUBLANGID(LANGID id)
{
    return static_cast<WORD>(id >> 10);
}

LANGID GetUserDefaultLangID();

namespace platform {

// The LANGID of one locale name such as "zh_TW.UTF-8" or "ja_JP.eucJP@x".
LANGID LangIdFromLocaleName(std::string_view locale);

} // namespace platform
