#include "graphics/LiveDrawLock.h"

#include "graphics/CDirect3D.h"

LiveDrawLock::LiveDrawLock()
    : LiveDrawLock(CDirect3D::GetInstance()->IsLive())
{}

LiveDrawLock::LiveDrawLock(bool take)
    : m_held(take)
{
    if (m_held)
        g_draw_lock.Lock();
}

LiveDrawLock::~LiveDrawLock()
{
    if (m_held)
        g_draw_lock.Unlock();
}
