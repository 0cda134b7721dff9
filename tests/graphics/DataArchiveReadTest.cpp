// Rules and animation programs read from the document's data archive.

#include "graphics/DataArchiveRead.h"

#include "animeasm/AnimeProgramWriter.h"
#include "app/AppMessageBox.h"
#include "arcpack/ArchiveWriter.h"
#include "foundation/CArchiveManager.h"
#include "graphics/CAnimeManager.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/LayerTestSupport.h"
#include "graphics/SpritePlayer.h"
#include "rulegen/RuleImageWriter.h"
#include "support/FakeDocumentLink.h"
#include "support/WorkingDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DataArchiveReadTest : public ::testing::Test
{
protected:
    DataArchiveReadTest()
    {
        SetAppMessageBoxHook([this](UINT, const CStringUTF8& text) {
            m_messages.push_back(text.GetText());
            return 1;
        });
    }
    ~DataArchiveReadTest() override { SetAppMessageBoxHook(nullptr); }

    // Packs the entries into "data.arc" (names upper-cased, as the reader looks them up) and
    // hands it to the document.
    void OpenData(std::vector<tools::ArchiveEntry> entries)
    {
        for (tools::ArchiveEntry& entry : entries)
            entry.name = tools::UpperCaseName(entry.name);
        m_dir.Write("data.arc", tools::BuildArchive(entries, tools::ArchiveEncoding::Lzss));
        m_archive = std::make_unique<CArchiveManager>("data.arc", true, true);
        m_document.m_data_archive = m_archive.get();
    }

    WorkingDir m_dir;
    FakeDocumentLink m_document;
    std::unique_ptr<CArchiveManager> m_archive;
    std::vector<std::string> m_messages;
};

// A soft disappearing transition of five frames over four pixels, stopped half-way.
std::vector<int> HalfWay(CSpriteLayer& sprite, uint32_t rule)
{
    SpriteAnimRecord record(5);
    record.SetTransition(0, 0, rule);
    sprite.AddAnimation(record);
    SpritePlayer player(sprite);
    player.Play();
    player.Tick();
    player.Tick();
    std::vector<int> alphas;
    for (int x = 0; x < 4; ++x)
        alphas.push_back(static_cast<int>(PixelAt(*sprite.GetLayer(), x, 0) >> 24));
    sprite.FinishAnimations();
    return alphas;
}

} // namespace

TEST_F(DataArchiveReadTest, TransitionRulesComeFromTheDataArchiveOnce)
{
    // A screen-sized rule whose first four values are 0, 64, 128 and 255.
    std::vector<uint8_t> rule = tools::MakeRuleImage(tools::RulePattern::Constant, 1920, 1080, 255);
    rule[0] = 0;
    rule[1] = 64;
    rule[2] = 128;
    OpenData({{"07.bin", rule}});
    CSpriteLayer sprite;
    sprite.Create(0, 0, 4, 1, -1);
    sprite.SetVisibleFlag(1);
    sprite.FillRect(0, 0, 4, 1, 0xFF000000, 1);
    EXPECT_EQ(HalfWay(sprite, 7), (std::vector<int>{0, 63, 127, 254}));
    // The loaded rule is kept: with the archive gone it still plays the same.
    m_document.m_data_archive = nullptr;
    sprite.SetVisibleFlag(1); // the disappearing transition hid it
    sprite.FillRect(0, 0, 4, 1, 0xFF000000, 1);
    EXPECT_EQ(HalfWay(sprite, 7), (std::vector<int>{0, 63, 127, 254}));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(DataArchiveReadTest, MissingRuleIsReportedNotThrown)
{
    OpenData({{"01.bin", std::vector<uint8_t>(16, 0)}});
    CSpriteLayer sprite;
    sprite.Create(0, 0, 4, 1, -1);
    sprite.SetVisibleFlag(1);
    sprite.FillRect(0, 0, 4, 1, 0xFF000000, 1);
    HalfWay(sprite, 42);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("42.bin"), std::string::npos) << m_messages[0];
    // Its pixels come back intact at the end.
    EXPECT_EQ(PixelAt(*sprite.GetLayer(), 3, 0), 0xFF000000u);
}

TEST_F(DataArchiveReadTest, AnimationProgramsLoadByName)
{
    tools::AnimeProgramWriter writer;
    writer.AddCommand(tools::AnimeCommand{2, 0, 0, 0, 0, 0, 0});
    writer.SetSlotCode(3, 4, tools::AnimeCode().Command(0).End());
    OpenData({{"anime.bin", writer.Build()}});
    CAnimeManager manager;
    manager.LoadProgram("anime.bin");
    ASSERT_TRUE(manager.HasProgram());
    EXPECT_TRUE(manager.GetProgramName() == "anime.bin");
    manager.ArmSlot(3, 4);
    manager.StartSlot(3, 4);
    EXPECT_EQ(manager.GetSlot(3, 4).state, ANIME_RUNNING);
    manager.TickSlot(3, 4);
    manager.TickSlot(3, 4);
    EXPECT_EQ(manager.GetSlot(3, 4).state, ANIME_STOPPED);
    // A name the archive lacks raises the archive's error and leaves no program.
    EXPECT_ANY_THROW(manager.LoadProgram("absent.bin"));
    EXPECT_FALSE(manager.HasProgram());
    EXPECT_TRUE(manager.GetProgramName() == "");
}

TEST_F(DataArchiveReadTest, NothingBeforeTheDocumentHasAnArchive)
{
    EXPECT_TRUE(ReadDataArchiveEntry("07.bin").empty());
}
