#include "movie/CMoviePlayer.h"

#include <new>

#include "foundation/AppLink.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/CreationFault.h"
#include "foundation/GameDocument.h"
#include "foundation/IKeyboard.h"
#include "foundation/InstalledSource.h"
#include "foundation/MainView.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "movie/CMediaStream.h"
#include "movie/CVideoRender.h"
#include "platform/kernel/SyncApi.h"

namespace {

InstalledSource<CMoviePlayer> s_source;

} // namespace

CMoviePlayer* GetGameMoviePlayer()
{
    return s_source.Get();
}

void SetGameMoviePlayerSource(CMoviePlayer* (*source)())
{
    s_source.Set(source);
}

CMoviePlayer::CMoviePlayer(GameDocument* document)
    : m_document(document)
{}

CMoviePlayer::~CMoviePlayer()
{
    Release();
}

int32_t CMoviePlayer::CheckMpegDecoders()
{
    return ::CheckMpegDecoders(FilterLists);
}

void CMoviePlayer::Create()
{
    if (CheckMpegDecoders() != 0)
        throw CExecException("Failed to create the MediaManager Object");
    for (auto& slot : Streams) {
        if (!IsCreationFaultInjected("Failed to create the Movie Object"))
            slot.reset(new (std::nothrow) CMediaStream(m_document));
        if (slot == nullptr)
            throw CExecException("Failed to create the Movie Object");
        GetMainView().AddWindowHook(slot.get());
        if (slot->Create() != 0 || IsCreationFaultInjected("Failed to create the MediaManager Object"))
            throw CExecException("Failed to create the MediaManager Object");
    }
    // With a display device the overlay is a texture, which the sprite batch draws over every
    // software layer, sprite 0 among them; without one it is a texture sprite over a plain layer.
    const SIZE screen = GetScreenOriginalSize(1);
    if (CDirect3D::GetInstance()->GetDevice() != nullptr) {
        auto overlay = std::make_unique<CSpriteTexture>();
        overlay->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, screen.cx, screen.cy}, 0, 0);
        Overlay = std::move(overlay);
    } else {
        Overlay = CreateSpriteOfType(0, 0, screen.cx, screen.cy, 0, 2);
    }
}

void CMoviePlayer::StopAll()
{
    for (auto& stream : Streams) {
        if (stream)
            stream->Stop();
    }
    NewIndex = -1;
}

void CMoviePlayer::Release()
{
    RestoreFilterLists(FilterLists);
    for (auto& stream : Streams)
        stream.reset();
    Overlay.reset();
}

void CMoviePlayer::Play(CStringUTF8 name, uint8_t loop, int32_t step)
{
    if (!Streams[0] || !Streams[1])
        return;
    NewIndex = Streams[0]->State == STREAM_PLAYING ? 1 : 0;
    const int32_t other = 1 - NewIndex;
    OldIndex = Streams[other]->State == 0 ? -1 : other;
    const int32_t speed = GetConfigDisplayEffectSpeed();
    const int32_t fade = speed != 0 ? step * 2 : step;
    if (OldIndex == -1 || speed == 2 || !Overlay) {
        Streams[1]->FadeStep = 0;
        Streams[1]->Stop();
        Streams[0]->FadeStep = 0;
        if (Streams[0]->Open(name, loop))
            Streams[0]->Start();
        NewIndex = 0;
        return;
    }
    if (OldIndex == 1) {
        Streams[1]->FadeStep = -fade;
        Overlay->SetAlpha(255);
    } else {
        Streams[1]->FadeStep = fade;
        Overlay->SetAlpha(0);
        Overlay->SetVisibleFlag(1);
    }
    CrossFade(name, loop);
}

bool CMoviePlayer::CrossFadeDone()
{
    CMediaStream& fresh = *Streams[NewIndex];
    CMediaStream& old = *Streams[OldIndex];
    int32_t alpha = 0;
    {
        ScopedLock lock(g_draw_lock); // the render thread steps the fade under it
        alpha = Overlay->GetAlpha();
    }
    if ((NewIndex == 1 && alpha == 255) || (OldIndex == 1 && alpha == 0))
        return true;
    if (old.State == 0 || fresh.State == 0)
        return true;
    // The word is 0 while there is no game state.
    const bool skip_mode = (m_document->GetEngineStateWord() & ENGINE_STATE_SKIP_MODE) != 0;
    if (!skip_mode) {
        CInputView* input = GetInputView();
        if (IKeyboard* keys = input->GetKeyboard()) {
            for (uint32_t scan : {SCAN_LEFT_SHIFT, SCAN_RIGHT_SHIFT, SCAN_LEFT_CONTROL, SCAN_RIGHT_CONTROL}) {
                if (keys->IsKeyDown(scan))
                    return true;
            }
        }
        if (input->GetExtraInput(0) != 0 || input->GetExtraInput(1) != 0)
            return true;
    }
    AppLink* app = GetAppLink();
    return app != nullptr && app->PumpMessage() == 0;
}

void CMoviePlayer::CrossFade(CStringUTF8 name, uint8_t loop)
{
    Streams[1]->Target = Overlay.get();
    CMediaStream& fresh = *Streams[NewIndex];
    CMediaStream& old = *Streams[OldIndex];
    if (!fresh.Open(name, loop)) {
        old.Stop();
        return;
    }
    if (OldIndex == 1)
        Streams[1]->SetRendererTarget();
    fresh.Start();
    try {
        while (!CrossFadeDone()) {
            Sleep(0);
            m_document->EventFlagOp(EVENT_FLAG_TICK, 0);
        }
    } catch (GameDocument::tagDOCUMENT_CODE) {
        EndCrossFade();
        throw;
    }
    EndCrossFade();
}

void CMoviePlayer::EndCrossFade()
{
    Streams[OldIndex]->Stop();
    if (NewIndex == 1) {
        // The overlay's last picture stays on layer 0, where stream 1 goes on drawing.
        if (Overlay->GetAlpha() != 0) {
            CSprite* zero = CVideoRender::LookUpLayerZero();
            ILayer* layer0 = SpriteLayerOf(zero);
            ILayer* overlay = SpriteLayerOf(Overlay.get());
            if (layer0 != nullptr && overlay != nullptr) {
                ScopedLock lock(g_draw_lock);
                layer0->Blt(0, 0, overlay->GetWidth(), overlay->GetHeight(), overlay, 0, 0, 1);
                MarkSpritePixelsChanged(zero);
            }
        }
        Streams[1]->Target = nullptr;
        Streams[1]->FadeStep = 0;
        Streams[1]->SetRendererTarget();
    }
    Overlay->SetVisibleFlag(0);
}
