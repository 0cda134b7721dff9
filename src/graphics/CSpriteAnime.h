#pragma once
// The frame task that plays the animation steps of a set of sprites and lets a screen wait for
// them. Its step runs on the app-task thread every period; screens add sprites and call Play on
// the main thread. A skip input (an effect-wait poll) ends the play with every step final. The
// sprites stay owned by their screens and must outlive the task or be finished with it.

#include <atomic>
#include <cstdint>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "foundation/IAppTask.h"
#include "graphics/CEffectWait.h"

class CSprite;

// Wait modes of CSpriteAnime::Play.
inline constexpr int32_t ANIME_NO_WAIT = 0;
inline constexpr int32_t ANIME_WAIT = 1;

// The skip inputs of a waited play: OK, the input view's extra words, Ctrl and Shift.
inline constexpr uint32_t ANIME_SKIP_FLAGS = SKIP_ON_OK | SKIP_ON_EXTRA | SKIP_ON_CTRL | SKIP_ON_SHIFT;
// The document request bits that end a waited play (exit, system settings, title, window).
inline constexpr uint32_t ANIME_REQUEST_MASK = 15;

class CSpriteAnime : public IAppTask, public CEffectWait
{
public:
    CSpriteAnime();
    explicit CSpriteAnime(uint32_t period);
    // Takes the task out of the runner and finishes every listed sprite.
    ~CSpriteAnime() override;
    CSpriteAnime(const CSpriteAnime&) = delete;
    CSpriteAnime& operator=(const CSpriteAnime&) = delete;

    // Appends the sprite unless it is listed.
    void AddSprite(CSprite* sprite);
    // Takes the sprite off the list, leaving its steps as they are.
    void RemoveSprite(CSprite* sprite);
    // Empties the list without touching the sprites, which may be gone already.
    void ClearSprites();
    // Starts every listed sprite at its first record (the last when reverse) and registers the
    // task. With ANIME_WAIT it blocks, pumping messages, until the play ends by itself, by a skip
    // input or by a pending document request among the mask, and leaves every step final.
    void Play(int32_t wait_mode, uint32_t skip_flags, uint32_t request_mask, int32_t reverse);
    void PlayAndWait();
    // Running 0, every listed sprite finished.
    void Stop();
    // Lets looping lists end at their next marker and waits until no listed sprite has records
    // left; Ctrl or an extra input word (outside skip mode) ends the wait early.
    void WaitForEnd();

    // One task step (the runner's Execute).
    void Run();
    void Execute() override { Run(); }
    // A play that ended (or never began) has nothing to step: the task rests until Play wakes it.
    uint32_t GetQuietTime(uint32_t now) override;

    // 1 when the last play ended by a skip input.
    int32_t IsSkipped() const { return m_skipped.load(); }
    int32_t IsRunning() const { return m_running.load(); }

private:
    // The listed sprites as they are now; the step works on a copy so AddSprite never races it.
    std::vector<CSprite*> Sprites();
    void FinishAll();
    // Takes the task out of the runner, finishes every sprite and shows the result at once.
    void EndWait();

    std::atomic<int32_t> m_skipped{0};
    std::atomic<int32_t> m_running{0};
    CCriticalSection m_list_lock{LOCK_LEVEL_ANIME_SPRITES}; // guards m_sprites only
    std::vector<CSprite*> m_sprites; // not owned: the screens own their sprites
};
