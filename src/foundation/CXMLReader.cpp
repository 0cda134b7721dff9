#include "foundation/CXMLReader.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

bool IsWordChar(std::string_view c)
{
    if (c.size() != 1)
        return false;
    const char ch = c[0];
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '.' ||
           ch == '_';
}

CStringUTF8 ToString(std::string_view c)
{
    return CStringUTF8(std::string(c));
}

} // namespace

CXMLReader::CXMLReader(CStringUTF8 text)
    : m_text(std::move(text))
{
    const char* bytes = m_text.GetText();
    const uint32_t length = static_cast<uint32_t>(m_text.GetLength());
    uint32_t offset = 0;
    while (offset < length) {
        m_char_offsets.push_back(offset);
        const int size = m_text.GetCharSize(bytes[offset]);
        offset += static_cast<uint32_t>(std::max(size, 1));
    }
    m_char_offsets.push_back(std::min(offset, length));
}

std::string_view CXMLReader::CharAt(uint64_t index) const
{
    if (index >= CharCount())
        return {};
    const uint32_t begin = m_char_offsets[index];
    const uint32_t end = std::min(m_char_offsets[index + 1], static_cast<uint32_t>(m_text.GetLength()));
    return std::string_view(m_text.GetText() + begin, end - begin);
}

CStringUTF8 CXMLReader::ReadChar(uint32_t advance)
{
    if (IsAtEnd())
        return CStringUTF8();
    const std::string_view c = CharAt(m_position);
    if (advance != 0 && c == "\n")
        ++m_line;
    m_position += advance;
    return ToString(c);
}

CStringUTF8 CXMLReader::PeekChar(uint32_t offset) const
{
    if (IsAtEnd())
        return CStringUTF8();
    uint64_t index = static_cast<uint64_t>(m_position) + offset;
    while (CharAt(index) == "\t")
        ++index;
    return ToString(CharAt(index));
}

CStringUTF8 CXMLReader::ReadWord()
{
    std::string word;
    while (IsWordChar(CharAt(m_position))) {
        word += CharAt(m_position);
        ++m_position;
    }
    return CStringUTF8(word);
}

void CXMLReader::SkipSpaces()
{
    for (std::string_view c = CharAt(m_position); c == " " || c == "\t"; c = CharAt(m_position))
        ++m_position;
}

void CXMLReader::ReadQuoted(CStringUTF8& out)
{
    const CStringUTF8 quote = ReadChar(0);
    ReadChar(1);
    for (;;) {
        const CStringUTF8 c = ReadChar(0);
        if (c.IsEmpty() || c.IsEqual("\n"))
            return;
        if (c.IsEqual(quote.GetStdString())) {
            ReadChar(1);
            return;
        }
        out.Append(ReadChar(1).GetStdString());
    }
}
