#include "app/AppMessageBox.h"

#include <cstdio>

namespace {

AppMessageBoxHook& Hook()
{
    static auto* s_hook = new AppMessageBoxHook; // never destroyed: messages may come during exit
    return *s_hook;
}

} // namespace

int AppMessageBox(UINT flags, CStringUTF8 text)
{
    if (Hook())
        return Hook()(flags, text);
    // FIXME: show it through the application object's message box.
    std::fprintf(stderr, "%s\n", text.GetText());
    return 1; // IDOK
}

void SetAppMessageBoxHook(AppMessageBoxHook hook)
{
    Hook() = std::move(hook);
}
