// The message window's other input: the backlog key and wheel, the window's drag and the cursor
// keys that move the pointer between its areas.

#include "screens/base/CMesWnd.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/ConfigAccess.h"
#include "foundation/ConfigSettings.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/LiveDrawLock.h"
#include "script/vm/ScriptContext.h"

namespace {

int32_t PointerY(CInputView* input)
{
    POINT position{};
    if (IMouse* mouse = input->GetMouse())
        mouse->GetPosition(&position);
    return CDirect3D::GetInstance()->WindowToLogical(position).y;
}

} // namespace

void CMesWnd::OnBackspaceKey()
{
    IMouse* mouse = InputView->GetMouse();
    // With nothing to look back on the window stays as it is, hidden plate and text included.
    const bool nothing_back = IsShown() != 0 && CountBacklogEntries() == 0;
    if (IsShown() != 0) {
        if (mouse != nullptr)
            mouse->SetWheel(0);
        if (!nothing_back)
            OpenBacklog();
    }
    if (!nothing_back)
        RestoreWindow(0);
    if (mouse != nullptr)
        mouse->SetWheel(0);
    if (!(SkipHonoured() && InputView->GetExtraInput(0) != 0))
        WaitInputRelease(SCAN_BACKSPACE);
}

void CMesWnd::OnMouseWheel(int32_t count)
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse != nullptr)
        mouse->SetWheel(0);
    if (count > 0 && CountBacklogEntries() != 0) {
        OpenBacklog();
        RestoreWindow(0);
    } else if (count < 0) {
        if (IsMenuOpen()) {
            CloseMenu();
            SetManualFlag(1);
        }
        AdvanceNow();
    }
    if (mouse != nullptr)
        mouse->SetWheel(0);
}

void CMesWnd::StartDrag()
{
    m_dragging = 1;
    m_last_pointer_y = m_drag_start_y = PointerY(InputView);
    m_window_y = ConfiguredWindowY();
}

void CMesWnd::OnDrag()
{
    if (m_dragging == 0 && !GetConfigMesWndIsMove())
        StartDrag();
}

bool CMesWnd::DragStep()
{
    if ((IsInputTriggered(INPUT_LEFT) || IsInputTriggered(INPUT_DRAG)) && !GetConfigMesWndIsMove()) {
        const int32_t pointer = PointerY(InputView);
        const int32_t moved =
            std::clamp(m_window_y + (pointer - m_last_pointer_y), MESWND_MIN_Y, MESWND_MAX_Y);
        const int32_t delta = moved - m_window_y;
        m_window_y = moved;
        {
            LiveDrawLock lock;
            if (m_window_sprite)
                m_window_sprite->SetPosition(m_window_sprite->GetPosition().x, m_window_y);
            if (m_text_area_sprite)
                m_text_area_sprite->SetPosition(0, m_window_y);
            if (CSpriteLayer* edge = GetButtonSprite(MESBUTTON_EDGE))
                edge->SetPosition(edge->GetPosition().x, m_window_y);
            if (m_prompt_sprite)
                m_prompt_sprite->SetPosition(m_prompt_sprite->GetPosition().x, m_window_y + MESWND_PROMPT_Y);
        }
        ShiftWindowAreas(delta);
        m_last_pointer_y = pointer;
        return true;
    }
    HoverId = -1;
    m_dragging = 0;
    if (m_last_pointer_y == m_drag_start_y)
        OnDecide();
    foundation::WriteConfigInt(foundation::NumberedKey(foundation::KEY_MES_WND_POS_Y, 0), m_window_y);
    return false;
}

namespace {

// The screen point the keys send the pointer to from the row.
inline constexpr POINT KEY_CENTRE{1540, 933};

void WarpToCentre()
{
    const POINT window = CDirect3D::GetInstance()->LogicalToWindow(KEY_CENTRE);
    if (IMouse* mouse = GetInputView()->GetMouse())
        mouse->SetPosition(window.x, window.y);
}

} // namespace

void CMesWnd::MoveByCursorKey(uint32_t key)
{
    const int32_t hovered = HoverId;
    if (hovered == -1) {
        MoveCursorToWindowArea(0);
        return;
    }
    if (hovered == MESWND_BODY) {
        MoveCursorToWindowArea(key == SCAN_UP ? 6 : key == SCAN_LEFT ? 5 : 4);
        return;
    }
    if ((hovered & ~0xFF) == SIDE_MENU_GROUP) {
        if (!IsMenuOpen()) {
            if (key == SCAN_DOWN)
                MoveCursorToWindowArea(MESBUTTON_EDGE);
            else
                MoveCursorToMenuArea(SIDE_MENU_GROUP);
            return;
        }
        const int32_t item = hovered & 0xFF;
        const auto at = [this](int32_t i) {
            return i >= 0 && i < SIDE_MENU_SLOTS ? ButtonMap[static_cast<size_t>(i)] : -1;
        };
        if (key == SCAN_UP) {
            if (at(item) == -1)
                MoveCursorToMenuArea(SIDE_MENU_GROUP + 1);
            else if (item > 1)
                MoveCursorToMenuArea(SIDE_MENU_GROUP + item - 1);
        } else if (key == SCAN_DOWN) {
            if (at(item) == -1)
                MoveCursorToMenuArea(SIDE_MENU_GROUP + 1);
            else if (at(item + 1) == -1)
                CloseMenu();
            else
                MoveCursorToMenuArea(SIDE_MENU_GROUP + item + 1);
        } else if (key == SCAN_LEFT) {
            CloseMenu();
        }
        return;
    }
    const int32_t item = hovered & 0xFF;
    if (key == SCAN_UP) {
        if (hovered == MESBUTTON_EDGE) {
            if (!IsMenuOpen())
                MoveCursorToMenuArea(SIDE_MENU_GROUP);
            return;
        }
        WarpToCentre();
    } else if (key == SCAN_DOWN) {
        if (item == MESBUTTON_EDGE)
            WarpToCentre();
    } else if (key == SCAN_LEFT) {
        if (item == 0)
            WarpToCentre();
        else if (item == 1)
            MoveCursorToWindowArea(0);
        else if (item >= 2 && item <= 5)
            MoveCursorToWindowArea(item - 1);
    } else if (key == SCAN_RIGHT) {
        if (item >= 0 && item <= 4)
            MoveCursorToWindowArea(item + 1);
    }
}

int32_t CMesWnd::OnCursorKey(uint32_t scan_code)
{
    if (IsShown() == 0)
        return 0;
    MoveByCursorKey(scan_code);
    Update();
    if (!(SkipHonoured() && InputView->GetExtraInput(0) != 0))
        WaitInputRelease(scan_code);
    return 0;
}
