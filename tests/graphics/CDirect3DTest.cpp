// The display headless: creation with its fallbacks and error texts, the window-to-logical
// mapping in a window and in borderless full screen on simulated monitors, the draw list, and a
// test scene drawn, presented and captured with hand-worked pixels.

#include "graphics/CDirect3D.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "foundation/ScopedLock.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteManager.h"
#include "graphics/CSpriteTexture.h"
#include "graphics/CTextureLayer.h"
#include "platform/d3d/DisplayOutputs.h"
#include "platform/d3d/PngWriter.h"
#include "platform/d3d/SoftwareDevice.h"
#include "platform/d3d/null/NullPresenter.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowLayerTesting.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

namespace {

LRESULT DefaultProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return DefWindowProcW(window, message, w_param, l_param);
}

class CDirect3DThreadTest : public ThreadTest
{
protected:
    CDirect3DThreadTest()
    {
        platform::ResetWindowLayer();
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        platform::SetPresenter(platform::CreateNullPresenter());
        SetMonitor(2560, 1440);
        WNDCLASSW info{};
        info.lpfnWndProc = DefaultProcedure;
        info.lpszClassName = u"VESK";
        RegisterClassW(&info);
    }
    ~CDirect3DThreadTest() override
    {
        CDirect3D::DeleteInstance();
        platform::ResetWindowLayer();
        platform::SetSimulatedDisplays(std::nullopt);
        platform::SetFailingDriverTypes(0, S_OK);
    }

    static void SetMonitor(int width, int height)
    {
        platform::SetSimulatedDisplays(std::vector{platform::MakeSimulatedDisplay(0, 0, width, height)});
    }

    CDirect3D* CreateDisplay(int window_width, int window_height)
    {
        SetScreenWindowSize(window_width, window_height);
        m_window = CreateWindowExW(0, u"VESK", u"", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, window_width,
                                   window_height, nullptr, nullptr, nullptr, nullptr);
        CDirect3D* display = CDirect3D::GetInstance();
        display->SetViewWindow(m_window);
        EXPECT_EQ(display->Create(), 1);
        return display;
    }

    // Frames a sprite scene draws in parts equal those it draws whole.
    void ComposeInRegionsAndWhole(CDirect3D* display);

    TempDir m_dir;
    TestApp m_app;
    HWND m_window = nullptr;
};

std::unique_ptr<CSpriteLayer> SoftwareSprite(int x, int y, int w, int h, int priority, uint32_t colour)
{
    auto sprite = std::make_unique<CSpriteLayer>();
    sprite->Create(x, y, w, h, priority);
    sprite->FillRect(0, 0, w, h, colour, 1);
    sprite->SetVisibleFlag(1);
    return sprite;
}

std::unique_ptr<CSpriteTexture> TextureSprite(float x, float y, int w, int h, int priority, uint32_t colour)
{
    auto sprite = std::make_unique<CSpriteTexture>();
    sprite->Create(nullptr, x, y, RECT{0, 0, w, h}, priority, 0);
    sprite->GetTextureLayer()->FillRect(0, 0, w, h, colour, 1);
    sprite->SetVisibleFlag(1);
    return sprite;
}

// 0xAARRGGBB of a layer pixel (bytes B, G, R, A).
uint32_t LayerPixel(ILayer& layer, int x, int y)
{
    const uint8_t* p = layer.GetPixelPtr(x, y);
    return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

void ExpectNear(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_NEAR(a, e, tolerance) << std::hex << actual << " vs " << expected;
    }
}

} // namespace

TEST_F(CDirect3DThreadTest, CreateLandsInWindowModeAndMapsA1920Window)
{
    CDirect3D* display = CreateDisplay(1920, 1080);
    EXPECT_TRUE(display->IsLive());
    EXPECT_EQ(display->GetStatus(), DISPLAY_READY | DISPLAY_ENABLED);
    EXPECT_EQ(display->GetDisplayMode(), DISPLAY_MODE_WINDOW);
    EXPECT_EQ(display->GetDriverIndex(), 0);
    EXPECT_FALSE(IsWindowVisible(m_window)); // placed and hidden until the view shows it
    const POINT logical = display->WindowToLogical(POINT{960, 540});
    EXPECT_EQ(logical.x, 960);
    EXPECT_EQ(logical.y, 540);
    EXPECT_EQ(display->GetScreenLayer()->GetWidth(), 1920);
    EXPECT_EQ(LayerPixel(*display->GetScreenLayer(), 5, 5), 0xFF000000u);
}

