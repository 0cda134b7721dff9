#include "platform/user/SystemParametersApi.h"

#include <SDL.h>
#include <atomic>

namespace {

// A desktop lets its screen saver run unless someone holds it off, so the state starts active.
std::atomic<bool> g_screen_saver_active{true};

} // namespace

namespace platform {

void ApplyScreenSaverState()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return;
    if (g_screen_saver_active)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

} // namespace platform

BOOL SystemParametersInfoW(UINT action, UINT param, LPVOID param_pointer, UINT)
{
    switch (action) {
    case SPI_GETSCREENSAVEACTIVE:
        if (!param_pointer)
            return FALSE;
        *static_cast<BOOL*>(param_pointer) = g_screen_saver_active ? TRUE : FALSE;
        return TRUE;
    case SPI_SETSCREENSAVEACTIVE:
        g_screen_saver_active = param != 0;
        platform::ApplyScreenSaverState();
        return TRUE;
    default:
        return FALSE;
    }
}
