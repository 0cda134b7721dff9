#include "screens/extras/CScrollView.h"

#include <algorithm>
#include <memory>

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/ScreenFixture.h"

namespace {

// A picture whose every row has its own colour, so a pixel tells the window's offset.
uint32_t RowColour(int32_t row)
{
    return 0xFF000000u | static_cast<uint32_t>(row);
}

class CScrollViewThreadTest : public ScreenFixture
{
protected:
    explicit CScrollViewThreadTest(int32_t height = 2160)
        : m_height(height)
    {
        auto picture = std::make_unique<CSpriteLayer>();
        picture->Create(0, 0, 1920, height, -1);
        for (int32_t y = 0; y < height; ++y)
            picture->FillRect(0, y, 1920, 1, RowColour(y), 1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(1, picture.release());
        m_target.Create(0, 0, 1920, 1080, 5);
        m_target.SetVisibleFlag(1);
    }

    // Runs a view with the pump script, ended by the right button at the given pump.
    int32_t Run(CScrollView& view, std::function<void(int)> step, int end_at)
    {
        OnPump([&, step](int pump) {
            if (step)
                step(pump);
            m_mouse.right_down = pump >= end_at && pump < end_at + 2 ? 1 : 0;
            if (pump > end_at + 200)
                view.Running = 0;
        });
        m_mouse.shapes.clear();
        view.Run(nullptr);
        OnPump(nullptr);
        return view.GetOffsetY();
    }
    // The offset of the window the target shows.
    int32_t Shown() { return static_cast<int32_t>(EffectPixel(m_target, 100, 0) & 0xFFFFFF); }

    int32_t m_height;
    CSpriteLayer m_target;
};

TEST_F(CScrollViewThreadTest, DragsFollowThePointerWithinThePicture)
{
    struct Case
    {
        std::vector<int32_t> pointer_y; // one a pump while the button is held
        int32_t offset;
    } cases[] = {
        {{1000, 900, 700}, 300}, // up by 300: the window moves 300 down the picture
        {{1060, -940}, 1080},    // up by 2000: stops at the bottom
        {{100, 600}, 0},         // down from the top: stays
        {{500, 400, 450, 450}, 50},
    };
    for (const Case& c : cases) {
        CScrollView view(&m_target, RECT{0, 0, 1920, m_height});
        PointAt(960, c.pointer_y.front());
        const size_t moves = c.pointer_y.size();
        const int32_t offset = Run(
            view,
            [&](int pump) {
                m_mouse.left_down = pump >= 10 && pump < 12 + static_cast<int>(moves) ? 1 : 0;
                const int index = pump - 11;
                if (index >= 0 && static_cast<size_t>(index) < moves)
                    PointAt(960, c.pointer_y[static_cast<size_t>(index)]);
            },
            40);
        EXPECT_EQ(offset, c.offset);
        EXPECT_EQ(Shown(), c.offset) << "the target keeps the last window";
    }
}

TEST_F(CScrollViewThreadTest, WheelAndKeysMoveOnePixelAStep)
{
    CScrollView view(&m_target, RECT{0, 0, 1920, m_height});
    std::vector<int32_t> up_offsets;
    const int32_t offset = Run(
        view,
        [&](int pump) {
            if (pump == 10)
                m_mouse.wheel = 5;
            if (pump == 14)
                m_mouse.wheel = -2;
            m_keyboard.down.clear();
            if (pump >= 20 && pump < 24)
                m_keyboard.down = {SCAN_DOWN};
            if (pump >= 30 && pump < 50)
                m_keyboard.down = {SCAN_UP};
            if (pump >= 52 && pump < 56)
                m_keyboard.down = {SCAN_LEFT, SCAN_RIGHT};
            if (pump >= 40 && pump < 50)
                up_offsets.push_back(Shown());
        },
        60);
    EXPECT_EQ(offset, 0);
    // Held at the top, Up copies the same window each frame.
    EXPECT_TRUE(std::all_of(up_offsets.begin(), up_offsets.end(), [](int32_t o) { return o == 0; }));
}

TEST_F(CScrollViewThreadTest, WheelStopsAtTheBottomAndTheCursorsFollowTheView)
{
    CScrollView view(&m_target, RECT{0, 0, 1920, m_height});
    std::vector<int32_t> offsets;
    const int32_t offset = Run(
        view,
        [&](int pump) {
            if (pump == 10)
                m_mouse.wheel = 1;
            if (pump == 12)
                offsets.push_back(Shown());
            if (pump == 14)
                m_mouse.wheel = 5000;
            if (pump == 16)
                m_mouse.wheel = 1;
            if (pump == 18)
                offsets.push_back(Shown());
            m_mouse.left_down = pump == 20 ? 1 : 0;
        },
        30);
    EXPECT_EQ(offsets, (std::vector<int32_t>{1, 1080}));
    EXPECT_EQ(offset, 1080);
    std::vector<int32_t> shapes = m_mouse.shapes;
    shapes.erase(std::unique(shapes.begin(), shapes.end()), shapes.end());
    EXPECT_EQ(shapes, (std::vector<int32_t>{CURSOR_OPEN_HAND, CURSOR_CLOSED_HAND, CURSOR_OPEN_HAND, -1}));
}

TEST_F(CScrollViewThreadTest, WithoutThePictureLayerTheViewEndsAtOnce)
{
    GetSpriteLayerRegistry().UnregisterSpriteLayer(1);
    CScrollView view(&m_target, RECT{0, 0, 1920, m_height});
    EXPECT_EQ(Run(view, nullptr, 100), 0);
    EXPECT_LT(Pumps(), 5);
}

} // namespace
