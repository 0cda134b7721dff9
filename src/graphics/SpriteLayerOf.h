#pragma once
// The pixel layer a sprite shows: a sprite layer's inner layer or a texture sprite's texture
// layer; null for sprites without pixels. Any thread that may touch the sprite.

#include <initializer_list>

class CSprite;
class ILayer;

ILayer* SpriteLayerOf(CSprite* sprite);

// Clears the pixels of each sprite's layer under the draw lock, which gives their pages back to
// the system until they are drawn into again: for screens that draw them whole on each open.
// Null sprites and sprites without pixels are passed over.
void ClearSpriteLayers(std::initializer_list<CSprite*> sprites);
