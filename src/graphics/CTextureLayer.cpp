#include "graphics/CTextureLayer.h"

#include <cstring>
#include <new>

CTextureLayer::~CTextureLayer()
{
    CTextureLayer::Destroy();
}

int32_t CTextureLayer::Create(int32_t width, int32_t height, int32_t render_target, const uint8_t* initial)
{
    if (width <= 0 || height <= 0)
        return -1;
    ILayer::Create(width, height);
    const size_t row = static_cast<size_t>(width) * 4;
    try {
        m_buffer.assign(row * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        m_buffer.clear();
        return -1;
    }
    if (initial != nullptr) {
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(m_buffer.data() + row * static_cast<size_t>(y),
                        initial + row * static_cast<size_t>(height - 1 - y), row);
    }
    m_render_target = render_target;
    m_rect = RECT{0, 0, width, height};
    return 0;
}

void CTextureLayer::Destroy()
{
    CSpriteLayer::Destroy();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

BITMAPINFOHEADER* CTextureLayer::Create(int32_t width, int32_t height)
{
    return Create(width, height, 0, nullptr) == 0 ? ILayer::GetHeader() : nullptr;
}

void CTextureLayer::Release()
{
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

ptrdiff_t CTextureLayer::GetPixelOffset(int32_t x, int32_t y)
{
    return GetPitch() * y + ptrdiff_t{4} * x;
}

ptrdiff_t CTextureLayer::GetPitch()
{
    return ptrdiff_t{4} * ILayer::GetWidth();
}

uint8_t* CTextureLayer::GetBits()
{
    return m_buffer.empty() ? nullptr : m_buffer.data();
}

BITMAPINFOHEADER* CTextureLayer::GetHeader()
{
    return ILayer::GetHeader();
}

int32_t CTextureLayer::GetWidth()
{
    return ILayer::GetWidth();
}

int32_t CTextureLayer::GetHeight()
{
    return ILayer::GetHeight();
}

int32_t CTextureLayer::GetStride()
{
    return ILayer::GetStride();
}

BITMAPINFOHEADER* CTextureLayer::Resize(int32_t width, int32_t height)
{
    Create(width, height, m_render_target, nullptr);
    return ILayer::Resize(width, height);
}

SIZE CTextureLayer::GetSize()
{
    return ILayer::GetSize();
}

void CTextureLayer::SetModified(int32_t value)
{
    ILayer::SetModified(value);
}

int32_t CTextureLayer::GetModified()
{
    return ILayer::GetModified();
}
