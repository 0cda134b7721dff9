#pragma once
// The keyboard over WM_KEYDOWN / WM_KEYUP: one byte per virtual key. The view enables it when the
// window becomes active and clears it when the window loses activation. The hook runs on the main
// thread; the key state is atomic because the animation task polls skip keys on the app-task thread.
// A key pressed and let go before anyone asked for it (a quick tap inside one pass of a loop that
// draws every pass) is reported down once, by the next question within TAP_LIFETIME_MS.

#include <array>
#include <atomic>
#include <cstdint>

#include "foundation/IKeyboard.h"

// Scan code -> virtual key, 0 where a code has no key. Built once, before the first keyboard.
void BuildScanCodeTable();
uint8_t VirtualKeyOfScanCode(uint32_t scan_code);

class CApiKeyboard : public IKeyboard
{
public:
    CApiKeyboard();

    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
    int32_t IsKeyDown(uint32_t scan_code) override;
    void Enable() override;
    void Clear() override;

    static constexpr uint32_t TAP_LIFETIME_MS = 200;

private:
    std::array<std::atomic<uint8_t>, 256> m_keys{};    // by virtual key: 1 down
    std::array<std::atomic<uint8_t>, 256> m_unseen{};  // down, and not yet reported so
    std::array<std::atomic<uint32_t>, 256> m_tapped{}; // a tap's release time + 1, 0 none
    std::atomic<int32_t> m_enabled{0};
};
