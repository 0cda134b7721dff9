#include "graphics/EffectClock.h"

#include "app/CWinApp.h"
#include "platform/kernel/TimeApi.h"

uint32_t GetEffectTime()
{
    CWinApp* app = GetApp();
    return app != nullptr && app->GetClockSwitch() == 1 ? GetTickCount() : timeGetTime();
}
