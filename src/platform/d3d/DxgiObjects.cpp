#include "platform/d3d/DxgiObjects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/d3d/MonitorApi.h"
#include "platform/d3d/RedBlueSwap.h"
#include "platform/kernel/HeapApi.h"
#include "platform/kernel/IdleWait.h"

namespace platform {

namespace {

class Factory;

class Output final : public ComObject<IDXGIOutput>
{
public:
    Output(IDXGIAdapter* adapter, DisplayOutput output, UINT index)
        : m_adapter(adapter)
        , m_output(std::move(output))
        , m_index(index)
    {
        m_adapter->AddRef();
    }

    HRESULT GetParent(REFIID riid, void** parent) override { return m_adapter->QueryInterface(riid, parent); }

    HRESULT GetDesc(DXGI_OUTPUT_DESC* desc) override
    {
        if (!desc)
            return E_INVALIDARG;
        *desc = {};
        const size_t n = std::min<size_t>(m_output.name.size(), 31);
        std::copy_n(m_output.name.begin(), n, desc->DeviceName);
        desc->DesktopCoordinates = m_output.bounds;
        desc->AttachedToDesktop = TRUE;
        desc->Rotation = DXGI_MODE_ROTATION_IDENTITY;
        desc->Monitor = reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(m_index) + 1);
        return S_OK;
    }

    HRESULT GetDisplayModeList(DXGI_FORMAT format, UINT, UINT* count, DXGI_MODE_DESC* modes) override
    {
        if (!count)
            return E_INVALIDARG;
        std::vector<DXGI_MODE_DESC> matching;
        for (const DXGI_MODE_DESC& mode : m_output.modes) {
            if (format == DXGI_FORMAT_UNKNOWN || mode.Format == format)
                matching.push_back(mode);
        }
        if (!modes) {
            *count = static_cast<UINT>(matching.size());
            return S_OK;
        }
        const UINT n = std::min<UINT>(*count, static_cast<UINT>(matching.size()));
        std::copy_n(matching.begin(), n, modes);
        *count = n;
        return n < matching.size() ? DXGI_ERROR_MORE_DATA : S_OK;
    }

    HRESULT FindClosestMatchingMode(const DXGI_MODE_DESC* wanted, DXGI_MODE_DESC* closest, IUnknown*) override
    {
        if (!wanted || !closest)
            return E_INVALIDARG;
        if (m_output.modes.empty())
            return DXGI_ERROR_NOT_FOUND;
        const auto rate = [](const DXGI_RATIONAL& r) {
            return r.Denominator ? static_cast<double>(r.Numerator) / r.Denominator : 0.0;
        };
        const DXGI_MODE_DESC* best = nullptr;
        double best_size = std::numeric_limits<double>::max();
        double best_rate = std::numeric_limits<double>::max();
        for (const DXGI_MODE_DESC& mode : m_output.modes) {
            const double size = (wanted->Width ? std::abs(double(mode.Width) - wanted->Width) : 0.0) +
                                (wanted->Height ? std::abs(double(mode.Height) - wanted->Height) : 0.0);
            const double refresh = wanted->RefreshRate.Numerator
                                       ? std::abs(rate(mode.RefreshRate) - rate(wanted->RefreshRate))
                                       : 0.0;
            if (size < best_size || (size == best_size && refresh < best_rate)) {
                best = &mode;
                best_size = size;
                best_rate = refresh;
            }
        }
        *closest = *best;
        return S_OK;
    }

protected:
    void* Query(REFIID riid) override
    {
        if (riid == IID_IDXGIOutput || riid == IID_IDXGIObject)
            return static_cast<IDXGIOutput*>(this);
        return ComObject::Query(riid);
    }

private:
    ComPtr<IDXGIAdapter> m_adapter;
    DisplayOutput m_output;
    UINT m_index;
};

class Adapter final : public ComObject<IDXGIAdapter>
{
public:
    explicit Adapter(IDXGIFactory* factory)
        : m_factory(factory)
        , m_outputs(GetDisplayOutputs())
    {
        if (m_factory)
            m_factory->AddRef();
    }

    HRESULT GetParent(REFIID riid, void** parent) override;

