#pragma once
// A platform header that includes the engine.
#include "foundation/CString.h"
