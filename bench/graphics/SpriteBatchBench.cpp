// Full frames of a typical scene through the CPU sprite batch at 1920 x 1080, next to a memcpy of
// one frame (the in-run baseline): the screen layer uploaded and drawn 1:1, an alpha sprite, a
// rotated and zoomed sprite and an additive one.

#include <cstring>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "platform/com/ComPtr.h"
#include "platform/d3d/D3D11Api.h"
#include "platform/d3d/SpriteBatch.h"
#include "platform/d3d/TexturePixels.h"

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
constexpr size_t FRAME_BYTES = size_t{WIDTH} * HEIGHT * 4;

struct Scene
{
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> context;
    ComPtr<IDXGISwapChain> swap_chain;
    ComPtr<ID3D11RenderTargetView> target;
    ComPtr<ID3D11Texture2D> screen;
    ComPtr<ID3D11ShaderResourceView> screen_view;
    ComPtr<ID3D11ShaderResourceView> sprite_view;
    ComPtr<ID3D11BlendState> alpha;
    ComPtr<ID3D11BlendState> additive;
    ComPtr<ID3D11SamplerState> sampler;
    std::vector<uint8_t> screen_pixels; // the screen layer's pixels
    // The screen layer's system buffer: the texture's own pixels, as the layer keeps them.
    std::shared_ptr<uint8_t> screen_buffer;
    std::unique_ptr<DirectX::SpriteBatch> batch;
};

ComPtr<ID3D11ShaderResourceView> MakeTexture(ID3D11Device* device, int width, int height, D3D11_USAGE usage,
                                             const std::vector<uint8_t>& pixels,
                                             ComPtr<ID3D11Texture2D>* keep)
{
    D3D11_TEXTURE2D_DESC desc{};
    desc.Width = width;
    desc.Height = height;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_B8G8R8A8_UNORM;
    desc.SampleDesc = {1, 0};
    desc.Usage = usage;
    desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    desc.CPUAccessFlags = usage == D3D11_USAGE_DYNAMIC ? D3D11_CPU_ACCESS_WRITE : 0;
    D3D11_SUBRESOURCE_DATA data{pixels.data(), static_cast<UINT>(width * 4), 0};
    ComPtr<ID3D11Texture2D> texture;
    device->CreateTexture2D(&desc, &data, texture.GetAddressOf());
    ComPtr<ID3D11ShaderResourceView> view;
    device->CreateShaderResourceView(texture.Get(), nullptr, view.GetAddressOf());
    if (keep)
        *keep = texture;
    return view;
}

Scene MakeScene()
{
    Scene scene;
    DXGI_SWAP_CHAIN_DESC desc{};
    desc.BufferDesc = {WIDTH,
                       HEIGHT,
                       {144, 1},
                       DXGI_FORMAT_R8G8B8A8_UNORM,
                       DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                       DXGI_MODE_SCALING_CENTERED};
    desc.SampleDesc = {1, 0};
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    desc.BufferCount = 2;
    desc.Windowed = TRUE;
    D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                  D3D11_SDK_VERSION, &desc, scene.swap_chain.GetAddressOf(),
                                  scene.device.GetAddressOf(), nullptr, scene.context.GetAddressOf());
    ComPtr<ID3D11Texture2D> back;
    scene.swap_chain->GetBuffer(0, IID_ID3D11Texture2D, reinterpret_cast<void**>(back.GetAddressOf()));
    scene.device->CreateRenderTargetView(back.Get(), nullptr, scene.target.GetAddressOf());

    scene.screen_pixels.resize(FRAME_BYTES);
    for (size_t i = 0; i < FRAME_BYTES; i += 4) {
        scene.screen_pixels[i] = static_cast<uint8_t>(i >> 4);
        scene.screen_pixels[i + 1] = static_cast<uint8_t>(i >> 12);
        scene.screen_pixels[i + 2] = 0x40;
        scene.screen_pixels[i + 3] = 0xFF;
    }
    scene.screen_view = MakeTexture(scene.device.Get(), WIDTH, HEIGHT, D3D11_USAGE_DYNAMIC,
                                    scene.screen_pixels, &scene.screen);
    scene.screen_buffer = platform::SharedTexturePixels(scene.screen.Get());
    std::vector<uint8_t> sprite(256 * 256 * 4);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            uint8_t* p = &sprite[(y * 256 + x) * 4];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 0x80;
            p[3] = static_cast<uint8_t>((x + y) / 2);
        }
    }
    scene.sprite_view = MakeTexture(scene.device.Get(), 256, 256, D3D11_USAGE_DEFAULT, sprite, nullptr);

    D3D11_BLEND_DESC blend{};
    blend.RenderTarget[0] = {TRUE,
                             D3D11_BLEND_SRC_ALPHA,
                             D3D11_BLEND_INV_SRC_ALPHA,
                             D3D11_BLEND_OP_ADD,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_ZERO,
                             D3D11_BLEND_OP_ADD,
                             D3D11_COLOR_WRITE_ENABLE_ALL};
    scene.device->CreateBlendState(&blend, scene.alpha.GetAddressOf());
    blend.RenderTarget[0].DestBlend = D3D11_BLEND_ONE;
    scene.device->CreateBlendState(&blend, scene.additive.GetAddressOf());
    D3D11_SAMPLER_DESC sampler{};
    sampler.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D11_TEXTURE_ADDRESS_MIRROR;
    sampler.MaxAnisotropy = 1;
    sampler.ComparisonFunc = D3D11_COMPARISON_ALWAYS;
    sampler.MaxLOD = D3D11_FLOAT32_MAX;
    scene.device->CreateSamplerState(&sampler, scene.sampler.GetAddressOf());

    ID3D11RenderTargetView* targets[] = {scene.target.Get()};
    scene.context->OMSetRenderTargets(1, targets, nullptr);
    D3D11_VIEWPORT viewport{0, 0, WIDTH, HEIGHT, 0, 1};
    scene.context->RSSetViewports(1, &viewport);
    scene.batch = std::make_unique<DirectX::SpriteBatch>(scene.context.Get());
    return scene;
}

