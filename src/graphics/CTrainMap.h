#pragma once
// The line map of the train-line screen scrolling sideways by 20 pixels a tick over 204 ticks
// (4080 pixels): the line picture and its overlay move together, each copied into a full-screen
// display sprite. Direction 1 runs from source x 4080 back to 0, any other from 0 to 4080.
// Owned by the train-map context; the step calls it on the app-task thread.

#include <cstdint>

#include "graphics/IUserAnime.h"

class CSprite;

inline constexpr int32_t TRAIN_MAP_TICKS = 204;
inline constexpr int32_t TRAIN_MAP_STEP = 20;
inline constexpr int32_t TRAIN_MAP_SCROLL = TRAIN_MAP_TICKS * TRAIN_MAP_STEP; // 4080

// The source x both pictures are drawn from on step.
int32_t TrainMapSourceX(int32_t direction, int32_t step);

class CTrainMap final : public IUserAnime
{
public:
    CTrainMap(int32_t direction, CSprite* picture_a, CSprite* display_a, CSprite* picture_b,
              CSprite* display_b)
        : m_picture_a(picture_a)
        , m_display_a(display_a)
        , m_picture_b(picture_b)
        , m_display_b(display_b)
        , m_direction(direction)
    {}

    void Begin() override;
    void End() override;
    void Update(int32_t step, int32_t steps) override;

    uint32_t GetLastTime() const { return m_last_time; }

private:
    void DrawAt(int32_t source_x);

    CSprite* m_picture_a; // not owned: the context's line picture
    CSprite* m_display_a;
    CSprite* m_picture_b; // not owned: the context's overlay picture
    CSprite* m_display_b;
    uint32_t m_last_time = 0;
    int32_t m_direction;
};
