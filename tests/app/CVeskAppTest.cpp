#include "app/CVeskApp.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "GameDataWriter.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "app/TestApp.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/IAppTask.h"
#include "foundation/LockOrderCheck.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "platform/d3d/SoftwareDevice.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/ThreadFailure.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"
#include "platform/user/SystemParametersApi.h"
#include "platform/user/WindowApi.h"
#include "script/vm/CScript.h"
#include "sound/CDirectSound.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"
#include "support/WorkingDir.h"

namespace {

BOOL ScreenSaverActive()
{
    BOOL active = -1;
    SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active;
}

void SetScreenSaverActive(BOOL active)
{
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0);
}

// Runs body in a child process and returns its exit status (-1 when it did not exit normally).
template <typename Body>
int RunInChild(Body body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body()); // no test-framework or static clean-up in the child
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Everything an instance reads at start-up lives in a folder of the test's own, the lock files
// included, so tests never meet a running game or each other.
class CVeskAppThreadTest : public ThreadTest
{
protected:
    CVeskAppThreadTest()
    {
        std::filesystem::create_directories(m_dir.PathOf("game"));
        std::filesystem::create_directories(m_dir.PathOf("run"));
        WriteSettingsFile(m_dir.PathOf("game/SystemInfo.xml"),
                          "<MUTEX_NAME>vesk test instance</MUTEX_NAME>\n");
        WriteSettingsFile(m_dir.PathOf("game/FileInfo.xml"), "");
        SetScreenSaverActive(TRUE);
        WriteMinimalGameData("top: line 1\njmp top\n");
    }

    WorkingDir m_game; // current folder: the archives
    TempDir m_dir;
    ScopedEnv m_module{"VESK_MODULE_PATH", m_dir.PathOf("game/vesk").c_str()};
    ScopedEnv m_data_home{"XDG_DATA_HOME", m_dir.PathOf("data").c_str()};
    ScopedEnv m_runtime{"XDG_RUNTIME_DIR", m_dir.PathOf("run").c_str()};
    platform::ScriptedMessageBoxPolicy m_boxes;
};

} // namespace

TEST_F(CVeskAppThreadTest, TheFirstInstanceHoldsTheMutexAndTheScreenSaverUntilExit)
{
    TestApp app;
    app.InitFramework();
    EXPECT_EQ(app.InitInstance(), 1);
    EXPECT_TRUE(app.HoldsInstanceMutex());
    EXPECT_EQ(ScreenSaverActive(), FALSE);
    EXPECT_EQ(app.GetClockSwitch(), 0u); // the layer's timer goes down to 1 ms
    EXPECT_EQ(app.ExitInstance(), 1);
    EXPECT_FALSE(app.HoldsInstanceMutex());
    EXPECT_EQ(ScreenSaverActive(), TRUE);
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(CVeskAppThreadTest, ASecondProcessEndsQuietlyAndLeavesTheScreenSaverAlone)
{
    // The first instance holds the lock only: a process with the game's threads running must not
    // fork.
    TestApp first;
    ASSERT_EQ(first.AcquireInstanceMutex("vesk test instance"), 1);

    // In the second process the screen saver is on again (as another program may have set it);
    // its exit must not switch it off.
    const int status = RunInChild([] {
        platform::ScriptedMessageBoxPolicy boxes;
        SetScreenSaverActive(TRUE);
        TestApp second;
        second.InitFramework();
        const int init_result = second.InitInstance();
        second.ExitInstance();
        return (init_result == 0 ? 1 : 0) | (boxes.Shown().empty() ? 2 : 0) | (ScreenSaverActive() ? 4 : 0) |
               (second.HoldsInstanceMutex() ? 0 : 8) | (second.WasStartRefused() ? 16 : 0);
    });
    EXPECT_EQ(status, 1 | 2 | 4 | 8 | 16)
        << "1: init gave 0, 2: no box, 4: saver untouched, 8: no mutex, 16: refused";

    first.ReleaseInstanceMutex();
    EXPECT_EQ(RunInChild([] {
                  TestApp next;
                  next.InitFramework();
                  return next.AcquireInstanceMutex("vesk test instance");
              }),
              1); // once the first has gone, the next start runs
}

TEST_F(CVeskAppThreadTest, ACrashedInstanceLeavesNoMutexBehind)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        TestApp holder;
        const char answer = holder.AcquireInstanceMutex("vesk crash test") == 1 ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        for (;;)
            pause(); // killed by the parent
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'y');
    close(ready[0]);
    close(ready[1]);

    TestApp app;
    EXPECT_EQ(app.AcquireInstanceMutex("vesk crash test"), 0); // the holder still runs
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(app.AcquireInstanceMutex("vesk crash test"), 1);
    app.ReleaseInstanceMutex();
}

