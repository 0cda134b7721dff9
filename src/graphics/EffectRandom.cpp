#include "graphics/EffectRandom.h"

#include <mutex>
#include <random>

#include "foundation/OrderedMutex.h"

namespace {

OrderedMutex g_engine_lock{LOCK_LEVEL_EFFECT_RANDOM}; // guards g_engine and the default twister
EffectRandom::Engine g_engine;

// One twister for the whole run, seeded once: a device read per draw is slow and, where the
// device is a fixed sequence, would hand every draw the same value.
std::mt19937& DefaultTwister()
{
    static std::mt19937 s_twister{std::random_device{}()};
    return s_twister;
}

uint32_t DrawFromDefault()
{
    std::lock_guard lock(g_engine_lock);
    std::uniform_int_distribution<uint32_t> range(0, EFFECT_RANDOM_LIMIT);
    return range(DefaultTwister());
}

} // namespace

int32_t EffectRandom::Draw(int32_t n)
{
    Engine engine;
    {
        std::lock_guard lock(g_engine_lock);
        engine = g_engine;
    }
    const uint32_t value = engine ? engine() : DrawFromDefault();
    // A modulus of 0 would divide by zero; no caller asks for it, but none may crash on it.
    if (n <= 0)
        return 0;
    return static_cast<int32_t>(value % static_cast<uint32_t>(n));
}

EffectRandom::Engine EffectRandom::SetEngine(Engine engine)
{
    std::lock_guard lock(g_engine_lock);
    Engine previous = std::move(g_engine);
    g_engine = std::move(engine);
    return previous;
}

void EffectRandom::Seed(uint32_t seed)
{
    std::lock_guard lock(g_engine_lock);
    DefaultTwister().seed(seed);
}
