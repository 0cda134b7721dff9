#pragma once
// The process-wide display. Sprites register with its draw list; anything that wants the picture
// on screen now takes the global draw lock and draws a frame while the display is live and ready.
// FIXME: only the members the sprite and animation code call; the device, the swap chain and the
// screen mapping are still to come.

#include <atomic>
#include <cstdint>
#include <memory>

#include "foundation/CCriticalSection.h"
#include "platform/kernel/WinTypes.h"

class ILayer;
class CSpriteLayer;
class CSpriteManager;

// lock level 30: global draw. Every scene change and frame draw on any thread takes it.
extern CCriticalSection g_draw_lock;

inline constexpr uint32_t DISPLAY_READY = 0x1;
inline constexpr uint32_t DISPLAY_ENABLED = 0x2;

// Operations of CDirect3D::UpdateDrawList.
inline constexpr int32_t DRAW_LIST_ADD = 0;
inline constexpr int32_t DRAW_LIST_REMOVE = 1;
inline constexpr int32_t DRAW_LIST_SORT = 2;

// Display modes of the device.
inline constexpr int32_t DISPLAY_MODE_WINDOW = 0;
inline constexpr int32_t DISPLAY_MODE_EXCLUSIVE = 1;
inline constexpr int32_t DISPLAY_MODE_BORDERLESS = 2;

class CDirect3D
{
public:
    static CDirect3D* GetInstance();

    // Live once Create has built the draw controller; before that nothing draws.
    bool IsLive() const { return m_draw_controller != nullptr; }
    uint32_t GetStatus() const { return m_status.load(); }
    CSpriteManager* GetSpriteManager() { return m_sprite_manager.get(); }

    void UpdateDrawList(int32_t operation, CSpriteLayer* sprite);
    void DrawFrame();
    // Sizes the window for the next mode: a window becomes the borderless full screen, the full
    // screen a window again. 0 on success.
    int32_t ApplyWindowSize(int32_t show);
    int32_t GetDisplayMode() const { return m_display_mode; }
    // Copies the picture on screen into the layer.
    void CaptureScreen(ILayer* target);

    // The screen mapping: a window pixel maps to the logical screen as
    // trunc((window - output offset) x scale + 0.5) per axis.
    POINT GetOutputOffset() const { return m_output_offset; }
    float GetScaleX() const { return m_scale_x; }
    float GetScaleY() const { return m_scale_y; }
    void SetScreenMapping(POINT offset, float scale_x, float scale_y)
    {
        m_output_offset = offset;
        m_scale_x = scale_x;
        m_scale_y = scale_y;
    }

private:
    CDirect3D() = default;

    std::unique_ptr<uint32_t> m_draw_controller;
    std::unique_ptr<CSpriteManager> m_sprite_manager;
    std::atomic<uint32_t> m_status{DISPLAY_READY | DISPLAY_ENABLED};
    POINT m_output_offset{0, 0};
    float m_scale_x = 1.0f;
    float m_scale_y = 1.0f;
    int32_t m_display_mode = DISPLAY_MODE_WINDOW;
};
