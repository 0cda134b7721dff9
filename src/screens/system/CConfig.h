#pragma once
// The system settings screen.
// FIXME: the least the game work needs until the screen is in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CConfig : public ISelect, public ISystemParts
{};
