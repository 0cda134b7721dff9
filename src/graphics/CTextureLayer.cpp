#include "graphics/CTextureLayer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "platform/d3d/TexturePixels.h"
#include "platform/kernel/HeapApi.h"

namespace {

uint32_t MaxTextureSide(D3D_FEATURE_LEVEL level)
{
    switch (level) {
    case D3D_FEATURE_LEVEL_9_1:
    case D3D_FEATURE_LEVEL_9_2:
        return 2048;
    case D3D_FEATURE_LEVEL_9_3:
        return 4096;
    case D3D_FEATURE_LEVEL_10_0:
    case D3D_FEATURE_LEVEL_10_1:
        return 8192;
    default:
        return static_cast<uint32_t>(level) == 0x1000 ? 2048 : 16384;
    }
}

// The smallest power of two that holds the side, within the limit.
uint32_t PowerOfTwoSide(uint32_t side, uint32_t limit)
{
    uint32_t power = 1;
    while (power < side && power < limit)
        power <<= 1;
    return power;
}

} // namespace

CTextureLayer::CTextureLayer() = default;

CTextureLayer::~CTextureLayer()
{
    CTextureLayer::Destroy();
}

int32_t CTextureLayer::Create(int32_t width, int32_t height, int32_t render_target, const void* initial)
{
    CDirect3D* display = CDirect3D::GetInstance();
    ID3D11Device* device = display->GetDevice();
    if (!device || width <= 0 || height <= 0)
        return E_INVALIDARG;
    m_texture.Reset();
    m_view.Reset();
    m_context = display->GetDeviceContext();

    const D3D_FEATURE_LEVEL level = device->GetFeatureLevel();
    const uint32_t limit = MaxTextureSide(level);
    uint32_t tw = static_cast<uint32_t>(width);
    uint32_t th = static_cast<uint32_t>(height);
    if (level <= D3D_FEATURE_LEVEL_9_3) {
        tw = PowerOfTwoSide(tw, limit);
        th = PowerOfTwoSide(th, limit);
    } else {
        tw = std::min(tw, limit);
        th = std::min(th, limit);
    }
    m_texture_width = static_cast<int32_t>(tw);
    m_texture_height = static_cast<int32_t>(th);
    m_render_target = render_target;
    FillHeader(m_texture_width, m_texture_height);
    m_header.biSizeImage = tw * th * 4;

    const size_t pitch = size_t{tw} * 4;
    auto* bytes = static_cast<uint8_t*>(std::calloc(pitch * th, 1));
    if (!bytes)
        throw std::bad_alloc();
    // A block the heap had freed before comes cleared by hand: its pages go back, so a new layer
    // costs nothing until drawn into, however the heap served it.
    platform::ZeroHeapBlock(bytes, pitch * th);
    platform::PreferHugePages(bytes, pitch * th);
    m_buffer = std::shared_ptr<uint8_t>(bytes, [](uint8_t* p) { std::free(p); });
    NoteWritten();
    if (initial) {
        // The given rows are bottom-up at the asked width; the buffer is top-down.
        const auto* source = static_cast<const uint8_t*>(initial);
        const size_t source_pitch = static_cast<size_t>(width) * 4;
        const uint32_t rows = std::min<uint32_t>(th, static_cast<uint32_t>(height));
        const size_t row_bytes = std::min(source_pitch, pitch);
        for (uint32_t y = 0; y < rows; ++y)
            std::memcpy(m_buffer.get() + y * pitch,
                        source + (static_cast<size_t>(height) - 1 - y) * source_pitch, row_bytes);
    }

    D3D11_TEXTURE2D_DESC desc{};
    desc.Width = tw;
    desc.Height = th;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    desc.SampleDesc = {1, 0};
    if (render_target) {
        desc.Usage = D3D11_USAGE_DEFAULT;
        desc.BindFlags = D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET;
    } else {
        desc.Usage = D3D11_USAGE_DYNAMIC;
        desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
        desc.CPUAccessFlags = D3D11_CPU_ACCESS_WRITE;
    }
    // Without initial pixels the texture starts zeroed, as the buffer does, and untouched.
    const D3D11_SUBRESOURCE_DATA data{m_buffer.get(), static_cast<UINT>(pitch), 0};
    HRESULT result = device->CreateTexture2D(&desc, initial ? &data : nullptr, m_texture.GetAddressOf());
    if (FAILED(result))
        return result;
    // The texture holds what the buffer holds, so the buffer can move into it.
    if (std::shared_ptr<uint8_t> shared = platform::SharedTexturePixels(m_texture.Get()))
        m_buffer = std::move(shared);
    D3D11_SHADER_RESOURCE_VIEW_DESC view{};
    view.Format = desc.Format;
    view.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
    view.Texture2D = {0, 1};
    result = device->CreateShaderResourceView(m_texture.Get(), &view, m_view.GetAddressOf());
    if (FAILED(result)) {
        m_view.Reset();
        result = device->CreateShaderResourceView(m_texture.Get(), &view, m_view.GetAddressOf());
    }
    m_rect = RECT{0, 0, static_cast<LONG>(tw), static_cast<LONG>(th)};
    m_uploaded = 0;
    return FAILED(result) ? result : 0;
}

