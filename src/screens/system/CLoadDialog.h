#pragma once
// The load screen of the system menu: the three slot groups behind their tabs, loads and
// deletes.

#include <cstdint>

#include "screens/system/ISaveLoad.h"

class CLoadDialog : public ISaveLoad
{
public:
    explicit CLoadDialog(int32_t page)
        : ISaveLoad(page)
    {}
    void DecideRow(int32_t row) override;
    // A chosen slot, after the load confirmation (a dialog that cannot be built counts as no);
    // returns only when the player declined or the slot was refused.
    void LoadChosenSlot(uint32_t slot);
};
