#pragma once
// The renderer a game window presents its frames with. Main thread only, as all SDL video calls.

struct SDL_Renderer;
struct SDL_Window;

namespace platform {

// The accelerated renderer unless its OpenGL runs on the CPU (Mesa's llvmpipe, softpipe or swrast:
// an X server without direct rendering, as Xvfb, or a machine without a GPU driver), where SDL's
// own software renderer draws the same frames with less memory and CPU. SDL_RENDER_DRIVER, when
// set, chooses alone. Null when no renderer can be made.
SDL_Renderer* CreateWindowRenderer(SDL_Window* window);

// Whether an OpenGL renderer string names a rasteriser that runs on the CPU.
bool IsSoftwareRasteriser(const char* gl_renderer);

} // namespace platform
