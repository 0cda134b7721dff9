#pragma once
// The name entry's kanji palette: 186 rows of 18 cells (U+3000 a blank cell), each reading group
// starting a row of its own.

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr size_t KANJI_ROW_COUNT = 186;
inline constexpr size_t KANJI_GROUP_COUNT = 44;

struct KanjiGroup
{
    int32_t first_row;
    std::string_view reading; // the kana label of the group
};

// UTF-8, 18 characters each.
extern const std::array<std::string_view, KANJI_ROW_COUNT> KANJI_ROWS;
extern const std::array<KanjiGroup, KANJI_GROUP_COUNT> KANJI_GROUPS;
