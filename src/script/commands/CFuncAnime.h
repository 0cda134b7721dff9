#pragma once
// The animation command group (library 13): loads byte-code animation programs into the
// document's animation manager, arms, starts, pauses and stops its slots, and waits for them. The
// waits pump messages (the task list plays the slots meanwhile) and end when the application
// quits; the slot waits also end, stopping the slot, on Escape, Delete, the right button or a
// touch. Group and slot numbers outside the 10 x 32 slots are ignored. Built for one call on the
// main thread.

#include <cstdint>

#include "script/commands/IFunc.h"

class CAnimeManager;

class CFuncAnime : public IFunc
{
public:
    void Call(CScript& script) override;

private:
    // Until the slot is stopped, or the player cuts it short (which stops it).
    void WaitForSlot(CAnimeManager& manager, int32_t group, int32_t slot);
    // Until the manager reports every slot finished.
    void WaitForAll(CAnimeManager& manager);
    bool IsCutShort();
};
