#pragma once
// The calendar status plate.
// FIXME: the least the game work needs until the plate is in.

#include <cstdint>

class CStatusPlate
{
public:
    virtual ~CStatusPlate() = default;
    // Nonzero on success.
    virtual int32_t Setup() { return 1; }
    // Draws the date and time again.
    virtual void DrawCalendar() {}
    virtual void ShowAnimated() {}
    virtual void HideAnimated() {}
    // FIXME: least plate button for the message window; the map completes it.
    virtual void DrawButton(int32_t state, int32_t present) { (void)state, (void)present; }
    virtual int32_t IsPlateShown() { return 0; }
};
