#pragma once
// The full-screen sprite that covers the picture during screen fades: a texture sprite over a
// render-target texture layer of the base screen size, which it owns. The document makes one at
// start-up and keeps it for the whole run; it stays hidden until the first fade. Main thread only.

#include <cstdint>
#include <memory>
#include <optional>

#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"

// The fade sprite's draw priority: above the screens' pictures.
inline constexpr int32_t FADE_SPRITE_PRIORITY = 15;

class CFadeSprite : public CSpriteTexture
{
public:
    CFadeSprite();
    ~CFadeSprite() override;

    // Makes the render target, shows it full screen (hidden, opaque) and registers the sprite for
    // drawing. 1 on success; 0 when the texture cannot be made (the render target stays attached
    // until Destroy).
    int32_t CreateRenderTargets();
    // Fills the screen rectangle with the opaque colour (kept as it is for -1) and fades the
    // sprite in over `duration` task ticks, waiting for it; a skip input ends the fade at once.
    // Nothing happens while the sprite is already shown.
    void FadeToColor(int32_t colour, int32_t duration);
    // As FadeToColor, but the sprite appears through a rule transition with the given rule.
    void Transition(int32_t colour, int32_t value, int32_t duration);

    // Hidden after a reveal, the sprite shows nothing until the next fade fills it, or shows
    // again what it held (-1). When it holds one pixel value all over, that value is kept and
    // the render target made anew, untouched, so that its pixels go back to the system; a fade
    // of -1 fills it with the value again. A sprite holding anything else keeps its pixels.
    void GiveBackPixels();

    void Destroy() override;

    CTextureLayer* GetRenderTarget() const { return m_render_target.get(); }

private:
    // Steps shared by the fades: false when the sprite is already shown.
    bool PrepareFade(int32_t colour);
    void PlayRecord(const SpriteAnimRecord& record);

    std::unique_ptr<CTextureLayer> m_render_target;
    // What the render target held all over when it was made anew, and its write count then:
    // while nothing has written since, a fade of -1 fills it with that value again.
    std::optional<uint32_t> m_given_back;
    uint64_t m_given_back_writes = 0;
};
