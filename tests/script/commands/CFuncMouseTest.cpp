#include <gtest/gtest.h>

#include "foundation/CInputView.h"
#include "foundation/IMouse.h"
#include "graphics/CDirect3D.h"
#include "script/ScriptTestFixture.h"
#include "script/commands/CFuncMouse.h"

namespace {

class PointMouse final : public IMouse
{
public:
    void GetPosition(POINT* point) override { *point = position; }
    void SetPosition(int32_t x, int32_t y) override { position = {x, y}; }
    int32_t GetWheel() override { return wheel; }
    void SetWheel(int32_t count) override { wheel = count; }
    void ShowCursor(BOOL show) override { shown = show; }

    POINT position{0, 0};
    int32_t wheel = 0;
    BOOL shown = TRUE;
};

class CFuncMouseTest : public ScriptTest
{
protected:
    CFuncMouseTest() { GetInputView()->SetMouse(&m_mouse); }
    ~CFuncMouseTest() override
    {
        GetInputView()->SetMouse(nullptr);
        CDirect3D::GetInstance()->SetScreenMapping(POINT{0, 0}, 1.0f, 1.0f);
    }
    void Call(std::vector<int32_t> pushed)
    {
        for (int32_t value : pushed)
            Context().PushInteger(value);
        CFuncMouse group;
        CScript script;
        group.Call(script);
    }

    PointMouse m_mouse;
};

TEST_F(CFuncMouseTest, PositionsMapBetweenWindowAndScreen)
{
    const struct
    {
        POINT offset;
        float scale;
        POINT window;
        POINT screen;
    } cases[] = {
        {{0, 0}, 1.0f, {100, 40}, {100, 40}},
        {{0, 0}, 1.5f, {100, 40}, {150, 60}},
        {{10, 20}, 2.0f, {110, 70}, {200, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scale);
        CDirect3D::GetInstance()->SetScreenMapping(c.offset, c.scale, c.scale);
        m_mouse.position = c.window;
        Call({2});
        EXPECT_EQ(State().Values[27].Integer, c.screen.x);
        EXPECT_EQ(State().Values[28].Integer, c.screen.y);
        m_mouse.position = {-1, -1};
        Call({c.screen.y, c.screen.x, 3});
        EXPECT_EQ(m_mouse.position.x, c.window.x);
        EXPECT_EQ(m_mouse.position.y, c.window.y);
    }
    EXPECT_TRUE(Stack().empty());
}

TEST_F(CFuncMouseTest, CursorAndWheel)
{
    Call({1});
    EXPECT_FALSE(m_mouse.shown);
    Call({0});
    EXPECT_TRUE(m_mouse.shown);
    Call({5, 5});
    EXPECT_EQ(m_mouse.wheel, 5);
    Call({4});
    ASSERT_EQ(Stack().size(), 1u);
    EXPECT_EQ(Stack()[0].Integer, 5);
}

} // namespace
