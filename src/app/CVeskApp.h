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

    // FIXME: MessageBox and PumpMessage get the game's own versions (owner window, accelerators,
    // window-destroyed bit) together with the document and the main view.

private:
    // Whether InitInstance raised the timer resolution, so that exit lowers it only then.
    bool m_timer_period_raised = false;
};
