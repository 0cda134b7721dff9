#include "support/HeadlessDisplay.h"

#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/ScreenSettings.h"
#include "graphics/CDirect3D.h"
#include "platform/d3d/DisplayOutputs.h"
#include "platform/d3d/null/NullPresenter.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowLayerTesting.h"

namespace {

LRESULT DefaultProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return DefWindowProcW(window, message, w_param, l_param);
}

} // namespace

HeadlessDisplay::HeadlessDisplay()
{
    platform::ResetWindowLayer();
    platform::SetPresenter(platform::CreateNullPresenter());
    platform::SetSimulatedDisplays(std::vector{platform::MakeSimulatedDisplay(0, 0, 1920, 1080)});
    WNDCLASSW info{};
    info.lpfnWndProc = DefaultProcedure;
    info.lpszClassName = u"VESK";
    RegisterClassW(&info);
    SetScreenWindowSize(1920, 1080);
    m_window = CreateWindowExW(0, u"VESK", u"", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 1920, 1080, nullptr,
                               nullptr, nullptr, nullptr);
    m_display = CDirect3D::GetInstance();
    m_display->SetViewWindow(m_window);
    EXPECT_EQ(m_display->Create(), 1);
}

HeadlessDisplay::~HeadlessDisplay()
{
    CDirect3D::DeleteInstance();
    platform::ResetWindowLayer();
    platform::SetSimulatedDisplays(std::nullopt);
}
