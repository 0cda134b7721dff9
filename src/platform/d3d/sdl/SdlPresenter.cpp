#include "platform/d3d/sdl/SdlPresenter.h"

#include <SDL.h>

namespace platform {

struct SdlPresenter::Native
{
    SDL_Window* window = nullptr; // ours when own_window is set
    bool own_window = false;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_width = 0;
    int texture_height = 0;

    void DropRenderer()
    {
        if (texture)
            SDL_DestroyTexture(texture);
        if (renderer)
            SDL_DestroyRenderer(renderer);
        texture = nullptr;
        renderer = nullptr;
        texture_width = texture_height = 0;
    }
    void DropWindow()
    {
        DropRenderer();
        if (own_window && window)
            SDL_DestroyWindow(window);
        window = nullptr;
        own_window = false;
    }
};

SdlPresenter::SdlPresenter()
    : m_native(std::make_unique<Native>())
{}

SdlPresenter::~SdlPresenter()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        m_native->DropWindow();
}

void SdlPresenter::Publish(std::shared_ptr<const PresentedFrame> frame)
{
    std::lock_guard lock(m_lock);
    m_pending = std::move(frame);
}

void SdlPresenter::AttachWindow(uint32_t sdl_window_id)
{
    m_native->DropWindow();
    if (sdl_window_id)
        m_native->window = SDL_GetWindowFromID(sdl_window_id);
}

void SdlPresenter::ShowNewestFrame()
{
    std::shared_ptr<const PresentedFrame> frame;
    {
        std::lock_guard lock(m_lock);
        frame = std::move(m_pending);
    }
    if (!frame || frame->width <= 0 || frame->height <= 0)
        return;
    Native& native = *m_native;
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return;
    const int client_width = frame->client.cx > 0 ? frame->client.cx : frame->width;
    const int client_height = frame->client.cy > 0 ? frame->client.cy : frame->height;
    if (!native.window) {
        native.window = SDL_CreateWindow("vesk", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, client_width,
                                         client_height, SDL_WINDOW_SHOWN);
        native.own_window = native.window != nullptr;
        if (!native.window)
            return;
    } else if (native.own_window) {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(native.window, &w, &h);
        if (w != client_width || h != client_height)
            SDL_SetWindowSize(native.window, client_width, client_height);
    }
    if (!native.renderer) {
        native.renderer = SDL_CreateRenderer(native.window, -1, SDL_RENDERER_ACCELERATED);
        if (!native.renderer)
            native.renderer = SDL_CreateRenderer(native.window, -1, SDL_RENDERER_SOFTWARE);
        if (!native.renderer)
            return;
    }
    if (!native.texture || native.texture_width != frame->width || native.texture_height != frame->height) {
        if (native.texture)
            SDL_DestroyTexture(native.texture);
        // RGBA32 is the byte order R, G, B, A of the back buffer on any machine.
        native.texture = SDL_CreateTexture(native.renderer, SDL_PIXELFORMAT_RGBA32,
                                           SDL_TEXTUREACCESS_STREAMING, frame->width, frame->height);
        if (!native.texture)
            return;
        SDL_SetTextureScaleMode(native.texture, SDL_ScaleModeLinear);
        native.texture_width = frame->width;
        native.texture_height = frame->height;
    }
    SDL_UpdateTexture(native.texture, nullptr, frame->pixels.data(), frame->width * 4);
    SDL_SetRenderDrawColor(native.renderer, 0, 0, 0, 255);
    SDL_RenderClear(native.renderer);
    const RECT& d = frame->destination;
    SDL_Rect destination{d.left, d.top, d.right - d.left, d.bottom - d.top};
    if (destination.w <= 0 || destination.h <= 0)
        destination = SDL_Rect{0, 0, client_width, client_height};
    SDL_RenderCopy(native.renderer, native.texture, nullptr, &destination);
    SDL_RenderPresent(native.renderer);
    std::lock_guard lock(m_lock);
    ++m_shown;
}

uint64_t SdlPresenter::GetShownCount() const
{
    std::lock_guard lock(m_lock);
    return m_shown;
}

bool SdlPresenter::ReadShownPixels(std::vector<uint32_t>& pixels, int& width, int& height)
{
    Native& native = *m_native;
    if (!native.renderer || GetShownCount() == 0)
        return false;
    if (SDL_GetRendererOutputSize(native.renderer, &width, &height) != 0)
        return false;
    pixels.assign(static_cast<size_t>(width) * height, 0);
    return SDL_RenderReadPixels(native.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                                width * 4) == 0;
}

SdlPresenter* GetSdlPresenter()
{
    return dynamic_cast<SdlPresenter*>(&GetPresenter());
}

std::unique_ptr<Presenter> CreateSdlPresenter()
{
    return std::make_unique<SdlPresenter>();
}

} // namespace platform
