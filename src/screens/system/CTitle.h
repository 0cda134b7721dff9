#pragma once
// The title screen, normal form.
// FIXME: the least the exec commands need until the title is in.

#include <cstdint>

#include "screens/map/CTimeSelect.h"

class CTitle : public CTimeSelect
{
public:
    // Nonzero on success.
    virtual int32_t Setup() { return 1; }
    virtual void Release() {}
};
