#pragma once
// The blinking train of the train-line map: two 576 x 288 frames side by side in "DEN.akb",
// frame 1 shown on steps 40-50 and 60-69 of every 70. Owned by the train-map context; the step
// calls it on the app-task thread.

#include <cstdint>

#include "graphics/IUserAnime.h"

class CSprite;

inline constexpr int32_t TRAIN_WIDTH = 576;
inline constexpr int32_t TRAIN_HEIGHT = 288;

// The frame the train shows on step: 0 or 1.
int32_t TrainAnimeFrame(int32_t step);

class CTrainAnime final : public IUserAnime
{
public:
    CTrainAnime(CSprite* picture, CSprite* display)
        : m_picture(picture)
        , m_display(display)
    {}

    void Begin() override;
    void End() override;
    void Update(int32_t step, int32_t steps) override;

    uint32_t GetLastTime() const { return m_last_time; }

private:
    void DrawFrame(int32_t frame);

    CSprite* m_picture; // not owned: the context's "DEN.akb"
    CSprite* m_display; // not owned: the context's train sprite
    uint32_t m_last_time = 0;
};
