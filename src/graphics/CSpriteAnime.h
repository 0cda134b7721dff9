#pragma once
// The frame task that plays the animation steps of a set of sprites and lets a screen wait for
// them. Its step runs on the app-task thread every period; screens add sprites and call Play on
// the main thread. The sprites stay owned by their screens and must outlive the task or be
// finished with it.
// FIXME: the least the effects need until the sprite animation task is in; skip inputs are not
// polled here.

#include <atomic>
#include <cstdint>
#include <vector>

#include "app/IAppTask.h"
#include "foundation/CCriticalSection.h"

class CSprite;

// Wait modes of CSpriteAnime::Play.
inline constexpr int32_t ANIME_NO_WAIT = 0;
inline constexpr int32_t ANIME_WAIT = 1;

// The skip inputs of a waited play and the document request bits that end it.
inline constexpr uint32_t ANIME_SKIP_FLAGS = 0x72;
inline constexpr uint32_t ANIME_REQUEST_MASK = 15;

class CSpriteAnime : public IAppTask
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
    // Starts every listed sprite at its first record (the last when reverse) and registers the
    // task. With ANIME_WAIT it blocks, pumping messages, until the play ends by itself or by a
    // pending document request among the mask (with flag bit 0x1), and leaves every step final.
    void Play(int32_t wait_mode, uint32_t skip_flags, uint32_t request_mask, int32_t reverse);
    void PlayAndWait();
    // Running 0, every listed sprite finished.
    void Stop();
    // Lets looping lists end at their next marker and waits until no listed sprite has records
    // left.
    void WaitForEnd();

    // One task step (the runner's Execute).
    void Run();
    void Execute() override { Run(); }

    int32_t IsSkipped() const { return m_skipped.load(); }
    int32_t IsRunning() const { return m_running.load(); }

private:
    std::vector<CSprite*> Sprites();
    void FinishAll();
    void EndWait();

    uint32_t m_skip_flags = 0;
    uint32_t m_request_mask = 0;
    std::atomic<int32_t> m_skipped{0};
    std::atomic<int32_t> m_running{0};
    CCriticalSection m_list_lock;    // lock level 100: leaf, guards m_sprites only
    std::vector<CSprite*> m_sprites; // not owned: the screens own their sprites
};
