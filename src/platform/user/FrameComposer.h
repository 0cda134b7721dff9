#pragma once
// A window's picture drawn on the CPU straight into the pixels the window shows: black, and the
// frame in its destination rectangle, scaled bilinearly when the sizes differ. Drawn by regions:
// any part comes out as the same pixels as when the whole is drawn, so a waiting screen whose
// frame changed in a few pixels redraws and shows only those.

#include <cstdint>

#include "platform/kernel/WinTypes.h"

namespace platform {

struct WindowFrame;

// 32-bit pixels of the window, R in bits 16-23, G in 8-15, B in 0-7; `pitch` in pixels.
struct ComposeTarget
{
    uint32_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    uint32_t black = 0; // the target's black
};

// Draws the part `area` of the target: the frame (null for none) in `destination` (target
// pixels), black around it.
void ComposeFrame(const ComposeTarget& target, const WindowFrame* frame, const RECT& destination,
                  const RECT& area);

// The target pixels that may differ when `changed` (frame pixels) differs in a frame shown in
// `destination`; empty when none.
RECT ShownChange(const RECT& changed, int frame_width, int frame_height, const RECT& destination);

} // namespace platform
