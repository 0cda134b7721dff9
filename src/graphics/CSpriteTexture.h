#pragma once
// A sprite drawn from a texture layer by the sprite batch, with a float position, a rotation
// about an origin and a zoom about a centre. The texture layer is owned when the sprite made it,
// else borrowed from its owner. Screens own their texture sprites; the draw pass reads them under
// the global draw lock.

#include <cstdint>
#include <memory>

#include "graphics/CSpriteLayer.h"
#include "graphics/CTextureLayer.h"
#include "platform/d3d/DirectXMath.h"

namespace DirectX {
class SpriteBatch;
}

class CSpriteTexture : public CSpriteLayer
{
public:
    CSpriteTexture();
    ~CSpriteTexture() override;

    using CSpriteLayer::Create;
    // Without a layer, makes an owned one of the source rectangle's size; hidden; registered with
    // the display unless the priority is -1. Returns 1.
    virtual int32_t Create(CTextureLayer* layer, float x, float y, const RECT& source, int32_t priority,
                           int32_t render_target);
    // Borrows the layer; visible; the priority is stored without registering.
    virtual void AttachTexture(CTextureLayer* layer, float x, float y, const RECT& source, int32_t priority);
    virtual void SetTexture(CTextureLayer* layer);
    // As SetTexture, but the sprite owns the layer from now on and deletes it with itself.
    void AdoptTexture(std::unique_ptr<CTextureLayer> layer);
    virtual void SetPositionFloat(float x, float y) { SetPositionF(x, y); }
    virtual void SetPositionInt(int32_t x, int32_t y)
    {
        SetPositionF(static_cast<float>(x), static_cast<float>(y));
    }
    virtual void SetPositionF(float x, float y);
    virtual void Draw(DirectX::SpriteBatch* batch);
    virtual void CopyFrom(CSpriteTexture* other);
    virtual HRESULT BindDrawTarget();
    virtual void MarkForUpload(int32_t uploaded);
    virtual POINT GetPositionF();
    virtual void SetScale(float x, float y);
    virtual void SetZoomCenterInt(int32_t x, int32_t y);
    virtual DirectX::XMFLOAT2 GetRotationOrigin() const { return m_rotation_origin; }
    virtual void SetRotationOriginInt(int32_t x, int32_t y);
    virtual DirectX::XMFLOAT2 GetScale() const { return m_scale; }
    virtual void ResetDrawParams();

    void SetRotation(float degrees) override;
    void SetRotationOrigin(float x, float y) override;
    void SetZoomCenter(float x, float y) override;
    void SetPriority(int32_t priority) override;
    void SetPosition(int32_t x, int32_t y) override;
    POINT GetPosition() override;
    void Destroy() override;
    void SaveSnapshot() override;
    ILayer* GetLayer() override;
    void DrawToLayer(ILayer* target) override;

    void StartAnimRotate(const SpriteAnimRecord& record) override;
    void StartAnimZoom(const SpriteAnimRecord& record) override;
    void OnAnimStepBegin(uint32_t kinds, int32_t duration) override;
    void UpdateLayerAnimation(uint32_t kinds, int32_t elapsed, int32_t duration) override;
    void OnAnimStepEnd(uint32_t kinds) override;

    CTextureLayer* GetTextureLayer() const { return m_texture_layer; }
    void SetAdditive(int32_t additive) { m_additive = additive; }
    int32_t IsAdditive() const { return m_additive; }
    float GetDepth() const { return m_depth; }
    float GetRotation() const { return m_rotation; }
    DirectX::XMFLOAT2 GetZoomCenter() const { return m_zoom_center; }
    DirectX::XMFLOAT2 GetPositionFloat() const { return m_position; }
    const RECT& GetSourceRect() const { return m_source; }
    // The part of the texture layer drawn, for sprites that flip through frames of one picture.
    void SetSourceRect(const RECT& source) { m_source = source; }

protected:
    // Forgets the layer, deleting it when owned.
    void DropTexture();

    std::unique_ptr<CTextureLayer> m_owned_texture; // set when the sprite made or adopted its layer
    CTextureLayer* m_texture_layer = nullptr;       // the layer drawn: m_owned_texture's or a borrowed one
    DirectX::XMFLOAT2 m_position{0, 0};
    RECT m_source{};
    DirectX::XMFLOAT2 m_zoom_center{0, 0};
    DirectX::XMFLOAT2 m_scale{1, 1};
    DirectX::XMFLOAT2 m_rotation_origin{0, 0};
    float m_rotation = 0; // radians
    int32_t m_additive = 0;
    float m_depth = 0;
    float m_unit = 1.0f;
    int32_t m_screen_width = 0;
    int32_t m_screen_height = 0;
    int32_t m_angle_from = 0;
    int32_t m_angle_to = 0;
    float m_zoom_from_x = 1;
    float m_zoom_from_y = 1;
    float m_zoom_to_x = 1;
    float m_zoom_to_y = 1;
};
