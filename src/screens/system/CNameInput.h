#pragma once
// The hero-name entry screen.
// FIXME: the least the exec commands need until the name entry is in: the default names, and a
// screen that ends at once.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "screens/base/ISelect.h"

// The hero's default given name for a language index (3 Japanese, 0 romanised, 1 and 2 kanji);
// any other index gives the Japanese one.
CStringUTF8 GetDefaultHeroName(int32_t language);

class CNameInput : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    // Nonzero on success.
    virtual int32_t Setup() { return 1; }
    virtual void Release() {}
};