    HRESULT EnumOutputs(UINT index, IDXGIOutput** output) override
    {
        if (!output)
            return E_INVALIDARG;
        *output = nullptr;
        if (index >= m_outputs.size())
            return DXGI_ERROR_NOT_FOUND;
        *output = new Output(this, m_outputs[index], index);
        return S_OK;
    }

protected:
    void* Query(REFIID riid) override
    {
        if (riid == IID_IDXGIAdapter || riid == IID_IDXGIObject)
            return static_cast<IDXGIAdapter*>(this);
        return ComObject::Query(riid);
    }

private:
    ComPtr<IDXGIFactory> m_factory; // null for the adapter a device made on its own
    std::vector<DisplayOutput> m_outputs;
};

class Factory final : public ComObject<IDXGIFactory>
{
public:
    HRESULT GetParent(REFIID, void** parent) override
    {
        if (parent)
            *parent = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT EnumAdapters(UINT index, IDXGIAdapter** adapter) override
    {
        if (!adapter)
            return E_INVALIDARG;
        *adapter = nullptr;
        if (index != 0)
            return DXGI_ERROR_NOT_FOUND;
        *adapter = new Adapter(this);
        return S_OK;
    }
    // The program does its own switching; there is nothing for DXGI to take over.
    HRESULT MakeWindowAssociation(HWND, UINT) override { return S_OK; }

protected:
    void* Query(REFIID riid) override
    {
        if (riid == IID_IDXGIFactory || riid == IID_IDXGIObject)
            return static_cast<IDXGIFactory*>(this);
        return ComObject::Query(riid);
    }
};

HRESULT Adapter::GetParent(REFIID riid, void** parent)
{
    if (!m_factory)
        m_factory = ComPtr<IDXGIFactory>(new Factory);
    return m_factory->QueryInterface(riid, parent);
}

} // namespace

ComPtr<IDXGIAdapter> CreateSoftwareAdapter()
{
    return ComPtr<IDXGIAdapter>(new Adapter(nullptr));
}

HRESULT CreateSwapChain(Device* device, const DXGI_SWAP_CHAIN_DESC& desc, IDXGISwapChain** swap_chain)
{
    const DXGI_MODE_DESC& buffer = desc.BufferDesc;
    if (buffer.Width == 0 || buffer.Height == 0 || buffer.Width > 16384 || buffer.Height > 16384 ||
        (buffer.Format != DXGI_FORMAT_R8G8B8A8_UNORM && buffer.Format != DXGI_FORMAT_B8G8R8A8_UNORM) ||
        desc.BufferCount == 0)
        return DXGI_ERROR_INVALID_CALL;
    *swap_chain = new SwapChain(device, desc);
    return S_OK;
}

SwapChain::SwapChain(Device* device, const DXGI_SWAP_CHAIN_DESC& desc)
    : m_device(device)
    , m_desc(desc)
    , m_client{static_cast<LONG>(desc.BufferDesc.Width), static_cast<LONG>(desc.BufferDesc.Height)}
{
    device->AddRef();
    D3D11_TEXTURE2D_DESC texture{};
    texture.Width = desc.BufferDesc.Width;
    texture.Height = desc.BufferDesc.Height;
    texture.MipLevels = 1;
    texture.ArraySize = 1;
    texture.Format = desc.BufferDesc.Format;
    texture.SampleDesc = {1, 0};
    texture.Usage = D3D11_USAGE_DEFAULT;
    texture.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    m_back_buffer = ComPtr<Texture2D>(new Texture2D(device, texture));
}

void* SwapChain::Query(REFIID riid)
{
    if (riid == IID_IDXGISwapChain || riid == IID_IDXGISwapChain1 || riid == IID_IDXGIObject)
        return static_cast<IDXGISwapChain1*>(this);
    return ComObject::Query(riid);
}

HRESULT SwapChain::GetParent(REFIID riid, void** parent)
{
    ComPtr<IDXGIAdapter> adapter;
    HRESULT result = m_device->GetAdapter(adapter.GetAddressOf());
    if (FAILED(result))
        return result;
    return adapter->GetParent(riid, parent);
}

HRESULT SwapChain::Present(UINT, UINT flags)
{
    Presenter& presenter = GetPresenter();
    // The back buffer again, unchanged: only for a presenter that keeps every frame.
    if ((flags & DXGI_PRESENT_DO_NOT_SEQUENCE) != 0 && !presenter.KeepsEveryFrame())
        return S_OK;
    const Texture2D& back = *m_back_buffer.Get();
    const D3D11_VIEWPORT viewport = m_device->Context()->Viewport();
    FrameInfo info;
    info.width = static_cast<int>(back.Width());
    info.height = static_cast<int>(back.Height());
    info.destination = RECT{static_cast<LONG>(std::lround(viewport.TopLeftX)),
                            static_cast<LONG>(std::lround(viewport.TopLeftY)),
                            static_cast<LONG>(std::lround(viewport.TopLeftX + viewport.Width)),
                            static_cast<LONG>(std::lround(viewport.TopLeftY + viewport.Height))};
    info.changed = m_back_buffer->TakeWritten();
    const size_t pitch = back.Pitch();
    const bool blue_first = back.Desc().Format == DXGI_FORMAT_B8G8R8A8_UNORM;

    if (presenter.ReadsInPlace()) {
        // A copy would be read once and dropped: a cold full-size buffer less for every frame.
        {
            std::lock_guard lock(m_lock);
            m_frames.Pass(info.changed);
            info.window = m_desc.OutputWindow;
        }
        info.sequence = ++m_presents;
        presenter.PublishInPlace(FrameView{info, back.Bits(), pitch, blue_first});
        // Noted once handed over: a wake before would turn the window's loop before its frame
        // is there, and again once it is.
        NoteFramePresented();
        return S_OK;
    }

    // Only what changed since this frame was last filled is copied: the rest it holds already.
    FrameSlots<PresentedFrame, 2>::Taken taken;
    {
        std::lock_guard lock(m_lock);
        taken = m_frames.Take(info.changed);
        taken.frame->client = m_client;
        info.window = m_desc.OutputWindow;
    }
    PresentedFrame* frame = taken.frame.get();
    RECT stale = taken.stale;
    if (frame->width != info.width || frame->height != info.height ||
        frame->pixels.size() != pitch * info.height) {
        ResizePixels(frame->pixels, pitch * info.height);
        stale = WHOLE_PICTURE;
    }
    const RECT copied = FrameSlots<PresentedFrame, 2>::Within(stale, info.width, info.height);
    const size_t run = static_cast<size_t>(copied.right - copied.left) * 4;
    for (LONG y = copied.top; y < copied.bottom; ++y) {
        const size_t offset = static_cast<size_t>(y) * pitch + static_cast<size_t>(copied.left) * 4;
        uint8_t* to = frame->pixels.data() + offset;
        if (blue_first)
            CopySwappingRedBlue(to, back.Bits() + offset, run / 4);
        else
            std::memcpy(to, back.Bits() + offset, run);
    }
    info.sequence = ++m_presents;
    static_cast<FrameInfo&>(*frame) = info;
    presenter.Publish(std::move(taken.frame));
    NoteFramePresented();
    return S_OK;
}

HRESULT SwapChain::GetBuffer(UINT index, REFIID riid, void** surface)
{
    if (!surface)
        return E_INVALIDARG;
    *surface = nullptr;
    if (index != 0)
        return DXGI_ERROR_INVALID_CALL;
    return m_back_buffer->QueryInterface(riid, surface);
}

HRESULT SwapChain::SetFullscreenState(BOOL fullscreen, IDXGIOutput*)
{
    std::lock_guard lock(m_lock);
    m_fullscreen = fullscreen;
    return S_OK;
}

HRESULT SwapChain::GetFullscreenState(BOOL* fullscreen, IDXGIOutput** target)
{
    std::lock_guard lock(m_lock);
    if (fullscreen)
        *fullscreen = m_fullscreen;
    if (target)
        *target = nullptr;
    return S_OK;
}

HRESULT SwapChain::GetDesc(DXGI_SWAP_CHAIN_DESC* desc)
{
    if (!desc)
        return E_INVALIDARG;
    std::lock_guard lock(m_lock);
    *desc = m_desc;
    return S_OK;
}

HRESULT SwapChain::ResizeBuffers(UINT count, UINT width, UINT height, DXGI_FORMAT, UINT flags)
{
    if (width > 16384 || height > 16384)
        return DXGI_ERROR_INVALID_CALL;
    std::lock_guard lock(m_lock);
    if (count)
        m_desc.BufferCount = count;
    m_desc.Flags = flags;
    // Zero takes the size of the window, as on Windows; the window's size is the client size
    // recorded last.
    if (width)
        m_client.cx = static_cast<LONG>(width);
    if (height)
        m_client.cy = static_cast<LONG>(height);
    return S_OK;
}

} // namespace platform

using namespace platform;

HRESULT CreateDXGIFactory(REFIID riid, void** factory)
{
    if (!factory)
        return E_INVALIDARG;
    ComPtr<IDXGIFactory> created(new Factory);
    return created->QueryInterface(riid, factory);
}

BOOL GetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info)
{
    const uintptr_t handle = reinterpret_cast<uintptr_t>(monitor);
    const std::vector<DisplayOutput> outputs = GetDisplayOutputs();
    if (!info || handle == 0 || handle > outputs.size())
        return FALSE;
    const DisplayOutput& output = outputs[handle - 1];
    info->rcMonitor = output.bounds;
    info->rcWork = output.work_area;
    info->dwFlags = handle == 1 ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize >= sizeof(MONITORINFOEXW)) {
        auto* extended = static_cast<MONITORINFOEXW*>(info);
        std::memset(extended->szDevice, 0, sizeof(extended->szDevice));
        const size_t n = std::min<size_t>(output.name.size(), CCHDEVICENAME - 1);
        std::copy_n(output.name.begin(), n, extended->szDevice);
    }
    return TRUE;
}
