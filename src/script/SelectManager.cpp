#include "script/SelectManager.h"

#include "foundation/CreationFault.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"

namespace {

bool SameValue(const ScriptValue& a, const ScriptValue& b)
{
    if (a.Type != b.Type)
        return false;
    return a.Type == SCRIPT_VALUE_INTEGER ? a.Integer == b.Integer : a.Text == b.Text;
}

// skip: an index left out of the comparison, or SIZE_MAX for none.
bool SameValues(const std::vector<ScriptValue>& a, const std::vector<ScriptValue>& b, size_t skip)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i != skip && !SameValue(a[i], b[i]))
            return false;
    }
    return true;
}

} // namespace

const SelectBuffer& SelectBuffer::Owner() const
{
    const SelectBuffer* record = this;
    while (record->Shared != nullptr)
        record = record->Shared;
    return *record;
}

void PushSelectBuffer(SelectManager& list, const FlagBuffer& state, const ScriptValueTable& table,
                      ScriptState& script)
{
    std::unique_ptr<SelectBuffer> record = Make<SelectBuffer>("Failed to create the Select Buffer");
    for (int32_t i = list.Current; i >= 0 && record->Shared == nullptr; --i)
        record->Shared = FindSameSelectBuffer(list, i, state);
    if (record->Shared == nullptr) {
        record->Name = state.Name;
        record->Flags = state.Flags;
        record->Words = state.Words;
        record->Values = state.Values;
        record->Variables = state.Variables;
    }
    record->Table.Assign(table);
    if (VALUE_CHOICE_POSITION < state.Values.size())
        record->ChoicePosition = state.Values[VALUE_CHOICE_POSITION];
    script.SaveScriptStack(record->Table);
    list.Buffers.push_back(std::move(record));
    list.Current = static_cast<int32_t>(list.Buffers.size()) - 1;
}

const SelectBuffer* FindSameSelectBuffer(const SelectManager& list, int32_t index, const FlagBuffer& state)
{
    if (index < 0 || static_cast<size_t>(index) >= list.Buffers.size())
        return nullptr;
    const SelectBuffer& record = *list.Buffers[static_cast<size_t>(index)];
    if (!(record.GetName() == state.Name) || record.GetFlags() != state.Flags ||
        record.GetWords() != state.Words)
        return nullptr;
    if (!SameValues(record.GetValues(), state.Values, VALUE_CHOICE_POSITION))
        return nullptr;
    if (!SameValues(record.GetVariables(), state.Variables, SIZE_MAX))
        return nullptr;
    return &record;
}

void ClearSelectBuffers(SelectManager& list)
{
    list.Buffers.clear();
}
