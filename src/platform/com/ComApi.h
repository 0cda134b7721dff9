#pragma once
// COM apartment initialisation. There is no apartment to set up on Linux; the calls keep the
// per-thread use count and the results Windows gives, so callers' pairing stays right.

#include "platform/com/Unknown.h"
#include "platform/kernel/WinTypes.h"

#include <string>

inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106);

// S_OK for the thread's first call, S_FALSE for a repeated one (each must be paired with
// CoUninitialize), RPC_E_CHANGED_MODE when the model differs from the thread's first.
HRESULT CoInitializeEx(LPVOID reserved, DWORD co_init);
void CoUninitialize();
void CoFreeUnusedLibraries();

namespace platform {

// The calling thread's count of successful CoInitializeEx calls not yet undone.
int ComInitCount();
// Makes the calling thread's next CoInitializeEx fail with the given result (tests).
void FailNextCoInitialize(HRESULT result);

} // namespace platform

// Objects the layer can make: the filter graph and the filter mapper. REGDB_E_CLASSNOTREG for
// any other class, E_NOINTERFACE when the object lacks the interface.
HRESULT CoCreateInstance(const GUID& clsid, IUnknown* outer, DWORD context, const GUID& iid, void** object);
void* CoTaskMemAlloc(size_t bytes);
void CoTaskMemFree(void* block);
// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", either case; E_INVALIDARG for anything else.
HRESULT CLSIDFromString(LPCWSTR text, GUID* clsid);
// The same form in capitals, for a text the caller owns.
std::u16string GuidToString(const GUID& guid);
