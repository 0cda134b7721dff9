#pragma once
// Game states for the presence tests: a full-size state with setters for what the rules read,
// a seeded generator of plausible states, and a guard that makes a state the document's current
// one for the length of a test.

#include <cstdint>
#include <memory>
#include <random>

#include "game/presence/CPresence.h"
#include "script/FlagBuffer.h"

inline constexpr size_t STATE_FLAG_COUNT = 8192;
inline constexpr size_t STATE_WORD_COUNT = 448;
inline constexpr size_t STATE_VALUE_COUNT = 56;
inline constexpr size_t STATE_VARIABLE_COUNT = 81;

class GameStateBuilder
{
public:
    // Every array at its full size, all zero.
    GameStateBuilder();

    GameStateBuilder& Date(int32_t date);
    GameStateBuilder& Time(int32_t time);
    GameStateBuilder& Weekday(int32_t weekday);
    GameStateBuilder& SpMode(int32_t mode);
    GameStateBuilder& F(size_t index, uint8_t value);
    GameStateBuilder& W(size_t index, uint16_t value);
    GameStateBuilder& Val(size_t index, int32_t value);

    const FlagBuffer& State() const { return m_state; }
    FlagBuffer& State() { return m_state; }

private:
    FlagBuffer m_state;
};

// Flag bytes mostly 0..3 with some 15s, dates 1221..1231 and 1301..1307, times 0000..2359, the
// stored dates and times of the Words and Values in the same ranges.
FlagBuffer GenerateState(uint32_t seed);
int32_t RandomScenarioDate(std::mt19937& random);
int32_t RandomTime(std::mt19937& random);

// A question's clock set by hand on a state, without a walk.
CPresence PresenceAt(const FlagBuffer& state, int32_t date, int32_t time, int32_t weekday = 0);

// Installs a copy of the state as the document's current game state; puts the old one back.
class CurrentStateScope
{
public:
    explicit CurrentStateScope(const FlagBuffer& state);
    ~CurrentStateScope();
    CurrentStateScope(const CurrentStateScope&) = delete;
    CurrentStateScope& operator=(const CurrentStateScope&) = delete;

    // Replaces the installed copy.
    void Set(const FlagBuffer& state);
    FlagBuffer& Current();

private:
    std::unique_ptr<FlagBuffer> m_saved;
};
