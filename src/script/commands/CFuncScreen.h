#pragma once
// The screen command group (library 20): fades and transitions through the document's fade
// sprite. While scenes are skipped the fades and transitions only pop their arguments. Built for
// one call on the main thread.

#include <cstdint>

#include "script/commands/IFunc.h"

struct SpriteAnimRecord;

class CFuncScreen : public IFunc
{
public:
    void Call(CScript& script) override;

    // Unless scenes are skipped, and only while the fade sprite covers the screen: fades it from
    // opaque to clear over length ticks (a negative length counts as 0), waits, then hides it.
    void RunTransition(int32_t length);
    // As RunTransition, but the picture comes back through the rule pattern.
    void RunPatternTransition(int32_t pattern, int32_t length);

private:
    // Opaque, shown, plays the record and waits, then hidden; nothing while the sprite is hidden.
    void RevealThrough(const SpriteAnimRecord& record);
};
