#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/CVeskDoc.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CExecException.h"
#include "foundation/ConfigAccess.h"
#include "graphics/CSprite.h"
#include "movie/CMediaStream.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieFixture.h"
#include "movie/MpegDecoderCheck.h"
#include "platform/dshow/FilterGraph.h"
#include "platform/dshow/FilterMapper.h"
#include "platform/dsound/null/NullAudioDevice.h"
#include "platform/user/DialogApi.h"
#include "platform/user/MessageApi.h"
#include "platform/user/MessageBoxApi.h"
#include "platform/user/ScriptedDialogPolicy.h"

using namespace foundation;

namespace {

class CMoviePlayerThreadTest : public MovieFixture
{
protected:
    CMoviePlayerThreadTest()
    {
        WriteMovieArchive(StandardClips());
        CreatePlayer();
    }
    CMediaStream& Stream(int index) { return *m_player->Streams[index]; }
    uint64_t Rendered(int index)
    {
        auto* graph = dynamic_cast<platform::FilterGraph*>(Stream(index).Graph);
        return graph != nullptr ? graph->GetCounters().rendered : 0;
    }
    bool ShowsBetween(int first, int last)
    {
        const int number = ReadLayerNumber(m_sprite0);
        return number >= first && number <= last;
    }
    int PeakOf(const std::vector<int16_t>& samples)
    {
        int peak = 0;
        for (int16_t sample : samples)
            peak = std::max(peak, std::abs(int{sample}));
        return peak;
    }
};

TEST_F(CMoviePlayerThreadTest, ArchiveMoviePlaysToItsLastFrameAndEnds)
{
    m_player->Play("A.mpg", 0, 32);
    CMediaStream& stream = *m_player->Streams[0];
    EXPECT_EQ(stream.State, STREAM_PLAYING);
    EXPECT_NE(m_document->GetEngineStateWord() & ENGINE_STATE_MOVIE, 0u);
    ASSERT_TRUE(PumpUntil([&] { return stream.State == 0; }));
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 9);
}

TEST_F(CMoviePlayerThreadTest, EntryBehindAVsdHeaderPlays)
{
    m_player->Play("VSD.mpg", 0, 32);
    ASSERT_TRUE(PumpUntil([&] { return Stream(0).State == 0; }));
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 9);
}

TEST_F(CMoviePlayerThreadTest, CapitalExtensionIsAnOperatingSystemPath)
{
    m_dir.Write("C.MPG", tools::WriteMpegClip(StandardClips()[1].options));
    m_player->Play("C.MPG", 0, 32);
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING);
    ASSERT_TRUE(PumpUntil([&] { return Stream(0).State == 0; }));
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 109);
    // "A.MPG" is no file of the folder: nothing plays, and the archive is not asked.
    m_player->Play("A.MPG", 0, 32);
    EXPECT_TRUE(PumpUntil([&] { return Stream(0).State == 0; })) << "an empty graph never ends";
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 109);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(CMoviePlayerThreadTest, MissingEntryIsReportedAndNothingPlays)
{
    m_player->Play("NONE.mpg", 0, 32);
    EXPECT_EQ(Stream(0).State, 0u);
    EXPECT_EQ(m_boxes.size(), 1u);
}

TEST_F(CMoviePlayerThreadTest, EntriesThatAreNoMovieLeaveTheStreamIdle)
{
    std::vector<uint8_t> vsd_too_long = {'V', 'S', 'D', '1', 0x00, 0x10, 0x00, 0x00}; // N = 4096
    vsd_too_long.resize(600, 0);
    const std::vector<tools::ArchiveEntry> entries = {
        {"JUNK.MPG", std::vector<uint8_t>(5000, 0x5A)},
        {"LONGVSD.MPG", vsd_too_long},
        {"ZZZ.MPG", {1, 2, 3}},
        // A frame wider than the screen: its buffers would be sized by the header alone.
        {"WIDE.MPG", tools::WriteMpegClip({.width = 2048, .height = 64, .frames = 2, .audio = false})}};
    m_dir.Write("movie.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Plain));
    m_player->Release();
    CreatePlayer();
    for (const char* name : {"junk.mpg", "longvsd.mpg", "wide.mpg"}) {
        SCOPED_TRACE(name);
        m_player->Play(name, 0, 32);
        EXPECT_EQ(Stream(0).State, 0u);
        EXPECT_EQ(Stream(0).Graph, nullptr);
        EXPECT_EQ(m_document->GetEngineStateWord() & ENGINE_STATE_MOVIE, 0u);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(CMoviePlayerThreadTest, LoopingMovieRestartsUntilStopped)
{
    m_player->Play("A.mpg", 1, 32);
    ASSERT_TRUE(PumpUntil([&] { return Rendered(0) > 15; }));
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING);
    m_player->StopAll();
    EXPECT_EQ(Stream(0).State, 0u);
    EXPECT_EQ(m_player->NewIndex, -1);
    EXPECT_EQ(m_document->GetEngineStateWord() & ENGINE_STATE_MOVIE, 0u);
}

TEST_F(CMoviePlayerThreadTest, PausedMovieHoldsItsPicture)
{
    m_player->Play("LONG.mpg", 0, 32);
    ASSERT_TRUE(PumpUntil([&] { return ShowsBetween(203, 290); }));
    Stream(0).Pause();
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING | STREAM_PAUSED);
    const int held = ReadLayerNumber(m_sprite0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    PumpUntil([&] { return std::chrono::steady_clock::now() > until; });
    EXPECT_EQ(ReadLayerNumber(m_sprite0), held);
    Stream(0).Resume();
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING);
    ASSERT_TRUE(PumpUntil([&] { return ReadLayerNumber(m_sprite0) > held; }));
}

TEST_F(CMoviePlayerThreadTest, CrossFadeInAndOutThroughStreamOne)
{
    m_app.Config().SetInt(KEY_DISPLAY_EFFECT_SPEED, 1);
    m_player->Play("LONG.mpg", 1, 32);
    ASSERT_TRUE(PumpUntil([&] { return ShowsBetween(200, 299); }));
    m_player->Play("B.mpg", 1, 32);
    EXPECT_EQ(m_player->NewIndex, 1);
    EXPECT_EQ(m_player->OldIndex, 0);
    EXPECT_EQ(Stream(0).State, 0u);
    EXPECT_EQ(Stream(1).State, STREAM_PLAYING);
    EXPECT_EQ(Stream(1).Target, nullptr);
    EXPECT_FALSE(m_player->Overlay->IsVisible());
    EXPECT_TRUE(ShowsBetween(100, 109)) << "the overlay's picture was not kept on layer 0";

    // Looped, the new movie cannot end before the fade-out, however late the old one's pictures.
    m_player->Play("A.mpg", 1, 32);
    EXPECT_EQ(m_player->NewIndex, 0);
    EXPECT_EQ(m_player->OldIndex, 1);
    EXPECT_EQ(Stream(1).State, 0u);
    EXPECT_EQ(Stream(1).FadeStep, -64) << "speed 1 doubles the step";
    EXPECT_EQ(m_player->Overlay->GetAlpha(), 0);
    EXPECT_FALSE(m_player->Overlay->IsVisible());
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING);
    ASSERT_TRUE(PumpUntil([&] { return ShowsBetween(0, 9); }));
}

