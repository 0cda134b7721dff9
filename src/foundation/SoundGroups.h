#pragma once
// The groups of the document's sound channel list: one per sound command group, each indexed by
// channel number.

#include <cstddef>

inline constexpr size_t SOUND_GROUP_MUSIC = 0;
inline constexpr size_t SOUND_GROUP_EFFECT = 1;
inline constexpr size_t SOUND_GROUP_HEFFECT = 2;
inline constexpr size_t SOUND_GROUP_VOICE = 3;
inline constexpr size_t SOUND_GROUP_COUNT = 4;
