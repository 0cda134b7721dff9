#pragma once
// The waits the command groups share. Main thread only.

#include <cstdint>

class CInputView;
class GameDocument;

// The engine's usual skip inputs (OK, the extra words, Ctrl, Shift) and the requests that end a
// skippable wait (exit, system settings, title, window).
inline constexpr uint32_t SCRIPT_SKIP_FLAGS = 0x72;
inline constexpr uint32_t SCRIPT_REQUEST_MASK = 0xF;

// Waits ms milliseconds from now with the skip flags, running the event tick on each pass when
// tick is nonzero; 1 when a skip input ended it. A negative time waits nothing.
int32_t WaitFromNow(GameDocument* document, CInputView* input_view, int32_t ms, uint32_t skip_flags,
                    uint32_t request_mask, int32_t tick);
