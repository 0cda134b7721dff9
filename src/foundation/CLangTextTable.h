#pragma once
// The texts of one language table in the four interface languages, addressed by id: the files
// base + "_en.map", "_cn.map", "_tw.map" and ".map" from the data archive. The game work registry
// holds the system table; CLangTextFile holds the script's. Main thread only.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "foundation/CStringUTF8.h"

inline constexpr int LANGUAGE_COUNT = 4; // 0 English, 1 simplified Chinese, 2 traditional Chinese, 3 Japanese

class CLangTextTable
{
public:
    // Reads all four files; a missing one ends the load with the archive's "ファイルオープンエラー" text.
    void Load(CStringUTF8 base_name);
    // Takes the bytes of a ".map" file as the language's table; a text starts at its byte offset
    // whatever its alignment. A pair whose text does not lie wholly inside the file is left out, and a count the file cannot hold gives no texts at all;
    // of two pairs with one id the first counts.
    void AddEntries(std::span<const uint8_t> file, int language);
    // The text in UTF-8; language -1 is the current one. Empty for an id without a text.
    CStringUTF8 GetText(int id, int language = -1) const;
    // The text in the current language, ended by a 0 unit; an empty text for an id without one.
    const char16_t* GetTextPtr(int id) const;

private:
    const char16_t* FindText(int id, int language) const;

    // Each file's bytes as UTF-16 units read from byte 0 and from byte 1.
    std::array<std::array<std::vector<char16_t>, 2>, LANGUAGE_COUNT> m_units;
    std::array<std::map<int, int>, LANGUAGE_COUNT> m_entries; // id -> byte offset of its text
};

// The whole content of a file of the document's data archive.
std::vector<uint8_t> LoadMapFile(CStringUTF8 name);

// The document's language, 0 while there is no document.
int GetCurrentLanguage();
