#include "platform/user/sdl/SdlWindowRenderer.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <cstring>
#include <initializer_list>

namespace platform {

namespace {

// Whether the window's X server offers direct rendering, the only way OpenGL reaches a GPU there.
// Answered without loading OpenGL, whose software rasteriser keeps its library and threads for the
// rest of the process once a context was made. Other systems, or an answer not to be had: true.
bool MayRenderDirectly(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return true;
    // SDL has loaded libX11 for its X11 driver.
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr)
        return true;
    using QueryExtension = int (*)(Display*, const char*, int*, int*, int*);
    const auto query = reinterpret_cast<QueryExtension>(dlsym(x11, "XQueryExtension"));
    bool direct = true;
    if (query != nullptr) {
        int opcode = 0;
        int event = 0;
        int error = 0;
        direct = query(info.info.x11.display, "DRI3", &opcode, &event, &error) != 0 ||
                 query(info.info.x11.display, "DRI2", &opcode, &event, &error) != 0;
    }
    dlclose(x11);
    return direct;
}

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
    if (!MayRenderDirectly(window))
        return CreateSoftwareRenderer(window);
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
    return CreateSoftwareRenderer(window);
}

} // namespace platform
