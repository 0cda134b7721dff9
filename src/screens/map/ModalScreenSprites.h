#pragma once
// Sprite helpers of the modal map screens: a texture sprite kept only when its texture exists,
// and the shared open and close fade of a set of sprites. Main thread only.

#include <cstdint>
#include <initializer_list>
#include <memory>

class CSprite;

// Owns the sprite when it has pixels; frees it and answers null otherwise.
std::unique_ptr<CSprite> OwnedTexture(CSprite* sprite);
// One visible-and-alpha record of the steps on every sprite, played to its end: in shows them
// from alpha 0 to 255, out hides them from 255 to 0.
void FadeSprites(std::initializer_list<CSprite*> sprites, int32_t steps, bool in);
