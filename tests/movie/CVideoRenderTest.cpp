#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/CVeskView.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/ILayer.h"
#include "graphics/SpriteLayerOf.h"
#include "movie/CVideoRender.h"
#include "movie/MovieFixture.h"
#include "platform/dshow/MediaSample.h"
#include "platform/user/WindowApi.h"
#include "screens/base/ISelect.h"

namespace {

CMediaType VideoType(int width, int height, WORD bits = 32, DWORD compression = BI_RGB,
                     const GUID& subtype = MEDIASUBTYPE_RGB32, const GUID& format = FORMAT_VideoInfo)
{
    VIDEOINFOHEADER info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = compression;
    CMediaType type;
    type.SetType(&MEDIATYPE_Video);
    type.SetSubtype(&subtype);
    type.SetFormat(format, &info, sizeof(info));
    return type;
}

// A bottom-up frame: the left half one colour, the right half another, alpha bytes 0.
platform::MediaSample Frame(int width, int height, uint32_t left, uint32_t right)
{
    platform::MediaSample sample(static_cast<size_t>(width) * height * 4);
    auto* pixels = reinterpret_cast<uint32_t*>(sample.Bytes());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = (x < width / 2 ? left : right) & 0x00FFFFFFu;
    }
    return sample;
}

uint32_t PixelAt(CSprite* sprite, int x, int y)
{
    ILayer* layer = SpriteLayerOf(sprite);
    return *reinterpret_cast<const uint32_t*>(layer->GetBits() + layer->GetPixelOffset(x, y));
}

class CVideoRenderThreadTest : public MovieFixture
{
protected:
    CVideoRender* Make(CSprite* target, int32_t step, int width = 320, int height = 240)
    {
        HRESULT result = E_FAIL;
        auto* renderer = new CVideoRender(target, step, &result);
        EXPECT_EQ(result, S_OK);
        EXPECT_EQ(renderer->Connect(VideoType(width, height)), S_OK);
        m_renderers.push_back(renderer);
        return renderer;
    }
    ~CVideoRenderThreadTest() override
    {
        for (CVideoRender* renderer : m_renderers)
            renderer->Release();
    }
    void Fill(CSprite* sprite, uint32_t colour)
    {
        ILayer* layer = SpriteLayerOf(sprite);
        layer->FillRect(0, 0, layer->GetWidth(), layer->GetHeight(), colour, 1);
    }

    std::vector<CVideoRender*> m_renderers;
};

