#pragma once
// A texture sprite that composes child sprites into its own texture, in ascending priority, and
// only where a child changed. The children stay owned by their creators; the container only
// lists them and draws them instead of the display.

#include <vector>

#include "graphics/CSpriteTexture.h"

class CSpriteContainer : public CSpriteTexture
{
public:
    // Sprites of priority -1 and sprites already listed are left alone.
    void AddSprite(CSprite* sprite);
    // Stable ascending priority: equal priorities keep the order they were added in.
    void SortChildren();
    // Recomposes the texture where children are modified; true when anything was drawn. The draw
    // pass calls it before drawing the container like any texture sprite.
    bool Compose();

    const std::vector<CSprite*>& GetChildren() const { return m_children; }

private:
    std::vector<CSprite*> m_children; // not owned: their creators own them
};