TEST_F(CDirect3DThreadTest, A1280WindowScalesByOneAndAHalf)
{
    CDirect3D* display = CreateDisplay(1280, 720);
    EXPECT_FLOAT_EQ(display->GetScaleX(), 1.5f);
    const POINT logical = display->WindowToLogical(POINT{640, 360});
    EXPECT_EQ(logical.x, 960);
    EXPECT_EQ(logical.y, 540);
    const POINT window = display->LogicalToWindow(POINT{1919, 1079});
    EXPECT_EQ(window.x, 1279); // 1919 / 1.5 + 0.5 = 1279.83
    EXPECT_EQ(window.y, 719);  // 1079 / 1.5 + 0.5 = 719.83
}

TEST_F(CDirect3DThreadTest, BorderlessFullScreenOnSimulatedMonitors)
{
    SetMonitor(2560, 1440);
    CDirect3D* display = CreateDisplay(1920, 1080);
    display->ApplyWindowSize(1);
    EXPECT_EQ(display->GetDisplayMode(), DISPLAY_MODE_BORDERLESS);
    EXPECT_EQ(GetWindowLongW(m_window, GWL_STYLE), static_cast<LONG>(WS_POPUP | WS_VISIBLE));
    RECT viewport = display->GetViewportRect();
    EXPECT_EQ(viewport.left, 0);
    EXPECT_EQ(viewport.right, 2560);
    EXPECT_EQ(viewport.bottom, 1440);
    POINT logical = display->WindowToLogical(POINT{1280, 720});
    EXPECT_EQ(logical.x, 960);
    EXPECT_EQ(logical.y, 540);
    // Back to the window: scale 1 again and the caption style back.
    display->ApplyWindowSize(1);
    EXPECT_EQ(display->GetDisplayMode(), DISPLAY_MODE_WINDOW);
    EXPECT_FLOAT_EQ(display->GetScaleX(), 1.0f);

    // Same width, taller monitor: the picture keeps its size, centred 60 pixels down.
    SetMonitor(1920, 1200);
    CDirect3D::DeleteInstance();
    display = CreateDisplay(1920, 1080);
    display->ApplyWindowSize(1);
    viewport = display->GetViewportRect();
    EXPECT_EQ(viewport.top, 60);
    EXPECT_EQ(viewport.bottom - viewport.top, 1080);
    logical = display->WindowToLogical(POINT{960, 600});
    EXPECT_EQ(logical.x, 960);
    EXPECT_EQ(logical.y, 540);
    EXPECT_EQ(display->GetSwapChain() != nullptr, true);
}

TEST_F(CDirect3DThreadTest, DrawModeZeroCentresTheLogicalSizeOnA4kMonitor)
{
    SetMonitor(3840, 2160);
    SetScreenFullDrawMode(0);
    CDirect3D* display = CreateDisplay(1920, 1080);
    display->ApplyWindowSize(1);
    const RECT viewport = display->GetViewportRect();
    EXPECT_EQ(viewport.left, 960);
    EXPECT_EQ(viewport.top, 540);
    EXPECT_EQ(viewport.right - viewport.left, 1920);
    EXPECT_FLOAT_EQ(display->GetScaleX(), 1.0f);
    // The stepped search of draw mode 1: a 1366 x 1000 monitor fits 1366 x 768.
    const SIZE fitted = CDirect3D::ComputeFullScreenSize(1366, 1000, 1920, 1080, 1);
    EXPECT_EQ(fitted.cx, 1366);
    EXPECT_EQ(fitted.cy, 768);
    const SIZE tall = CDirect3D::ComputeFullScreenSize(1000, 1000, 1920, 1080, 3);
    EXPECT_EQ(tall.cx, 1777);
}

