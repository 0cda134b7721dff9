#include "movie/CVideoRender.h"

#include <algorithm>
#include <cstring>

#include "foundation/GameDocument.h"
#include "foundation/MainView.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDIBDC.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/FrameRedraw.h"
#include "graphics/ILayer.h"
#include "graphics/PixelRows.h"
#include "graphics/SpriteLayerOf.h"
#include "platform/user/WindowApi.h"

namespace {

// Copies height rows of width pixels from a bottom-up frame into a layer, opaque.
void CopyRows(const uint8_t* source, int32_t width, int32_t height, ptrdiff_t source_stride, ILayer* layer)
{
    uint8_t* bits = layer->GetBits();
    for (int32_t y = 0; y < height; ++y) {
        graphics::CopyOpaqueRow(bits + layer->GetPixelOffset(0, y), source + (height - 1 - y) * source_stride,
                                width);
    }
}

} // namespace

void MarkSpritePixelsChanged(CSprite* sprite)
{
    if (ILayer* layer = SpriteLayerOf(sprite))
        layer->SetModified(1);
    if (auto* texture = dynamic_cast<CSpriteTexture*>(sprite))
        texture->MarkForUpload(0);
}

CVideoRender::CVideoRender(CSprite* target, int32_t fade_step, HRESULT* result)
    : CBaseVideoRenderer(CLSID_VideoRender, u"CVideoRenderer", nullptr, result)
    , m_target(target)
    , m_fade_step(fade_step)
    , m_window(GetMainView().GetMainWindow())
{
    if (ILayer* layer = SpriteLayerOf(target))
        m_target_header = *layer->GetHeader();
}

CVideoRender::~CVideoRender() = default;

CSprite* CVideoRender::LookUpLayerZero()
{
    GameDocument* document = GetGameDocument();
    if (auto it = document->Sprites.find(0); it != document->Sprites.end())
        return it->second.get();
    return document->GetSpriteLayer(0);
}

HRESULT CVideoRender::CheckMediaType(const CMediaType* type)
{
    if (*type->FormatType() != FORMAT_VideoInfo || *type->Type() != MEDIATYPE_Video ||
        *type->Subtype() != MEDIASUBTYPE_RGB32 || type->cbFormat < sizeof(VIDEOINFOHEADER))
        return S_FALSE;
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->Format());
    if (info->bmiHeader.biBitCount != 32 || info->bmiHeader.biCompression != BI_RGB)
        return S_FALSE;
    return S_OK;
}

HRESULT CVideoRender::SetMediaType(const CMediaType* type)
{
    m_video_header = reinterpret_cast<const VIDEOINFOHEADER*>(type->Format())->bmiHeader;
    if (m_video_header.biWidth != m_target_header.biWidth ||
        std::abs(m_video_header.biHeight) != std::abs(m_target_header.biHeight)) {
        auto video = std::make_unique<CDIBDC>();
        auto target = std::make_unique<CDIBDC>();
        try {
            video->Create(m_video_header.biWidth, std::abs(m_video_header.biHeight));
            target->Create(m_target_header.biWidth, std::abs(m_target_header.biHeight));
        } catch (const CStringUTF8&) {
            return E_OUTOFMEMORY;
        }
        SetStretchBltMode(video->GetDC(), HALFTONE);
        SetStretchBltMode(target->GetDC(), HALFTONE);
        m_scale_video = std::move(video);
        m_scale_target = std::move(target);
    }
    return S_OK;
}

void CVideoRender::SetNewTarget(CSprite* target, int32_t fade_step)
{
    ScopedLock lock(m_handover_lock);
    m_new_target = target;
    m_new_fade_step = fade_step;
    m_flags |= RENDER_NEW_TARGET;
}

void CVideoRender::StepFade()
{
    if (m_fade_step == 0 || m_target == nullptr)
        return;
    const int32_t alpha = m_target->GetAlpha();
    if (m_fade_step < 0) {
        if (alpha == 0) {
            m_fade_step = 0;
        } else {
            m_target->SetVisibleFlag(1);
            m_target->SetAlpha(std::max(0, alpha + m_fade_step));
        }
    } else if (alpha == 255) {
        m_fade_step = 0;
        m_target = LookUpLayerZero();
    } else {
        m_target->SetAlpha(std::min(255, alpha + m_fade_step));
    }
}

void CVideoRender::CopyFrame(const uint8_t* source)
{
    ILayer* layer = SpriteLayerOf(m_target);
    if (layer == nullptr)
        return;
    const int32_t width = m_video_header.biWidth;
    const int32_t height = std::abs(m_video_header.biHeight);
    const ptrdiff_t stride =
        ((static_cast<ptrdiff_t>(m_video_header.biBitCount) / 8 * width) + 3) & ~ptrdiff_t{3};
    const bool fits = width <= layer->GetWidth() && height <= layer->GetHeight();
    layer->Lock();
    if (fits) {
        // From the layer's origin; the rest of a larger layer keeps its picture.
        CopyRows(source, width, height, stride, layer);
    } else if (m_scale_video != nullptr) {
        // A frame larger than the layer is scaled down into it.
        CopyRows(source, width, height, stride, m_scale_video.get());
        const int32_t target_width = m_scale_target->GetWidth();
        const int32_t target_height = m_scale_target->GetHeight();
        StretchBlt(m_scale_target->GetDC(), 0, 0, target_width, target_height, m_scale_video->GetDC(), 0, 0,
                   width, height, SRCCOPY);
        layer->Blt(0, 0, target_width, target_height, m_scale_target.get(), 0, 0, 1);
    } else {
        // A target that changed to a smaller layer: the top left part that fits.
        const int32_t rows = layer->GetHeight();
        CopyRows(source + (height - rows) * stride, std::min(width, layer->GetWidth()), rows, stride, layer);
    }
    layer->Unlock();
    MarkSpritePixelsChanged(m_target);
}

HRESULT CVideoRender::DoRenderSample(IMediaSample* sample)
{
    {
        ScopedLock lock(m_handover_lock);
        if (m_flags & RENDER_NEW_TARGET) {
            std::swap(m_target, m_new_target);
            m_fade_step = m_new_fade_step;
            m_flags &= ~RENDER_NEW_TARGET;
        }
    }
    {
        // The player reads the overlay's alpha on the main thread to see the cross-fade end.
        ScopedLock lock(g_draw_lock);
        StepFade();
    }
    if (IsIconic(m_window))
        return S_OK;
    if (!(m_flags & RENDER_DRAWING))
        return S_OK;
    CDirect3D* display = CDirect3D::GetInstance();
    BYTE* bytes = nullptr;
    if (sample != nullptr && SUCCEEDED(sample->GetPointer(&bytes))) {
        ScopedLock lock(g_draw_lock);
        CopyFrame(bytes);
    }
    if (display->IsLive())
        RedrawFrameNow();
    return S_OK;
}
