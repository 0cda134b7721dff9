#pragma once
// The executable's binary resources through the Win32 calls: FindResourceW, then LoadResource and
// LockResource for the bytes and SizeofResource for their size. Names and types may be integer
// identifiers (MAKEINTRESOURCEW) or texts, where "#144" stands for the identifier 144 as on Windows.
// The bytes live as long as the program; nothing needs freeing.

#include "platform/kernel/WinTypes.h"

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL resource_data);
