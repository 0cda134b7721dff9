#pragma once
// The process-wide display: the Direct3D 11 device and swap chain on the main view, the screen
// layer that software sprites are composed into and the root sprite that shows it, the sprite
// manager's draw pass, window and borderless full-screen switching, and the numbers that map
// window pixels to the fixed logical screen. Created at start-up, made live by Create, deleted at
// exit. Anything that wants the picture on screen now takes the global draw lock and draws a
// frame while the display is live and its ready and enabled bits are set; frames may be drawn
// and presented from the main thread, the app-task thread and the movie thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "foundation/CExecException.h"
#include "foundation/CStringUTF8.h"
#include "platform/com/ComPtr.h"
#include "platform/d3d/D2D1Api.h"
#include "platform/d3d/D3D11Api.h"
#include "platform/d3d/DxgiApi.h"
#include "platform/d3d/MonitorApi.h"

class CSpriteLayer;
class CSpriteManager;
class CSpriteTexture;
class CTextureLayer;

// The global draw lock (LOCK_LEVEL_GLOBAL_DRAW). Every scene change and frame draw on any thread takes it.
extern CCriticalSection g_draw_lock;

inline constexpr uint32_t DISPLAY_READY = 0x1;
inline constexpr uint32_t DISPLAY_ENABLED = 0x2;

// Operations of CDirect3D::UpdateDrawList.
inline constexpr int32_t DRAW_LIST_ADD = 0;
inline constexpr int32_t DRAW_LIST_REMOVE = 1;
inline constexpr int32_t DRAW_LIST_SORT = 2;

// Display modes.
inline constexpr int32_t DISPLAY_MODE_WINDOW = 0;
inline constexpr int32_t DISPLAY_MODE_EXCLUSIVE = 1;
inline constexpr int32_t DISPLAY_MODE_BORDERLESS = 2;

// The English text of a Direct3D or DXGI result; empty for a code it does not know.
CStringUTF8 GetDirectXErrorText(HRESULT result);

// A failing Direct3D or DXGI call: "\nDirectX Error\n" and the result's text.
class tagDirect3DExecException : public CExecException
{
public:
    explicit tagDirect3DExecException(HRESULT result);
    HRESULT GetResult() const { return m_result; }
    const CStringUTF8& GetSecondText() const { return m_second; }

private:
    HRESULT m_result;
    CStringUTF8 m_second;
};

// A display failure carrying a message; Create rethrows its text.
class tagDirect3DException
{
public:
    explicit tagDirect3DException(CStringUTF8 message)
        : m_message(std::move(message))
    {}
    const CStringUTF8& GetMessage() const { return m_message; }

private:
    CStringUTF8 m_message;
};

struct AdapterRecord
{
    uint32_t index = 0;
    std::vector<std::vector<DXGI_MODE_DESC>> modes; // per output, format 28
    std::vector<MONITORINFOEXW> monitors;           // per output
};

struct Direct3DStruct
{
    int32_t width = 0;
    int32_t height = 0;
    DXGI_RATIONAL refresh{60, 1};
    DXGI_FORMAT format = DXGI_FORMAT_R8G8B8A8_UNORM;
    DXGI_MODE_SCANLINE_ORDER scanline_ordering = DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED;
    DXGI_MODE_SCALING scaling = DXGI_MODE_SCALING_CENTERED;
    std::vector<std::unique_ptr<AdapterRecord>> adapters;
    int32_t full_screen = 1;
    int32_t display_mode = DISPLAY_MODE_WINDOW;
};

class CDirect3D
{
public:
    // Made on the first call with the ready and enabled bits set.
    static CDirect3D* GetInstance();
    // The application's exit deletes the display; a later GetInstance makes a blank one.
    static void DeleteInstance();
    ~CDirect3D();

    // The window the picture is shown in; the main view hands it over before Create.
    void SetViewWindow(HWND window) { m_window = window; }
    // Builds everything; 1 on success, the negative result of a failed adapter enumeration.
    int32_t Create();

    // Live once Create has built the draw controller; before that nothing draws.
    bool IsLive() const { return m_draw_controller != nullptr; }
    uint32_t GetStatus() const { return m_status.load(); }
    CSpriteManager* GetSpriteManager() { return m_sprite_manager.get(); }

    void UpdateDrawList(int32_t operation, CSpriteLayer* sprite);
    void DrawFrame();
    // Shows a change at once: under the global draw lock, while the display is live, ready and
    // enabled, sets the sprite manager's matrices and draws and presents one frame. Any thread.
    void RedrawNow();
    void CaptureScreen(CSpriteLayer* target);
    int32_t ApplyWindowSize(int32_t show);
    // 0, or -1 when the swap chain could not be rebuilt at the new size.
    int32_t ResetBuffers();
    RECT GetNearestMonitorRect(int32_t x, int32_t y);

    // Window pixels of the client area to logical pixels and back.
    POINT WindowToLogical(POINT window) const;
    POINT LogicalToWindow(POINT logical) const;

