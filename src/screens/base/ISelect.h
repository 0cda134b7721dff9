#pragma once
// The base of every screen.
// FIXME: only the sprite factory, the modal run and the shown flag until the screen framework is
// in: Run registers the screen with the game work while it runs and gives the result of RunLoop.

#include <cstdint>

#include "script/ScriptValue.h"

class CSprite;

class ISelect
{
public:
    virtual ~ISelect();

    // Runs the screen modally and copies its result out. A document code thrown inside passes
    // through after the screen left the game work's active list.
    virtual void Run(ScriptValue* result);
    virtual int32_t IsShown() { return m_shown; }
    virtual void Show() { m_shown = 1; }
    virtual void Hide() { m_shown = 0; }

    // A new sprite of the layer type (0 memory, 1 DIB section, 2 texture) with its rectangle and
    // priority; null for an unknown type. The caller owns it. The flags are not used yet.
    static CSprite* CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority,
                                 int32_t type, uint32_t flags);

protected:
    // The frames of the screen; a screen that is not built yet ends at once with -1.
    virtual void RunLoop(ScriptValue& result) { result = ScriptValue::FromInteger(-1); }

    int32_t m_shown = 0;
};

// The screens whose parts are built once by the game work.
class ISystemParts
{
public:
    virtual ~ISystemParts() = default;
    // Nonzero on success.
    virtual int32_t CreateParts() { return 1; }
};
