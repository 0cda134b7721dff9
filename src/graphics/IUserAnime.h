#pragma once
// A hand-written motion that a sprite animation step calls at its start, on each of its ticks and
// at its end. Owned by whoever built it; the step only points at it.

#include <cstdint>

class IUserAnime
{
public:
    virtual ~IUserAnime() = default;
    virtual void Cleanup() {}
    virtual void Begin() = 0;
    virtual void End() = 0;
    virtual void Update(int32_t step, int32_t steps) = 0;
};
