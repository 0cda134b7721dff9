#include "graphics/CDirect3D.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <new>

#include "foundation/AppLink.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDIBDC.h"
#include "graphics/CSpriteManager.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "graphics/LiveDrawLock.h"
#include "platform/gdi/GdiApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/user/MenuApi.h"
#include "platform/user/WindowApi.h"

CCriticalSection g_draw_lock{LOCK_LEVEL_GLOBAL_DRAW};

namespace {

CDirect3D* g_instance = nullptr;

struct ErrorText
{
    uint32_t code;
    const char* text;
};

constexpr ErrorText ERROR_TEXTS[] = {
    {0x80004001, "The method call isn't implemented with the passed parameter combination."},
    {0x8007000E, "Direct3D could not allocate sufficient memory to complete the call."},
    {0x80070057, "An invalid parameter was passed to the returning function."},
    {0x887A0001, "The method call is invalid. For example, a method's parameter may not be a valid pointer."},
    {0x887A0002, "When calling IDXGIObject::GetPrivateData, the GUID passed in is not recognized as one "
                 "previously passed to "
                 "IDXGIObject::SetPrivateData or IDXGIObject::SetPrivateDataInterface. When calling "
                 "IDXGIFactory::EnumAdapters "
                 "or IDXGIAdapter::EnumOutputs, the enumerated ordinal is out of range."},
    {0x887A0003, "The buffer supplied by the application is not big enough to hold the requested data."},
    {0x887A0004, "The requested functionality is not supported by the device or the driver."},
    {0x887A0006,
     "The application's device failed due to badly formed commands sent by the application. This is an "
     "design-time issue that should be investigated and fixed."},
    {0x887A0007, "The device failed due to a badly formed command. This is a run-time issue; The application "
                 "should destroy "
                 "and recreate the device."},
    {0x887A000A,
     "The GPU was busy at the moment when a call was made to perform an operation, and did not execute or "
     "schedule the operation."},
    {0x887A000B,
     "An event (for example, a power cycle) interrupted the gathering of presentation statistics."},
    {0x887A000C,
     "The application attempted to acquire exclusive ownership of an output, but failed because some other "
     "application (or device within the application) already acquired ownership."},
    {0x887A0020, "The driver encountered a problem and was put into the device removed state."},
    {0x887A0021, "A global counter resource is in use, and the Direct3D device can't currently use the "
                 "counter resource."},
    {0x887A0022, "The resource or request is not currently available, but it might become available later."},
    {0x887A0023, "Reserved"},
    {0x887A0024, "Reserved"},
    {0x887A0026, "The desktop duplication interface is invalid. The desktop duplication interface typically "
                 "becomes invalid "
                 "when a different type of image is displayed on the desktop."},
    {0x887A0027, "The time-out interval elapsed before the next desktop frame was available."},
    {0x887A0028, "The Remote Desktop Services session is currently disconnected."},
    {0x887A0029,
     "The DXGI output (monitor) to which the swap chain content was restricted is now disconnected or "
     "changed."},
    {0x887A002A, "DXGI can't provide content protection on the swap chain. This error is typically caused by "
                 "an older driver, "
                 "or when you use a swap chain that is incompatible with content protection."},
    {0x887A002B, "You tried to use a resource to which you did not have the required access privileges. This "
                 "error is most "
                 "typically caused when you write to a shared resource with read-only access."},
    {0x887A002C, "The supplied name of a resource in a call to IDXGIResource1::CreateSharedHandle is already "
                 "associated with "
                 "some other resource."},
    {0x887A002D, "The operation depends on an SDK component that is missing or mismatched."},
    {0x887C0001, "There are too many unique instances of a particular type of state object."},
    {0x887C0002, "The file was not found."},
    {0x887C0003, "There are too many unique instances of a particular type of view object."},
    {0x887C0004,
     "The first call to ID3D11DeviceContext::Map after either ID3D11Device::CreateDeferredContext or "
     "ID3D11DeviceContext::FinishCommandList per Resource was not D3D11_MAP_WRITE_DISCARD."},
};

void ThrowIfFailed(HRESULT result)
{
    if (FAILED(result))
        throw tagDirect3DExecException(result);
}

uint32_t Now()
{
    AppLink* app = GetAppLink();
    return app && app->GetClockSwitch() == 1 ? GetTickCount() : timeGetTime();
}

} // namespace

CStringUTF8 GetDirectXErrorText(HRESULT result)
{
    for (const ErrorText& entry : ERROR_TEXTS) {
        if (entry.code == static_cast<uint32_t>(result))
            return CStringUTF8(entry.text);
    }
    return CStringUTF8();
}

tagDirect3DExecException::tagDirect3DExecException(HRESULT result)
    : CExecException(CStringUTF8("\nDirectX Error\n") + GetDirectXErrorText(result))
    , m_result(result)
{}

