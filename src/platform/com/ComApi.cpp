#include "platform/com/ComApi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/dshow/DShowApi.h"
#include "platform/dsound/DSoundApi.h"
#include "platform/dshow/FilterGraph.h"
#include "platform/dshow/FilterMapper.h"

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

namespace {

int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

HRESULT CoCreateInstance(const GUID& clsid, IUnknown* outer, DWORD, const GUID& iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    IUnknown* made = nullptr;
    if (clsid == CLSID_FilterGraph)
        made = platform::CreateFilterGraph();
    else if (clsid == CLSID_FilterMapper2)
        made = platform::CreateFilterMapper();
    else
        return REGDB_E_CLASSNOTREG;
    if (!made)
        return E_OUTOFMEMORY;
    const HRESULT result = made->QueryInterface(iid, object);
    made->Release();
    return result;
}

void* CoTaskMemAlloc(size_t bytes)
{
    return std::malloc(bytes);
}

void CoTaskMemFree(void* block)
{
    std::free(block);
}

HRESULT CLSIDFromString(LPCWSTR text, GUID* clsid)
{
    // Offsets of the 32 hex digits in "{8-4-4-4-12}".
    static constexpr int LENGTH = 38;
    if (!text || !clsid)
        return E_INVALIDARG;
    uint8_t bytes[16] = {};
    int digit = 0;
    for (int i = 0; i < LENGTH; ++i) {
        const char16_t c = text[i];
        if (c == 0)
            return E_INVALIDARG;
        const bool brace = i == 0 || i == LENGTH - 1;
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (brace || dash) {
            if (c != (i == 0 ? u'{' : i == LENGTH - 1 ? u'}' : u'-'))
                return E_INVALIDARG;
            continue;
        }
        const int value = HexDigit(c);
        if (value < 0)
            return E_INVALIDARG;
        bytes[digit / 2] = static_cast<uint8_t>(bytes[digit / 2] << 4 | value);
        ++digit;
    }
    if (text[LENGTH] != 0)
        return E_INVALIDARG;
    clsid->Data1 = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    clsid->Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    clsid->Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        clsid->Data4[i] = bytes[8 + i];
    return S_OK;
}

std::u16string GuidToString(const GUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1, guid.Data2,
                  guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                  guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return std::u16string(text, text + std::strlen(text));
}
