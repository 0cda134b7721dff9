#pragma once
// What the dialog tests stand on: an application object with its own configuration, the game's
// main view (display control, menu popup, menu handler) at 1920 x 1080 on one simulated 1920 x 1080
// monitor, a live display over the null presenter, a scripted dialog policy and a virtual clock.
// Torn down with the fixture.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CDisplay.h"
#include "app/CVeskView.h"
#include "app/TestApp.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "platform/d3d/DisplayOutputs.h"
#include "platform/d3d/Presenter.h"
#include "platform/gdi/PngCodec.h"
#include "platform/imm/ImeInjection.h"
#include "platform/kernel/VirtualClock.h"
#include "platform/user/InputInjection.h"
#include "platform/user/ScriptedDialogPolicy.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowLayerTesting.h"
#include "support/TempDir.h"

// The application object of these tests: its message pump can run a test's step first, so a
// loop that pumps (the IME's entry loop) meets the input a test feeds it one turn at a time.
class FixtureApp : public TestApp
{
public:
    UINT PumpMessage() override
    {
        if (before_pump)
            before_pump();
        return TestApp::PumpMessage();
    }
    std::function<void()> before_pump;
};

class DialogTestFixture : public ::testing::Test
{
protected:
    DialogTestFixture()
    {
        platform::ResetWindowLayer();
        platform::ResetInputMethod();
        platform::VirtualClock::Enable(1'000'000);
        platform::SetPresenter(platform::CreateNullPresenter());
        platform::SetSimulatedDisplays(std::vector{platform::MakeSimulatedDisplay(0, 0, 1920, 1080)});
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        m_app.SetTitle("Test Title");
        SetScreenWindowSize(1920, 1080);
        GetView()->CreateMainWindow();
        m_view = GetView()->GetHandle();
        m_display = CDirect3D::GetInstance();
        m_display->SetViewWindow(m_view);
        EXPECT_EQ(m_display->Create(), 1);
        ShowWindow(m_view, SW_SHOW);
        Pump();
    }
    ~DialogTestFixture() override
    {
        DeleteView();
        CDirect3D::DeleteInstance();
        platform::ResetInputMethod();
        platform::ResetWindowLayer();
        platform::SetSimulatedDisplays(std::nullopt);
        platform::VirtualClock::Disable();
    }

    static void Pump()
    {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    CDisplay& Display() { return *GetView()->GetDisplay(); }

    RECT ViewClient()
    {
        RECT client{};
        GetClientRect(m_view, &client);
        POINT origin{0, 0};
        ClientToScreen(m_view, &origin);
        return RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    }

    // The view's picture as the player sees it, written into the build folder under the name.
    std::vector<uint32_t> Snapshot(const std::string& name, int& width, int& height)
    {
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(platform::CaptureWindow(m_view, pixels, width, height));
        if (const char* folder = std::getenv("VESK_BINARY_DIR"); folder != nullptr && !pixels.empty())
            platform::WritePngFile(std::filesystem::path(folder) / (name + ".png"), {width, height, pixels});
        return pixels;
    }

    TempDir m_dir;
    FixtureApp m_app;
    platform::ScriptedDialogPolicy m_dialogs;
    platform::ScriptedMessageBoxPolicy m_boxes;
    HWND m_view = nullptr;
    CDirect3D* m_display = nullptr;
};
