// Message boxes of the program: on the main thread the layer's own drawn box (over the game window,
// or in a small window of its own before the game window exists); from other threads SDL's box,
// which needs no initialisation. When no display can show one, the box goes to standard error.

#include <SDL.h>
#include <algorithm>

#include "platform/kernel/Unicode.h"
#include "platform/user/DrawnMessageBox.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/MessageBoxPolicy.h"
#include "platform/user/WindowApi.h"

namespace platform {

namespace {

const char* ButtonLabel(int id)
{
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    case IDTRYAGAIN:
        return "Try Again";
    default:
        return "Continue";
    }
}

Uint32 IconFlags(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION:
        return SDL_MESSAGEBOX_WARNING;
    default:
        return SDL_MESSAGEBOX_INFORMATION;
    }
}

class SdlMessageBoxPolicy final : public MessageBoxPolicy
{
public:
    int Show(const MessageBoxRequest& request) override
    {
        // On the main thread the layer draws the box itself, so Japanese texts show whatever
        // fonts the desktop's message boxes use; other threads must not touch the windows.
        if (IsUserInterfaceThread()) {
            if (const int pressed =
                    ShowDrawnMessageBox(request.owner, request.text, request.caption, request.type))
                return pressed;
        }
        const std::vector<int> ids = ButtonsOfType(request.type);
        const int default_id = DefaultButtonOfType(request.type);
        // Escape and the close box mean Cancel where there is one, and OK on a lone OK button.
        const bool has_cancel = std::find(ids.begin(), ids.end(), IDCANCEL) != ids.end();
        const int escape_id = has_cancel ? IDCANCEL : (ids.size() == 1 ? ids.front() : -1);

        std::vector<SDL_MessageBoxButtonData> buttons;
        for (int id : ids) {
            Uint32 flags = 0;
            if (id == default_id)
                flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            if (id == escape_id)
                flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            buttons.push_back({flags, id, ButtonLabel(id)});
        }
        const std::string caption = Utf16ToUtf8(request.caption);
        const std::string text = Utf16ToUtf8(request.text);
        const SDL_MessageBoxData data{
            IconFlags(request.type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
            nullptr,
            caption.c_str(),
            text.c_str(),
            static_cast<int>(buttons.size()),
            buttons.data(),
            nullptr,
        };
        int pressed = -1;
        if (SDL_ShowMessageBox(&data, &pressed) != 0)
            return m_fallback->Show(request);
        if (pressed < 0)
            return escape_id >= 0 ? escape_id : default_id;
        return pressed;
    }

private:
    std::unique_ptr<MessageBoxPolicy> m_fallback = CreateStderrMessageBoxPolicy();
};

} // namespace

std::unique_ptr<MessageBoxPolicy> CreateSdlMessageBoxPolicy()
{
    return std::make_unique<SdlMessageBoxPolicy>();
}

} // namespace platform
