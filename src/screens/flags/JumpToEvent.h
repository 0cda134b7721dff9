#pragma once
// Moves the play into a heroine's event: the scene is loaded first, then the date, weekday, time,
// money and place are set to the event's, its flags raised, the voice stopped and the scene made
// the only script; every open screen then unwinds to the document by the return code 4.

#include "game/hints/FlagHintRecord.h"

// Flags the jump raises: another day was entered, an event was jumped to, and its trip was made.
inline constexpr size_t FLAG_JUMP_NEW_DAY = 8000;
inline constexpr size_t FLAG_JUMP_TAKEN = 8001;
inline constexpr size_t FLAG_JUMP_TRIP = 8008;
inline constexpr uint32_t ENGINE_STATE_JUMPED = 0x80;

// Throws GameDocument::DOCUMENT_RETURN_TO_TITLE after the jump. Returns only when the scene cannot be
// loaded: the failure is shown as the script engine words it and nothing has changed.
void JumpToEvent(const FlagHintRecord& record);
