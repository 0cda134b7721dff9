#pragma once
// The objects behind the Direct3D 11 and DXGI facade: CPU textures in their declared byte order,
// views, state objects that keep their descriptions, the immediate context and the swap chain
// whose Present hands a copy of the back buffer to the presenter. Layer-internal: the sprite
// batch and the tests reach the storage through these classes.

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/d3d/D3D11Api.h"
#include "platform/d3d/DxgiApi.h"

namespace platform {

// COM plumbing for an object with one interface chain: a thread-safe count, deletion at zero,
// and QueryInterface answered by Query.
template <class Interface>
class ComObject : public Interface
{
public:
    ULONG AddRef() override { return m_refs.Increment(); }
    ULONG Release() override
    {
        const ULONG left = m_refs.Decrement();
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = Query(riid);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    virtual void* Query(REFIID riid)
    {
        return riid == IID_IUnknown ? static_cast<IUnknown*>(static_cast<Interface*>(this)) : nullptr;
    }

private:
    RefCount m_refs;
};

// An object of a device: remembers its device for GetDevice.
template <class Interface>
class DeviceChild : public ComObject<Interface>
{
public:
    explicit DeviceChild(ID3D11Device* device)
        : m_device(device)
    {}
    void GetDevice(ID3D11Device** device) override
    {
        *device = m_device;
        if (m_device)
            m_device->AddRef();
    }

private:
    ID3D11Device* m_device; // not owned: children never outlive their use by the device's owner
};

// Textures of the 32-bit formats (B8G8R8A8, R8G8B8A8, D24S8): rows top-down, pitch width x 4.
class Texture2D final : public DeviceChild<ID3D11Texture2D>
{
public:
    Texture2D(ID3D11Device* device, const D3D11_TEXTURE2D_DESC& desc);

    void GetDesc(D3D11_TEXTURE2D_DESC* desc) override { *desc = m_desc; }

    const D3D11_TEXTURE2D_DESC& Desc() const { return m_desc; }
    uint32_t Width() const { return m_desc.Width; }
    uint32_t Height() const { return m_desc.Height; }
    uint32_t Pitch() const { return m_desc.Width * 4; }
    // The pixels; a pending fill is done first.
    uint8_t* Bits() const
    {
        ResolvePendingFill();
        return m_pixels.get();
    }
    uint8_t* Row(uint32_t y) const { return Bits() + static_cast<size_t>(y) * Pitch(); }

    // A clear is kept as a pending fill until the pixels are next touched: the sprite batch fills
    // each row just before it draws into it, so a cleared and drawn frame is written once.
    void SetPendingFill(uint32_t pixel)
    {
        NoteWrittenAll();
        m_fill = pixel;
        m_fill_pending = true;
    }
    bool HasPendingFill() const { return m_fill_pending; }
    uint32_t GetPendingFill() const { return m_fill; }
    void ResolvePendingFill() const;
    // For a writer that fills every row itself: the row without the pending fill, which the
    // writer ends with DropPendingFill.
    uint8_t* RawRow(uint32_t y) const { return m_pixels.get() + static_cast<size_t>(y) * Pitch(); }
    void DropPendingFill() { m_fill_pending = false; }
    // The pixels, kept alive for as long as the caller holds them.
    std::shared_ptr<uint8_t> SharedPixels() const
    {
        ResolvePendingFill();
        return m_pixels;
    }

    // Where the pixels may differ from what they were when TakeWritten last asked (the swap
    // chain's present of the back buffer). Every writer notes what it writes; a new texture
    // counts as written all over.
    void NoteWritten(const RECT& rect);
    void NoteWrittenAll()
    {
        NoteWritten(RECT{0, 0, static_cast<LONG>(Width()), static_cast<LONG>(Height())});
    }
    RECT TakeWritten();

