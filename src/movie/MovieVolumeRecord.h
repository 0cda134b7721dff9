#pragma once
// The movie code's volume record, held by the game work.

#include <cstdint>

struct MovieVolumeRecord
{
    uint32_t First = 0;
    int32_t Second = -1;
};
