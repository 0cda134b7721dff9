#include "platform/d3d/SoftwareDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/d3d/DxgiObjects.h"
#include "platform/d3d/TexturePixels.h"
#include "platform/kernel/HeapApi.h"
#include "platform/user/RectApi.h"

namespace platform {

namespace {

std::mutex g_hook_lock; // leaf: guards the test hooks below
uint32_t g_failing_driver_mask = 0;
HRESULT g_failing_driver_result = E_FAIL;
int g_failing_textures = 0;
HRESULT g_failing_texture_result = E_FAIL;
int g_failing_views = 0;
HRESULT g_failing_view_result = E_FAIL;

bool IsFourByteFormat(DXGI_FORMAT format)
{
    return format == DXGI_FORMAT_B8G8R8A8_UNORM || format == DXGI_FORMAT_R8G8B8A8_UNORM ||
           format == DXGI_FORMAT_D24_UNORM_S8_UINT;
}

uint8_t ToUnorm8(float value)
{
    value = std::clamp(value, 0.0f, 1.0f);
    return static_cast<uint8_t>(std::lround(value * 255.0f));
}

Texture2D* AsTexture(ID3D11Resource* resource)
{
    return dynamic_cast<Texture2D*>(resource);
}

} // namespace

void SetFailingDriverTypes(uint32_t mask, HRESULT result)
{
    std::lock_guard lock(g_hook_lock);
    g_failing_driver_mask = mask;
    g_failing_driver_result = result;
}

void FailNextTextureCreations(int count, HRESULT result)
{
    std::lock_guard lock(g_hook_lock);
    g_failing_textures = count;
    g_failing_texture_result = result;
}

void FailNextShaderResourceViews(int count, HRESULT result)
{
    std::lock_guard lock(g_hook_lock);
    g_failing_views = count;
    g_failing_view_result = result;
}

Texture2D::Texture2D(ID3D11Device* device, const D3D11_TEXTURE2D_DESC& desc)
    : DeviceChild(device)
    , m_desc(desc)
{
    auto* pixels =
        static_cast<uint8_t*>(std::calloc(std::max<size_t>(size_t{desc.Width} * desc.Height * 4, 1), 1));
    if (!pixels)
        throw std::bad_alloc();
    // A block the heap had freed before comes cleared by hand: its pages go back, so a new
    // texture costs nothing until drawn into, however the heap served it.
    ZeroHeapBlock(pixels, size_t{desc.Width} * desc.Height * 4);
    PreferHugePages(pixels, size_t{desc.Width} * desc.Height * 4);
    m_pixels = std::shared_ptr<uint8_t>(pixels, [](uint8_t* p) { std::free(p); });
    NoteWrittenAll();
}

std::shared_ptr<uint8_t> SharedTexturePixels(ID3D11Texture2D* texture)
{
    const auto* software = dynamic_cast<const Texture2D*>(texture);
    if (!software || software->Desc().Usage != D3D11_USAGE_DYNAMIC)
        return nullptr;
    return software->SharedPixels();
}

void Texture2D::NoteWritten(const RECT& rect)
{
    const RECT bounds{0, 0, static_cast<LONG>(Width()), static_cast<LONG>(Height())};
    RECT part{};
    if (!IntersectRect(&part, &rect, &bounds))
        return;
    RECT both{};
    UnionRect(&both, &m_written, &part);
    m_written = both;
}

RECT Texture2D::TakeWritten()
{
    const RECT written = m_written;
    m_written = RECT{};
    return written;
}

void Texture2D::ResolvePendingFill() const
{
    if (!m_fill_pending)
        return;
    m_fill_pending = false;
    auto* pixels = reinterpret_cast<uint32_t*>(m_pixels.get());
    std::fill(pixels, pixels + static_cast<size_t>(Width()) * Height(), m_fill);
}

void* Texture2D::Query(REFIID riid)
{
    if (riid == IID_ID3D11Texture2D || riid == IID_ID3D11Resource)
        return static_cast<ID3D11Texture2D*>(this);
    return DeviceChild::Query(riid);
}

void DeviceContext::GetDevice(ID3D11Device** device)
{
    *device = m_device;
    m_device->AddRef();
}

void* DeviceContext::Query(REFIID riid)
{
    if (riid == IID_ID3D11DeviceContext)
        return static_cast<ID3D11DeviceContext*>(this);
    return ComObject::Query(riid);
}

void DeviceContext::OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views,
                                       ID3D11DepthStencilView*)
{
    ComPtr<RenderTargetView> target;
    if (count > 0 && views && views[0]) {
        views[0]->AddRef();
        target = ComPtr<RenderTargetView>(static_cast<RenderTargetView*>(views[0]));
    }
    std::lock_guard lock(m_lock);
    m_render_target = std::move(target);
}

