#pragma once
// One heroine event as the flag screens show it: its date and time window, scene and place, an
// advice note, whether it was seen, can still happen or is missed, and the train fare of the trip
// to it. Plain value, copied into the lists the hint builders return.

#include <cstdint>

#include "foundation/CStringUTF8.h"

enum HintStatus : uint32_t
{
    HINT_POSSIBLE = 0,
    HINT_SEEN = 1,
    HINT_MISSED = 2,
};

// The Code of an event that carries none.
inline constexpr uint32_t HINT_CODE_NONE = 0xFFFF'FFFFu;
// The day after the last day of play: the shown date of an undated event.
inline constexpr int32_t HINT_DATE_AFTER_END = 1307;
inline constexpr int32_t HINT_LAST_DAY = 1306;

struct FlagHintRecord
{
    int32_t FirstDate = 0;     // MMDD, January as month 13; 0: no fixed day
    int32_t LastDate = -1;     // -1: the single day FirstDate
    int32_t EarliestTime = -1; // HHMM
    int32_t LatestTime = -1;   // -1: the event takes place at EarliestTime
    CStringUTF8 SceneFile;
    CStringUTF8 PlaceName;
    CStringUTF8 Note;
    uint32_t IsNext = 0;
    uint32_t Status = HINT_POSSIBLE;
    uint32_t District = 0;
    uint32_t Location = 0; // 15: the district itself
    uint32_t Fare = 0;     // in units of 100 money
    uint32_t Code = 0;

    // The state a builder starts each event from.
    void Reset(uint32_t code)
    {
        *this = FlagHintRecord();
        Code = code;
    }
};
