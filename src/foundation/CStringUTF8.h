#pragma once
// FIXME: stand-in until the string class lands; only the operations the script engine uses.

#include <cstdarg>
#include <cstdio>
#include <string>

class CStringUTF8
{
public:
    CStringUTF8() = default;
    CStringUTF8(const char* text) : m_text(text ? text : "") {}
    CStringUTF8(std::string text) : m_text(std::move(text)) {}

    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    const char* GetText() const { return m_text.c_str(); }
    const char* CStr() const { return m_text.c_str(); }
    std::string GetStdString() const { return m_text; }
    void Append(const char* text) { m_text += text; }
    void Append(std::string text) { m_text += text; }
    void Append(char byte) { m_text += byte; }
    bool IsEqual(std::string text) const { return m_text == text; }
    bool IsNotEqual(std::string text) const { return m_text != text; }
    operator const char*() const { return m_text.c_str(); }
    CStringUTF8 operator+(const char* text) const { return CStringUTF8(m_text + text); }
    CStringUTF8 Format(const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        char buffer[4096];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        m_text = buffer;
        return *this;
    }

private:
    std::string m_text;
};
