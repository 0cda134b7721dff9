#pragma once
// The blinking click-wait mark of the message window: 58 x 58 frames stacked in a column of the
// window's parts picture, copied one per tick into the prompt sprite. Mode 0 takes the column at
// (665, 624), mode 1 the one at (723, 624). The message window owns it with its parts and plays
// it in a loop with a task of its own; the step calls it on the app-task thread.

#include <cstdint>

#include "graphics/IUserAnime.h"
#include "platform/kernel/WinTypes.h"

class CSprite;

inline constexpr int32_t PROMPT_SIZE = 58;

class CPronptAnm final : public IUserAnime
{
public:
    // Draws the current frame, shows the prompt, moves on a frame.
    void Begin() override;
    // Hides the prompt.
    void End() override;
    // Draws the current frame and moves on a frame; the arguments do not matter.
    void Update(int32_t step, int32_t steps) override;

    CSprite* m_picture = nullptr; // not owned: the window's parts picture
    CSprite* m_prompt = nullptr;  // not owned: the 58 x 58 sprite on screen
    int32_t m_frame = 0;
    int32_t m_mode = 0;
    int32_t m_drawn = 0; // cleared by every Update; the message window reads it
    POINT m_sources[2] = {{665, 624}, {723, 624}};
    int32_t m_frame_count = 0;
    uint32_t m_last_time = 0;

private:
    void DrawFrame();
    void AdvanceFrame();
};
