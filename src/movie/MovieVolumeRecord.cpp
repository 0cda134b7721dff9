#include "movie/MovieVolumeRecord.h"

#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"

void ApplyMusicVolume(const MovieVolumeRecord* record, CMoviePlayer* player, int32_t enabled, int32_t volume)
{
    if (record == nullptr || player == nullptr || record->Kind != MOVIE_KIND_MUSIC)
        return;
    const int32_t level = enabled != 0 ? static_cast<int32_t>(static_cast<float>(volume) * 0.8f) : MOVIE_VOLUME_OFF;
    for (auto& stream : player->Streams) {
        if (!stream)
            continue;
        stream->Volume = level;
        if (stream->Audio != nullptr)
            stream->Audio->put_Volume(level);
    }
}
