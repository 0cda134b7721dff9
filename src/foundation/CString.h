#pragma once
// CStringUTF8 under the name that archive and file code throw as an exception value; the same
// object with the same operations.

#include <string>

#include "foundation/CStringUTF8.h"

class CString : public CStringUTF8
{
public:
    CString() = default;
    CString(const CString& other) = default;
    CString(CString&& other) noexcept = default;
    CString(const char* text)
        : CStringUTF8(text)
    {}
    CString(std::string text)
        : CStringUTF8(std::move(text))
    {}

    CString& operator=(const CString& other) = default;
    CString& operator=(CString&& other) noexcept = default;
};
