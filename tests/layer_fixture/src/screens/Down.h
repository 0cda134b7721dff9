#pragma once
// Includes down the order only.
#include "script/Listed.h"
#include "game/CRules.h"
