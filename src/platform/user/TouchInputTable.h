#pragma once
// The touch inputs handed to windows with WM_TOUCH, by handle, until CloseTouchInputHandle. A
// program that never closes them cannot make the table grow without end: past a limit the
// oldest goes. Main thread only.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/user/TouchApi.h"

namespace platform {

class TouchInputTable final
{
public:
    // Keeps the inputs for the window and returns their handle.
    HTOUCHINPUT Add(HWND window, std::vector<TOUCHINPUT> inputs);
    // Null when the handle is not open.
    const std::vector<TOUCHINPUT>* Find(HTOUCHINPUT input) const;
    bool Close(HTOUCHINPUT input);
    void CloseAllOf(HWND window);
    void Clear() { m_inputs.clear(); }

private:
    static constexpr size_t MAX_OPEN = 4096;

    struct Record
    {
        HWND window;
        std::vector<TOUCHINPUT> inputs;
    };
    std::unordered_map<uintptr_t, Record> m_inputs;
    uintptr_t m_next_handle = 0x3'0000;
};

} // namespace platform
