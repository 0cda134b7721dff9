#include "foundation/GameCursor.h"

#include "foundation/InstalledSource.h"

namespace {

InstalledSource<GameCursor> s_source;

} // namespace

GameCursor* GetGameCursor()
{
    return s_source.Get();
}

void SetGameCursorSource(GameCursor* (*source)())
{
    s_source.Set(source);
}
