#pragma once
// A sprite drawn from a texture with a float position, rotation, zoom and scale.
// FIXME: only the base the container needs until the texture sprites are in; until then a
// container composes into the layer attached to it, and a texture set on the sprite is that layer.

#include "graphics/CSpriteLayer.h"
#include "graphics/CTextureLayer.h"

class CSpriteTexture : public CSpriteLayer
{
public:
    // Takes ownership of the texture; the sprite's rectangle becomes the texture's size at (0, 0).
    void SetTexture(CTextureLayer* texture) { AttachLayer(texture, 0, 0, GetPriority()); }
};
