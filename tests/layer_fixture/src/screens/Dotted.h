#pragma once
// Leaves its folder with "..": refused whatever it reaches, even a header of its own area.
#include "../screens/Down.h"
