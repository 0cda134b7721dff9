#pragma once
// The operating-system identity the program sees: Windows 10.0.

#include "platform/kernel/WinTypes.h"

// True when the reported version is at least major.minor (service pack 0).
bool IsWindowsVersionOrGreater(WORD major, WORD minor, WORD service_pack_major);
