#pragma once
// A graphics header that reaches up into the script area; not on the known list.
#include "foundation/CString.h"
#include "script/FlagBuffer.h"
