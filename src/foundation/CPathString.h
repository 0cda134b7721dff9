#pragma once
// A path text with the list of its folder names. The XML document walks key paths such as
// "/Config/Language" with it; start-up, save and archive code keep their file paths in it.

#include <vector>

#include "foundation/CStringUTF8.h"

class CPathString : public CStringUTF8
{
public:
    CPathString() = default;
    CPathString(CStringUTF8 text);
    CPathString(const char16_t* text);
    CPathString(const char* text);

    // Fills the component list with the non-empty names between "/" or "\" separators of the
    // folder part; a name behind the last separator is not a component (AddBackslash first to
    // make it one).
    void Split();
    const std::vector<CStringUTF8>& GetComponents() const { return m_components; }

private:
    std::vector<CStringUTF8> m_components; // empty until Split
};
