#pragma once
// The layer's dialogs: making them from their templates, the record of each one (its dialog
// procedure, template and result), the modal loops and the default dialog behaviour. The facade
// calls of DialogApi.h are thin wrappers over it. Layer-internal; main thread only.

#include <cstdint>
#include <vector>

#include "platform/user/DialogApi.h"

namespace platform {

class DialogPolicy;

struct DialogRecord
{
    DLGPROC procedure = nullptr;
    uint16_t template_id = 0;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND focus = nullptr; // the control that had the focus when the dialog lost it
};

class DialogManager final
{
public:
    static DialogManager& GetInstance();

    HWND Create(uint16_t template_id, HWND parent, DLGPROC procedure, LPARAM param);
    INT_PTR RunModal(uint16_t template_id, HWND owner, DLGPROC procedure, LPARAM param);
    bool End(HWND dialog, INT_PTR result);

    // The record of a dialog window, null for any other window.
    DialogRecord* RecordOf(HWND window) const;
    // The modal dialogs now running, the innermost last.
    const std::vector<HWND>& ModalDialogs() const { return m_modal; }
    // The dialog a control belongs to (its nearest dialog ancestor).
    HWND DialogOf(HWND control) const;
    // Controls of the dialog and of its pages, with the given id, in creation order.
    std::vector<HWND> FindControls(HWND dialog, int id) const;

    bool IsDialogMessage(HWND dialog, MSG& message);
    LRESULT DefaultProcedure(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);

    DialogPolicy* SetPolicy(DialogPolicy* policy);

private:
    DialogManager();

    void Forget(HWND dialog);
    bool IsDescendant(HWND window, HWND ancestor) const;
    HWND ChildAt(HWND window, POINT client) const;
    std::vector<HWND> TabStops(HWND dialog) const;
    void MoveFocus(HWND dialog, bool backwards);
    void PressDefault(HWND dialog, int id);

    std::vector<HWND> m_modal;
    DialogPolicy* m_policy = nullptr;
};

} // namespace platform
