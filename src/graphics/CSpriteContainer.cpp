#include "graphics/CSpriteContainer.h"

#include <algorithm>

#include "foundation/CCriticalSection.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "platform/user/RectApi.h"

namespace {

CCriticalSection& ChildListLock()
{
    // Shared by every container; never destroyed because containers may outlive static
    // destruction order.
    static auto* s_lock = new CCriticalSection(LOCK_LEVEL_CONTAINER_CHILDREN);
    return *s_lock;
}

} // namespace

void CSpriteContainer::AddSprite(CSprite* sprite)
{
    if (sprite == nullptr || sprite->GetPriority() == -1)
        return;
    {
        ScopedLock lock(ChildListLock());
        if (std::find(m_children.begin(), m_children.end(), sprite) != m_children.end())
            return;
        m_children.push_back(sprite);
        SortChildren();
    }
    // Outside the list lock: the display's list is ordered before it.
    if (auto* layer = dynamic_cast<CSpriteLayer*>(sprite))
        CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_REMOVE, layer);
}

void CSpriteContainer::SortChildren()
{
    ScopedLock lock(ChildListLock());
    std::stable_sort(m_children.begin(), m_children.end(),
                     [](CSprite* a, CSprite* b) { return a->GetPriority() < b->GetPriority(); });
}

bool CSpriteContainer::Compose()
{
    ILayer* texture = GetLayer();
    if (texture == nullptr || !IsVisible() || GetAlpha() <= 0)
        return false;
    ScopedLock lock(ChildListLock());
    RECT dirty{};
    for (CSprite* child : m_children) {
        if (child->IsLayerModified()) {
            const RECT area = child->GetDrawRect();
            RECT both;
            UnionRect(&both, &dirty, &area);
            dirty = both;
        }
    }
    if (IsRectEmpty(&dirty))
        return false;
    const RECT bounds{0, 0, texture->GetWidth(), texture->GetHeight()};
    RECT clip;
    if (!IntersectRect(&clip, &dirty, &bounds))
        return false;
    texture->SetAlphaRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, 0);
    for (CSprite* child : m_children) {
        if (auto* layer = dynamic_cast<CSpriteLayer*>(child))
            layer->DrawToLayerClipped(texture, clip);
        child->Invalidate(0, RECT{});
    }
    return true;
}
