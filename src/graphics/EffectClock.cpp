#include "graphics/EffectClock.h"

#include "foundation/AppLink.h"
#include "platform/kernel/TimeApi.h"

uint32_t GetEffectTime()
{
    AppLink* app = GetAppLink();
    return app != nullptr && app->GetClockSwitch() == 1 ? GetTickCount() : timeGetTime();
}
