// The scrolling picture on the screen stage: document sprite layer 1 holds a picture whose rows
// say their own number (the slot sheet writer's colours), layer 0 receives it, and a mouse that
// records the cursor shapes stands in front of the scripted one. The pump script sees what the
// previous frame drew. The display is not live, so no frame is drawn.

#include <algorithm>
#include <functional>
#include <vector>

#include "app/CVeskDoc.h"
#include "foundation/CInputView.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/ScreenFixture.h"
#include "screens/extras/CSlot.h"
#include "sheetgen/SlotSheet.h"
#include "support/HeadlessDisplay.h"

namespace {

constexpr uint32_t MARKER = 0xFF123456u;

// The scripted mouse with the cursor shapes recorded, each change once.
class ShapeMouse final : public IMouse
{
public:
    explicit ShapeMouse(ScriptedMouse& mouse)
        : m_mouse(mouse)
    {}
    void GetPosition(POINT* point) override { m_mouse.GetPosition(point); }
    void SetPosition(int32_t x, int32_t y) override { m_mouse.SetPosition(x, y); }
    void ClearClicks() override { m_mouse.ClearClicks(); }
    int32_t IsLeftDown() override { return m_mouse.IsLeftDown(); }
    int32_t IsRightDown() override { return m_mouse.IsRightDown(); }
    int32_t IsLeftClicked() override { return m_mouse.IsLeftClicked(); }
    int32_t IsRightClicked() override { return m_mouse.IsRightClicked(); }
    int32_t GetWheel() override { return m_mouse.GetWheel(); }
    void SetWheel(int32_t count) override { m_mouse.SetWheel(count); }
    int32_t GetCursorShape() override { return m_shape; }
    int32_t SetCursorShape(int32_t id) override
    {
        if (id != m_shape)
            shapes.push_back(id);
        m_shape = id;
        return 1;
    }