TEST_F(CVeskAppThreadTest, AnExitWithoutAStartChangesNothing)
{
    TestApp app;
    SetScreenSaverActive(FALSE); // someone else's choice
    EXPECT_EQ(app.ExitInstance(), 1);
    EXPECT_EQ(ScreenSaverActive(), FALSE);
    SetScreenSaverActive(TRUE);
    EXPECT_EQ(app.ExitInstance(), 1);
    EXPECT_EQ(ScreenSaverActive(), TRUE);
}

TEST_F(CVeskAppThreadTest, ASecondFirstStartWritesNoSaveDataWhileTheFirstHoldsTheLock)
{
    TestApp first;
    ASSERT_EQ(first.AcquireInstanceMutex("vesk test instance"), 1);
    const int status = RunInChild([] {
        platform::ScriptedMessageBoxPolicy boxes;
        TestApp second;
        second.InitFramework();
        const int init_result = second.InitInstance();
        second.ExitInstance();
        return init_result;
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir.PathOf("data/KOVRA GAMES")));
    first.ReleaseInstanceMutex();
}

TEST_F(CVeskAppThreadTest, ADisplayThatCannotBeMadeIsShownAndTheExitUndoesTheStart)
{
    platform::SetFailingDriverTypes(0xFFFFFFFFu, E_OUTOFMEMORY);
    TestApp app;
    app.InitFramework();
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_FALSE(app.WasStartRefused());
    platform::SetFailingDriverTypes(0, S_OK);
    const auto shown = m_boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              u"\nDirectX Error\nDirect3D could not allocate sufficient memory to complete the call.");

    EXPECT_EQ(app.ExitInstance(), 1);
    EXPECT_FALSE(app.HoldsInstanceMutex());
    EXPECT_EQ(ScreenSaverActive(), TRUE);
    EXPECT_EQ(GetAppTask(), nullptr);
}

TEST_F(CVeskAppThreadTest, AStartMakesTheWindowTheDevicesAndTheGameAndTheExitTakesThemDown)
{
    TestApp app;
    app.SetStartupArguments(nullptr, "", SW_SHOWNORMAL); // as the process entry hands them over
    app.InitFramework();
    ASSERT_EQ(app.InitInstance(), 1);
    CVeskView* view = GetView();
    EXPECT_TRUE(IsWindowVisible(view->GetHandle()));
    EXPECT_NE(view->GetDisplay(), nullptr);
    EXPECT_NE(view->GetMenuEvent(), nullptr);
    EXPECT_TRUE(CDirect3D::GetInstance()->IsLive());
    EXPECT_NE(GetInputView()->GetMouse(), nullptr);
    EXPECT_NE(GetInputView()->GetKeyboard(), nullptr);
    EXPECT_NE(GetAppTask(), nullptr);
    ASSERT_NE(GetDocument()->GetScript().m_current_script, nullptr);
    EXPECT_STREQ(GetDocument()->GetScript().m_current_script->GetName().GetText(), "start.mes");
    // A few frames of the game.
    for (int frame = 0; frame < 10; ++frame) {
        EXPECT_EQ(app.PumpAndYield(), 1);
        EXPECT_EQ(GetDocument()->OnFrame(), 1u);
    }

    EXPECT_EQ(app.ExitInstance(), 1);
    EXPECT_EQ(GetAppTask(), nullptr);
    EXPECT_EQ(GetInputView()->GetMouse(), nullptr);
    EXPECT_EQ(GetInputView()->GetKeyboard(), nullptr);
    EXPECT_EQ(GetView()->GetHandle(), nullptr) << "a new view without a window";
    EXPECT_FALSE(CDirect3D::GetInstance()->IsLive()) << "a new display, not made";
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(CVeskAppThreadTest, AnAppTaskThreadThatCannotStartEndsTheStartWithItsMessage)
{
    TestApp app;
    app.SetStartupArguments(nullptr, "", SW_SHOWNORMAL);
    app.InitFramework();
    platform::FailNextThreadStarts(1);
    EXPECT_EQ(app.InitInstance(), 0);
    platform::FailNextThreadStarts(0);
    const auto shown = m_boxes.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"Failed to start the App Task Thread");
    EXPECT_EQ(app.ExitInstance(), 1);
    EXPECT_FALSE(app.HoldsInstanceMutex());
}

