#pragma once
// Whether the player can still reach an event: the game calendar's clock arithmetic, the trip
// over the town's districts with its fixed travel times, day ends, first trains and opening
// hours, the fare test, and the stable sorts the builders apply to blocks of events. Everything
// works on a HintContext and changes only it and the record it is given.

#include <cstdint>
#include <vector>

#include "game/hints/FlagHintRecord.h"

struct HintContext;

// The language text shown when the player cannot pay the fare.
inline constexpr int HINT_TEXT_NO_FARE = 306;

// The day after an MMDD date; 1231 (and anything up to 1299) is followed by 1301.
int32_t NextHintDate(int32_t date);
void AdvanceClock(HintContext& context, int32_t minutes);
void AdvanceClockOf(int32_t& date, int32_t& time, int32_t minutes);
// 0 for 1222, 1231 gives 2, 1301 gives 3; always 0 to 6.
int32_t DayOfWeek(int32_t date);

// Moves the context to the district and location; 1 when the trip ends after the last day.
uint32_t SimulateTravel(HintContext& context, uint32_t district, uint32_t location);
void SimulateLocationMove(HintContext& context, uint32_t location);
// 1 when the unseen event is missed, 0 when it can still be reached; moves its shown window to
// the first moment the player could be there and sets its fare.
uint32_t CheckEventWindow(HintContext& context, FlagHintRecord& record);

// Seen records first, then by FirstDate (and EarliestTime for the second), stable; appended to
// out. Answer the number appended.
uint32_t SortHintsByDate(std::vector<FlagHintRecord>& list, std::vector<FlagHintRecord>& out);
uint32_t SortHintsByDateTime(std::vector<FlagHintRecord>& list, std::vector<FlagHintRecord>& out);
