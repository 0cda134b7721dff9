#pragma once
// The pixel layer a sprite shows: a sprite layer's inner layer or a texture sprite's texture
// layer; null for sprites without pixels. Any thread that may touch the sprite.

class CSprite;
class ILayer;

ILayer* SpriteLayerOf(CSprite* sprite);
