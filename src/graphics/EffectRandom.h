#pragma once
// The random draws of the particle effects. Each draw takes one value from 0 to
// EFFECT_RANDOM_LIMIT and reduces it modulo n. By default the draws come from one Mersenne
// Twister seeded once from the system's random device; tests install an engine of their own so that spawn
// positions and speeds can be worked out by hand. Any thread; the engine is swapped under a lock.

#include <cstdint>
#include <functional>

inline constexpr uint32_t EFFECT_RANDOM_LIMIT = 191'932'354;

class EffectRandom final
{
public:
    // Answers one value in 0 .. EFFECT_RANDOM_LIMIT per call.
    using Engine = std::function<uint32_t()>;

    EffectRandom() = delete;

    // random(n): a value in 0 .. n - 1; 0 when n is not positive.
    static int32_t Draw(int32_t n);
    // An empty engine puts the default back; returns the previous engine.
    static Engine SetEngine(Engine engine);
    // Restarts the default engine from a seed, so a run can be repeated.
    static void Seed(uint32_t seed);
};
