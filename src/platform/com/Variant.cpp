#include "platform/com/Variant.h"

#include <cstdlib>
#include <cstring>

BSTR SysAllocStringLen(const WCHAR* text, UINT length)
{
    auto* block = static_cast<uint8_t*>(std::malloc(sizeof(uint32_t) + (length + 1) * sizeof(WCHAR)));
    if (!block)
        return nullptr;
    const uint32_t bytes = length * sizeof(WCHAR);
    std::memcpy(block, &bytes, sizeof(bytes));
    auto* chars = reinterpret_cast<WCHAR*>(block + sizeof(uint32_t));
    if (text)
        std::memcpy(chars, text, bytes);
    else
        std::memset(chars, 0, bytes);
    chars[length] = 0;
    return chars;
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(reinterpret_cast<uint8_t*>(text) - sizeof(uint32_t));
}

UINT SysStringLen(BSTR text)
{
    if (!text)
        return 0;
    uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<uint8_t*>(text) - sizeof(uint32_t), sizeof(bytes));
    return bytes / sizeof(WCHAR);
}

SAFEARRAY* SafeArrayCreateBytes(const BYTE* bytes, ULONG count)
{
    auto* array = static_cast<SAFEARRAY*>(std::malloc(sizeof(SAFEARRAY) + count));
    if (!array)
        return nullptr;
    array->cElements = count;
    array->pvData = array + 1;
    array->cLocks = 0;
    if (count)
        std::memcpy(array->pvData, bytes, count);
    return array;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data)
{
    if (!array || !data)
        return E_INVALIDARG;
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array)
{
    if (!array || array->cLocks == 0)
        return E_UNEXPECTED;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array)
{
    if (array && array->cLocks != 0)
        return E_UNEXPECTED;
    std::free(array);
    return S_OK;
}

void VariantInit(VARIANT* value)
{
    value->vt = VT_EMPTY;
    value->parray = nullptr;
}

HRESULT VariantClear(VARIANT* value)
{
    if (value->vt == VT_BSTR)
        SysFreeString(value->bstrVal);
    else if (value->vt == (VT_ARRAY | VT_UI1))
        SafeArrayDestroy(value->parray);
    VariantInit(value);
    return S_OK;
}
