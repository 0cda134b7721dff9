#include "app/CWindowModeDLG.h"

#include "app/CDisplay.h"
#include "app/CFullScreenDLG.h"
#include "app/CVeskView.h"
#include "app/CWindowSizeDLG.h"
#include "foundation/ScreenSettings.h"
#include "platform/gdi/FontApi.h"
#include "platform/gdi/TextOutApi.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/MessageBoxApi.h"

namespace {

constexpr int32_t CONTROL_TAB = 1001;
constexpr int32_t BUTTON_DEFAULTS = 1011;
constexpr int32_t BUTTON_EXTRA = 1013; // moved with the defaults button; not in the template
constexpr int32_t PAGE_FULL_SCREEN = 0;
constexpr int32_t PAGE_WINDOW_SIZE = 1;

bool InFullScreen()
{
    CDisplay* display = GetView()->GetDisplay();
    return display != nullptr && display->GetMode() == DISPLAY_MODE_FULL_SCREEN;
}

// Moves a control of the dialog by (dx, dy) and grows it by (dw, dh).
void ShiftControl(HWND dialog, int32_t id, int32_t dx, int32_t dy, int32_t dw, int32_t dh)
{
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr)
        return;
    CWindow wrapped(control);
    RECT rect{};
    wrapped.GetWindowRect(&rect);
    POINT corner{rect.left, rect.top};
    ScreenToClient(dialog, &corner);
    wrapped.SetWindowPos(nullptr, corner.x + dx, corner.y + dy, rect.right - rect.left + dw,
                         rect.bottom - rect.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

CWindowModeDLG::CWindowModeDLG(const CLangTextTable* texts)
    : CApiDialog(IDD_WINDOW_MODE, texts)
{}

CWindowModeDLG::~CWindowModeDLG() = default;

BOOL CWindowModeDLG::OnInitDialog()
{
    CWindow::GetClientRect(&m_client);
    SetItemText(0, 25);
    m_tab.Attach(GetDlgItem(m_handle, CONTROL_TAB));
    const std::u16string full_screen_label = Text(257);
    const std::u16string window_size_label = Text(25);
    m_tab.InsertItem(PAGE_FULL_SCREEN,
                     full_screen_label.empty() ? u"フルスクリーン" : full_screen_label.c_str());
    m_tab.InsertItem(PAGE_WINDOW_SIZE,
                     window_size_label.empty() ? u"ウィンドウ設定" : window_size_label.c_str());

    m_full_screen = std::make_unique<CFullScreenDLG>(this, GetScreenChangeMode(), GetScreenFullDrawMode(),
                                                     GetScreenFullSize(), m_texts);
    m_full_screen->CreateModeless(m_tab.GetHandle());
    m_tab.AddPage(m_full_screen.get());
    m_window_size = std::make_unique<CWindowSizeDLG>(GetScreenWindowSize(), m_texts);
    m_window_size->CreateModeless(m_tab.GetHandle());
    m_tab.AddPage(m_window_size.get());

    // The tab control grows (or shrinks) until its display area holds a page; the dialog with it.
    RECT page{};
    m_full_screen->GetWindowRect(&page);
    RECT needed{0, 0, page.right - page.left, page.bottom - page.top};
    SendMessageW(m_tab.GetHandle(), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&needed));
    RECT tab{};
    m_tab.GetWindowRect(&tab);
    const int32_t dw = (needed.right - needed.left) - (tab.right - tab.left);
    const int32_t dh = (needed.bottom - needed.top) - (tab.bottom - tab.top);
    RECT frame{};
    GetWindowRect(&frame);
    const int32_t width = frame.right - frame.left + dw;
    const int32_t height = frame.bottom - frame.top + dh;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_tab.PlacePages();

    // Centred in the parent's client area.
    const HWND parent = ::GetParent(m_handle);
    if (parent != nullptr) {
        RECT client{};
        ::GetClientRect(parent, &client);
        POINT origin{0, 0};
        ::ClientToScreen(parent, &origin);
        SetWindowPos(nullptr, origin.x + (client.right - width) / 2, origin.y + (client.bottom - height) / 2,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_tab.SetCurSel(PAGE_FULL_SCREEN);
    m_tab.ShowPage(PAGE_FULL_SCREEN);
    SetItemText(BUTTON_DEFAULTS, 24);
    SetItemText(IDOK, 30);
    SetItemText(IDCANCEL, 31);
    return TRUE;
}

INT_PTR CWindowModeDLG::DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(l_param);
        if (header != nullptr && header->idFrom == CONTROL_TAB && header->code == TCN_SELCHANGE) {
            OnTabChange();
            return 1;
        }
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l_param);
        if (item != nullptr && item->CtlType == ODT_TAB && item->CtlID == CONTROL_TAB) {
            DrawTabLabel(*item);
            return 1;
        }
        break;
    }
    case WM_SIZE:
        OnSize(LOWORD(static_cast<uintptr_t>(l_param)), HIWORD(static_cast<uintptr_t>(l_param)));
        return 0;
    case WM_COMMAND:
        if (LOWORD(w_param) == BUTTON_DEFAULTS) {
            OnDefaults();
            return 1;
        }
        break;
    default:
        break;
    }
    return CApiDialog::DialogProc(window, message, w_param, l_param);
}

void CWindowModeDLG::OnTabChange()
{
    const int32_t selected = m_tab.GetCurSel();
    // The window size means nothing in full screen: the tab goes back to the first page.
    if (selected == PAGE_WINDOW_SIZE && InFullScreen()) {
        m_tab.SetCurSel(PAGE_FULL_SCREEN);
        return;
    }
    m_tab.ShowPage(selected);
}

void CWindowModeDLG::DrawTabLabel(const DRAWITEMSTRUCT& item)
{
    const std::u16string label = m_tab.GetItemText(static_cast<int32_t>(item.itemID));
    const bool grey = item.itemID == PAGE_WINDOW_SIZE && InFullScreen();
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(grey ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    TextOutW(item.hDC, item.rcItem.left + 4, item.rcItem.top + 4, label.c_str(),
             static_cast<int>(label.size()));
}

void CWindowModeDLG::OnSize(int32_t width, int32_t height)
{
    const int32_t dw = width - (m_client.right - m_client.left);
    const int32_t dh = height - (m_client.bottom - m_client.top);
    if (m_client.right == 0 || (dw == 0 && dh == 0))
        return;
    m_client = RECT{0, 0, width, height};
    ShiftControl(m_handle, BUTTON_DEFAULTS, 0, dh, 0, 0);
    ShiftControl(m_handle, BUTTON_EXTRA, 0, dh, 0, 0);
    ShiftControl(m_handle, IDOK, dw, dh, 0, 0);
    ShiftControl(m_handle, IDCANCEL, dw, dh, 0, 0);
    ShiftControl(m_handle, CONTROL_TAB, 0, 0, dw, dh);
    m_tab.PlacePages();
}

void CWindowModeDLG::OnDefaults()
{
    CDisplay* display = GetView()->GetDisplay();
    const bool was_full_screen = InFullScreen();
    if (was_full_screen)
        display->SetWindowed(1);
    m_full_screen->Defaults();
    m_window_size->Defaults();
    if (was_full_screen)
        display->EnterFullScreen();
}

void CWindowModeDLG::OnOK(int32_t)
{
    m_full_screen->Apply();
    m_window_size->OnOK(1);
    EndDialog(m_handle, 1);
}

void CWindowModeDLG::OnCancel(int32_t)
{
    m_full_screen->OnCancel(1);
    m_window_size->OnCancel(1);
    EndDialog(m_handle, 0);
}
