#include "displaycheck/DisplayCheck.h"

#include <cstdio>
#include <thread>
#include <vector>

#include "foundation/ScopedLock.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteManager.h"
#include "graphics/CSpriteTexture.h"
#include "platform/d3d/PngWriter.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowManager.h"

namespace tools {

namespace {

LRESULT Procedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return DefWindowProcW(window, message, w_param, l_param);
}

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

int RunDisplayCheck(const char* png_path)
{
    WNDCLASSW info{};
    info.lpfnWndProc = Procedure;
    info.lpszClassName = u"VESK";
    RegisterClassW(&info);
    // The window-size setting defaults to the logical size: a 1920 x 1080 client area.
    HWND window = CreateWindowExW(0, u"VESK", u"display check", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0,
                                  1920, 1080, nullptr, nullptr, nullptr, nullptr);
    if (!window) {
        std::puts("no window (is there a display?)");
        return 1;
    }
    CDirect3D* display = CDirect3D::GetInstance();
    display->SetViewWindow(window);
    display->Create();
    ShowWindow(window, SW_SHOW);

    CSpriteLayer background;
    background.Create(0, 0, 1920, 1080, 1);
    background.FillRect(0, 0, 1920, 1080, 0xFF204060, 1);
    background.SetVisibleFlag(1);
    CSpriteTexture square;
    square.Create(nullptr, 800, 400, RECT{0, 0, 200, 200}, 10, 0);
    square.GetTextureLayer()->FillRect(0, 0, 200, 200, 0xFFFFC000, 1);
    square.SetVisibleFlag(1);

    // Frames come from another thread, under the draw lock, as the app-task thread draws them.
    std::thread task([display] {
        for (int i = 0; i < 5; ++i) {
            ScopedLock lock(g_draw_lock);
            display->GetSpriteManager()->SetMatrices();
            display->DrawFrame();
        }
    });
    task.join();
    for (int i = 0; i < 20; ++i)
        Pump();

    std::vector<uint32_t> pixels;
    platform::WindowManager::GetInstance().Render(window, &pixels);
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (pixels.size() < static_cast<size_t>(width) * height || width <= 900) {
        std::printf("no picture read back (%zu pixels)\n", pixels.size());
        return 1;
    }
    std::vector<uint8_t> rgba(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgba[i * 4 + 0] = static_cast<uint8_t>(pixels[i] >> 16);
        rgba[i * 4 + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        rgba[i * 4 + 2] = static_cast<uint8_t>(pixels[i]);
        rgba[i * 4 + 3] = 0xFF;
    }
    platform::WritePngRgba(png_path, width, height, rgba.data(), static_cast<size_t>(width) * 4);
    const uint32_t back = pixels[10 * width + 10] & 0xFFFFFF;
    const uint32_t square_pixel = pixels[500 * width + 900] & 0xFFFFFF;
    std::printf("window %dx%d: background %06X, square %06X\n", width, height, back, square_pixel);
    const bool ok = back == 0x204060 && square_pixel == 0xFFC000;
    std::puts(ok ? "display check: frames from the task thread reached the window" : "display check FAILED");
    CDirect3D::DeleteInstance();
    return ok ? 0 : 1;
}

} // namespace tools
