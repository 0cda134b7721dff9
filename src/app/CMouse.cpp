#include "app/CMouse.h"

#include "app/CVeskView.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/IMouse.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/EffectClock.h"
#include "graphics/LiveDrawLock.h"
#include "screens/base/ISelect.h"

#include <new>

namespace {

CMouse* g_mouse = nullptr; // owned here: made by GetMouse, freed by DeleteMouse

int32_t HotSpot(int32_t mode)
{
    if (mode == 0)
        return 1;
    if (mode == 1)
        return 27;
    return 32;
}

ILayer* LayerOf(CSprite* sprite)
{
    auto* layered = dynamic_cast<CSpriteLayer*>(sprite);
    return layered != nullptr ? layered->GetLayer() : nullptr;
}

} // namespace

CMouse* GetMouse()
{
    if (g_mouse == nullptr) {
        g_mouse = new (std::nothrow) CMouse;
        if (g_mouse == nullptr)
            throw CExecException("Failed to create the Mouse Object");
    }
    return g_mouse;
}

namespace {

// Installed before main, so the screens that switch the cursor first still get it made.
const bool g_source_installed = (SetGameCursorSource([]() -> GameCursor* { return GetMouse(); }), true);

} // namespace

void DeleteMouse()
{
    delete g_mouse;
    g_mouse = nullptr;
}

CMouse::CMouse()
    : IAppTask(15)
{}

CMouse::~CMouse()
{
    Release();
}

