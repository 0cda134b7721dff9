// Up the order for a constant only: compiles and links without the include checks.
#include "script/Limits.h"

int GraphicsLimit()
{
    return SCRIPT_LIMIT;
}
