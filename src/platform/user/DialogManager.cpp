#include "platform/user/DialogManager.h"

#include <algorithm>
#include <cstdio>

#include "platform/Environment.h"
#include "platform/TerminationSignals.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/res/DialogResource.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/DialogControls.h"
#include "platform/user/DialogPolicy.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/WindowManager.h"

namespace platform {

namespace {

using dialog::ControlKind;

// The layer's record follows the Windows fields (message result, procedure, user data).
constexpr int RECORD_INDEX = 24;

// Headless runs close each dialog as soon as it waits, and say so.
class HeadlessDialogPolicy final : public DialogPolicy
{
public:
    bool OnIdle(HWND dialog, uint16_t template_id) override
    {
        std::fprintf(stderr, "dialog %u closed with Cancel (headless)\n", static_cast<unsigned>(template_id));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    }
};

DialogPolicy* DefaultPolicy()
{
    static DialogPolicy* s_default = []() -> DialogPolicy* {
        if (IsNullBackend(Service::Dialogs))
            return new HeadlessDialogPolicy; // never destroyed, like the layer
        return nullptr;
    }();
    return s_default;
}

void PaintDrawnWindow(HWND window, UiCanvas& canvas, POINT origin)
{
    if (dialog::KindOf(window) == ControlKind::Dialog)
        dialog::PaintTree(window, canvas, origin);
}

int DialogUnitsX(int units)
{
    return (units * dialog::BASE_UNIT_X + 2) / 4;
}

int DialogUnitsY(int units)
{
    return (units * dialog::BASE_UNIT_Y + 4) / 8;
}

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

bool IsButtonOfType(HWND window, DWORD type)
{
    return dialog::KindOf(window) == ControlKind::Button &&
           (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & BS_TYPEMASK) == type;
}

bool IsRadio(HWND window)
{
    return IsButtonOfType(window, BS_RADIOBUTTON) || IsButtonOfType(window, BS_AUTORADIOBUTTON);
}

} // namespace

DialogManager& DialogManager::GetInstance()
{
    static auto* s_manager = new DialogManager; // never destroyed, like the window layer
    return *s_manager;
}

DialogManager::DialogManager()
{
    WindowManager::GetInstance().SetDrawnWindowPainter(&PaintDrawnWindow);
}

DialogPolicy* DialogManager::SetPolicy(DialogPolicy* policy)
{
    DialogPolicy* previous = m_policy;
    m_policy = policy;
    return previous;
}

DialogRecord* DialogManager::RecordOf(HWND window) const
{
    if (dialog::KindOf(window) != ControlKind::Dialog)
        return nullptr;
    return reinterpret_cast<DialogRecord*>(GetWindowLongPtrW(window, RECORD_INDEX));
}

void DialogManager::Forget(HWND dialog)
{
    delete RecordOf(dialog);
    SetWindowLongPtrW(dialog, RECORD_INDEX, 0);
    std::erase(m_modal, dialog);
}

bool DialogManager::IsDescendant(HWND window, HWND ancestor) const
{
    WindowManager& manager = WindowManager::GetInstance();
    for (const WindowObject* object = manager.Find(window); object != nullptr;
         object = (object->style & WS_CHILD) ? manager.Find(object->parent) : nullptr) {
        if (object->handle == ancestor)
            return true;
    }
    return false;
}

HWND DialogManager::DialogOf(HWND control) const
{
    WindowManager& manager = WindowManager::GetInstance();
    for (const WindowObject* object = manager.Find(control); object != nullptr;
         object = (object->style & WS_CHILD) ? manager.Find(object->parent) : nullptr) {
        if (RecordOf(object->handle) != nullptr)
            return object->handle;
    }
    return nullptr;
}

std::vector<HWND> DialogManager::FindControls(HWND dialog, int id) const
{
    std::vector<HWND> found;
    WindowManager& manager = WindowManager::GetInstance();
    for (HWND handle : manager.Windows()) {
        const WindowObject* object = manager.Find(handle);
        if (handle != dialog && (object->style & WS_CHILD) && IsDescendant(handle, dialog) &&
            reinterpret_cast<intptr_t>(object->menu) == id)
            found.push_back(handle);
    }
    return found;
}

HWND DialogManager::Create(uint16_t template_id, HWND parent, DLGPROC procedure, LPARAM param)
{
    const DialogTemplate* resource = FindDialogResource(template_id);
    if (resource == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    dialog::RegisterClasses();
    WindowManager& manager = WindowManager::GetInstance();
    const bool child = (resource->style & WS_CHILD) != 0;
    const bool caption = !child && (resource->style & WS_CAPTION) == WS_CAPTION;
    const int caption_height = caption ? dialog::CAPTION_HEIGHT : 0;
    const int width = DialogUnitsX(resource->cx);
    const int height = DialogUnitsY(resource->cy) + caption_height;
    int x = DialogUnitsX(resource->x);
    int y = DialogUnitsY(resource->y);
    if (!child) {
        // A top-level dialog is placed against its owner's client area (the display without one).
        const WindowObject* owner = manager.Find(parent);
        RECT area = manager.DisplayBounds(0);
        if (owner != nullptr) {
            const POINT origin = manager.ClientOrigin(*owner);
            const RECT client = manager.ClientRect(*owner);
            area = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
        }
        if (resource->style & DS_CENTER) {
            x = area.left + (area.right - area.left - width) / 2;
            y = area.top + (area.bottom - area.top - height) / 2;
        } else {
            x += area.left;
            y += area.top;
        }
    }
    const std::u16string caption_text(resource->caption);
    const HWND window =
        manager.CreateWindow(0, dialog::DIALOG_CLASS, caption_text.c_str(), resource->style & ~WS_VISIBLE, x,
                             y, width, height, parent, nullptr, nullptr, nullptr);
    if (window == nullptr)
        return nullptr;
    for (const DialogTemplateItem& item : resource->items) {
        const std::u16string class_name(item.class_name);
        const std::u16string text(item.text);
        const HWND control = manager.CreateWindow(
            0, class_name.c_str(), text.c_str(), WS_CHILD | WS_VISIBLE | item.style, DialogUnitsX(item.x),
            DialogUnitsY(item.y) + caption_height, DialogUnitsX(item.cx), DialogUnitsY(item.cy), window,
            reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), nullptr, nullptr);
        if (control == nullptr) {
            DestroyWindow(window);
            return nullptr;
        }
    }
    auto* record = new DialogRecord;
    record->procedure = procedure;
    record->template_id = template_id;
    SetWindowLongPtrW(window, RECORD_INDEX, reinterpret_cast<LONG_PTR>(record));
    const std::vector<HWND> stops = TabStops(window);
    SendMessageW(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(stops.empty() ? nullptr : stops.front()),
                 param);
    if (IsWindow(window) && (resource->style & WS_VISIBLE) && RecordOf(window) && !RecordOf(window)->ended)
        ShowWindow(window, SW_SHOW);
    return IsWindow(window) ? window : nullptr;
}

INT_PTR DialogManager::RunModal(uint16_t template_id, HWND owner, DLGPROC procedure, LPARAM param)
{
    WindowManager& manager = WindowManager::GetInstance();
    // The owner is the top-level window of the one given.
    const WindowObject* top = manager.Find(owner);
    while (top != nullptr && (top->style & WS_CHILD) && top->parent != nullptr)
        top = manager.Find(top->parent);
    const HWND owner_top = top ? top->handle : nullptr;

    const HWND window = Create(template_id, owner_top, procedure, param);
    if (window == nullptr)
        return -1;
    DialogRecord* record = RecordOf(window);
    record->modal = true;
    bool owner_disabled = false;
    if (owner_top != nullptr && IsWindowEnabled(owner_top)) {
        EnableWindow(owner_top, FALSE);
        owner_disabled = true;
    }
    m_modal.push_back(window);
    if (!record->ended)
        ShowWindow(window, SW_SHOW);

    INT_PTR result = 0;
    while ((record = RecordOf(window)) != nullptr && !record->ended) {
        // The game is ending on a signal: the dialog is cancelled instead of waiting for input.
        if (IsTerminationRequested()) {
            record->ended = true;
            record->result = IDCANCEL;
            break;
        }
        MSG message{};
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (!IsDialogMessage(window, message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            continue;
        }
        DialogPolicy* policy = m_policy ? m_policy : DefaultPolicy();
        if (policy != nullptr && policy->OnIdle(window, template_id))
            continue;
        if ((record = RecordOf(window)) == nullptr || record->ended)
            break;
        WaitMessage();
    }
    if ((record = RecordOf(window)) != nullptr)
        result = record->result;
    std::erase(m_modal, window);
    // The owner takes input again before the dialog goes, so it is the one activated next.
    if (owner_disabled && IsWindow(owner_top))
        EnableWindow(owner_top, TRUE);
    if (IsWindow(window))
        DestroyWindow(window);
    return result;
}

bool DialogManager::End(HWND window, INT_PTR result)
{
    DialogRecord* record = RecordOf(window);
    if (record == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    record->ended = true;
    record->result = result;
    if (!record->modal)
        ShowWindow(window, SW_HIDE);
    return true;
}

std::vector<HWND> DialogManager::TabStops(HWND dialog) const
{
    // Depth first in creation order: a page's controls follow the tab control that holds it.
    std::vector<HWND> stops;
    WindowManager& manager = WindowManager::GetInstance();
    const std::vector<HWND> all = manager.Windows();
    auto visit = [&](auto&& self, HWND parent) -> void {
        for (HWND handle : all) {
            const WindowObject* object = manager.Find(handle);
            if (object == nullptr || object->parent != parent || !(object->style & WS_CHILD) ||
                !object->visible)
                continue;
            if ((object->style & WS_TABSTOP) && object->enabled)
                stops.push_back(handle);
            self(self, handle);
        }
    };
    visit(visit, dialog);
    return stops;
}

void DialogManager::MoveFocus(HWND dialog, bool backwards)
{
    const std::vector<HWND> stops = TabStops(dialog);
    if (stops.empty())
        return;
    auto current = std::find(stops.begin(), stops.end(), GetFocus());
    size_t index = 0;
    if (current != stops.end()) {
        const size_t at = static_cast<size_t>(current - stops.begin());
        index = backwards ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
    } else if (backwards) {
        index = stops.size() - 1;
    }
    SetFocus(stops[index]);
}

void DialogManager::PressDefault(HWND dialog, int id)
{
    for (HWND button : FindControls(dialog, id)) {
        if (dialog::ClickButton(button))
            return;
    }
    // Without a usable button of that id the dialog still gets the command, as on Windows.
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
}

bool DialogManager::IsDialogMessage(HWND dialog, MSG& message)
{
    if (message.hwnd == nullptr || !IsDescendant(message.hwnd, dialog))
        return false;
    if (message.message == WM_KEYDOWN) {
        const HWND focus = GetFocus();
        const bool focus_inside = focus != nullptr && IsDescendant(focus, dialog);
        const ControlKind kind = focus_inside ? dialog::KindOf(focus) : ControlKind::None;
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        switch (static_cast<int>(message.wParam)) {
        case VK_RETURN:
            if (kind == ControlKind::Button && IsButtonOfType(focus, BS_PUSHBUTTON))
                dialog::ClickButton(focus);
            else
                PressDefault(dialog, IDOK);
            return true;
        case VK_ESCAPE:
            PressDefault(dialog, IDCANCEL);
            return true;
        case VK_TAB:
            MoveFocus(dialog, shift);
            return true;
        case VK_SPACE:
            if (kind == ControlKind::Button)
                dialog::ClickButton(focus);
            return true;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT: {
            const int key = static_cast<int>(message.wParam);
            const bool back = key == VK_LEFT || key == VK_UP || key == VK_PRIOR || key == VK_HOME;
            if (kind == ControlKind::Trackbar) {
                WORD code = back ? TB_LINEUP : TB_LINEDOWN;
                if (key == VK_PRIOR)
                    code = TB_PAGEUP;
                else if (key == VK_NEXT)
                    code = TB_PAGEDOWN;
                else if (key == VK_HOME)
                    code = TB_TOP;
                else if (key == VK_END)
                    code = TB_BOTTOM;
                dialog::StepTrackbarAsUser(focus, code);
            } else if (kind == ControlKind::Tab && key != VK_HOME && key != VK_END) {
                const int count = static_cast<int>(SendMessageW(focus, TCM_GETITEMCOUNT, 0, 0));
                const int current = static_cast<int>(SendMessageW(focus, TCM_GETCURSEL, 0, 0));
                const int next = current + (back ? -1 : 1);
                if (next >= 0 && next < count)
                    dialog::SelectTabAsUser(focus, next);
            } else if (IsRadio(focus)) {
                // Arrows move along the radio group and select what they reach.
                WindowManager& manager = WindowManager::GetInstance();
                const HWND parent = GetParent(focus);
                std::vector<HWND> radios;
                for (HWND handle : manager.Windows()) {
                    const WindowObject* object = manager.Find(handle);
                    if (object->parent == parent && (object->style & WS_CHILD) && object->visible &&
                        object->enabled && IsRadio(handle))
                        radios.push_back(handle);
                }
                auto at = std::find(radios.begin(), radios.end(), focus);
                if (at != radios.end() && radios.size() > 1) {
                    const size_t index = static_cast<size_t>(at - radios.begin());
                    const HWND next = radios[back ? (index + radios.size() - 1) % radios.size()
                                                  : (index + 1) % radios.size()];
                    SetFocus(next);
                    dialog::ClickButton(next);
                }
            }
            return true;
        }
        default:
            break;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

HWND DialogManager::ChildAt(HWND window, POINT client) const
{
    // The topmost (last made) visible, enabled child under the point; statics without SS_NOTIFY
    // and group boxes let clicks through, as on Windows.
    WindowManager& manager = WindowManager::GetInstance();
    const std::vector<HWND> all = manager.Windows();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        const WindowObject* object = manager.Find(*it);
        if (object == nullptr || object->parent != window || !(object->style & WS_CHILD) || !object->visible)
            continue;
        const RECT& rect = object->rect;
        if (client.x < rect.left || client.x >= rect.right || client.y < rect.top || client.y >= rect.bottom)
            continue;
        if (!object->enabled)
            return nullptr;
        const ControlKind kind = dialog::KindOf(*it);
        const bool transparent =
            (kind == ControlKind::Static && !(object->style & SS_NOTIFY)) || IsButtonOfType(*it, BS_GROUPBOX);
        if (transparent)
            continue;
        const POINT inner{client.x - rect.left, client.y - rect.top};
        const HWND deeper = ChildAt(*it, inner);
        return deeper != nullptr ? deeper : *it;
    }
    return nullptr;
}

LRESULT DialogManager::DefaultProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    WindowManager& manager = WindowManager::GetInstance();
    if (IsMouseMessage(message)) {
        // The layer hit-tests top-level windows only; a dialog hands the mouse to its controls.
        const POINT point{static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(l_param))),
                          static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(l_param)))};
        const HWND target = ChildAt(window, point);
        if (target == nullptr)
            return 0;
        const WindowObject* object = manager.Find(target);
        const WindowObject* self = manager.Find(window);
        const POINT screen{manager.ClientOrigin(*self).x + point.x, manager.ClientOrigin(*self).y + point.y};
        const POINT origin = manager.ClientOrigin(*object);
        return SendMessageW(target, message, w_param,
                            MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(screen.x - origin.x)),
                                       static_cast<WORD>(static_cast<SHORT>(screen.y - origin.y))));
    }
    switch (message) {
    case WM_CLOSE:
        PressDefault(window, IDCANCEL);
        return 0;
    case WM_SETFOCUS: {
        // The focus goes on to the control that had it, else to the first that takes it.
        DialogRecord* record = RecordOf(window);
        HWND next = record != nullptr && record->focus != nullptr && IsWindow(record->focus) &&
                            IsWindowVisible(record->focus) && IsDescendant(record->focus, window)
                        ? record->focus
                        : nullptr;
        if (next == nullptr) {
            const std::vector<HWND> stops = TabStops(window);
            if (!stops.empty())
                next = stops.front();
        }
        if (next != nullptr)
            SetFocus(next);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(w_param) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (DialogRecord* record = RecordOf(window);
                record != nullptr && focus != nullptr && focus != window && IsDescendant(focus, window))
                record->focus = focus;
        }
        return 0;
    case WM_NCDESTROY:
        Forget(window);
        return manager.DefaultProcedure(window, message, w_param, l_param);
    default:
        return manager.DefaultProcedure(window, message, w_param, l_param);
    }
}

namespace dialog {

LRESULT DialogWindowProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    DialogManager& manager = DialogManager::GetInstance();
    DialogRecord* record = manager.RecordOf(window);
    if (record != nullptr && record->procedure != nullptr) {
        const INT_PTR handled = record->procedure(window, message, w_param, l_param);
        if (!IsWindow(window))
            return handled;
        if (handled != 0) {
            switch (message) {
            case WM_INITDIALOG:
            case WM_CTLCOLORSTATIC:
                return handled;
            default:
                if (message != WM_NCDESTROY)
                    return GetWindowLongPtrW(window, DWLP_MSGRESULT);
                break;
            }
        }
    }
    return manager.DefaultProcedure(window, message, w_param, l_param);
}

} // namespace dialog

DialogPolicy* SetDialogPolicy(DialogPolicy* policy)
{
    return DialogManager::GetInstance().SetPolicy(policy);
}

} // namespace platform
