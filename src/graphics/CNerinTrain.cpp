#include "graphics/CNerinTrain.h"

#include "graphics/CSprite.h"

int32_t NerinTrainX(int32_t mode, int32_t step)
{
    if (mode == NERIN_TRAIN_ARRIVAL) {
        int32_t distance;
        if (step < 171)
            distance = 32 * step;
        else if (step < 271)
            distance = (step + 170) * 16;
        else if (step < 371)
            distance = 8 * step + 4880;
        else if (step < 421)
            distance = 4 * step + 6360;
        else if (step < 471)
            distance = 2 * step + 7200;
        else
            distance = step + 7670;
        return 1920 - distance;
    }
    if (mode == NERIN_TRAIN_DEPARTURE) {
        if (step < 29)
            return NERIN_TRAIN_STOP_X - 2 * step;
        if (step < 79)
            return NERIN_TRAIN_STOP_X - (4 * step - 56);
        if (step < 179)
            return NERIN_TRAIN_STOP_X - (8 * step - 368);
        return NERIN_TRAIN_STOP_X - 16 * (step - 112);
    }
    return 0;
}

void CNerinTrain::Begin()
{
    if (m_sprite == nullptr)
        return;
    if (m_mode == NERIN_TRAIN_ARRIVAL) {
        m_sprite->SetVisibleFlag(1);
        m_sprite->SetPosition(1920, 0);
    } else if (m_mode == NERIN_TRAIN_DEPARTURE) {
        m_sprite->SetVisibleFlag(1);
        m_sprite->SetPosition(6016, 0);
    }
}

void CNerinTrain::Update(int32_t step, int32_t)
{
    if (m_sprite == nullptr || (m_mode != NERIN_TRAIN_ARRIVAL && m_mode != NERIN_TRAIN_DEPARTURE))
        return;
    m_sprite->SetPosition(NerinTrainX(m_mode, step), 0);
}

void CNerinTrain::End()
{
    if (m_sprite == nullptr)
        return;
    if (m_mode == NERIN_TRAIN_ARRIVAL) {
        m_sprite->SetVisibleFlag(1);
        m_sprite->SetPosition(NERIN_TRAIN_STOP_X, 0);
    } else if (m_mode == NERIN_TRAIN_DEPARTURE) {
        m_sprite->SetVisibleFlag(0);
        m_sprite->SetPosition(-8000, 0);
    }
}