// As the screen layer uploads itself: nothing to copy when its buffer is the texture's pixels, else
// one copy when the rows lie edge to edge in both.
void Upload(Scene& scene)
{
    D3D11_MAPPED_SUBRESOURCE mapped{};
    scene.context->Map(scene.screen.Get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped);
    if (mapped.pData == scene.screen_buffer.get() && mapped.RowPitch == WIDTH * 4) {
        // in place already
    } else if (mapped.RowPitch == WIDTH * 4) {
        std::memcpy(mapped.pData, scene.screen_pixels.data(), FRAME_BYTES);
    } else {
        for (int y = 0; y < HEIGHT; ++y)
            std::memcpy(static_cast<uint8_t*>(mapped.pData) + size_t{mapped.RowPitch} * y,
                        scene.screen_pixels.data() + size_t{WIDTH} * 4 * y, WIDTH * 4);
    }
    scene.context->Unmap(scene.screen.Get(), 0);
}

void DrawSprites(Scene& scene)
{
    const DirectX::XMFLOAT2 zero{0, 0};
    const DirectX::XMFLOAT2 one{1, 1};
    const DirectX::XMVECTOR white{1, 1, 1, 1};
    RECT whole_screen{0, 0, WIDTH, HEIGHT};
    RECT whole_sprite{0, 0, 256, 256};
    scene.batch->Begin(DirectX::SpriteSortMode_FrontToBack, scene.alpha.Get(), scene.sampler.Get(), nullptr,
                       nullptr, nullptr, DirectX::XMMatrixIdentity());
    scene.batch->Draw(scene.screen_view.Get(), zero, &whole_screen, white, 0, zero, one,
                      DirectX::SpriteEffects_None, 0.0f);
    scene.batch->Draw(scene.sprite_view.Get(), {100, 100}, &whole_sprite, {1, 1, 1, 0.75f}, 0, zero, one,
                      DirectX::SpriteEffects_None, 0.1f);
    scene.batch->Draw(scene.sprite_view.Get(), {800, 400}, &whole_sprite, white, 0.5f, {128, 128},
                      {1.5f, 1.5f}, DirectX::SpriteEffects_None, 0.2f);
    scene.batch->End();
    scene.batch->Begin(DirectX::SpriteSortMode_FrontToBack, scene.additive.Get(), scene.sampler.Get(),
                       nullptr, nullptr, nullptr, DirectX::XMMatrixIdentity());
    scene.batch->Draw(scene.sprite_view.Get(), {1400, 600}, &whole_sprite, white, 0, zero, one,
                      DirectX::SpriteEffects_None, 0.3f);
    scene.batch->End();
}

// The bytes a frame must move, as plain copies through buffers of the frame's sizes: the screen
// layer's texture (its buffer, which the upload finds in place) 1:1 into the target (the clear
// goes with it), and each sprite's rectangle on the target (the turned one's 1.5 times as wide and
// high).
class FrameFloor
{
public:
    explicit FrameFloor(const std::vector<uint8_t>& screen)
        : m_screen(screen)
        , m_target(FRAME_BYTES)
        , m_sprite(384 * 384 * 4, 1)
    {}

    void operator()()
    {
        std::memcpy(m_target.data(), m_screen.data(), FRAME_BYTES);
        Rectangle(100, 100, 256);
        Rectangle(800 - 192, 400 - 192, 384);
        Rectangle(1400, 600, 256);
        benchmark::DoNotOptimize(m_target.data());
        benchmark::ClobberMemory();
    }

private:
    void Rectangle(int x, int y, int size)
    {
        for (int row = 0; row < size; ++row)
            std::memcpy(m_target.data() + (size_t(y + row) * WIDTH + x) * 4,
                        m_sprite.data() + size_t(row) * size * 4, size_t(size) * 4);
    }

