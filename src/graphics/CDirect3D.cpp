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

void CDirect3D::CaptureScreen(ILayer*) {}
