#pragma once
// The backlog of read text.
// FIXME: the least the game work needs until the backlog is in.

#include <cstdint>

#include "screens/base/ISelect.h"

class IBackLog : public ISystemParts
{
public:
    // The result integer; 100 and 101 ask to run again from the index the backlog keeps.
    virtual int32_t RunBacklog(ScriptValue* result, int32_t start_index)
    {
        (void)start_index;
        Run(result);
        return result != nullptr ? result->Integer : -1;
    }
    // The index a run asking to be run again left behind.
    virtual int32_t GetKeptIndex() { return 0; }
};

class CBacklogScreen : public IBackLog
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
};
