#include "graphics/SpriteLayerOf.h"

#include "graphics/CSpriteLayer.h"

ILayer* SpriteLayerOf(CSprite* sprite)
{
    auto* layered = dynamic_cast<CSpriteLayer*>(sprite);
    return layered != nullptr ? layered->GetLayer() : nullptr;
}
