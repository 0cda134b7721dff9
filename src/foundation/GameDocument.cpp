#include "foundation/GameDocument.h"

#include "foundation/InstalledSource.h"

namespace {

InstalledSource<GameDocument> s_source;

} // namespace

GameDocument* GetGameDocument()
{
    return s_source.Get();
}

void SetGameDocumentSource(GameDocument* (*source)())
{
    s_source.Set(source);
}
