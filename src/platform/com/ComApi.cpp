#include "platform/com/ComApi.h"

namespace {

thread_local int t_init_count = 0;
thread_local DWORD t_model = 0;
thread_local HRESULT t_forced_failure = S_OK;

} // namespace

HRESULT CoInitializeEx(LPVOID, DWORD co_init)
{
    if (FAILED(t_forced_failure)) {
        const HRESULT result = t_forced_failure;
        t_forced_failure = S_OK;
        return result;
    }
    if (t_init_count > 0 && co_init != t_model)
        return RPC_E_CHANGED_MODE;
    t_model = co_init;
    return t_init_count++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_init_count > 0)
        --t_init_count;
}

void CoFreeUnusedLibraries() {}

namespace platform {

int ComInitCount()
{
    return t_init_count;
}

void FailNextCoInitialize(HRESULT result)
{
    t_forced_failure = result;
}

} // namespace platform
