#include "graphics/CSpriteAnime.h"

#include <algorithm>

#include "foundation/AppLink.h"
#include "foundation/CInputView.h"
#include "foundation/GameDocument.h"
#include "foundation/IKeyboard.h"
#include "foundation/ScopedLock.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSprite.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "platform/TerminationSignals.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/TimeApi.h"

namespace {

// One message pump of the application; without an application there is nothing to pump.
bool PumpMessages()
{
    AppLink* app = GetAppLink();
    return app == nullptr || app->PumpMessage() != 0;
}

} // namespace

CSpriteAnime::CSpriteAnime()
    : CSpriteAnime(15)
{}

CSpriteAnime::CSpriteAnime(uint32_t period)
    : IAppTask(period)
    , CEffectWait(GetGameDocument(), GetInputView())
{}

CSpriteAnime::~CSpriteAnime()
{
    if (CAppTask* tasks = GetAppTask())
        tasks->RemoveTask(this);
    m_running = 0;
    FinishAll();
}

void CSpriteAnime::AddSprite(CSprite* sprite)
{
    ScopedLock lock(m_list_lock);
    if (sprite != nullptr && std::find(m_sprites.begin(), m_sprites.end(), sprite) == m_sprites.end())
        m_sprites.push_back(sprite);
}

void CSpriteAnime::RemoveSprite(CSprite* sprite)
{
    ScopedLock lock(m_list_lock);
    m_sprites.erase(std::remove(m_sprites.begin(), m_sprites.end(), sprite), m_sprites.end());
}

void CSpriteAnime::ClearSprites()
{
    ScopedLock lock(m_list_lock);
    m_sprites.clear();
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

void CSpriteAnime::Run()
{
    if (!m_running)
        return;
    try {
        PollSkipInput();
        LiveDrawLock draw_lock;
        bool any_playing = false;
        for (CSprite* sprite : Sprites()) {
            if (!sprite->IsAnimating() || !sprite->IsVisible())
                continue;
            any_playing = true;
            // The step is judged on the values read before this step's updates.
            const uint32_t kinds = sprite->GetStepKinds();
            const int32_t elapsed = sprite->GetElapsed();
            const int32_t duration = sprite->GetDuration();
            ScopedLock sprite_lock(sprite->GetLock());
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
        if (!any_playing)
            m_running = 0;
    } catch (tagEVENT_SKIP skip) {
        m_skipped = skip == EVENT_SKIP ? 1 : 0;
        m_running = 0;
        Stop();
    }
    RequestRedraw();
    // A play that waits polls the end, and rests until something wakes it: the last frame may
    // repeat the one before and present nothing.
    if (!m_running)
        platform::WakeIdleOwner();
}

uint32_t CSpriteAnime::GetQuietTime(uint32_t)
{
    return m_running ? 0 : INFINITE;
}

void CSpriteAnime::Play(int32_t wait_mode, uint32_t skip_flags, uint32_t request_mask, int32_t reverse)
{
    SetSkipFlags(skip_flags);
    SetRequestMask(request_mask);
    {
        LiveDrawLock draw_lock;
        for (CSprite* sprite : Sprites()) {
            sprite->SetReverse(reverse != 0);
            sprite->SetSpeedAdjust(wait_mode == ANIME_WAIT);
            sprite->SetRecordIndex(reverse ? sprite->GetAnimationCount() - 1 : 0);
            sprite->AdvanceStep(0);
        }
    }
    // Cleared before the task can run: a skip on its first passes must not be lost.
    if (wait_mode == ANIME_WAIT)
        m_skipped = 0;
    m_running = 1;
    CAppTask* tasks = GetAppTask();
    if (tasks != nullptr) {
        tasks->AddTask(this);
        tasks->Wake(); // a task still listed from an earlier play adds nothing, and may rest
    }
    if (wait_mode != ANIME_WAIT)
        return;

    try {
        // Without a frame-task runner nothing would ever play the steps: they end at once.
        while (tasks != nullptr && PumpMessages()) {
            Sleep(0);
            if ((skip_flags & SKIP_ON_REQUEST) && m_document != nullptr &&
                m_document->EventFlagOp(EVENT_FLAG_TEST, request_mask))
                throw EVENT_SKIP;
            if (m_document != nullptr)
                m_document->EventFlagOp(EVENT_FLAG_TICK, 0);
            // A signal's end unwinds through screens that slide out as they close: they close
            // at once, the game ends.
            if (!m_running || platform::IsTerminationRequested())
                break;
            Sleep(1);
            // The task's wake for the end ended the rest above; the next turn must not rest again.
            if (!m_running)
                platform::NoteDueTime(timeGetTime());
        }
    } catch (tagEVENT_SKIP skip) {
        m_skipped = skip == EVENT_SKIP ? 1 : 0;
    } catch (...) {
        // A document code or any other unwinding leaves the screen final before the caller sees it.
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
    if (CAppTask* tasks = GetAppTask())
        tasks->RemoveTask(this);
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
    auto held = [this](uint32_t scan_code) {
        IKeyboard* keyboard = m_input_view != nullptr ? m_input_view->GetKeyboard() : nullptr;
        return keyboard != nullptr && keyboard->IsKeyDown(scan_code) != 0;
    };
    while (PumpMessages()) {
        Sleep(0);
        const bool skip_mode =
            m_document != nullptr && (m_document->GetEngineStateWord() & ENGINE_STATE_SKIP_MODE) != 0;
        if (!skip_mode && ((m_input_view != nullptr &&
                            (m_input_view->GetExtraInput(0) != 0 || m_input_view->GetExtraInput(1) != 0)) ||
                           held(SCAN_LEFT_CONTROL) || held(SCAN_RIGHT_CONTROL)))
            break; // ended early: the sprites are finished below
        const bool records_left = std::any_of(
            sprites.begin(), sprites.end(), [](CSprite* sprite) { return sprite->GetAnimationCount() != 0; });
        // A task that no longer runs would never use up the records left.
        if (!records_left || !m_running)
            break;
    }
    m_running = 0;
    FinishAll();
    if (CAppTask* tasks = GetAppTask())
        tasks->RemoveTask(this);
}
