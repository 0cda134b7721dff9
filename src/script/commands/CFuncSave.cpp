#include "script/commands/CFuncSave.h"

#include <algorithm>

#include "foundation/GameDocument.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveStore.h"
#include "script/vm/ScriptContext.h"

namespace {

uint32_t KeyOf(int32_t group, int32_t index)
{
    return (static_cast<uint32_t>(group) & 0xFFFF) << 16 | (static_cast<uint32_t>(index) & 0xFFFF);
}

} // namespace

CFuncSave::CFuncSave()
    : m_table(Document != nullptr ? GetScriptState().SaveDataTable.get() : nullptr)
    , m_snapshot(Document != nullptr ? GetScriptState().SaveDataSnapshot.get() : nullptr)
{}

void CFuncSave::Call(CScript&)
{
    if (Context == nullptr)
        return;
    ScriptContext& context = *Context;
    const int32_t sub = context.PopInteger();
    switch (sub) {
    case 0:
        (void)SaveDataFile(static_cast<uint32_t>(context.PopInteger())); // reported by the save
        break;
    case 1:
        LoadDataFile(static_cast<uint32_t>(context.PopInteger()));
        break;
    case 2: {
        const int32_t start = context.PopInteger();
        const int32_t group = context.PopInteger();
        const int32_t index = context.PopInteger();
        context.PushInteger(CopyRecordToVariables(start, group, index));
        break;
    }
    case 3: {
        const int32_t start = context.PopInteger();
        const int32_t group = context.PopInteger();
        context.PushInteger(ListGroupIndexes(start, group));
        break;
    }
    case 4: {
        const int32_t start = context.PopInteger();
        const int32_t count = context.PopInteger();
        const int32_t group = context.PopInteger();
        const int32_t index = context.PopInteger();
        StoreVariablesAsRecord(start, count, group, index);
        break;
    }
    case 5: {
        const int32_t group = context.PopInteger();
        RemoveValueArray(group, context.PopInteger());
        break;
    }
    case 6: {
        const int32_t group = context.PopInteger();
        if (m_table != nullptr)
            m_table->RemoveGroup(static_cast<uint16_t>(group));
        break;
    }
    case 7:
        if (m_table != nullptr)
            m_table->Free();
        break;
    case 8:
        SaveScriptStack();
        break;
    case 9:
        if (Document != nullptr && m_table != nullptr)
            GetScriptState().RestoreScriptStack(*m_table);
        break;
    case 10:
        if (Document != nullptr)
            GetScriptState().RestoreTopScriptPosition();
        break;
    case 11:
        if (m_table != nullptr && m_snapshot != nullptr)
            m_snapshot->Assign(*m_table);
        break;
    default:
        break;
    }
}

bool CFuncSave::SaveDataFile(uint32_t slot)
{
    return m_snapshot != nullptr && SaveDataFile(slot, *m_snapshot);
}

bool CFuncSave::SaveDataFile(uint32_t slot, const ScriptValueTable& table)
{
    return SaveStore::WriteSaveData(slot, table);
}

bool CFuncSave::LoadDataFile(uint32_t slot)
{
    if (m_table == nullptr || m_snapshot == nullptr)
        return false;
    ScriptValueTable read;
    const SaveFileRead result = SaveStore::ReadSaveData(slot, read, MissingSaveData::Empty);
    // A damaged file leaves the running game's tables as they were.
    if (result == SaveFileRead::Damaged)
        return false;
    m_table->Assign(read);
    m_snapshot->Assign(read);
    return result == SaveFileRead::Loaded;
}

void CFuncSave::SetDataTable(const ScriptValueTable& table)
{
    if (m_table != nullptr)
        m_table->Assign(table);
}

void CFuncSave::SaveScriptStack()
{
    if (Document != nullptr && m_snapshot != nullptr)
        GetScriptState().SaveScriptStack(*m_snapshot);
}

void CFuncSave::RemoveValueArray(int32_t group, int32_t index)
{
    if (m_table != nullptr)
        m_table->Remove(static_cast<uint16_t>(group), static_cast<uint16_t>(index));
}

int32_t CFuncSave::CopyRecordToVariables(int32_t start, int32_t group, int32_t index)
{
    const ScriptValueArray* record = m_table != nullptr ? m_table->Find(KeyOf(group, index)) : nullptr;
    if (record == nullptr)
        return 0;
    if (CurrentState != nullptr) {
        std::vector<ScriptValue>& variables = CurrentState->Variables;
        for (size_t i = 0; i < record->Values.size(); ++i) {
            const int64_t k = int64_t{start} + static_cast<int64_t>(i);
            if (k >= 0 && static_cast<uint64_t>(k) < variables.size())
                variables[static_cast<size_t>(k)] = record->Values[i];
        }
    }
    return 1;
}

int32_t CFuncSave::ListGroupIndexes(int32_t start, int32_t group)
{
    if (m_table == nullptr)
        return 0;
    const auto wanted = static_cast<uint16_t>(group);
    int32_t found = 0;
    for (size_t i = 0; i < m_table->GetCount(); ++i) {
        const ScriptValueArray& record = m_table->GetAt(i);
        if (record.Group != wanted)
            continue;
        const int64_t k = int64_t{start} + found;
        if (CurrentState != nullptr && k >= 0 && static_cast<uint64_t>(k) < CurrentState->Variables.size())
            SetIntegerValue(CurrentState->Variables[static_cast<size_t>(k)], record.Index);
        ++found;
    }
    return found;
}

void CFuncSave::StoreVariablesAsRecord(int32_t start, int32_t count, int32_t group, int32_t index)
{
    if (m_table == nullptr)
        return;
    ScriptValueArray record;
    record.SetKey(KeyOf(group, index));
    // No record is longer than the array it copies, so a wild count cannot exhaust memory.
    const size_t held_count = CurrentState != nullptr ? CurrentState->Variables.size() : 0;
    const int64_t length = std::min<int64_t>(count, static_cast<int64_t>(held_count));
    for (int64_t i = 0; i < length; ++i) {
        const int64_t k = int64_t{start} + i;
        const bool held =
            CurrentState != nullptr && k >= 0 && static_cast<uint64_t>(k) < CurrentState->Variables.size();
        record.Values.push_back(held ? CurrentState->Variables[static_cast<size_t>(k)] : ScriptValue());
    }
    m_table->Store(record);
}