CDirect3D::CDirect3D()
{
    m_status = DISPLAY_READY | DISPLAY_ENABLED;
}

CDirect3D* CDirect3D::GetInstance()
{
    if (!g_instance) {
        g_instance = new (std::nothrow) CDirect3D;
        if (!g_instance)
            throw CStringUTF8("Direct 3D Class の作成に失敗しました");
    }
    return g_instance;
}

void CDirect3D::DeleteInstance()
{
    CDirect3D* instance = g_instance;
    delete instance;
    if (g_instance == instance)
        g_instance = nullptr;
}

int32_t CDirect3D::Create()
{
    const SIZE logical = GetScreenOriginalSize(1);

    m_draw_controller.reset(new (std::nothrow) uint32_t(0));
    if (!m_draw_controller)
        throw CStringUTF8("描画制御オブジェクトの作成に失敗しました。");
    m_sprite_manager.reset(new (std::nothrow) CSpriteManager(nullptr));
    if (!m_sprite_manager)
        throw CStringUTF8("スプライト制御オブジェクトの作成に失敗しました。");
    m_info.reset(new (std::nothrow) Direct3DStruct);
    if (!m_info)
        throw CStringUTF8("Direct3DStruct オブジェクトの作成に失敗しました。");
    m_info->width = logical.cx;
    m_info->height = logical.cy;

    GetWindowRect(m_window, &m_saved_window_rect);
    GetClientRect(m_window, &m_client_rect);
    m_info->display_mode = DISPLAY_MODE_WINDOW;
    UpdateScreenMapping();

    const int32_t enumerated = EnumerateAdapters();
    if (enumerated < 0)
        return enumerated;

    DXGI_SWAP_CHAIN_DESC desc{};
    desc.BufferDesc = {
        static_cast<UINT>(logical.cx), static_cast<UINT>(logical.cy),        {144, 1},
        DXGI_FORMAT_R8G8B8A8_UNORM,    DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED, DXGI_MODE_SCALING_CENTERED};
    desc.SampleDesc = {1, 0};
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    desc.BufferCount = 2;
    desc.OutputWindow = m_window;
    desc.Windowed = TRUE;
    desc.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
    desc.Flags = DXGI_SWAP_CHAIN_FLAG_ALLOW_MODE_SWITCH;

    static constexpr D3D_DRIVER_TYPE DRIVER_TYPES[] = {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP,
                                                       D3D_DRIVER_TYPE_REFERENCE};
    static constexpr D3D_FEATURE_LEVEL LEVELS[] = {
        D3D_FEATURE_LEVEL_11_1, D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0,
        D3D_FEATURE_LEVEL_9_3,  D3D_FEATURE_LEVEL_9_2,  D3D_FEATURE_LEVEL_9_1};
    ComPtr<IDXGISwapChain> swap_chain;
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> context;
    D3D_FEATURE_LEVEL level{};
    HRESULT result = E_FAIL;
    for (int32_t i = 0; i < 3; ++i) {
        result = D3D11CreateDeviceAndSwapChain(
            nullptr, DRIVER_TYPES[i], nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT, LEVELS, 7, D3D11_SDK_VERSION,
            &desc, swap_chain.GetAddressOf(), device.GetAddressOf(), &level, context.GetAddressOf());
        if (SUCCEEDED(result)) {
            m_driver_type = DRIVER_TYPES[i];
            m_driver_index = i;
            break;
        }
    }
    ThrowIfFailed(result);
    m_feature_level = level;

    try {
        ThrowIfFailed(
            device->QueryInterface(IID_ID3D11Device, reinterpret_cast<void**>(m_device.GetAddressOf())));
        ThrowIfFailed(context->QueryInterface(IID_ID3D11DeviceContext,
                                              reinterpret_cast<void**>(m_context.GetAddressOf())));
        ThrowIfFailed(swap_chain->QueryInterface(IID_IDXGISwapChain1,
                                                 reinterpret_cast<void**>(m_swap_chain.GetAddressOf())));
        ComPtr<IDXGIDevice2> dxgi_device;
        ThrowIfFailed(
            m_device->QueryInterface(IID_IDXGIDevice2, reinterpret_cast<void**>(dxgi_device.GetAddressOf())));
        ThrowIfFailed(dxgi_device->GetAdapter(m_adapter.GetAddressOf()));
        ThrowIfFailed(m_adapter->EnumOutputs(0, m_output.GetAddressOf()));

        const DXGI_MODE_DESC wanted{
            static_cast<UINT>(logical.cx), static_cast<UINT>(logical.cy),        {144, 1},
            DXGI_FORMAT_R8G8B8A8_UNORM,    DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED, DXGI_MODE_SCALING_CENTERED};
        m_output->FindClosestMatchingMode(&wanted, &m_closest_mode, nullptr);

        ComPtr<IDXGIFactory> factory;
        ThrowIfFailed(
            m_swap_chain->GetParent(IID_IDXGIFactory, reinterpret_cast<void**>(factory.GetAddressOf())));
        ThrowIfFailed(dxgi_device->SetMaximumFrameLatency(1));
        ThrowIfFailed(
            factory->MakeWindowAssociation(m_window, DXGI_MWA_NO_WINDOW_CHANGES | DXGI_MWA_NO_ALT_ENTER));

        CreateStates();
        m_clear_colour = 0xFF000000;
        if (m_info->display_mode == DISPLAY_MODE_BORDERLESS)
            UpdateMonitorRect();
        CreateBackBufferViews(static_cast<UINT>(logical.cx), static_cast<UINT>(logical.cy));

        const D3D11_BUFFER_DESC constants{
            256, D3D11_USAGE_DYNAMIC, D3D11_BIND_CONSTANT_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0};
        ThrowIfFailed(m_device->CreateBuffer(&constants, nullptr, m_constant_buffer.GetAddressOf()));
        // The sprite batch draws with its own rules; these bindings only need to be valid.
        static constexpr uint8_t SHADER_BYTES[4] = {0, 0, 0, 0};
        static const D3D11_INPUT_ELEMENT_DESC LAYOUT[] = {
            {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT,
             D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT,
             D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT,
             D3D11_INPUT_PER_VERTEX_DATA, 0},
        };
        ThrowIfFailed(m_device->CreateInputLayout(LAYOUT, 3, SHADER_BYTES, sizeof(SHADER_BYTES),
                                                  m_input_layout.GetAddressOf()));
        ThrowIfFailed(m_device->CreateVertexShader(SHADER_BYTES, sizeof(SHADER_BYTES), nullptr,
                                                   m_vertex_shader.GetAddressOf()));
        ThrowIfFailed(m_device->CreatePixelShader(SHADER_BYTES, sizeof(SHADER_BYTES), nullptr,
                                                  m_pixel_shader.GetAddressOf()));

        m_sprite_manager->CreateSpriteBatch(m_context.Get());

        m_screen_layer = std::make_unique<CTextureLayer>();
        ThrowIfFailed(m_screen_layer->Create(logical.cx, logical.cy, 0, nullptr));
        m_root_sprite = std::make_unique<CSpriteTexture>();
        m_root_sprite->Create(m_screen_layer.get(), 0, 0, RECT{0, 0, logical.cx, logical.cy}, 0, 0);
        m_screen_layer->FillRect(0, 0, logical.cx, logical.cy, m_clear_colour, 1);
        m_root_sprite->SetVisibleFlag(1);
    } catch (const tagDirect3DException& failure) {
        throw failure.GetMessage();
    }

    if (m_info->display_mode == DISPLAY_MODE_WINDOW) {
        m_info->display_mode = DISPLAY_MODE_BORDERLESS;
        ApplyWindowSize(0);
    }
    return 1;
}