TEST_F(CDirect3DThreadTest, ErrorTextsAndDriverFallbacks)
{
    EXPECT_EQ(std::string(GetDirectXErrorText(static_cast<HRESULT>(0x887A0004)).CStr()),
              "The requested functionality is not supported by the device or the driver.");
    const tagDirect3DExecException unknown(static_cast<HRESULT>(0x887A0005));
    EXPECT_EQ(std::string(unknown.GetMessage().CStr()), "\nDirectX Error\n");

    platform::SetFailingDriverTypes(1u << D3D_DRIVER_TYPE_HARDWARE, E_FAIL);
    CDirect3D* display = CreateDisplay(1920, 1080);
    EXPECT_EQ(display->GetDriverIndex(), 1);
    EXPECT_EQ(display->GetDriverType(), D3D_DRIVER_TYPE_WARP);
    CDirect3D::DeleteInstance();

    platform::SetFailingDriverTypes((1u << D3D_DRIVER_TYPE_HARDWARE) | (1u << D3D_DRIVER_TYPE_WARP) |
                                        (1u << D3D_DRIVER_TYPE_REFERENCE),
                                    E_OUTOFMEMORY);
    CDirect3D* failing = CDirect3D::GetInstance();
    failing->SetViewWindow(m_window);
    try {
        failing->Create();
        FAIL() << "no exception";
    } catch (const tagDirect3DExecException& failure) {
        EXPECT_EQ(failure.GetResult(), E_OUTOFMEMORY);
        EXPECT_EQ(std::string(failure.GetMessage().CStr()),
                  "\nDirectX Error\nDirect3D could not allocate sufficient memory to complete the call.");
    }
}

