#include "screens/map/CCharAreaSelect.h"

#include <gtest/gtest.h>

#include <type_traits>

#include "app/CGameWork.h"
#include "graphics/CSprite.h"
#include "screens/map/AreaFixture.h"
#include "screens/map/CAreaSelect.h"

namespace {

// The twin shares the pointer handling but is no area screen: it has no hit source to be given.
static_assert(!std::is_base_of_v<CAreaSelect, CCharAreaSelect>);
static_assert(std::is_base_of_v<IAreaSelect, CCharAreaSelect>);

constexpr int OPEN = 30; // pumps the opening slide may take

class CCharAreaSelectThreadTest : public AreaFixture
{
protected:
    // Runs a fresh screen as its script command does; ended at the budget.
    int32_t Run(std::function<void(int)> step, int budget = OPEN + 20)
    {
        CCharAreaSelect screen;
        EXPECT_EQ(screen.CreateParts(), 1);
        screen.Result = ScriptValue::FromInteger(99);
        OnPump([&](int pump) {
            step(pump);
            if (pump == budget)
                screen.Running = 0;
        });
        const int32_t result = screen.RunScreen();
        OnPump(nullptr);
        return result;
    }
    std::function<void(int)> ClickAt(int32_t x, int32_t y)
    {
        return [this, x, y](int pump) {
            if (pump == 1)
                PointAt(x, y);
            m_mouse.left_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0;
        };
    }
};

TEST_F(CCharAreaSelectThreadTest, SharedRecordsAreFixedButtonsAndTheBackgroundIsNothing)
{
    struct Case
    {
        int32_t x, y;
        int32_t expected;
    };
    const Case cases[] = {
        {50, 1040, 0},            // record id 1, read as 0xFF01
        {1389 + 60, 803 + 60, 0}, // back
        {960, 300, 99},           // the empty background decides nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(ClickAt(c.x, c.y)), c.expected) << c.x << "," << c.y;
        EXPECT_TRUE(TakeOkCancelSounds().empty());
    }
}

TEST_F(CCharAreaSelectThreadTest, TheHelpBarStaysInSightAfterAnotherAreaScreenClosed)
{
    // The area screen's run leaves the bar below the screen.
    GetGameWork()->GetAreaSelect()->Result = ScriptValue::FromInteger(0);
    OnPump([this](int pump) {
        if (pump == OPEN)
            GetGameWork()->GetAreaSelect()->Running = 0;
    });
    ScriptValue ignored;
    GetGameWork()->GetAreaSelect()->Run(&ignored);
    ASSERT_EQ(AreaSelectParts().HelpBar->GetPosition().y, 1160);
    int32_t bar_y = 0;
    int32_t visible = 0;
    Run([&](int pump) {
        if (pump == 1)
            PointAt(960, 300);
        if (pump == OPEN + 5) {
            bar_y = AreaSelectParts().HelpBar->GetPosition().y;
            visible = AreaSelectParts().HelpBar->IsVisible();
            Capture("char_area_select_screen.png");
        }
    });
    EXPECT_EQ(bar_y, 952);
    EXPECT_EQ(visible, 1);
}

} // namespace
