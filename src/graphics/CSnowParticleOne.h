#pragma once
// The single snowball: one flake with its trail that sways down from the top of the screen,
// plays a sound when it lands and fades out; while the task runs it falls again each time it
// has faded. Owned by its holder (CSnowFirstOne); created and deleted on the main thread, moved
// by the app-task thread.

#include <atomic>
#include <cstdint>
#include <memory>

#include "foundation/IAppTask.h"
#include "graphics/CSnowParticle.h"

inline constexpr int32_t SNOWBALL_START_X = 665;
inline constexpr int32_t SNOWBALL_STOP_Y = 360;
inline constexpr int32_t SNOWBALL_PRIORITY = 6;

struct SnowballRecord : SnowRecord
{
    int32_t m_state = 0; // 0 falling, 1 fading
    int32_t m_start_x = 0;
    int32_t m_stop_y = 0;
};

// The sideways drift of the snowball on run counter: 0.3 x sin((counter + 15) degrees).
double SnowballSway(int32_t counter);
// An inactive snowball at start x that lands at stop y, with its ten sprites at priority 6:
// 1 when all ten exist.
int32_t InitSnowball(SnowballRecord& record, CTextureLayer* texture, int32_t start_x, int32_t stop_y);

class CSnowParticleOne final : public IAppTask
{
public:
    CSnowParticleOne();
    ~CSnowParticleOne() override;
    CSnowParticleOne(const CSnowParticleOne&) = delete;
    CSnowParticleOne& operator=(const CSnowParticleOne&) = delete;

    // Builds the record: 1 on success.
    int32_t Create(CTextureLayer* texture, int32_t start_x, int32_t stop_y);
    void Execute() override;
    // One run of the record: the fall with its trail, the landing, the fade.
    void UpdateSnowball();

    void SetRunning(int32_t running) { m_running = running; }
    int32_t IsRunning() const { return m_running.load(); }
    // The fall flag: 1 from the start of a fall to the end of its fade.
    int32_t IsActive() const { return m_active.load(); }
    SnowballRecord* GetRecord() { return m_record.get(); }

private:
    void Restart();
    void PlayLandingSound();

    std::unique_ptr<SnowballRecord> m_record;
    std::atomic<int32_t> m_running{0};
    std::atomic<int32_t> m_active{0}; // the record's active flag, readable from the main thread
};
