#pragma once
// The names the hero may not take: the story's characters and their relatives, in kanji and in
// kana, group by group. Matched whole and exactly.

#include <array>
#include <string_view>
#include <vector>

inline constexpr size_t RESERVED_NAME_GROUPS = 8;

// UTF-8 entries of each group, in list order.
const std::array<std::vector<std::string_view>, RESERVED_NAME_GROUPS>& ReservedNameGroups();
