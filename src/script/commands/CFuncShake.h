#pragma once
// The shake command group (library 3): moves the sprite layer registered under number 0 and shows
// each offset for 28 ms; a script shakes by calling it with changing offsets and ends with the
// layer back at the origin. Without a layer 0 it does nothing. Built for one call on the main
// thread.

#include <cstdint>

#include "script/commands/IFunc.h"

// How long one offset is shown.
inline constexpr int32_t SHAKE_STEP_MS = 28;

class CFuncShake : public IFunc
{
public:
    void Call(CScript& script) override;
};
