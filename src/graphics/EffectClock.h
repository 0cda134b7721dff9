#pragma once
// The engine clock as the effects read it: GetTickCount when the application's clock switch is
// 1, else timeGetTime. Any thread.

#include <cstdint>

uint32_t GetEffectTime();