HRESULT CTextureLayer::Upload()
{
    if (m_render_target || m_uploaded || !m_texture || !m_context)
        return S_OK;
    HRESULT result = m_context->Map(m_texture.Get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &m_mapped);
    if (FAILED(result))
        return result;
    const size_t pitch = static_cast<size_t>(m_texture_width) * 4;
    auto* target = static_cast<uint8_t*>(m_mapped.pData);
    // Nothing to copy when the buffer is the texture's own pixels.
    if (target != m_buffer.get()) {
        if (m_mapped.RowPitch == pitch) {
            std::memcpy(target, m_buffer.get(), pitch * m_texture_height);
        } else {
            for (int32_t y = 0; y < m_texture_height; ++y)
                std::memcpy(target + size_t{m_mapped.RowPitch} * y, m_buffer.get() + pitch * y, pitch);
        }
    }
    m_context->Unmap(m_texture.Get(), 0);
    m_uploaded = 1;
    return result;
}

HRESULT CTextureLayer::BindDrawTarget()
{
    CDirect3D* display = CDirect3D::GetInstance();
    ID2D1DeviceContext* context = display->GetD2DContext();
    if (!context || !m_texture)
        return E_FAIL;
    ComPtr<IDXGISurface> surface;
    HRESULT result =
        m_texture->QueryInterface(IID_IDXGISurface, reinterpret_cast<void**>(surface.GetAddressOf()));
    const D2D1_BITMAP_PROPERTIES1 properties{
        {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED},
        96.0f,
        96.0f,
        static_cast<D2D1_BITMAP_OPTIONS>(D2D1_BITMAP_OPTIONS_TARGET | D2D1_BITMAP_OPTIONS_CANNOT_DRAW),
        nullptr};
    ScopedLock lock(display->GetDeviceLock());
    result = context->CreateBitmapFromDxgiSurface(surface.Get(), &properties, m_d2d_bitmap.GetAddressOf());
    if (FAILED(result))
        result =
            context->CreateBitmapFromDxgiSurface(surface.Get(), &properties, m_d2d_bitmap.GetAddressOf());
    if (FAILED(result))
        return result;
    context->SetTarget(m_d2d_bitmap.Get());
    return S_OK;
}

void CTextureLayer::Destroy()
{
    CSpriteLayer::Destroy();
    m_buffer.reset();
    NoteWritten();
    m_d2d_bitmap.Reset();
    m_third_view.Reset();
    m_view.Reset();
    m_texture.Reset();
}

void CTextureLayer::DrawToLayer(ILayer*)
{
    // Drawn by the sprite batch through a texture sprite, never composed in software.
}

BITMAPINFOHEADER* CTextureLayer::Create(int32_t width, int32_t height)
{
    return Create(width, height, m_render_target, nullptr) == 0 ? &m_header : nullptr;
}

void CTextureLayer::ZeroRows(uint8_t* first, size_t bytes)
{
    platform::ZeroHeapBlock(first, bytes);
}

void CTextureLayer::Release()
{
    Destroy();
}

ptrdiff_t CTextureLayer::GetPixelOffset(int32_t x, int32_t y)
{
    return GetPitch() * y + 4 * static_cast<ptrdiff_t>(x);
}

ptrdiff_t CTextureLayer::GetPitch()
{
    return static_cast<ptrdiff_t>(m_texture_width) * 4;
}

uint8_t* CTextureLayer::GetBits()
{
    NoteDirectAccess();
    return m_buffer.get();
}

HRESULT CTextureLayer::UploadPart(const RECT& part)
{
    if (m_render_target || !m_texture || !m_context)
        return S_OK;
    const int32_t left = std::max<int32_t>(part.left, 0);
    const int32_t top = std::max<int32_t>(part.top, 0);
    const int32_t right = std::min<int32_t>(part.right, m_texture_width);
    const int32_t bottom = std::min<int32_t>(part.bottom, m_texture_height);
    if (right <= left || bottom <= top)
        return S_OK;
    HRESULT result = m_context->Map(m_texture.Get(), 0, D3D11_MAP_WRITE, 0, &m_mapped);
    if (FAILED(result))
        return result;
    const size_t pitch = static_cast<size_t>(m_texture_width) * 4;
    const size_t offset = static_cast<size_t>(left) * 4;
    const size_t bytes = static_cast<size_t>(right - left) * 4;
    auto* target = static_cast<uint8_t*>(m_mapped.pData);
    for (int32_t y = top; y < bottom && target != m_buffer.get(); ++y) // else in place already
        std::memcpy(target + size_t{m_mapped.RowPitch} * y + offset, m_buffer.get() + pitch * y + offset,
                    bytes);
    m_context->Unmap(m_texture.Get(), 0);
    return result;
}

int32_t CTextureLayer::Unlock()
{
    if (m_render_target && m_texture && m_context && m_buffer)
        m_context->UpdateSubresource(m_texture.Get(), 0, nullptr, m_buffer.get(),
                                     static_cast<UINT>(m_texture_width) * 4, 0);
    return 1;
}

BITMAPINFOHEADER* CTextureLayer::Resize(int32_t width, int32_t height)
{
    if (width == m_texture_width && height == m_texture_height)
        return &m_header;
    return Create(width, height);
}