CDirect3D::~CDirect3D()
{
    {
        ScopedLock lock(m_device_lock);
        ReleaseDeviceObjects();
    }
    m_render_target.Reset();
    m_depth_view.Reset();
    m_depth_texture.Reset();
    m_depth_less.Reset();
    m_depth_always.Reset();
    m_output.Reset();
    m_adapter.Reset();
    m_swap_chain.Reset();
    m_context.Reset();
    m_device.Reset();
}

void CDirect3D::ReleaseDeviceObjects()
{
    if (m_swap_chain)
        m_swap_chain->SetFullscreenState(FALSE, nullptr);
    // The root sprite unregisters itself; the screen layer goes after the sprite that shows it.
    m_root_sprite.reset();
    m_screen_layer.reset();
    m_draw_controller.reset();
    m_sprite_manager.reset();
    m_info.reset();
    m_constant_buffer.Reset();
    m_input_layout.Reset();
    m_vertex_shader.Reset();
    m_pixel_shader.Reset();
    m_rasterizer.Reset();
    m_rasterizer_scissor.Reset();
    m_blend_alpha.Reset();
    m_blend_additive.Reset();
    m_blend_no_write.Reset();
    m_sampler.Reset();
}

int32_t CDirect3D::EnumerateAdapters()
{
    ComPtr<IDXGIFactory> factory;
    HRESULT result = CreateDXGIFactory(IID_IDXGIFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    if (FAILED(result))
        return CreateDXGIFactory(IID_IDXGIFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
    for (UINT a = 0;; ++a) {
        ComPtr<IDXGIAdapter> adapter;
        if (factory->EnumAdapters(a, adapter.GetAddressOf()) == DXGI_ERROR_NOT_FOUND)
            break;
        std::unique_ptr<AdapterRecord> record(new (std::nothrow) AdapterRecord);
        if (!record)
            return E_OUTOFMEMORY;
        record->index = a;
        for (UINT o = 0;; ++o) {
            ComPtr<IDXGIOutput> output;
            if (adapter->EnumOutputs(o, output.GetAddressOf()) == DXGI_ERROR_NOT_FOUND)
                break;
            UINT count = 0;
            output->GetDisplayModeList(DXGI_FORMAT_R8G8B8A8_UNORM, 0, &count, nullptr);
            std::vector<DXGI_MODE_DESC> modes(count);
            if (count)
                output->GetDisplayModeList(DXGI_FORMAT_R8G8B8A8_UNORM, 0, &count, modes.data());
            record->modes.push_back(std::move(modes));
            DXGI_OUTPUT_DESC desc{};
            output->GetDesc(&desc);
            MONITORINFOEXW info{};
            info.cbSize = sizeof(MONITORINFOEXW);
            GetMonitorInfoW(desc.Monitor, &info);
            record->monitors.push_back(info);
        }
        m_info->adapters.push_back(std::move(record));
    }
    return 0;
}

void CDirect3D::CreateBackBufferViews(UINT width, UINT height)
{
    ComPtr<ID3D11Texture2D> back_buffer;
    ThrowIfFailed(m_swap_chain->GetBuffer(0, IID_ID3D11Texture2D,
                                          reinterpret_cast<void**>(back_buffer.GetAddressOf())));
    ThrowIfFailed(
        m_device->CreateRenderTargetView(back_buffer.Get(), nullptr, m_render_target.GetAddressOf()));
    D3D11_TEXTURE2D_DESC depth{};
    depth.Width = width;
    depth.Height = height;
    depth.MipLevels = 1;
    depth.ArraySize = 1;
    depth.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    depth.SampleDesc = {1, 0};
    depth.Usage = D3D11_USAGE_DEFAULT;
    depth.BindFlags = D3D11_BIND_DEPTH_STENCIL;
    ThrowIfFailed(m_device->CreateTexture2D(&depth, nullptr, m_depth_texture.GetAddressOf()));
    D3D11_DEPTH_STENCIL_VIEW_DESC view{};
    view.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    view.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
    ThrowIfFailed(
        m_device->CreateDepthStencilView(m_depth_texture.Get(), &view, m_depth_view.GetAddressOf()));
    if (m_sprite_manager)
        m_sprite_manager->ForgetLastDraw();
    D3D11_DEPTH_STENCIL_DESC state{};
    state.DepthEnable = TRUE;
    state.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ALL;
    state.DepthFunc = D3D11_COMPARISON_LESS;
    ThrowIfFailed(m_device->CreateDepthStencilState(&state, m_depth_less.GetAddressOf()));
    state.DepthFunc = D3D11_COMPARISON_ALWAYS;
    ThrowIfFailed(m_device->CreateDepthStencilState(&state, m_depth_always.GetAddressOf()));
    SetViewport();
}

void CDirect3D::CreateStates()
{
    D3D11_RASTERIZER_DESC rasterizer{
        D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 1, 0.0f, 0.0f, TRUE, FALSE, FALSE, FALSE};
    ThrowIfFailed(m_device->CreateRasterizerState(&rasterizer, m_rasterizer.GetAddressOf()));
    m_context->RSSetState(m_rasterizer.Get());
    rasterizer.ScissorEnable = TRUE;
    ThrowIfFailed(m_device->CreateRasterizerState(&rasterizer, m_rasterizer_scissor.GetAddressOf()));

    D3D11_BLEND_DESC blend{};
    blend.RenderTarget[0] = {TRUE,
                             D3D11_BLEND_SRC_ALPHA,
                             D3D11_BLEND_INV_SRC_ALPHA,
                             D3D11_BLEND_OP_ADD,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_ZERO,
                             D3D11_BLEND_OP_ADD,
                             D3D11_COLOR_WRITE_ENABLE_ALL};
    ThrowIfFailed(m_device->CreateBlendState(&blend, m_blend_alpha.GetAddressOf()));
    blend.RenderTarget[0].DestBlend = D3D11_BLEND_ONE;
    ThrowIfFailed(m_device->CreateBlendState(&blend, m_blend_additive.GetAddressOf()));
    D3D11_BLEND_DESC no_write{};
    no_write.RenderTarget[0].BlendEnable = FALSE;
    no_write.RenderTarget[0].RenderTargetWriteMask = 0;
    ThrowIfFailed(m_device->CreateBlendState(&no_write, m_blend_no_write.GetAddressOf()));

    D3D11_SAMPLER_DESC sampler{};
    sampler.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D11_TEXTURE_ADDRESS_MIRROR;
    sampler.MipLODBias = 0;
    sampler.MaxAnisotropy = 1;
    sampler.ComparisonFunc = D3D11_COMPARISON_ALWAYS;
    sampler.MinLOD = 0;
    sampler.MaxLOD = FLT_MAX;
    ThrowIfFailed(m_device->CreateSamplerState(&sampler, m_sampler.GetAddressOf()));
}

void CDirect3D::UpdateScreenMapping()
{
    const float w = static_cast<float>(m_info->width);
    const float h = static_cast<float>(m_info->height);
    switch (m_info->display_mode) {
    case DISPLAY_MODE_WINDOW: {
        const SIZE window = GetScreenWindowSize();
        m_offset_x = m_offset_y = 0;
        m_viewport_x = m_viewport_y = 0;
        m_viewport_w = window.cx;
        m_viewport_h = window.cy;
        m_scale_x = w / static_cast<float>(m_viewport_w);
        m_scale_y = h / static_cast<float>(m_viewport_h);
        break;
    }
    case DISPLAY_MODE_BORDERLESS:
        m_offset_x = ((m_monitor_rect.right - m_viewport_w) - m_monitor_rect.left) / 2;
        m_offset_y = ((m_monitor_rect.bottom - m_viewport_h) - m_monitor_rect.top) / 2;
        m_viewport_x = m_offset_x;
        m_viewport_y = m_offset_y;
        m_scale_x = w / static_cast<float>(m_viewport_w);
        m_scale_y = h / static_cast<float>(m_viewport_h);
        break;
    case DISPLAY_MODE_EXCLUSIVE:
        m_offset_x = m_offset_y = 0;
        m_viewport_x = m_viewport_y = 0;
        m_scale_x = w / static_cast<float>(m_monitor_rect.right - m_monitor_rect.left);
        m_scale_y = h / static_cast<float>(m_monitor_rect.bottom - m_monitor_rect.top);
        break;
    default:
        break;
    }
}

void CDirect3D::UpdateMonitorRect()
{
    const RECT closest{0, 0, static_cast<LONG>(m_closest_mode.Width),
                       static_cast<LONG>(m_closest_mode.Height)};
    if (m_info->display_mode == DISPLAY_MODE_EXCLUSIVE && closest.right > 0 && closest.bottom > 0) {
        m_monitor_rect = closest;
    } else {
        RECT window{};
        GetWindowRect(m_window, &window);
        m_monitor_rect =
            GetNearestMonitorRect((window.left + window.right) / 2, (window.top + window.bottom) / 2);
    }
    const SIZE size = ComputeFullScreenSize(m_monitor_rect.right - m_monitor_rect.left,
                                            m_monitor_rect.bottom - m_monitor_rect.top, m_info->width,
                                            m_info->height, GetScreenFullDrawMode());
    m_viewport_w = size.cx;
    m_viewport_h = size.cy;
}

SIZE CDirect3D::ComputeFullScreenSize(int32_t mw, int32_t mh, int32_t w, int32_t h, int32_t draw_mode)
{
    SIZE result{w, h};
    const double dw = w;
    const double dh = h;
    switch (draw_mode) {
    case 1:
        if (mw != w && mh != h) {
            result = SIZE{mw, static_cast<LONG>(std::trunc(mw / dw * dh))};
            if (result.cy > mh)
                result = SIZE{static_cast<LONG>(std::trunc(mh / dh * dw)), mh};
            if (result.cx > mw) {
                double scale = 1.0;
                double step = 0.1;
                for (int round = 0; round < 3; ++round) {
                    while (std::trunc(dw * scale) <= mw && std::trunc(dh * scale) <= mh) {
                        result = SIZE{static_cast<LONG>(std::trunc(dw * scale)),
                                      static_cast<LONG>(std::trunc(dh * scale))};
                        scale += step;
                    }
                    step /= 10;
                }
            }
        }
        break;
    case 2:
        result = SIZE{mw, static_cast<LONG>(std::trunc(mw / dw * dh))};
        break;
    case 3:
        result = SIZE{static_cast<LONG>(std::trunc(mh / dh * dw)), mh};
        break;
    case 4:
        result = SIZE{mw, mh};
        break;
    default:
        break;
    }
    return result;
}

RECT CDirect3D::GetNearestMonitorRect(int32_t x, int32_t y)
{
    const AdapterRecord* record = nullptr;
    if (m_info && m_driver_index >= 0 && static_cast<size_t>(m_driver_index) < m_info->adapters.size())
        record = m_info->adapters[static_cast<size_t>(m_driver_index)].get();
    if (!record || record->monitors.empty())
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    size_t best = 0;
    int32_t best_distance = 10000;
    for (size_t i = 0; i < record->monitors.size(); ++i) {
        const RECT& r = record->monitors[i].rcMonitor;
        const int32_t dx = std::abs((r.right - r.left) / 2 + r.left - x);
        const int32_t dy = std::abs((r.bottom - r.top) / 2 + r.top - y);
        const int32_t distance = (dx + dy) / 2;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return record->monitors[best].rcMonitor;
}

void CDirect3D::SetViewport()
{
    m_viewport = D3D11_VIEWPORT{static_cast<float>(m_viewport_x),
                                static_cast<float>(m_viewport_y),
                                static_cast<float>(m_viewport_w),
                                static_cast<float>(m_viewport_h),
                                0.0f,
                                1.0f};
    if (m_context)
        m_context->RSSetViewports(1, &m_viewport);
    if (m_sprite_manager)
        m_sprite_manager->ForgetLastDraw();
}

RECT CDirect3D::GetViewportRect() const
{
    return RECT{m_viewport_x, m_viewport_y, m_viewport_x + m_viewport_w, m_viewport_y + m_viewport_h};
}

bool CDirect3D::ResizeSwapChain(BOOL full_screen)
{
    const SIZE window = GetScreenWindowSize();
    m_context->OMSetRenderTargets(0, nullptr, nullptr);
    m_render_target.Reset();
    m_depth_view.Reset();
    m_depth_texture.Reset();
    m_context->ClearState();
    SIZE size = window;
    if (m_info->display_mode == DISPLAY_MODE_BORDERLESS)
        size = SIZE{m_monitor_rect.right - m_monitor_rect.left, m_monitor_rect.bottom - m_monitor_rect.top};
    m_context->Flush();
    if (FAILED(m_swap_chain->ResizeBuffers(2, static_cast<UINT>(size.cx), static_cast<UINT>(size.cy),
                                           DXGI_FORMAT_UNKNOWN, 0)))
        return false;
    ComPtr<ID3D11Texture2D> back_buffer;
    if (FAILED(m_swap_chain->GetBuffer(0, IID_ID3D11Texture2D,
                                       reinterpret_cast<void**>(back_buffer.GetAddressOf()))))
        return false;
    m_device->CreateRenderTargetView(back_buffer.Get(), nullptr, m_render_target.GetAddressOf());
    D3D11_TEXTURE2D_DESC depth{};
    depth.Width = static_cast<UINT>(size.cx);
    depth.Height = static_cast<UINT>(size.cy);
    depth.MipLevels = 1;
    depth.ArraySize = 1;
    depth.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    depth.SampleDesc = {1, 0};
    depth.Usage = D3D11_USAGE_DEFAULT;
    depth.BindFlags = D3D11_BIND_DEPTH_STENCIL;
    if (SUCCEEDED(m_device->CreateTexture2D(&depth, nullptr, m_depth_texture.GetAddressOf()))) {
        D3D11_DEPTH_STENCIL_VIEW_DESC view{};
        view.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
        view.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
        m_device->CreateDepthStencilView(m_depth_texture.Get(), &view, m_depth_view.GetAddressOf());
    }
    ID3D11RenderTargetView* targets[] = {m_render_target.Get()};
    m_context->OMSetRenderTargets(1, targets, m_depth_view.Get());
    m_swap_chain->SetFullscreenState(full_screen, nullptr);
    return true;
}

int32_t CDirect3D::ResetBuffers()
{
    LiveDrawLock lock;
    m_status &= ~DISPLAY_READY;
    UpdateScreenMapping();
    const bool resized = ResizeSwapChain(FALSE);
    SetViewport();
    m_status |= DISPLAY_READY;
    // A swap chain left without buffers is not a success the caller may build on.
    return resized ? 0 : -1;
}

int32_t CDirect3D::ApplyWindowSize(int32_t show)
{
    // Window calls send messages into the view's hooks and procedures, which take the hook list
    // and then the draw lock; so they are made between the locked steps, never under the lock.
    // The ready bit stays clear throughout, so a frame requested meanwhile is skipped.
    const int32_t mode = m_info->display_mode;
    const bool to_borderless = mode == DISPLAY_MODE_WINDOW && GetScreenChangeMode() == 0;
    {
        LiveDrawLock lock;
        m_status &= ~DISPLAY_READY;
        m_switching = 1;
        // The new mode is in place before any message about it arrives.
        if (mode == DISPLAY_MODE_WINDOW) {
            m_info->full_screen = to_borderless ? 0 : 1;
            m_info->display_mode = to_borderless ? DISPLAY_MODE_BORDERLESS : DISPLAY_MODE_EXCLUSIVE;
        } else if (mode == DISPLAY_MODE_BORDERLESS || mode == DISPLAY_MODE_EXCLUSIVE) {
            m_info->full_screen = 0;
            m_info->display_mode = DISPLAY_MODE_WINDOW;
        }
    }

    if (to_borderless) {
        m_saved_style = static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE));
        m_saved_menu = GetMenu(m_window);
        SetMenu(m_window, nullptr);
        SetWindowLongW(m_window, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    } else if (mode == DISPLAY_MODE_BORDERLESS) {
        if (m_saved_menu)
            SetMenu(m_window, m_saved_menu);
        if (m_saved_style)
            SetWindowLongW(m_window, GWL_STYLE, static_cast<LONG>(m_saved_style));
    }

    {
        LiveDrawLock lock;
        if (mode == DISPLAY_MODE_WINDOW)
            UpdateMonitorRect();
        if (mode == DISPLAY_MODE_WINDOW || mode == DISPLAY_MODE_BORDERLESS ||
            mode == DISPLAY_MODE_EXCLUSIVE) {
            UpdateScreenMapping();
            ResizeSwapChain(mode == DISPLAY_MODE_WINDOW && !to_borderless ? TRUE : FALSE);
        }
        SetViewport();
    }

    if (mode == DISPLAY_MODE_WINDOW)
        GetWindowRect(m_window, &m_saved_window_rect);
    if (m_info->display_mode == DISPLAY_MODE_WINDOW) {
        const RECT& r = m_saved_window_rect;
        SetWindowPos(m_window, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    }
    {
        LiveDrawLock lock;
        m_status |= DISPLAY_READY;
    }
    m_switching = 0;
    return 0;
}

void CDirect3D::RedrawNow()
{
    if (!IsLive())
        return;
    ScopedLock lock(g_draw_lock);
    const uint32_t wanted = DISPLAY_READY | DISPLAY_ENABLED;
    if ((GetStatus() & wanted) != wanted)
        return;
    if (CSpriteManager* manager = GetSpriteManager())
        manager->SetMatrices();
    DrawFrame();
}

void CDirect3D::DrawFrame()
{
    ScopedLock lock(m_device_lock);
    if (!m_context || !m_render_target || !m_sprite_manager)
        return;
    m_frame_time = Now();
    // A frame that would show what the last one showed is neither composed nor presented, and
    // one that changes a part only is composed there only: the target keeps the rest.
    ComPtr<ID3D11Texture2D> back_buffer;
    D3D11_TEXTURE2D_DESC back{};
    if (SUCCEEDED(m_swap_chain->GetBuffer(0, IID_ID3D11Texture2D,
                                          reinterpret_cast<void**>(back_buffer.GetAddressOf()))))
        back_buffer->GetDesc(&back);
    // The batch's matrix and the stretch of the viewport over the target put the logical screen
    // onto the target scaled along each axis, neither turned nor moved, which a part keeps; a
    // stretch that misses one by float rounding alone is one to one, as the batch takes it.
    const DirectX::XMMATRIX& matrix = m_sprite_manager->GetMatrix();
    CSpriteManager::TargetScale target{0, 0, static_cast<LONG>(back.Width), static_cast<LONG>(back.Height)};
    if (m_viewport.Width > 0 && m_viewport.Height > 0) {
        target.x = static_cast<double>(back.Width) / m_viewport.Width * matrix.m[0][0];
        target.y = static_cast<double>(back.Height) / m_viewport.Height * matrix.m[1][1];
    }
    for (double* scale : {&target.x, &target.y}) {
        if (std::abs(*scale - 1) < 1e-5)
            *scale = 1;
    }
    const bool region_allowed = back.Width > 0 && back.Height > 0 && target.x > 0 && target.y > 0 &&
                                m_screen_layer && matrix.m[1][0] == 0 && matrix.m[0][1] == 0 &&
                                matrix.m[3][0] == 0 && matrix.m[3][1] == 0;
    const CSpriteManager::DrawPlan plan =
        m_sprite_manager->PlanDraw(m_screen_layer.get(), m_root_sprite.get(), region_allowed);
    if (plan.kind == CSpriteManager::DrawPlan::Kind::Nothing) {
        m_swap_chain->Present(0, DXGI_PRESENT_DO_NOT_SEQUENCE);
        return;
    }
    m_context->VSSetShader(m_vertex_shader.Get(), nullptr, 0);
    ID3D11Buffer* constants[] = {m_constant_buffer.Get()};
    m_context->VSSetConstantBuffers(0, 1, constants);
    m_context->PSSetShader(m_pixel_shader.Get(), nullptr, 0);
    ID3D11SamplerState* samplers[] = {m_sampler.Get()};
    m_context->PSSetSamplers(0, 1, samplers);
    m_context->RSSetState(m_rasterizer.Get());
    const float factor[4] = {0, 0, 0, 0};
    m_context->OMSetBlendState(m_blend_alpha.Get(), factor, 0xFFFFFFFF);
    m_context->OMSetDepthStencilState(m_depth_less.Get(), 0);
    m_context->IASetInputLayout(m_input_layout.Get());
    ID3D11RenderTargetView* targets[] = {m_render_target.Get()};
    m_context->OMSetRenderTargets(1, targets, m_depth_view.Get());
    if (plan.kind != CSpriteManager::DrawPlan::Kind::Region ||
        !m_sprite_manager->DrawRegion(m_screen_layer.get(), m_root_sprite.get(), plan, target)) {
        const float black[4] = {0, 0, 0, 1};
        m_context->ClearRenderTargetView(m_render_target.Get(), black);
        m_context->ClearDepthStencilView(m_depth_view.Get(), D3D11_CLEAR_DEPTH, 1.0f, 0);
        m_sprite_manager->Draw(m_screen_layer.get());
    }
    m_context->VSSetShader(nullptr, nullptr, 0);
    m_context->PSSetShader(nullptr, nullptr, 0);
    m_swap_chain->Present(0, 0);
}

void CDirect3D::CaptureScreen(CSpriteLayer* target)
{
    ScopedLock lock(m_device_lock);
    if (!target || !m_swap_chain)
        return;
    ComPtr<ID3D11Texture2D> back_buffer;
    if (FAILED(m_swap_chain->GetBuffer(0, IID_ID3D11Texture2D,
                                       reinterpret_cast<void**>(back_buffer.GetAddressOf()))))
        return;
    D3D11_TEXTURE2D_DESC desc{};
    back_buffer->GetDesc(&desc);
    const int32_t bw = static_cast<int32_t>(desc.Width);
    const int32_t bh = static_cast<int32_t>(desc.Height);

    CSpriteLayer temporary;
    temporary.SetLayerKind(LAYER_KIND_DIB_SECTION);
    temporary.Create(0, 0, bw, bh, -1);

    D3D11_TEXTURE2D_DESC staging_desc = desc;
    staging_desc.Usage = D3D11_USAGE_STAGING;
    staging_desc.BindFlags = 0;
    staging_desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ComPtr<ID3D11Texture2D> staging;
    if (SUCCEEDED(m_device->CreateTexture2D(&staging_desc, nullptr, staging.GetAddressOf()))) {
        m_context->CopyResource(staging.Get(), back_buffer.Get());
        D3D11_MAPPED_SUBRESOURCE mapped{};
        if (SUCCEEDED(m_context->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped))) {
            target->Lock();
            for (int32_t r = 0; r < bh; ++r) {
                const auto* source = static_cast<const uint8_t*>(mapped.pData) + size_t{mapped.RowPitch} * r;
                uint8_t* row = temporary.GetPixelPtr(0, r);
                for (int32_t x = 0; x < bw; ++x) {
                    row[x * 4 + 0] = source[x * 4 + 2];
                    row[x * 4 + 1] = source[x * 4 + 1];
                    row[x * 4 + 2] = source[x * 4 + 0];
                    row[x * 4 + 3] = 0xFF;
                }
            }
            target->Unlock();
            m_context->Unmap(staging.Get(), 0);
        }
    }

    // The logical-size copy goes through a halftone stretch, exact when the sizes match.
    const SIZE logical = GetScreenOriginalSize(1);
    CDIBDC stretched;
    stretched.Create(logical.cx, logical.cy);
    SetStretchBltMode(temporary.GetDC(), HALFTONE);
    SetStretchBltMode(stretched.GetDC(), HALFTONE);
    StretchBlt(stretched.GetDC(), 0, 0, logical.cx, logical.cy, temporary.GetDC(), 0, 0, bw, bh, SRCCOPY);
    target->Blt(0, 0, logical.cx, logical.cy, &stretched, 0, 0, 1);
    target->SetAlphaRect(0, 0, logical.cx, logical.cy, 255);
}

void CDirect3D::UpdateDrawList(int32_t operation, CSpriteLayer* sprite)
{
    CSpriteManager* manager = m_sprite_manager.get();
    if (!manager)
        return;
    switch (operation) {
    case DRAW_LIST_ADD:
        manager->Register(sprite);
        break;
    case DRAW_LIST_REMOVE:
        manager->Remove(sprite);
        break;
    case DRAW_LIST_SORT:
        manager->Sort();
        break;
    default:
        break;
    }
}

POINT CDirect3D::WindowToLogical(POINT window) const
{
    const float x = (static_cast<float>(window.x - m_offset_x)) * m_scale_x + 0.5f;
    const float y = (static_cast<float>(window.y - m_offset_y)) * m_scale_y + 0.5f;
    return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}

POINT CDirect3D::LogicalToWindow(POINT logical) const
{
    const float x = static_cast<float>(logical.x) / m_scale_x + static_cast<float>(m_offset_x) + 0.5f;
    const float y = static_cast<float>(logical.y) / m_scale_y + static_cast<float>(m_offset_y) + 0.5f;
    return POINT{static_cast<LONG>(x), static_cast<LONG>(y)};
}