void DeviceContext::OMSetBlendState(ID3D11BlendState*, const float*, UINT) {}

void DeviceContext::ClearRenderTargetView(ID3D11RenderTargetView* view, const float color[4])
{
    if (!view)
        return;
    Texture2D* texture = static_cast<RenderTargetView*>(view)->Texture();
    uint8_t channel[4] = {ToUnorm8(color[0]), ToUnorm8(color[1]), ToUnorm8(color[2]), ToUnorm8(color[3])};
    if (texture->Desc().Format == DXGI_FORMAT_B8G8R8A8_UNORM)
        std::swap(channel[0], channel[2]);
    uint32_t pixel;
    std::memcpy(&pixel, channel, 4);
    texture->SetPendingFill(pixel);
}

void DeviceContext::RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports)
{
    std::lock_guard lock(m_lock);
    m_viewports.assign(viewports, viewports + count);
}

void DeviceContext::RSSetScissorRects(UINT count, const D3D11_RECT* rects)
{
    std::lock_guard lock(m_lock);
    m_scissor_rects.assign(rects, rects + count);
}

void DeviceContext::RSGetViewports(UINT* count, D3D11_VIEWPORT* viewports)
{
    std::lock_guard lock(m_lock);
    if (!viewports) {
        *count = static_cast<UINT>(m_viewports.size());
        return;
    }
    const UINT n = std::min<UINT>(*count, static_cast<UINT>(m_viewports.size()));
    std::copy_n(m_viewports.begin(), n, viewports);
    *count = n;
}

HRESULT DeviceContext::Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP type, UINT,
                           D3D11_MAPPED_SUBRESOURCE* mapped)
{
    Texture2D* texture = AsTexture(resource);
    if (!texture || subresource != 0 || !mapped)
        return E_INVALIDARG;
    const D3D11_TEXTURE2D_DESC& desc = texture->Desc();
    const bool reads = type == D3D11_MAP_READ || type == D3D11_MAP_READ_WRITE;
    const bool writes = type != D3D11_MAP_READ;
    if ((reads && !(desc.CPUAccessFlags & D3D11_CPU_ACCESS_READ)) ||
        (writes && !(desc.CPUAccessFlags & D3D11_CPU_ACCESS_WRITE)))
        return E_INVALIDARG;
    if (type == D3D11_MAP_WRITE_DISCARD && desc.Usage != D3D11_USAGE_DYNAMIC)
        return E_INVALIDARG;
    if (texture->m_mapped.exchange(true))
        return DXGI_ERROR_INVALID_CALL;
    if (writes)
        texture->NoteWrittenAll();
    mapped->pData = texture->Bits();
    mapped->RowPitch = texture->Pitch();
    mapped->DepthPitch = texture->Pitch() * texture->Height();
    return S_OK;
}

void DeviceContext::Unmap(ID3D11Resource* resource, UINT)
{
    if (Texture2D* texture = AsTexture(resource))
        texture->m_mapped = false;
}

void DeviceContext::UpdateSubresource(ID3D11Resource* resource, UINT subresource, const D3D11_BOX* box,
                                      const void* data, UINT row_pitch, UINT)
{
    if (auto* buffer = dynamic_cast<Buffer*>(resource)) {
        std::vector<uint8_t>& bytes = buffer->Bytes();
        std::memcpy(bytes.data(), data, bytes.size());
        return;
    }
    Texture2D* texture = AsTexture(resource);
    if (!texture || subresource != 0 || !data || texture->Desc().Usage != D3D11_USAGE_DEFAULT)
        return;
    D3D11_BOX whole{0, 0, 0, texture->Width(), texture->Height(), 1};
    if (!box)
        box = &whole;
    if (box->right > texture->Width() || box->bottom > texture->Height() || box->left >= box->right ||
        box->top >= box->bottom)
        return;
    texture->NoteWritten(RECT{static_cast<LONG>(box->left), static_cast<LONG>(box->top),
                              static_cast<LONG>(box->right), static_cast<LONG>(box->bottom)});
    const size_t row_bytes = static_cast<size_t>(box->right - box->left) * 4;
    const auto* source = static_cast<const uint8_t*>(data);
    for (UINT y = box->top; y < box->bottom; ++y)
        std::memcpy(texture->Row(y) + box->left * 4, source + static_cast<size_t>(y - box->top) * row_pitch,
                    row_bytes);
}

void DeviceContext::CopyResource(ID3D11Resource* destination, ID3D11Resource* source)
{
    Texture2D* to = AsTexture(destination);
    Texture2D* from = AsTexture(source);
    if (!to || !from || to == from || to->Width() != from->Width() || to->Height() != from->Height() ||
        to->Desc().Format != from->Desc().Format)
        return;
    to->DropPendingFill(); // every pixel is overwritten
    to->NoteWrittenAll();
    std::memcpy(to->Bits(), from->Bits(), static_cast<size_t>(to->Pitch()) * to->Height());
}

