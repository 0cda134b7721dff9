#include "graphics/CDirect3D.h"

#include "graphics/CSpriteManager.h"

CCriticalSection g_draw_lock;

CDirect3D* CDirect3D::GetInstance()
{
    static auto* s_instance = new CDirect3D; // never destroyed: sprites may unregister at exit
    return s_instance;
}

void CDirect3D::UpdateDrawList(int32_t, CSpriteLayer*) {}

void CDirect3D::DrawFrame() {}

int32_t CDirect3D::ApplyWindowSize(int32_t)
{
    m_display_mode = m_display_mode == DISPLAY_MODE_WINDOW ? DISPLAY_MODE_BORDERLESS : DISPLAY_MODE_WINDOW;
    return 0;
}

void CDirect3D::CaptureScreen(ILayer*) {}
