#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "screens/base/CMesWnd.h"
#include "script/ScriptTestFixture.h"
#include "script/commands/CFuncMesWnd.h"

namespace {

// Records what the group asks of the window.
class RecordingMesWnd final : public CMesWnd
{
public:
    void ApplyWindowColor() override { ++colours; }
    void ResetTextArea() override { ++resets; }
    void RunMessage(ScriptValue& result, int32_t mode, int32_t number) override
    {
        runs.push_back({mode, number});
        result = ScriptValue::FromText("done");
        result.Integer = 7;
    }
    int colours = 0;
    int resets = 0;
    std::vector<std::pair<int32_t, int32_t>> runs;
};

class CFuncMesWndTest : public ScriptTest
{
protected:
    CFuncMesWndTest()
    {
        auto window = std::make_unique<RecordingMesWnd>();
        m_window = window.get();
        GetGameWork()->ExchangeScreen(std::move(window));
    }
    ~CFuncMesWndTest() override { GetGameWork()->ExchangeScreen(std::unique_ptr<CMesWnd>()); }

    void Call(std::vector<int32_t> pushed)
    {
        for (int32_t value : pushed)
            Context().PushInteger(value);
        CFuncMesWnd group;
        CScript script;
        group.Call(script);
    }

    RecordingMesWnd* m_window;
};

TEST_F(CFuncMesWndTest, OnlyOneShowsTheWindow)
{
    for (const auto& [show, shown] : {std::pair{1, 1}, {0, 0}, {1, 1}, {2, 0}, {-1, 0}}) {
        SCOPED_TRACE(show);
        Call({show, 2});
        EXPECT_EQ(m_window->IsShown(), shown);
        EXPECT_TRUE(Stack().empty());
    }
}

TEST_F(CFuncMesWndTest, MessageRunPushesTheWindowsResult)
{
    Call({0});
    Call({1});
    Call({12, 3, 3}); // number, mode, sub-function
    EXPECT_EQ(m_window->colours, 1);
    EXPECT_EQ(m_window->resets, 1);
    ASSERT_EQ(m_window->runs.size(), 1u);
    EXPECT_EQ(m_window->runs[0], std::make_pair(3, 12));
    ASSERT_EQ(Stack().size(), 1u);
    EXPECT_EQ(Stack()[0].Integer, 7);
    EXPECT_EQ(Stack()[0].Text, CStringUTF8("done"));
    Call({9});
    EXPECT_EQ(Stack().size(), 1u) << "an unknown sub-function pushed";
}

} // namespace