    const std::vector<uint8_t>& m_screen;
    std::vector<uint8_t> m_target;
    std::vector<uint8_t> m_sprite;
};

// What one displayed frame costs: clear, upload of the screen layer, both batches.
void BM_SpriteBatchFrame(benchmark::State& state)
{
    Scene scene = MakeScene();
    const float black[4] = {0, 0, 0, 1};
    bench::FrameCopy copy;
    bench::RatioToBaseline ratio(state);
    for (auto _ : state) {
        scene.context->ClearRenderTargetView(scene.target.Get(), black);
        Upload(scene);
        DrawSprites(scene);
        benchmark::ClobberMemory();
    }
    ratio.Report(copy);
    bench::ReportFloor(state, FrameFloor(scene.screen_pixels), copy);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);
}
BENCHMARK(BM_SpriteBatchFrame)->Unit(benchmark::kMillisecond);

// The batches alone: the screen layer drawn 1:1 and the three sprites.
void BM_SpriteBatchDrawOnly(benchmark::State& state)
{
    Scene scene = MakeScene();
    for (auto _ : state) {
        DrawSprites(scene);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);
}
BENCHMARK(BM_SpriteBatchDrawOnly)->Unit(benchmark::kMillisecond);

// One kind of draw at a time, to see where a frame's time goes.
enum class Part
{
    ClearAndScreen, // the clear, then the screen layer 1:1 (the two are done in one pass)
    AlphaSprite,    // 256 x 256 at three-quarter alpha, 1:1
    TurnedSprite,   // 256 x 256 turned half a radian and zoomed 1.5 times
    AdditiveSprite, // 256 x 256, 1:1, additive
};

void BM_SpriteBatchPart(benchmark::State& state)
{
    Scene scene = MakeScene();
    const auto part = static_cast<Part>(state.range(0));
    const DirectX::XMFLOAT2 zero{0, 0};
    const DirectX::XMFLOAT2 one{1, 1};
    const DirectX::XMVECTOR white{1, 1, 1, 1};
    RECT whole_screen{0, 0, WIDTH, HEIGHT};
    RECT whole_sprite{0, 0, 256, 256};
    const float black[4] = {0, 0, 0, 1};
    for (auto _ : state) {
        ID3D11BlendState* blend = part == Part::AdditiveSprite ? scene.additive.Get() : scene.alpha.Get();
        if (part == Part::ClearAndScreen)
            scene.context->ClearRenderTargetView(scene.target.Get(), black);
        scene.batch->Begin(DirectX::SpriteSortMode_FrontToBack, blend, scene.sampler.Get(), nullptr, nullptr,
                           nullptr, DirectX::XMMatrixIdentity());
        switch (part) {
        case Part::ClearAndScreen:
            scene.batch->Draw(scene.screen_view.Get(), zero, &whole_screen, white, 0, zero, one,
                              DirectX::SpriteEffects_None, 0.0f);
            break;
        case Part::AlphaSprite:
            scene.batch->Draw(scene.sprite_view.Get(), {100, 100}, &whole_sprite, {1, 1, 1, 0.75f}, 0, zero,
                              one, DirectX::SpriteEffects_None, 0.1f);
            break;
        case Part::TurnedSprite:
            scene.batch->Draw(scene.sprite_view.Get(), {800, 400}, &whole_sprite, white, 0.5f, {128, 128},
                              {1.5f, 1.5f}, DirectX::SpriteEffects_None, 0.2f);
            break;
        case Part::AdditiveSprite:
            scene.batch->Draw(scene.sprite_view.Get(), {1400, 600}, &whole_sprite, white, 0, zero, one,
                              DirectX::SpriteEffects_None, 0.3f);
            break;
        }
        scene.batch->End();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SpriteBatchPart)
    ->Arg(static_cast<int>(Part::ClearAndScreen))
    ->Arg(static_cast<int>(Part::AlphaSprite))
    ->Arg(static_cast<int>(Part::TurnedSprite))
    ->Arg(static_cast<int>(Part::AdditiveSprite))
    ->Unit(benchmark::kMicrosecond);

void BM_UploadScreenLayer(benchmark::State& state)
{
    Scene scene = MakeScene();
    for (auto _ : state) {
        Upload(scene);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);
}
BENCHMARK(BM_UploadScreenLayer)->Unit(benchmark::kMillisecond);

void BM_CopyOneFrame(benchmark::State& state)
{
    bench::FrameCopy copy;
    for (auto _ : state)
        copy();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FRAME_BYTES);
}
BENCHMARK(BM_CopyOneFrame)->Unit(benchmark::kMillisecond);

} // namespace