TEST_F(CMoviePlayerThreadTest, SpeedTwoReplacesAtOnce)
{
    m_app.Config().SetInt(KEY_DISPLAY_EFFECT_SPEED, 2);
    m_player->Play("LONG.mpg", 1, 32);
    m_player->Play("A.mpg", 0, 32);
    EXPECT_EQ(m_player->NewIndex, 0);
    EXPECT_EQ(Stream(1).State, 0u);
    EXPECT_EQ(Stream(0).State, STREAM_PLAYING);
    EXPECT_FALSE(m_player->Overlay->IsVisible());
    ASSERT_TRUE(PumpUntil([&] { return Stream(0).State == 0; }));
    EXPECT_EQ(ReadLayerNumber(m_sprite0), 9);
}

TEST_F(CMoviePlayerThreadTest, SoundIsHeardOnlyWhileMusicAndSoundAreOn)
{
    for (const char* key : {"", KEY_MUSIC_ENABLE, KEY_SOUND_ENABLE}) {
        SCOPED_TRACE(key);
        if (*key)
            m_app.Config().SetInt(key, 0);
        platform::NullAudioDevice* device = platform::GetNullAudioDevice();
        ASSERT_NE(device, nullptr);
        device->StartCapture();
        m_player->Play("A.mpg", 0, 32);
        ASSERT_TRUE(PumpUntil([&] { return Stream(0).State == 0; }));
        const int peak = PeakOf(device->TakeCapture());
        if (*key)
            EXPECT_EQ(peak, 0);
        else
            EXPECT_GT(peak, 300);
        m_app.Config().SetInt(KEY_MUSIC_ENABLE, 1);
        m_app.Config().SetInt(KEY_SOUND_ENABLE, 1);
    }
}

class MpegDecoderCheckThreadTest : public MovieFixture
{
protected:
    ~MpegDecoderCheckThreadTest() override
    {
        platform::ForceMovieComponentMissing(1, false);
        ForceMpegCheckSetting(-1);
    }
    std::array<FilterList, 3> m_lists;
};

TEST_F(MpegDecoderCheckThreadTest, NothingIsListedWithoutTheSetting)
{
    m_app.Config().SetInt("Movie/Mpeg", 1); // no slash: the configuration does not reach the check
    platform::ForceMovieComponentMissing(1, true);
    EXPECT_EQ(CheckMpegDecoders(m_lists), 0);
    for (const FilterList& list : m_lists)
        EXPECT_TRUE(list.empty());
}

TEST_F(MpegDecoderCheckThreadTest, OurDecodersWinAlreadyAndNothingChanges)
{
    ForceMpegCheckSetting(1);
    EXPECT_EQ(CheckMpegDecoders(m_lists), 0);
    for (const FilterList& list : m_lists) {
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0]->Changed, 0);
    }
    EXPECT_EQ(platform::GetRegisteredMerit(CLSID_CMpegVideoCodec), MERIT_NORMAL);
    RestoreFilterLists(m_lists);
    EXPECT_TRUE(m_lists[0].empty());
}

TEST_F(MpegDecoderCheckThreadTest, MissingDecoderShowsDialog153AndEndsTheStartUp)
{
    ForceMpegCheckSetting(1);
    platform::ForceMovieComponentMissing(1, true);
    platform::ScriptedDialogPolicy dialogs;
    dialogs.Queue(DIALOG_MPEG_MISSING, [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); });
    WriteMovieArchive({});
    try {
        CreatePlayer();
        ADD_FAILURE() << "the start-up went on";
    } catch (const CExecException& failure) {
        EXPECT_STREQ(failure.GetMessage().GetText(), "Failed to create the MediaManager Object");
    }
    EXPECT_EQ(dialogs.Seen(), std::vector<uint16_t>{DIALOG_MPEG_MISSING});
    EXPECT_EQ(dialogs.PendingSteps(), 0u);
}

} // namespace
