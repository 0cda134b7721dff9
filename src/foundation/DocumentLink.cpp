#include "foundation/DocumentLink.h"

namespace {

DocumentLink* s_link = nullptr; // not owned: the document

} // namespace

void SetDocumentLink(DocumentLink* link)
{
    s_link = link;
}

DocumentLink* GetDocumentLink()
{
    return s_link;
}
