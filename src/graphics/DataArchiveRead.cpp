#include "graphics/DataArchiveRead.h"

std::vector<uint8_t> ReadDataArchiveEntry(const char*)
{
    // FIXME: read through the document's data archive once the archive reader is in.
    return {};
}
