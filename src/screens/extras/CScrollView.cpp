#include "screens/extras/CScrollView.h"

#include <algorithm>

#include "foundation/CInputView.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"

namespace {

inline constexpr int32_t WINDOW_W = 1920;
inline constexpr int32_t WINDOW_H = 1080;
inline constexpr int32_t PICTURE_SPRITE_LAYER = 1;

} // namespace

CScrollView::CScrollView(CSpriteLayer* target, const RECT& picture)
    : Target(target)
    , PictureRect(picture)
{}

void CScrollView::ModalLoop()
{
    // Without the picture there is nothing to pan: the view ends before it shows anything.
    if (Target == nullptr || FindSpriteLayer(PICTURE_SPRITE_LAYER) == nullptr)
        return;
    ISelect::ModalLoop();
}

void CScrollView::SetCursorShape(int32_t id)
{
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetCursorShape(id);
}

void CScrollView::OnOpen()
{
    Running = 1;
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
    SetCursorShape(CURSOR_OPEN_HAND);
}

void CScrollView::OnClose()
{
    SetCursorShape(-1);
    ISelect::OnClose();
}

void CScrollView::Update()
{
    SetCursorShape(CURSOR_OPEN_HAND);
}

int32_t CScrollView::Clamp(int32_t offset) const
{
    return std::clamp(offset, 0, std::max(0, static_cast<int32_t>(PictureRect.bottom) - WINDOW_H));
}

void CScrollView::CopyWindow()
{
    CSpriteLayer* picture = FindSpriteLayer(PICTURE_SPRITE_LAYER);
    if (picture == nullptr || Target == nullptr)
        return;
    {
        LiveDrawLock lock;
        Target->Blt(0, 0, WINDOW_W, WINDOW_H, picture, OffsetX, OffsetY, 1);
        Target->Invalidate(1, *Target->GetRect());
    }
    RedrawFrameNow();
}

POINT CScrollView::PointerOnScreen()
{
    POINT position{};
    if (IMouse* mouse = InputView->GetMouse())
        mouse->GetPosition(&position);
    return CDirect3D::GetInstance()->WindowToLogical(position);
}

void CScrollView::OnDecide()
{
    POINT previous = PointerOnScreen();
    SetCursorShape(CURSOR_CLOSED_HAND);
    do {
        const POINT current = PointerOnScreen();
        if (current.x != previous.x || current.y != previous.y) {
            OffsetY = Clamp(OffsetY + static_cast<int32_t>(previous.y - current.y));
            CopyWindow();
            previous = current;
        }
    } while ((IsInputTriggered(INPUT_OK) || IsInputTriggered(INPUT_DRAG)) && PumpFrame() != 0);
    SetCursorShape(CURSOR_OPEN_HAND);
}

void CScrollView::OnMouseWheel(int32_t count)
{
    if (count == 0)
        return;
    OffsetY = Clamp(OffsetY + count);
    CopyWindow();
    if (IMouse* mouse = InputView->GetMouse())
        mouse->SetWheel(0);
}

int32_t CScrollView::OnUpKey()
{
    do {
        OffsetY = Clamp(OffsetY - 1);
        CopyWindow();
    } while (IsInputTriggered(SCAN_UP) && PumpFrame() != 0);
    return 0;
}

int32_t CScrollView::OnDownKey()
{
    do {
        OffsetY = Clamp(OffsetY + 1);
        CopyWindow();
    } while (IsInputTriggered(SCAN_DOWN) && PumpFrame() != 0);
    return 0;
}

void CScrollView::OnCancel()
{
    Running = 0;
    for (const int32_t input : CancelInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}
