#include "graphics/GlobalDataBuffer.h"

#include "foundation/CArchiveManager.h"
#include "foundation/DocumentLink.h"

#include <memory>

namespace {

std::unique_ptr<uint8_t[]> g_buffer; // the last file read
uint32_t g_size = 0;

} // namespace

void LoadFileToGlobalBuffer(CStringUTF8 name)
{
    g_buffer.reset();
    g_size = 0;
    DocumentLink* link = GetDocumentLink();
    CArchiveManager* archive = link != nullptr ? link->GetDataArchive() : nullptr;
    if (archive == nullptr)
        return;
    archive->OpenEntry(name);
    const uint32_t size = archive->GetSize();
    auto buffer = std::make_unique<uint8_t[]>(size == 0 ? 1 : size);
    archive->ReadAll(buffer.get());
    archive->CloseEntry();
    g_buffer = std::move(buffer);
    g_size = size;
}

const uint8_t* GetGlobalBuffer()
{
    return g_buffer.get();
}

uint32_t GetGlobalBufferSize()
{
    return g_size;
}
