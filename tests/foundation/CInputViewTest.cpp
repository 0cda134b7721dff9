// The input actions over keys, buttons and touch, with skip mode switching some of them off.
#include "foundation/CInputView.h"

#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "app/InputFakes.h"
#include "foundation/DocumentLink.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"

namespace {

class CInputViewTest : public ::testing::Test
{
protected:
    CInputViewTest()
    {
        m_view.SetKeyboard(&m_keyboard);
        m_view.SetMouse(&m_mouse);
        // The engine-state word lives in the game state, read through the link as a started game has it.
        GetScriptState().m_current_state = std::make_unique<FlagBuffer>();
        SetDocumentLink(GetDocument());
    }
    ~CInputViewTest() override
    {
        SetDocumentLink(nullptr);
        DeleteDocument();
    }

    CInputView m_view;
    ScriptedKeyboard m_keyboard;
    ScriptedMouse m_mouse;
};

TEST_F(CInputViewTest, CodesBelow255AreScanCodes)
{
    m_keyboard.down = {200};
    EXPECT_EQ(m_view.IsActionTriggered(200, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(208, 0), 0);
}

TEST_F(CInputViewTest, OkIsEitherEnterTheLeftButtonOrATap)
{
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_OK, 0), 0);
    m_keyboard.down = {156};
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_OK, 0), 1);
    m_keyboard.down.clear();
    m_mouse.left_down = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_OK, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_OK, 1), 0); // edge asks for a click, not a held button
    m_mouse.left_clicked = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_OK, 1), 1);
    m_mouse = {};
    m_mouse.tap = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_OK, 0), 1);
}

TEST_F(CInputViewTest, CancelIsEscDeleteTheRightButtonOrALongPress)
{
    m_keyboard.down = {211};
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_CANCEL, 0), 1);
    m_keyboard.down = {1};
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_CANCEL, 0), 1);
    m_keyboard.down.clear();
    m_mouse.right_clicked = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_CANCEL, 1), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_CANCEL, 0), 0);
    m_mouse.long_press = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_CANCEL, 0), 1);
}

TEST_F(CInputViewTest, ShiftCtrlAndTheExtraInputsAreOffInSkipMode)
{
    m_keyboard.down = {54, 157};
    m_view.SetExtraInput(1, 5);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_SHIFT, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_CTRL, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_EXTRA, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_EXTRA_FIRST, 0), 0); // only the first word counts
    m_view.SetExtraInput(0, 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_EXTRA_FIRST, 0), 1);
    GetDocument()->SetEngineStateBits(ENGINE_STATE_SKIP_MODE);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_SHIFT, 0), 0);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_CTRL, 0), 0);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_EXTRA, 0), 0);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_EXTRA_FIRST, 0), 0);
    EXPECT_EQ(m_view.IsActionTriggered(54, 0), 1); // the key itself still reads down
}

TEST_F(CInputViewTest, TheButtonActionsUseTouchOnce)
{
    m_mouse.tap = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_LEFT, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_LEFT, 0), 0); // the tap was used up
    m_mouse.long_press = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_RIGHT, 1), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_RIGHT, 1), 0);
    m_mouse.right_down = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_RIGHT, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_RIGHT, 1), 0);
}

TEST_F(CInputViewTest, MiddleAndDragAndUnknownCodes)
{
    m_mouse.middle_down = 1;
    m_mouse.drag = 1;
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_MIDDLE, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(INPUT_DRAG, 0), 1);
    EXPECT_EQ(m_view.IsActionTriggered(255, 0), 0);
    EXPECT_EQ(m_view.IsActionTriggered(261, 0), 0);
    EXPECT_EQ(m_view.IsActionTriggered(2048, 0), 0);
}

TEST(CInputViewHolder, WithoutDevicesNothingIsActive)
{
    CInputView view;
    EXPECT_EQ(view.IsActionTriggered(28, 0), 0);
    EXPECT_EQ(view.IsActionTriggered(INPUT_OK, 1), 0);
    EXPECT_EQ(view.IsActionTriggered(INPUT_LEFT, 0), 0);
}

} // namespace
