#pragma once
// Sleep(0) on the thread that owns the windows rests until that thread has something to do:
// the window layer installs the wait, the kernel only calls it. Every other thread, and every
// thread under the virtual clock, keeps the plain yield. Layer-internal.

#include <cstdint>

namespace platform {

// Waits for the owner's next message or `max_ms` real milliseconds, whichever comes first.
using IdleWaitFunction = void (*)(uint32_t max_ms);

// Makes the calling thread the one whose Sleep(0) calls `wait`; null removes it.
void SetIdleWait(IdleWaitFunction wait);

} // namespace platform
