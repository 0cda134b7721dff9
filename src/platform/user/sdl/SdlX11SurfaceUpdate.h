#pragma once
// Shows a small change of a window's surface on an X server without waiting for the server.
// SDL's update shares the surface's memory with the server and waits for its reply, so that the
// surface is not drawn into before the server read it: a second wake of the window thread for each
// change shown. A small change sent as bytes over the connection needs no reply. Main thread only.

#include <memory>

struct SDL_Rect;
struct SDL_Surface;
struct SDL_Window;

namespace platform {

class SdlX11SurfaceUpdate
{
public:
    SdlX11SurfaceUpdate();
    ~SdlX11SurfaceUpdate();
    SdlX11SurfaceUpdate(const SdlX11SurfaceUpdate&) = delete;
    SdlX11SurfaceUpdate& operator=(const SdlX11SurfaceUpdate&) = delete;

    // Sends `area` of the window's surface to its X window; false where that cannot be done
    // (another video driver or pixel layout) or is not worth it (an area too large to copy through
    // the connection), and the caller has SDL update it.
    bool Update(SDL_Window* window, SDL_Surface* surface, const SDL_Rect& area);

    // The most pixels sent as bytes; larger areas go through the shared memory.
    static constexpr long MAX_PIXELS = 256 * 256;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection; // made at the first update; null until then
    bool m_unusable = false;
};

} // namespace platform
