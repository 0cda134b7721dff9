#pragma once
// A sprite drawn from a texture with a float position, rotation, zoom and scale.
// FIXME: only the base the container needs until the texture sprites are in; until then a
// container composes into the layer attached to it.

#include "graphics/CSpriteLayer.h"

class CSpriteTexture : public CSpriteLayer
{};
