// The message window's read tests, message texts, timing rules and close.

#include "screens/base/CMesWnd.h"

#include <gtest/gtest.h>

#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "screens/ScreenFixture.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncOneMes.h"
#include "script/vm/ScriptContext.h"

namespace {

TEST(CMesWndTiming, CharacterWaitsAndDeadlinesFollowTheirFormulas)
{
    struct Wait
    {
        float speed;
        uint32_t ms;
    };
    // Single precision: (1 - 0.8f) x 150 is just below 30.
    for (const Wait& w : {Wait{0.0f, 150}, Wait{0.8f, 29}, Wait{0.99f, 1}, Wait{1.0f, 0}, Wait{1.5f, 0},
                          Wait{-0.5f, 150}})
        EXPECT_EQ(CMesWnd::CharacterWait(w.speed), w.ms) << w.speed;

    struct Auto
    {
        int32_t count;
        float speed;
        uint32_t deadline;
    };
    for (const Auto& a : {Auto{41, 1.0f, 1000}, Auto{41, 0.5f, 4000}, Auto{1, 0.5f, 1500}, Auto{0, 0.5f, 1500},
                          Auto{41, 3.0f, 1000}, Auto{3, -1.0f, 1000 + 250 + 500}})
        EXPECT_EQ(CMesWnd::AutoModeDeadline(1000, a.count, a.speed), a.deadline) << a.count << " " << a.speed;

    EXPECT_EQ(CMesWnd::ReadSkipDeadline(1000, 1.0f), 1000u);
    EXPECT_EQ(CMesWnd::ReadSkipDeadline(1000, 0.5f), 1250u);
    EXPECT_EQ(CMesWnd::ReadSkipDeadline(1000, 100.0f), 1000u); // an edited value above 1
}

class CMesWndTest : public ScreenFixture
{
protected:
    CMesWndTest()
    {
        FlagBuffer& state = *GetDocument()->m_current_state;
        state.Variables.resize(100);
        state.Values.resize(FLAG_BUFFER_VALUE_COUNT);
        CFuncOneMes read;
        read.ResizeReadBuffer(64);
        read.ClearReadBuffer();
    }
    CMesWnd& Window() { return *GetGameWork()->m_message_window; }
};

TEST_F(CMesWndTest, CloseMarksTheMessageReadUnlessASceneSkipEndedThere)
{
    CFuncOneMes read;
    CurrentMessageNumber = 7;
    EXPECT_FALSE(Window().IsCurrentMessageRead());
    m_app.Config().SetInt("/Config/SceneSkip", 1);
    EXPECT_THROW(Window().EndSceneSkip(), CVeskDoc::tagDOCUMENT_CODE);
    Window().OnClose();
    EXPECT_EQ(read.IsRead(7), 0);
    Window().OnClose(); // an ordinary close marks it
    EXPECT_EQ(read.IsRead(7), 1);
    EXPECT_TRUE(Window().IsCurrentMessageRead());

    CurrentMessageNumber = 8;
    EXPECT_FALSE(Window().IsCurrentMessageRead());
    GetDocument()->m_current_state->Variables[69] = ScriptValue::FromInteger(1);
    EXPECT_TRUE(Window().IsCurrentMessageRead()); // replay: everything counts as read
}

TEST_F(CMesWndTest, MessageTextComesFromTheBacklogEntry)
{
    BacklogStore& backlog = GetDocument()->m_script_context->Backlog;
    backlog.Allocate(2);
    backlog.Entries[0]->Code = {1, 0};
    backlog.Entries[0]->BodyText = "冬の朝、ab";
    MessageText text;
    CMesWnd::LoadMessageText(text, 0);
    EXPECT_STREQ(text.Text.GetText(), "冬の朝、ab");
    EXPECT_EQ(text.TextId, MESSAGE_TEXT_NO_ID);
    EXPECT_EQ(text.Count, 6);
    for (int32_t index : {1, 5, -1}) {
        CMesWnd::LoadMessageText(text, index);
        EXPECT_TRUE(text.Text.IsEmpty()) << index;
        EXPECT_EQ(text.Count, 0) << index;
    }
}

TEST_F(CMesWndTest, WindowPositionIsKeptOnScreen)
{
    for (auto [stored, used] : {std::pair{5, 10}, std::pair{900, 768}, std::pair{500, 500}, std::pair{-40, 10}}) {
        m_app.Config().SetInt("/Config/MesWnd/00/PosY", stored);
        EXPECT_EQ(CMesWnd::ConfiguredWindowY(), used) << stored;
    }
}

} // namespace
