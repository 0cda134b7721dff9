#pragma once
// The title animation.
// FIXME: the least the exec commands need until the title animation is in.

#include <memory>

#include "graphics/CSprite.h"

class CTitleAnime
{
public:
    virtual ~CTitleAnime() = default;
    virtual void LoadImages() {}
    // Plays the animation once and returns at its end.
    virtual void PlayAndWait() {}
    void DeleteLayers()
    {
        m_first.reset();
        m_second.reset();
    }

    std::unique_ptr<CSprite> m_first;
    std::unique_ptr<CSprite> m_second;
};
