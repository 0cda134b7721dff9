#pragma once
// The key state the layer keeps for GetKeyState and GetAsyncKeyState: per virtual key, down
// (0x80) and toggled (0x01, flipped on each press, as Caps Lock shows). Written on the main
// thread as input is translated; read from any thread (the app-task thread polls keys).

#include <array>
#include <atomic>
#include <cstdint>

#include "platform/kernel/WinTypes.h"

namespace platform {

class KeyboardState final
{
public:
    bool IsDown(int virtual_key) const { return (m_keys[Index(virtual_key)] & 0x80) != 0; }
    bool IsToggled(int virtual_key) const { return (m_keys[Index(virtual_key)] & 0x01) != 0; }
    // GetKeyState's answer (0x8000 down, 0x0001 toggled); the asynchronous one leaves toggling out.
    SHORT Query(int virtual_key, bool async) const;

    // A key going down or up. With a side key (left or right Shift, Control, Alt) that side
    // changes and the generic key is down while either side is.
    void UpdateKey(uint8_t virtual_key, uint8_t side_key, bool down);
    // Mouse button 1 (left), 3 (right) or any other (middle): down or up, never toggled.
    void SetButton(int button, bool down);
    void Reset();

private:
    static size_t Index(int virtual_key) { return static_cast<size_t>(virtual_key) & 0xFF; }
    void Set(uint8_t key, bool down);

    std::array<std::atomic<uint8_t>, 256> m_keys{};
};

} // namespace platform