TEST_F(CDirect3DThreadTest, WithoutOutputsTheNearestMonitorIsThePrimaryScreen)
{
    // Output 0 is needed to create the device, so the case is a display that knows no adapter.
    platform::SetSimulatedDisplays(std::vector<platform::DisplayOutput>{});
    CDirect3D* display = CDirect3D::GetInstance();
    const RECT rect = display->GetNearestMonitorRect(100, 100);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(CDirect3DThreadTest, DrawListKeepsOneEntryPerSpriteInStablePriorityOrder)
{
    CDirect3D* display = CreateDisplay(1920, 1080);
    auto a = SoftwareSprite(0, 0, 4, 4, 5, 0xFF000000);
    auto b = SoftwareSprite(0, 0, 4, 4, 5, 0xFF000000);
    auto c = SoftwareSprite(0, 0, 4, 4, 1, 0xFF000000);
    display->UpdateDrawList(DRAW_LIST_ADD, a.get());
    std::vector<CSpriteLayer*> list = display->GetSpriteManager()->GetDrawList();
    ASSERT_EQ(list.size(), 4u); // the root sprite, then c (1), a and b (5) in registration order
    EXPECT_EQ(list[1], c.get());
    EXPECT_EQ(list[2], a.get());
    EXPECT_EQ(list[3], b.get());
    // One made later goes after the last of its priority, before any higher.
    auto d = SoftwareSprite(0, 0, 4, 4, 5, 0xFF000000);
    auto e = SoftwareSprite(0, 0, 4, 4, 3, 0xFF000000);
    auto f = SoftwareSprite(0, 0, 4, 4, 1, 0xFF000000);
    EXPECT_EQ(display->GetSpriteManager()->GetDrawList(),
              (std::vector<CSpriteLayer*>{list[0], c.get(), f.get(), e.get(), a.get(), b.get(), d.get()}));
    // A priority changed sorts the list again; those of one priority keep their order.
    c->SetPriority(5);
    EXPECT_EQ(display->GetSpriteManager()->GetDrawList(),
              (std::vector<CSpriteLayer*>{list[0], f.get(), e.get(), c.get(), a.get(), b.get(), d.get()}));
    display->UpdateDrawList(DRAW_LIST_REMOVE, a.get());
    EXPECT_EQ(display->GetSpriteManager()->GetDrawList().size(), 6u);
}

TEST_F(CDirect3DThreadTest, SceneIsDrawnPresentedAndCaptured)
{
    CDirect3D* display = CreateDisplay(1920, 1080);
    auto* presenter = platform::GetNullPresenter();
    ASSERT_NE(presenter, nullptr);

    auto background = SoftwareSprite(0, 0, 1920, 1080, 1, 0xFF204060);
    auto half_red = SoftwareSprite(100, 100, 200, 100, 2, 0x80FF0000);
    // A white 100 x 100 square turned 45 degrees and doubled about its centre, which lands on the
    // position: a diamond 141 pixels from its centre to each corner.
    auto turned = TextureSprite(750, 350, 100, 100, 10, 0xFFFFFFFF);
    turned->SetRotationOrigin(50, 50);
    turned->SetRotation(45);
    turned->SetZoomCenter(50, 50);
    turned->SetScale(2, 2);
    turned->SetPositionF(800, 400);
    auto glow = TextureSprite(1500, 800, 50, 50, 20, 0xFF404040);
    glow->SetAdditive(1);
    auto hidden = TextureSprite(0, 0, 50, 50, 30, 0xFFFF00FF);
    hidden->SetVisibleFlag(0);

    {
        ScopedLock lock(g_draw_lock);
        display->GetSpriteManager()->SetMatrices();
        display->DrawFrame();
    }
    EXPECT_EQ(display->GetSpriteManager()->GetLastBatchCount(), 2);
    EXPECT_EQ(presenter->GetFrameCount(), 1u);

    CSpriteLayer capture;
    capture.Create(0, 0, 1920, 1080, -1);
    display->CaptureScreen(&capture);
    EXPECT_EQ(LayerPixel(capture, 10, 10), 0xFF204060u);
    // Half red over (0x20, 0x40, 0x60): 255/2 + 0x20/2 and so on, within a step of rounding.
    ExpectNear(LayerPixel(capture, 150, 150), 0xFF8F1F2F, 1);
    // The diamond: its centre and a point 130 to the right are white; 100 right and 100 down is
    // outside (200 > 141) and shows the background.
    EXPECT_EQ(LayerPixel(capture, 750, 350), 0xFFFFFFFFu);
    EXPECT_EQ(LayerPixel(capture, 880, 350), 0xFFFFFFFFu);
    EXPECT_EQ(LayerPixel(capture, 850, 450), 0xFF204060u);
    // The additive square adds 0x40 to each channel of the background.
    EXPECT_EQ(LayerPixel(capture, 1510, 810), 0xFF6080A0u);
    EXPECT_EQ(LayerPixel(capture, 10, 1075), 0xFF204060u); // the hidden sprite draws nothing

    const auto frame = presenter->GetLastFrame();
    ASSERT_EQ(frame->width, 1920);
    const char* folder = std::getenv("VESK_BINARY_DIR");
    const std::string path = std::string(folder ? folder : ".") + "/display_scene.png";
    EXPECT_TRUE(platform::WritePngRgba(path, frame->width, frame->height, frame->pixels.data(), 1920 * 4));
}

TEST_F(CDirect3DThreadTest, FramesPresentedFromAnotherThreadReachThePresenter)
{
    CDirect3D* display = CreateDisplay(1920, 1080);
    auto* presenter = platform::GetNullPresenter();
    const uint64_t before = presenter->GetFrameCount();
    auto sprite = SoftwareSprite(0, 0, 8, 8, 1, 0xFF000000);
    std::thread task([display, &sprite] {
        for (int i = 0; i < 3; ++i) {
            ScopedLock lock(g_draw_lock);
            // Each frame shows something new: one that would not is not presented.
            sprite->FillRect(0, 0, 8, 8, 0xFF000010 + i, 1);
            if ((display->GetStatus() & (DISPLAY_READY | DISPLAY_ENABLED)) ==
                (DISPLAY_READY | DISPLAY_ENABLED))
                display->DrawFrame();
        }
    });
    task.join();
    EXPECT_EQ(presenter->GetFrameCount(), before + 3);
}

TEST_F(CDirect3DThreadTest, OnlyAFrameThatWouldShowSomethingNewIsPresented)
{
    CDirect3D* display = CreateDisplay(1920, 1080);
    auto* presenter = platform::GetNullPresenter();
    auto ground = SoftwareSprite(0, 0, 1920, 1080, 0, 0xFF102030);
    auto mark = SoftwareSprite(100, 100, 16, 16, 5, 0xFF0000FF);
    auto picture = SoftwareSprite(0, 0, 16, 16, -1, 0xFF00FF00);
    display->DrawFrame();
    uint64_t frames = presenter->GetFrameCount();
    const auto presented = [&](const char* step) {
        display->DrawFrame();
        const uint64_t now = presenter->GetFrameCount();
        const bool shown = now != frames;
        frames = now;
        SCOPED_TRACE(step);
        return shown;
    };
    EXPECT_FALSE(presented("nothing changed"));
    mark->Blt(0, 0, 16, 16, mark.get(), 0, 0, 1);
    EXPECT_FALSE(presented("a copy of what the layer already holds"));
    picture->FillRect(0, 0, 16, 16, 0xFFFFFFFF, 1);
    EXPECT_FALSE(presented("a layer no sprite shows"));
    mark->Blt(0, 0, 16, 16, picture.get(), 0, 0, 1);
    EXPECT_TRUE(presented("a copy that changes the shown layer"));
    mark->SetPosition(120, 100);
    EXPECT_TRUE(presented("a moved sprite"));
    mark->SetAlpha(128);
    EXPECT_TRUE(presented("another alpha"));
    mark->SetVisibleFlag(0);
    EXPECT_TRUE(presented("a hidden sprite"));
    mark->SetVisibleFlag(1);
    EXPECT_TRUE(presented("shown again"));
    // Pixels reached through their pointer may be written after the next frame read them, so the
    // frame after it is drawn too.
    ground->GetPixelPtr(0, 0)[0] = 0x55;
    EXPECT_TRUE(presented("a pixel written through its pointer"));
    EXPECT_TRUE(presented("the frame after a direct write"));
    EXPECT_FALSE(presented("then nothing again"));
    ground->SetPriority(10);
    EXPECT_TRUE(presented("another order"));
    display->GetScreenLayer()->FillRect(0, 0, 4, 4, 0xFFFFFFFF, 1);
    EXPECT_TRUE(presented("something drawn into the screen layer between frames"));
    auto added = SoftwareSprite(0, 0, 4, 4, 20, 0xFFFFFFFF);
    EXPECT_TRUE(presented("a sprite added"));
    added.reset();
    EXPECT_TRUE(presented("a sprite removed"));
    EXPECT_FALSE(presented("and nothing after"));
    // A turned or scaled texture sprite (the title's flower) has no rectangle of its own to redraw.
    auto turned = TextureSprite(300, 300, 16, 16, 30, 0xFFFF8CB4);
    turned->SetRotation(45.0f);
    EXPECT_TRUE(presented("a turned texture sprite added"));
    EXPECT_FALSE(presented("nothing after it"));
    turned->SetPositionF(340.0f, 320.0f);
    EXPECT_TRUE(presented("a turned texture sprite moved"));
    turned->SetScale(0.5f, 0.5f);
    EXPECT_TRUE(presented("it scaled"));
    turned->GetTextureLayer()->FillRect(0, 0, 4, 4, 0xFF000000, 1);
    EXPECT_TRUE(presented("its pixels written"));
    EXPECT_FALSE(presented("and nothing after them"));
    turned.reset();
    presented("it removed");
    // A dump of the frames holds every frame drawn, the same ones included.
    std::filesystem::create_directories(m_dir.PathOf("frames"));
    presenter->SetDumpFolder(m_dir.PathOf("frames"));
    EXPECT_TRUE(presented("nothing changed, into a frame dump"));
    presenter->SetDumpFolder("");
}

void CDirect3DThreadTest::ComposeInRegionsAndWhole(CDirect3D* display)
{
    CSpriteManager* manager = display->GetSpriteManager();
    auto* presenter = platform::GetNullPresenter();
    // An opaque ground with a pattern, a translucent veil over half of it, a mark, a
    // half-transparent sprite the mark moves under, and texture sprites over it and elsewhere.
    auto ground = SoftwareSprite(0, 0, 1920, 1080, 0, 0xFF203040);
    for (int i = 0; i < 64; ++i)
        ground->FillRect(i * 30, i * 16, 25, 12, 0xFF000000 | (0x010305u * static_cast<uint32_t>(i)), 1);
    auto veil = SoftwareSprite(0, 540, 1920, 540, 3, 0x80FF8000);
    veil->SetAlpha(200);
    auto mark = SoftwareSprite(100, 500, 58, 58, 5, 0xFF0000FF);
    auto glass = SoftwareSprite(90, 520, 200, 100, 6, 0x40FFFFFF);
    auto plate = TextureSprite(120, 510, 64, 40, 7, 0x80FFFF00);
    auto badge = TextureSprite(1500, 40, 64, 40, 8, 0xC000FFFF);
    auto frames = SoftwareSprite(0, 0, 58, 174, -1, 0xFF00FF00);
    frames->FillRect(0, 58, 58, 58, 0xC0FF00FF, 1);
    frames->FillRect(0, 116, 58, 58, 0x00000000, 1);
    display->DrawFrame();

    const auto drawn = [&] {
        display->DrawFrame();
        return presenter->GetLastFrame();
    };
    const auto whole = [&] {
        manager->ForgetLastDraw();
        display->DrawFrame();
        EXPECT_EQ(manager->GetLastBatchCount(), 2); // a whole pass
        return presenter->GetLastFrame();
    };
    for (int step = 0; step < 3; ++step) {
        SCOPED_TRACE(step);
        mark->Blt(0, 0, 58, 58, frames.get(), 0, 58 * step, 1);
        const auto part = drawn();
        EXPECT_EQ(manager->GetLastBatchCount(), 1); // the region alone
        EXPECT_TRUE(part->pixels == whole()->pixels);
    }
    mark->SetPosition(140, 530);
    const auto moved = drawn();
    EXPECT_EQ(manager->GetLastBatchCount(), 1);
    EXPECT_TRUE(moved->pixels == whole()->pixels);
    plate->GetTextureLayer()->FillRect(10, 10, 20, 20, 0xFF102030, 1);
    const auto repainted = drawn();
    EXPECT_EQ(manager->GetLastBatchCount(), 1);
    EXPECT_TRUE(repainted->pixels == whole()->pixels);

    // A ground that lets the screen layer show through: a whole pass blends it there over what
    // the screen held, so a pass of the region composes that part too, until the blend comes to
    // what the screen already holds; after that a pass of the region leaves it. Run twice from the
    // same screen, once in regions and once whole, the frames are the same.
    const auto run = [&](bool whole_passes, std::vector<RECT>* changed) {
        ground->FillRect(0, 0, 4, 4, 0xFF203040, 1);
        manager->ForgetLastDraw();
        display->DrawFrame();
        ground->FillRect(0, 0, 4, 4, 0x80FFFFFF, 1);
        std::vector<std::shared_ptr<const platform::PresentedFrame>> pictures;
        for (int step = 0; step < 16; ++step) {
            mark->Blt(0, 0, 58, 58, frames.get(), 0, 58 * (step % 3), 1);
            if (step == 12)
                ground->FillRect(1, 1, 2, 2, 0x40000000, 1); // unsettles the corner
            if (whole_passes)
                manager->ForgetLastDraw();
            display->DrawFrame();
            EXPECT_EQ(manager->GetLastBatchCount(), whole_passes ? 2 : 1);
            pictures.push_back(presenter->GetLastFrame());
            if (changed != nullptr)
                changed->push_back(pictures.back()->changed);
        }
        return pictures;
    };
    std::vector<RECT> changed;
    const auto in_regions = run(false, &changed);
    const auto in_whole = run(true, nullptr);
    for (size_t step = 0; step < in_regions.size(); ++step)
        EXPECT_TRUE(in_regions[step]->pixels == in_whole[step]->pixels) << "step " << step;
    // Half white over the ground settles within ten blends; the frames then change by the mark
    // alone, until the corner is written again.
    const auto reaches_corner = [](const RECT& rect) { return rect.left < 8 && rect.top < 8; };
    EXPECT_TRUE(reaches_corner(changed[0]));
    EXPECT_FALSE(reaches_corner(changed[11]));
    EXPECT_TRUE(reaches_corner(changed[12]));
    EXPECT_TRUE(reaches_corner(changed[13]));
}

// One to one, and in windows that scale the frame evenly and unevenly (filtered pixels
// there read their neighbours, so a part is drawn as far as they reach). A window a case, so the
// runs of the sizes can go side by side.
class CDirect3DWindowThreadTest : public CDirect3DThreadTest, public ::testing::WithParamInterface<SIZE>
{};

TEST_P(CDirect3DWindowThreadTest, AFrameComposedOnlyWhereItChangedEqualsOneComposedWhole)
{
    ComposeInRegionsAndWhole(CreateDisplay(GetParam().cx, GetParam().cy));
}

// A container (the save note's window) shows what it composed of its children: a blink of a
// child's caret is composed and drawn in the caret's box alone.
TEST_P(CDirect3DWindowThreadTest, AContainersChildIsComposedAndDrawnOnlyWhereItChanged)
{
    CDirect3D* display = CreateDisplay(GetParam().cx, GetParam().cy);
    CSpriteManager* manager = display->GetSpriteManager();
    auto* presenter = platform::GetNullPresenter();
    auto ground = SoftwareSprite(0, 0, 1920, 1080, 0, 0xFF203040);
    auto note = std::make_unique<CSpriteContainer>();
    note->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, 1920, 1080}, 9, 0);
    auto shade = SoftwareSprite(0, 0, 1920, 1080, 9, 0x7F000000);
    auto text = SoftwareSprite(700, 490, 440, 28, 10, 0x00000000);
    for (CSpriteLayer* child : {shade.get(), text.get()})
        note->AddSprite(child);
    note->SetVisibleFlag(1);
    display->DrawFrame();
    for (int blink = 0; blink < 3; ++blink) {
        SCOPED_TRACE(blink);
        text->FillRect(70, 0, 2, 28, blink % 2 == 0 ? 0xFFFFFFFF : 0, 1);
        text->Invalidate(1, RECT{770, 490, 772, 518});
        display->DrawFrame();
        EXPECT_EQ(manager->GetLastBatchCount(), 1) << "not the region alone";
        const auto part = presenter->GetLastFrame();
        // Scaled, the box reaches as far as the filter reads: a tenth of the window's height.
        EXPECT_LE(part->changed.right - part->changed.left, GetParam().cx / 100);
        EXPECT_LE(part->changed.bottom - part->changed.top, GetParam().cy / 10);
        manager->ForgetLastDraw();
        display->DrawFrame();
        EXPECT_TRUE(part->pixels == presenter->GetLastFrame()->pixels) << "not as a whole pass";
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, CDirect3DWindowThreadTest,
                         ::testing::Values(SIZE{1920, 1080}, SIZE{1280, 720}, SIZE{1366, 768},
                                           SIZE{2560, 1440}),
                         [](const ::testing::TestParamInfo<SIZE>& info) {
                             return std::to_string(info.param.cx) + "x" + std::to_string(info.param.cy);
                         });

