#pragma once
// The movie code's volume record, held by the game work: Kind 1 while a movie started by the
// movie command plays, with the stream it plays on.

#include <cstdint>

struct MovieVolumeRecord
{
    uint32_t Kind = 0;
    int32_t Index = -1;
};
