#pragma once
// The choice snapshots: at every choice point the script engine records the game state, the
// document's value table with the script stack, and the choice's script position. A snapshot
// whose game-state arrays equal those of an earlier one links to it instead of copying them, so
// a long play keeps one copy per distinct state. Records are only appended or all removed
// together, so a link target outlives every record that points at it. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "script/ScriptValue.h"
#include "script/ScriptValueTable.h"

class ScriptState;
class FlagBuffer;

class SelectBuffer
{
public:
    // The five shared fields, read from the record at the end of the link chain.
    const CStringUTF8& GetName() const { return Owner().Name; }
    const std::vector<uint8_t>& GetFlags() const { return Owner().Flags; }
    const std::vector<uint16_t>& GetWords() const { return Owner().Words; }
    const std::vector<ScriptValue>& GetValues() const { return Owner().Values; }
    const std::vector<ScriptValue>& GetVariables() const { return Owner().Variables; }

    ScriptValueTable Table;
    CStringUTF8 Name;
    std::vector<uint8_t> Flags;
    std::vector<uint16_t> Words;
    std::vector<ScriptValue> Values;
    std::vector<ScriptValue> Variables;
    ScriptValue ChoicePosition;
    const SelectBuffer* Shared = nullptr; // not owned

private:
    const SelectBuffer& Owner() const;
};

struct SelectManager
{
    std::vector<std::unique_ptr<SelectBuffer>> Buffers; // oldest first
    int32_t Current = -1;
};

// Appends a snapshot of the state and a copy of the table with the document's script stack;
// links to the newest equal snapshot at or before Current. Throws CExecException "Failed to
// create the Select Buffer" when the record cannot be made.
void PushSelectBuffer(SelectManager& list, const FlagBuffer& state, const ScriptValueTable& table,
                      ScriptState& script);
// The record at the index when its data equals the state (ChoicePosition and Bytes aside), else
// null; null for an index outside the list.
const SelectBuffer* FindSameSelectBuffer(const SelectManager& list, int32_t index, const FlagBuffer& state);
// Frees every record; Current stays.
void ClearSelectBuffers(SelectManager& list);
