#pragma once
// The backlog command group (library 22): the scripts' control of the script context's backlog
// store. It sizes and clears the store, opens and closes the record of a message and answers
// queries about records; the message window and the backlog screens use two of the queries.
// Built for one call; main thread only.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "script/commands/IFunc.h"

class CFuncBackLog : public IFunc
{
public:
    void Call(CScript& script) override;

    // Opens a record for the coming message text unless one is open.
    void PrepareEntry();
    // A handle of the record's code for a used index (BacklogStore::FindCode maps it back); 0
    // otherwise.
    int32_t GetEntryData(int32_t index);
    // A copy of a used record's message text; empty otherwise.
    CStringUTF8 GetEntryString(int32_t index);

private:
    void CloseEntry();
    bool IsRecording() const;
};
