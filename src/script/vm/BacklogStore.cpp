#include "script/vm/BacklogStore.h"

#include "app/CVeskDoc.h"

bool BacklogStore::NextEntry()
{
    if (Entries.empty())
        return false;
    ++CurrentIndex;
    if (CurrentIndex >= static_cast<int32_t>(Entries.size())) {
        Entries.erase(Entries.begin());
        Entries.push_back(std::make_unique<LogBuffer>());
        CurrentIndex = static_cast<int32_t>(Entries.size()) - 1;
    }
    CVeskDoc* document = GetDocument();
    FlagBuffer* state = document->m_current_state.get();
    bool entry_was_open = false;
    if (state && !state->Values.empty()) {
        entry_was_open = state->TestEngineState(ENGINE_STATE_ENTRY_OPEN);
        state->ClearEngineStateBits(ENGINE_STATE_ENTRY_OPEN);
        state->SetEngineStateBits(ENGINE_STATE_SNAPSHOT);
    }
    LogBuffer& entry = *Entries[static_cast<size_t>(CurrentIndex)];
    if (document->SaveDataTable)
        entry.JumpState.Assign(*document->SaveDataTable);
    if (state)
        entry.StateSnapshot.Assign(*state);
    document->SaveScriptStack(entry.JumpState);
    if (state && !state->Values.empty()) {
        state->ClearEngineStateBits(ENGINE_STATE_SNAPSHOT);
        if (entry_was_open)
            state->SetEngineStateBits(ENGINE_STATE_ENTRY_OPEN);
    }
    return true;
}

LogBuffer* BacklogStore::GetCurrentEntry()
{
    if (CurrentIndex < 0 || CurrentIndex >= static_cast<int32_t>(Entries.size()))
        return nullptr;
    return Entries[static_cast<size_t>(CurrentIndex)].get();
}

void BacklogStore::AppendCode(uint8_t byte)
{
    LogBuffer* entry = GetCurrentEntry();
    if (!entry)
        return;
    if (!entry->Code.empty())
        entry->Code.pop_back();
    entry->Code.push_back(byte);
    entry->Code.push_back(0);
}

void BacklogStore::AppendText(const CStringUTF8& text)
{
    if (LogBuffer* entry = GetCurrentEntry())
        entry->BodyText.Append(text.GetText());
}
