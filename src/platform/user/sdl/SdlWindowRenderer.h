#pragma once
// The renderer a game window presents its frames with. Main thread only, as all SDL video calls.

struct SDL_Renderer;
struct SDL_Window;

namespace platform {

// The accelerated renderer; null when its OpenGL would run on the CPU (Mesa's llvmpipe, softpipe
// or swrast: an X server without direct rendering, as Xvfb, or a machine without a GPU driver),
// where the window's own surface, drawn by the layer, shows the same frames with less memory and
// CPU, and null when none can be made. SDL_RENDER_DRIVER, when set, chooses alone.
SDL_Renderer* CreateWindowRenderer(SDL_Window* window);

// SDL's software renderer, else whatever renderer the window can have: for a window whose surface
// the layer cannot draw into. Null when none can be made.
SDL_Renderer* CreateCpuRenderer(SDL_Window* window);

// Whether an OpenGL renderer string names a rasteriser that runs on the CPU.
bool IsSoftwareRasteriser(const char* gl_renderer);

} // namespace platform
