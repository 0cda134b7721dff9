#pragma once
// How much of a block of memory the system holds in RAM now: a layer whose pixels went back to
// the system holds none of its pages until it is drawn into again.

#include <cstddef>

class ILayer;

// The bytes of the pages wholly inside the block that are resident: a page the block shares with
// its neighbours at either end cannot go back with it.
size_t ResidentBytes(const void* block, size_t bytes);
// Those of a layer's pixels (none for a layer without any).
size_t ResidentBytes(ILayer* layer);
