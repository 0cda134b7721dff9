#include <gtest/gtest.h>

#include "app/CVeskDoc.h"
#include "graphics/CSprite.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieFixture.h"

namespace {

class CMoviePlayerTest : public MovieFixture
{
};

TEST_F(CMoviePlayerTest, ArchiveMoviePlaysToItsLastFrameAndEnds)
{
    WriteMovieArchive(StandardClips());
    CreatePlayer();
    m_player->Play("A.mpg", 0, 32);
    CMediaStream& stream = *m_player->Streams[0];
    EXPECT_EQ(stream.State, STREAM_PLAYING);
    EXPECT_NE(m_document->GetEngineStateWord() & ENGINE_STATE_MOVIE, 0u);
    ASSERT_TRUE(PumpUntil([&] { return stream.State == 0; }));
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 9);
}

} // namespace
