#pragma once
// The base of the extras screens (CG gallery, scene list, heroine grid, music room, comment
// mode): part building and the open and close transitions they share. The extras launcher builds
// one screen per call, calls CreateParts, runs it, pushes its result and calls ReleaseParts.
// Main thread only.

#include <cstdint>

#include "screens/base/ScreenResult.h"

class CSpriteAnime;

// The close-state words that make CloseTransition leave out its final redraw.
inline constexpr int32_t OMAKE_CLOSE_NO_REDRAW = -1;
inline constexpr int32_t OMAKE_CLOSE_MUSIC = 2;

class IOmakeParts : public ISelect
{
public:
    // 1; every override calls it first and stops with 0 when it answers 0. Raises the
    // open-extras count.
    virtual int32_t CreateParts();
    // Sets the open-extras count to 0; overrides release their sprites.
    virtual void ReleaseParts();
    // Plays the animation to its end, then presents one frame.
    virtual void OpenTransition(CSpriteAnime& anime);
    // As OpenTransition, without the frame while the close-state word is -1 or 2.
    virtual void CloseTransition(CSpriteAnime& anime);
    virtual int32_t CountBacklogEntries();
    // The modal run shared by the extras screens; answers the result.
    virtual int32_t RunScreen() { return RunForResult(*this); }

    // The process-wide open-extras count; nothing reads it back but the tests.
    static int32_t GetOpenCount() { return s_open_count; }
    static void SetOpenCount(int32_t count) { s_open_count = count; }
    static void ResetOpenCount() { s_open_count = 0; }

    int32_t StateWord = 0; // the close state

private:
    static inline int32_t s_open_count = 0; // main thread only
};
