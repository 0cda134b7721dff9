#include "screens/base/ISelect.h"

#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"

#include <memory>

CSprite* ISelect::CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority,
                               int32_t type, uint32_t)
{
    std::unique_ptr<CSprite> sprite(CreateSpriteLayer(type));
    if (sprite == nullptr)
        return nullptr;
    sprite->Create(x, y, width, height, priority);
    return sprite.release();
}
