#include "graphics/ParticleSet.h"

#include <algorithm>

#include "foundation/ThreadBoundary.h"
#include "graphics/CAppTask.h"
#include "graphics/EffectClock.h"
#include "graphics/EffectRandom.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"

namespace {

// Spawns are at least this far apart, whatever the interval says.
constexpr uint32_t SPAWN_GAP = 100;
constexpr int32_t INTERVAL_FLOOR = 10;

} // namespace

int32_t ParticleSizeClass(int32_t index)
{
    const int32_t digit = index % 10;
    if (digit <= 3)
        return 0;
    if (digit <= 6)
        return 1;
    if (digit <= 8)
        return 2;
    return 3;
}

ParticleSet::ParticleSet()
    : IAppTask(PARTICLE_TASK_PERIOD)
{}

ParticleSet::~ParticleSet()
{
    Shutdown();
}

int32_t ParticleSet::Create(CTextureLayer* texture)
{
    m_interval = PARTICLE_INTERVAL_START;
    m_minimum = PARTICLE_INTERVAL_MINIMUM;
    m_texture = texture;
    for (int32_t i = 0; i < PARTICLE_COUNT; ++i) {
        if (!BuildSlot(i))
            return 0;
        m_built = i + 1;
    }
    return 1;
}

void ParticleSet::StartBuilder(CTextureLayer* texture, BuilderEntry entry)
{
    m_texture = texture;
    {
        std::lock_guard lock(m_handshake_lock);
        m_stop = false;
        m_abort = false;
        m_hand_over = false;
        m_builder_done = false;
    }
    const uintptr_t thread = _beginthreadex(nullptr, 0, entry, this, 0, &m_builder_id);
    std::lock_guard lock(m_handshake_lock);
    if (thread == 0) {
        // Without a builder nobody would ever hand the token back.
        m_builder_done = true;
        return;
    }
    m_builder_thread = reinterpret_cast<HANDLE>(thread);
    m_hand_over = true;
    m_handshake.notify_all();
}

void ParticleSet::RunBuilder()
{
    for (int32_t i = 0; i < PARTICLE_COUNT; ++i) {
        {
            std::unique_lock lock(m_handshake_lock);
            m_handshake.wait(lock, [this] { return m_hand_over || m_stop || m_abort; });
            if (m_stop || m_abort)
                break;
            m_hand_over = false;
        }
        // Holding the token: nobody else touches the slots, so no lock is needed while building.
        bool built = false;
        try {
            built = BuildSlot(i);
        } catch (...) {
            // The builder's thread boundary: the main thread ends the game, and the hand-over
            // below still tells Start that no more slots come.
            HandOverThreadFailure();
        }
        if (built)
            m_built = i + 1;
        if (!built || i == PARTICLE_COUNT - 1)
            break;
        std::lock_guard lock(m_handshake_lock);
        m_hand_over = true;
        m_handshake.notify_all();
        if (m_stop || m_abort)
            break;
    }
    std::lock_guard lock(m_handshake_lock);
    m_builder_done = true;
    m_handshake.notify_all();
}

void ParticleSet::Start()
{
    {
        std::unique_lock lock(m_handshake_lock);
        m_handshake.wait(lock, [this] { return m_hand_over || m_builder_done; });
        m_hand_over = false; // kept for good: the builder makes no more slots
        m_stop = true;
        m_handshake.notify_all();
    }
    m_next_spawn = 0;
    m_spawn_scheduled = false; // the first spawn is due at once
    m_running = 1;
    if (CAppTask* runner = GetAppTask())
        runner->AddTask(this);
}

void ParticleSet::Shutdown()
{
    m_running = 0;
    if (CAppTask* runner = GetAppTask())
        runner->RemoveTask(this);
    {
        std::lock_guard lock(m_handshake_lock);
        m_stop = true;
        m_abort = true;
        m_handshake.notify_all();
    }
    JoinBuilder();
}

void ParticleSet::JoinBuilder()
{
    if (m_builder_thread == nullptr)
        return;
    WaitForSingleObject(m_builder_thread, INFINITE);
    CloseHandle(m_builder_thread);
    m_builder_thread = nullptr;
    m_builder_id = 0;
}

bool ParticleSet::IsBuilderRunning()
{
    std::lock_guard lock(m_handshake_lock);
    return !m_builder_done;
}

bool ParticleSet::IsAborting()
{
    std::lock_guard lock(m_handshake_lock);
    return m_abort;
}

void ParticleSet::Execute()
{
    if (!m_running)
        return;
    const uint32_t now = GetEffectTime();
    const int32_t built = m_built.load();
    for (int32_t i = 0; i < built; ++i) {
        if (IsSlotActive(i))
            continue;
        // Signed difference: the next spawn stays due across the 32-bit clock's wrap.
        if (!m_spawn_scheduled || static_cast<int32_t>(now - m_next_spawn) >= 0) {
            RespawnSlot(i, now);
            m_next_spawn = now + SPAWN_GAP + static_cast<uint32_t>(EffectRandom::Draw(m_interval));
            m_spawn_scheduled = true;
        }
        break;
    }
    m_interval = std::max({m_interval - 1, INTERVAL_FLOOR, m_minimum});
    MoveSlots(now);
    RequestRedraw();
}
