#pragma once
// The train of one heroine's scene crossing the screen at y 0: arriving from the right and
// slowing down (mode 0) or leaving to the left and speeding up (mode 1). An exec command makes
// one on its stack for one play; the step calls it on the app-task thread.

#include <cstdint>

#include "graphics/IUserAnime.h"

class CSprite;

inline constexpr int32_t NERIN_TRAIN_ARRIVAL = 0;
inline constexpr int32_t NERIN_TRAIN_DEPARTURE = 1;
// Where the arrival stops and the departure starts.
inline constexpr int32_t NERIN_TRAIN_STOP_X = -6244;

// The train's x on step of the arrival (mode 0) or departure (mode 1); other modes stay at 0.
int32_t NerinTrainX(int32_t mode, int32_t step);

class CNerinTrain final : public IUserAnime
{
public:
    CNerinTrain(CSprite* sprite, int32_t mode)
        : m_sprite(sprite)
        , m_mode(mode)
    {}

    void Begin() override;
    void End() override;
    void Update(int32_t step, int32_t steps) override;

private:
    CSprite* m_sprite; // not owned: the exec group's train sprite
    int32_t m_mode;
};
