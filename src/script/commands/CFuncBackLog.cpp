#include "script/commands/CFuncBackLog.h"

#include "script/FlagBuffer.h"
#include "script/vm/ScriptContext.h"

void CFuncBackLog::Call(CScript&)
{
    BacklogStore& backlog = Context->Backlog;
    const int32_t entry_count = static_cast<int32_t>(backlog.Entries.size());
    switch (Context->PopInteger()) {
    case 0:
        backlog.Allocate(Context->PopInteger());
        return;
    case 1:
        backlog.Reset();
        return;
    case 2:
        PrepareEntry();
        return;
    case 3:
        CloseEntry();
        return;
    case 4:
        Context->PushInteger(backlog.CountEntries());
        return;
    case 5:
        Context->PushInteger(GetEntryData(Context->PopInteger()));
        return;
    case 6: {
        const int32_t index = Context->PopInteger();
        const bool voiced =
            index >= 0 && index < entry_count && backlog.Entries[static_cast<size_t>(index)]->HasVoice != 0;
        Context->PushInteger(voiced ? 1 : 0);
        return;
    }
    case 7: {
        const int32_t index = Context->PopInteger();
        CStringUTF8 text;
        if (index >= 0 && index < entry_count)
            text = backlog.Entries[static_cast<size_t>(index)]->HeadText;
        Context->Push(ScriptValue::FromText(text));
        return;
    }
    default:
        return;
    }
}

bool CFuncBackLog::IsRecording() const
{
    return CurrentState && CurrentState->TestEngineState(ENGINE_STATE_RECORDING);
}

void CFuncBackLog::PrepareEntry()
{
    Context->PrepareBacklogEntry();
}

void CFuncBackLog::CloseEntry()
{
    if (!IsRecording())
        return;
    if (CurrentState->TestEngineState(ENGINE_STATE_ENTRY_OPEN)) {
        if (LogBuffer* entry = Context->Backlog.GetCurrentEntry()) {
            if (!entry->Code.empty())
                entry->Code.pop_back();
            entry->Code.insert(entry->Code.end(), 2, 0);
        }
    }
    CurrentState->ClearEngineStateBits(ENGINE_STATE_ENTRY_OPEN);
}

int32_t CFuncBackLog::GetEntryData(int32_t index)
{
    if (index < 0 || index >= Context->Backlog.CountEntries())
        return 0;
    return BacklogStore::MakeHandle(index);
}

CStringUTF8 CFuncBackLog::GetEntryString(int32_t index)
{
    if (index < 0 || index >= Context->Backlog.CountEntries())
        return CStringUTF8();
    return Context->Backlog.Entries[static_cast<size_t>(index)]->BodyText;
}
