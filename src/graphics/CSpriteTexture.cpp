#include "graphics/CSpriteTexture.h"

#include "foundation/ScreenSettings.h"
#include "graphics/CDIB.h"
#include "graphics/CDirect3D.h"
#include "platform/d3d/SpriteBatch.h"

namespace {

constexpr float DEGREES_TO_RADIANS = 0.017453289f;

} // namespace

CSpriteTexture::CSpriteTexture()
{
    ResetDrawParams();
}

CSpriteTexture::~CSpriteTexture()
{
    CSpriteTexture::Destroy();
}

int32_t CSpriteTexture::Create(CTextureLayer* layer, float x, float y, const RECT& source, int32_t priority,
                               int32_t render_target)
{
    const int32_t width = source.right - source.left;
    const int32_t height = source.bottom - source.top;
    if (!layer) {
        DropTexture();
        m_owned_texture = std::make_unique<CTextureLayer>();
        m_owned_texture->Create(width, height, render_target, nullptr);
        layer = m_owned_texture.get();
    } else if (layer != m_texture_layer) {
        DropTexture();
    }
    m_texture_layer = layer;
    m_source = source;
    m_alpha = 255.0f;
    m_visible = 0;
    m_position = {x, y};
    m_rect = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x) + width,
                  static_cast<LONG>(y) + height};
    m_priority = priority;
    m_depth = static_cast<float>(priority) / 100.0f;
    m_unit = 1.0f;
    if (priority != -1)
        CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_ADD, this);
    return 1;
}

void CSpriteTexture::AttachTexture(CTextureLayer* layer, float x, float y, const RECT& source,
                                   int32_t priority)
{
    if (layer != m_texture_layer)
        DropTexture();
    m_texture_layer = layer;
    m_source = source;
    m_alpha = 255.0f;
    m_visible = 1;
    m_position = {x, y};
    m_depth = static_cast<float>(priority) / 100.0f;
    const int32_t width = layer ? layer->GetWidth() : 0;
    const int32_t height = layer ? layer->GetHeight() : 0;
    m_rect = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x) + width,
                  static_cast<LONG>(y) + height};
    m_priority = priority;
    m_unit = 1.0f;
}

void CSpriteTexture::SetTexture(CTextureLayer* layer)
{
    if (layer != m_texture_layer)
        DropTexture();
    m_texture_layer = layer;
    const LONG width = layer ? layer->GetWidth() : 0;
    const LONG height = layer ? layer->GetHeight() : 0;
    m_source = RECT{0, 0, width, height};
    m_rect = RECT{0, 0, width, height};
}

void CSpriteTexture::AdoptTexture(std::unique_ptr<CTextureLayer> layer)
{
    SetTexture(layer.get());
    if (layer != m_owned_texture)
        m_owned_texture = std::move(layer);
    else
        layer.release(); // already ours
}

void CSpriteTexture::SetPositionF(float x, float y)
{
    m_position = {x, y};
    const LONG width = m_rect.right - m_rect.left;
    const LONG height = m_rect.bottom - m_rect.top;
    m_rect.left = static_cast<LONG>(x);
    m_rect.top = static_cast<LONG>(y);
    m_rect.right = m_rect.left + width;
    m_rect.bottom = m_rect.top + height;
}

void CSpriteTexture::Draw(DirectX::SpriteBatch* batch)
{
    const int32_t alpha = GetAlpha();
    if (!batch || !m_texture_layer || !IsVisible() || alpha <= 0)
        return;
    m_texture_layer->Upload();
    const DirectX::XMVECTOR colour{1.0f, 1.0f, 1.0f, static_cast<float>(alpha) / 255.0f};
    // Moved so that the zoom centre stays where it is whatever the scale.
    const DirectX::XMFLOAT2 position{m_position.x - (m_zoom_center.x * m_scale.x - m_zoom_center.x),
                                     m_position.y - (m_zoom_center.y * m_scale.y - m_zoom_center.y)};
    batch->Draw(m_texture_layer->GetShaderResourceView(), position, &m_source, colour, m_rotation,
                m_rotation_origin, m_scale, DirectX::SpriteEffects_None, m_depth);
}

void CSpriteTexture::CopyFrom(CSpriteTexture* other)
{
    if (!other)
        return;
    if (other->m_texture_layer != m_texture_layer)
        DropTexture();
    m_texture_layer = other->m_texture_layer;
    m_source = other->m_source;
    m_depth = other->m_depth;
    SetPositionF(other->m_position.x, other->m_position.y);
    if (m_depth > 0)
        CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_ADD, this);
}

HRESULT CSpriteTexture::BindDrawTarget()
{
    return m_texture_layer ? m_texture_layer->BindDrawTarget() : E_FAIL;
}

void CSpriteTexture::MarkForUpload(int32_t uploaded)
{
    if (m_texture_layer)
        m_texture_layer->SetUploaded(uploaded);
}

POINT CSpriteTexture::GetPositionF()
{
    return POINT{static_cast<LONG>(m_position.x), static_cast<LONG>(m_position.y)};
}

void CSpriteTexture::SetScale(float x, float y)
{
    m_scale = {x, y};
}

void CSpriteTexture::SetZoomCenterInt(int32_t x, int32_t y)
{
    SetZoomCenter(static_cast<float>(x), static_cast<float>(y));
}

