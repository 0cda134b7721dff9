#pragma once
// What the movie tests stand on: a working folder holding "movie.arc" with generated clips, an
// application object with its own configuration, the main window (the graphs post their events
// to it), the sound system on the null device, the document's game state and a 320 x 240 sprite
// 0, and a movie player made as the start-up makes it. Waits pump messages until a condition
// holds, with a generous limit that only guards against a broken test.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TestApp.h"
#include "mpegclip/MpegClipWriter.h"
#include "support/ThreadTest.h"
#include "support/WorkingDir.h"

class CMoviePlayer;
class CSprite;
class CVeskDoc;

struct ClipEntry
{
    std::string name;
    tools::MpegClipOptions options;
};

// The clips most tests use: "A.MPG" (frames 0-9, sound), "B.MPG" (100-109, silent, another
// tint), "LONG.MPG" (200-299, sound) and "VSD.MPG" (A behind a 16-byte "VSD1" header).
std::vector<ClipEntry> StandardClips();
// The number painted into the picture of a layer, -1 when none can be read.
int ReadLayerNumber(CSprite* sprite);

class MovieFixture : public ThreadTest
{
protected:
    MovieFixture();
    ~MovieFixture() override;

    void WriteMovieArchive(const std::vector<ClipEntry>& clips);
    // Creates the player; the archive must be written first.
    void CreatePlayer();
    // Pumps messages and sleeps until done() or 20 s have passed; false on the time-out.
    bool PumpUntil(const std::function<bool()>& done);

    WorkingDir m_dir;
    TestApp m_app;
    CVeskDoc* m_document = nullptr;
    CSprite* m_sprite0 = nullptr; // owned by the document's sprite registry
    std::unique_ptr<CMoviePlayer> m_player;
    std::vector<std::string> m_boxes;
};
