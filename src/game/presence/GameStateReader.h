#pragma once
// Bounds-checked reads of a game state for the presence rules. A state that holds fewer entries
// than the rules look at (a truncated save, an empty buffer, none at all) answers 0 for every
// entry it lacks, so a question never reads past its arrays. Read only; main thread.

#include <cstdint>

#include "script/FlagBuffer.h"

namespace presence {

class GameStateReader
{
public:
    explicit GameStateReader(const FlagBuffer* state)
        : m_state(state)
    {}

    uint8_t Flag(size_t index) const
    {
        return m_state != nullptr && index < m_state->Flags.size() ? m_state->Flags[index] : 0;
    }
    uint16_t Word(size_t index) const
    {
        return m_state != nullptr && index < m_state->Words.size() ? m_state->Words[index] : 0;
    }
    int32_t Value(size_t index) const
    {
        return m_state != nullptr && index < m_state->Values.size() ? m_state->Values[index].Integer : 0;
    }
    int32_t Variable(size_t index) const
    {
        return m_state != nullptr && index < m_state->Variables.size() ? m_state->Variables[index].Integer
                                                                       : 0;
    }

private:
    const FlagBuffer* m_state; // not owned: the document's current state or a caller's copy
};

} // namespace presence
