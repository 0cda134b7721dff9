#include "movie/MovieVolumeRecord.h"

#include <gtest/gtest.h>

#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieFixture.h"
#include "platform/dshow/DShowApi.h"

namespace {

class ApplyMusicVolumeThreadTest : public MovieFixture
{
protected:
    ApplyMusicVolumeThreadTest()
    {
        WriteMovieArchive(StandardClips());
        CreatePlayer();
    }
};

TEST_F(ApplyMusicVolumeThreadTest, AMovieOfTheMovieCommandFollowsTheMusicLevel)
{
    m_player->Play("A.mpg", 1, 32);
    CMediaStream& playing = *m_player->Streams[0];
    ASSERT_NE(playing.Audio, nullptr) << "the clip has sound";
    struct Case
    {
        const char* name;
        uint32_t kind;
        int32_t enabled, level, expected;
    } cases[] = {
        {"full", 1, 1, 0, 0},
        {"the music floor", 1, 1, -5000, -4000},
        {"truncated toward zero", 1, 1, -1001, -800},
        {"sound off is silence", 1, 0, -1000, -10000},
        {"another kind is left alone", 0, 1, -5000, -10000},
    };
    for (const Case& c : cases) {
        const MovieVolumeRecord record{c.kind, 0};
        ApplyMusicVolume(&record, m_player.get(), c.enabled, c.level);
        LONG applied = 1;
        playing.Audio->get_Volume(&applied);
        EXPECT_EQ(playing.Volume, c.expected) << c.name;
        EXPECT_EQ(m_player->Streams[1]->Volume, c.expected) << c.name << ": the idle stream too";
        EXPECT_EQ(applied, c.expected) << c.name << ": applied at once";
    }
    ApplyMusicVolume(nullptr, m_player.get(), 1, 0);
    ApplyMusicVolume(nullptr, nullptr, 1, 0);
    EXPECT_EQ(playing.Volume, -10000) << "no record: nothing";
}

} // namespace
