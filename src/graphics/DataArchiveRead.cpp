#include "graphics/DataArchiveRead.h"

#include "foundation/CArchiveManager.h"
#include "foundation/DocumentLink.h"

std::vector<uint8_t> ReadDataArchiveEntry(const char* name)
{
    DocumentLink* link = GetDocumentLink();
    CArchiveManager* archive = link != nullptr ? link->GetDataArchive() : nullptr;
    if (archive == nullptr)
        return {};
    archive->OpenEntry(name);
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(archive->GetSize());
        uint8_t empty = 0;
        archive->ReadAll(bytes.empty() ? &empty : bytes.data());
    } catch (...) {
        archive->CloseEntry();
        throw;
    }
    archive->CloseEntry();
    return bytes;
}
