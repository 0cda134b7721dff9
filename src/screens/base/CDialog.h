#pragma once
// The confirmation dialog.
// FIXME: the least the game work needs until the dialogs are in: a kind that the settings leave
// on confirms at once.

#include <cstdint>

#include "screens/base/ISelect.h"

class CDialog : public ISelect
{
public:
    // -1 when it was not built, 0 when the kind is switched off by "/Config/Dialog/%02u/Enable",
    // otherwise nonzero.
    virtual int32_t Setup(int32_t kind, int32_t depth);

protected:
    void RunLoop(ScriptValue& result) override { result = ScriptValue::FromInteger(0); }
};
