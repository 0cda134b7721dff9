#pragma once
// The movie code's volume record, held by the game work: Kind 1 while a movie started by the
// movie command plays, with the stream it plays on.

#include <cstdint>

class CMoviePlayer;

// The Kind of a movie the movie command started: its sound follows the music volume.
inline constexpr uint32_t MOVIE_KIND_MUSIC = 1;
// The attenuation of a movie's sound while sound is off: silence, as every other channel gets.
inline constexpr int32_t MOVIE_VOLUME_OFF = -10000;

struct MovieVolumeRecord
{
    uint32_t Kind = 0;
    int32_t Index = -1;
};

// Sets both of the player's streams to trunc(volume x 0.8), or MOVIE_VOLUME_OFF when not enabled,
// and applies it at once to a stream with sound; only while the record's Kind is
// MOVIE_KIND_MUSIC. A movie plays a little under the music so that both mix at one level.
void ApplyMusicVolume(const MovieVolumeRecord* record, CMoviePlayer* player, int32_t enabled, int32_t volume);
