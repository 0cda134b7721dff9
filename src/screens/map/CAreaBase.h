#pragma once
// The area base screen.
// FIXME: the least the game work needs until the screen is in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CAreaBase : public ISelect, public ISystemParts
{};
