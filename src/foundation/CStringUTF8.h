#pragma once
// The engine's one text type: UTF-8 bytes, with a UTF-16 copy for wide calls. Characters are
// whole UTF-8 sequences; widths are in half-width units after the East Asian Width property
// (wide, full-width and ambiguous characters count 2). Ordered byte-wise, so it keys the XML
// path map and the archive entry map.

#include <string>

#include "foundation/CStringBase.h"

class CStringUTF8 : public CStringBase
{
public:
    CStringUTF8();
    CStringUTF8(const char* text);
    CStringUTF8(const char16_t* text);
    CStringUTF8(char byte);
    CStringUTF8(std::string text);
    CStringUTF8(const std::u16string& text);
    CStringUTF8(const CStringBase& other);
    CStringUTF8(const CStringUTF8& other);
    CStringUTF8(CStringUTF8&& other) noexcept;

    CStringUTF8& operator=(const CStringUTF8& other);
    CStringUTF8& operator=(CStringUTF8&& other) noexcept;
    CStringUTF8& operator=(const char* text);
    CStringUTF8& operator=(std::string text);
    CStringUTF8& AssignFrom(const CStringBase& other);

    CStringUTF8 operator+(const char* text) const;
    CStringUTF8 operator+(const CStringBase& other) const;
    // Byte-wise as unsigned bytes, a shorter prefix first.
    bool operator<(const CStringUTF8& other) const;
    // Compare the texts; without these a comparison with a literal would compare pointers
    // through the conversion to const char*.
    bool operator==(const CStringUTF8& other) const;
    bool operator==(const char* text) const;
    bool operator==(const std::string& text) const;

    int GetCharSize(char lead) const override;
    int IsFullWidth(const std::string& character) const override;
    std::u16string ToWide() const override;
    std::string ToAnsi() const override;
    std::u16string GetUtf8Wide() const override;
    std::string FromWide(const std::u16string& wide) const override;

    [[gnu::format(printf, 2, 3)]] CStringUTF8 Format(const char* format, ...);
    [[gnu::format(printf, 2, 3)]] CStringUTF8 AppendFormat(const char* format, ...);
    CStringUTF8 CharAt(int index) const;
    void DeleteChar(int index, int unused = 0);
    void SetCharAt(int index, int unused, const CStringUTF8& text);

    // The drive and folder of the path held, ending with its separator; empty without either.
    CStringUTF8 GetDirectory() const;
    // Appends one backslash when the path ends in a file name; returns the result.
    CStringUTF8 AddBackslash();
};

// IsFullWidth of the first character.
int IsFullWidthChar(CStringUTF8 text);
