#include "platform/user/DialogDriver.h"

#include "platform/user/DialogControls.h"
#include "platform/user/DialogManager.h"

namespace platform {

HWND FindDialogControl(HWND dialog, int id)
{
    const std::vector<HWND> found = DialogManager::GetInstance().FindControls(dialog, id);
    for (HWND control : found) {
        // Visible means visible up to the dialog: a hidden page hides its controls.
        bool shown = true;
        for (HWND at = control; at != nullptr && at != dialog; at = GetParent(at))
            shown = shown && IsWindowVisible(at);
        if (shown)
            return control;
    }
    return found.empty() ? nullptr : found.front();
}

bool DialogPressButton(HWND dialog, int id)
{
    return dialog::ClickButton(FindDialogControl(dialog, id));
}

bool DialogChooseTab(HWND dialog, int tab_id, int index)
{
    return dialog::SelectTabAsUser(FindDialogControl(dialog, tab_id), index);
}

bool DialogMoveTrackbar(HWND dialog, int trackbar_id, int position)
{
    return dialog::DragTrackbarAsUser(FindDialogControl(dialog, trackbar_id), position);
}

bool DialogStepTrackbar(HWND dialog, int trackbar_id, WORD code)
{
    return dialog::StepTrackbarAsUser(FindDialogControl(dialog, trackbar_id), code);
}

std::u16string DialogItemText(HWND dialog, int id)
{
    const HWND control = FindDialogControl(dialog, id);
    return control != nullptr ? dialog::TextOf(control) : std::u16string();
}

std::vector<HWND> OpenModalDialogs()
{
    return DialogManager::GetInstance().ModalDialogs();
}

uint16_t DialogTemplateOf(HWND dialog)
{
    const DialogRecord* record = DialogManager::GetInstance().RecordOf(dialog);
    return record != nullptr ? record->template_id : 0;
}

} // namespace platform
