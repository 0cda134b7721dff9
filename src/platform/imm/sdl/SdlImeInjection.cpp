// Editing events pushed through SDL's event queue.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/imm/ImeInjection.h"
#include "platform/user/WindowManager.h"
#include "platform/user/sdl/SdlInputInjection.h"

namespace platform {

bool PushEditing(HWND window, const char* utf8, int start, int length)
{
    WindowManager& manager = WindowManager::GetInstance();
    const WindowObject* object = manager.Device() != nullptr ? manager.Find(window) : nullptr;
    if (object == nullptr || object->native == 0 || utf8 == nullptr)
        return false;
    SDL_Event event{};
    const size_t size = std::strlen(utf8);
    if (size < sizeof(event.edit.text)) {
        event.type = SDL_TEXTEDITING;
        event.edit.windowID = object->native;
        std::memcpy(event.edit.text, utf8, size + 1);
        event.edit.start = start;
        event.edit.length = length;
    } else {
        // Longer texts travel in the extended form, which owns a copy SDL frees.
        event.type = SDL_TEXTEDITING_EXT;
        event.editExt.windowID = object->native;
        event.editExt.text = SDL_strdup(utf8);
        event.editExt.start = start;
        event.editExt.length = length;
    }
    const bool pushed = PushInjected(event);
    if (!pushed && event.type == SDL_TEXTEDITING_EXT)
        SDL_free(event.editExt.text);
    return pushed;
}

} // namespace platform
