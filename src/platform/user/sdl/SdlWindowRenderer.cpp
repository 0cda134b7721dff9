#include "platform/user/sdl/SdlWindowRenderer.h"

#include <SDL.h>

#include <cstring>
#include <initializer_list>

namespace platform {

namespace {

SDL_Renderer* CreateSoftwareRenderer(SDL_Window* window)
{
    // Else the window surface the software renderer draws into is backed by an OpenGL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

} // namespace

bool IsSoftwareRasteriser(const char* gl_renderer)
{
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (std::strstr(gl_renderer, name) != nullptr)
            return true;
    return false;
}

SDL_Renderer* CreateWindowRenderer(SDL_Window* window)
{
    if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr)
        return SDL_CreateRenderer(window, -1, 0);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    SDL_RendererInfo info{};
    if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr ||
        std::strncmp(info.name, "opengl", 6) != 0)
        return renderer;
    // The renderer's context is current: its renderer string tells a GPU from a rasteriser.
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned GL_RENDERER_NAME = 0x1F01;
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const auto* name =
        get_string != nullptr ? reinterpret_cast<const char*>(get_string(GL_RENDERER_NAME)) : nullptr;
    if (name == nullptr || !IsSoftwareRasteriser(name))
        return renderer;
    SDL_DestroyRenderer(renderer);
    if (SDL_Renderer* software = CreateSoftwareRenderer(window))
        return software;
    // A window without a renderer shows nothing: the rasteriser is better than none.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1");
    return SDL_CreateRenderer(window, -1, 0);
}

} // namespace platform
