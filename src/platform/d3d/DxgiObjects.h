#pragma once
// The DXGI objects behind the facade: the factory with its one software adapter, the outputs
// (one per display), and the swap chain. Layer-internal.

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/com/ComPtr.h"
#include "platform/d3d/DisplayOutputs.h"
#include "platform/d3d/DxgiApi.h"
#include "platform/d3d/FrameSlots.h"
#include "platform/d3d/Presenter.h"
#include "platform/d3d/SoftwareDevice.h"

namespace platform {

ComPtr<IDXGIAdapter> CreateSoftwareAdapter();
HRESULT CreateSwapChain(Device* device, const DXGI_SWAP_CHAIN_DESC& desc, IDXGISwapChain** swap_chain);

// The back buffer stays at the size the chain was created with (the logical screen): drawing is
// done there and the presenter scales it into the viewport. ResizeBuffers records the size asked
// for, which is the client area the picture is shown in.
class SwapChain final : public ComObject<IDXGISwapChain1>
{
public:
    SwapChain(Device* device, const DXGI_SWAP_CHAIN_DESC& desc);

    HRESULT GetParent(REFIID riid, void** parent) override;
    HRESULT Present(UINT sync_interval, UINT flags) override;
    HRESULT GetBuffer(UINT index, REFIID riid, void** surface) override;
    HRESULT SetFullscreenState(BOOL fullscreen, IDXGIOutput* target) override;
    HRESULT GetFullscreenState(BOOL* fullscreen, IDXGIOutput** target) override;
    HRESULT GetDesc(DXGI_SWAP_CHAIN_DESC* desc) override;
    HRESULT ResizeBuffers(UINT count, UINT width, UINT height, DXGI_FORMAT format, UINT flags) override;

    Texture2D* BackBuffer() const { return m_back_buffer.Get(); }
    uint64_t PresentCount() const { return m_presents.load(); }

protected:
    void* Query(REFIID riid) override;

private:
    ComPtr<Device> m_device;
    ComPtr<Texture2D> m_back_buffer;
    std::mutex m_lock; // leaf: guards m_desc, m_client, m_fullscreen and the recycled frames
    DXGI_SWAP_CHAIN_DESC m_desc;
    SIZE m_client{};
    BOOL m_fullscreen = FALSE;
    FrameSlots<PresentedFrame, 2> m_frames; // reused once the presenter has let them go
    std::atomic<uint64_t> m_presents{0};
};

} // namespace platform
