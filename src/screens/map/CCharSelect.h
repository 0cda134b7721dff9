#pragma once
// The character selection screen.
// FIXME: the least the exec commands need until the screen is in.

#include <cstdint>

#include "screens/map/CTimeSelect.h"

class CCharSelect : public CTimeSelect
{
public:
    // Nonzero on success.
    virtual int32_t Setup() { return 1; }
};
