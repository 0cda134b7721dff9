#include "foundation/ConfigSettings.h"

int32_t GetConfigDisplayEffectSpeed()
{
    return 0;
}
