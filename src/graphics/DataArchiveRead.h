#pragma once
// Reads a whole entry of the document's data archive ("data.arc"): open, size, read, close.

#include <cstdint>
#include <vector>

// The entry's bytes; nothing before the document has a data archive. An archive error (a CString)
// passes on as the archive raises it, with the entry closed.
std::vector<uint8_t> ReadDataArchiveEntry(const char* name);
