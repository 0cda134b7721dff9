#include "foundation/ScreenSettings.h"

SIZE GetScreenOriginalSize(int32_t)
{
    return SIZE{1920, 1080};
}
