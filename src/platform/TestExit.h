#pragma once
// A test hook: with VESK_CLOSE_AFTER_FRAMES=N in the environment, the N-th call (one per frame of
// the run loop) answers true once, and the game closes its window as the close box would. Without
// the variable it never answers true.

namespace platform {

bool IsTestCloseDue();

} // namespace platform
