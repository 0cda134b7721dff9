#include <string>

#include <SDL.h>

#include "platform/d3d/DisplayOutputs.h"

namespace platform {

namespace {

std::u16string DeviceName(int index)
{
    const std::string text = "\\\\.\\DISPLAY" + std::to_string(index + 1);
    return std::u16string(text.begin(), text.end());
}

} // namespace

// Main thread: SDL's video subsystem is started here when the window layer has not done so.
std::vector<DisplayOutput> QuerySdlDisplays()
{
    std::vector<DisplayOutput> outputs;
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return outputs;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(i, &bounds) != 0)
            continue;
        SDL_Rect usable = bounds;
        SDL_GetDisplayUsableBounds(i, &usable);
        DisplayOutput output;
        output.name = DeviceName(i);
        output.bounds = RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
        output.work_area = RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
        const int modes = SDL_GetNumDisplayModes(i);
        for (int m = 0; m < modes; ++m) {
            SDL_DisplayMode mode{};
            if (SDL_GetDisplayMode(i, m, &mode) != 0)
                continue;
            output.modes.push_back(
                DXGI_MODE_DESC{static_cast<UINT>(mode.w),
                               static_cast<UINT>(mode.h),
                               {static_cast<UINT>(mode.refresh_rate ? mode.refresh_rate : 60), 1},
                               DXGI_FORMAT_R8G8B8A8_UNORM,
                               DXGI_MODE_SCANLINE_ORDER_PROGRESSIVE,
                               DXGI_MODE_SCALING_UNSPECIFIED});
        }
        if (output.modes.empty())
            output.modes.push_back(DXGI_MODE_DESC{static_cast<UINT>(bounds.w),
                                                  static_cast<UINT>(bounds.h),
                                                  {60, 1},
                                                  DXGI_FORMAT_R8G8B8A8_UNORM,
                                                  DXGI_MODE_SCANLINE_ORDER_PROGRESSIVE,
                                                  DXGI_MODE_SCALING_UNSPECIFIED});
        outputs.push_back(std::move(output));
    }
    return outputs;
}

} // namespace platform