void DeviceContext::ClearState()
{
    std::lock_guard lock(m_lock);
    m_render_target.Reset();
    m_viewports.clear();
    m_scissor_rects.clear();
}

RECT DeviceContext::ScissorRect() const
{
    std::lock_guard lock(m_lock);
    if (!m_scissor_rects.empty())
        return m_scissor_rects.front();
    if (!m_render_target)
        return RECT{};
    return RECT{0, 0, static_cast<LONG>(m_render_target->Texture()->Width()),
                static_cast<LONG>(m_render_target->Texture()->Height())};
}

Texture2D* DeviceContext::RenderTarget() const
{
    std::lock_guard lock(m_lock);
    return m_render_target ? m_render_target->Texture() : nullptr;
}

D3D11_VIEWPORT DeviceContext::Viewport() const
{
    std::lock_guard lock(m_lock);
    if (!m_viewports.empty())
        return m_viewports.front();
    D3D11_VIEWPORT whole{};
    if (m_render_target) {
        whole.Width = static_cast<float>(m_render_target->Texture()->Width());
        whole.Height = static_cast<float>(m_render_target->Texture()->Height());
    }
    whole.MaxDepth = 1.0f;
    return whole;
}

Device::Device(D3D_FEATURE_LEVEL level, IDXGIAdapter* adapter)
    : m_level(level)
    , m_adapter(adapter)
    , m_context(new DeviceContext(this))
{
    if (adapter)
        adapter->AddRef();
}

HRESULT Device::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ID3D11Device)
        *object = static_cast<ID3D11Device*>(this);
    else if (riid == IID_IDXGIDevice || riid == IID_IDXGIDevice1 || riid == IID_IDXGIDevice2 ||
             riid == IID_IDXGIObject)
        *object = static_cast<IDXGIDevice2*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG Device::Release()
{
    const ULONG left = m_refs.Decrement();
    if (left == 0)
        delete this;
    return left;
}

HRESULT Device::CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                                ID3D11Texture2D** texture)
{
    if (!desc || !texture)
        return E_INVALIDARG;
    *texture = nullptr;
    {
        std::lock_guard lock(g_hook_lock);
        if (g_failing_textures > 0) {
            --g_failing_textures;
            return g_failing_texture_result;
        }
    }
    const UINT limit = m_level >= D3D_FEATURE_LEVEL_11_0   ? 16384
                       : m_level >= D3D_FEATURE_LEVEL_10_0 ? 8192
                       : m_level >= D3D_FEATURE_LEVEL_9_3  ? 4096
                                                           : 2048;
    if (desc->Width == 0 || desc->Height == 0 || desc->Width > limit || desc->Height > limit ||
        desc->MipLevels > 1 || desc->ArraySize != 1 || !IsFourByteFormat(desc->Format))
        return E_INVALIDARG;
    if (desc->Usage == D3D11_USAGE_DYNAMIC && (desc->BindFlags & D3D11_BIND_RENDER_TARGET))
        return E_INVALIDARG;
    Texture2D* created = new (std::nothrow) Texture2D(this, *desc);
    if (!created)
        return E_OUTOFMEMORY;
    if (initial && initial->pSysMem) {
        const auto* source = static_cast<const uint8_t*>(initial->pSysMem);
        for (UINT y = 0; y < desc->Height; ++y)
            std::memcpy(created->Row(y), source + static_cast<size_t>(y) * initial->SysMemPitch,
                        created->Pitch());
    }
    *texture = created;
    return S_OK;
}

HRESULT Device::CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                             ID3D11Buffer** buffer)
{
    if (!desc || !buffer || desc->ByteWidth == 0)
        return E_INVALIDARG;
    auto* created = new Buffer(this, *desc);
    if (initial && initial->pSysMem)
        std::memcpy(created->Bytes().data(), initial->pSysMem, desc->ByteWidth);
    *buffer = created;
    return S_OK;
}

HRESULT Device::CreateShaderResourceView(ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC*,
                                         ID3D11ShaderResourceView** view)
{
    if (!view)
        return E_INVALIDARG;
    *view = nullptr;
    {
        std::lock_guard lock(g_hook_lock);
        if (g_failing_views > 0) {
            --g_failing_views;
            return g_failing_view_result;
        }
    }
    Texture2D* texture = AsTexture(resource);
    if (!texture || !(texture->Desc().BindFlags & D3D11_BIND_SHADER_RESOURCE))
        return E_INVALIDARG;
    *view = new ShaderResourceView(this, texture);
    return S_OK;
}

