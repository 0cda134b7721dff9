#pragma once
// The document's movie player: two streams, so that a new movie can fade in over the one that
// plays, the overlay sprite stream 1 draws into while it fades, and the filter lists of the
// MPEG decoder check. Main thread only; the renderers change the overlay's alpha from the
// graphs' render threads while the cross-fade loop reads it.

#include <array>
#include <cstdint>
#include <memory>

#include "foundation/CStringUTF8.h"
#include "movie/MpegDecoderCheck.h"

class CMediaStream;
class CSprite;
class GameDocument;

class CMoviePlayer
{
public:
    explicit CMoviePlayer(GameDocument* document);
    ~CMoviePlayer();
    CMoviePlayer(const CMoviePlayer&) = delete;
    CMoviePlayer& operator=(const CMoviePlayer&) = delete;

    // The start-up after the player is allocated: the decoder check, both streams (registered
    // as hooks of the main view) and the overlay. Throws CExecException with the start-up text.
    void Create();
    int32_t CheckMpegDecoders();
    // Starts a movie at once, or by a cross-fade over the one that plays.
    void Play(CStringUTF8 name, uint8_t loop, int32_t step);
    void StopAll();
    // Puts back the filter merits and frees the streams and the overlay; a second call finds nothing.
    void Release();

    std::array<std::unique_ptr<CMediaStream>, 2> Streams;
    std::unique_ptr<CSprite> Overlay;
    int32_t NewIndex = -1;
    int32_t OldIndex = -1;
    std::array<FilterList, 3> FilterLists;

private:
    void CrossFade(CStringUTF8 name, uint8_t loop);
    bool CrossFadeDone();
    void EndCrossFade();

    GameDocument* m_document; // not owned
};

// The game's player, which the document makes and frees: null before that, or when it could not
// be made. The shell installs the source once before main; any thread may ask.
CMoviePlayer* GetGameMoviePlayer();
void SetGameMoviePlayerSource(CMoviePlayer* (*source)());
