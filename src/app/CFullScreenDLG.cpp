#include "app/CFullScreenDLG.h"

#include <array>

#include "app/AppMessageBox.h"
#include "app/CDisplay.h"
#include "app/CTimeOut.h"
#include "app/CVeskView.h"
#include "foundation/ScreenSettings.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/MessageBoxApi.h"

namespace {

constexpr int32_t BUTTON_TEST = 1010;
constexpr int32_t BUTTON_DEFAULTS = 1011;
// Radio buttons of the draw modes 0 to 4 and of the change modes 0 and 1. 1003, 1004 and 1005
// are not on the page; they are set and read all the same.
constexpr std::array<int32_t, 5> DRAW_MODE_BUTTONS = {1003, 1007, 1008, 1009, 1012};
constexpr std::array<int32_t, 2> CHANGE_MODE_BUTTONS = {1004, 1005};

constexpr std::array<const char*, 5> DRAW_MODE_LINES = {
    "「ディスプレイ解像度に合わせて拡大縮小しないで表示。」\r\n",
    "「ディスプレイ解像度に合わせて表示。（相対縦横比を維持）」\r\n",
    "「ディスプレイ解像度の横幅に合わせて表示。（相対縦横比を維持）」\r\n",
    "「ディスプレイ解像度の縦幅に合わせて表示。（相対縦横比を維持）」\r\n",
    "「ディスプレイ解像度と同じ大きさで表示。（相対縦横比を無視）」\r\n",
};

CDisplay* Display()
{
    return GetView()->GetDisplay();
}

bool InFullScreen()
{
    CDisplay* display = Display();
    return display != nullptr && display->GetMode() == DISPLAY_MODE_FULL_SCREEN;
}

} // namespace

CStringUTF8 FormatFullScreenReport(int32_t change_mode, int32_t draw_mode, int32_t width, int32_t height)
{
    CStringUTF8 report;
    if (change_mode == 1)
        report.Format("■切り替え方法\r\n「フルスクリーン」\r\n■ビデオモード\r\n「%4u × %4u 32 bit（ True "
                      "Color ）」\r\n",
                      static_cast<unsigned>(width), static_cast<unsigned>(height));
    else
        report = "■切り替え方法\r\n「仮想フルスクリーン」\r\n";
    report = report + "■表示方法\r\n";
    if (draw_mode >= 0 && static_cast<size_t>(draw_mode) < DRAW_MODE_LINES.size())
        report = report + DRAW_MODE_LINES[static_cast<size_t>(draw_mode)];
    return report + "に設定しました。";
}

CFullScreenDLG::CFullScreenDLG(CApiDialog* owner, int32_t change_mode, int32_t draw_mode, SIZE full_size,
                               const CLangTextTable* texts)
    : CApiDialog(IDD_FULL_SCREEN, texts)
    , m_saved_change_mode(change_mode)
    , m_saved_draw_mode(draw_mode)
    , m_saved_width(full_size.cx)
    , m_saved_height(full_size.cy)
    , m_change_mode(change_mode)
    , m_draw_mode(draw_mode)
    , m_width(full_size.cx)
    , m_height(full_size.cy)
    , m_owner(owner)
{}

void CFullScreenDLG::CheckButtons(bool checked)
{
    const UINT state = checked ? BST_CHECKED : BST_UNCHECKED;
    if (m_change_mode >= 0 && static_cast<size_t>(m_change_mode) < CHANGE_MODE_BUTTONS.size())
        CheckDlgButton(m_handle, CHANGE_MODE_BUTTONS[static_cast<size_t>(m_change_mode)], state);
    if (m_draw_mode >= 0 && static_cast<size_t>(m_draw_mode) < DRAW_MODE_BUTTONS.size())
        CheckDlgButton(m_handle, DRAW_MODE_BUTTONS[static_cast<size_t>(m_draw_mode)], state);
}

BOOL CFullScreenDLG::OnInitDialog()
{
    m_change_mode = GetScreenChangeMode();
    m_draw_mode = GetScreenFullDrawMode();
    const SIZE size = GetScreenFullSize();
    m_width = size.cx;
    m_height = size.cy;
    CheckButtons(true);
    return TRUE;
}

INT_PTR CFullScreenDLG::DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    if (message == WM_COMMAND) {
        const int32_t id = LOWORD(w_param);
        for (size_t mode = 0; mode < DRAW_MODE_BUTTONS.size(); ++mode) {
            if (id == DRAW_MODE_BUTTONS[mode]) {
                m_draw_mode = static_cast<int32_t>(mode);
                return 1;
            }
        }
        for (size_t mode = 0; mode < CHANGE_MODE_BUTTONS.size(); ++mode) {
            if (id == CHANGE_MODE_BUTTONS[mode]) {
                m_change_mode = static_cast<int32_t>(mode);
                return 1;
            }
        }
        if (id == BUTTON_DEFAULTS) {
            Defaults();
            return 1;
        }
        if (id == BUTTON_TEST) {
            Test();
            return 1;
        }
    }
    return CApiDialog::DialogProc(window, message, w_param, l_param);
}

void CFullScreenDLG::Defaults()
{
    CheckButtons(false);
    m_change_mode = 0;
    m_draw_mode = 1;
    const SIZE base = GetScreenOriginalSize(0);
    m_width = base.cx;
    m_height = base.cy;
    CheckButtons(true);
    SetScreenFullSize(m_width, m_height);
}

void CFullScreenDLG::Test()
{
    SetScreenChangeMode(m_change_mode);
    SetScreenFullDrawMode(m_draw_mode);
    if (m_owner != nullptr)
        m_owner->Show(SW_HIDE);
    CDisplay* display = Display();
    const bool was_full_screen = InFullScreen();
    if (display != nullptr) {
        if (was_full_screen)
            display->SetWindowed(1);
        display->EnterFullScreen();
    }
    CTimeOut countdown(m_texts);
    countdown.DoModal(GetView()->GetHandle());
    // The tried values are never kept: only OK stores what the page shows.
    SetScreenFullSize(m_saved_width, m_saved_height);
    SetScreenChangeMode(m_saved_change_mode);
    SetScreenFullDrawMode(m_saved_draw_mode);
    if (display != nullptr) {
        display->SetWindowed(1);
        if (was_full_screen)
            display->EnterFullScreen();
    }
    if (m_owner != nullptr)
        m_owner->Show(SW_SHOW);
}

int32_t CFullScreenDLG::Apply()
{
    SetScreenChangeMode(m_change_mode);
    SetScreenFullDrawMode(m_draw_mode);
    const bool unchanged = m_change_mode == m_saved_change_mode && m_draw_mode == m_saved_draw_mode &&
                           m_width == m_saved_width && m_height == m_saved_height;
    if (unchanged && m_change_mode == 0)
        return 1;
    if (InFullScreen())
        Display()->SetWindowed(0);
    AppMessageBox(MB_ICONINFORMATION, FormatFullScreenReport(m_change_mode, m_draw_mode, m_width, m_height));
    return 1;
}

void CFullScreenDLG::OnCancel(int32_t)
{
    SetScreenFullSize(m_saved_width, m_saved_height);
    SetScreenChangeMode(m_saved_change_mode);
    SetScreenFullDrawMode(m_saved_draw_mode);
}
