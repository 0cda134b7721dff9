#pragma once
// A memory sprite holding a generated picture, for stages that draw without a game folder.

#include <cstring>
#include <memory>

#include "akbwriter/AkbWriter.h"
#include "graphics/CSpriteLayer.h"

inline std::unique_ptr<CSprite> SpriteOfPicture(const tools::AkbPicture& picture)
{
    auto sprite = std::make_unique<CSpriteLayer>();
    sprite->Create(0, 0, picture.width, picture.height, -1);
    for (int32_t y = 0; y < picture.height; ++y)
        std::memcpy(sprite->GetBits() + sprite->GetPixelOffset(0, y),
                    &picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width)],
                    static_cast<size_t>(picture.width) * 4);
    return sprite;
}