void CMouse::Setup()
{
    m_input_view = GetInputView();
    m_sprite = CreateSpriteOfType(0, 0, CURSOR_CELL, CURSOR_CELL, CURSOR_PRIORITY, LAYER_KIND_TEXTURE);
    if (CLayerFile* file = GetDocumentLayerFile())
        m_image.reset(file->LoadSprite("cursor.akb", nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    AddToTasks();
}

void CMouse::Release()
{
    if (m_sprite == nullptr)
        return;
    RemoveFromTasks();
    GetView()->GetHookList().Remove(this);
    m_sprite.reset();
    m_image.reset();
}

void CMouse::AddToTasks()
{
    if (CAppTask* tasks = GetAppTask())
        tasks->AddTask(this);
}

void CMouse::RemoveFromTasks()
{
    if (CAppTask* tasks = GetAppTask())
        tasks->RemoveTask(this);
}

void CMouse::ShowSystemCursor(bool show)
{
    IMouse* mouse = m_input_view != nullptr ? m_input_view->GetMouse() : nullptr;
    if (mouse == nullptr)
        return;
    if ((mouse->IsCursorShown() != 0) != show)
        mouse->ShowCursor(show ? TRUE : FALSE);
}

POINT CMouse::ToScreen()
{
    POINT client{0, 0};
    IMouse* mouse = m_input_view != nullptr ? m_input_view->GetMouse() : nullptr;
    if (mouse != nullptr)
        mouse->GetPosition(&client);
    CDirect3D* display = CDirect3D::GetInstance();
    const POINT offset = display->GetOutputOffset();
    return POINT{static_cast<LONG>((client.x - offset.x) * display->GetScaleX() + 0.5f),
                 static_cast<LONG>((client.y - offset.y) * display->GetScaleY() + 0.5f)};
}

int32_t CMouse::IsInsideScreen()
{
    const POINT point = ToScreen();
    // The picture is the logical screen, turned when the display is. Its right edge is the
    // picture's width: a bound 60 pixels further out would leave the game cursor drawn, cut,
    // while the pointer is off the picture.
    const SIZE screen = GetScreenOriginalSize(1);
    if (point.x >= 0 && point.x < screen.cx && point.y >= 0 && point.y < screen.cy)
        return 1;
    if (m_sprite != nullptr && m_sprite->IsVisible())
        m_sprite->Hide();
    ShowSystemCursor(true);
    return 0;
}

void CMouse::UpdateCursorPosition()
{
    if (m_sprite == nullptr)
        return;
    const POINT point = ToScreen();
    const int32_t hot_spot = HotSpot(m_mode);
    // A screen turning the cursor on from the main thread races the draw of a task already
    // running on the app-task thread, which reads the position.
    LiveDrawLock draw;
    m_sprite->SetPosition(point.x - hot_spot, point.y - hot_spot);
}

void CMouse::Execute()
{
    if (m_mode == -1)
        return;
    UpdateCursorPosition();
    const uint32_t now = GetEffectTime();
    // Compared through the difference so the animation goes on across the clock's wrap.
    if (static_cast<int32_t>(now - m_next_frame_time) < 0)
        return;
    m_next_frame_time = now + CURSOR_FRAME_MS;
    m_frame = 1 - m_frame;
    ILayer* target = LayerOf(m_sprite.get());
    ILayer* sheet = LayerOf(m_image.get());
    if (target != nullptr && sheet != nullptr)
        target->Blt(0, 0, CURSOR_CELL, CURSOR_CELL, sheet, m_frame * CURSOR_CELL, m_mode * CURSOR_CELL, 1);
    RequestRedraw();
}

void CMouse::SetCursorMode(int32_t mode)
{
    if (mode == m_mode)
        return;
    RemoveFromTasks();
    m_mode = mode;
    m_frame = 1;
    m_next_frame_time = GetEffectTime();
    if (mode == 0) {
        HideGameCursor();
        return;
    }
    if (!m_on) {
        GetView()->GetHookList().Add(this);
        ShowSystemCursor(false);
        UpdateCursorPosition();
        m_on = 1;
        if (mode == -1) {
            SetCursorMode(0);
        } else if (m_sprite != nullptr) {
            m_sprite->Show();
        }
        IsInsideScreen();
    }
    if (m_mode != -1)
        AddToTasks();
}

void CMouse::TurnOn()
{
    if (m_on)
        return;
    GetView()->GetHookList().Add(this);
    ShowSystemCursor(false);
    UpdateCursorPosition();
    m_on = 1;
    if (m_mode == -1) {
        SetCursorMode(0);
    } else if (m_sprite != nullptr) {
        m_sprite->Show();
    }
    IsInsideScreen();
}

void CMouse::HideGameCursor()
{
    if (m_on) {
        ShowSystemCursor(true);
        if (m_sprite != nullptr)
            m_sprite->Hide();
        m_on = 0;
        GetView()->GetHookList().Remove(this);
    }
    m_mode = -1;
}

uint32_t CMouse::GetQuietTime(uint32_t now)
{
    // The task follows the pointer every run for a while after a move: the move's message may
    // reach the hook before the position the task reads has changed.
    constexpr uint32_t FOLLOW_MS = 100;
    // Without a game cursor a run does nothing; a mode that shows one adds the task again, which
    // wakes the runner.
    if (m_mode == -1)
        return INFINITE;
    if (now - m_last_move_time.load() < FOLLOW_MS)
        return 0;
    const int32_t left = static_cast<int32_t>(m_next_frame_time - now);
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}

int32_t CMouse::HookProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) {
        m_last_move_time = GetEffectTime();
        if (CAppTask* runner = GetAppTask())
            runner->Wake();
    }
    CPopUpMenu* popup = GetView()->GetPopupMenu();
    if (popup != nullptr && popup->IsVisible()) {
        if (m_sprite != nullptr && m_sprite->IsVisible())
            m_sprite->Hide();
        ShowSystemCursor(true);
        return 0;
    }
    if (message == WM_NCMOUSEMOVE) {
        IsInsideScreen();
    } else if (message == WM_MOUSEMOVE && m_on) {
        // A move inside the client area can still be over the letterbox band beside the picture:
        // only a move over the picture brings the sprite back.
        if (IsInsideScreen() && m_sprite != nullptr && !m_sprite->IsVisible()) {
            m_sprite->Show();
            ShowSystemCursor(false);
        }
    }
    return 0;
}
