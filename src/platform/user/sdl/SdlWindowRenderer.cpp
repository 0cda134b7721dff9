#include "platform/user/sdl/SdlWindowRenderer.h"

#include <SDL.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace platform {

namespace {

// A DRM render node, or NVIDIA's own device where its driver makes none.
bool CanOpenGpuDevice()
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        if (entry.path().filename().string().rfind("renderD", 0) == 0 &&
            access(entry.path().c_str(), R_OK | W_OK) == 0)
            return true;
    }
    return access("/dev/nvidiactl", R_OK | W_OK) == 0;
}

// Whether OpenGL would run on the CPU, told without loading it (that alone costs the process tens
// of megabytes): Mesa is told so, or there is no GPU the process may use.
bool OpenGlRunsOnCpu()
{
    const char* forced = SDL_getenv("LIBGL_ALWAYS_SOFTWARE");
    if (forced != nullptr && *forced != '\0' && std::strcmp(forced, "0") != 0)
        return true;
    return !CanOpenGpuDevice();
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
    if (OpenGlRunsOnCpu())
        return nullptr;
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, 0);
    SDL_RendererInfo info{};
    if (renderer == nullptr || SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr ||
        std::strncmp(info.name, "opengl", 6) != 0)
        return renderer;
    // The renderer's context is current: its renderer string tells a GPU from a rasteriser (a GPU
    // the X server does not let the process use directly).
    using GetString = const unsigned char* (*)(unsigned);
    constexpr unsigned GL_RENDERER_NAME = 0x1F01;
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const auto* name =
        get_string != nullptr ? reinterpret_cast<const char*>(get_string(GL_RENDERER_NAME)) : nullptr;
    if (name == nullptr || !IsSoftwareRasteriser(name))
        return renderer;
    SDL_DestroyRenderer(renderer);
    return nullptr;
}

SDL_Renderer* CreateCpuRenderer(SDL_Window* window)
{
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Renderer* software = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE))
        return software;
    // A window without a renderer shows nothing: the rasteriser is better than none.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1");
    return SDL_CreateRenderer(window, -1, 0);
}

} // namespace platform
