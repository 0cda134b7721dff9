#include "graphics/SpriteLayerOf.h"

#include "graphics/CSpriteLayer.h"
#include "graphics/LiveDrawLock.h"

ILayer* SpriteLayerOf(CSprite* sprite)
{
    auto* layered = dynamic_cast<CSpriteLayer*>(sprite);
    return layered != nullptr ? layered->GetLayer() : nullptr;
}

void ClearSpriteLayers(std::initializer_list<CSprite*> sprites)
{
    LiveDrawLock lock;
    for (CSprite* sprite : sprites)
        if (ILayer* layer = SpriteLayerOf(sprite))
            layer->Clear();
}
