#include "platform/d3d/DisplayOutputs.h"

#include <mutex>

namespace platform {

namespace {

std::mutex g_simulated_lock; // leaf: guards g_simulated
std::optional<std::vector<DisplayOutput>>* g_simulated = new std::optional<std::vector<DisplayOutput>>;

} // namespace

std::vector<DisplayOutput> GetDisplayOutputs()
{
    {
        std::lock_guard lock(g_simulated_lock);
        if (g_simulated->has_value())
            return **g_simulated;
    }
    return QuerySdlDisplays();
}

void SetSimulatedDisplays(std::optional<std::vector<DisplayOutput>> outputs)
{
    std::lock_guard lock(g_simulated_lock);
    *g_simulated = std::move(outputs);
}

DisplayOutput MakeSimulatedDisplay(int x, int y, int width, int height)
{
    DisplayOutput output;
    output.name = u"\\\\.\\DISPLAY1";
    output.bounds = RECT{x, y, x + width, y + height};
    output.work_area = output.bounds;
    output.modes.push_back(DXGI_MODE_DESC{static_cast<UINT>(width),
                                          static_cast<UINT>(height),
                                          {60, 1},
                                          DXGI_FORMAT_R8G8B8A8_UNORM,
                                          DXGI_MODE_SCANLINE_ORDER_PROGRESSIVE,
                                          DXGI_MODE_SCALING_UNSPECIFIED});
    return output;
}

} // namespace platform
