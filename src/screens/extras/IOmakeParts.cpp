#include "screens/extras/IOmakeParts.h"

#include "graphics/CSpriteAnime.h"
#include "graphics/FrameRedraw.h"
#include "script/vm/BacklogStore.h"

int32_t IOmakeParts::CreateParts()
{
    ++s_open_count;
    return 1;
}

void IOmakeParts::ReleaseParts()
{
    s_open_count = 0;
}

void IOmakeParts::OpenTransition(CSpriteAnime& anime)
{
    anime.PlayAndWait();
    RedrawFrameNow();
}

void IOmakeParts::CloseTransition(CSpriteAnime& anime)
{
    anime.PlayAndWait();
    if (StateWord != OMAKE_CLOSE_NO_REDRAW && StateWord != OMAKE_CLOSE_MUSIC)
        RedrawFrameNow();
}

int32_t IOmakeParts::CountBacklogEntries()
{
    return ::CountBacklogEntries();
}