void CSpriteTexture::SetRotationOriginInt(int32_t x, int32_t y)
{
    SetRotationOrigin(static_cast<float>(x), static_cast<float>(y));
}

void CSpriteTexture::ResetDrawParams()
{
    m_rule_number = -1;
    DropTexture();
    m_snapshot.reset();
    m_scale = {1.0f, 1.0f};
    m_zoom_center = {0, 0};
    m_rotation_origin = {0, 0};
    m_position = {0, 0};
    m_rotation = 0;
    const SIZE screen = GetScreenOriginalSize(1);
    m_screen_width = screen.cx;
    m_screen_height = screen.cy;
}

void CSpriteTexture::SetRotation(float degrees)
{
    m_rotation = degrees * DEGREES_TO_RADIANS;
}

void CSpriteTexture::SetRotationOrigin(float x, float y)
{
    m_rotation_origin = {x, y};
}

void CSpriteTexture::SetZoomCenter(float x, float y)
{
    m_zoom_center = {x, y};
}

void CSpriteTexture::SetPriority(int32_t priority)
{
    CSpriteLayer::SetPriority(priority);
    m_depth = static_cast<float>(priority) / 100.0f;
}

void CSpriteTexture::SetPosition(int32_t x, int32_t y)
{
    SetPositionF(static_cast<float>(x), static_cast<float>(y));
}

POINT CSpriteTexture::GetPosition()
{
    return GetPositionF();
}

void CSpriteTexture::Destroy()
{
    CDirect3D::GetInstance()->UpdateDrawList(DRAW_LIST_REMOVE, this);
    DropTexture();
    CSpriteLayer::Destroy();
}

void CSpriteTexture::SaveSnapshot()
{
    if (!m_texture_layer)
        return;
    auto snapshot = std::make_unique<CDIB>();
    const int32_t width = m_texture_layer->GetWidth();
    const int32_t height = m_texture_layer->GetHeight();
    snapshot->Create(width, height);
    snapshot->Blt(0, 0, width, height, m_texture_layer, 0, 0, 1);
    m_snapshot = std::move(snapshot);
}

ILayer* CSpriteTexture::GetLayer()
{
    // A sprite given a software layer (AttachLayer) instead of a texture works as a sprite layer.
    return m_texture_layer ? m_texture_layer : CSpriteLayer::GetLayer();
}

void CSpriteTexture::DrawToLayer(ILayer* target)
{
    // With a texture the sprite batch draws it; only a software layer is composed here.
    if (!m_texture_layer)
        CSpriteLayer::DrawToLayer(target);
}

void CSpriteTexture::StartAnimRotate(const SpriteAnimRecord& record)
{
    m_angle_from = record.m_angle_from;
    m_angle_to = record.m_angle_to;
    SetRotationOrigin(record.m_rotation_origin_x, record.m_rotation_origin_y);
    SetRotation(static_cast<float>(m_angle_from));
    m_step_kinds |= ANIM_ROTATE;
}

void CSpriteTexture::StartAnimZoom(const SpriteAnimRecord& record)
{
    m_zoom_from_x = record.m_zoom_from_x;
    m_zoom_from_y = record.m_zoom_from_y;
    m_zoom_to_x = record.m_zoom_to_x;
    m_zoom_to_y = record.m_zoom_to_y;
    SetZoomCenter(record.m_zoom_centre_x, record.m_zoom_centre_y);
    m_step_kinds |= ANIM_ZOOM;
}

void CSpriteTexture::OnAnimStepBegin(uint32_t kinds, int32_t duration)
{
    if (kinds & ANIM_ROTATE)
        SetRotation(static_cast<float>(m_angle_from));
    if (kinds & ANIM_ZOOM)
        SetScale(m_zoom_from_x, m_zoom_from_y);
    CSpriteLayer::OnAnimStepBegin(kinds, duration);
}

void CSpriteTexture::UpdateLayerAnimation(uint32_t kinds, int32_t elapsed, int32_t duration)
{
    if (duration > 0) {
        if (kinds & ANIM_ROTATE)
            SetRotation(static_cast<float>((m_angle_to - m_angle_from) * elapsed) /
                            static_cast<float>(duration) +
                        static_cast<float>(m_angle_from));
        if (kinds & ANIM_ZOOM) {
            const float e = static_cast<float>(elapsed);
            const float d = static_cast<float>(duration);
            SetScale((m_zoom_to_x - m_zoom_from_x) * e / d + m_zoom_from_x,
                     (m_zoom_to_y - m_zoom_from_y) * e / d + m_zoom_from_y);
        }
    }
    CSpriteLayer::UpdateLayerAnimation(kinds, elapsed, duration);
}

void CSpriteTexture::OnAnimStepEnd(uint32_t kinds)
{
    if (kinds & ANIM_ROTATE)
        SetRotation(static_cast<float>(m_angle_to));
    if (kinds & ANIM_ZOOM)
        SetScale(m_zoom_to_x, m_zoom_to_y);
    CSpriteLayer::OnAnimStepEnd(kinds);
}

void CSpriteTexture::DropTexture()
{
    m_texture_layer = nullptr;
    m_owned_texture.reset();
}
