#pragma once
// The game's application object: the one global instance drives the game's start-up, frame loop
// and shut-down on the main thread.

#include <atomic>
#include <memory>

#include "app/CApiKeyboard.h"
#include "app/CApiMouse.h"
#include "app/CWinApp.h"
#include "graphics/CAppTask.h"

class CVeskApp : public CWinApp
{
public:
    // The alternate save folder when "/R18" is exactly 1, else the save folder.
    CStringUTF8 GetAppString() override;
    // 1 when the game may run; 0 when another instance holds the single-instance mutex.
    int InitInstance() override;
    int Run() override;
    // Always 1. Undoes what InitInstance did, also after it stopped half-way.
    int ExitInstance() override;

    // The box is owned by the main view, which comes to the front first.
    int MessageBox(CStringUTF8 text, UINT flags) override;
    // One batch of messages: a system key only goes to the view's accelerators, a paint or a mouse
    // move ends the batch after its dispatch, anything else is translated (unless an accelerator)
    // and dispatched until the queue is empty. 0 once the main view's window is gone, else 1.
    // On the main thread inside Run, a pending end (SIGINT, SIGTERM, the test hook's close) saves
    // the system data and throws the document's quit code, as the confirmed exit command does.
    UINT PumpMessage() override;

    ~CVeskApp() override;

private:
    // The app-task thread: runs the frame-task runner's due tasks until the stop event is set.
    static unsigned AppTaskThreadProc(void* argument);

    std::unique_ptr<CAppTask> m_app_task; // the frame-task runner, between init and exit
    std::unique_ptr<CApiMouse> m_mouse;
    std::unique_ptr<CApiKeyboard> m_keyboard;
    // Whether InitInstance raised the timer resolution, so that exit lowers it only then.
    bool m_timer_period_raised = false;
    // An end without the exit question was asked for; Run carries it out at its next pump.
    std::atomic<bool> m_end_pending{false};
    // Main thread only: inside Run's loop, where the document's quit code can unwind to Run.
    bool m_running = false;
};
