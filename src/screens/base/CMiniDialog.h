#pragma once
// The small notice dialogs of the two kinds.
// FIXME: the least the exec commands need until the dialogs are in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CMiniDialog : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    // Nonzero on success.
    virtual int32_t Setup(int32_t kind, int32_t depth)
    {
        (void)kind, (void)depth;
        return 1;
    }
};

class CMiniDialog2 : public CMiniDialog
{};
