#pragma once
// A sprite layer whose pixels live in a system buffer, rows top-down, that the display mirrors
// into a texture for the sprite batch. Software blits work on the buffer through the ILayer side.
// FIXME: only the system buffer so far; the texture, its views and the upload come with the
// display.

#include "graphics/CSpriteLayer.h"

#include <vector>

class CTextureLayer : public CSpriteLayer
{
public:
    CTextureLayer() = default;
    ~CTextureLayer() override;

    using CSpriteLayer::Create;
    // The buffer of width x height pixels, zeroed or filled from bottom-up initial pixels; 0 on
    // success, negative when the buffer cannot be had.
    virtual int32_t Create(int32_t width, int32_t height, int32_t render_target, const uint8_t* initial);

    void Destroy() override;

    // ILayer side: the system buffer.
    BITMAPINFOHEADER* Create(int32_t width, int32_t height) override;
    void Release() override;
    int32_t GetType() override { return 2; }
    ptrdiff_t GetPixelOffset(int32_t x, int32_t y) override;
    ptrdiff_t GetPitch() override;
    uint8_t* GetBits() override;
    HDC GetDC() override { return nullptr; }
    BITMAPINFOHEADER* GetHeader() override;
    int32_t GetWidth() override;
    int32_t GetHeight() override;
    int32_t GetStride() override;
    int32_t Lock() override { return 0; }
    int32_t Unlock() override { return 0; }
    BITMAPINFOHEADER* Resize(int32_t width, int32_t height) override;
    SIZE GetSize() override;
    void SetModified(int32_t value) override;
    int32_t GetModified() override;
    ILayer* GetLayer() override { return this; }

    int32_t IsRenderTarget() const { return m_render_target; }

private:
    std::vector<uint8_t> m_buffer;
    int32_t m_render_target = 0;
};
