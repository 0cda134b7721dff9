#pragma once
// One process-wide buffer holding the last file read from the data archive ("data.arc") for the
// code that parses it in place. Main thread only.

#include "foundation/CStringUTF8.h"

#include <cstdint>

// Frees the previous file and reads the entry; archive exceptions pass to the caller (the buffer
// is then empty).
void LoadFileToGlobalBuffer(CStringUTF8 name);
const uint8_t* GetGlobalBuffer();
uint32_t GetGlobalBufferSize();