    ID3D11Device* GetDevice() const { return m_device.Get(); }
    ID3D11DeviceContext* GetDeviceContext() const { return m_context.Get(); }
    IDXGISwapChain1* GetSwapChain() const { return m_swap_chain.Get(); }
    ID3D11BlendState* GetAlphaBlendState() const { return m_blend_alpha.Get(); }
    ID3D11BlendState* GetAdditiveBlendState() const { return m_blend_additive.Get(); }
    ID3D11SamplerState* GetSamplerState() const { return m_sampler.Get(); }
    // The rasterizer state of draws kept inside the context's scissor rectangle.
    ID3D11RasterizerState* GetScissorState() const { return m_rasterizer_scissor.Get(); }
    // There is no Direct2D context on this platform; texture layers' binding fails without one.
    ID2D1DeviceContext* GetD2DContext() const { return nullptr; }
    CCriticalSection& GetDeviceLock() { return m_device_lock; }
    CTextureLayer* GetScreenLayer() const { return m_screen_layer.get(); }
    CSpriteTexture* GetRootSprite() const { return m_root_sprite.get(); }
    const Direct3DStruct* GetDisplayInfo() const { return m_info.get(); }
    int32_t GetDisplayMode() const { return m_info ? m_info->display_mode : DISPLAY_MODE_WINDOW; }
    float GetScaleX() const { return m_scale_x; }
    float GetScaleY() const { return m_scale_y; }
    POINT GetOutputOffset() const { return POINT{m_offset_x, m_offset_y}; }
    // Sets the window-to-logical mapping directly, for code that runs without a live device.
    void SetScreenMapping(POINT offset, float scale_x, float scale_y)
    {
        m_offset_x = offset.x;
        m_offset_y = offset.y;
        m_scale_x = scale_x;
        m_scale_y = scale_y;
    }
    RECT GetViewportRect() const;
    RECT GetMonitorRect() const { return m_monitor_rect; }
    D3D_DRIVER_TYPE GetDriverType() const { return static_cast<D3D_DRIVER_TYPE>(m_driver_type); }
    int32_t GetDriverIndex() const { return m_driver_index; }
    D3D_FEATURE_LEVEL GetFeatureLevel() const { return static_cast<D3D_FEATURE_LEVEL>(m_feature_level); }
    uint32_t GetFrameTime() const { return m_frame_time.load(); }
    int32_t IsSwitching() const { return m_switching.load(); }

    // The viewport size of the borderless full screen for a monitor of that size (draw mode from
    // "/Screen/Full/DrawMode").
    static SIZE ComputeFullScreenSize(int32_t monitor_width, int32_t monitor_height, int32_t width,
                                      int32_t height, int32_t draw_mode);

private:
    CDirect3D();

    int32_t EnumerateAdapters();
    void CreateBackBufferViews(UINT width, UINT height);
    void CreateStates();
    // False when the buffers could not be rebuilt (the targets stay released).
    bool ResizeSwapChain(BOOL full_screen);
    void UpdateMonitorRect();
    void UpdateScreenMapping();
    void SetViewport();
    void ReleaseDeviceObjects();

    std::unique_ptr<Direct3DStruct> m_info;
    std::unique_ptr<uint32_t> m_draw_controller;
    std::unique_ptr<CSpriteManager> m_sprite_manager;
    std::unique_ptr<CSpriteTexture> m_root_sprite;
    std::unique_ptr<CTextureLayer> m_screen_layer;
    ComPtr<ID3D11Device> m_device;
    ComPtr<ID3D11DeviceContext> m_context;
    ComPtr<IDXGISwapChain1> m_swap_chain;
    ComPtr<IDXGIAdapter> m_adapter;
    ComPtr<IDXGIOutput> m_output;
    ComPtr<ID3D11RenderTargetView> m_render_target;
    ComPtr<ID3D11Texture2D> m_depth_texture;
    ComPtr<ID3D11DepthStencilView> m_depth_view;
    ComPtr<ID3D11DepthStencilState> m_depth_less;
    ComPtr<ID3D11DepthStencilState> m_depth_always;
    ComPtr<ID3D11InputLayout> m_input_layout;
    ComPtr<ID3D11VertexShader> m_vertex_shader;
    ComPtr<ID3D11PixelShader> m_pixel_shader;
    ComPtr<ID3D11Buffer> m_constant_buffer;
    ComPtr<ID3D11RasterizerState> m_rasterizer;
    ComPtr<ID3D11RasterizerState> m_rasterizer_scissor;
    ComPtr<ID3D11BlendState> m_blend_alpha;
    ComPtr<ID3D11BlendState> m_blend_additive;
    ComPtr<ID3D11BlendState> m_blend_no_write;
    ComPtr<ID3D11SamplerState> m_sampler;
    D3D11_VIEWPORT m_viewport{};
    int32_t m_driver_type = 0;
    int32_t m_feature_level = 0;
    DXGI_MODE_DESC m_closest_mode{};
    std::atomic<uint32_t> m_status{0};
    HWND m_window = nullptr;
    RECT m_saved_window_rect{};
    RECT m_client_rect{};
    RECT m_monitor_rect{};
    int32_t m_offset_x = 0;
    int32_t m_offset_y = 0;
    int32_t m_viewport_x = 0;
    int32_t m_viewport_y = 0;
    int32_t m_viewport_w = 0;
    int32_t m_viewport_h = 0;
    float m_scale_x = 1.0f;
    float m_scale_y = 1.0f;
    uint32_t m_clear_colour = 0xFF000000;
    std::atomic<int32_t> m_switching{0};
    int32_t m_driver_index = 0;
    CCriticalSection m_device_lock{LOCK_LEVEL_DISPLAY_DEVICE}; // guards the context's use.
    std::atomic<uint32_t> m_frame_time{0};
    DWORD m_saved_style = 0;
    HMENU m_saved_menu = nullptr;
};
