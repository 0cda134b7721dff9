#pragma once
// Test input pushed through SDL's event queue, shared by the input and input-method injectors.

#include <SDL.h>

namespace platform {

// Pushes the event and counts it again once SDL's queue holds it (the headless rest's watch counts
// a push before); false when SDL refused it.
bool PushInjected(SDL_Event& event);

} // namespace platform
