#include "platform/user/sdl/SdlX11SurfaceUpdate.h"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace platform {

#if defined(SDL_VIDEO_DRIVER_X11)

struct SdlX11SurfaceUpdate::Connection
{
    Display* display = nullptr; // SDL's: used on the thread SDL uses it on
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;

    ~Connection()
    {
        if (gc != nullptr)
            XFreeGC(display, gc);
    }
};

SdlX11SurfaceUpdate::SdlX11SurfaceUpdate() = default;
SdlX11SurfaceUpdate::~SdlX11SurfaceUpdate() = default;

bool SdlX11SurfaceUpdate::Update(SDL_Window* window, SDL_Surface* surface, const SDL_Rect& area)
{
    if (m_unusable || static_cast<long>(area.w) * area.h > MAX_PIXELS || area.w <= 0 || area.h <= 0)
        return false;
    if (surface->format->BytesPerPixel != 4)
        return false;
    // Asked each time: SDL makes a new X window when it recreates one (for another renderer).
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        m_unusable = true;
        return false;
    }
    if (!m_connection || m_connection->window != info.info.x11.window) {
        m_connection.reset();
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) == 0 ||
            attributes.depth != 24 || attributes.visual->red_mask != surface->format->Rmask ||
            attributes.visual->green_mask != surface->format->Gmask ||
            attributes.visual->blue_mask != surface->format->Bmask) {
            m_unusable = true;
            return false;
        }
        auto connection = std::make_unique<Connection>();
        connection->display = info.info.x11.display;
        connection->window = info.info.x11.window;
        connection->visual = attributes.visual;
        connection->depth = attributes.depth;
        connection->gc = XCreateGC(connection->display, connection->window, 0, nullptr);
        if (connection->gc == nullptr)
            return false;
        m_connection = std::move(connection);
    }
    const Connection& x = *m_connection;
    // The image only describes the surface's memory; XPutImage copies the area into the request.
    XImage* image = XCreateImage(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, 0,
                                 static_cast<char*>(surface->pixels), static_cast<unsigned>(surface->w),
                                 static_cast<unsigned>(surface->h), 32, surface->pitch);
    if (image == nullptr)
        return false;
    XPutImage(x.display, x.window, x.gc, image, area.x, area.y, area.x, area.y, static_cast<unsigned>(area.w),
              static_cast<unsigned>(area.h));
    image->data = nullptr; // the surface's, not the image's to free
    XDestroyImage(image);
    XFlush(x.display);
    return true;
}

#else

struct SdlX11SurfaceUpdate::Connection
{};

SdlX11SurfaceUpdate::SdlX11SurfaceUpdate() = default;
SdlX11SurfaceUpdate::~SdlX11SurfaceUpdate() = default;

bool SdlX11SurfaceUpdate::Update(SDL_Window*, SDL_Surface*, const SDL_Rect&)
{
    return false;
}

#endif

} // namespace platform
