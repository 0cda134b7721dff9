#include "foundation/CStringBase.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/kernel/CodePageApi.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/ModuleApi.h"
#include "platform/kernel/VersionApi.h"

namespace {

constexpr size_t FORMAT_INITIAL_SIZE = 1025;
constexpr size_t FORMAT_GROWTH = 1024;

[[noreturn]] void ThrowInvalidPosition()
{
    throw std::out_of_range("invalid string position");
}

const char* AsChars(const char8_t* text)
{
    return reinterpret_cast<const char*>(text);
}

int ToIndex(size_t position)
{
    return position == std::string::npos ? -1 : static_cast<int>(position);
}

[[noreturn]] void ThrowLastError()
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
}

std::u16string NarrowToWide(UINT code_page, const std::string& text)
{
    const int length = MultiByteToWideChar(code_page, 0, text.c_str(), -1, nullptr, 0);
    if (length == 0)
        ThrowLastError();
    std::u16string wide(static_cast<size_t>(length), u'\0');
    if (MultiByteToWideChar(code_page, 0, text.c_str(), -1, wide.data(), length) == 0)
        ThrowLastError();
    wide.resize(std::char_traits<char16_t>::length(wide.c_str()));
    return wide;
}

std::string WideToNarrow(UINT code_page, const std::u16string& text)
{
    const int length = WideCharToMultiByte(code_page, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length == 0)
        ThrowLastError();
    std::string narrow(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(code_page, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr) == 0)
        ThrowLastError();
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

} // namespace

// The offset map is made on first use: most strings (script values above all) never need it.
CStringBase::CStringBase() = default;

CStringBase::CStringBase(const CStringBase& other)
    : CStringBase()
{
    *this = other;
}

CStringBase::CStringBase(CStringBase&& other) noexcept
    : m_text(std::move(other.m_text))
    , m_wide(std::move(other.m_wide))
    , CharOffsetMap(std::move(other.CharOffsetMap))
    , m_char_count(other.m_char_count)
    , m_width(other.m_width)
{
    other.m_text.clear();
    other.m_wide.clear();
    other.m_char_count = -1;
    other.m_width = -1;
}

CStringBase& CStringBase::operator=(const CStringBase& other)
{
    if (this == &other)
        return *this;
    m_text = other.m_text;
    m_wide = other.m_wide;
    if (other.CharOffsetMap && !other.CharOffsetMap->empty())
        OffsetMap() = *other.CharOffsetMap;
    else if (CharOffsetMap)
        CharOffsetMap->clear();
    m_char_count = other.m_char_count;
    m_width = other.m_width;
    return *this;
}

CStringBase& CStringBase::operator=(CStringBase&& other) noexcept
{
    if (this == &other)
        return *this;
    m_text = std::move(other.m_text);
    m_wide = std::move(other.m_wide);
    std::swap(CharOffsetMap, other.CharOffsetMap);
    m_char_count = other.m_char_count;
    m_width = other.m_width;
    other.m_text.clear();
    other.m_wide.clear();
    if (other.CharOffsetMap)
        other.CharOffsetMap->clear();
    other.m_char_count = -1;
    other.m_width = -1;
    return *this;
}

CStringBase::CharOffsetMapType& CStringBase::OffsetMap() const
{
    if (!CharOffsetMap)
        CharOffsetMap = std::make_unique<CharOffsetMapType>();
    return *CharOffsetMap;
}

size_t CStringBase::CharSizeAt(size_t offset) const
{
    if (offset >= m_text.size())
        return 0;
    const int size = GetCharSize(m_text[offset]);
    return std::min(static_cast<size_t>(std::max(size, 1)), m_text.size() - offset);
}

void CStringBase::Changed()
{
    ClearCache();
    OnChanged();
}

void CStringBase::ClearCache()
{
    if (CharOffsetMap)
        CharOffsetMap->clear();
    m_char_count = -1;
    m_width = -1;
}

