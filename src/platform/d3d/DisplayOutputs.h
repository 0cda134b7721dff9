#pragma once
// The display outputs DXGI reports: SDL's displays with their modes, or a list a test sets (a
// simulated monitor). Read on the main thread when the display enumerates its adapters.

#include <optional>
#include <string>
#include <vector>

#include "platform/d3d/DxgiApi.h"
#include "platform/kernel/WinTypes.h"

namespace platform {

struct DisplayOutput
{
    std::u16string name;
    RECT bounds{};    // desktop pixels
    RECT work_area{}; // bounds less the desktop's panels
    std::vector<DXGI_MODE_DESC> modes;
};

// The simulated list when one is set, else SDL's displays (none when SDL's video cannot start).
std::vector<DisplayOutput> GetDisplayOutputs();
// Replaces the machine's displays until reset with nullopt (tests).
void SetSimulatedDisplays(std::optional<std::vector<DisplayOutput>> outputs);
// One output of the given size at the given desktop position, with its native mode at 60 Hz.
DisplayOutput MakeSimulatedDisplay(int x, int y, int width, int height);

std::vector<DisplayOutput> QuerySdlDisplays();

} // namespace platform
