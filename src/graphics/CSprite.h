#pragma once
// An entry of the display's flat draw list: a screen rectangle with a priority, a visible flag,
// an alpha and a dirty rectangle, plus a list of animation steps that a frame task plays back.
// Screens own their sprites. The animation state is changed on the app-task thread under the
// global draw lock and then the sprite's own lock; records are added on the main thread before
// a task plays them.

#include <atomic>
#include <cstdint>
#include <vector>

#include "foundation/CCriticalSection.h"
#include "graphics/SpriteAnimRecord.h"
#include "platform/kernel/WinTypes.h"

class CSpriteLayer;
class ILayer;

// Advance flags of CSprite::AdvanceStep.
inline constexpr uint32_t ADVANCE_IGNORE_JUMPS = 0x1;
inline constexpr uint32_t ADVANCE_STOP_AT_MARKER = 0x2;

// Values of CSprite::SetVisible.
inline constexpr int32_t VISIBLE_SHOW = 0;
inline constexpr int32_t VISIBLE_HIDE = 1;
inline constexpr int32_t VISIBLE_REFRESH = 2;

class CSprite
{
public:
    CSprite();
    virtual ~CSprite();
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // Sets the rectangle (x, y, x + width, y + height) and the priority; returns 1.
    virtual int32_t Create(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority);
    virtual void Destroy() = 0;
    virtual int32_t GetPriority();
    // Any priority but -1 registers the sprite with the display's draw list; -1 removes it.
    virtual void SetPriority(int32_t priority);
    virtual int32_t IsVisible();
    virtual void Show();
    virtual void Hide();
    virtual void Refresh();
    virtual void SetVisibleFlag(int32_t visible);
    // The dirty rectangle when it is not empty, else the sprite rectangle.
    virtual RECT GetDrawRect();
    virtual void MoveToF(float x, float y);
    virtual void MoveTo(POINT point);
    virtual void SetPosition(int32_t x, int32_t y);
    virtual POINT GetPosition();
    virtual void SetAlpha(int32_t alpha);
    virtual int32_t GetAlpha();
    virtual void SetRect(const RECT& rect);
    virtual RECT* GetRect();
    virtual bool IsAnimating();
    virtual void ClearAnimations();
    virtual int32_t GetAnimationCount();
    virtual int32_t GetAnimationIndex();
    virtual void Invalidate(int32_t mode, const RECT& rect);
    virtual int32_t IsLayerModified();
    virtual void DrawToLayer(ILayer* target) = 0;
    // VISIBLE_SHOW / VISIBLE_HIDE change the flag and redraw when it changed; VISIBLE_REFRESH
    // always redraws.
    virtual void SetVisible(int32_t mode);

    // Step starters: each takes its values from the record and ORs its kind into the current kinds.
    virtual void StartAnimDelay(const SpriteAnimRecord& record);
    virtual void StartAnimMove(const SpriteAnimRecord& record);
    virtual void StartAnimVisible(const SpriteAnimRecord& record);
    virtual void StartAnimAlpha(const SpriteAnimRecord& record);
    virtual void StartAnimUser(const SpriteAnimRecord& record);
    virtual void StartAnimScroll(const SpriteAnimRecord& record);
    virtual void StartAnimTransition(const SpriteAnimRecord& record);
    virtual void StartAnimCrossFade(const SpriteAnimRecord& record);
    virtual void StartAnimRotate(const SpriteAnimRecord& record);
    virtual void StartAnimZoom(const SpriteAnimRecord& record);

    virtual void OnAnimationEnd();
    virtual void FinishLayerAnimStep(uint32_t kinds);
    virtual void OnAnimStepBegin(uint32_t kinds, int32_t duration);
    virtual void UpdateLayerAnimation(uint32_t kinds, int32_t elapsed, int32_t duration);
    // One frame of the running step.
    virtual void UpdateAnimation();
    virtual void OnAnimStepEnd(uint32_t kinds);
    // Texture sprites turn, pivot and zoom; other sprites ignore these.
    virtual void SetRotation(float degrees);
    virtual void SetRotationOrigin(float x, float y);
    virtual void SetZoomCenter(float x, float y);

    // Appends a copy; takes no lock, so records are added before a task plays them.
    void AddAnimation(const SpriteAnimRecord& record);
    // Drops the queued cross-fades to the target, which is about to go; between plays only.
    void DropCrossFadesTo(const CSpriteLayer* target);
    // Applies every remaining step in its final state at once, jumps ignored so loops end.
    void FinishAnimations();
    // Applies the final state of the running step and clears the current kinds.
    void FinishStep();
    // Starts the next record (ADVANCE_IGNORE_JUMPS, ADVANCE_STOP_AT_MARKER).
    void AdvanceStep(uint32_t flags);

    // The animation state the playing task reads and sets.
    CCriticalSection& GetLock() { return m_lock; }
    uint32_t GetStepKinds() const { return m_step_kinds.load(); }
    int32_t GetElapsed() const { return m_elapsed; }
    int32_t GetDuration() const { return m_duration; }
    void SetRecordIndex(int32_t index) { m_record_index = index; }
    void SetReverse(bool reverse) { m_reverse = reverse ? 1 : 0; }
    void SetSpeedAdjust(bool adjust) { m_speed_adjust = adjust ? 1 : 0; }
    uint32_t GetAdvanceFlags() const { return m_advance_flags.load(); }
    void SetAdvanceFlags(uint32_t flags) { m_advance_flags = flags; }
    int32_t GetDelayCount() const { return m_delay_count; }

protected:
    void DestroyRecords();

    int32_t m_priority = -1;
    std::atomic<int32_t> m_visible{0};
    RECT m_rect{};
    RECT m_dirty{};
    float m_alpha = 255.0f;
    CCriticalSection m_lock{LOCK_LEVEL_SPRITE}; // guards the step state and the record list.
    std::atomic<uint32_t> m_step_kinds{0};
    int32_t m_elapsed = 0;
    int32_t m_duration = 0;
    int32_t m_record_index = 0;
    uint8_t m_reverse = 0;
    uint8_t m_speed_adjust = 0;
    std::atomic<uint32_t> m_advance_flags{0};
    std::vector<SpriteAnimRecord> m_records;
    int32_t m_delay_count = 0;
    POINT m_move_from{};
    POINT m_move_to{};
    uint8_t m_alpha_from = 0;
    uint8_t m_alpha_to = 0;
    uint8_t m_visible_value = 0;
    IUserAnime* m_user_anime = nullptr; // not owned
};
