#pragma once
// The document's movie objects: two players, the movie sprite and the decoder check.
// FIXME: the least the document needs until the movie player is in.

#include <array>
#include <cstdint>
#include <memory>

class CMediaStream;
class CSprite;

class CMediaManager
{
public:
    CMediaManager();
    ~CMediaManager();
    CMediaManager(const CMediaManager&) = delete;
    CMediaManager& operator=(const CMediaManager&) = delete;

    // 0 when the movie decoders are usable. Nothing is looked at while "Movie/Mpeg" is not 1.
    int32_t CheckMpegDecoders();
    // Puts back what the check changed and lets go of the players.
    void RestoreMpegDecoders();

    std::array<std::unique_ptr<CMediaStream>, 2> m_players;
    std::unique_ptr<CSprite> m_movie_sprite;
};
