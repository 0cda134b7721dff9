#include "foundation/DocumentLink.h"

#include <atomic>

namespace {

std::atomic<DocumentLink*> s_link{nullptr}; // not owned: the document

} // namespace

void SetDocumentLink(DocumentLink* link)
{
    s_link.store(link);
}

DocumentLink* GetDocumentLink()
{
    return s_link.load();
}
