#include "graphics/CFadeSprite.h"

#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/LiveDrawLock.h"

CFadeSprite::CFadeSprite()
{
    ResetDrawParams();
}

CFadeSprite::~CFadeSprite()
{
    CFadeSprite::Destroy();
}

int32_t CFadeSprite::CreateRenderTargets()
{
    const SIZE screen = GetScreenOriginalSize(1);
    m_render_target = std::make_unique<CTextureLayer>();
    if (m_render_target->Create(screen.cx, screen.cy, 1, nullptr) < 0)
        return 0;
    // The picture is the render target, borrowed: the fade sprite owns it itself. Hidden,
    // opaque, unscaled at the origin, registered for drawing.
    const RECT whole{0, 0, screen.cx, screen.cy};
    CSpriteTexture::Create(m_render_target.get(), 0.0f, 0.0f, whole, FADE_SPRITE_PRIORITY, 1);
    SetScale(1.0f, 1.0f);
    return 1;
}

bool CFadeSprite::PrepareFade(int32_t colour)
{
    if (IsVisible() == 1)
        return false;
    LiveDrawLock change; // the draw pass on the app-task thread may be showing this sprite
    if (colour != -1) {
        const RECT* rect = GetRect();
        FillRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                 static_cast<uint32_t>(colour) | 0xFF000000u, 1);
    }
    SetAlpha(0);
    SetVisibleFlag(1);
    return true;
}

void CFadeSprite::PlayRecord(const SpriteAnimRecord& record)
{
    AddAnimation(record);
    CSpriteAnime anime;
    anime.AddSprite(this);
    anime.PlayAndWait();
    SetVisibleFlag(1);
}

void CFadeSprite::FadeToColor(int32_t colour, int32_t duration)
{
    if (!PrepareFade(colour))
        return;
    SpriteAnimRecord record(duration);
    record.SetAlpha(0, 255);
    PlayRecord(record);
}

void CFadeSprite::Transition(int32_t colour, int32_t value, int32_t duration)
{
    if (!PrepareFade(colour))
        return;
    SpriteAnimRecord record(duration);
    record.SetTransition(1, 0, static_cast<uint32_t>(value));
    PlayRecord(record);
}

void CFadeSprite::Destroy()
{
    LiveDrawLock change; // the draw pass on the app-task thread may be showing this sprite
    CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_REMOVE, this);
    m_texture_layer = nullptr;
    m_render_target.reset();
}
