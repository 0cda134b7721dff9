#include "app/AppMessageBox.h"

#include <mutex>

#include "app/CWinApp.h"
#include "foundation/OrderedMutex.h"
#include "foundation/PlayerMessage.h"
#include "platform/kernel/ModuleApi.h"
#include "platform/user/MessageBoxApi.h"

namespace {

OrderedMutex g_hook_mutex{LOCK_LEVEL_MESSAGE_BOX_HOOK}; // guards Hook(): messages come from sound threads too

AppMessageBoxHook& Hook()
{
    static auto* s_hook = new AppMessageBoxHook; // never destroyed: messages may come during exit
    return *s_hook;
}

// The foundation and the sound pool show their messages through the application's box.
const PlayerMessageSink g_installed_sink = SetPlayerMessageSink(&AppMessageBox);

} // namespace

UINT WithDefaultMessageIcon(UINT flags)
{
    const UINT buttons = flags & MB_TYPEMASK;
    if ((flags & MB_ICONMASK) == 0 &&
        (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL || buttons == MB_YESNO))
        flags |= MB_ICONEXCLAMATION;
    return flags;
}

int AppMessageBox(UINT flags, CStringUTF8 text)
{
    AppMessageBoxHook hook;
    {
        std::lock_guard lock(g_hook_mutex);
        hook = Hook();
    }
    if (hook)
        return hook(flags, text);
    if (CWinApp* app = GetApp())
        return app->MessageBox(text, flags);
    // Before the application object exists, and after it is gone, the executable's path is
    // the caption.
    char16_t module_path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module_path, MAX_PATH);
    return MessageBoxW(nullptr, text.GetWideText(), module_path, WithDefaultMessageIcon(flags));
}

void SetAppMessageBoxHook(AppMessageBoxHook hook)
{
    std::lock_guard lock(g_hook_mutex);
    Hook() = std::move(hook);
}
