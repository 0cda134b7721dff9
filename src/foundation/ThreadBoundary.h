#pragma once
// The top of every thread the game starts. Called inside a catch (...) block at the thread's
// entry, it hands the failure being handled to the main thread, whose message pump shows it and
// ends the game through the normal exit (settings written), the way the run loop ends on its
// own failures. Any thread; never throws.

void HandOverThreadFailure() noexcept;
