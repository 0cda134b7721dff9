#pragma once
// SDL scan codes to Windows virtual keys and set-1 scan codes, for a US or Japanese keyboard.
// Backend-private.

#include <SDL.h>

#include <cstdint>

namespace platform::sdl {

struct KeyMapping
{
    uint8_t virtual_key; // as WM_KEYDOWN carries it
    uint8_t side_key;    // the left/right form of Shift, Ctrl and Alt, else the same key
    uint8_t scan_code;   // set-1 code
    bool extended;       // the E0 prefix
};

// Zero virtual_key when the key has no Windows counterpart.
KeyMapping MapScancode(SDL_Scancode scancode);
// The SDL scan code of a virtual key (the left one for Shift, Ctrl and Alt), for injected input.
SDL_Scancode ScancodeOfVirtualKey(int virtual_key);

} // namespace platform::sdl
