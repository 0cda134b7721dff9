#pragma once
// Typed getters of the "/Config" settings.
// FIXME: only the getters graphics code calls until the settings accessors are in.

#include <cstdint>

// "/Config/DisplayEffect/Speed": 0 normal, 1 halves animation steps, 2 makes them one frame.
int32_t GetConfigDisplayEffectSpeed();