    std::atomic<bool> m_mapped{false};

protected:
    void* Query(REFIID riid) override;

private:
    D3D11_TEXTURE2D_DESC m_desc;
    // Mutable so that reading through a const texture can do the pending fill first. Used under
    // the display's device lock like the rest of the context.
    // From calloc: pages come zeroed from the system and cost memory only once drawn, so a
    // screen's textures made at start-up weigh little until the screen is shown. Shared with an
    // owner that keeps its own pixels here (SharedTexturePixels).
    mutable std::shared_ptr<uint8_t> m_pixels;
    mutable bool m_fill_pending = false;
    uint32_t m_fill = 0;
    RECT m_written{};
};

class Buffer final : public DeviceChild<ID3D11Buffer>
{
public:
    Buffer(ID3D11Device* device, const D3D11_BUFFER_DESC& desc)
        : DeviceChild(device)
        , m_desc(desc)
        , m_bytes(desc.ByteWidth)
    {}
    void GetDesc(D3D11_BUFFER_DESC* desc) override { *desc = m_desc; }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

private:
    D3D11_BUFFER_DESC m_desc;
    std::vector<uint8_t> m_bytes;
};

// A view over a whole texture; it holds a reference to it.
template <class Interface>
class TextureView final : public DeviceChild<Interface>
{
public:
    TextureView(ID3D11Device* device, Texture2D* texture)
        : DeviceChild<Interface>(device)
        , m_texture(texture)
    {
        m_texture->AddRef();
    }
    void GetResource(ID3D11Resource** resource) override
    {
        m_texture->AddRef();
        *resource = m_texture.Get();
    }
    Texture2D* Texture() const { return m_texture.Get(); }

private:
    ComPtr<Texture2D> m_texture;
};
using RenderTargetView = TextureView<ID3D11RenderTargetView>;
using DepthStencilView = TextureView<ID3D11DepthStencilView>;
using ShaderResourceView = TextureView<ID3D11ShaderResourceView>;

class BlendState final : public DeviceChild<ID3D11BlendState>
{
public:
    BlendState(ID3D11Device* device, const D3D11_BLEND_DESC& desc)
        : DeviceChild(device)
        , m_desc(desc)
    {}
    void GetDesc(D3D11_BLEND_DESC* desc) override { *desc = m_desc; }
    const D3D11_BLEND_DESC& Desc() const { return m_desc; }

private:
    D3D11_BLEND_DESC m_desc;
};

class SamplerState final : public DeviceChild<ID3D11SamplerState>
{
public:
    SamplerState(ID3D11Device* device, const D3D11_SAMPLER_DESC& desc)
        : DeviceChild(device)
        , m_desc(desc)
    {}
    void GetDesc(D3D11_SAMPLER_DESC* desc) override { *desc = m_desc; }
    const D3D11_SAMPLER_DESC& Desc() const { return m_desc; }

private:
    D3D11_SAMPLER_DESC m_desc;
};

class RasterizerState final : public DeviceChild<ID3D11RasterizerState>
{
public:
    RasterizerState(ID3D11Device* device, const D3D11_RASTERIZER_DESC& desc)
        : DeviceChild(device)
        , m_desc(desc)
    {}
    void GetDesc(D3D11_RASTERIZER_DESC* desc) override { *desc = m_desc; }

private:
    D3D11_RASTERIZER_DESC m_desc;
};

// Objects the pipeline accepts but the software path does not consult.
template <class Interface>
class InertChild final : public DeviceChild<Interface>
{
public:
    using DeviceChild<Interface>::DeviceChild;
};

class DeviceContext final : public ComObject<ID3D11DeviceContext>
{
public:
    explicit DeviceContext(ID3D11Device* device)
        : m_device(device)
    {}

