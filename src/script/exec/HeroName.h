#pragma once
// The hero's name in the game state: its default for each language and where it is stored.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/CStringUTF8.h"

// The hero's default given name for a language index (3 Japanese, 0 romanised, 1 and 2 kanji);
// any other index gives the Japanese one.
CStringUTF8 GetDefaultHeroName(int32_t language);

// Where the hero's name starts in the game state's bytes.
inline constexpr size_t HERO_NAME_OFFSET = 31500;
// Writes the name and its 0 byte from HERO_NAME_OFFSET, growing a shorter array first.
void StoreHeroName(std::vector<uint8_t>& bytes, const CStringUTF8& name);
