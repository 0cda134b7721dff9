#pragma once
// The display's draw list and its per-frame draw pass. Created and owned by CDirect3D.
// FIXME: only what the sprite and animation code call so far; the draw pass is still to come.

class CSpriteManager
{
public:
    virtual ~CSpriteManager() = default;
    // Rebuilds the transform from the display's scale factors before a frame is drawn.
    virtual void SetMatrices();
};
