#pragma once
// The sprite that covers the screen for fades.
// FIXME: the least the document needs until the fade sprite is in.

#include "graphics/CDIB.h"
#include "graphics/CSpriteLayer.h"

class CFadeSprite : public CSpriteLayer
{
public:
    // Back to no fade: hidden, opaque.
    void ResetDrawParameters()
    {
        SetVisibleFlag(0);
        SetAlpha(255);
    }
    void CreateRenderTargets() {}
};
