#pragma once
// Reads a whole entry of the document's data archive ("data.arc"): open, size, read, close.

#include <cstdint>
#include <vector>

// The entry's bytes; an archive error passes on as the archive raises it.
std::vector<uint8_t> ReadDataArchiveEntry(const char* name);
