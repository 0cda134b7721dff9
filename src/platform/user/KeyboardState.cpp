#include "platform/user/KeyboardState.h"

#include "platform/user/MessageApi.h"

namespace platform {

SHORT KeyboardState::Query(int virtual_key, bool async) const
{
    if (virtual_key < 0 || virtual_key > 255)
        return 0;
    const uint8_t value = m_keys[static_cast<size_t>(virtual_key)];
    uint16_t result = (value & 0x80) ? 0x8000 : 0;
    if (!async)
        result |= value & 0x01;
    return static_cast<SHORT>(result);
}

void KeyboardState::Set(uint8_t key, bool down)
{
    if (down) {
        if (!(m_keys[key] & 0x80))
            m_keys[key] ^= 0x01; // toggled on each press, as Caps Lock shows
        m_keys[key] |= 0x80;
    } else {
        m_keys[key] &= static_cast<uint8_t>(~0x80);
    }
}

void KeyboardState::UpdateKey(uint8_t virtual_key, uint8_t side_key, bool down)
{
    if (side_key == 0 || side_key == virtual_key) {
        Set(virtual_key, down);
        return;
    }
    Set(side_key, down);
    // The generic key is down while either side is.
    uint8_t left = 0;
    uint8_t right = 0;
    if (virtual_key == VK_SHIFT) {
        left = VK_LSHIFT;
        right = VK_RSHIFT;
    } else if (virtual_key == VK_CONTROL) {
        left = VK_LCONTROL;
        right = VK_RCONTROL;
    } else if (virtual_key == VK_MENU) {
        left = VK_LMENU;
        right = VK_RMENU;
    }
    const bool any = left ? ((m_keys[left] | m_keys[right]) & 0x80) != 0 : down;
    Set(virtual_key, any);
}

void KeyboardState::SetButton(int button, bool down)
{
    const uint8_t key = button == 1 ? VK_LBUTTON : button == 3 ? VK_RBUTTON : VK_MBUTTON;
    if (down)
        m_keys[key] |= 0x80;
    else
        m_keys[key] &= static_cast<uint8_t>(~0x80);
}

void KeyboardState::Reset()
{
    for (std::atomic<uint8_t>& key : m_keys)
        key = 0;
}

} // namespace platform
