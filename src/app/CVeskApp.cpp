#include "app/CVeskApp.h"

#include "app/AppMessageBox.h"
#include "app/CSoftResetException.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "foundation/CExecException.h"
#include "platform/user/MessageApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/WindowApi.h"

CStringUTF8 CVeskApp::GetAppString()
{
    // FIXME: make sure the document exists first (GetDocument) once it is built.
    if (GetConfigInt("/R18", 0, 0) == 1)
        return m_alt_save_folder;
    return m_save_folder;
}

int CVeskApp::InitInstance()
{
    // FIXME: the save-data initialisation comes first once it is built.
    const CStringUTF8 mutex_name = m_system_info
                                       ? m_system_info->GetString("/MUTEX_NAME", "__T_O_L_M_I_Q_U_A__")
                                       : CStringUTF8("__T_O_L_M_I_Q_U_A__");
    if (AcquireInstanceMutex(mutex_name) == 0)
        return 0; // another instance runs: end quietly
    DisableScreenSaver();

    timeGetDevCaps(&m_timer_caps, sizeof(m_timer_caps));
    m_clock_switch = m_timer_caps.wPeriodMin >= 10 ? 1 : 0;
    if (m_timer_caps.wPeriodMin < 10) {
        timeBeginPeriod(m_timer_caps.wPeriodMin);
        m_timer_period_raised = true;
    }
    // FIXME: the frame-task runner, the view and main window, the display, the input devices,
    // the document's game start-up, the IME switch and the app-task thread follow here.
    return 1;
}

int CVeskApp::Run()
{
    CVeskDoc* document = GetDocument();
    for (;;) {
        if (PumpAndYield() == 0)
            return 1;
        try {
            if (document->OnFrame() == 0)
                return 1;
        } catch (const CExecException& failure) {
            AppMessageBox(0, failure.GetMessage());
            return 0;
        } catch (const CSoftResetException&) {
            ExitInstance();
            InitInstance();
            // The exit freed the document the loop held; the initialisation made the new one.
            document = GetDocument();
        }
    }
}

int CVeskApp::ExitInstance()
{
    // FIXME: hide the main view and stop the app-task thread first, and delete the input
    // devices, view, display and frame-task runner after the document, once they exist.
    DeleteDocument();
    if (m_timer_period_raised) {
        timeEndPeriod(m_timer_caps.wPeriodMin);
        m_timer_period_raised = false;
    }
    RestoreScreenSaver();
    ReleaseInstanceMutex();
    return 1;
}

int CVeskApp::MessageBox(CStringUTF8 text, UINT flags)
{
    GetDocument();
    HWND owner = nullptr;
    // Windows belong to the main thread; a box from another thread has no owner.
    if (platform::IsUserInterfaceThread()) {
        owner = GetView()->GetHandle();
        SetForegroundWindow(owner);
        SetFocus(owner);
    }
    return MessageBoxW(owner, text.GetWideText(), m_title.GetWideText(), WithDefaultMessageIcon(flags));
}

UINT CVeskApp::PumpMessage()
{
    CVeskView* view = GetView();
    const HWND window = view->GetHandle();
    const HACCEL accelerators = view->GetAccelerators();
    MSG message{};
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        while (true) {
            if (message.message == WM_SYSKEYDOWN || message.message == WM_SYSKEYUP) {
                TranslateAcceleratorW(window, accelerators, &message);
                break;
            }
            if (message.message == WM_PAINT || message.message == WM_MOUSEMOVE) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
                break;
            }
            if (!TranslateAcceleratorW(window, accelerators, &message))
                TranslateMessage(&message);
            DispatchMessageW(&message);
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                break;
        }
    }
    return (view->GetStatus() & VIEW_STATUS_DESTROYED) ? 0 : 1;
}