    std::vector<int32_t> shapes;

private:
    ScriptedMouse& m_mouse;
    int32_t m_shape = -1;
};

class CSlotScrollImageThreadTest : public ScreenFixture
{
protected:
    CSlotScrollImageThreadTest()
        : m_shape_mouse(m_mouse)
    {
        // The screen presents after every step of its scroll; without a live display those
        // presents cost nothing, and the test reads layer 0 itself.
        m_display.reset();
        m_target = new CSpriteLayer;
        m_target->Create(0, 0, 1920, 1080, -1);
        m_target->FillRect(0, 0, 1920, 1080, MARKER, 1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(0, m_target);
        GetInputView()->SetMouse(&m_shape_mouse);
    }
    ~CSlotScrollImageThreadTest() override
    {
        GetInputView()->SetMouse(&m_mouse);
        GetSpriteLayerRegistry().UnregisterSpriteLayer(0);
        GetSpriteLayerRegistry().UnregisterSpriteLayer(1);
    }

    void MakeSource(int32_t height)
    {
        auto* source = new CSpriteLayer;
        source->Create(0, 0, 1920, height, -1);
        for (int32_t y = 0; y < height; ++y)
            source->FillRect(0, y, 1920, 1, tools::TallPictureRowColour(y), 1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(1, source);
    }
    // The source row shown at screen row y, -1 for anything else.
    int32_t RowAt(int32_t y)
    {
        const uint32_t pixel = EffectPixel(*m_target, 100, y);
        if ((pixel & 0xFF) != 0x99)
            return -1;
        return static_cast<int32_t>(((pixel >> 16) & 0xFF) << 8 | ((pixel >> 8) & 0xFF));
    }

    CSpriteLayer* m_target = nullptr; // not owned: the document's
    ShapeMouse m_shape_mouse;
};

TEST_F(CSlotScrollImageThreadTest, TallPictureScrollsDownAndUpThenDragsWithinItsRange)
{
    // A third of a screen taller than the screen: every row of the range is still passed on the
    // way down and up, in a third of the frames a picture of two screens would take.
    constexpr int32_t range = 360;
    MakeSource(1080 + range);
    CSlotScrollImage screen;
    std::vector<int32_t> rows;
    std::vector<int32_t> dragged;
    int free_pump = 0;
    OnPump([&](int pump) {
        if (free_pump == 0) {
            if (pump >= 2)
                rows.push_back(RowAt(0));
            if (screen.Phase == CSlotScrollImage::PHASE_FREE)
                free_pump = pump;
            else
                return;
        }
        const int step = pump - free_pump;
        if (step >= 2 && step <= 5)
            dragged.push_back(RowAt(0));
        switch (step) {
        case 0:
            PointAt(960, 500);
            m_mouse.left_down = 1;
            break;
        case 1:
            PointAt(960, 300); // up by 200: the picture follows
            break;
        case 2:
            PointAt(960, -2000); // far past the bottom of the picture
            break;
        case 3:
            PointAt(960, 5000); // far past its top
            break;
        case 4:
            m_mouse.left_down = 0;
            break;
        case 6:
            m_keyboard.down.insert(1);
            break;
        case 7:
            m_keyboard.down.erase(1);
            break;
        default:
            break;
        }
    });
    screen.RunScroll(99, 1080 + range);

    std::vector<int32_t> expected;
    for (int32_t y = 0; y <= range; ++y)
        expected.push_back(y);
    for (int32_t y = range; y >= 0; --y)
        expected.push_back(y);
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(dragged, (std::vector<int32_t>{200, range, 0, 0}));
    EXPECT_EQ(RowAt(1079), 1079);
    EXPECT_EQ(m_shape_mouse.shapes, (std::vector<int32_t>{1011, 118, 1011, -1}));
    EXPECT_LT(Pumps() - free_pump, 20) << "cancel in the free drag ends the screen";
}

TEST_F(CSlotScrollImageThreadTest, OneScreenOrLessTurnsOnConsecutiveFramesAndReadsOnlyTheSource)
{
    for (int32_t height : {1080, 600}) {
        SCOPED_TRACE(height);
        m_target->FillRect(0, 0, 1920, 1080, MARKER, 1);
        m_shape_mouse.shapes.clear();
        MakeSource(height);
        CSlotScrollImage screen;
        std::vector<int32_t> phases;
        OnPump([&](int pump) {
            phases.push_back(screen.Phase);
            if (pump == 3)
                m_keyboard.down.insert(1);
            if (pump == 4)
                m_keyboard.down.erase(1);
        });
        screen.RunScroll(0, height);
        ASSERT_GE(phases.size(), 3u);
        EXPECT_EQ(std::vector<int32_t>(phases.begin(), phases.begin() + 3), (std::vector<int32_t>{0, 1, 2}));
        EXPECT_EQ(screen.GetRange(), 0);
        EXPECT_EQ(screen.ScrollY, 0);
        EXPECT_EQ(RowAt(0), 0);
        EXPECT_EQ(RowAt(height - 1), height - 1);
        if (height < 1080) {
            EXPECT_EQ(EffectPixel(*m_target, 100, height), MARKER) << "nothing below the source is read";
        }
        EXPECT_EQ(m_shape_mouse.shapes, (std::vector<int32_t>{1011, -1}));
    }
}

TEST_F(CSlotScrollImageThreadTest, CancelJumpsToTheTopAndAMissingPictureEndsAtOnce)
{
    MakeSource(2160);
    {
        CSlotScrollImage screen;
        int32_t phase_after_cancel = -1;
        int32_t row_after_cancel = -1;
        int free_pump = 0;
        OnPump([&](int pump) {
            if (pump == 50)
                m_keyboard.down.insert(1);
            if (pump == 51)
                m_keyboard.down.erase(1);
            if (free_pump == 0 && screen.Phase == CSlotScrollImage::PHASE_FREE) {
                free_pump = pump;
                phase_after_cancel = screen.Phase;
                row_after_cancel = RowAt(0);
            }
            if (free_pump != 0 && pump == free_pump + 3)
                m_keyboard.down.insert(1);
            if (free_pump != 0 && pump == free_pump + 4)
                m_keyboard.down.erase(1);
        });
        screen.RunScroll(0, 2160);
        EXPECT_EQ(phase_after_cancel, CSlotScrollImage::PHASE_FREE);
        EXPECT_EQ(row_after_cancel, 0);
        EXPECT_LT(Pumps(), 75);
        EXPECT_EQ(m_shape_mouse.shapes, (std::vector<int32_t>{1011, -1}));
    }
    GetSpriteLayerRegistry().UnregisterSpriteLayer(1);
    m_target->FillRect(0, 0, 1920, 1080, MARKER, 1);
    m_shape_mouse.shapes.clear();
    CSlotScrollImage screen;
    OnPump([](int) {});
    screen.RunScroll(0, 2160);
    EXPECT_LE(Pumps(), 1);
    EXPECT_EQ(EffectPixel(*m_target, 100, 0), MARKER);
}

} // namespace
