#pragma once
// The entries of the game state's Values with a fixed meaning, by index: what code below the
// script reads of the current game state through DocumentLink::GetGameValue.

#include <cstddef>

inline constexpr size_t VALUE_WEEKDAY = 4;
inline constexpr size_t VALUE_GAME_DATE = 7;
inline constexpr size_t VALUE_MONEY = 12;
inline constexpr size_t VALUE_GAME_TIME = 19;
inline constexpr size_t VALUE_RESUME_POSITION = 52;
inline constexpr size_t VALUE_TEXT_SPRITE = 53;
inline constexpr size_t VALUE_CHOICE_POSITION = 54;
inline constexpr size_t VALUE_ENGINE_STATE = 55;
