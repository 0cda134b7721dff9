// The run loop over the document: a normal end, a failure shown from a frame, and a soft reset
// that goes on with the document the new initialisation made.

#include "DocumentFixture.h"

#include <gtest/gtest.h>

#include "app/CSoftResetException.h"
#include "app/CVeskDoc.h"
#include "foundation/CExecException.h"
#include "graphics/CDirect3D.h"
#include "script/commands/IFunc.h"
#include "script/vm/ScriptContext.h"

namespace {

// Library group 11: sub-function 1 resets, 2 fails with a message.
class ResetGroup final : public IFunc
{
public:
    void Call(CScript&) override
    {
        if (Context->PopInteger() == 1)
            throw CSoftResetException();
        throw CExecException("frame failed");
    }
};

// The game's application object with a start-up of just the display and the document.
class DocumentApp final : public TestApp
{
public:
    explicit DocumentApp(HWND window)
        : m_window(window)
    {}
    int InitInstance() override
    {
        if (++m_inits == m_failing_init)
            return 0;
        // A soft reset's exit deleted the display; the game's start-up makes it again first.
        CDirect3D* display = CDirect3D::GetInstance();
        if (display->GetDevice() == nullptr) {
            display->SetViewWindow(m_window);
            display->Create();
        }
        GetDocument()->StartGame();
        GetDocument()->GetScript().m_script_context->SetLibraryGroup(11, [] { return std::make_unique<ResetGroup>(); });
        return 1;
    }
    int m_inits = 0;
    int m_failing_init = 0; // the start that fails, counted from 1; 0: none

private:
    HWND m_window;
};

class CVeskAppRunThreadTest : public DocumentFixture
{};

TEST_F(CVeskAppRunThreadTest, EndsWhenTheStartScriptEnds)
{
    WriteScripts({{"start.mes", "push 1\npush 2\nend"}});
    DocumentApp app(m_display.Window());
    app.InitInstance();
    EXPECT_EQ(app.Run(), 1);
}

TEST_F(CVeskAppRunThreadTest, FrameFailureIsShownAndEndsTheLoop)
{
    WriteScripts({{"start.mes", "lib 11, 2\nend"}});
    DocumentApp app(m_display.Window());
    app.InitInstance();
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(TakeMessageBoxes(), std::vector<std::string>{"frame failed"});
}

TEST_F(CVeskAppRunThreadTest, SoftResetGoesOnWithTheNewDocument)
{
    // The first game resets at once; the second finds the mark the first left and ends.
    WriteScripts({{"start.mes", "lib 11, 1\nend"}});
    DocumentApp app(m_display.Window());
    app.InitInstance();
    CVeskDoc* first = GetDocument();
    WriteScripts({{"start.mes", "push 1\nend"}});
    EXPECT_EQ(app.Run(), 1);
    EXPECT_EQ(app.m_inits, 2);
    EXPECT_NE(GetDocument(), nullptr);
    (void)first; // freed by the reset's exit: the loop must not step it again
}

TEST_F(CVeskAppRunThreadTest, ASoftResetWhoseStartFailsEndsTheLoop)
{
    WriteScripts({{"start.mes", "lib 11, 1\nend"}});
    DocumentApp app(m_display.Window());
    app.m_failing_init = 2;
    app.InitInstance();
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.m_inits, 2);
}

} // namespace
