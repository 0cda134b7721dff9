#include "screens/map/CTimeSelect.h"

#include <gtest/gtest.h>

#include "screens/map/AreaFixture.h"

namespace {

constexpr int OPEN = 30; // pumps the fade-in may take

tools::AreaRecord TimeArea(int32_t id)
{
    for (const tools::AreaRecord& area : tools::TimeSelectAreas())
        if (area.id == static_cast<uint32_t>(id))
            return area;
    throw std::logic_error("no such area");
}

class CTimeSelectThreadTest : public AreaFixture
{
protected:
    CTimeSelectThreadTest() { EXPECT_TRUE(m_screen.Setup()); }

    // Runs the mode with the step at each pump; the budget ends a run nothing else ends, which
    // then answers 99.
    int32_t Run(int32_t mode, std::function<void(int)> step, int budget = OPEN + 30)
    {
        m_ended_by_budget = false;
        OnPump([&](int pump) {
            if (step)
                step(pump);
            if (pump == budget && m_screen.Running != 0) {
                m_screen.Result = ScriptValue::FromInteger(99);
                m_screen.Running = 0;
                m_ended_by_budget = true;
            }
        });
        PointAt(0, 0);
        const int32_t result = m_screen.RunWithMode(mode);
        OnPump(nullptr);
        return result;
    }
    std::function<void(int)> ClickOn(int32_t id)
    {
        return [this, id](int pump) {
            if (pump == OPEN - 5)
                PointAtCentre(TimeArea(id));
            m_mouse.left_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0;
        };
    }
    // From the last capture.
    std::pair<uint32_t, int32_t> CellAt(int32_t id)
    {
        return ShownCell(TimeArea(id).left + 40, TimeArea(id).top + 40);
    }

