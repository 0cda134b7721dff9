// Windows, classes, state changes, activation, focus, capture, pointer and keys.
#include "platform/user/WindowManager.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/ErrorApi.h"
#include "platform/res/CursorResource.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MenuLayout.h"
#include "platform/user/MenuStore.h"

namespace platform {

namespace {

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_INVALID_INDEX = 1413;

// Where Windows parks a minimised window.
constexpr RECT ICONIC_RECT = {-32000, -32000, -32000 + 160, -32000 + 28};
constexpr int DEFAULT_WIDTH = 640;
constexpr int DEFAULT_HEIGHT = 480;

// Pseudo handles of the system cursors and of the cursor resources: the number with a tag bit.
constexpr uintptr_t SYSTEM_CURSOR_TAG = 0x4000'0000;
constexpr uintptr_t RESOURCE_CURSOR_TAG = 0x2000'0000;

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int Width(const RECT& rect)
{
    return rect.right - rect.left;
}

int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

} // namespace

std::optional<SystemCursor> SystemCursorOf(HCURSOR cursor);
// The id of a cursor resource's pseudo handle (the id with a tag bit), or none.
std::optional<uint16_t> ResourceCursorIdOf(HCURSOR cursor);

WindowManager& WindowManager::GetInstance()
{
    static auto* s_manager = new WindowManager; // never destroyed: windows outlive static destruction
    return *s_manager;
}

WindowManager::WindowManager() = default;

VideoDevice* WindowManager::Device()
{
    if (!m_device_tried) {
        m_device_tried = true;
        m_device = CreateSdlVideoDevice();
    }
    return m_device.get();
}

// ---------------------------------------------------------------------------------------------
// Classes

ATOM WindowManager::RegisterClass(const WNDCLASSW& info)
{
    if (info.lpszClassName == nullptr || info.lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string name = IS_INTRESOURCE(reinterpret_cast<uintptr_t>(info.lpszClassName))
                                    ? std::u16string()
                                    : std::u16string(info.lpszClassName);
    if (name.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const ATOM atom = m_table.AddClass(name, info);
    if (atom == 0)
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return atom;
}

bool WindowManager::UnregisterClass(LPCWSTR name, HINSTANCE instance)
{
    const WindowClassRecord* record = FindClass(name);
    if (record == nullptr || (instance != nullptr && record->info.hInstance != instance)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return false;
    }
    m_table.RemoveClass(record->atom);
    return true;
}

const WindowClassRecord* WindowManager::FindClass(LPCWSTR name_or_atom) const
{
    return m_table.FindClass(name_or_atom);
}

// ---------------------------------------------------------------------------------------------
// Windows

WindowObject* WindowManager::Find(HWND window) const
{
    return m_table.Find(window);
}

bool WindowManager::IsWindow(HWND window) const
{
    return m_table.Contains(window);
}

bool WindowManager::QueryFlag(HWND window, std::atomic<bool> WindowObject::*flag) const
{
    return m_table.QueryFlag(window, flag);
}

std::vector<HWND> WindowManager::Windows() const
{
    return m_table.Handles();
}

HWND WindowManager::MainWindow() const
{
    for (HWND handle : Windows()) {
        const WindowObject* window = Find(handle);
        if (window->native != 0 && !window->destroying)
            return handle;
    }
    return nullptr;
}

WindowObject* WindowManager::FindNative(uint32_t native) const
{
    return m_table.FindNative(native);
}

WindowObject* WindowManager::TopLevelOf(WindowObject* window) const
{
    while (window != nullptr && (window->style & WS_CHILD) && window->parent != nullptr)
        window = Find(window->parent);
    return window;
}

WindowObject* WindowManager::NativeHostOf(WindowObject* window) const
{
    int guard = 0;
    while (window != nullptr && window->native == 0 && guard++ < 64)
        window = window->parent ? Find(window->parent) : Find(MainWindow());
    return window != nullptr && window->native != 0 ? window : nullptr;
}

std::vector<HWND> WindowManager::OwnedWindows(HWND owner, bool children) const
{
    std::vector<HWND> result;
    for (HWND handle : Windows()) {
        const WindowObject* window = Find(handle);
        if (window->parent == owner && ((window->style & WS_CHILD) != 0) == children)
            result.push_back(handle);
    }
    return result;
}

HWND WindowManager::CreateWindow(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x,
                                 int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                 LPVOID param)
{
    const WindowClassRecord* window_class = FindClass(class_name);
    if (window_class == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent != nullptr && Find(parent) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto object = std::make_unique<WindowObject>();
    WindowObject& window = *object;
    window.handle = m_table.NewHandle();
    window.procedure = window_class->info.lpfnWndProc;
    window.class_atom = window_class->atom;
    window.class_style = window_class->info.style;
    window.class_cursor = window_class->info.hCursor;
    window.class_icon = window_class->info.hIcon;
    window.instance = instance;
    window.style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    window.ex_style = ex_style;
    window.extra.assign(static_cast<size_t>(std::max(window_class->info.cbWndExtra, 0)), 0);
    window.text = window_name ? std::u16string(window_name) : std::u16string();
    if (style & WS_CHILD) {
        window.parent = parent;
        window.menu = menu;
    } else {
        // An owned window is owned by the top-level window of the one given.
        WindowObject* owner = TopLevelOf(Find(parent));
        window.parent = owner ? owner->handle : nullptr;
        window.menu = menu;
    }
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = DEFAULT_WIDTH;
        height = DEFAULT_HEIGHT;
    }
    window.rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    window.normal_rect = window.rect;
    window.z_order = m_table.NextZ();
    const HWND handle = window.handle;
    const bool wants_native = !(style & WS_CHILD) && window.parent == nullptr;
    m_table.Insert(std::move(object));
    if (wants_native) {
        if (VideoDevice* device = Device()) {
            Find(handle)->native = device->CreateNativeWindow(Find(handle)->text, Find(handle)->rect,
                                                              (style & WS_CAPTION) == WS_CAPTION);
            InstallIdleWait();
        }
    }

    CREATESTRUCTW create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = window_name;
    create.lpszClass = class_name;
    create.dwExStyle = ex_style;

    if (!(style & WS_CHILD)) {
        MINMAXINFO limits{};
        const RECT display = DisplayBounds(0);
        limits.ptMaxSize = {Width(display), Height(display)};
        limits.ptMaxTrackSize = {Width(display), Height(display)};
        Send(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    }
    if (IsWindow(handle) && Send(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (IsWindow(handle) && Send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    WindowObject* created = Find(handle);
    if (created == nullptr)
        return nullptr;
    SendSize(*created);
    if ((created = Find(handle)) != nullptr) {
        const POINT origin = ClientOrigin(*created);
        Send(handle, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    }
    if (Find(handle) && (style & WS_VISIBLE))
        Show(handle, SW_SHOW);
    return Find(handle) ? handle : nullptr;
}

bool WindowManager::DestroyWindow(HWND handle)
{
    WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (window->destroying)
        return true;
    window->destroying = true;
    for (HWND owned : OwnedWindows(handle, false))
        DestroyWindow(owned);
    if ((window = Find(handle)) == nullptr)
        return true;
    if (window->visible) {
        window->visible = false;
        window->style &= ~WS_VISIBLE;
        if (window->native && Device())
            Device()->Hide(window->native);
        InvalidateChrome();
    }
    if (m_pointer.Capture() == handle) {
        m_pointer.SetCapture(nullptr);
        if (Device())
            Device()->CapturePointer(false);
    }
    if (m_focus_state.Active() == handle)
        ActivateNextAfter(handle);
    if (m_focus_state.Focus() == handle)
        m_focus_state.SetFocus(nullptr);
    Send(handle, WM_DESTROY, 0, 0);
    for (HWND child : OwnedWindows(handle, true))
        DestroyWindow(child);
    Send(handle, WM_NCDESTROY, 0, 0);

    window = Find(handle);
    if (window == nullptr)
        return true;
    if (!(window->style & WS_CHILD) && window->menu != nullptr)
        MenuStore::GetInstance().Destroy(window->menu);
    if (window->system_menu != nullptr)
        MenuStore::GetInstance().Destroy(window->system_menu);
    m_timers.KillAllOf(handle);
    m_touch_inputs.CloseAllOf(handle);
    const uint32_t native = window->native;
    m_focus_state.Forget(handle);
    if (m_menu_loop.Owner() == handle)
        m_menu_loop.Cancel();
    std::unique_ptr<WindowObject> removed = m_table.Remove(handle);
    if (native != 0 && Device()) {
        Device()->DestroyNativeWindow(native);
    }
    InvalidateChrome();
    return true;
}

LRESULT WindowManager::Send(HWND handle, UINT message, WPARAM w_param, LPARAM l_param)
{
    const WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    WNDPROC procedure = window->procedure;
    return procedure(handle, message, w_param, l_param);
}

bool WindowManager::IsCloseGreyed(const WindowObject& window) const
{
    if (window.system_menu == nullptr)
        return false;
    const UINT state = ::GetMenuState(window.system_menu, SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0;
}

LRESULT WindowManager::DefaultProcedure(HWND handle, UINT message, WPARAM w_param, LPARAM l_param)
{
    WindowObject* window = Find(handle);
    if (window == nullptr)
        return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_SYSCOMMAND:
        switch (w_param & 0xFFF0) {
        case SC_CLOSE:
            // The close box and Alt+F4 do nothing while the system menu's Close item is greyed.
            if (!IsCloseGreyed(*window))
                Send(handle, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            Show(handle, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            Show(handle, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            Show(handle, SW_RESTORE);
            return 0;
        case SC_MOUSEMENU:
            TrackMenuBar(handle, {static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(l_param))),
                                  static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(l_param)))});
            return 0;
        default:
            return 0;
        }
    case WM_NCLBUTTONDOWN:
        if (w_param == HTMENU)
            Send(handle, WM_SYSCOMMAND, SC_MOUSEMENU + HTMENU, l_param);
        return 0;
    case WM_SYSKEYDOWN:
        if (w_param == static_cast<WPARAM>(VK_F4) && (l_param & (1 << 29)))
            Post(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(static_cast<uintptr_t>(l_param)) == HTCLIENT && window->class_cursor != nullptr) {
            SetCursor(window->class_cursor);
            return TRUE;
        }
        if (LOWORD(static_cast<uintptr_t>(l_param)) != HTCLIENT)
            SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
        return FALSE;
    case WM_PAINT:
        Validate(handle);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
        SetText(*window, l_param ? std::u16string(reinterpret_cast<LPCWSTR>(l_param)) : std::u16string());
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(l_param);
        if (buffer == nullptr || w_param == 0)
            return 0;
        const size_t count = std::min(window->text.size(), static_cast<size_t>(w_param) - 1);
        std::copy_n(window->text.data(), count, buffer);
        buffer[count] = 0;
        return static_cast<LRESULT>(count);
    }
    default:
        return 0;
    }
}

void WindowManager::SetText(WindowObject& window, std::u16string text)
{
    window.text = std::move(text);
    if (window.native != 0 && Device())
        Device()->SetTitle(window.native, window.text);
}

// ---------------------------------------------------------------------------------------------
// Geometry and state

RECT WindowManager::DisplayBounds(int index)
{
    if (VideoDevice* device = Device(); device != nullptr && index < device->GetDisplayCount())
        return device->GetDisplayBounds(index);
    return {0, 0, 1920, 1080};
}

int WindowManager::MenuBarHeight(const WindowObject& window) const
{
    if ((window.style & WS_CHILD) || window.menu == nullptr || !::IsMenu(window.menu))
        return 0;
    return MENU_BAR_HEIGHT;
}

RECT WindowManager::ClientRect(const WindowObject& window) const
{
    if (window.minimized)
        return {0, 0, 0, 0};
    return {0, 0, std::max(Width(window.rect), 0), std::max(Height(window.rect) - MenuBarHeight(window), 0)};
}

POINT WindowManager::ClientOrigin(const WindowObject& window) const
{
    POINT origin{window.rect.left, window.rect.top + MenuBarHeight(window)};
    if ((window.style & WS_CHILD) && window.parent != nullptr) {
        if (const WindowObject* parent = Find(window.parent)) {
            const POINT parent_origin = ClientOrigin(*parent);
            origin.x += parent_origin.x;
            origin.y += parent_origin.y;
        }
    }
    return origin;
}

void WindowManager::SendSize(WindowObject& window)
{
    const RECT client = ClientRect(window);
    const WPARAM kind = window.minimized ? SIZE_MINIMIZED : window.maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    window.invalid = true;
    InvalidateChrome();
    Send(window.handle, WM_SIZE, kind,
         MAKELPARAM(static_cast<WORD>(Width(client)), static_cast<WORD>(Height(client))));
}

RECT WindowManager::MaximizedRect(const WindowObject& window)
{
    VideoDevice* device = Device();
    if (device == nullptr || device->GetDisplayCount() == 0)
        return DisplayBounds(0);
    // A window without a caption covers its whole display, one with a caption the usable part.
    const bool caption = (window.style & WS_CAPTION) == WS_CAPTION;
    return caption ? device->GetDisplayUsableBounds(0) : device->GetDisplayBounds(0);
}

void WindowManager::ApplyNativeGeometry(WindowObject& window)
{
    VideoDevice* device = Device();
    if (window.native == 0 || device == nullptr || window.minimized)
        return;
    bool fills_display = false;
    if ((window.style & WS_CAPTION) != WS_CAPTION) {
        for (int i = 0; i < device->GetDisplayCount(); ++i)
            fills_display = fills_display || SameRect(window.rect, device->GetDisplayBounds(i));
    }
    if (fills_display) {
        // Window managers hide their panels only for a real full-screen window.
        if (!window.fullscreen) {
            device->SetGeometry(window.native, window.rect);
            device->SetFullscreenDesktop(window.native, true);
            window.fullscreen = true;
        }
        return;
    }
    if (window.fullscreen) {
        device->SetFullscreenDesktop(window.native, false);
        window.fullscreen = false;
    }
    device->SetBordered(window.native, (window.style & WS_CAPTION) == WS_CAPTION);
    device->SetGeometry(window.native, window.rect);
}

void WindowManager::MakeVisible(WindowObject& window)
{
    if (window.visible)
        return;
    const HWND handle = window.handle;
    Send(handle, WM_SHOWWINDOW, TRUE, 0);
    WindowObject* shown = Find(handle);
    if (shown == nullptr)
        return;
    shown->visible = true;
    shown->style |= WS_VISIBLE;
    shown->invalid = true;
    shown->z_order = m_table.NextZ();
    if (shown->native != 0 && Device()) {
        Device()->Show(shown->native);
    }
    InvalidateChrome();
}

void WindowManager::MakeHidden(HWND handle)
{
    WindowObject* window = Find(handle);
    if (window == nullptr || !window->visible)
        return;
    Send(handle, WM_SHOWWINDOW, FALSE, 0);
    if ((window = Find(handle)) == nullptr)
        return;
    window->visible = false;
    window->style &= ~WS_VISIBLE;
    if (window->native != 0 && Device()) {
        Device()->Hide(window->native);
    }
    InvalidateChrome();
    WindowObject* active = Find(m_focus_state.Active());
    const bool owns_active = active != nullptr && (m_focus_state.Active() == handle || active->parent == handle);
    if (owns_active)
        ActivateNextAfter(handle);
}

void WindowManager::Minimize(HWND handle, bool activate_next)
{
    WindowObject* window = Find(handle);
    if (window == nullptr)
        return;
    if (!window->minimized) {
        if (!window->maximized)
            window->normal_rect = window->rect;
        window->restore_maximized = window->maximized;
        window->minimized = true;
        window->maximized = false;
        window->style = (window->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        window->rect = ICONIC_RECT;
        if (window->native != 0 && Device()) {
            Device()->Minimize(window->native);
        }
        if (!ShowAndAnnounce(handle, *window))
            return;
    } else {
        MakeVisible(*window);
    }
    WindowObject* active = Find(m_focus_state.Active());
    if (activate_next && active != nullptr && (m_focus_state.Active() == handle || active->parent == handle))
        ActivateNextAfter(handle);
}

// Carries a new maximised or restored rectangle to the native window, then shows and tells.
bool WindowManager::PlaceAndAnnounce(HWND handle, WindowObject& window, bool was_minimized)
{
    if (window.native != 0 && Device()) {
        if (was_minimized) {
            Device()->Restore(window.native);
        }
        ApplyNativeGeometry(window);
    }
    return ShowAndAnnounce(handle, window);
}

// Shows a window whose placement changed and tells it where it now is and how big. False when a
// handler destroyed the window on the way.
bool WindowManager::ShowAndAnnounce(HWND handle, WindowObject& window)
{
    MakeVisible(window);
    WindowObject* current = Find(handle);
    if (current == nullptr)
        return false;
    const POINT origin = ClientOrigin(*current);
    Send(handle, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    if ((current = Find(handle)) == nullptr)
        return false;
    SendSize(*current);
    return true;
}

void WindowManager::Maximize(HWND handle)
{
    WindowObject* window = Find(handle);
    if (window == nullptr)
        return;
    if (!window->maximized) {
        if (!window->minimized)
            window->normal_rect = window->rect;
        const bool was_minimized = window->minimized;
        window->minimized = false;
        window->maximized = true;
        window->style = (window->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        window->rect = MaximizedRect(*window);
        if (!PlaceAndAnnounce(handle, *window, was_minimized))
            return;
    } else {
        MakeVisible(*window);
    }
    if (Find(handle))
        Activate(handle, WA_ACTIVE);
}

void WindowManager::Restore(HWND handle)
{
    WindowObject* window = Find(handle);
    if (window == nullptr)
        return;
    if (window->minimized || window->maximized) {
        const bool was_minimized = window->minimized;
        window->minimized = false;
        if (was_minimized && window->restore_maximized) {
            window->maximized = true;
            window->rect = MaximizedRect(*window);
        } else {
            window->maximized = false;
            window->rect = window->normal_rect;
        }
        window->style &= ~(WS_MINIMIZE | (window->maximized ? 0 : WS_MAXIMIZE));
        PlaceAndAnnounce(handle, *window, was_minimized);
    } else {
        MakeVisible(*window);
    }
}

bool WindowManager::Show(HWND handle, int command)
{
    WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    const bool was_visible = window->visible;
    const bool top_level = !(window->style & WS_CHILD);
    switch (command) {
    case SW_HIDE:
        MakeHidden(handle);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        Minimize(handle, true);
        break;
    case SW_SHOWMINIMIZED:
        Minimize(handle, false);
        if (Find(handle) && top_level)
            Activate(handle, WA_ACTIVE);
        break;
    case SW_MAXIMIZE:
        Maximize(handle);
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_SHOWNOACTIVATE:
        Restore(handle);
        if (Find(handle) && top_level && command != SW_SHOWNOACTIVATE)
            Activate(handle, WA_ACTIVE);
        break;
    case SW_SHOWNA:
        MakeVisible(*window);
        break;
    default: // SW_SHOW
        MakeVisible(*window);
        if (Find(handle) && top_level)
            Activate(handle, WA_ACTIVE);
        break;
    }
    return was_visible;
}

bool WindowManager::SetPosition(HWND handle, HWND insert_after, int x, int y, int width, int height,
                                UINT flags)
{
    WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (!(flags & SWP_NOZORDER)) {
        if (insert_after == HWND_TOPMOST)
            window->ex_style |= WS_EX_TOPMOST;
        else if (insert_after == HWND_NOTOPMOST)
            window->ex_style &= ~WS_EX_TOPMOST;
        if (insert_after != HWND_BOTTOM)
            window->z_order = m_table.NextZ();
    }
    const RECT old_client = ClientRect(*window);
    const POINT old_origin = ClientOrigin(*window);
    RECT& target = window->minimized ? window->normal_rect : window->rect;
    const RECT before = target;
    if (!(flags & SWP_NOMOVE)) {
        target.right = x + Width(target);
        target.bottom = y + Height(target);
        target.left = x;
        target.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        target.right = target.left + std::max(width, 0);
        target.bottom = target.top + std::max(height, 0);
    }
    if (!SameRect(before, target) || (flags & SWP_FRAMECHANGED))
        ApplyNativeGeometry(*window);
    InvalidateChrome();
    if (flags & SWP_SHOWWINDOW)
        MakeVisible(*window);
    if ((flags & SWP_HIDEWINDOW) && Find(handle))
        MakeHidden(handle);
    if ((window = Find(handle)) == nullptr)
        return true;
    const POINT new_origin = ClientOrigin(*window);
    if (new_origin.x != old_origin.x || new_origin.y != old_origin.y)
        Send(handle, WM_MOVE, 0,
             MAKELPARAM(static_cast<WORD>(new_origin.x), static_cast<WORD>(new_origin.y)));
    if ((window = Find(handle)) == nullptr)
        return true;
    const RECT new_client = ClientRect(*window);
    if (!SameRect(old_client, new_client))
        SendSize(*window);
    if ((window = Find(handle)) == nullptr)
        return true;
    if (!(flags & SWP_NOACTIVATE) && !(flags & SWP_HIDEWINDOW) && window->visible &&
        !(window->style & WS_CHILD))
        Activate(handle, WA_ACTIVE);
    return true;
}

LONG_PTR WindowManager::GetLong(HWND handle, int index, size_t size) const
{
    const WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(window->ex_style);
    case GWLP_USERDATA:
        return window->user_data;
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(window->parent);
    case GWLP_ID:
        return reinterpret_cast<LONG_PTR>(window->menu);
    default:
        break;
    }
    if (index < 0 || static_cast<size_t>(index) + size > window->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    int64_t value = 0;
    std::memcpy(&value, window->extra.data() + index, size);
    return size == 4 ? static_cast<LONG_PTR>(static_cast<int32_t>(value)) : static_cast<LONG_PTR>(value);
}

LONG_PTR WindowManager::SetLong(HWND handle, int index, LONG_PTR value, size_t size)
{
    WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const LONG_PTR previous = GetLong(handle, index, size);
    switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT change{static_cast<DWORD>(previous), static_cast<DWORD>(value)};
        Send(handle, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        if ((window = Find(handle)) == nullptr)
            return previous;
        if (index == GWL_EXSTYLE) {
            window->ex_style = change.styleNew;
        } else {
            const DWORD old_style = window->style;
            const RECT old_client = ClientRect(*window);
            window->style = change.styleNew;
            // The visible bit changes visibility without WM_SHOWWINDOW, as on Windows.
            const bool visible = (change.styleNew & WS_VISIBLE) != 0;
            if (visible != window->visible) {
                window->visible = visible;
                if (window->native != 0 && Device())
                    visible ? Device()->Show(window->native) : Device()->Hide(window->native);
            }
            if ((old_style & WS_CAPTION) != (change.styleNew & WS_CAPTION))
                ApplyNativeGeometry(*window);
            InvalidateChrome();
            (void)old_client;
        }
        Send(handle, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        return previous;
    }
    case GWLP_USERDATA:
        window->user_data = value;
        return previous;
    case GWLP_WNDPROC:
        window->procedure = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_HINSTANCE:
        window->instance = reinterpret_cast<HINSTANCE>(value);
        return previous;
    case GWLP_HWNDPARENT:
        window->parent = reinterpret_cast<HWND>(value);
        return previous;
    case GWLP_ID:
        window->menu = reinterpret_cast<HMENU>(value);
        return previous;
    default:
        break;
    }
    if (index < 0 || static_cast<size_t>(index) + size > window->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    const int64_t stored = value;
    std::memcpy(window->extra.data() + index, &stored, size);
    return previous;
}

bool WindowManager::SetMenu(HWND handle, HMENU menu)
{
    WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (window->style & WS_CHILD) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const RECT old_client = ClientRect(*window);
    const POINT old_origin = ClientOrigin(*window);
    window->menu = menu;
    InvalidateChrome();
    const POINT new_origin = ClientOrigin(*window);
    if (new_origin.x != old_origin.x || new_origin.y != old_origin.y)
        Send(handle, WM_MOVE, 0,
             MAKELPARAM(static_cast<WORD>(new_origin.x), static_cast<WORD>(new_origin.y)));
    if ((window = Find(handle)) != nullptr && !SameRect(old_client, ClientRect(*window)))
        SendSize(*window);
    return true;
}

HMENU WindowManager::GetSystemMenu(HWND handle, bool revert)
{
    WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (revert) {
        if (window->system_menu != nullptr)
            MenuStore::GetInstance().Destroy(window->system_menu);
        window->system_menu = nullptr;
        return nullptr;
    }
    if (window->system_menu == nullptr)
        window->system_menu = MenuStore::GetInstance().CreateSystemMenu();
    return window->system_menu;
}

void WindowManager::ForgetMenu(HMENU menu)
{
    m_table.ForEach([menu](WindowObject& window) {
        if (!(window.style & WS_CHILD) && window.menu == menu)
            window.menu = nullptr;
        if (window.system_menu == menu)
            window.system_menu = nullptr;
    });
    if (m_menu_loop.Menu() == menu)
        m_menu_loop.Cancel();
}

void WindowManager::Invalidate(HWND handle)
{
    if (WindowObject* window = Find(handle)) {
        window->invalid = true;
        InvalidateChrome();
    }
}

void WindowManager::Validate(HWND handle)
{
    if (WindowObject* window = Find(handle))
        window->invalid = false;
}

// ---------------------------------------------------------------------------------------------
// Activation, focus, capture

void WindowManager::Activate(HWND handle, WORD how)
{
    if (m_focus_state.Active() == handle)
        return;
    const HWND previous = m_focus_state.SetActive(handle);
    if (const WindowObject* old = Find(previous)) {
        Send(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, old->minimized ? 1 : 0),
             reinterpret_cast<LPARAM>(handle));
    }
    if (m_focus_state.Active() != handle)
        return; // the previous window's handler activated another one
    if (const WindowObject* window = Find(handle)) {
        Send(handle, WM_ACTIVATE, MAKEWPARAM(how, window->minimized ? 1 : 0),
             reinterpret_cast<LPARAM>(previous));
        if (m_focus_state.Active() == handle)
            SetFocus(handle);
    } else {
        SetFocus(nullptr);
    }
}

void WindowManager::ActivateNextAfter(HWND handle)
{
    const WindowObject* window = Find(handle);
    if (window != nullptr && window->parent != nullptr && !(window->style & WS_CHILD)) {
        const WindowObject* owner = Find(window->parent);
        if (owner != nullptr && owner->visible && !owner->minimized && owner->enabled) {
            Activate(owner->handle, WA_ACTIVE);
            return;
        }
    }
    for (HWND other : Windows()) {
        const WindowObject* candidate = Find(other);
        if (other != handle && candidate->native != 0 && candidate->visible && !candidate->minimized &&
            !candidate->destroying && candidate->enabled) {
            Activate(other, WA_ACTIVE);
            return;
        }
    }
    Activate(nullptr, WA_INACTIVE);
}

bool WindowManager::SetForeground(HWND handle)
{
    WindowObject* window = TopLevelOf(Find(handle));
    if (window == nullptr)
        return false;
    const HWND top = window->handle;
    if (WindowObject* host = NativeHostOf(window); host != nullptr && Device())
        Device()->Raise(host->native);
    if (window->native == 0)
        window->z_order = m_table.NextZ();
    Activate(top, WA_ACTIVE);
    InvalidateChrome();
    return true;
}

HWND WindowManager::SetFocus(HWND handle)
{
    const HWND previous = m_focus_state.Focus();
    if (handle != nullptr && Find(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (handle != nullptr) {
        WindowObject* top = TopLevelOf(Find(handle));
        if (top != nullptr && m_focus_state.Active() != top->handle) {
            Activate(top->handle, WA_ACTIVE);
            if (m_focus_state.Focus() == handle)
                return previous;
        }
    }
    if (previous == handle)
        return previous;
    m_focus_state.SetFocus(handle);
    if (previous != nullptr && Find(previous))
        Send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    if (handle != nullptr && m_focus_state.Focus() == handle && Find(handle))
        Send(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND WindowManager::SetCapture(HWND handle)
{
    if (handle != nullptr && Find(handle) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const HWND previous = m_pointer.SetCapture(handle);
    if (previous != nullptr && previous != handle && Find(previous))
        Send(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(handle));
    if (Device())
        Device()->CapturePointer(handle != nullptr);
    return previous;
}

bool WindowManager::ReleaseCapture()
{
    const HWND previous = m_pointer.SetCapture(nullptr);
    if (previous != nullptr) {
        if (Device())
            Device()->CapturePointer(false);
        if (Find(previous))
            Send(previous, WM_CAPTURECHANGED, 0, 0);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Pointer and keys

bool WindowManager::SetPointerPosition(int x, int y)
{
    m_pointer.SetPosition(POINT{x, y});
    if (WindowObject* host = Find(MainWindow()); host != nullptr && host->native != 0 && Device())
        Device()->WarpPointer(host->native, x - host->rect.left, y - host->rect.top);
    return true;
}

int WindowManager::ShowPointer(bool show)
{
    const int count = m_pointer.StepShowCount(show);
    if (Device())
        Device()->ShowPointer(m_pointer.IsShown());
    return count;
}

HCURSOR WindowManager::SetCursor(HCURSOR cursor)
{
    const HCURSOR previous = m_pointer.SetCursor(cursor);
    if (VideoDevice* device = Device()) {
        if (auto system = SystemCursorOf(cursor))
            device->SetCursor(*system);
        else if (auto resource = ResourceCursorIdOf(cursor))
            if (auto image = FindCursorResource(*resource))
                device->SetCustomCursor(*resource, *image);
        if ((previous == nullptr) != (cursor == nullptr))
            device->ShowPointer(m_pointer.IsShown());
    }
    return previous;
}

SHORT WindowManager::KeyState(int virtual_key, bool async) const
{
    return m_keys.Query(virtual_key, async);
}

void WindowManager::SetTextInput(bool enabled)
{
    m_text_input = enabled;
    if (Device())
        Device()->SetTextInput(enabled);
}

std::optional<SystemCursor> SystemCursorOf(HCURSOR cursor)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(cursor);
    if ((value & SYSTEM_CURSOR_TAG) == 0)
        return std::nullopt;
    switch (value & 0xFFFF) {
    case 32512:
        return SystemCursor::Arrow;
    case 32513:
        return SystemCursor::IBeam;
    case 32514:
        return SystemCursor::Wait;
    case 32515:
        return SystemCursor::Cross;
    case 32642:
        return SystemCursor::SizeNwse;
    case 32643:
        return SystemCursor::SizeNesw;
    case 32644:
        return SystemCursor::SizeWe;
    case 32645:
        return SystemCursor::SizeNs;
    case 32646:
        return SystemCursor::SizeAll;
    case 32648:
        return SystemCursor::No;
    case 32649:
        return SystemCursor::Hand;
    default:
        return std::nullopt;
    }
}

HCURSOR SystemCursorHandle(uintptr_t id)
{
    return reinterpret_cast<HCURSOR>(SYSTEM_CURSOR_TAG | id);
}

HCURSOR ResourceCursorHandle(uint16_t id)
{
    return reinterpret_cast<HCURSOR>(RESOURCE_CURSOR_TAG | id);
}

std::optional<uint16_t> ResourceCursorIdOf(HCURSOR cursor)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(cursor);
    if ((value & ~uintptr_t{0xFFFF}) != RESOURCE_CURSOR_TAG)
        return std::nullopt;
    return static_cast<uint16_t>(value & 0xFFFF);
}

// ---------------------------------------------------------------------------------------------

void WindowManager::Reset()
{
    m_menu_loop.End();
    m_box.End();
    m_canvas_window = nullptr;
    for (HWND handle : Windows()) {
        if (Find(handle))
            DestroyWindow(handle);
    }
    m_table.ClearClasses();
    m_posted.Clear();
    m_input.Clear();
    m_native.Clear();
    while (Device() && Device()->PollEvent()) {
    }
    m_timers.Clear();
    m_touch_inputs.Clear();
    m_focus_state.Reset();
    m_pointer.Reset();
    m_keys.Reset();
    m_text_input = false;
    if (Device()) {
        Device()->ShowPointer(true);
        Device()->SetTextInput(false);
    }
    MenuStore::GetInstance().Reset();
}

} // namespace platform
