#pragma once
// Pixel helpers for layer tests. They address the buffer by hand (bottom-up rows for CDIB and
// CDIBDC, top-down for TopDownLayer), so they do not lean on the addressing under test.

#include "graphics/CDIB.h"

#include <cstring>
#include <memory>
#include <vector>

// Pixel words are 0xAARRGGBB.
constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline uint32_t PixelAt(ILayer& layer, int x, int y)
{
    const int w = layer.GetHeader()->biWidth;
    const int h = layer.GetHeader()->biHeight;
    uint32_t value;
    std::memcpy(&value, layer.GetBits() + (size_t(h - 1 - y) * w + x) * 4, 4);
    return value;
}

inline void SetPixel(ILayer& layer, int x, int y, uint32_t value)
{
    const int w = layer.GetHeader()->biWidth;
    const int h = layer.GetHeader()->biHeight;
    std::memcpy(layer.GetBits() + (size_t(h - 1 - y) * w + x) * 4, &value, 4);
}

inline std::unique_ptr<CDIB> MakeLayer(int w, int h, uint32_t fill = 0)
{
    auto layer = std::make_unique<CDIB>();
    layer->Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(*layer, x, y, fill);
    return layer;
}

// A layer stored top-down with a positive pitch, as texture layers are.
class TopDownLayer final : public ILayer
{
public:
    TopDownLayer(int w, int h)
    {
        ILayer::Create(w, h);
        m_pixels.assign(size_t(w) * h * 4, 0);
    }
    void Release() override { m_pixels.clear(); }
    int32_t GetType() override { return 2; }
    ptrdiff_t GetPixelOffset(int32_t x, int32_t y) override { return GetPitch() * y + 4 * x; }
    ptrdiff_t GetPitch() override { return ptrdiff_t{4} * GetWidth(); }
    uint8_t* GetBits() override { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    HDC GetDC() override { return nullptr; }
    int32_t Lock() override
    {
        ++m_locks;
        return 0;
    }
    int32_t Unlock() override
    {
        --m_locks;
        return 0;
    }

    uint32_t At(int x, int y) const
    {
        uint32_t value;
        std::memcpy(&value, m_pixels.data() + (size_t(y) * GetHeaderWidth() + x) * 4, 4);
        return value;
    }
    int Locks() const { return m_locks; }

private:
    int GetHeaderWidth() const { return m_header.biWidth; }
    std::vector<uint8_t> m_pixels;
    int m_locks = 0;
};
