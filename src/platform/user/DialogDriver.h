#pragma once
// What a player does to the layer's dialogs, for tests and demonstrations: each call acts as a
// click, a pick or a drag would, so the dialog sees the same messages. Controls are found by id
// in the dialog and in its pages, visible ones first. Each returns false when there is no usable
// control of that kind. Main thread.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

bool DialogPressButton(HWND dialog, int id);
bool DialogChooseTab(HWND dialog, int tab_id, int index);
// Drags the thumb to the position.
bool DialogMoveTrackbar(HWND dialog, int trackbar_id, int position);
// One step of the keyboard or a click beside the thumb (TB_LINEUP ... TB_BOTTOM).
bool DialogStepTrackbar(HWND dialog, int trackbar_id, WORD code);

HWND FindDialogControl(HWND dialog, int id);
std::u16string DialogItemText(HWND dialog, int id);
// The modal dialogs running now, the innermost last, and the template a dialog was made from
// (0 for a window that is not a dialog).
std::vector<HWND> OpenModalDialogs();
uint16_t DialogTemplateOf(HWND dialog);

} // namespace platform
