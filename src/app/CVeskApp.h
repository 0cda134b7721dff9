#pragma once
// The game's application object: the one global instance drives the game's start-up, frame loop
// and shut-down on the main thread.

#include "app/CWinApp.h"

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
    UINT PumpMessage() override;

private:
    // Whether InitInstance raised the timer resolution, so that exit lowers it only then.
    bool m_timer_period_raised = false;
};
