// The two channel managers over real archives on the null device: pending names through stop,
// fade and reload, pause, the voice channel's missing operations and names the archive lacks.

#include "sound/CWaveOggManager.h"
#include "sound/CWavePcmManager.h"

#include "OggTestSupport.h"
#include "SoundTestSupport.h"
#include "arcpack/ArchiveWriter.h"
#include "sound/COggSoundNotify.h"
#include "sound/COggSoundThread.h"
#include "sound/CWaveSoundNotify.h"
#include "sound/CWaveSoundThread.h"
#include "support/FakeDocumentLink.h"
#include "support/WorkingDir.h"

#include <memory>

namespace {

constexpr WAVEFORMATEX MONO_16 = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

// Initialize reports a sound object it could not allocate as "Failed to create the Wave Object",
// which needs the objects' allocation to answer null instead of throwing std::bad_alloc.
template <class... Sound>
constexpr bool ALLOCATION_ANSWERS_NULL = (noexcept(Sound::operator new(sizeof(Sound))) && ...);
static_assert(ALLOCATION_ANSWERS_NULL<CWaveSoundThread, CWaveSoundNotify, COggSoundThread, COggSoundNotify>);

class ChannelThreadTest : public SoundThreadTest
{
protected:
    void SetUp() override
    {
        SoundThreadTest::SetUp();
        tools::WavContents looped = StereoWav(QuietPattern(30'000, 2, 1));
        looped.loop = tools::WavLoop{.start = 0, .end = 30'000};
        const std::vector<tools::ArchiveEntry> music = {
            {"LOOP.WAV", tools::WriteWav(looped)},
            {"SHORT.WAV", tools::WriteWav(StereoWav(QuietPattern(8000, 2, 2)))}};
        m_folder.Write("music.arc", tools::BuildArchive(music, tools::ArchiveEncoding::Plain));
        const std::vector<tools::ArchiveEntry> voices = {
            {"R01_0001.OGG", QuietOgg(60'000, 1, tools::OggLoopComments(0, 60'000))},
            {"O01_0002.OGG", QuietOgg(20'000, 1)}};
        m_folder.Write("voice.arc", tools::BuildArchive(voices, tools::ArchiveEncoding::Plain));
        m_pcm = std::make_unique<CWavePcmManager>();
        m_pcm->Initialize("music.arc", true);
        ASSERT_TRUE(m_pcm->CreateBuffer(STEREO_16, WORK_SIZE));
        m_ogg = std::make_unique<CWaveOggManager>();
        m_ogg->Initialize("voice.arc", true);
        ASSERT_TRUE(m_ogg->CreateBuffer(MONO_16, 0));
        Settle(4);
    }
    void TearDown() override
    {
        m_pcm.reset();
        m_ogg.reset();
        SoundThreadTest::TearDown();
    }
    void Run(uint32_t milliseconds)
    {
        for (uint32_t t = 0; t < milliseconds; t += 10)
            Pass(10, 4);
    }

    WorkingDir m_folder;
    FakeDocumentLink m_document;
    std::unique_ptr<CWavePcmManager> m_pcm;
    std::unique_ptr<CWaveOggManager> m_ogg;
};

} // namespace

TEST_F(ChannelThreadTest, FadeForgetsThePendingNameEvenWhenSilent)
{
    for (IWaveManager* channel :
         {static_cast<IWaveManager*>(m_pcm.get()), static_cast<IWaveManager*>(m_ogg.get())}) {
        channel->StoreName("LOOP.WAV");
        ASSERT_EQ(channel->IsLoaded(), 1);
        channel->Fade(10, -5000, 1);
        EXPECT_EQ(channel->IsLoaded(), 0);
        EXPECT_TRUE(channel->GetName().IsEmpty());
    }
}

TEST_F(ChannelThreadTest, StopWithoutForgetKeepsTheNameForReload)
{
    m_pcm->StoreName("LOOP.WAV");
    m_pcm->Stop(false);
    EXPECT_EQ(m_pcm->IsLoaded(), 1);
    m_pcm->Reload();
    EXPECT_EQ(m_pcm->IsLoaded(), 0) << "reload plays the name and forgets it";
    Run(50);
    EXPECT_TRUE(m_pcm->IsPlaying());
    m_pcm->StoreName("LOOP.WAV");
    m_pcm->Stop(true);
    EXPECT_FALSE(m_pcm->IsPlaying());
    EXPECT_EQ(m_pcm->IsLoaded(), 0);
    m_pcm->Reload(); // nothing pending: nothing plays
    EXPECT_FALSE(m_pcm->IsPlaying());
}

TEST_F(ChannelThreadTest, PauseAndResume)
{
    m_pcm->Pause(); // silent channel: the state stays
    EXPECT_EQ(m_pcm->GetState(), 0);
    m_pcm->Resume();
    EXPECT_FALSE(m_pcm->IsPlaying());

    m_ogg->PlayNamed("r01_0001.ogg");
    Run(50);
    ASSERT_TRUE(m_ogg->IsPlaying());
    m_ogg->Pause();
    EXPECT_EQ(m_ogg->GetState(), 1);
    EXPECT_FALSE(m_ogg->IsPlaying());
    m_ogg->Resume();
    EXPECT_EQ(m_ogg->GetState(), 0);
    EXPECT_TRUE(m_ogg->IsPlaying());
}

TEST_F(ChannelThreadTest, PrepareThenPlayOnPcmButNotOnVoice)
{
    m_pcm->PrepareFile("LOOP.WAV");
    Run(30);
    EXPECT_FALSE(m_pcm->IsPlaying()) << "primed, not started";
    m_pcm->Play();
    Run(30);
    EXPECT_TRUE(m_pcm->IsPlaying());

    m_ogg->PrepareFile("R01_0001.OGG");
    m_ogg->Play();
    Run(30);
    EXPECT_FALSE(m_ogg->IsPlaying()) << "a voice channel neither primes nor replays";
}

TEST_F(ChannelThreadTest, AMissingNameStopsTheOldSoundAndStaysSilent)
{
    for (IWaveManager* channel :
         {static_cast<IWaveManager*>(m_pcm.get()), static_cast<IWaveManager*>(m_ogg.get())}) {
        channel->PlayNamed(channel == m_pcm.get() ? "LOOP.WAV" : "R01_0001.OGG");
        Run(30);
        ASSERT_TRUE(channel->IsPlaying());
        EXPECT_FALSE(channel->FileExists("NONE.WAV"));
        channel->PlayNamed("NONE.WAV");
        Run(30);
        EXPECT_FALSE(channel->IsPlaying());
    }
}

TEST_F(ChannelThreadTest, AVoicePlaysFromTheArchiveToItsEnd)
{
    m_ogg->SetVolume(0);
    TakeOutput();
    m_ogg->PlayNamed("O01_0002.OGG");
    const std::vector<int16_t> data = DecodeReference(QuietOgg(20'000, 1)).samples;
    for (int i = 0; i < 100 && (m_ogg->IsPlaying() || i == 0); ++i)
        Run(10);
    EXPECT_FALSE(m_ogg->IsPlaying());
    const std::vector<int16_t> out = TakeOutput();
    ASSERT_GE(out.size(), 40'000u);
    for (size_t i = 0; i < 20'000; ++i)
        ASSERT_EQ(out[2 * i], data[i]) << "frame " << i;
}