namespace {

// A frame task that fails on the app-task thread.
class FailingTask final : public IAppTask
{
public:
    void Execute() override { throw CExecException("the frame task failed"); }
};

// A sound stream whose thread fails.
class FailingStream final : public CDirectSound
{
public:
    ~FailingStream() override { JoinThread(&m_thread); }
    void ThreadProc() override { throw CStringUTF8("the stream failed"); }
    bool Start() { return StartThread(SoundThreadEntry, &m_thread, &m_thread_id); }
};

unsigned FailingLayerThread(void*)
{
    throw std::runtime_error("the worker failed");
}

} // namespace

TEST_F(CVeskAppThreadTest, AThrowOnAnyThreadIsShownAndTheExitWritesTheSettings)
{
    struct Case
    {
        const char* thread;
        std::function<void()> fail;
        std::u16string shown;
    };
    FailingTask task;
    FailingStream stream;
    const Case cases[] = {
        {"app task", [&] { GetAppTask()->AddTask(&task); }, u"the frame task failed"},
        {"sound", [&] { ASSERT_TRUE(stream.Start()); }, u"the stream failed"},
        {"layer thread",
         [] {
             HANDLE thread = reinterpret_cast<HANDLE>(
                 _beginthreadex(nullptr, 0, FailingLayerThread, nullptr, 0, nullptr));
             ASSERT_NE(thread, nullptr);
             CloseHandle(thread);
         },
         u"the worker failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.thread);
        std::string config_path;
        {
            TestApp app;
            app.SetStartupArguments(nullptr, "", SW_SHOWNORMAL);
            app.InitFramework();
            ASSERT_EQ(app.InitInstance(), 1);
            app.GetConfigDocument()->SetInt("/ThreadFailure", 17);
            config_path = app.GetSaveFolder().GetText();
            std::replace(config_path.begin(), config_path.end(), '\\', '/');
            c.fail();
            EXPECT_EQ(app.Run(), 0); // the game loop ends on the failure...
            EXPECT_EQ(app.ExitInstance(), 1);
        } // ...and the application object writes the settings as it goes
        const auto shown = m_boxes.Shown();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back().text, c.shown);
        EXPECT_NE(ReadWholeFile(config_path + "config.xml").find("<ThreadFailure>17</ThreadFailure>"),
                  std::string::npos);
        EXPECT_FALSE(platform::IsThreadFailurePending());
    }
}

namespace {

std::vector<std::string> g_lock_reports;

void RecordLockReport(const char* report)
{
    g_lock_reports.emplace_back(report);
}

} // namespace

TEST_F(CVeskAppThreadTest, ModeSwitchesAndFramesKeepTheLockOrder)
{
    // The window calls of a mode switch send messages through the view's hook list, which a
    // paint takes before the draw lock: they must not be made under the draw lock, while the
    // app-task thread draws.
    const bool was_on = IsLockOrderCheckOn();
    SetLockOrderCheck(true);
    const LockOrderViolationHandler previous = SetLockOrderViolationHandler(RecordLockReport);
    g_lock_reports.clear();
    {
        TestApp app;
        app.SetStartupArguments(nullptr, "", SW_SHOWNORMAL);
        app.InitFramework();
        ASSERT_EQ(app.InitInstance(), 1);
        CDirect3D* display = CDirect3D::GetInstance();
        for (int round = 0; round < 2; ++round) {
            display->ApplyWindowSize(1); // to borderless full screen and back
            display->ApplyWindowSize(1);
            for (int frame = 0; frame < 5; ++frame) {
                EXPECT_EQ(app.PumpAndYield(), 1);
                EXPECT_EQ(GetDocument()->OnFrame(), 1u);
            }
        }
        EXPECT_EQ(display->GetDisplayMode(), DISPLAY_MODE_WINDOW);
        EXPECT_EQ(app.ExitInstance(), 1);
    }
    SetLockOrderViolationHandler(previous);
    SetLockOrderCheck(was_on);
    EXPECT_TRUE(g_lock_reports.empty()) << g_lock_reports.front();
}
