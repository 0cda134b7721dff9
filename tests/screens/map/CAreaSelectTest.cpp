#include "screens/map/CAreaSelect.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSprite.h"
#include "graphics/HitMap.h"
#include "screens/base/IRightMenu.h"
#include "screens/map/AreaFixture.h"
#include "screens/map/CStatusPlate.h"

namespace {

// Pumps the opening slide may take.
constexpr int OPEN = 30;

class OpenMenu : public IRightMenu
{
public:
    OpenMenu()
    {
        for (int32_t slot = 0; slot < SIDE_MENU_SLOTS; ++slot)
            ButtonMap[static_cast<size_t>(slot)] = slot;
    }
    int32_t IsOpen() override { return 1; }
    int32_t HitTest(int32_t x, int32_t y) override { return x >= 1520 && y < 100 ? 0xF03 : -1; }
};

class CAreaSelectThreadTest : public AreaFixture
{
protected:
    CAreaSelectThreadTest()
        // The places' file once more under a name without extension.
        : AreaFixture({{"AREA_PLACES", tools::BuildAreaFile(tools::AreaPlaceAreas())}})
    {}

    static CAreaSelect& Screen() { return *GetGameWork()->GetAreaSelect(); }

    // Runs the screen over a hit source with the step at each pump; ended at the budget.
    int32_t Run(const char* source, std::function<void(int)> step, int budget = 60)
    {
        Screen().HitSource = source;
        Screen().Result = ScriptValue::FromInteger(99); // what a run without a decision leaves
        OnPump([&](int pump) {
            if (step)
                step(pump);
            if (pump == budget)
                Screen().Running = 0;
        });
        ScriptValue out = ScriptValue::FromInteger(99);
        Screen().Run(&out);
        OnPump(nullptr);
        return out.Integer;
    }
    // Points at (x, y) from the first pump and clicks once the opening slide is over.
    std::function<void(int)> ClickAt(int32_t x, int32_t y)
    {
        return [this, x, y](int pump) {
            if (pump == 1)
                PointAt(x, y);
            m_mouse.left_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0;
        };
    }
};

TEST_F(CAreaSelectThreadTest, DecisionsAnswerTheHitSourcesIdsAndZeroForFixedButtons)
{
    struct Case
    {
        const char* source;
        int32_t x, y;
        int32_t expected;
    };
    const int32_t strip_y = (tools::AREA_ID_STRIP_TOP + tools::AREA_ID_STRIP_BOTTOM) / 2;
    const Case cases[] = {
        {"AREA_IDS.AKB", tools::AreaIdStripLeft(3) + 50, strip_y, 0x0301},
        {"area_ids.akb", tools::AreaIdStripLeft(13) + 50, strip_y, 0x0D01},
        {"area_places.area", 300, 650, 0x0202},            // own table: group raised
        {"area_ids.akb", 300, 650, 99},                    // the id picture empties the own table
        {"area_ids.akb", 1000, 800, 99},                   // id 0 is nothing: no decision
        {"area_places", 600, 650, 0x0D05},                 // no extension: an ".area" file
        {"", 300, 650, 0x0202},                            // empty: the table of the last load
        {"", 1780 + 60, 942 + 60, 0},                      // the corner back button
        {"", tools::AreaIdStripLeft(3) + 50, strip_y, 99}, // no id picture after closing
    };
    for (const Case& c : cases) {
        const int32_t result = Run(c.source, ClickAt(c.x, c.y), OPEN + 20);
        EXPECT_EQ(result, c.expected) << c.source << " " << c.x << "," << c.y;
        EXPECT_FALSE(AreaSelectIdPicture().HasPicture());
        EXPECT_TRUE(TakeOkCancelSounds().empty());
    }
}

TEST_F(CAreaSelectThreadTest, ThePlateAndTheSideMenuDecideSilently)
{
    State().Flags[8003] = 1;
    GetGameWork()->GetStatusPlate()->ShowAnimated(nullptr);
    EXPECT_EQ(Run("", ClickAt(800, 40), OPEN + 20), 0); // the plate's button, 0xFF0F
    AreaSelectParts().Menu = std::make_unique<OpenMenu>();
    EXPECT_EQ(Run("", ClickAt(1600, 40), OPEN + 20), 0xF03);
    EXPECT_TRUE(TakeOkCancelSounds().empty());
    const auto escape = [this](int pump) {
        m_keyboard.down = pump >= OPEN && pump < OPEN + 2 ? std::set<uint32_t>{1} : std::set<uint32_t>{};
    };
    EXPECT_EQ(Run("", escape), 0);
    EXPECT_FALSE(TakeOkCancelSounds().empty());
}

TEST_F(CAreaSelectThreadTest, TheHelpBarLiftsOverItsHomeStripAndComesBack)
{
    std::vector<int32_t> bar_y;
    Run(
        "",
        [&](int pump) {
            if (pump == 1)
                PointAt(900, 1000);
            if (pump == OPEN) {
                bar_y.push_back(AreaSelectParts().HelpBar->GetPosition().y);
                Capture("area_select_help_lifted.png");
            }
            if (pump == OPEN + 1)
                PointAt(900, 940); // on the lifted bar but above its home strip
            if (pump == OPEN + 5)
                bar_y.push_back(AreaSelectParts().HelpBar->GetPosition().y);
            if (pump == OPEN + 6)
                PointAt(900, 1020);
            if (pump == OPEN + 10) {
                bar_y.push_back(AreaSelectParts().HelpBar->GetPosition().y);
                Capture("area_select_screen.png");
            }
        },
        OPEN + 15);
    EXPECT_EQ(bar_y, (std::vector<int32_t>{852, 952, 852}));
}

TEST_F(CAreaSelectThreadTest, ArrowsTogetherMoveDiagonallyAndShiftTriples)
{
    for (bool shift : {false, true}) {
        POINT start{}, end{};
        Run(
            "",
            [&](int pump) {
                if (pump == 1)
                    PointAt(960, 540);
                if (pump == OPEN)
                    start = CDirect3D::GetInstance()->WindowToLogical(m_mouse.position);
                if (pump >= OPEN + 1 && pump < OPEN + 4) {
                    m_keyboard.down = {SCAN_UP, SCAN_LEFT};
                    if (shift)
                        m_keyboard.down.insert(42);
                } else {
                    m_keyboard.down.clear();
                }
                if (pump == OPEN + 15)
                    end = CDirect3D::GetInstance()->WindowToLogical(m_mouse.position);
            },
            OPEN + 16);
        const int32_t step = shift ? 45 : 15;
        EXPECT_EQ(end.x - start.x, end.y - start.y) << shift;
        EXPECT_LT(end.x, start.x) << shift;
        EXPECT_EQ((start.x - end.x) % step, 0) << shift;
    }
}

} // namespace
