#include "foundation/GameDocument.h"

#include <atomic>

namespace {

std::atomic<GameDocument* (*)()> s_source{nullptr};

} // namespace

GameDocument* GetGameDocument()
{
    GameDocument* (*source)() = s_source.load();
    return source != nullptr ? source() : nullptr;
}

void SetGameDocumentSource(GameDocument* (*source)())
{
    s_source.store(source);
}
