#pragma once
// The sprite command group (library 19): numbered sprites in the document's sprite-layer
// registry, their pixels, visibility, place and alpha, the animation step each sprite records,
// and numbered sprite animations that play several sprites as one. A sprite or animation number
// that is not registered, or a record step given to a sprite with no open record, is reported
// once per call and the call does nothing more. Built for one call on the main thread.

#include <cstdint>

#include "script/commands/IFunc.h"

class CSpriteAnime;
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
    void CreateSprite();
    void LoadPicture();
    void RecordStep(int32_t sub);
    void CreateAnime();

    bool m_reported = false;
};
