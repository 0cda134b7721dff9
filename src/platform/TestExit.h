#pragma once
// A test hook: with VESK_CLOSE_AFTER_FRAMES=N in the environment, the N-th counted call (one per
// turn of the run loop, counted as the input script counts them) answers true once, and the game closes its
// window as the close box would. Without the variable it never answers true.

namespace platform {

bool IsTestCloseDue();

} // namespace platform
