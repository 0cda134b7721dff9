#include <SDL.h>

#include <memory>
#include <string>

#include "platform/kernel/Unicode.h"
#include "platform/user/ClipboardApi.h"

namespace {

struct ClipboardState
{
    bool open = false;
    std::string own_text; // used while SDL video is not running
    std::unique_ptr<std::u16string> block;
};

ClipboardState& State()
{
    static ClipboardState* state = new ClipboardState; // immortal: the layer outlives statics
    return *state;
}

bool UsesSdl()
{
    return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

std::string CurrentText()
{
    if (!UsesSdl())
        return State().own_text;
    char* text = SDL_GetClipboardText();
    std::string copy = text != nullptr ? text : "";
    SDL_free(text);
    return copy;
}

} // namespace

BOOL OpenClipboard(HWND)
{
    if (State().open)
        return FALSE;
    State().open = true;
    return TRUE;
}

BOOL CloseClipboard()
{
    if (!State().open)
        return FALSE;
    State().open = false;
    State().block.reset();
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    if (format != CF_TEXT && format != CF_UNICODETEXT)
        return FALSE;
    return (UsesSdl() ? SDL_HasClipboardText() == SDL_TRUE : !State().own_text.empty()) ? TRUE : FALSE;
}

HANDLE GetClipboardData(UINT format)
{
    if (!State().open || format != CF_UNICODETEXT)
        return nullptr;
    const std::string text = CurrentText();
    if (text.empty())
        return nullptr;
    State().block = std::make_unique<std::u16string>(platform::Utf8ToUtf16(text));
    return reinterpret_cast<HANDLE>(State().block.get());
}

LPVOID GlobalLock(HGLOBAL block)
{
    auto* text = reinterpret_cast<std::u16string*>(block);
    if (text == nullptr || text != State().block.get())
        return nullptr;
    return text->data();
}

BOOL GlobalUnlock(HGLOBAL)
{
    return FALSE; // the lock count reached 0, as for every unlock of a single lock
}

namespace platform {

void SetClipboardUtf8(std::string_view text)
{
    if (UsesSdl())
        SDL_SetClipboardText(std::string(text).c_str());
    else
        State().own_text = text;
}

} // namespace platform
