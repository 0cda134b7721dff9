#include "graphics/CSpriteAnime.h"

#include <algorithm>

#include "app/CAppTask.h"
#include "app/CVeskDoc.h"
#include "app/CWinApp.h"
#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSprite.h"
#include "graphics/FrameRedraw.h"
#include "platform/kernel/SyncApi.h"

namespace {

constexpr uint32_t SKIP_ON_REQUEST = 0x1;

// The global draw lock while the display is live; nothing before it is.
class DrawLockIfLive
{
public:
    DrawLockIfLive()
        : m_held(CDirect3D::GetInstance()->IsLive())
    {
        if (m_held)
            g_draw_lock.Lock();
    }
    ~DrawLockIfLive()
    {
        if (m_held)
            g_draw_lock.Unlock();
    }
    DrawLockIfLive(const DrawLockIfLive&) = delete;
    DrawLockIfLive& operator=(const DrawLockIfLive&) = delete;

private:
    bool m_held;
};

} // namespace

CSpriteAnime::CSpriteAnime()
    : CSpriteAnime(15)
{}

CSpriteAnime::CSpriteAnime(uint32_t period)
    : IAppTask(period)
{}

CSpriteAnime::~CSpriteAnime()
{
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(this);
    m_running = 0;
    FinishAll();
}

void CSpriteAnime::AddSprite(CSprite* sprite)
{
    ScopedLock lock(m_list_lock);
    if (sprite != nullptr && std::find(m_sprites.begin(), m_sprites.end(), sprite) == m_sprites.end())
        m_sprites.push_back(sprite);
}

std::vector<CSprite*> CSpriteAnime::Sprites()
{
    ScopedLock lock(m_list_lock);
    return m_sprites;
}

void CSpriteAnime::FinishAll()
{
    for (CSprite* sprite : Sprites())
        sprite->FinishAnimations();
}

void CSpriteAnime::Play(int32_t wait_mode, uint32_t skip_flags, uint32_t request_mask, int32_t reverse)
{
    m_skip_flags = skip_flags;
    m_request_mask = request_mask;
    {
        DrawLockIfLive draw;
        for (CSprite* sprite : Sprites()) {
            sprite->SetReverse(reverse != 0);
            sprite->SetSpeedAdjust(wait_mode == ANIME_WAIT);
            sprite->SetRecordIndex(reverse ? sprite->GetAnimationCount() - 1 : 0);
            sprite->AdvanceStep(0);
        }
    }
    m_running = 1;
    if (CAppTask* runner = GetAppTask())
        runner->AddTask(this);
    if (wait_mode != ANIME_WAIT)
        return;
    m_skipped = 0;
    CVeskDoc* document = GetDocument();
    try {
        CWinApp* app = GetApp();
        while (app == nullptr || app->PumpMessage() != 0) {
            Sleep(0);
            if ((m_skip_flags & SKIP_ON_REQUEST) && document->EventFlagOp(EVENT_FLAG_TEST, m_request_mask))
                break;
            document->EventFlagOp(EVENT_FLAG_TICK, 0);
            if (!m_running)
                break;
            Sleep(1);
        }
    } catch (CVeskDoc::tagDOCUMENT_CODE) {
        EndWait();
        throw;
    }
    EndWait();
}

void CSpriteAnime::PlayAndWait()
{
    Play(ANIME_WAIT, ANIME_SKIP_FLAGS, ANIME_REQUEST_MASK, 0);
}

void CSpriteAnime::EndWait()
{
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(this);
    m_running = 0;
    FinishAll();
    RedrawFrameNow();
}

void CSpriteAnime::Stop()
{
    m_running = 0;
    FinishAll();
}

void CSpriteAnime::WaitForEnd()
{
    const std::vector<CSprite*> sprites = Sprites();
    for (CSprite* sprite : sprites)
        sprite->SetAdvanceFlags(ADVANCE_STOP_AT_MARKER);
    CWinApp* app = GetApp();
    while (app == nullptr || app->PumpMessage() != 0) {
        Sleep(0);
        const bool left = std::any_of(sprites.begin(), sprites.end(),
                                      [](CSprite* sprite) { return sprite->GetAnimationCount() != 0; });
        if (!left)
            break;
        Sleep(1);
    }
    m_running = 0;
    FinishAll();
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(this);
}

void CSpriteAnime::Run()
{
    if (!m_running)
        return;
    bool any = false;
    {
        DrawLockIfLive draw;
        for (CSprite* sprite : Sprites()) {
            if (!sprite->IsAnimating() || !sprite->IsVisible())
                continue;
            any = true;
            const uint32_t kinds = sprite->GetStepKinds();
            const int32_t elapsed = sprite->GetElapsed();
            const int32_t duration = sprite->GetDuration();
            ScopedLock lock(sprite->GetLock());
            if (kinds == 0)
                continue;
            if (kinds & ANIM_DELAY) {
                sprite->UpdateAnimation();
                if (sprite->GetStepKinds() & ANIM_DELAY)
                    continue;
            }
            if (elapsed < duration) {
                sprite->UpdateAnimation();
            } else {
                sprite->FinishStep();
                sprite->AdvanceStep(sprite->GetAdvanceFlags());
                sprite->UpdateAnimation();
            }
        }
        if (!any)
            m_running = 0;
    }
    RequestRedraw();
}
