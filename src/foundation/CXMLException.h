#pragma once
// A parse failure of a settings document: the message and the line where the reader stood.
// Thrown by value by the parse steps and caught by CXMLDocument::Load only.

#include <cstdint>
#include <utility>

#include "foundation/CStringUTF8.h"

class CXMLException
{
public:
    CXMLException(CStringUTF8 message, uint32_t line)
        : m_message(std::move(message))
        , m_line(line)
    {}
    CXMLException(const CXMLException& other) = default;

    const CStringUTF8& GetMessage() const { return m_message; }
    uint32_t GetLine() const { return m_line; }

private:
    CStringUTF8 m_message;
    uint32_t m_line;
};
