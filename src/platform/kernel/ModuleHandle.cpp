#include "platform/kernel/ModuleApi.h"

#include "platform/kernel/ErrorApi.h"

namespace {

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;

HINSTANCE__ g_module{}; // stands for the executable; its address is the module handle

} // namespace

HMODULE GetModuleHandleW(LPCWSTR module_name)
{
    if (module_name == nullptr)
        return &g_module;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}
