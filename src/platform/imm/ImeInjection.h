#pragma once
// Composition input for tests and demonstrations. The first three calls act as if the input
// method had reported the step, for the window keyboard input goes to; PushEditing sends an SDL
// editing event through SDL's own queue, as a real input method's event travels (PushText of
// platform/user/InputInjection.h commits). Main thread.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

// Offsets and the cursor count UTF-16 units; `clauses` are the boundaries from 0 to the end,
// `target_clause` the one being converted (-1: none).
void ImeCompose(const std::u16string& text, uint32_t cursor, std::vector<uint32_t> clauses = {},
                int target_clause = -1);
void ImeCommit(const std::u16string& text);
void ImeCancel();

// start and length count characters (code points), as SDL does.
bool PushEditing(HWND window, const char* utf8, int start, int length);

// Tests only: the input method closed and enabled, its modes 0, nothing composed.
void ResetInputMethod();

} // namespace platform
