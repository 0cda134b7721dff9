// Test input pushed through SDL's event queue.
#include <SDL.h>

#include <cstring>

#include "platform/user/InputInjection.h"
#include "platform/user/WindowManager.h"
#include "platform/user/sdl/SdlInputInjection.h"
#include "platform/user/sdl/SdlKeyMap.h"

namespace platform {

namespace {

// The SDL window id behind a top-level window, 0 when there is none.
uint32_t NativeIdOf(HWND window)
{
    WindowManager& manager = WindowManager::GetInstance();
    if (manager.Device() == nullptr)
        return 0;
    const WindowObject* object = manager.Find(window);
    return object != nullptr ? object->native : 0;
}

} // namespace

bool PushInjected(SDL_Event& event)
{
    if (SDL_PushEvent(&event) != 1)
        return false;
    // SDL's watch tells the headless rest of a push before the queue holds it: a second count
    // once it does keeps a poll between the two from passing the event over.
    if (VideoDevice* device = WindowManager::GetInstance().Device())
        device->Wake();
    return true;
}

bool PushKey(HWND window, int virtual_key, bool down)
{
    const uint32_t id = NativeIdOf(window);
    const SDL_Scancode scancode = sdl::ScancodeOfVirtualKey(virtual_key);
    if (id == 0 || scancode == SDL_SCANCODE_UNKNOWN)
        return false;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = id;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    return PushInjected(event);
}

bool PushMouseMove(HWND window, int x, int y)
{
    const uint32_t id = NativeIdOf(window);
    if (id == 0)
        return false;
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = id;
    event.motion.x = x;
    event.motion.y = y;
    return PushInjected(event);
}

bool PushMouseButton(HWND window, int button, bool down, int x, int y)
{
    const uint32_t id = NativeIdOf(window);
    if (id == 0)
        return false;
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = id;
    event.button.button = static_cast<Uint8>(button == 1   ? SDL_BUTTON_LEFT
                                             : button == 3 ? SDL_BUTTON_RIGHT
                                                           : SDL_BUTTON_MIDDLE);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return PushInjected(event);
}

bool PushWheel(HWND window, int steps)
{
    const uint32_t id = NativeIdOf(window);
    if (id == 0)
        return false;
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = id;
    event.wheel.y = steps;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return PushInjected(event);
}

bool PushFinger(HWND window, FingerPhase phase, int64_t finger, float x, float y)
{
    const uint32_t id = NativeIdOf(window);
    if (id == 0)
        return false;
    SDL_Event event{};
    event.type = phase == FingerPhase::Down   ? SDL_FINGERDOWN
                 : phase == FingerPhase::Move ? SDL_FINGERMOTION
                                              : SDL_FINGERUP;
    event.tfinger.windowID = id;
    event.tfinger.touchId = 1;
    event.tfinger.fingerId = finger;
    event.tfinger.x = x;
    event.tfinger.y = y;
    event.tfinger.pressure = phase == FingerPhase::Up ? 0.0f : 1.0f;
    return PushInjected(event);
}

bool PushText(HWND window, const char* utf8)
{
    const uint32_t id = NativeIdOf(window);
    if (id == 0 || utf8 == nullptr || std::strlen(utf8) >= sizeof(SDL_TextInputEvent::text))
        return false;
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = id;
    std::strcpy(event.text.text, utf8);
    return PushInjected(event);
}

bool PushWindowEvent(HWND window, InjectedWindowEvent kind)
{
    const uint32_t id = NativeIdOf(window);
    if (id == 0)
        return false;
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = id;
    switch (kind) {
    case InjectedWindowEvent::FocusGained:
        event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
        break;
    case InjectedWindowEvent::FocusLost:
        event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        break;
    case InjectedWindowEvent::Close:
        event.window.event = SDL_WINDOWEVENT_CLOSE;
        break;
    case InjectedWindowEvent::Minimized:
        event.window.event = SDL_WINDOWEVENT_MINIMIZED;
        break;
    case InjectedWindowEvent::Maximized:
        event.window.event = SDL_WINDOWEVENT_MAXIMIZED;
        break;
    case InjectedWindowEvent::Restored:
        event.window.event = SDL_WINDOWEVENT_RESTORED;
        break;
    case InjectedWindowEvent::Exposed:
        event.window.event = SDL_WINDOWEVENT_EXPOSED;
        break;
    }
    return PushInjected(event);
}

bool PushQuit()
{
    if (WindowManager::GetInstance().Device() == nullptr)
        return false;
    SDL_Event event{};
    event.type = SDL_QUIT;
    return PushInjected(event);
}

bool CaptureWindow(HWND window, std::vector<uint32_t>& pixels, int& width, int& height)
{
    WindowManager& manager = WindowManager::GetInstance();
    const WindowObject* object = manager.Find(window);
    if (object == nullptr || object->native == 0 || manager.Device() == nullptr)
        return false;
    SDL_Window* native = SDL_GetWindowFromID(object->native);
    if (native == nullptr)
        return false;
    manager.Render(window, &pixels);
    if (pixels.empty())
        return false;
    // A window drawn by the layer shows its surface, which has the window's size in pixels.
    if (SDL_Renderer* renderer = SDL_GetRenderer(native))
        SDL_GetRendererOutputSize(renderer, &width, &height);
    else
        SDL_GetWindowSizeInPixels(native, &width, &height);
    return static_cast<size_t>(width) * static_cast<size_t>(height) == pixels.size();
}

const char* GetVideoDriverName()
{
    const char* name = SDL_GetCurrentVideoDriver();
    return name != nullptr ? name : "";
}

} // namespace platform
