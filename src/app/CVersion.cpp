#include "app/CVersion.h"

#include <vector>

#include "app/CWinApp.h"
#include "foundation/CStringUTF8.h"
#include "foundation/ConfigSettings.h"
#include "platform/gdi/FontApi.h"
#include "platform/gdi/GdiApi.h"
#include "platform/gdi/ScreenCapsApi.h"
#include "platform/kernel/ModuleApi.h"
#include "platform/res/FileVersionApi.h"
#include "platform/shell/ShellExecuteApi.h"
#include "platform/user/ControlsApi.h"

namespace {

constexpr int32_t CONTROL_TITLE = 1039;
constexpr int32_t CONTROL_VERSION = 1040;
constexpr int32_t CONTROL_LINK = 1030;
constexpr WORD CURSOR_LINK = 136;
constexpr UINT STRING_LINK_ADDRESS = 103;

} // namespace

std::u16string GetProductTitle(int32_t language, const std::u16string& game_title)
{
    // The edition names the game the player started, as its title screen does; a game without a
    // title of its own is the engine's product.
    const std::u16string name = game_title.empty() ? u"VELORAMIKA" : game_title;
    switch (language) {
    case LANGUAGE_ENGLISH:
        return name + u" English Edition";
    case LANGUAGE_SIMPLIFIED_CHINESE:
        return name + u" 简体中文版";
    case LANGUAGE_TRADITIONAL_CHINESE:
        return name + u" 繁體中文版";
    default:
        return name + u" 日本語版";
    }
}

const char16_t* GetVersionDialogTitle(int32_t language)
{
    switch (language) {
    case LANGUAGE_ENGLISH:
        return u"Version information";
    case LANGUAGE_SIMPLIFIED_CHINESE:
    case LANGUAGE_TRADITIONAL_CHINESE:
        return u"版本信息";
    default:
        return u"バージョン情報";
    }
}

std::u16string GetModuleVersionText()
{
    char16_t path[4096]{};
    if (GetModuleFileNameW(nullptr, path, 4096) == 0)
        return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return {};
    std::vector<uint8_t> block(size);
    void* value = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path, handle, size, block.data()) ||
        !VerQueryValueW(block.data(), u"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    CStringUTF8 text;
    text.Format("%d.%d.%d.%d", static_cast<int>(info->dwFileVersionMS >> 16),
                static_cast<int>(info->dwFileVersionMS & 0xFFFF),
                static_cast<int>(info->dwFileVersionLS >> 16),
                static_cast<int>(info->dwFileVersionLS & 0xFFFF));
    return text.ToWide();
}

CVersion::~CVersion()
{
    if (m_link_font != nullptr)
        DeleteObject(m_link_font);
}

BOOL CVersion::OnInitDialog()
{
    m_link_cursor = LoadCursorW(GetAppInstance(), MAKEINTRESOURCEW(CURSOR_LINK));
    if (m_link_cursor == nullptr)
        m_link_cursor = LoadCursorW(nullptr, IDC_HAND);
    const int32_t language = GetConfigLanguage();
    CWinApp* app = GetApp();
    const CStringUTF8 game_title = app != nullptr ? app->GetTitle() : CStringUTF8();
    SetDlgItemTextW(m_handle, CONTROL_TITLE, game_title.GetWideText());
    SetDlgItemTextW(m_handle, CONTROL_TITLE,
                    GetProductTitle(language, game_title.ToWide())
                        .c_str());
    SetWindowTextW(m_handle, GetVersionDialogTitle(language));
    SetDlgItemTextW(m_handle, CONTROL_VERSION, GetModuleVersionText().c_str());
    if (GetDlgItem(m_handle, CONTROL_LINK) != nullptr) {
        LOGFONTW font{};
        font.lfHeight = -12;
        font.lfUnderline = TRUE;
        font.lfCharSet = DEFAULT_CHARSET;
        m_link_font = CreateFontIndirectW(&font);
    }
    return TRUE;
}

INT_PTR CVersion::DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(w_param) == GetDlgItem(window, CONTROL_LINK) && m_link_cursor != nullptr) {
            SetCursor(m_link_cursor);
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return 1;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(l_param) == GetDlgItem(window, CONTROL_LINK)) {
            const HDC dc = reinterpret_cast<HDC>(w_param);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkMode(dc, TRANSPARENT);
            if (m_link_font != nullptr)
                SelectObject(dc, m_link_font);
            return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        }
        break;
    case WM_COMMAND:
        if (LOWORD(w_param) == CONTROL_LINK) {
            const char16_t* address = nullptr;
            const int length =
                LoadStringW(GetAppInstance(), STRING_LINK_ADDRESS, reinterpret_cast<LPWSTR>(&address), 0);
            if (length > 0 && address != nullptr) {
                const std::u16string link(address, static_cast<size_t>(length));
                ShellExecuteW(nullptr, u"open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            }
            return 1;
        }
        break;
    default:
        break;
    }
    return CApiDialog::DialogProc(window, message, w_param, l_param);
}