TEST_F(CDirect3DThreadTest, TextureLayersKeepTheirSizeAndRowOrder)
{
    CreateDisplay(1920, 1080);
    CTextureLayer big;
    ASSERT_EQ(big.Create(3000, 2000, 0, nullptr), 0);
    EXPECT_EQ(big.GetWidth(), 3000);
    EXPECT_EQ(big.GetHeight(), 2000);

    // Two rows given bottom-up: the first given row is the bottom one.
    const uint32_t rows[2] = {0xFF0000FF, 0xFFFF0000};
    CTextureLayer small;
    ASSERT_EQ(small.Create(1, 2, 0, rows), 0);
    EXPECT_EQ(LayerPixel(small, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(LayerPixel(small, 0, 1), 0xFF0000FFu);

    // A dynamic layer ignores Unlock; its buffer is its texture's pixels, so an upload finds them
    // in place and keeps them.
    auto* texture = static_cast<platform::Texture2D*>(small.GetTexture());
    EXPECT_EQ(small.GetBits(), texture->Row(0));
    small.FillRect(0, 0, 1, 2, 0xFF00FF00, 1);
    small.Unlock();
    EXPECT_EQ(small.Upload(), S_OK);
    EXPECT_EQ(texture->Row(0)[1], 0xFF);
    EXPECT_EQ(texture->Row(1)[1], 0xFF);
    EXPECT_EQ(small.UploadPart(RECT{0, 0, 1, 1}), S_OK);
    EXPECT_EQ(texture->Row(1)[1], 0xFF);

    // A render target takes its buffer on Unlock.
    CTextureLayer target;
    ASSERT_EQ(target.Create(2, 2, 1, nullptr), 0);
    target.FillRect(0, 0, 2, 2, 0xFF123456, 1);
    target.Unlock();
    EXPECT_EQ(static_cast<platform::Texture2D*>(target.GetTexture())->Row(1)[0], 0x56);
    EXPECT_NE(target.BindDrawTarget(), S_OK); // no Direct2D here
}

TEST_F(CDirect3DThreadTest, ResetBuffersReportsASwapChainThatCannotTakeTheSize)
{
    CDirect3D* display = CreateDisplay(1920, 1080);
    EXPECT_EQ(display->ResetBuffers(), 0);
    SetScreenWindowSize(20000, 1080); // wider than any swap chain may be
    EXPECT_EQ(display->ResetBuffers(), -1);
    SetScreenWindowSize(1280, 720);
    EXPECT_EQ(display->ResetBuffers(), 0);
}
