#pragma once
// Input for tests and demonstrations: each call pushes one event into SDL's own queue, so it
// travels the same road as a real key press, click or touch. Positions are pixels of the native
// window of `window` (its menu bar included); finger positions are fractions of its size.
// Main thread; the video system must be running (a window exists).

#include <cstdint>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

enum class InjectedWindowEvent
{
    FocusGained,
    FocusLost,
    Close,
    Minimized,
    Maximized,
    Restored,
    Exposed,
};

enum class FingerPhase
{
    Down,
    Move,
    Up,
};

bool PushKey(HWND window, int virtual_key, bool down);
bool PushMouseMove(HWND window, int x, int y);
// button: 1 left, 2 middle, 3 right.
bool PushMouseButton(HWND window, int button, bool down, int x, int y);
bool PushWheel(HWND window, int steps);
bool PushFinger(HWND window, FingerPhase phase, int64_t finger, float x, float y);
bool PushText(HWND window, const char* utf8);
bool PushWindowEvent(HWND window, InjectedWindowEvent event);
bool PushQuit();

// The composed picture of a top-level window (0xAARRGGBB rows, width x height), drawn now.
bool CaptureWindow(HWND window, std::vector<uint32_t>& pixels, int& width, int& height);
// Names the video driver SDL runs on ("dummy", "x11", ...), empty before it starts.
const char* GetVideoDriverName();

} // namespace platform
