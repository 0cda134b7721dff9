#pragma once
// The clock of one presence question: who is at a place of the town map, the second sub map or
// the school sub map once the walk there has taken its time. Each asker (the town map, the sub
// map) holds one; every dispatcher call refills it from the document's current game state, moves
// its copy of the clock on and runs the place's rule list. It never writes the game state.
// Main thread only.

#include <cstdint>

#include "game/presence/GameStateReader.h"
#include "game/presence/RuleRow.h"

class FlagBuffer;

// 0..25 a character (and its face cell), 26 the SP scenario's marker, -1 nobody.
using CharacterIndex = int32_t;

inline constexpr CharacterIndex PRESENCE_NOBODY = -1;
inline constexpr uint32_t TOWN_PLACE_COUNT = 31;
inline constexpr uint32_t SUBMAP_PLACE_COUNT = 13;
inline constexpr uint32_t SCHOOL_PLACE_COUNT = 7;
inline constexpr uint32_t TOWN_TRAVEL_MINUTES = 15;
inline constexpr uint32_t SUBMAP_TRAVEL_MINUTES = 15;

// The same addition as CPresence::AdvanceClock on two separate signed words, without a weekday.
// The time is stored first; the date only when a day carries.
void AdvanceTimeAndDate(int32_t* date, int32_t* time, uint32_t minutes);

class CPresence
{
public:
    // Virtual so the screens' tests can watch which places are asked, and when.
    virtual ~CPresence() = default;

    // Dispatchers: fill from the document's game state, add the travel time, ask the place.
    virtual CharacterIndex WhoIsAtTownPlace(uint32_t place);
    virtual CharacterIndex WhoIsAtSubmapPlace(uint32_t place);
    virtual CharacterIndex WhoIsAtSchoolPlace(uint32_t currentFloor, uint32_t place);

    // The school's place 6, also asked by the town map's icons after advancing the clock itself.
    virtual CharacterIndex WhoIsAtSchoolPlace6();
    // 1 or 20 by the SP scenario's bytes F[154] and F[156] and the date.
    CharacterIndex PickPairedCharacter();
    // Place rules on the filled clock; places without a rule answer -1.
    CharacterIndex TownPlaceRule(uint32_t place);
    CharacterIndex SubmapPlaceRule(uint32_t place);
    CharacterIndex SchoolPlaceRule(uint32_t place);

    // Copies the clock from a game state (nullptr reads as all zeros).
    void Fill(const FlagBuffer* state);
    void AdvanceClock(uint32_t minutes);
    // Runs one rule list on this clock: the first matching row answers, a list that runs out
    // answers -1.
    CharacterIndex RunRules(presence::RuleList rows);

    const FlagBuffer* State = nullptr; // not owned: the document's current game state
    uint16_t Time = 0;                 // HHMM
    uint16_t Date = 0;                 // MMDD, January as month 13
    uint16_t Weekday = 0;              // 0..6

private:
    bool Matches(const presence::RuleRow& row) const;
    bool TestDate(const presence::DateTest& test) const;
    bool TestTime(const presence::TimeTest& test) const;
    bool TestCondition(const presence::Condition& condition) const;
    bool TestPredicate(presence::Predicate predicate) const;
    presence::GameStateReader Reader() const { return presence::GameStateReader(State); }
};
