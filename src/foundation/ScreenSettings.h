#pragma once
// Getters of the "/Screen" settings.
// FIXME: only the getters graphics code calls until the settings accessors are in.

#include <cstdint>

#include "platform/kernel/WinTypes.h"

// The logical screen size, 1920 x 1080 unless configured; exchanged when rotated and swap is 1.
SIZE GetScreenOriginalSize(int32_t swap);
