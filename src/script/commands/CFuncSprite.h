#pragma once
// The sprite command group (library 19): numbered sprites in the document's sprite-layer
// registry, their pixels, visibility, place and alpha, the animation step each sprite records,
// and numbered sprite animations that play several sprites as one. A sprite or animation number
// that is not registered, or a record step given to a sprite with no open record, is reported
// once per call and the call does nothing more. Built for one call on the main thread.

#include <cstdint>

#include "script/commands/IFunc.h"

class CSpriteAnime;
class ILayer;
class CSpriteLayer;
struct SpriteAnimRecord;

// Animation numbers handed out by sub-function 25 lie in 0 to this.
inline constexpr int32_t SPRITE_ANIME_NUMBER_LAST = 65534;

class CFuncSprite : public IFunc
{
public:
    void Call(CScript& script) override;

private:
    CSpriteLayer* Sprite(int32_t number);
    CSpriteAnime* Anime(int32_t number);
    // The open record of the sprite, or null (reported).
    SpriteAnimRecord* Pending(int32_t number);
    void Report(const char* format, int32_t number);
    // Sub-functions 3 to 9, 29 and 30.
    void RunPixelOperation(int32_t sub);
    // The arguments of a pixel operation; value is the colour, key, opacity, alpha or copy mode.
    struct PixelCall
    {
        int32_t x = 0, y = 0, width = 0, height = 0, target = 0;
        int32_t source_x = 0, source_y = 0, source = 0;
        int32_t value = 0, mode = 0;
    };
    static void ApplyPixelOperation(int32_t sub, ILayer& layer, ILayer* source, const PixelCall& call);
    void CreateSprite();
    void LoadPicture();
    void RecordStep(int32_t sub);
    void CreateAnime();

    bool m_reported = false;
};
