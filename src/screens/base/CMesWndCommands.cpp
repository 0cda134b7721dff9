// The message window's operations the exec commands call between messages: its text area
// emptied, the window hidden by its sprites alone, and a face from the face sheet shown or
// cleared below the window.

#include "screens/base/CMesWnd.h"

#include "graphics/CSprite.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"

namespace {

// The face sheet: 144 x 144 cells, five to a row, 43 faces.
constexpr int32_t FACE_CELL = 144;
constexpr int32_t FACE_COLUMNS = 5;
constexpr int32_t FACE_COUNT = 43;
constexpr int32_t TEXT_AREA_WIDTH = 1920;

} // namespace

void CMesWnd::ClearTextArea()
{
    if (m_text_area_sprite == nullptr)
        return;
    if (ILayer* layer = SpriteLayerOf(m_text_area_sprite.get())) {
        const RECT* rect = m_text_area_sprite->GetRect();
        const int32_t height = rect != nullptr ? rect->bottom - rect->top : 0;
        LiveDrawLock lock;
        layer->FillRect(0, 0, TEXT_AREA_WIDTH, height, 0, 1);
    }
}

void CMesWnd::HideSprites()
{
    {
        LiveDrawLock lock;
        for (CSprite* sprite : {m_text_area_sprite.get(), m_window_sprite.get()}) {
            if (sprite != nullptr)
                sprite->SetVisibleFlag(0);
        }
        for (CSprite* sprite : m_shared_sprites) {
            if (sprite != nullptr)
                sprite->SetVisibleFlag(0);
        }
    }
    ClearShown();
    RedrawFrameNow();
}

void CMesWnd::ShowFace(int32_t face)
{
    if (face >= FACE_COUNT || m_face_sprite == nullptr)
        return;
    {
        LiveDrawLock lock;
        ILayer* target = SpriteLayerOf(m_face_sprite.get());
        ILayer* sheet = SpriteLayerOf(m_face_sheet.get());
        if (target != nullptr && sheet != nullptr)
            target->Blt(0, 0, FACE_CELL, FACE_CELL, sheet, (face % FACE_COLUMNS) * FACE_CELL,
                        (face / FACE_COLUMNS) * FACE_CELL, 1);
        m_face_sprite->SetPosition(MESWND_FACE_X, m_window_y + MESWND_FACE_Y);
        if (IsShown() == 1) {
            m_face_sprite->SetVisibleFlag(1);
            m_face_sprite->SetAlpha(255);
        }
    }
    m_face_shown = 1;
    RedrawFrameNow();
}

void CMesWnd::HideFace()
{
    if (m_face_sprite == nullptr)
        return;
    {
        LiveDrawLock lock;
        if (ILayer* layer = SpriteLayerOf(m_face_sprite.get()))
            layer->FillRect(0, 0, FACE_CELL, FACE_CELL, 0, 1);
        m_face_sprite->SetVisibleFlag(0);
    }
    m_face_shown = 0;
    RedrawFrameNow();
}
