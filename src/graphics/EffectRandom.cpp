#include "graphics/EffectRandom.h"

#include <mutex>
#include <random>

namespace {

std::mutex g_engine_lock; // guards g_engine; a leaf, held only to copy or swap the engine
EffectRandom::Engine g_engine;

uint32_t DrawFromDevice()
{
    std::random_device device;
    std::mt19937 twister(device());
    std::uniform_int_distribution<uint32_t> range(0, EFFECT_RANDOM_LIMIT);
    return range(twister);
}

} // namespace

int32_t EffectRandom::Draw(int32_t n)
{
    Engine engine;
    {
        std::lock_guard lock(g_engine_lock);
        engine = g_engine;
    }
    const uint32_t value = engine ? engine() : DrawFromDevice();
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
