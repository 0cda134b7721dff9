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
    } else if (m_given_back && *m_given_back != 0 && m_render_target &&
               m_render_target->GetWriteCount() == m_given_back_writes) {
        m_render_target->FillRect(0, 0, m_render_target->GetWidth(), m_render_target->GetHeight(),
                                  *m_given_back, 1);
    }
    m_given_back.reset();
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

void CFadeSprite::GiveBackPixels()
{
    if (IsVisible() == 1 || !m_render_target ||
        (m_given_back && m_render_target->GetWriteCount() == m_given_back_writes))
        return;
    LiveDrawLock change; // the draw pass on the app-task thread reads the sprite's layer
    const std::optional<uint32_t> held = m_render_target->UniformPixel();
    if (!held)
        return;
    // A failed texture leaves the sprite nothing to show, as at a failed start-up.
    m_render_target->Create(m_render_target->GetWidth(), m_render_target->GetHeight(), 1, nullptr);
    m_given_back = held;
    m_given_back_writes = m_render_target->GetWriteCount();
}

void CFadeSprite::Destroy()
{
    LiveDrawLock change; // the draw pass on the app-task thread may be showing this sprite
    CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_REMOVE, this);
    m_texture_layer = nullptr;
    m_render_target.reset();
    m_given_back.reset();
}