std::string CStringBase::FormatV(const char* format, va_list args)
{
    // Grow in steps of 1024 until the text fits. vsnprintf tells the length it needs, so one
    // retry is enough; a format that fails for another reason (a negative result) gives an
    // empty text instead of growing for ever.
    std::vector<char> buffer(FORMAT_INITIAL_SIZE);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int result = std::vsnprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (result < 0)
            return std::string();
        const auto needed = static_cast<size_t>(result);
        if (needed < buffer.size() - 1)
            return std::string(buffer.data(), needed);
        const size_t steps = (needed + 2 - buffer.size() + FORMAT_GROWTH - 1) / FORMAT_GROWTH;
        const size_t next_size = buffer.size() + steps * FORMAT_GROWTH;
        if (next_size <= buffer.size())
            return std::string(buffer.data(), std::strlen(buffer.data())); // what fits
        buffer.assign(next_size, '\0');
    }
}

int CStringBase::LoadString(UINT id)
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    const char16_t* resource = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
    std::u16string wide(static_cast<size_t>(std::max(length, 0)) + 2, u'\0');
    LoadStringW(module, id, wide.data(), static_cast<int>(wide.size()));
    wide.resize(std::char_traits<char16_t>::length(wide.c_str()));
    m_text = FromWide(wide);
    Changed();
    return 1;
}

int CStringBase::FindFrom(const std::string& needle, int start) const
{
    if (start < 0 || static_cast<size_t>(start) > m_text.size())
        ThrowInvalidPosition();
    size_t position = static_cast<size_t>(start);
    while (position + needle.size() <= m_text.size()) {
        if (m_text.compare(position, needle.size(), needle) == 0)
            return static_cast<int>(position);
        if (position == m_text.size())
            break;
        position += CharSizeAt(position);
    }
    return -1;
}

void CStringBase::ReplaceChar(char from, char to)
{
    std::string result;
    result.reserve(m_text.size());
    size_t position = 0;
    while (position < m_text.size()) {
        const char byte = m_text[position];
        if (IsFullWidth(std::string(1, byte)) == 0) {
            if (byte != from)
                result.push_back(byte);
            else if (to != 0)
                result.push_back(to);
            ++position;
        } else {
            const size_t size = CharSizeAt(position);
            result.append(m_text, position, size);
            position += size;
        }
    }
    m_text = std::move(result);
    Changed();
}

void CStringBase::ReplaceAll(const std::string& from, const std::string& to)
{
    // An empty pattern matches everywhere, also inside what was just inserted: replacing it
    // would never end, so it replaces nothing.
    if (from.empty())
        return;
    int position = 0;
    for (;;) {
        const int found = FindFrom(from, position);
        if (found < 0)
            break;
        m_text.replace(static_cast<size_t>(found), from.size(), to);
        position = found + static_cast<int>(to.size());
    }
    Changed();
}

void CStringBase::Replace(int position, int count, const std::string& text)
{
    if (position < 0 || static_cast<size_t>(position) > m_text.size())
        ThrowInvalidPosition();
    m_text.replace(static_cast<size_t>(position), static_cast<size_t>(std::max(count, 0)), text);
    Changed();
}

void CStringBase::MakeUpper()
{
    // The "C" locale's toupper: only ASCII letters change, so UTF-8 sequences stay whole.
    for (char& byte : m_text) {
        if (byte >= 'a' && byte <= 'z')
            byte = static_cast<char>(byte - 'a' + 'A');
    }
    Changed();
}

void CStringBase::MakeLower()
{
    for (char& byte : m_text) {
        if (byte >= 'A' && byte <= 'Z')
            byte = static_cast<char>(byte - 'A' + 'a');
    }
    Changed();
}

void CStringBase::TruncateToWidth(int width)
{
    const std::string source = std::move(m_text);
    m_text.clear();
    int used = 0;
    size_t position = 0;
    while (position < source.size() && used < width) {
        const int announced = GetCharSize(source[position]);
        const size_t size = std::min(static_cast<size_t>(std::max(announced, 1)), source.size() - position);
        const std::string character = source.substr(position, size);
        if (IsFullWidth(character) == 1) {
            if (used + 2 > width)
                break; // a wide character that would pass the limit ends the text
            used += 2;
        } else {
            used += 1;
        }
        m_text += character;
        position += size;
    }
    Changed();
}

