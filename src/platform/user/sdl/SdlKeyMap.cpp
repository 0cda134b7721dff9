#include "platform/user/sdl/SdlKeyMap.h"

#include <array>

namespace platform::sdl {

namespace {

struct Entry
{
    SDL_Scancode scancode;
    KeyMapping mapping;
};

// Virtual keys and scan codes as Windows reports them for the same physical keys.
constexpr Entry ENTRIES[] = {
    {SDL_SCANCODE_A, {'A', 'A', 0x1E, false}},
    {SDL_SCANCODE_B, {'B', 'B', 0x30, false}},
    {SDL_SCANCODE_C, {'C', 'C', 0x2E, false}},
    {SDL_SCANCODE_D, {'D', 'D', 0x20, false}},
    {SDL_SCANCODE_E, {'E', 'E', 0x12, false}},
    {SDL_SCANCODE_F, {'F', 'F', 0x21, false}},
    {SDL_SCANCODE_G, {'G', 'G', 0x22, false}},
    {SDL_SCANCODE_H, {'H', 'H', 0x23, false}},
    {SDL_SCANCODE_I, {'I', 'I', 0x17, false}},
    {SDL_SCANCODE_J, {'J', 'J', 0x24, false}},
    {SDL_SCANCODE_K, {'K', 'K', 0x25, false}},
    {SDL_SCANCODE_L, {'L', 'L', 0x26, false}},
    {SDL_SCANCODE_M, {'M', 'M', 0x32, false}},
    {SDL_SCANCODE_N, {'N', 'N', 0x31, false}},
    {SDL_SCANCODE_O, {'O', 'O', 0x18, false}},
    {SDL_SCANCODE_P, {'P', 'P', 0x19, false}},
    {SDL_SCANCODE_Q, {'Q', 'Q', 0x10, false}},
    {SDL_SCANCODE_R, {'R', 'R', 0x13, false}},
    {SDL_SCANCODE_S, {'S', 'S', 0x1F, false}},
    {SDL_SCANCODE_T, {'T', 'T', 0x14, false}},
    {SDL_SCANCODE_U, {'U', 'U', 0x16, false}},
    {SDL_SCANCODE_V, {'V', 'V', 0x2F, false}},
    {SDL_SCANCODE_W, {'W', 'W', 0x11, false}},
    {SDL_SCANCODE_X, {'X', 'X', 0x2D, false}},
    {SDL_SCANCODE_Y, {'Y', 'Y', 0x15, false}},
    {SDL_SCANCODE_Z, {'Z', 'Z', 0x2C, false}},
    {SDL_SCANCODE_1, {'1', '1', 0x02, false}},
    {SDL_SCANCODE_2, {'2', '2', 0x03, false}},
    {SDL_SCANCODE_3, {'3', '3', 0x04, false}},
    {SDL_SCANCODE_4, {'4', '4', 0x05, false}},
    {SDL_SCANCODE_5, {'5', '5', 0x06, false}},
    {SDL_SCANCODE_6, {'6', '6', 0x07, false}},
    {SDL_SCANCODE_7, {'7', '7', 0x08, false}},
    {SDL_SCANCODE_8, {'8', '8', 0x09, false}},
    {SDL_SCANCODE_9, {'9', '9', 0x0A, false}},
    {SDL_SCANCODE_0, {'0', '0', 0x0B, false}},
    {SDL_SCANCODE_RETURN, {0x0D, 0x0D, 0x1C, false}},
    {SDL_SCANCODE_ESCAPE, {0x1B, 0x1B, 0x01, false}},
    {SDL_SCANCODE_BACKSPACE, {0x08, 0x08, 0x0E, false}},
    {SDL_SCANCODE_TAB, {0x09, 0x09, 0x0F, false}},
    {SDL_SCANCODE_SPACE, {0x20, 0x20, 0x39, false}},
    {SDL_SCANCODE_MINUS, {0xBD, 0xBD, 0x0C, false}},
    {SDL_SCANCODE_EQUALS, {0xBB, 0xBB, 0x0D, false}},
    {SDL_SCANCODE_LEFTBRACKET, {0xDB, 0xDB, 0x1A, false}},
    {SDL_SCANCODE_RIGHTBRACKET, {0xDD, 0xDD, 0x1B, false}},
    {SDL_SCANCODE_BACKSLASH, {0xDC, 0xDC, 0x2B, false}},
    {SDL_SCANCODE_NONUSHASH, {0xDC, 0xDC, 0x2B, false}},
    {SDL_SCANCODE_SEMICOLON, {0xBA, 0xBA, 0x27, false}},
    {SDL_SCANCODE_APOSTROPHE, {0xDE, 0xDE, 0x28, false}},
    {SDL_SCANCODE_GRAVE, {0xC0, 0xC0, 0x29, false}},
    {SDL_SCANCODE_COMMA, {0xBC, 0xBC, 0x33, false}},
    {SDL_SCANCODE_PERIOD, {0xBE, 0xBE, 0x34, false}},
    {SDL_SCANCODE_SLASH, {0xBF, 0xBF, 0x35, false}},
    {SDL_SCANCODE_CAPSLOCK, {0x14, 0x14, 0x3A, false}},
    {SDL_SCANCODE_F1, {0x70, 0x70, 0x3B, false}},
    {SDL_SCANCODE_F2, {0x71, 0x71, 0x3C, false}},
    {SDL_SCANCODE_F3, {0x72, 0x72, 0x3D, false}},
    {SDL_SCANCODE_F4, {0x73, 0x73, 0x3E, false}},
    {SDL_SCANCODE_F5, {0x74, 0x74, 0x3F, false}},
    {SDL_SCANCODE_F6, {0x75, 0x75, 0x40, false}},
    {SDL_SCANCODE_F7, {0x76, 0x76, 0x41, false}},
    {SDL_SCANCODE_F8, {0x77, 0x77, 0x42, false}},
    {SDL_SCANCODE_F9, {0x78, 0x78, 0x43, false}},
    {SDL_SCANCODE_F10, {0x79, 0x79, 0x44, false}},
    {SDL_SCANCODE_F11, {0x7A, 0x7A, 0x57, false}},
    {SDL_SCANCODE_F12, {0x7B, 0x7B, 0x58, false}},
    {SDL_SCANCODE_PRINTSCREEN, {0x2C, 0x2C, 0x37, true}},
    {SDL_SCANCODE_SCROLLLOCK, {0x91, 0x91, 0x46, false}},
    {SDL_SCANCODE_PAUSE, {0x13, 0x13, 0x45, false}},
    {SDL_SCANCODE_INSERT, {0x2D, 0x2D, 0x52, true}},
    {SDL_SCANCODE_HOME, {0x24, 0x24, 0x47, true}},
    {SDL_SCANCODE_PAGEUP, {0x21, 0x21, 0x49, true}},
    {SDL_SCANCODE_DELETE, {0x2E, 0x2E, 0x53, true}},
    {SDL_SCANCODE_END, {0x23, 0x23, 0x4F, true}},
    {SDL_SCANCODE_PAGEDOWN, {0x22, 0x22, 0x51, true}},
    {SDL_SCANCODE_RIGHT, {0x27, 0x27, 0x4D, true}},
    {SDL_SCANCODE_LEFT, {0x25, 0x25, 0x4B, true}},
    {SDL_SCANCODE_DOWN, {0x28, 0x28, 0x50, true}},
    {SDL_SCANCODE_UP, {0x26, 0x26, 0x48, true}},
    {SDL_SCANCODE_NUMLOCKCLEAR, {0x90, 0x90, 0x45, true}},
    {SDL_SCANCODE_KP_DIVIDE, {0x6F, 0x6F, 0x35, true}},
    {SDL_SCANCODE_KP_MULTIPLY, {0x6A, 0x6A, 0x37, false}},
    {SDL_SCANCODE_KP_MINUS, {0x6D, 0x6D, 0x4A, false}},
    {SDL_SCANCODE_KP_PLUS, {0x6B, 0x6B, 0x4E, false}},
    {SDL_SCANCODE_KP_ENTER, {0x0D, 0x0D, 0x1C, true}},
    {SDL_SCANCODE_KP_1, {0x61, 0x61, 0x4F, false}},
    {SDL_SCANCODE_KP_2, {0x62, 0x62, 0x50, false}},
    {SDL_SCANCODE_KP_3, {0x63, 0x63, 0x51, false}},
    {SDL_SCANCODE_KP_4, {0x64, 0x64, 0x4B, false}},
    {SDL_SCANCODE_KP_5, {0x65, 0x65, 0x4C, false}},
    {SDL_SCANCODE_KP_6, {0x66, 0x66, 0x4D, false}},
    {SDL_SCANCODE_KP_7, {0x67, 0x67, 0x47, false}},
    {SDL_SCANCODE_KP_8, {0x68, 0x68, 0x48, false}},
    {SDL_SCANCODE_KP_9, {0x69, 0x69, 0x49, false}},
    {SDL_SCANCODE_KP_0, {0x60, 0x60, 0x52, false}},
    {SDL_SCANCODE_KP_PERIOD, {0x6E, 0x6E, 0x53, false}},
    {SDL_SCANCODE_NONUSBACKSLASH, {0xE2, 0xE2, 0x56, false}},
    {SDL_SCANCODE_APPLICATION, {0x5D, 0x5D, 0x5D, true}},
    {SDL_SCANCODE_INTERNATIONAL1, {0xC1, 0xC1, 0x73, false}}, // Ro
    {SDL_SCANCODE_INTERNATIONAL2, {0x15, 0x15, 0x70, false}}, // Katakana/Hiragana
    {SDL_SCANCODE_INTERNATIONAL3, {0xDC, 0xDC, 0x7D, false}}, // Yen
    {SDL_SCANCODE_INTERNATIONAL4, {0x1C, 0x1C, 0x79, false}}, // Henkan
    {SDL_SCANCODE_INTERNATIONAL5, {0x1D, 0x1D, 0x7B, false}}, // Muhenkan
    {SDL_SCANCODE_LCTRL, {0x11, 0xA2, 0x1D, false}},
    {SDL_SCANCODE_LSHIFT, {0x10, 0xA0, 0x2A, false}},
    {SDL_SCANCODE_LALT, {0x12, 0xA4, 0x38, false}},
    {SDL_SCANCODE_LGUI, {0x5B, 0x5B, 0x5B, true}},
    {SDL_SCANCODE_RCTRL, {0x11, 0xA3, 0x1D, true}},
    {SDL_SCANCODE_RSHIFT, {0x10, 0xA1, 0x36, false}},
    {SDL_SCANCODE_RALT, {0x12, 0xA5, 0x38, true}},
    {SDL_SCANCODE_RGUI, {0x5C, 0x5C, 0x5C, true}},
};

} // namespace

KeyMapping MapScancode(SDL_Scancode scancode)
{
    static const std::array<KeyMapping, SDL_NUM_SCANCODES> s_table = [] {
        std::array<KeyMapping, SDL_NUM_SCANCODES> table{};
        for (const Entry& entry : ENTRIES)
            table[static_cast<size_t>(entry.scancode)] = entry.mapping;
        return table;
    }();
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
        return {};
    return s_table[static_cast<size_t>(scancode)];
}

SDL_Scancode ScancodeOfVirtualKey(int virtual_key)
{
    for (const Entry& entry : ENTRIES) {
        if (entry.mapping.virtual_key == virtual_key || entry.mapping.side_key == virtual_key)
            return entry.scancode;
    }
    return SDL_SCANCODE_UNKNOWN;
}

} // namespace platform::sdl
