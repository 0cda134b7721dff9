#pragma once
// A Windows dialog of the game, made from a compiled-in template and run by one shared dialog
// procedure that hands every message to the object's DialogProc. Modal dialogs run through
// DoModal, pages through CreateModeless. The translated labels come from the system language
// table when one is given; without one the template's own texts stay. Main thread only.

#include <cstdint>
#include <string>

#include "foundation/CWindow.h"
#include "platform/user/DialogApi.h"

class CLangTextTable;

class CApiDialog : public CWindow
{
public:
    CApiDialog(uint32_t template_id, const CLangTextTable* texts);

    virtual void OnOK(int32_t from_button);     // EndDialog(1)
    virtual void OnCancel(int32_t from_button); // EndDialog(0)
    virtual BOOL OnInitDialog() = 0;
    // Derived dialogs handle their own messages first and fall back to this one: WM_INITDIALOG
    // goes to OnInitDialog; IDOK, IDCANCEL and the system Close to OnOK and OnCancel.
    virtual INT_PTR DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

    // Runs the dialog modally over the parent; the EndDialog result, -1 when it cannot be made.
    INT_PTR DoModal(HWND parent);
    // Makes the dialog without waiting (a page when its template is a child); null on failure.
    HWND CreateModeless(HWND parent);

    uint32_t GetTemplateId() const { return m_template_id; }
    const CLangTextTable* GetTexts() const { return m_texts; }

    // The procedure given to DialogBoxParamW and CreateDialogParamW with the object as parameter:
    // WM_INITDIALOG stores the object in GWLP_USERDATA and hands it the window; every message
    // then goes to the stored object's DialogProc; 0 while there is none.
    static INT_PTR SharedDialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

protected:
    // Text n of the system table in the current language; empty without a table or a text.
    std::u16string Text(int32_t text_id) const;
    // The control's label (the dialog's title for control 0) from text n, when there is one.
    void SetItemText(int32_t control_id, int32_t text_id);

    uint32_t m_template_id;        // a 16-bit resource id
    const CLangTextTable* m_texts; // not owned: the game work's system language table
};

// The instance handle of the application, null without one.
HINSTANCE GetAppInstance();
