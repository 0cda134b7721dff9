// The click prompt: which 58 x 58 cell of the parts picture each call copies, for both modes,
// the cycle of the frame counter, the prompt shown on Begin and hidden on End, and a frame count
// never set, which stays on the first frame rather than dividing by zero.

#include "graphics/CPronptAnm.h"

#include <gtest/gtest.h>

#include "graphics/CSpriteLayer.h"
#include "graphics/EffectFixture.h"

namespace {

// The parts picture's cell at (x, y + 58 i) in column mode m carries the colour 0xFF00MMII.
constexpr uint32_t CellColour(int mode, int frame)
{
    return 0xFF000000u | (uint32_t(mode) << 8) | uint32_t(frame);
}

class CPronptAnmTest : public ::testing::Test
{
protected:
    CPronptAnmTest()
    {
        m_picture.Create(0, 0, 800, 624 + 58 * 8, -1);
        m_picture.FillRect(0, 0, 800, 624 + 58 * 8, 0xFFFFFFFF, 1);
        for (int frame = 0; frame < 8; ++frame) {
            m_picture.FillRect(665, 624 + 58 * frame, 58, 58, CellColour(0, frame), 1);
            m_picture.FillRect(723, 624 + 58 * frame, 58, 58, CellColour(1, frame), 1);
        }
        m_prompt.Create(1700, 950, 58, 58, -1);
        m_anime.m_picture = &m_picture;
        m_anime.m_prompt = &m_prompt;
    }

    // The cell the prompt shows, checked at two corners.
    uint32_t Shown()
    {
        const uint32_t corner = EffectPixel(m_prompt, 0, 0);
        EXPECT_EQ(EffectPixel(m_prompt, 57, 57), corner);
        return corner;
    }

    CSpriteLayer m_picture;
    CSpriteLayer m_prompt;
    CPronptAnm m_anime;
};

} // namespace

TEST_F(CPronptAnmTest, EightFramesCycleAndEachComesFromItsCell)
{
    m_anime.m_frame_count = 8;
    m_anime.Begin();
    EXPECT_EQ(Shown(), CellColour(0, 0));
    EXPECT_EQ(m_prompt.IsVisible(), 1);
    EXPECT_EQ(m_anime.m_frame, 1);
    for (int frame = 1; frame < 8; ++frame) {
        m_anime.m_drawn = 1;
        m_anime.Update(0, 0);
        EXPECT_EQ(Shown(), CellColour(0, frame)) << frame;
        EXPECT_EQ(m_anime.m_drawn, 0);
    }
    EXPECT_EQ(m_anime.m_frame, 0); // back to the first after the eighth
    m_anime.Update(5, 39);
    EXPECT_EQ(Shown(), CellColour(0, 0));
    m_anime.End();
    EXPECT_EQ(m_prompt.IsVisible(), 0);
}

TEST_F(CPronptAnmTest, ModeOneTakesTheSecondColumn)
{
    m_anime.m_frame_count = 3;
    m_anime.m_mode = 1;
    m_anime.Begin();
    m_anime.Update(0, 0);
    EXPECT_EQ(Shown(), CellColour(1, 1));
}

TEST_F(CPronptAnmTest, AFrameCountOfZeroStaysOnTheFirstFrame)
{
    m_anime.Begin();
    m_anime.Update(0, 0);
    m_anime.Update(0, 0);
    EXPECT_EQ(m_anime.m_frame, 0);
    EXPECT_EQ(Shown(), CellColour(0, 0));
}
