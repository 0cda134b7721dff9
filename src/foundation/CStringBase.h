#pragma once
// The storage and almost every operation of the engine's one text type. The text is kept as
// narrow bytes; a UTF-16 copy is made on demand for wide calls. Character offsets, the
// character count and the display width are computed lazily and cached until the next change.
// The concrete classes are CStringUTF8 and CString; the encoding rules are their virtual
// operations. No lock: an object is used by one thread at a time, because even const reads
// fill the caches.

#include <cstdarg>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/kernel/WinTypes.h"

class CStringBase
{
public:
    using CharOffsetMapType = std::map<int, int>;

    CStringBase& operator=(const CStringBase& other);
    CStringBase& operator=(CStringBase&& other) noexcept;
    ~CStringBase() = default; // not virtual: strings are never deleted through the base

    virtual void ClearCache();
    virtual std::string FormatV(const char* format, va_list args);
    virtual int LoadString(UINT id);
    virtual int FindFrom(const std::string& needle, int start) const;
    virtual void ReplaceChar(char from, char to);
    virtual void ReplaceAll(const std::string& from, const std::string& to);
    virtual void Replace(int position, int count, const std::string& text);
    virtual void MakeUpper();
    virtual void MakeLower();
    virtual void TruncateToWidth(int width);
    virtual int GetCharOffset(int index) const;
    virtual int GetCharSize(char lead) const;
    virtual int IsFullWidth(const std::string& character) const;
    virtual bool IsEmpty() const;
    virtual std::string GetStdString() const;
    virtual void Empty();
    virtual void Delete(int position, int count);
    virtual const char* CStr() const;
    virtual char GetAt(int index) const;
    virtual int GetCharCount() const;
    virtual int GetWidth() const;
    virtual int GetLength() const;
    virtual int Find(const std::string& needle) const;
    virtual int Find(const char* needle) const;
    virtual int Find(char needle) const;
    virtual int ReverseFind(const std::string& needle) const;
    virtual int ReverseFind(const char* needle) const;
    virtual int ReverseFind(char needle) const;
    virtual int ToInt() const;
    virtual int ToLong() const;
    virtual float ToFloat() const;
    virtual const char* GetText() const;
    virtual const char16_t* GetWideText() const;
    virtual operator const char*() const;
    virtual operator const char16_t*() const;
    virtual std::string GetCharAt(int index) const;
    virtual void Assign(const std::string& text);
    virtual void Assign(const char* text);
    virtual void Assign(const char8_t* text);
    virtual void Assign(char byte);
    virtual void Append(const std::string& text);
    virtual void Append(const char* text);
    virtual void Append(const char8_t* text);
    virtual void Append(char byte);
    virtual bool IsEqual(const std::string& text) const;
    virtual bool IsEqual(const char* text) const;
    virtual bool IsEqual(const char8_t* text) const;
    virtual bool IsNotEqual(const std::string& text) const;
    virtual bool IsNotEqual(const char* text) const;
    virtual bool IsNotEqual(const char8_t* text) const;
    virtual std::string Concat(const std::string& text) const;
    virtual std::string Concat(const char* text) const;
    virtual std::string Concat(const char8_t* text) const;
    virtual std::string Concat(char byte) const;
    virtual std::u16string ToWide() const;
    virtual std::string ToAnsi() const;
    virtual std::string GetNarrow() const;
    virtual std::u16string GetUtf8Wide() const;
    virtual std::string FromWide(const std::u16string& wide) const;
    virtual void OnChanged();
    virtual std::string ExtractChar(int index) const;
    virtual std::pair<int, int> GetCharMetrics() const;

protected:
    CStringBase();
    CStringBase(const CStringBase& other);
    CStringBase(CStringBase&& other) noexcept;

    // Ends every change: the caches no longer describe the text.
    void Changed();
    // The offset map, made again for an object whose map was moved away.
    CharOffsetMapType& OffsetMap() const;
    // Byte length of the character at a byte offset, never reaching past the end of the text,
    // even when its lead byte announces more bytes than remain.
    size_t CharSizeAt(size_t offset) const;

    std::string m_text;            // the narrow text
    mutable std::u16string m_wide; // refreshed only by GetWideText
    // character index -> byte offset; built on first use, emptied on every change
    mutable std::unique_ptr<CharOffsetMapType> CharOffsetMap;
    mutable int m_char_count = -1; // -1: not yet computed
    mutable int m_width = -1;      // in half-width units; -1: not yet computed

private:
    void BuildCharOffsetMap() const;
};

// Conversions between the narrow code pages and UTF-16. Each stops at the first NUL of its
// input and throws std::system_error with the Win32 error when the conversion fails. Invalid
// UTF-8 converts, each bad sequence becoming U+FFFD.
std::u16string AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::u16string& text);
std::u16string Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::u16string& text);
// ANSI to UTF-16 that never throws: each byte or byte pair that does not decode becomes one
// U+FFFD, so a damaged text stays readable and its damage stays visible.
std::u16string AnsiToWideLenient(const std::string& text);

// The code point of the first character: a surrogate pair is combined, a high surrogate
// without its partner and an empty text give 0, anything else is the unit itself.
char32_t CodePointFromUtf16(const std::u16string& text);

// True when the running Windows is at least major.minor.
bool IsWindowsVersionOrGreater(WORD major, WORD minor);
