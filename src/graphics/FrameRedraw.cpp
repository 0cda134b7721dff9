#include "graphics/FrameRedraw.h"

#include "graphics/CDirect3D.h"

void RedrawFrameNow()
{
    CDirect3D::GetInstance()->RedrawNow();
}