void CStringBase::BuildCharOffsetMap() const
{
    CharOffsetMapType& map = OffsetMap();
    size_t offset = 0;
    int index = 0;
    while (offset < m_text.size() && m_text[offset] != '\0') {
        map.emplace(index, static_cast<int>(offset));
        offset += CharSizeAt(offset);
        ++index;
    }
}

int CStringBase::GetCharOffset(int index) const
{
    CharOffsetMapType& map = OffsetMap();
    if (map.empty())
        BuildCharOffsetMap();
    // An index past the last character answers the first one.
    return map.try_emplace(index, 0).first->second;
}

int CStringBase::GetCharSize(char) const
{
    return -1;
}

int CStringBase::IsFullWidth(const std::string&) const
{
    return -1;
}

bool CStringBase::IsEmpty() const
{
    return m_text.empty();
}

std::string CStringBase::GetStdString() const
{
    return m_text;
}

void CStringBase::Empty()
{
    m_text.clear();
    Changed();
}

void CStringBase::Delete(int position, int count)
{
    if (position < 0 || static_cast<size_t>(position) > m_text.size())
        ThrowInvalidPosition();
    m_text.erase(static_cast<size_t>(position), static_cast<size_t>(std::max(count, 0)));
    Changed();
}

const char* CStringBase::CStr() const
{
    return m_text.c_str();
}

char CStringBase::GetAt(int index) const
{
    // Outside the text (the NUL included) there is nothing to read.
    if (index < 0 || static_cast<size_t>(index) >= m_text.size())
        return '\0';
    return m_text[static_cast<size_t>(index)];
}

int CStringBase::GetCharCount() const
{
    return GetCharMetrics().first;
}

int CStringBase::GetWidth() const
{
    return GetCharMetrics().second;
}

int CStringBase::GetLength() const
{
    return static_cast<int>(m_text.size());
}

int CStringBase::Find(const std::string& needle) const
{
    return ToIndex(m_text.find(needle));
}

int CStringBase::Find(const char* needle) const
{
    return ToIndex(m_text.find(needle));
}

int CStringBase::Find(char needle) const
{
    return ToIndex(m_text.find(needle));
}

int CStringBase::ReverseFind(const std::string& needle) const
{
    return ToIndex(m_text.rfind(needle));
}

int CStringBase::ReverseFind(const char* needle) const
{
    return ToIndex(m_text.rfind(needle));
}

int CStringBase::ReverseFind(char needle) const
{
    return ToIndex(m_text.rfind(needle));
}

