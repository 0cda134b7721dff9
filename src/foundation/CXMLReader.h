#pragma once
// The parse cursor over a decoded settings document: the whole text as UTF-8, a line counter and
// a position counted in characters (whole UTF-8 sequences). Every operation hands characters out
// as one-character strings; at or past the end they are empty. Used by one Load at a time.

#include <cstdint>
#include <string_view>
#include <vector>

#include "foundation/CStringUTF8.h"

class CXMLReader
{
public:
    explicit CXMLReader(CStringUTF8 text);

    // The character at the position; advance 0 looks, 1 takes it, 2 to 4 skip a sequence already
    // seen. Only that one character counts for the line.
    CStringUTF8 ReadChar(uint32_t advance);
    // The character offset characters ahead, tabs from there on skipped; the position stays.
    CStringUTF8 PeekChar(uint32_t offset) const;
    // ASCII letters, digits, "." and "_" from the position on; may be empty.
    CStringUTF8 ReadWord();
    // Appends a value quoted by the character at the position. A missing closing quote ends the
    // value at the line feed or the end of the text.
    void ReadQuoted(CStringUTF8& out);
    void SkipSpaces();
    uint32_t GetLine() const { return m_line; }

    uint32_t GetPosition() const { return m_position; }
    bool IsAtEnd() const { return m_position >= CharCount(); }

private:
    uint32_t CharCount() const { return static_cast<uint32_t>(m_char_offsets.size() - 1); }
    // The bytes of one character; empty at or past the end.
    std::string_view CharAt(uint64_t index) const;

    CStringUTF8 m_text;
    uint32_t m_line = 1;
    uint32_t m_position = 0;
    // Byte offset of every character, then the byte length: the reader asks for characters by
    // index all the time, so they are found once instead of per call.
    std::vector<uint32_t> m_char_offsets;
};
