#pragma once
// What the family tables say of each place: which characters its list can answer, the range of
// flag bytes it reads, the other game-state entries it reads, and, for the town places, the
// closing byte with its character and the SP gate byte. The invariant tests hold every list to
// these facts; places are added here as their lists are written.

#include <cstdint>
#include <utility>
#include <vector>

#include "game/presence/CPresence.h"

enum class PresenceMap
{
    Town,
    Submap,
    School,
};

struct PlaceFacts
{
    PlaceFacts(PresenceMap map, uint32_t place, std::vector<CharacterIndex> characters, uint16_t first_byte,
               uint16_t last_byte)
        : Map(map)
        , Place(place)
        , Characters(std::move(characters))
        , FirstByte(first_byte)
        , LastByte(last_byte)
    {}
    PlaceFacts& ReadsSp()
    {
        Sp = true;
        return *this;
    }
    PlaceFacts& ReadsWeekday()
    {
        Weekday = true;
        return *this;
    }
    PlaceFacts& ReadsWords(std::vector<uint16_t> words)
    {
        Words = std::move(words);
        return *this;
    }
    PlaceFacts& ReadsValues(std::vector<uint16_t> values)
    {
        Values = std::move(values);
        return *this;
    }
    // Town places with an SP list of their own: the SP list's answers (paired counts as 1 and 20), the bytes
    // it reads besides F[128..171] and the gate, the closing rules' byte and character, the gate byte.
    PlaceFacts& SpList(std::vector<CharacterIndex> characters, std::vector<uint16_t> extra_bytes = {})
    {
        SpCharacters = std::move(characters);
        SpExtraBytes = std::move(extra_bytes);
        Sp = true;
        return *this;
    }
    PlaceFacts& Closes(int32_t byte, CharacterIndex character)
    {
        ClosingByte = byte;
        ClosingCharacter = character;
        return *this;
    }
    PlaceFacts& Gated(int32_t byte)
    {
        Gate = byte;
        return *this;
    }

    PresenceMap Map;
    uint32_t Place;
    std::vector<CharacterIndex> Characters; // besides -1
    uint16_t FirstByte;                     // flag bytes read lie in FirstByte..LastByte
    uint16_t LastByte;
    bool Weekday = false;                     // reads the weekday
    bool Sp = false;                          // reads SpMode
    std::vector<uint16_t> Words;              // may read; a list without the rows on one reads fewer
    std::vector<uint16_t> Values;             // besides the clock's; as Words
    std::vector<CharacterIndex> SpCharacters; // empty: no SP list of its own
    std::vector<uint16_t> SpExtraBytes;
    int32_t ClosingByte = -1;
    CharacterIndex ClosingCharacter = -1;
    int32_t Gate = -1;
};

const std::vector<PlaceFacts>& AllPlaceFacts();

// The place's list as its dispatcher runs it, in the SP scenario or not.
presence::RuleList RulesOf(PresenceMap map, uint32_t place, bool sp = false);
const char* MapName(PresenceMap map);
