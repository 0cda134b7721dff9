// LoadLibraryW and GetProcAddress over the one library the program looks into.
#include "platform/kernel/LibraryApi.h"

#include <atomic>
#include <cstring>
#include <string_view>

#include "platform/kernel/ErrorApi.h"
#include "platform/user/TouchApi.h"

namespace {

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

HINSTANCE__ g_user32{}; // stands for "User32.dll"; its address is the module handle
std::atomic<bool> g_touch_exported{true};

char16_t LowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool IsUser32(LPCWSTR name)
{
    std::u16string_view text(name);
    for (std::u16string_view wanted : {std::u16string_view(u"user32.dll"), std::u16string_view(u"user32")}) {
        if (text.size() != wanted.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < text.size() && same; ++i)
            same = LowerAscii(text[i]) == wanted[i];
        if (same)
            return true;
    }
    return false;
}

template <class Function>
FARPROC AsFarProc(Function function)
{
    return reinterpret_cast<FARPROC>(function);
}

} // namespace

HMODULE LoadLibraryW(LPCWSTR file_name)
{
    if (file_name != nullptr && IsUser32(file_name))
        return &g_user32;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    return module == &g_user32 ? TRUE : FALSE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR proc_name)
{
    if (module == &g_user32 && proc_name != nullptr && g_touch_exported.load()) {
        if (std::strcmp(proc_name, "RegisterTouchWindow") == 0)
            return AsFarProc(&RegisterTouchWindow);
        if (std::strcmp(proc_name, "UnregisterTouchWindow") == 0)
            return AsFarProc(&UnregisterTouchWindow);
        if (std::strcmp(proc_name, "GetTouchInputInfo") == 0)
            return AsFarProc(&GetTouchInputInfo);
        if (std::strcmp(proc_name, "CloseTouchInputHandle") == 0)
            return AsFarProc(&CloseTouchInputHandle);
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

namespace platform {

void SetTouchFunctionsExported(bool exported)
{
    g_touch_exported.store(exported);
}

} // namespace platform
