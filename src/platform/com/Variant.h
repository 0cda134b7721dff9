#pragma once
// The automation types a property bag answers in: BSTR texts and VARIANTs holding a text or a
// byte array (SAFEARRAY of VT_UI1). Only what filter discovery reads.

#include "platform/kernel/WinTypes.h"

#include <string_view>

using BSTR = WCHAR*;
using VARTYPE = uint16_t;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_UI1 = 17;
inline constexpr VARTYPE VT_ARRAY = 0x2000;

struct SAFEARRAY
{
    ULONG cElements;
    void* pvData;
    LONG cLocks;
};

struct VARIANT
{
    VARTYPE vt;
    union {
        BSTR bstrVal;
        SAFEARRAY* parray;
    };
};

// A copy of the text with its length in front, as SysAllocString gives.
BSTR SysAllocStringLen(const WCHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

SAFEARRAY* SafeArrayCreateBytes(const BYTE* bytes, ULONG count);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
HRESULT SafeArrayDestroy(SAFEARRAY* array);

void VariantInit(VARIANT* value);
HRESULT VariantClear(VARIANT* value);
