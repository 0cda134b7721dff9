#pragma once
// The picture shown in a window's client area. The display publishes its newest frame from any
// thread; the main thread's message pump shows it under the layer's menus and boxes.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

// A region that stands for the whole picture, whatever its size.
inline constexpr RECT WHOLE_PICTURE{0, 0, INT32_MAX, INT32_MAX};

struct WindowFrame
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0xAARRGGBB, rows top-down
    RECT destination{};           // client pixels the frame is scaled into
    // Where it differs from the frame of the window published before it.
    RECT changed = WHOLE_PICTURE;
};

// Thread-safe: keeps the newest frame of the window and asks the pump to show it.
void PublishWindowFrame(HWND window, std::shared_ptr<const WindowFrame> frame);

} // namespace platform