    CTimeSelect m_screen;
    bool m_ended_by_budget = false;
};

TEST_F(CTimeSelectThreadTest, ButtonsAnswerTheirNumberTheNinthOnlyInModeFourAndBackZero)
{
    struct Case
    {
        int32_t mode;
        int32_t id;
        int32_t expected; // 99: nothing decided
    };
    const Case cases[] = {{0, 0, 1},
                          {1, 3, 4},
                          {2, 7, 8},
                          {4, 5, 6},
                          {4, TIME_ID_NINTH, 9},
                          {0, TIME_ID_NINTH, 99},
                          {3, TIME_ID_NINTH, 99},
                          {0, TIME_ID_BACK, 0},
                          {4, TIME_ID_BACK, 0}};
    for (const Case& c : cases) {
        TakeOkCancelSounds();
        EXPECT_EQ(Run(c.mode, ClickOn(c.id)), c.expected) << "mode " << c.mode << " id " << c.id;
        EXPECT_EQ(m_ended_by_budget, c.expected == 99) << "mode " << c.mode << " id " << c.id;
        EXPECT_EQ(TakeOkCancelSounds().empty(), c.expected == 99) << "mode " << c.mode << " id " << c.id;
    }
    // Cancel inputs: Esc, Delete and the right button.
    for (uint32_t key : {1u, 211u}) {
        const int32_t result = Run(1, [&](int pump) {
            m_keyboard.down =
                pump >= OPEN && pump < OPEN + 2 ? std::set<uint32_t>{key} : std::set<uint32_t>{};
        });
        EXPECT_EQ(result, 0) << key;
        EXPECT_FALSE(m_ended_by_budget) << key;
    }
    EXPECT_EQ(Run(1, [&](int pump) { m_mouse.right_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0; }), 0);
    EXPECT_FALSE(m_ended_by_budget);
}

TEST_F(CTimeSelectThreadTest, DecideWithNothingUnderThePointerKeepsTheScreen)
{
    EXPECT_EQ(Run(0,
                  [&](int pump) {
                      if (pump == 2)
                          PointAt(100, 100);
                      m_mouse.left_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0;
                  }),
              99);
    EXPECT_TRUE(m_ended_by_budget);
    EXPECT_TRUE(TakeOkCancelSounds().empty());
}

TEST_F(CTimeSelectThreadTest, CaptionsFollowTheModeAndTheNinthButtonShowsOnlyInModeFour)
{
    struct Case
    {
        int32_t mode;
        uint32_t caption;
        bool ninth;
    };
    const Case cases[] = {{0, tools::TIME_SHEET_CAPTION + 0, false},
                          {1, tools::TIME_SHEET_CAPTION + 1, false},
                          {3, tools::TIME_SHEET_CAPTION + 3, false},
                          {4, tools::TIME_SHEET_CAPTION + 2, true}};
    for (const Case& c : cases) {
        Run(c.mode, [&](int pump) {
            if (pump == OPEN)
                Capture("time_select_mode" + std::to_string(c.mode) + ".png");
        });
        EXPECT_EQ(ShownCell(960, 873), std::make_pair(c.caption, 0)) << c.mode;
        EXPECT_EQ(ShownCell(700, 900), std::make_pair(tools::TIME_SHEET_PANEL, 0)) << c.mode;
        EXPECT_EQ(ShownCell(960, 300), std::make_pair(tools::TIME_SHEET_DIAL, 0)) << c.mode;
        EXPECT_EQ(ShownCell(960, 495), c.ninth ? std::make_pair(static_cast<uint32_t>(TIME_ID_NINTH), 0)
                                               : std::make_pair(tools::TIME_SHEET_DIAL, 0))
            << c.mode;
        for (int32_t k = 0; k < TIME_RING_COUNT; ++k)
            EXPECT_EQ(CellAt(k), std::make_pair(static_cast<uint32_t>(k), 0)) << c.mode << " ring " << k;
        EXPECT_EQ(CellAt(TIME_ID_BACK), std::make_pair(static_cast<uint32_t>(TIME_ID_BACK), 0)) << c.mode;
    }
}

TEST_F(CTimeSelectThreadTest, HoverAndPressShowAtOnce)
{
    std::vector<int32_t> states;
    Run(0, [&](int pump) {
        if (pump == OPEN - 5)
            PointAtCentre(TimeArea(5));
        m_mouse.left_down = pump >= OPEN + 1 && pump < OPEN + 6 ? 1 : 0;
        if (pump >= OPEN && pump < OPEN + 10) {
            Capture(pump == OPEN + 3 ? "time_select_pressed.png" : "");
            states.push_back(CellAt(5).second);
        }
    });
    // Hovered, pressed while the button is held, normal again once it is released.
    EXPECT_EQ(states.front(), 1);
    EXPECT_NE(std::find(states.begin(), states.end(), 2), states.end());
    EXPECT_EQ(states.back(), 0);
}

TEST_F(CTimeSelectThreadTest, AnyArrowWithoutHoverGoesToButtonZeroAndHoversItAtOnce)
{
    for (uint32_t key : {SCAN_UP, SCAN_DOWN, SCAN_LEFT, SCAN_RIGHT}) {
        std::pair<uint32_t, int32_t> shown;
        Run(2, [&](int pump) {
            if (pump == OPEN)
                m_keyboard.down = {key};
            if (pump == OPEN + 1) {
                Capture();
                shown = CellAt(0);
            }
            if (pump == OPEN + 2)
                m_keyboard.down.clear();
        });
        EXPECT_EQ(m_screen.GetHover(), 0) << key;
        EXPECT_EQ(shown, std::make_pair(0u, 1)) << key;
    }
}

class TimeArrowProbe : public CTimeSelect
{
public:
    int32_t TargetFrom(int32_t hover, int32_t direction)
    {
        Hover = hover;
        return ArrowTarget(direction);
    }
};

TEST_F(CTimeSelectThreadTest, ArrowTableOfTargets)
{
    // up, down, left, right; -1: the cursor stays.
    const std::pair<int32_t, std::array<int32_t, 4>> rows[] = {
        {-1, {0, 0, 0, 0}},
        {0, {0, 1, 7, 1}},
        {1, {0, 2, 0, 2}},
        {2, {1, 3, 1, TIME_ID_BACK}},
        {3, {2, 4, 4, TIME_ID_BACK}},
        {4, {5, 4, 5, 3}},
        {5, {6, 4, 6, 4}},
        {6, {7, 5, 6, 7}},
        {7, {0, 6, 6, 0}},
        {8, {-1, -1, -1, -1}},
        {TIME_ID_BACK, {2, -1, 3, 3}},
    };
    TimeArrowProbe probe;
    for (const auto& [hover, targets] : rows)
        for (int32_t direction = 0; direction < 4; ++direction)
            EXPECT_EQ(probe.TargetFrom(hover, direction), targets[static_cast<size_t>(direction)])
                << hover << " " << direction;
}

} // namespace
