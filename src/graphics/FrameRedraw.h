#pragma once
// Shows a change at once instead of at the next frame: under the global draw lock, and only while
// the display is live, ready and enabled, set the sprite manager's matrices and draw and present
// one frame. Any thread; takes the draw lock, so callers must not hold a lock ordered after it.

void RedrawFrameNow();

// The global draw lock, held for the object's lifetime only while the display is live: changes to
// sprites that the draw pass may be reading on the app-task thread are made under it.
class DrawLockWhileLive
{
public:
    DrawLockWhileLive();
    ~DrawLockWhileLive();
    DrawLockWhileLive(const DrawLockWhileLive&) = delete;
    DrawLockWhileLive& operator=(const DrawLockWhileLive&) = delete;

private:
    bool m_held;
};
