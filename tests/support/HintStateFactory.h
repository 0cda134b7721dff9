#pragma once
// Game states for the event hint tests: play at 1222 08:00 in district 1, location 8, with
// 10,000 money, and every seen-event slot v already holding a date and time no other slot has
// and a CP932 place text naming v, so any seen record tells which slot it came from.

#include <cstdint>
#include <string>

#include "script/FlagBuffer.h"

inline constexpr size_t HINT_STATE_SLOTS = 391;

FlagBuffer MakeHintState();
int32_t SeededDate(size_t slot);
int32_t SeededTime(size_t slot);
// The place text of the slot as the hints show it (UTF-8).
std::string SeededPlace(size_t slot);
// Sets the position, clock and money of a state.
void SetHintMoment(FlagBuffer& state, int32_t date, int32_t time, uint8_t district, uint8_t location);
