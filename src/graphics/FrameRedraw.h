#pragma once
// Shows a change at once instead of at the next frame: the display's redraw now
// (CDirect3D::RedrawNow). Any thread; takes the draw lock, so callers must not hold a lock
// ordered after it.

void RedrawFrameNow();
