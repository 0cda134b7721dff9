#pragma once
// Tests only: puts the window layer back to its state at start-up.

namespace platform {

// Destroys every window and menu, forgets classes, timers, queued messages, pending SDL events,
// the key state, capture and focus. The video system stays up.
void ResetWindowLayer();

} // namespace platform
