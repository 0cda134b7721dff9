#include "foundation/CStringUTF8.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <utility>

#include "foundation/EastAsianWidthTable.h"
#include "platform/kernel/FileApi.h"

namespace {

constexpr size_t DIRECTORY_PART_SIZE = 260;
constexpr size_t SPLIT_PART_SIZE = 261;

} // namespace

CStringUTF8::CStringUTF8() = default;

// A null text is taken as an empty one rather than read.
CStringUTF8::CStringUTF8(const char* text)
{
    if (text != nullptr)
        m_text = text;
}

CStringUTF8::CStringUTF8(const char16_t* text)
{
    if (text != nullptr)
        m_text = WideToUtf8(text);
}

CStringUTF8::CStringUTF8(char byte)
{
    m_text.assign(1, byte);
}

CStringUTF8::CStringUTF8(std::string text)
{
    m_text = std::move(text);
}

CStringUTF8::CStringUTF8(const std::u16string& text)
{
    m_text = WideToUtf8(text);
}

CStringUTF8::CStringUTF8(const CStringBase& other)
{
    *this = CStringUTF8(other.GetText());
}

CStringUTF8::CStringUTF8(const CStringUTF8& other)
    : CStringBase(other)
{}

CStringUTF8::CStringUTF8(CStringUTF8&& other) noexcept
    : CStringBase(std::move(other))
{}

CStringUTF8& CStringUTF8::operator=(const CStringUTF8& other)
{
    CStringBase::operator=(other);
    return *this;
}

CStringUTF8& CStringUTF8::operator=(CStringUTF8&& other) noexcept
{
    CStringBase::operator=(std::move(other));
    return *this;
}

CStringUTF8& CStringUTF8::operator=(const char* text)
{
    return *this = CStringUTF8(text);
}

CStringUTF8& CStringUTF8::operator=(std::string text)
{
    return *this = CStringUTF8(std::move(text));
}

CStringUTF8& CStringUTF8::AssignFrom(const CStringBase& other)
{
    return *this = CStringUTF8(other.GetText());
}

CStringUTF8 CStringUTF8::operator+(const char* text) const
{
    CStringUTF8 result(*this);
    result.Append(text);
    return result;
}

CStringUTF8 CStringUTF8::operator+(const CStringBase& other) const
{
    CStringUTF8 result(*this);
    result.Append(other.GetStdString());
    return result;
}

bool CStringUTF8::operator<(const CStringUTF8& other) const
{
    // std::string compares through char_traits<char>, which orders as unsigned char.
    return m_text < other.m_text;
}

bool CStringUTF8::operator==(const CStringUTF8& other) const
{
    return m_text == other.m_text;
}

bool CStringUTF8::operator==(const char* text) const
{
    return m_text == text;
}

bool CStringUTF8::operator==(const std::string& text) const
{
    return m_text == text;
}

int CStringUTF8::GetCharSize(char lead) const
{
    const auto byte = static_cast<unsigned char>(lead);
    if (byte >= 0xF0)
        return 4;
    if (byte >= 0xE0)
        return 3;
    if (byte >= 0xC2)
        return 2;
    return 1;
}

int CStringUTF8::IsFullWidth(const std::string& character) const
{
    char32_t code_point;
    if (!character.empty() && static_cast<unsigned char>(character[0]) < 0x80)
        code_point = static_cast<unsigned char>(character[0]);
    else
        code_point = CodePointFromUtf16(Utf8ToWide(character));
    EastAsianWidthClass width_class;
    if (!FindEastAsianWidth(code_point, width_class))
        return 1;
    switch (width_class) {
    case EastAsianWidthClass::Fullwidth:
    case EastAsianWidthClass::Wide:
    case EastAsianWidthClass::Ambiguous:
        return 1;
    case EastAsianWidthClass::Halfwidth:
    case EastAsianWidthClass::Narrow:
    case EastAsianWidthClass::Neutral:
        return 0;
    }
    return 1;
}

std::u16string CStringUTF8::ToWide() const
{
    return Utf8ToWide(m_text);
}

std::string CStringUTF8::ToAnsi() const
{
    return WideToAnsi(Utf8ToWide(m_text));
}

std::u16string CStringUTF8::GetUtf8Wide() const
{
    return ToWide();
}

std::string CStringUTF8::FromWide(const std::u16string& wide) const
{
    return WideToUtf8(wide);
}

namespace {

// Ends a variable argument list however the formatting leaves the function.
class VaListEnd
{
public:
    explicit VaListEnd(va_list& args)
        : m_args(args)
    {}
    ~VaListEnd() { va_end(m_args); }
    VaListEnd(const VaListEnd&) = delete;
    VaListEnd& operator=(const VaListEnd&) = delete;

private:
    va_list& m_args;
};

} // namespace

CStringUTF8 CStringUTF8::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const VaListEnd end(args);
    Assign(FormatV(format, args));
    return *this;
}

CStringUTF8 CStringUTF8::AppendFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const VaListEnd end(args);
    Append(FormatV(format, args));
    return *this;
}

CStringUTF8 CStringUTF8::CharAt(int index) const
{
    return CStringUTF8(GetCharAt(index));
}

void CStringUTF8::DeleteChar(int index, int)
{
    const int offset = GetCharOffset(index);
    Delete(offset, static_cast<int>(CharSizeAt(static_cast<size_t>(offset))));
}

void CStringUTF8::SetCharAt(int index, int, const CStringUTF8& text)
{
    const int offset = GetCharOffset(index);
    Replace(offset, static_cast<int>(CharSizeAt(static_cast<size_t>(offset))), text.GetStdString());
}

CStringUTF8 CStringUTF8::GetDirectory() const
{
    const std::u16string path = ToWide();
    char16_t drive[DIRECTORY_PART_SIZE] = {};
    char16_t folder[DIRECTORY_PART_SIZE] = {};
    _wsplitpath_s(path.c_str(), drive, DIRECTORY_PART_SIZE, folder, DIRECTORY_PART_SIZE, nullptr, 0, nullptr,
                  0);
    return CStringUTF8(std::u16string(drive) + folder);
}

CStringUTF8 CStringUTF8::AddBackslash()
{
    const std::u16string path = ToWide();
    char16_t drive[SPLIT_PART_SIZE] = {};
    char16_t folder[SPLIT_PART_SIZE] = {};
    char16_t name[SPLIT_PART_SIZE] = {};
    char16_t extension[SPLIT_PART_SIZE] = {};
    _wsplitpath_s(path.c_str(), drive, SPLIT_PART_SIZE, folder, SPLIT_PART_SIZE, name, SPLIT_PART_SIZE,
                  extension, SPLIT_PART_SIZE);
    if (name[0] != 0)
        Append('\\');
    return *this;
}

int IsFullWidthChar(CStringUTF8 text)
{
    return text.IsFullWidth(text.GetCharAt(0));
}
