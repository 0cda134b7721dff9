#pragma once
// What the petal and snow particle tasks share: 200 particle slots built either at once on the
// calling thread or one by one on a builder thread while the scene goes on, the hand-over
// between that builder and the main thread, and the frame step that spawns particles at a
// shrinking interval and moves the live ones. The effect holder owns the set; the set lives on
// three threads: the main thread (prepare, start, delete), the builder (slots 0 upward, before
// start) and the app-task thread (Execute, after start, under the task-list and draw locks).
//
// The builder and the main thread take turns through one hand-over token. Whoever holds it may
// touch the slots. Start waits for the token and keeps it, so the builder stops between two
// particles for good. Deleting the set raises the stop and abort flags, wakes the builder,
// joins it and only then frees the slots, so a builder can never write into freed memory.

#include <atomic>
#include <condition_variable>
#include <cstdint>

#include "foundation/IAppTask.h"
#include "foundation/OrderedMutex.h"
#include "platform/kernel/WinTypes.h"

class CTextureLayer;

inline constexpr int32_t PARTICLE_COUNT = 200;
inline constexpr int32_t PARTICLE_INTERVAL_START = 1000; // ms between spawns when the effect starts
inline constexpr int32_t PARTICLE_INTERVAL_MINIMUM = 100;
inline constexpr uint32_t PARTICLE_TASK_PERIOD = 15;

// Size class of particle number i: 40 % class 0, 30 % class 1, 20 % class 2, 10 % class 3.
int32_t ParticleSizeClass(int32_t index);

class ParticleSet : public IAppTask
{
public:
    using BuilderEntry = unsigned (*)(void* set);

    ~ParticleSet() override;
    ParticleSet(const ParticleSet&) = delete;
    ParticleSet& operator=(const ParticleSet&) = delete;

    // Builds all slots at once on this thread: 1 when all were built, 0 at the first failure.
    int32_t Create(CTextureLayer* texture);
    // Keeps the texture and starts the builder thread on entry, which calls RunBuilder; then
    // hands it the token. A builder that cannot start leaves the set with no particles.
    void StartBuilder(CTextureLayer* texture, BuilderEntry entry);
    // The builder's loop: slot 0 upward, one slot per turn of the token.
    void RunBuilder();
    // Waits for the builder to be between two particles (not at all when none runs or it has
    // finished), keeps the token, then starts spawning and joins the application task list.
    void Start();
    // Stops the builder and leaves the task list; nothing runs on the slots afterwards. Derived
    // destructors call it before their slots go.
    void Shutdown();

    void Execute() override;

    void SetRunning(int32_t running) { m_running = running; }
    int32_t IsRunning() const { return m_running.load(); }
    int32_t GetInterval() const { return m_interval; }
    uint32_t GetNextSpawnTime() const { return m_next_spawn; }
    // Slots built so far (the builder fills them in order). Main thread, after Start or Shutdown.
    int32_t GetBuiltCount() const { return m_built.load(); }
    bool IsBuilderRunning();
    // True once deletion asked the builder to leave.
    bool IsAborting();

protected:
    ParticleSet();

    // Makes slot index (its size class by index); false when something of it cannot be made.
    virtual bool BuildSlot(int32_t index) = 0;
    virtual bool IsSlotActive(int32_t index) = 0;
    virtual void RespawnSlot(int32_t index, uint32_t now) = 0;
    // One run of every active slot.
    virtual void MoveSlots(uint32_t now) = 0;

    CTextureLayer* m_texture = nullptr; // not owned: the effect holder's

private:
    void JoinBuilder();

    uint32_t m_next_spawn = 0;
    bool m_spawn_scheduled = false; // false until the first spawn set m_next_spawn
    std::atomic<int32_t> m_running{0};
    int32_t m_interval = PARTICLE_INTERVAL_START;
    int32_t m_minimum = PARTICLE_INTERVAL_MINIMUM;
    std::atomic<int32_t> m_built{0};

    OrderedMutex m_handshake_lock{LOCK_LEVEL_PARTICLE_HANDOVER}; // guards the four flags below
    std::condition_variable_any m_handshake;
    bool m_hand_over = false;   // the token is free: the builder may make its next slot
    bool m_stop = false;        // the builder must not make another slot
    bool m_abort = false;       // deletion: leave at once
    bool m_builder_done = true; // no builder is working; start has nothing to wait for
    HANDLE m_builder_thread = nullptr;
    unsigned m_builder_id = 0;
};
