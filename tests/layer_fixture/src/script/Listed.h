#pragma once
// A climb on the known list, and a downward include.
#include "graphics/Climbs.h"
#include "screens/CTitle.h"
