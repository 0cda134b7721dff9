#pragma once
// The movie command group (library 23): plays, stops, pauses and waits for movies of the
// document's movie player. Without a player every sub-function only pops its arguments (the
// wait pushes 0). Built for one call on the main thread.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "script/commands/IFunc.h"

class CMoviePlayer;

class CFuncMovie : public IFunc
{
public:
    CFuncMovie();
    void Call(CScript& script) override;

    void Play(CStringUTF8 name, int32_t loop);
    // 1 when a cancel input ended the wait, 0 when the movie ended, paused or stopped first.
    int32_t Wait();
    void SetPaused(int32_t pause);

    CMoviePlayer* Player = nullptr; // the document's; not owned
};