// atoi with the C library's overflow left undefined; out-of-range numbers saturate instead,
// so a hand-edited settings value can never yield garbage.
int CStringBase::ToInt() const
{
    const long long value = std::strtoll(m_text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

int CStringBase::ToLong() const
{
    return ToInt();
}

float CStringBase::ToFloat() const
{
    return static_cast<float>(std::atof(m_text.c_str()));
}

const char* CStringBase::GetText() const
{
    return m_text.c_str();
}

const char16_t* CStringBase::GetWideText() const
{
    m_wide = ToWide();
    return m_wide.c_str();
}

CStringBase::operator const char*() const
{
    return GetText();
}

CStringBase::operator const char16_t*() const
{
    return GetWideText();
}

std::string CStringBase::GetCharAt(int index) const
{
    return ExtractChar(index);
}

void CStringBase::Assign(const std::string& text)
{
    m_text = text;
    Changed();
}

void CStringBase::Assign(const char* text)
{
    m_text = text;
    Changed();
}

void CStringBase::Assign(const char8_t* text)
{
    Assign(AsChars(text));
}

void CStringBase::Assign(char byte)
{
    m_text.assign(1, byte);
    Changed();
}

void CStringBase::Append(const std::string& text)
{
    m_text += text;
    Changed();
}

void CStringBase::Append(const char* text)
{
    m_text += text;
    Changed();
}

void CStringBase::Append(const char8_t* text)
{
    Append(AsChars(text));
}

void CStringBase::Append(char byte)
{
    m_text += byte;
    Changed();
}

bool CStringBase::IsEqual(const std::string& text) const
{
    return m_text == text;
}

bool CStringBase::IsEqual(const char* text) const
{
    return m_text == text;
}

bool CStringBase::IsEqual(const char8_t* text) const
{
    return IsEqual(AsChars(text));
}

bool CStringBase::IsNotEqual(const std::string& text) const
{
    return !IsEqual(text);
}

bool CStringBase::IsNotEqual(const char* text) const
{
    return !IsEqual(text);
}

bool CStringBase::IsNotEqual(const char8_t* text) const
{
    return !IsEqual(text);
}

std::string CStringBase::Concat(const std::string& text) const
{
    return m_text + text;
}

std::string CStringBase::Concat(const char* text) const
{
    return m_text + text;
}

std::string CStringBase::Concat(const char8_t* text) const
{
    return Concat(AsChars(text));
}

std::string CStringBase::Concat(char byte) const
{
    return m_text + byte;
}

std::u16string CStringBase::ToWide() const
{
    return AnsiToWide(m_text);
}

std::string CStringBase::ToAnsi() const
{
    return m_text;
}

std::string CStringBase::GetNarrow() const
{
    return m_text;
}

std::u16string CStringBase::GetUtf8Wide() const
{
    return std::u16string();
}

std::string CStringBase::FromWide(const std::u16string&) const
{
    return std::string();
}

void CStringBase::OnChanged() {}

std::string CStringBase::ExtractChar(int index) const
{
    const auto offset = static_cast<size_t>(GetCharOffset(index));
    return m_text.substr(std::min(offset, m_text.size()), CharSizeAt(offset));
}

std::pair<int, int> CStringBase::GetCharMetrics() const
{
    if (m_char_count == -1) {
        int count = 0;
        int width = 0;
        size_t position = 0;
        while (position < m_text.size()) {
            const size_t size = CharSizeAt(position);
            ++count;
            ++width;
            if (IsFullWidth(m_text.substr(position, size)) == 1)
                ++width;
            position += size;
        }
        m_char_count = count;
        m_width = width;
    }
    return {m_char_count, m_width};
}

std::u16string AnsiToWide(const std::string& text)
{
    return NarrowToWide(CP_ACP, text);
}

std::u16string AnsiToWideLenient(const std::string& text)
{
    const std::string_view whole(text.c_str()); // up to the first NUL, as AnsiToWide
    std::u16string wide;
    size_t position = 0;
    while (position < whole.size()) {
        const auto lead = static_cast<BYTE>(whole[position]);
        size_t size = IsDBCSLeadByteEx(CP_ACP, lead) && position + 1 < whole.size() ? 2 : 1;
        if (lead < 0x80) {
            // A run of ASCII converts as it is.
            size = 1;
            while (position + size < whole.size() && static_cast<BYTE>(whole[position + size]) < 0x80)
                ++size;
        }
        char16_t units[64];
        const int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, whole.data() + position,
                                              static_cast<int>(std::min<size_t>(size, 32)), units, 64);
        if (count > 0) {
            wide.append(units, static_cast<size_t>(count));
            position += std::min<size_t>(size, 32);
            continue;
        }
        wide.push_back(u'\uFFFD');
        // A byte below 0x40 is never a trail byte: it stays a character of its own.
        position += size == 2 && static_cast<BYTE>(whole[position + 1]) < 0x40 ? 1 : size;
    }
    return wide;
}

std::string WideToAnsi(const std::u16string& text)
{
    return WideToNarrow(CP_ACP, text);
}

std::u16string Utf8ToWide(const std::string& text)
{
    return NarrowToWide(CP_UTF8, text);
}

std::string WideToUtf8(const std::u16string& text)
{
    return WideToNarrow(CP_UTF8, text);
}

char32_t CodePointFromUtf16(const std::u16string& text)
{
    if (text.empty())
        return 0;
    const char16_t first = text[0];
    if (first >= 0xD800 && first <= 0xDBFF) {
        if (text.size() < 2 || text[1] < 0xDC00 || text[1] > 0xDFFF)
            return 0;
        return ((static_cast<char32_t>(first - 0xD800) << 10) | static_cast<char32_t>(text[1] - 0xDC00)) +
               0x10000;
    }
    return first;
}

bool IsWindowsVersionOrGreater(WORD major, WORD minor)
{
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.wServicePackMajor = 0;
    ULONGLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) !=
           FALSE;
}
