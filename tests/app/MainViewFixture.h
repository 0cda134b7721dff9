#pragma once
// The main window as start-up makes it: the application object with a configuration of the test's
// own, the view with its window, the popup, the display control and the menu handler, and the
// input holder with the API keyboard and mouse in the view's hook list. Torn down as exit does.

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "app/CApiKeyboard.h"
#include "app/CApiMouse.h"
#include "app/CVeskMenuEvent.h"
#include "app/CVeskView.h"
#include "app/TestApp.h"
#include "foundation/CInputView.h"
#include "platform/user/WindowLayerTesting.h"
#include "support/TempDir.h"

// Records every message it is asked about and handles none.
class MessageRecorder final : public IWinHook
{
public:
    int32_t HookProc(HWND, UINT message, WPARAM w_param, LPARAM) override
    {
        seen.push_back({message, w_param});
        return 0;
    }
    std::vector<WPARAM> Of(UINT message) const
    {
        std::vector<WPARAM> result;
        for (const auto& [kind, w_param] : seen) {
            if (kind == message)
                result.push_back(w_param);
        }
        return result;
    }
    std::vector<std::pair<UINT, WPARAM>> seen;
};

class MainViewFixture : public ::testing::Test
{
protected:
    MainViewFixture()
    {
        platform::ResetWindowLayer();
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        m_app.SetTitle("asmr_system");
        m_app.Config().SetInt("/Config/Language", 3);
    }

    ~MainViewFixture() override
    {
        if (m_created) {
            CVeskView* view = GetView();
            view->GetHookList().Remove(&m_mouse);
            view->GetHookList().Remove(&m_keyboard);
        }
        CInputView* input = GetInputView();
        input->SetMouse(nullptr);
        input->SetKeyboard(nullptr);
        DeleteView();
        DeleteInputView();
        platform::ResetWindowLayer();
    }

    // Creates the main window at the given client size, attaches the input devices and, before
    // the menu handler, a recorder that sees every message the handler would get.
    void CreateView(int width = 800, int height = 450)
    {
        m_app.Config().SetInt("/Screen/Window/Width", width);
        m_app.Config().SetInt("/Screen/Window/Height", height);
        CVeskView* view = GetView();
        view->CreateMainWindow();
        m_created = true;
        CWinHookList& hooks = view->GetHookList();
        hooks.Remove(view->GetMenuEvent());
        hooks.Add(&m_recorder);
        hooks.Add(view->GetMenuEvent());
        CInputView* input = GetInputView();
        m_mouse.Attach(nullptr, view->GetHandle());
        input->SetMouse(&m_mouse);
        hooks.Add(&m_mouse);
        m_keyboard.Enable();
        input->SetKeyboard(&m_keyboard);
        hooks.Add(&m_keyboard);
    }

    HWND Window() const { return GetView()->GetHandle(); }

    // Runs the application's pump until no message waits (a paint or a mouse move ends a batch).
    void PumpAll()
    {
        MSG waiting{};
        for (int batch = 0; batch < 100 && PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE); ++batch)
            m_app.PumpMessage();
    }

    TempDir m_dir;
    TestApp m_app;
    CApiKeyboard m_keyboard;
    CApiMouse m_mouse;
    MessageRecorder m_recorder;
    bool m_created = false;
};