TEST_F(CVideoRenderThreadTest, OnlyUncompressed32BitVideoConnects)
{
    HRESULT result = E_FAIL;
    auto* renderer = new CVideoRender(m_sprite0, 0, &result);
    const struct
    {
        const char* what;
        CMediaType type;
        HRESULT expected;
    } cases[] = {
        {"RGB32", VideoType(320, 240), S_OK},
        {"24-bit", VideoType(320, 240, 24, BI_RGB, MEDIASUBTYPE_RGB24), S_FALSE},
        {"24 bits in an RGB32 type", VideoType(320, 240, 24), S_FALSE},
        {"bit fields", VideoType(320, 240, 32, 3), S_FALSE},
        {"no video info", VideoType(320, 240, 32, BI_RGB, MEDIASUBTYPE_RGB32, FORMAT_None), S_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(renderer->CheckMediaType(&c.type), c.expected);
    }
    renderer->Release();
}

TEST_F(CVideoRenderThreadTest, FramesAreDrawnOpaqueOnceTheDrawingBitIsSet)
{
    CVideoRender* renderer = Make(m_sprite0, 0);
    Fill(m_sprite0, 0xFF00FF00);
    platform::MediaSample frame = Frame(320, 240, 0x112233, 0x445566);
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(PixelAt(m_sprite0, 0, 0), 0xFF00FF00u) << "drawn before the drawing bit";
    renderer->SetDrawing();
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(PixelAt(m_sprite0, 0, 0), 0xFF112233u);
    EXPECT_EQ(PixelAt(m_sprite0, 319, 239), 0xFF445566u);
}

TEST_F(CVideoRenderThreadTest, MinimisedWindowDropsFramesWhileTheFadeOutSteps)
{
    CVideoRender* renderer = Make(m_sprite0, -64);
    renderer->SetDrawing();
    Fill(m_sprite0, 0xFF00FF00);
    m_sprite0->SetAlpha(255);
    m_sprite0->SetVisibleFlag(0);
    ShowWindow(GetView()->GetHandle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(GetView()->GetHandle()));
    platform::MediaSample frame = Frame(320, 240, 0x112233, 0x112233);
    for (int32_t expected : {191, 127, 63, 0}) {
        renderer->DoRenderSample(&frame);
        EXPECT_EQ(m_sprite0->GetAlpha(), expected);
        EXPECT_TRUE(m_sprite0->IsVisible());
    }
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(renderer->GetFadeStep(), 0);
    EXPECT_EQ(PixelAt(m_sprite0, 0, 0), 0xFF00FF00u) << "a frame reached the layer while minimised";
}

TEST_F(CVideoRenderThreadTest, FadeInEndsOnLayerZero)
{
    std::unique_ptr<CSprite> overlay(CreateSpriteOfType(0, 0, 320, 240, -1, 0));
    overlay->SetAlpha(0);
    CVideoRender* renderer = Make(overlay.get(), 32);
    renderer->SetDrawing();
    platform::MediaSample frame = Frame(320, 240, 0x0000FF, 0x0000FF);
    for (int i = 1; i <= 8; ++i) {
        renderer->DoRenderSample(&frame);
        EXPECT_EQ(overlay->GetAlpha(), std::min(255, 32 * i));
        EXPECT_EQ(renderer->GetTarget(), overlay.get());
    }
    Fill(m_sprite0, 0);
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(renderer->GetTarget(), m_sprite0);
    EXPECT_EQ(PixelAt(m_sprite0, 0, 0), 0xFF0000FFu);
}

TEST_F(CVideoRenderThreadTest, NewTargetIsTakenAtTheNextFrame)
{
    std::unique_ptr<CSprite> overlay(CreateSpriteOfType(0, 0, 320, 240, -1, 0));
    CVideoRender* renderer = Make(m_sprite0, 0);
    renderer->SetDrawing();
    renderer->SetNewTarget(overlay.get(), -32);
    EXPECT_EQ(renderer->GetTarget(), m_sprite0);
    overlay->SetAlpha(255);
    platform::MediaSample frame = Frame(320, 240, 0x0000FF, 0x0000FF);
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(renderer->GetTarget(), overlay.get());
    EXPECT_EQ(overlay->GetAlpha(), 223);
}

// The main thread hands targets over while the render thread takes them at its frames: each
// hand-over arrives whole, and the last one given is the one drawn into.
TEST_F(CVideoRenderThreadTest, TargetsHandedOverDuringPlayArriveWhole)
{
    std::unique_ptr<CSprite> overlay(CreateSpriteOfType(0, 0, 320, 240, -1, 0));
    CVideoRender* renderer = Make(m_sprite0, 0);
    platform::MediaSample frame = Frame(320, 240, 0x0000FF, 0x0000FF);
    std::atomic<bool> playing{true};
    std::atomic<int> frames{0};
    std::thread render([&] {
        while (playing) {
            renderer->DoRenderSample(&frame);
            frames.fetch_add(1, std::memory_order_relaxed);
        }
    });
    // Hand-overs until the render thread has taken a few hundred frames since the first, however
    // the two threads are scheduled. The count is relaxed: it must not order the two threads'
    // accesses for them, or ThreadSanitizer would see no race to report.
    const int before = frames.load(std::memory_order_relaxed);
    for (int i = 0; i == 0 || frames.load(std::memory_order_relaxed) - before < 300; ++i)
        renderer->SetNewTarget(i % 2 ? overlay.get() : m_sprite0, 0);
    renderer->SetNewTarget(overlay.get(), 0);
    playing = false;
    render.join();
    renderer->SetDrawing();
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(renderer->GetTarget(), overlay.get());
    EXPECT_EQ(PixelAt(overlay.get(), 0, 0), 0xFF0000FFu);
}

TEST_F(CVideoRenderThreadTest, SmallerVideoKeepsTheRestOfTheLayer)
{
    CVideoRender* renderer = Make(m_sprite0, 0, 160, 120);
    renderer->SetDrawing();
    Fill(m_sprite0, 0xFF00FF00);
    platform::MediaSample frame = Frame(160, 120, 0x0000FF, 0x0000FF);
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(PixelAt(m_sprite0, 159, 119), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(m_sprite0, 160, 0), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(m_sprite0, 0, 120), 0xFF00FF00u);
}

TEST_F(CVideoRenderThreadTest, LargerVideoIsScaledIntoTheLayer)
{
    CVideoRender* renderer = Make(m_sprite0, 0, 640, 480);
    EXPECT_TRUE(renderer->HasScalingLayers());
    renderer->SetDrawing();
    platform::MediaSample frame = Frame(640, 480, 0xFF0000, 0x0000FF);
    renderer->DoRenderSample(&frame);
    EXPECT_EQ(PixelAt(m_sprite0, 10, 10), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(m_sprite0, 310, 230), 0xFF0000FFu);
}

} // namespace
