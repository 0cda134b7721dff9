#pragma once
// Shows a change at once instead of at the next frame: under the global draw lock, and only while
// the display is live, ready and enabled, set the sprite manager's matrices and draw and present
// one frame. Any thread; takes the draw lock, so callers must not hold a lock ordered after it.

void RedrawFrameNow();
