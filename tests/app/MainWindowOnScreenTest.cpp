// The main window as a player sees it, with a picture in the client area and a drop-down open.
// Under the SDL dummy driver this runs headless like every test; under a display (see
// scripts/window-showcase.sh, which runs it in Xvfb) it opens a real window. Either way the
// composed window with the "ウィンドウ" menu open is written to main_window_menu.png in the
// build folder (VESK_BINARY_DIR), or in the working folder when that is not set.

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "app/MainViewFixture.h"
#include "platform/d3d/PngWriter.h"
#include "platform/user/InputInjection.h"
#include "platform/user/MenuApi.h"
#include "platform/user/UiFont.h"
#include "platform/user/WindowFrame.h"

namespace {

constexpr int WIDTH = 960;
constexpr int HEIGHT = 540;
constexpr int BAR = 20;

// Runs a script step whenever the menu loop waits for input.
class IdleScript final : public IWinHook
{
public:
    int32_t HookProc(HWND, UINT message, WPARAM, LPARAM) override
    {
        if (message == WM_ENTERIDLE) {
            if (step < steps.size())
                steps[step++]();
        }
        return 0;
    }
    std::vector<std::function<void()>> steps;
    size_t step = 0;
};

// A test card: a colour ramp with eight bars across the middle.
std::shared_ptr<platform::WindowFrame> TestCard(int width, int height)
{
    auto frame = std::make_shared<platform::WindowFrame>();
    frame->width = width;
    frame->height = height;
    frame->destination = {0, 0, width, height};
    frame->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    static constexpr uint32_t BARS[] = {0xFFC0C0C0, 0xFFC0C000, 0xFF00C0C0, 0xFF00C000,
                                        0xFFC000C0, 0xFFC00000, 0xFF0000C0, 0xFF101010};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            if (y > height / 3 && y < height * 2 / 3)
                pixel = BARS[x * 8 / width];
            else
                pixel = 0xFF000000u | (static_cast<uint32_t>(x * 255 / width) << 16) |
                        (static_cast<uint32_t>(y * 255 / height) << 8) | 0x60u;
            frame->pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                pixel;
        }
    }
    return frame;
}

std::string OutputPath()
{
    const char* folder = std::getenv("VESK_BINARY_DIR");
    std::string path = folder != nullptr && *folder != 0 ? std::string(folder) + "/" : std::string();
    return path + "main_window_menu.png";
}

class MainWindowOnScreen : public MainViewFixture
{};

TEST_F(MainWindowOnScreen, ShowsThePictureUnderTheMenuBarWithADropDownOpen)
{
    CreateView(WIDTH, HEIGHT);
    HWND window = Window();
    CheckMenuItem(GetMenu(window), 40005, MF_BYCOMMAND | MF_CHECKED); // windowed
    platform::PublishWindowFrame(window, TestCard(WIDTH, HEIGHT));
    ShowWindow(window, SW_SHOW);
    PumpAll();
    // The window as configured: client size, title and menu bar.
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, WIDTH);
    EXPECT_EQ(client.bottom, HEIGHT);
    char16_t title[32]{};
    GetWindowTextW(window, title, 32);
    EXPECT_EQ(std::u16string(title), u"asmr_system");
    EXPECT_EQ(GetMenuItemCount(GetMenu(window)), 4);

    // The "ウィンドウ" title follows "終了" on the bar: 7 pixels of padding on each side of each.
    platform::UiFont& font = platform::UiFont::GetInstance();
    const int title_x = font.MeasureText(u"終了", 12) + 14 + 10;
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    IdleScript script;
    script.steps = {
        // Point at the second item, "最大化" (rows of 22 pixels from one below the bar).
        [&] { platform::PushMouseMove(window, title_x + 20, BAR + 1 + 22 + 11); },
        [&] {
            ASSERT_TRUE(platform::CaptureWindow(window, pixels, width, height));
            platform::PushKey(window, VK_ESCAPE, true);
        },
    };
    GetView()->GetHookList().Add(&script);
    platform::PushMouseButton(window, 1, true, title_x, BAR / 2);
    platform::PushMouseButton(window, 1, false, title_x, BAR / 2);
    PumpAll();
    GetView()->GetHookList().Remove(&script);
    ASSERT_EQ(script.step, 2u) << "the drop-down loop did not run";
    ASSERT_EQ(width, WIDTH);
    ASSERT_EQ(height, HEIGHT + BAR);

    std::vector<uint8_t> rgba(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        rgba[i * 4 + 0] = static_cast<uint8_t>(pixels[i] >> 16);
        rgba[i * 4 + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        rgba[i * 4 + 2] = static_cast<uint8_t>(pixels[i]);
        rgba[i * 4 + 3] = 0xFF;
    }
    const std::string path = OutputPath();
    EXPECT_TRUE(platform::WritePngRgba(path, width, height, rgba.data(), static_cast<size_t>(width) * 4));
    std::printf("video driver %s; picture written to %s\n", platform::GetVideoDriverName(), path.c_str());

    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF; };
    EXPECT_EQ(at(WIDTH / 2, 3), 0xF0F0F0u);                   // the bar
    EXPECT_EQ(at(title_x, 3), 0xCCE8FFu);                     // its open title
    EXPECT_EQ(at(title_x + 20, BAR + 1 + 22 + 3), 0x91C9F7u); // the hovered item
    // The picture fills the client area below the bar, left of the drop-down and under it.
    EXPECT_EQ(at(WIDTH - 1, BAR + HEIGHT / 2), 0x101010u);
    EXPECT_EQ(at(0, BAR) & 0xFF, 0x60u);
}

} // namespace
