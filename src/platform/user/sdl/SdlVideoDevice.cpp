// The window layer's native side over SDL2: windows, events, pointer and the picture.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstring>
#include <ctime>
#include <memory>
#include <unordered_map>
#include <utility>

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/kernel/TimeApi.h"
#include "platform/kernel/Unicode.h"
#include "platform/user/FrameComposer.h"
#include "platform/user/RectApi.h"
#include "platform/user/UiCanvas.h"
#include "platform/user/VideoDevice.h"
#include "platform/user/WindowFrame.h"
#include "platform/user/sdl/SdlKeyMap.h"
#include "platform/user/sdl/SdlWindowRenderer.h"

namespace platform {

namespace {

struct TextureDestroyer
{
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
struct RendererDestroyer
{
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct WindowDestroyer
{
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct CursorDestroyer
{
    void operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }
};
using UniqueTexture = std::unique_ptr<SDL_Texture, TextureDestroyer>;

struct NativeWindow
{
    // Declared in destruction order's reverse: textures go before their renderer, the renderer
    // before its window.
    std::unique_ptr<SDL_Window, WindowDestroyer> window;
    // Frames on the CPU are drawn into the window's own surface, a GPU draws them with a renderer.
    enum class Shows
    {
        Undecided,
        Surface,
        Renderer,
    };
    Shows shows = Shows::Undecided;
    // What the surface holds: the regions a new frame leaves alone stay as they are.
    SDL_Surface* surface = nullptr; // not owned: the window's, replaced when it resizes
    int surface_width = 0;
    int surface_height = 0;
    RECT shown_destination{};
    int shown_width = 0;
    int shown_height = 0;
    std::unique_ptr<SDL_Renderer, RendererDestroyer> renderer;
    UniqueTexture chrome;
    int chrome_width = 0;
    int chrome_height = 0;
    UniqueTexture frame;
    int frame_width = 0;
    int frame_height = 0;
};

// SDL reports a state change it made for us as a window event, some at once and some (from the
// window system) later. Windows sends those messages from inside the call, so the ones SDL has
// already queued are dropped here; later ones meet a state that already matches them.
int DropStateEcho(void* userdata, SDL_Event* event)
{
    if (event->type != SDL_WINDOWEVENT || event->window.windowID != *static_cast<uint32_t*>(userdata))
        return 1;
    switch (event->window.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        return 0;
    default:
        return 1;
    }
}

void DropStateEchoes(uint32_t id)
{
    SDL_PumpEvents();
    SDL_FilterEvents(&DropStateEcho, &id);
}

// The headless rest sleeps on a counter in the kernel: a condition variable would add a lock,
// its clock reads and, once woken, a second system call to hand the lock back.
void SleepWhileUnchanged(std::atomic<uint32_t>& word, uint32_t seen, int timeout_ms)
{
    const timespec timeout{timeout_ms / 1000, static_cast<long>(timeout_ms % 1000) * 1'000'000L};
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT_PRIVATE, seen, &timeout, nullptr, 0);
}

void WakeSleepers(std::atomic<uint32_t>& word)
{
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

RECT FromSdl(const SDL_Rect& rect)
{
    return {rect.x, rect.y, rect.x + rect.w, rect.y + rect.h};
}

class SdlVideoDevice final : public VideoDevice
{
public:
    SdlVideoDevice() = default;
    ~SdlVideoDevice() override
    {
        m_windows.clear();
        m_cursors = {};
        m_custom_cursors.clear();
        if (m_polled_wait)
            SDL_DelEventWatch(&SdlVideoDevice::WatchPushes, this);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool Start()
    {
        // The program sets the screen saver itself; SDL must not switch it off on its own.
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        // Closing the window is a request the program answers, never a quit of its own.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        // The click that activates the window also reaches it, as on Windows.
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // Japanese compositions are longer than SDL's default 32 bytes.
        SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return false;
        // A window surface backed by an OpenGL texture would load OpenGL for what the CPU draws.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        // SDL starts text input with the video; the program switches the IME on when it wants it.
        SDL_StopTextInput();
        m_wake_event = SDL_RegisterEvents(1);
        const char* driver = SDL_GetCurrentVideoDriver();
        m_polled_wait =
            driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
        if (m_polled_wait) {
            // Every pushed event, from any thread (injected input), ends the wait below.
            SDL_AddEventWatch(&SdlVideoDevice::WatchPushes, this);
            // With no device to keep a poll busy, a poll that ends must mean an empty queue, not
            // the end of one cycle with later pushes left behind its mark.
            SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
        }
        return true;
    }

    int GetDisplayCount() override { return std::max(SDL_GetNumVideoDisplays(), 0); }

    RECT GetDisplayBounds(int index) override
    {
        SDL_Rect rect{};
        if (SDL_GetDisplayBounds(index, &rect) != 0)
            return {0, 0, 1920, 1080};
        return FromSdl(rect);
    }

    RECT GetDisplayUsableBounds(int index) override
    {
        SDL_Rect rect{};
        if (SDL_GetDisplayUsableBounds(index, &rect) != 0)
            return GetDisplayBounds(index);
        return FromSdl(rect);
    }

    uint32_t CreateNativeWindow(const std::u16string& title, const RECT& rect, bool bordered) override
    {
        const std::string utf8 = Utf16ToUtf8(title);
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (!bordered)
            flags |= SDL_WINDOW_BORDERLESS;
        SDL_Window* window =
            SDL_CreateWindow(utf8.c_str(), rect.left, rect.top, std::max<int>(rect.right - rect.left, 1),
                             std::max<int>(rect.bottom - rect.top, 1), flags);
        if (window == nullptr)
            return 0;
        const uint32_t id = SDL_GetWindowID(window);
        DropStateEchoes(id);
        auto native = std::make_unique<NativeWindow>();
        native->window.reset(window);
        m_windows[id] = std::move(native);
        return id;
    }

    void DestroyNativeWindow(uint32_t id) override
    {
        auto found = m_windows.find(id);
        if (found == m_windows.end())
            return;
        NativeWindow& native = *found->second;
        native.chrome.reset();
        native.frame.reset();
        native.renderer.reset();
        native.window.reset();
        m_windows.erase(found);
    }

    void SetTitle(uint32_t id, const std::u16string& title) override
    {
        if (SDL_Window* window = WindowOf(id))
            SDL_SetWindowTitle(window, Utf16ToUtf8(title).c_str());
    }

    void SetGeometry(uint32_t id, const RECT& rect) override
    {
        SDL_Window* window = WindowOf(id);
        if (window == nullptr)
            return;
        SDL_SetWindowSize(window, std::max<int>(rect.right - rect.left, 1),
                          std::max<int>(rect.bottom - rect.top, 1));
        SDL_SetWindowPosition(window, rect.left, rect.top);
        DropStateEchoes(id);
    }

    void SetBordered(uint32_t id, bool bordered) override
    {
        if (SDL_Window* window = WindowOf(id)) {
            SDL_SetWindowBordered(window, bordered ? SDL_TRUE : SDL_FALSE);
            DropStateEchoes(id);
        }
    }

    void SetFullscreenDesktop(uint32_t id, bool fullscreen) override
    {
        if (SDL_Window* window = WindowOf(id)) {
            SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
            DropStateEchoes(id);
        }
    }

    void Show(uint32_t id) override
    {
        if (SDL_Window* window = WindowOf(id)) {
            SDL_ShowWindow(window);
            DropStateEchoes(id);
        }
    }

    void Hide(uint32_t id) override
    {
        if (SDL_Window* window = WindowOf(id)) {
            SDL_HideWindow(window);
            DropStateEchoes(id);
        }
    }

    void Minimize(uint32_t id) override
    {
        if (SDL_Window* window = WindowOf(id)) {
            SDL_MinimizeWindow(window);
            DropStateEchoes(id);
        }
    }

    void Maximize(uint32_t id) override
    {
        if (SDL_Window* window = WindowOf(id)) {
            SDL_MaximizeWindow(window);
            DropStateEchoes(id);
        }
    }

    void Restore(uint32_t id) override
    {
        if (SDL_Window* window = WindowOf(id)) {
            SDL_RestoreWindow(window);
            DropStateEchoes(id);
        }
    }

    void Raise(uint32_t id) override
    {
        if (SDL_Window* window = WindowOf(id))
            SDL_RaiseWindow(window);
    }

    std::optional<NativeEvent> PollEvent() override
    {
        // A driver without a wait of its own has nothing to pump in (see WaitForEvent): with
        // nothing pushed since the queue was last found empty, there is nothing to take.
        const uint32_t pushes = m_pushes.load();
        if (m_polled_wait && pushes == m_pushes_seen)
            return std::nullopt;
        SDL_Event event;
        while (SDL_PollEvent(&event) == 1) {
            if (auto translated = Translate(event))
                return translated;
        }
        // A wait begins a poll cycle: what came during it (a wake) lies behind the cycle's end,
        // and left there it would end the next rest at once.
        if (!m_polled_wait && SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
            while (SDL_PollEvent(&event) == 1) {
                if (auto translated = Translate(event))
                    return translated;
            }
        }
        m_pushes_seen = pushes;
        return std::nullopt;
    }

    bool WaitForEvent(int timeout_ms) override
    {
        if (!m_polled_wait)
            return SDL_WaitEventTimeout(nullptr, timeout_ms) == 1;
        // A driver without a wait of its own has SDL poll every millisecond. Its events are only
        // the ones pushed (test input), so the wait is on those and on Wake alone, and there is
        // nothing to pump in (the termination signals are the program's own). Anything counted
        // since the queue was last found empty, a wake included, ends the rest at once.
        const uint32_t pushes = m_pushes.load();
        if (pushes != m_pushes_seen)
            return true;
        // A wait already over still sleeps in the kernel: a switch away and back for nothing.
        if (timeout_ms > 0)
            SleepWhileUnchanged(m_pushes, pushes, timeout_ms);
        return m_pushes.load() != pushes;
    }

    void Wake() override
    {
        if (m_polled_wait) {
            // Counted like a push, so it is kept for a rest about to begin; the injected input
            // wakes too once SDL has queued its event, which its watch counted before.
            m_pushes++;
            WakeSleepers(m_pushes);
            return;
        }
        // An event of our own type: SDL ends its wait on any pushed event, and Translate drops it.
        SDL_Event event{};
        event.type = m_wake_event;
        if (m_wake_event != static_cast<Uint32>(-1))
            SDL_PushEvent(&event);
    }

    static int SDLCALL WatchPushes(void* self, SDL_Event*)
    {
        auto* device = static_cast<SdlVideoDevice*>(self);
        device->m_pushes++;
        WakeSleepers(device->m_pushes);
        return 0;
    }

    int GetRefreshRate(uint32_t id) override
    {
        SDL_DisplayMode mode{};
        SDL_Window* window = WindowOf(id);
        if (window == nullptr || SDL_GetWindowDisplayMode(window, &mode) != 0)
            return 0;
        return mode.refresh_rate;
    }

    void SetCursor(SystemCursor cursor) override
    {
        const size_t index = static_cast<size_t>(cursor);
        if (!m_cursors[index]) {
            static constexpr SDL_SystemCursor SDL_CURSORS[] = {
                SDL_SYSTEM_CURSOR_ARROW,     SDL_SYSTEM_CURSOR_IBEAM,    SDL_SYSTEM_CURSOR_WAIT,
                SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZENESW,
                SDL_SYSTEM_CURSOR_SIZEWE,    SDL_SYSTEM_CURSOR_SIZENS,   SDL_SYSTEM_CURSOR_SIZEALL,
                SDL_SYSTEM_CURSOR_NO,        SDL_SYSTEM_CURSOR_HAND,
            };
            m_cursors[index].reset(SDL_CreateSystemCursor(SDL_CURSORS[index]));
        }
        if (m_cursors[index])
            SDL_SetCursor(m_cursors[index].get());
    }

    void SetCustomCursor(uint16_t id, const CursorImage& image) override
    {
        auto& cursor = m_custom_cursors[id];
        if (!cursor)
            cursor.reset(SDL_CreateCursor(image.colour.data(), image.mask.data(), CURSOR_SIDE, CURSOR_SIDE,
                                          image.hot_x, image.hot_y));
        if (cursor)
            SDL_SetCursor(cursor.get());
        else
            SetCursor(SystemCursor::Arrow);
    }

    void ShowPointer(bool show) override { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

    void WarpPointer(uint32_t id, int x, int y) override
    {
        if (SDL_Window* window = WindowOf(id))
            SDL_WarpMouseInWindow(window, x, y);
    }

    void CapturePointer(bool capture) override { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }

    void SetTextInput(bool enabled) override
    {
        if (enabled)
            SDL_StartTextInput();
        else
            SDL_StopTextInput();
    }

    void SetTextInputRect(uint32_t, const RECT& rect) override
    {
        SDL_Rect area{rect.left, rect.top, std::max<int>(rect.right - rect.left, 1),
                      std::max<int>(rect.bottom - rect.top, 1)};
        SDL_SetTextInputRect(&area);
    }

    void ClearComposition() override { SDL_ClearComposition(); }

    void Present(uint32_t id, const WindowFrame* frame, const RECT& frame_changed, const POINT& frame_origin,
                 const UiCanvas& chrome, bool chrome_changed, std::vector<uint32_t>* capture) override
    {
        auto found = m_windows.find(id);
        if (found == m_windows.end())
            return;
        NativeWindow& native = *found->second;
        if (native.shows == NativeWindow::Shows::Undecided) {
            // The dummy driver has no GPU; trying one would recreate (hide and show) the window.
            const bool dummy = std::strcmp(SDL_GetCurrentVideoDriver(), "dummy") == 0;
            native.renderer.reset(dummy ? nullptr : CreateWindowRenderer(native.window.get()));
            native.shows = native.renderer ? NativeWindow::Shows::Renderer : NativeWindow::Shows::Surface;
            DropStateEchoes(id);
        }
        if (native.shows == NativeWindow::Shows::Surface) {
            if (m_polled_wait && capture == nullptr) {
                // No display shows a headless window's surface: it is drawn only for a capture,
                // then whole, as a surface not drawn into last time is.
                native.surface = nullptr;
                return;
            }
            if (PresentToSurface(native, frame, frame_changed, frame_origin, chrome, chrome_changed, capture))
                return;
            native.shows = NativeWindow::Shows::Renderer;
        }
        if (!native.renderer) {
            native.renderer.reset(CreateCpuRenderer(native.window.get()));
            DropStateEchoes(id);
            if (!native.renderer)
                return;
        }
        SDL_Renderer* renderer = native.renderer.get();
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        if (frame != nullptr && frame->width > 0 && frame->height > 0 &&
            frame->pixels.size() >= static_cast<size_t>(frame->width) * static_cast<size_t>(frame->height)) {
            // The texture keeps the frame last shown: only what differs from it is uploaded.
            RECT upload = frame_changed;
            if (!native.frame || native.frame_width != frame->width || native.frame_height != frame->height) {
                native.frame.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                     SDL_TEXTUREACCESS_STREAMING, frame->width,
                                                     frame->height));
                native.frame_width = frame->width;
                native.frame_height = frame->height;
                if (native.frame)
                    SDL_SetTextureBlendMode(native.frame.get(), SDL_BLENDMODE_NONE);
                upload = WHOLE_PICTURE;
            }
            if (native.frame) {
                const RECT bounds{0, 0, frame->width, frame->height};
                RECT part{};
                if (IntersectRect(&part, &upload, &bounds)) {
                    const SDL_Rect area{part.left, part.top, part.right - part.left, part.bottom - part.top};
                    const uint32_t* first =
                        frame->pixels.data() +
                        static_cast<size_t>(part.top) * static_cast<size_t>(frame->width) +
                        static_cast<size_t>(part.left);
                    SDL_UpdateTexture(native.frame.get(), &area, first, frame->width * 4);
                }
                const RECT& target = frame->destination;
                SDL_Rect destination{frame_origin.x + target.left, frame_origin.y + target.top,
                                     target.right - target.left, target.bottom - target.top};
                SDL_SetTextureScaleMode(native.frame.get(), SDL_ScaleModeLinear);
                SDL_RenderCopy(renderer, native.frame.get(), nullptr, &destination);
            }
        }
        if (!chrome.IsEmpty() && chrome.Width() > 0 && chrome.Height() > 0) {
            const bool resized = !native.chrome || native.chrome_width != chrome.Width() ||
                                 native.chrome_height != chrome.Height();
            if (resized) {
                native.chrome.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                      SDL_TEXTUREACCESS_STREAMING, chrome.Width(),
                                                      chrome.Height()));
                native.chrome_width = chrome.Width();
                native.chrome_height = chrome.Height();
                if (native.chrome)
                    SDL_SetTextureBlendMode(native.chrome.get(), SDL_BLENDMODE_BLEND);
            }
            // Only the drawn part is uploaded and blended: mostly just the menu bar.
            const RECT bounds = chrome.DrawnBounds();
            const SDL_Rect part{bounds.left, bounds.top, bounds.right - bounds.left,
                                bounds.bottom - bounds.top};
            if (native.chrome && (chrome_changed || resized)) {
                const uint32_t* first = chrome.Pixels().data() +
                                        static_cast<size_t>(part.y) * static_cast<size_t>(chrome.Width()) +
                                        static_cast<size_t>(part.x);
                SDL_UpdateTexture(native.chrome.get(), &part, first, chrome.Width() * 4);
            }
            if (native.chrome)
                SDL_RenderCopy(renderer, native.chrome.get(), &part, &part);
        }
        if (capture != nullptr) {
            int width = 0;
            int height = 0;
            SDL_GetRendererOutputSize(renderer, &width, &height);
            capture->assign(
                static_cast<size_t>(std::max(width, 0)) * static_cast<size_t>(std::max(height, 0)), 0);
            if (!capture->empty() && SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888,
                                                          capture->data(), width * 4) != 0)
                capture->clear();
        }
        SDL_RenderPresent(renderer);
    }

private:
    // Draws what changed of the picture into the window's surface and shows only that: a frame
    // changed in `frame_changed`, everything when the chrome, the surface or the frame's place
    // changed. False when the surface cannot be drawn into.
    static bool PresentToSurface(NativeWindow& native, const WindowFrame* frame, const RECT& frame_changed,
                                 const POINT& frame_origin, const UiCanvas& chrome, bool chrome_changed,
                                 std::vector<uint32_t>* capture)
    {
        SDL_Surface* surface = SDL_GetWindowSurface(native.window.get());
        if (surface == nullptr || (surface->format->format != SDL_PIXELFORMAT_RGB888 &&
                                   surface->format->format != SDL_PIXELFORMAT_ARGB8888))
            return false;
        const bool drawable =
            frame != nullptr && frame->width > 0 && frame->height > 0 &&
            frame->pixels.size() >= static_cast<size_t>(frame->width) * static_cast<size_t>(frame->height);
        RECT destination{};
        if (drawable) {
            destination = frame->destination;
            OffsetRect(&destination, frame_origin.x, frame_origin.y);
        }
        const int width = drawable ? frame->width : 0;
        const int height = drawable ? frame->height : 0;
        const bool whole = chrome_changed || surface != native.surface ||
                           surface->w != native.surface_width || surface->h != native.surface_height ||
                           !EqualRect(&destination, &native.shown_destination) ||
                           width != native.shown_width || height != native.shown_height;
        native.surface = surface;
        native.surface_width = surface->w;
        native.surface_height = surface->h;
        native.shown_destination = destination;
        native.shown_width = width;
        native.shown_height = height;
        const RECT bounds{0, 0, surface->w, surface->h};
        const RECT wanted = whole      ? bounds
                            : drawable ? ShownChange(frame_changed, width, height, destination)
                                       : RECT{};
        RECT area{};
        IntersectRect(&area, &wanted, &bounds);
        if (!IsRectEmpty(&area)) {
            if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
                return true;
            const ComposeTarget target{static_cast<uint32_t*>(surface->pixels), surface->pitch / 4,
                                       surface->w, surface->h, SDL_MapRGB(surface->format, 0, 0, 0)};
            ComposeFrame(target, drawable ? frame : nullptr, destination, area);
            if (SDL_MUSTLOCK(surface))
                SDL_UnlockSurface(surface);
            BlendChrome(surface, chrome, area);
        }
        if (capture != nullptr) {
            const bool opaque = surface->format->format == SDL_PIXELFORMAT_RGB888;
            capture->resize(static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h));
            for (int y = 0; y < surface->h; ++y) {
                const auto* row =
                    reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) +
                                                      static_cast<ptrdiff_t>(y) * surface->pitch);
                uint32_t* out = capture->data() + static_cast<size_t>(y) * static_cast<size_t>(surface->w);
                for (int x = 0; x < surface->w; ++x)
                    out[x] = opaque ? row[x] | 0xFF000000u : row[x];
            }
        }
        if (!IsRectEmpty(&area)) {
            const SDL_Rect shown{area.left, area.top, area.right - area.left, area.bottom - area.top};
            SDL_UpdateWindowSurfaceRects(native.window.get(), &shown, 1);
        }
        return true;
    }

    // The drawn part of the chrome canvas blended over the area, as a renderer blends a texture.
    static void BlendChrome(SDL_Surface* surface, const UiCanvas& chrome, const RECT& area)
    {
        if (chrome.IsEmpty() || chrome.Width() <= 0 || chrome.Height() <= 0)
            return;
        const RECT drawn_bounds = chrome.DrawnBounds();
        RECT drawn{};
        if (!IntersectRect(&drawn, &drawn_bounds, &area))
            return;
        // SDL only reads the canvas.
        SDL_Surface* view = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(chrome.Pixels().data()),
                                                               chrome.Width(), chrome.Height(), 32,
                                                               chrome.Width() * 4, SDL_PIXELFORMAT_ARGB8888);
        if (view == nullptr)
            return;
        SDL_SetSurfaceBlendMode(view, SDL_BLENDMODE_BLEND);
        SDL_Rect from{drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top};
        SDL_Rect to = from;
        SDL_BlitSurface(view, &from, surface, &to);
        SDL_FreeSurface(view);
    }

    SDL_Window* WindowOf(uint32_t id) const
    {
        auto found = m_windows.find(id);
        return found == m_windows.end() ? nullptr : found->second->window.get();
    }

    std::optional<NativeEvent> Translate(const SDL_Event& event)
    {
        using Type = NativeEvent::Type;
        NativeEvent result;
        result.time = timeGetTime();
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const sdl::KeyMapping mapping = sdl::MapScancode(event.key.keysym.scancode);
            if (mapping.virtual_key == 0)
                return std::nullopt;
            result.type = event.type == SDL_KEYDOWN ? Type::KeyDown : Type::KeyUp;
            result.window = event.key.windowID;
            result.virtual_key = mapping.virtual_key;
            result.side_key = mapping.side_key;
            result.scan_code = mapping.scan_code;
            result.extended = mapping.extended;
            result.repeat = event.key.repeat != 0;
            return result;
        }
        case SDL_TEXTINPUT:
            result.type = Type::Text;
            result.window = event.text.windowID;
            result.text = Utf8ToUtf16(event.text.text);
            return result;
        case SDL_TEXTEDITING:
            result.type = Type::Editing;
            result.window = event.edit.windowID;
            result.text = Utf8ToUtf16(event.edit.text);
            result.edit_start = event.edit.start;
            result.edit_length = event.edit.length;
            return result;
        case SDL_TEXTEDITING_EXT:
            // The long form owns its text.
            result.type = Type::Editing;
            result.window = event.editExt.windowID;
            result.text = event.editExt.text ? Utf8ToUtf16(event.editExt.text) : std::u16string();
            result.edit_start = event.editExt.start;
            result.edit_length = event.editExt.length;
            SDL_free(event.editExt.text);
            return result;
        case SDL_MOUSEMOTION:
            result.type = Type::MouseMove;
            result.window = event.motion.windowID;
            result.x = event.motion.x;
            result.y = event.motion.y;
            return result;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT &&
                event.button.button != SDL_BUTTON_MIDDLE)
                return std::nullopt;
            result.type = event.type == SDL_MOUSEBUTTONDOWN ? Type::ButtonDown : Type::ButtonUp;
            result.window = event.button.windowID;
            result.button = event.button.button == SDL_BUTTON_LEFT    ? 1
                            : event.button.button == SDL_BUTTON_RIGHT ? 3
                                                                      : 2;
            result.x = event.button.x;
            result.y = event.button.y;
            return result;
        case SDL_MOUSEWHEEL:
            result.type = Type::Wheel;
            result.window = event.wheel.windowID;
            result.wheel = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            return result;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            result.type = event.type == SDL_FINGERDOWN     ? Type::FingerDown
                          : event.type == SDL_FINGERMOTION ? Type::FingerMove
                                                           : Type::FingerUp;
            result.window = event.tfinger.windowID;
            result.finger = static_cast<int64_t>(event.tfinger.fingerId);
            result.finger_x = event.tfinger.x;
            result.finger_y = event.tfinger.y;
            return result;
        case SDL_QUIT:
            result.type = Type::Quit;
            return result;
        case SDL_WINDOWEVENT:
            result.window = event.window.windowID;
            switch (event.window.event) {
            case SDL_WINDOWEVENT_SHOWN:
                result.type = Type::Shown;
                return result;
            case SDL_WINDOWEVENT_HIDDEN:
                result.type = Type::Hidden;
                return result;
            case SDL_WINDOWEVENT_EXPOSED:
                result.type = Type::Exposed;
                return result;
            case SDL_WINDOWEVENT_MOVED:
                result.type = Type::Moved;
                result.x = event.window.data1;
                result.y = event.window.data2;
                return result;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                result.type = Type::Resized;
                result.x = event.window.data1;
                result.y = event.window.data2;
                return result;
            case SDL_WINDOWEVENT_MINIMIZED:
                result.type = Type::Minimized;
                return result;
            case SDL_WINDOWEVENT_MAXIMIZED:
                result.type = Type::Maximized;
                return result;
            case SDL_WINDOWEVENT_RESTORED:
                result.type = Type::Restored;
                return result;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                result.type = Type::FocusGained;
                return result;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                result.type = Type::FocusLost;
                return result;
            case SDL_WINDOWEVENT_CLOSE:
                result.type = Type::Close;
                return result;
            default:
                return std::nullopt;
            }
        default:
            return std::nullopt;
        }
    }

    std::unordered_map<uint32_t, std::unique_ptr<NativeWindow>> m_windows;
    Uint32 m_wake_event = static_cast<Uint32>(-1); // set before any other thread sees the device
    bool m_polled_wait = false;                    // the same
    std::atomic<uint32_t> m_pushes{0};             // events pushed (counted by the watch) and wakes
    uint32_t m_pushes_seen = UINT32_MAX;           // the count when the queue was last found empty
    std::array<std::unique_ptr<SDL_Cursor, CursorDestroyer>, 11> m_cursors;
    std::unordered_map<uint16_t, std::unique_ptr<SDL_Cursor, CursorDestroyer>> m_custom_cursors;
};

} // namespace

std::unique_ptr<VideoDevice> CreateSdlVideoDevice()
{
    auto device = std::make_unique<SdlVideoDevice>();
    if (!device->Start())
        return nullptr;
    return device;
}

} // namespace platform
