#include "screens/map/CComment.h"

#include <gtest/gtest.h>

#include "screens/map/CharacterFixture.h"

namespace {

using Cell = std::pair<uint32_t, int32_t>;
constexpr int OPEN = 30;
constexpr int BUDGET = OPEN + 30;
constexpr int32_t CLOSE_X = 1642 + 110, CLOSE_Y = 928 + 63;

class CCommentThreadTest : public CharacterFixture
{
protected:
    // Runs the viewer; answers its result and the pumps it took.
    std::pair<int32_t, int> Run(CComment& screen, std::function<void(int)> step)
    {
        ScriptValue out;
        int seen = 0;
        RunUntil(
            screen,
            [&](int pump) {
                seen = pump;
                step(pump);
            },
            BUDGET, [&] { screen.Run(&out); });
        return {out.Integer, seen};
    }
};

} // namespace

TEST_F(CCommentThreadTest, IndexesShowTheirSheetsAndIndexesPastTheTableShowNothing)
{
    const std::pair<int32_t, uint32_t> shown[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 2}, {5, 3}};
    for (const auto& [index, sheet] : shown) {
        SCOPED_TRACE(index);
        CComment screen;
        ASSERT_TRUE(screen.Setup(index));
        Cell page, button;
        Run(screen, [&](int pump) {
            if (pump == OPEN) {
                Capture(index == 5 ? "diary_index5.png" : "");
                page = ShownCell(210 + 750, 40 + 500);
                button = ShownCell(CLOSE_X, CLOSE_Y);
            }
            KeyAt(1, OPEN + 2)(pump);
        });
        EXPECT_EQ(page, Cell(tools::DIARY_SHEET + sheet, 0));
        EXPECT_EQ(button, Cell(512, 0)) << "the close button's picture";
    }
    for (const int32_t index : {6, -1}) {
        CComment screen;
        EXPECT_FALSE(screen.Setup(index));
        EXPECT_FALSE(screen.IsComplete());
        EXPECT_EQ(CComment::SheetName(index), nullptr);
    }
}

TEST_F(CCommentThreadTest, ClosingInputs)
{
    struct Case
    {
        const char* what;
        std::function<void(int)> input;
        bool closes;
        const char* sound;
    };
    const Case cases[] = {
        {"escape", [this](int pump) { KeyAt(1, OPEN)(pump); }, true, "ses_002.wav"},
        {"right button", [this](int pump) { m_mouse.right_down = pump >= OPEN && pump < OPEN + 2 ? 1 : 0; },
         true, "ses_002.wav"},
        {"click on the button", [this](int pump) { ClickAt(CLOSE_X, CLOSE_Y, OPEN)(pump); }, true,
         "ses_001.wav"},
        {"enter off the button",
         [this](int pump) {
             if (pump == 1)
                 PointAt(100, 100);
             KeyAt(28, OPEN)(pump);
         },
         false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CComment screen;
        ASSERT_TRUE(screen.Setup(0));
        TakeSounds(4);
        const auto [result, pumps] = Run(screen, c.input);
        EXPECT_EQ(result, c.closes ? 0 : 99);
        EXPECT_EQ(pumps < BUDGET, c.closes);
        const std::vector<std::string> sounds = TakeSounds(4);
        if (c.sound != nullptr) {
            EXPECT_TRUE(Played(sounds, c.sound));
        } else {
            EXPECT_TRUE(sounds.empty());
        }
    }
}

TEST_F(CCommentThreadTest, AnyArrowMovesThePointerOntoTheButton)
{
    for (const uint32_t key : {200u, 208u, 203u, 205u}) {
        SCOPED_TRACE(key);
        CComment screen;
        ASSERT_TRUE(screen.Setup(4));
        Run(screen, [&](int pump) {
            if (pump == 1)
                PointAt(100, 100);
            KeyAt(key, OPEN)(pump);
        });
        EXPECT_EQ(screen.HoverId, 0);
        EXPECT_EQ(m_mouse.position.x, CLOSE_X - 1);
        EXPECT_EQ(m_mouse.position.y, CLOSE_Y);
    }
}
