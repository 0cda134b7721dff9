#include "app/CVeskApp.h"

#include <optional>
#include <string>

#include "app/AppMessageBox.h"
#include "app/CApiKeyboard.h"
#include "app/CApiMouse.h"
#include "app/CGameWork.h"
#include "app/CSoftResetException.h"
#include "app/CVeskDoc.h"
#include "app/CVeskView.h"
#include "app/InitSaveData.h"
#include "foundation/CExecException.h"
#include "foundation/CInputView.h"
#include "foundation/ThreadBoundary.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "platform/TerminationSignals.h"
#include "platform/TestExit.h"
#include "platform/TestInput.h"
#include "platform/imm/ImmApi.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/ThreadFailure.h"
#include "platform/user/MessageApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/WindowApi.h"
#include "script/save/SaveStore.h"

CStringUTF8 CVeskApp::GetAppString()
{
    GetDocument();
    if (GetConfigInt("/R18", 0, 0) == 1)
        return m_alt_save_folder;
    return m_save_folder;
}

int CVeskApp::InitInstance()
{
    try {
        const CStringUTF8 mutex_name = m_system_info
                                           ? m_system_info->GetString("/MUTEX_NAME", "__T_O_L_M_I_Q_U_A__")
                                           : CStringUTF8("__T_O_L_M_I_Q_U_A__");
        if (AcquireInstanceMutex(mutex_name) == 0)
            return 0; // another instance runs: refused with a line on standard error
        // Under the lock: two first starts must not write the initial save set over each other.
        InitSaveData(m_instance);
        // A save or delete stopped half-way last time is finished or undone, and what it left
        // removed, before anything reads a slot.
        SaveStore::RemoveLeftovers();
        if (CXMLDocument* config = GetConfigDocument())
            config->RemoveCutSave();
        DisableScreenSaver();

        timeGetDevCaps(&m_timer_caps, sizeof(m_timer_caps));
        m_clock_switch = m_timer_caps.wPeriodMin >= 10 ? 1 : 0;
        if (m_timer_caps.wPeriodMin < 10) {
            timeBeginPeriod(m_timer_caps.wPeriodMin);
            m_timer_period_raised = true;
        }

        m_app_task.reset(new (std::nothrow) CAppTask);
        if (!m_app_task)
            throw CExecException("Failed to create the App Task Object");
        SetAppTask(m_app_task.get());
        // Scripted test input counts only the turns the frame tasks (animations, the typewriter,
        // the cursor) kept up with, so a starved task thread cannot leave the script ahead of
        // the screens. Real play never counts turns.
        platform::SetTestTurnGate([] {
            constexpr uint32_t TASK_LATE_MS = 20;
            CAppTask* runner = GetAppTask();
            return runner == nullptr || !runner->IsBehind(TASK_LATE_MS);
        });

        CVeskView* view = GetView();
        view->CreateMainWindow();
        CDirect3D* display = CDirect3D::GetInstance();
        display->SetViewWindow(view->GetHandle());
        display->Create();

        CInputView* input = GetInputView();
        if (input->GetMouse() == nullptr) {
            m_mouse = std::make_unique<CApiMouse>();
            m_mouse->Attach(m_instance, view->GetHandle());
            input->SetMouse(m_mouse.get());
            view->GetHookList().Add(m_mouse.get());
        }
        if (input->GetKeyboard() == nullptr) {
            m_keyboard = std::make_unique<CApiKeyboard>();
            m_keyboard->Enable();
            input->SetKeyboard(m_keyboard.get());
            view->GetHookList().Add(m_keyboard.get());
        }

        GetDocument()->StartGame();
        // The display places the window hidden; the game is ready now, so it comes up.
        if (!view->IsVisible()) {
            view->Show(m_show_command);
            view->Update();
        }
        WINNLSEnableIME(nullptr, FALSE);

        if (m_stop_event == nullptr)
            m_stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        else
            ResetEvent(m_stop_event);
        unsigned thread_id = 0;
        m_app_task_thread = reinterpret_cast<HANDLE>(
            _beginthreadex(nullptr, 0, &CVeskApp::AppTaskThreadProc, this, 0, &thread_id));
        // Without the thread no frame task would ever run: the game cannot go on.
        if (m_app_task_thread == nullptr)
            throw CExecException("Failed to start the App Task Thread");
        m_app_task_thread_id = thread_id;
        return 1;
    } catch (const CExecException& failure) {
        AppMessageBox(0, failure.GetMessage());
        return 0;
    } catch (const CStringUTF8& failure) {
        // The display's own allocation failures come as bare texts; they end the start-up the
        // same way instead of the process.
        AppMessageBox(0, failure);
        return 0;
    }
}

