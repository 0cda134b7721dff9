#include "graphics/FrameRedraw.h"

#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteManager.h"

void RedrawFrameNow()
{
    CDirect3D* display = CDirect3D::GetInstance();
    if (!display->IsLive())
        return;
    ScopedLock lock(g_draw_lock);
    const uint32_t wanted = DISPLAY_READY | DISPLAY_ENABLED;
    if ((display->GetStatus() & wanted) != wanted)
        return;
    if (CSpriteManager* manager = display->GetSpriteManager())
        manager->SetMatrices();
    display->DrawFrame();
}
