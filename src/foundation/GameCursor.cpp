#include "foundation/GameCursor.h"

#include <atomic>

namespace {

std::atomic<GameCursor* (*)()> s_source{nullptr};

} // namespace

GameCursor* GetGameCursor()
{
    GameCursor* (*source)() = s_source.load();
    return source != nullptr ? source() : nullptr;
}

void SetGameCursorSource(GameCursor* (*source)())
{
    s_source.store(source);
}
