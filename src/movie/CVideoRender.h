#pragma once
// The last filter of every movie graph: copies each decoded 32-bit frame into the pixel layer of
// a sprite and presents a frame, and steps the alpha fade of that sprite once per rendered frame.
// A frame that fits the target's layer is copied to its origin; a larger one is scaled into it
// through two halftone scaling layers. DoRenderSample runs on the graph's render thread; the main
// thread hands over a new target through SetNewTarget, which the next frame takes.

#include <atomic>
#include <cstdint>
#include <memory>

#include "foundation/CCriticalSection.h"
#include "platform/dshow/BaseClasses.h"

class CDIBDC;
class CSprite;

// {7F60FB1D-97D7-4253-B3EF-69EA2ACD3953}
inline constexpr CLSID CLSID_VideoRender = {
    0x7F60FB1D, 0x97D7, 0x4253, {0xB3, 0xEF, 0x69, 0xEA, 0x2A, 0xCD, 0x39, 0x53}};

inline constexpr uint32_t RENDER_DRAWING = 0x4;
inline constexpr uint32_t RENDER_NEW_TARGET = 0x8;

// After its pixels changed outside the draw pass: the sprite shows them at the next frame (a
// texture sprite uploads its layer again).
void MarkSpritePixelsChanged(CSprite* sprite);

class CVideoRender : public CBaseVideoRenderer
{
public:
    // target must have a pixel layer.
    CVideoRender(CSprite* target, int32_t fade_step, HRESULT* result);

    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT CheckMediaType(const CMediaType* type) override;

    // Main thread: the target and step the next frame takes over (null: layer 0 looked up then).
    void SetNewTarget(CSprite* target, int32_t fade_step);
    void SetDrawing() { m_flags |= RENDER_DRAWING; }
    uint32_t GetFlags() const { return m_flags.load(); }
    CSprite* GetTarget() const { return m_target; }
    int32_t GetFadeStep() const { return m_fade_step; }
    bool HasScalingLayers() const { return m_scale_video != nullptr; }

    // The document's sprite 0 (the sprite registry, then the layer registry), without inserting.
    static CSprite* LookUpLayerZero();

private:
    ~CVideoRender() override;

    void StepFade();
    void CopyFrame(const uint8_t* source);

    BITMAPINFOHEADER m_video_header{};
    BITMAPINFOHEADER m_target_header{};
    CSprite* m_target;
    std::unique_ptr<CDIBDC> m_scale_video;  // the video's size
    std::unique_ptr<CDIBDC> m_scale_target; // the target's size
    // The hand-over: the main thread writes the next target and step and sets RENDER_NEW_TARGET,
    // the render thread takes them and clears the bit, each under the lock, so a target and its
    // step always arrive together.
    CCriticalSection m_handover_lock{LOCK_LEVEL_VIDEO_TARGET};
    CSprite* m_new_target = nullptr;
    int32_t m_new_fade_step = 0;
    int32_t m_fade_step;
    std::atomic<uint32_t> m_flags{0};
    HWND m_window;
};
