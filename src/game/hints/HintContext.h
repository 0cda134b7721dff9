#pragma once
// The working copy of the game state in which the hint builders run, with the simulated position,
// clock and money of the player, and the entry that builds one heroine's event list. Building
// never changes the play: every call copies the document's state afresh. Main thread only.

#include <cstdint>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "game/hints/FlagHintRecord.h"
#include "script/FlagBuffer.h"

class CastNames;
class CLangTextTable;

// The copy is grown, zero-filled, to every index the hint tables read or write, so a short or old
// state reads as zeros.
inline constexpr size_t HINT_FLAG_COUNT = 8066;
inline constexpr size_t HINT_WORD_COUNT = 1384;
inline constexpr size_t HINT_VARIABLE_COUNT = 391;
inline constexpr size_t HINT_HEROINE_COUNT = 15;

// Flags every builder reads: the hot-spring trip and following heroine 1's story.
inline constexpr size_t FLAG_HOT_SPRING_TRIP = 8007;
inline constexpr size_t FLAG_HEROINE1_STORY = 1299;

struct HintContext
{
    FlagBuffer State; // the game state image
    uint32_t District = 0;
    uint32_t Location = 0;
    uint16_t Time = 0;
    uint16_t Date = 0;
    uint16_t Money = 0;
    // Not owned; null: the game's own names (GetCastNames).
    const CastNames* Names = nullptr;
    // Not owned; null: the game work's system table. Gives the note of an unaffordable fare.
    const CLangTextTable* Texts = nullptr;

    // Copies the four arrays of the state, grows them, and takes position, clock and money.
    void Load(const FlagBuffer& state);
    // Back to the present moment of play: District, Location, Time and Date from the copy.
    void ReloadPosition();

    uint8_t Flag(size_t index) const { return State.Flags[index]; }
    void SetFlag(size_t index, uint8_t value) { State.Flags[index] = value; }
    bool IsFlagSet(size_t index) const { return State.Flags[index] != 0; }
    uint16_t Word(size_t index) const { return State.Words[index]; }
    const CastNames& GetNames() const;
};

// The list of heroine 0 to 14 from the document's current state; empty for other indexes.
std::vector<FlagHintRecord> BuildHeroineHints(HintContext& context, uint32_t heroine);

// The place text of seen slot v, stored in the ANSI code page, as UTF-8. Never throws: a byte
// that does not decode shows as U+FFFD.
CStringUTF8 PlaceNameOfRecord(const HintContext& context, size_t slot);

// Words[602 + 2v] and Words[603 + 2v]: the date and time a seen event was seen.
inline constexpr size_t SeenDateWord(size_t slot)
{
    return 602 + 2 * slot;
}
inline constexpr size_t SeenTimeWord(size_t slot)
{
    return 603 + 2 * slot;
}
