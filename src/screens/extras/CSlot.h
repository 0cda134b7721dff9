#pragma once
// The slot-machine mini-game and its scrolling picture.
// FIXME: the least the exec commands need until the mini-game is in.

#include <cstdint>
#include <memory>

#include "graphics/CSprite.h"
#include "screens/base/ScreenResult.h"

class CSlot : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    virtual void Setup(int32_t a, int32_t b, int32_t c, int32_t d) { (void)a, (void)b, (void)c, (void)d; }
    // Spins to the three digits (shown as given in mode 1) and answers the result.
    virtual int32_t RunWithReels(int32_t d1, int32_t d2, int32_t d3, int32_t mode)
    {
        (void)d1, (void)d2, (void)d3, (void)mode;
        return RunForResult(*this);
    }

    std::unique_ptr<CSprite> m_picture; // its own picture layer, when loaded
};

class CSlotScrollImage : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    virtual int32_t RunScroll(int32_t value, int32_t height)
    {
        (void)value, (void)height;
        return RunForResult(*this);
    }
};
