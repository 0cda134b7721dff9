#include "screens/map/ModalScreenSprites.h"

#include "graphics/CSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"

std::unique_ptr<CSprite> OwnedTexture(CSprite* sprite)
{
    std::unique_ptr<CSprite> owned(sprite);
    if (owned && SpriteLayerOf(owned.get()) == nullptr)
        owned.reset();
    return owned;
}

void FadeSprites(std::initializer_list<CSprite*> sprites, int32_t steps, bool in)
{
    SpriteAnimRecord record(steps);
    record.SetVisible(in ? 1 : 0);
    record.SetAlpha(in ? 0x00 : 0xFF, in ? 0xFF : 0x00);
    CSpriteAnime anime;
    for (CSprite* sprite : sprites) {
        sprite->AddAnimation(record);
        anime.AddSprite(sprite);
    }
    anime.PlayAndWait();
}