    void GetDevice(ID3D11Device** device) override;
    void OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views,
                            ID3D11DepthStencilView* depth) override;
    void OMSetBlendState(ID3D11BlendState* state, const float blend_factor[4], UINT sample_mask) override;
    void OMSetDepthStencilState(ID3D11DepthStencilState*, UINT) override {}
    void ClearRenderTargetView(ID3D11RenderTargetView* view, const float color[4]) override;
    void ClearDepthStencilView(ID3D11DepthStencilView*, UINT, float, BYTE) override {}
    void VSSetShader(ID3D11VertexShader*, ID3D11ClassInstance* const*, UINT) override {}
    void PSSetShader(ID3D11PixelShader*, ID3D11ClassInstance* const*, UINT) override {}
    void VSSetConstantBuffers(UINT, UINT, ID3D11Buffer* const*) override {}
    void PSSetSamplers(UINT, UINT, ID3D11SamplerState* const*) override {}
    void PSSetShaderResources(UINT, UINT, ID3D11ShaderResourceView* const*) override {}
    void RSSetState(ID3D11RasterizerState*) override {}
    void RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports) override;
    void RSGetViewports(UINT* count, D3D11_VIEWPORT* viewports) override;
    void RSSetScissorRects(UINT count, const D3D11_RECT* rects) override;
    void IASetInputLayout(ID3D11InputLayout*) override {}
    HRESULT Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP type, UINT flags,
                D3D11_MAPPED_SUBRESOURCE* mapped) override;
    void Unmap(ID3D11Resource* resource, UINT subresource) override;
    void UpdateSubresource(ID3D11Resource* resource, UINT subresource, const D3D11_BOX* box, const void* data,
                           UINT row_pitch, UINT depth_pitch) override;
    void CopyResource(ID3D11Resource* destination, ID3D11Resource* source) override;
    void ClearState() override;
    void Flush() override {}

    // The first bound render target, or null.
    Texture2D* RenderTarget() const;
    // The first viewport; the whole render target when none is set.
    D3D11_VIEWPORT Viewport() const;
    // The first scissor rectangle; the whole render target when none is set.
    RECT ScissorRect() const;

protected:
    void* Query(REFIID riid) override;

private:
    ID3D11Device* m_device;    // not owned: the device owns its immediate context
    mutable std::mutex m_lock; // leaf: guards the bindings below
    ComPtr<RenderTargetView> m_render_target;
    std::vector<D3D11_VIEWPORT> m_viewports;
    std::vector<D3D11_RECT> m_scissor_rects;
};

// The software device: feature level 11.0 unless the caller's list stops below it.
class Device final : public ID3D11Device, public IDXGIDevice2
{
public:
    Device(D3D_FEATURE_LEVEL level, IDXGIAdapter* adapter);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return m_refs.Increment(); }
    ULONG Release() override;

    HRESULT CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                            ID3D11Texture2D** texture) override;
    HRESULT CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                         ID3D11Buffer** buffer) override;
    HRESULT CreateShaderResourceView(ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                     ID3D11ShaderResourceView** view) override;
    HRESULT CreateRenderTargetView(ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                   ID3D11RenderTargetView** view) override;
    HRESULT CreateDepthStencilView(ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                   ID3D11DepthStencilView** view) override;
    HRESULT CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc,
                                    ID3D11DepthStencilState** state) override;
    HRESULT CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state) override;
    HRESULT CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state) override;
    HRESULT CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** state) override;
    HRESULT CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT count, const void* bytecode,
                              SIZE_T bytecode_length, ID3D11InputLayout** layout) override;
    HRESULT CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                               ID3D11VertexShader** shader) override;
    HRESULT CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                              ID3D11PixelShader** shader) override;
    D3D_FEATURE_LEVEL GetFeatureLevel() override { return m_level; }
    void GetImmediateContext(ID3D11DeviceContext** context) override;

    HRESULT GetParent(REFIID riid, void** parent) override;
    HRESULT GetAdapter(IDXGIAdapter** adapter) override;
    HRESULT SetMaximumFrameLatency(UINT) override { return S_OK; }

    DeviceContext* Context() const { return m_context.Get(); }

private:
    ~Device() = default;

    RefCount m_refs;
    D3D_FEATURE_LEVEL m_level;
    ComPtr<IDXGIAdapter> m_adapter;
    ComPtr<DeviceContext> m_context;
};

// Test hooks of the device creation.
// Driver types in the mask (bit 1 << type) fail D3D11CreateDeviceAndSwapChain with the result.
void SetFailingDriverTypes(uint32_t mask, HRESULT result);
// Makes CreateTexture2D fail with the result for the next `count` calls.
void FailNextTextureCreations(int count, HRESULT result);
// Makes CreateShaderResourceView fail with the result for the next `count` calls.
void FailNextShaderResourceViews(int count, HRESULT result);

} // namespace platform