unsigned CVeskApp::AppTaskThreadProc(void* argument)
{
    auto* application = static_cast<CVeskApp*>(argument);
    try {
        while (WaitForSingleObject(application->m_stop_event, 0) == WAIT_TIMEOUT) {
            CAppTask* runner = application->m_app_task.get();
            if (runner == nullptr || runner->RunDueTasks() == 0) {
                Sleep(0);
                continue;
            }
            // Rather than a 1 ms sleep that wakes the thread a thousand times a second while
            // nothing is due: wait for the next due task, a new task or the stop. Tasks due a few
            // milliseconds apart (the cursor's 15 ms, the animations' 20 ms) share one wake.
            constexpr uint32_t TASK_SLACK_MS = 5;
            const HANDLE wake[] = {application->m_stop_event, runner->GetWakeEvent()};
            WaitForMultipleObjects(wake[1] != nullptr ? 2 : 1, wake, FALSE,
                                   runner->GetRestTime(TASK_SLACK_MS));
        }
    } catch (const tagDirect3DException& failure) {
        platform::PostThreadFailure(failure.GetMessage().GetText());
    } catch (...) {
        HandOverThreadFailure();
    }
    return 0;
}

int CVeskApp::Run()
{
    CVeskDoc* document = GetDocument();
    m_running = true;
    struct RunningFlag
    {
        bool& running;
        ~RunningFlag() { running = false; }
    } running_flag{m_running};
    for (;;) {
        try {
            // Inside the try: the pump raises the failure of a worker thread here, and the quit
            // code of an end asked for by a signal.
            if (PumpAndYield() == 0)
                return 1;
            if (document->OnFrame() == 0)
                return 1;
        } catch (CVeskDoc::tagDOCUMENT_CODE) {
            // Only the pump's quit gets here: the frame takes every code thrown inside it.
            return 1;
        } catch (const CExecException& failure) {
            AppMessageBox(0, failure.GetMessage());
            return 0;
        } catch (const tagDirect3DException& failure) {
            AppMessageBox(0, failure.GetMessage());
            return 0;
        } catch (const CSoftResetException&) {
            m_running = false;
            ExitInstance();
            // A start that fails has shown why; there is no game to go on with.
            if (InitInstance() != 1)
                return 0;
            m_running = true;
            // The exit freed the document the loop held; the initialisation made the new one.
            document = GetDocument();
        }
    }
}

int CVeskApp::ExitInstance()
{
    CVeskView* view = GetView();
    if (view->GetHandle() != nullptr)
        view->Show(SW_HIDE);
    if (m_app_task_thread != nullptr) {
        SetEvent(m_stop_event);
        WaitForSingleObject(m_app_task_thread, INFINITE);
        CloseHandle(m_app_task_thread);
        m_app_task_thread = nullptr;
    }
    DeleteDocument();

    CInputView* input = GetInputView();
    if (m_mouse) {
        view->GetHookList().Remove(m_mouse.get());
        input->SetMouse(nullptr);
        m_mouse.reset();
    }
    if (m_keyboard) {
        view->GetHookList().Remove(m_keyboard.get());
        input->SetKeyboard(nullptr);
        m_keyboard.reset();
    }
    DeleteInputView();
    DeleteView();
    CDirect3D::DeleteInstance();

    // The task thread has ended, so nothing runs the list any more.
    if (m_app_task) {
        platform::SetTestTurnGate(nullptr);
        SetAppTask(nullptr);
        m_app_task->RemoveAll();
        m_app_task.reset();
    }
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
    // A worker thread that failed ends the game from here, inside whatever wait pumps, so the
    // run loop shows it and the normal exit runs.
    if (platform::TakeTerminationRequest() || platform::IsTestCloseDue())
        m_end_pending = true;
    if (platform::IsUserInterfaceThread()) {
        if (std::optional<std::string> failure = platform::TakeThreadFailure())
            throw CExecException(CStringUTF8(std::move(*failure)));
        // Outside Run (start-up, exit) the end waits for Run's first pump.
        if (m_running && m_end_pending.exchange(false))
            GetGameWork()->QuitWithoutAsking();
    }
    platform::PushDueTestInput(
        window, [](POINT logical) { return CDirect3D::GetInstance()->LogicalToWindow(logical); });
    if (m_mouse && platform::IsUserInterfaceThread())
        m_mouse->BeginPump();
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

CVeskApp::~CVeskApp() = default;
