#pragma once
// The base of every screen.
// FIXME: only the sprite factory the game cursor uses until the screen framework is in.

#include <cstdint>

class CSprite;

class ISelect
{
public:
    virtual ~ISelect() = default;

    // A new sprite of the layer type (0 memory, 1 DIB section, 2 texture) with its rectangle and
    // priority; null for an unknown type. The caller owns it. The flags are not used yet.
    static CSprite* CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority,
                                 int32_t type, uint32_t flags);
};
