#include "script/vm/BacklogStore.h"

#include <algorithm>
#include <new>

#include "foundation/CExecException.h"
#include "foundation/GameDocument.h"
#include "script/ScriptState.h"
#include "script/vm/ScriptContext.h"

namespace {

std::unique_ptr<LogBuffer> NewLogBuffer(const char* failure)
{
    try {
        return std::make_unique<LogBuffer>();
    } catch (const std::bad_alloc&) {
        throw CExecException(CStringUTF8(failure));
    }
}

} // namespace

void BacklogStore::Allocate(int32_t count)
{
    // A backlog is a few hundred messages; a count far past that is a script's fault, refused as
    // an allocation failure before it can take the machine's memory.
    for (int32_t k = 0; k < count; ++k) {
        if (Entries.size() >= MAX_BACKLOG_ENTRIES)
            throw CExecException(CStringUTF8("Failed to create the log Buffer"));
        Entries.push_back(NewLogBuffer("Failed to create the log Buffer"));
    }
}

void BacklogStore::Reset()
{
    CurrentIndex = -1;
    for (const std::unique_ptr<LogBuffer>& entry : Entries) {
        entry->Code.clear();
        entry->BodyText.Empty();
        entry->HeadText.Empty();
        entry->HasVoice = 0;
    }
}

int32_t BacklogStore::CountEntries() const
{
    return static_cast<int32_t>(
        std::count_if(Entries.begin(), Entries.end(),
                      [](const std::unique_ptr<LogBuffer>& entry) { return !entry->Code.empty(); }));
}

int32_t BacklogStore::MakeHandle(int32_t index)
{
    return index + 1;
}

const std::vector<uint8_t>* BacklogStore::FindCode(int32_t handle) const
{
    if (handle < 1 || handle > CountEntries())
        return nullptr;
    const LogBuffer& entry = *Entries[static_cast<size_t>(handle - 1)];
    return entry.Code.empty() ? nullptr : &entry.Code;
}

int32_t CountBacklogEntries()
{
    const ScriptContext* context = GetScriptState().m_script_context.get();
    return context ? context->Backlog.CountEntries() : 0;
}

bool BacklogStore::NextEntry()
{
    if (Entries.empty())
        return false;
    int32_t next = CurrentIndex + 1;
    if (next >= static_cast<int32_t>(Entries.size())) {
        // Made before the oldest goes, so that a failure leaves the ring and its index whole.
        std::unique_ptr<LogBuffer> fresh = NewLogBuffer("Failed to create the Log Buffer");
        Entries.erase(Entries.begin());
        Entries.push_back(std::move(fresh));
        next = static_cast<int32_t>(Entries.size()) - 1;
    }
    CurrentIndex = next;
    FlagBuffer* state = GetScriptState().m_current_state.get();
    bool entry_was_open = false;
    if (state && !state->Values.empty()) {
        entry_was_open = state->TestEngineState(ENGINE_STATE_ENTRY_OPEN);
        state->ClearEngineStateBits(ENGINE_STATE_ENTRY_OPEN);
        state->SetEngineStateBits(ENGINE_STATE_SNAPSHOT);
    }
    LogBuffer& entry = *Entries[static_cast<size_t>(CurrentIndex)];
    // A record reused after a reset starts without the table fields of the message it held,
    // which would otherwise be revealed, or name its speaker, in place of the new message's own.
    entry.TextTable.Empty();
    entry.HeadTextId = -1;
    entry.MessageId = -1;
    if (GetScriptState().SaveDataTable)
        entry.JumpState.Assign(*GetScriptState().SaveDataTable);
    if (state)
        entry.StateSnapshot.Assign(*state);
    GetScriptState().SaveScriptStack(entry.JumpState);
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
