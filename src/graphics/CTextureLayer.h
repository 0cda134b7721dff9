#pragma once
// A sprite layer whose pixels live in a system-memory buffer mirrored into a Direct3D 11 texture:
// software operations write the buffer through the ILayer side, the texture sprites upload it
// once per drawn frame and draw the texture with the sprite batch. A render-target layer (the
// fade sprite's) reaches its texture on Unlock instead. Uploads happen inside the draw pass under
// the global draw lock; the owner (a texture sprite, the display) says who draws into it. Where
// the device lends a dynamic texture's own pixels, the buffer is those pixels and an upload finds
// them in place: the texture then shows the buffer as it stands, which is what every draw pass
// uploads before it draws.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "graphics/CSpriteLayer.h"
#include "platform/com/ComPtr.h"
#include "platform/d3d/D2D1Api.h"
#include "platform/d3d/D3D11Api.h"

class CTextureLayer : public CSpriteLayer
{
public:
    CTextureLayer();
    ~CTextureLayer() override;

    using CSpriteLayer::Create;
    // Rows of `initial` (when given) are bottom-up, width x 4 bytes each. 0 on success; the failed
    // texture creation's result, or the second view attempt's.
    virtual int32_t Create(int32_t width, int32_t height, int32_t render_target, const void* initial);
    // Refills a dynamic texture from the buffer once per drawn frame; the map's result.
    virtual HRESULT Upload();
    // Copies only the part into the texture, which holds the buffer elsewhere already.
    HRESULT UploadPart(const RECT& part);
    // Makes the texture the display's Direct2D target; there is no Direct2D here, so it fails.
    virtual HRESULT BindDrawTarget();

    ID3D11Texture2D* GetTexture() const { return m_texture.Get(); }
    ID3D11ShaderResourceView* GetShaderResourceView() const { return m_view.Get(); }
    ID2D1Bitmap1* GetD2DBitmap() const { return m_d2d_bitmap.Get(); }
    void SetUploaded(int32_t uploaded) { m_uploaded = uploaded; }
    int32_t GetUploaded() const { return m_uploaded; }
    int32_t IsRenderTarget() const { return m_render_target; }

    void Destroy() override;
    ILayer* GetLayer() override { return this; }
    void DrawToLayer(ILayer* target) override;

    // ILayer side: the system buffer, rows top-down.
    BITMAPINFOHEADER* Create(int32_t width, int32_t height) override;
    void Release() override;
    int32_t GetType() override { return 2; }
    ptrdiff_t GetPixelOffset(int32_t x, int32_t y) override;
    ptrdiff_t GetPitch() override;
    uint8_t* GetBits() override;
    HDC GetDC() override { return nullptr; }
    BITMAPINFOHEADER* GetHeader() override { return &m_header; }
    int32_t GetWidth() override { return m_texture_width; }
    int32_t GetHeight() override { return m_texture_height; }
    int32_t GetStride() override { return m_texture_width * 4; }
    int32_t Lock() override { return 1; }
    // A render target takes the whole buffer into its texture here.
    int32_t Unlock() override;
    BITMAPINFOHEADER* Resize(int32_t width, int32_t height) override;
    SIZE GetSize() override { return SIZE{m_texture_width, m_texture_height}; }
    void SetModified(int32_t value) override { ILayer::SetModified(value); }
    int32_t GetModified() override { return ILayer::GetModified(); }

protected:
    // The buffer is a heap block of its own: rows cleared whole go back to the system.
    void ZeroRows(uint8_t* first, size_t bytes) override;

private:
    ComPtr<ID3D11Texture2D> m_texture;
    ComPtr<ID3D11ShaderResourceView> m_view;
    ComPtr<ID3D11View> m_third_view;          // released with the others; no operation makes one
    ID3D11DeviceContext* m_context = nullptr; // not owned: the display's immediate context
    D3D11_MAPPED_SUBRESOURCE m_mapped{};
    ComPtr<ID2D1Bitmap1> m_d2d_bitmap;
    // The CPU copy, top-down, from calloc: zeroed pages from the system cost memory only once
    // drawn, so the textures of screens made at start-up weigh little until shown. A dynamic
    // texture's own pixels where the device lends them, so that uploads find them in place.
    std::shared_ptr<uint8_t> m_buffer;
    int32_t m_texture_width = 0;
    int32_t m_texture_height = 0;
    int32_t m_render_target = 0;
    int32_t m_uploaded = 0;
};