HRESULT Device::CreateRenderTargetView(ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC*,
                                       ID3D11RenderTargetView** view)
{
    Texture2D* texture = AsTexture(resource);
    if (!view || !texture || !(texture->Desc().BindFlags & D3D11_BIND_RENDER_TARGET))
        return E_INVALIDARG;
    *view = new RenderTargetView(this, texture);
    return S_OK;
}

HRESULT Device::CreateDepthStencilView(ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC*,
                                       ID3D11DepthStencilView** view)
{
    Texture2D* texture = AsTexture(resource);
    if (!view || !texture || !(texture->Desc().BindFlags & D3D11_BIND_DEPTH_STENCIL))
        return E_INVALIDARG;
    *view = new DepthStencilView(this, texture);
    return S_OK;
}

HRESULT Device::CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc, ID3D11DepthStencilState** state)
{
    if (!desc || !state)
        return E_INVALIDARG;
    *state = new InertChild<ID3D11DepthStencilState>(this);
    return S_OK;
}

HRESULT Device::CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** state)
{
    if (!desc || !state)
        return E_INVALIDARG;
    *state = new BlendState(this, *desc);
    return S_OK;
}

HRESULT Device::CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** state)
{
    if (!desc || !state)
        return E_INVALIDARG;
    *state = new SamplerState(this, *desc);
    return S_OK;
}

HRESULT Device::CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** state)
{
    if (!desc || !state)
        return E_INVALIDARG;
    *state = new RasterizerState(this, *desc);
    return S_OK;
}

HRESULT Device::CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT count, const void*, SIZE_T,
                                  ID3D11InputLayout** layout)
{
    if (!elements || count == 0 || !layout)
        return E_INVALIDARG;
    *layout = new InertChild<ID3D11InputLayout>(this);
    return S_OK;
}

HRESULT Device::CreateVertexShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11VertexShader** shader)
{
    if (!shader)
        return E_INVALIDARG;
    *shader = new InertChild<ID3D11VertexShader>(this);
    return S_OK;
}

HRESULT Device::CreatePixelShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11PixelShader** shader)
{
    if (!shader)
        return E_INVALIDARG;
    *shader = new InertChild<ID3D11PixelShader>(this);
    return S_OK;
}

void Device::GetImmediateContext(ID3D11DeviceContext** context)
{
    m_context->AddRef();
    *context = m_context.Get();
}

HRESULT Device::GetParent(REFIID riid, void** parent)
{
    return m_adapter ? m_adapter->QueryInterface(riid, parent) : E_NOINTERFACE;
}

HRESULT Device::GetAdapter(IDXGIAdapter** adapter)
{
    if (!adapter)
        return E_INVALIDARG;
    *adapter = m_adapter.Get();
    m_adapter->AddRef();
    return S_OK;
}

} // namespace platform

using namespace platform;

HRESULT D3D11CreateDeviceAndSwapChain(IDXGIAdapter*, D3D_DRIVER_TYPE driver_type, HMODULE, UINT,
                                      const D3D_FEATURE_LEVEL* feature_levels, UINT level_count,
                                      UINT sdk_version, const DXGI_SWAP_CHAIN_DESC* swap_chain_desc,
                                      IDXGISwapChain** swap_chain, ID3D11Device** device,
                                      D3D_FEATURE_LEVEL* feature_level, ID3D11DeviceContext** context)
{
    if (sdk_version != D3D11_SDK_VERSION)
        return E_INVALIDARG;
    if (driver_type != D3D_DRIVER_TYPE_HARDWARE && driver_type != D3D_DRIVER_TYPE_WARP &&
        driver_type != D3D_DRIVER_TYPE_REFERENCE)
        return E_INVALIDARG;
    {
        std::lock_guard lock(g_hook_lock);
        if (g_failing_driver_mask & (1u << driver_type))
            return g_failing_driver_result;
    }
    // The software device offers 11.0 and everything below it.
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
    if (feature_levels && level_count > 0) {
        const auto* end = feature_levels + level_count;
        const auto* found = std::find_if(feature_levels, end, [](D3D_FEATURE_LEVEL l) {
            return l <= D3D_FEATURE_LEVEL_11_0 && l >= D3D_FEATURE_LEVEL_9_1;
        });
        if (found == end)
            return E_INVALIDARG;
        level = *found;
    }

    ComPtr<IDXGIAdapter> adapter = CreateSoftwareAdapter();
    auto* created = new Device(level, adapter.Get());
    ComPtr<Device> owner(created);
    if (swap_chain) {
        if (!swap_chain_desc)
            return E_INVALIDARG;
        HRESULT result = CreateSwapChain(created, *swap_chain_desc, swap_chain);
        if (FAILED(result))
            return result;
    }
    if (feature_level)
        *feature_level = level;
    if (context)
        created->GetImmediateContext(context);
    if (device)
        *device = owner.Detach();
    return S_OK;
}
