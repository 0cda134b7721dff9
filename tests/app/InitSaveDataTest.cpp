#include "app/InitSaveData.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "app/TestApp.h"
#include "flagpack/FlagImageWriter.h"
#include "flagwrite/FlagFileWriter.h"
#include "foundation/ByteCursor.h"
#include "platform/res/ResourceRegistry.h"
#include "platform/user/ScriptedMessageBoxPolicy.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveSlotTable.h"
#include "script/vm/BacklogStore.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr char16_t SET_ERROR[] =
    u"An error occurred while initializing the save data.Processing was interrupted.";
constexpr char16_t ENTRY_ERROR[] = u"There is an error in the save data initialization information.";

std::string SourceFile(const std::string& name)
{
    return (fs::path(std::getenv("VESK_SOURCE_DIR")) / name).string();
}

// A FLAG image of the test's own, registered under a number of its own (the registry lives as
// long as the process, so each image gets a new number and keeps its bytes alive).
uint16_t RegisterImage(const Bytes& image)
{
    static uint16_t s_next_id = 20000;
    static std::vector<std::unique_ptr<Bytes>> s_images;
    s_images.push_back(std::make_unique<Bytes>(image));
    platform::RegisterResource(u"FLAG", s_next_id, *s_images.back());
    return s_next_id++;
}

// The decoded size of record index, which the image stores big-endian after the name.
void SetDecodedSize(Bytes& image, size_t index, uint32_t size)
{
    const size_t at = 4 + index * tools::FLAG_RECORD_SIZE + tools::FLAG_NAME_FIELD_SIZE + 4;
    for (int i = 0; i < 4; ++i)
        image[at + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
}

class InitSaveDataTest : public ::testing::Test
{
protected:
    InitSaveDataTest()
    {
        fs::create_directories(m_dir.PathOf("game"));
        WriteSettingsFile(m_dir.PathOf("game/SystemInfo.xml"), "<GameFolder>word</GameFolder>\n"
                                                               "<MAKER_LABEL>Maker</MAKER_LABEL>\n");
        WriteSettingsFile(m_dir.PathOf("game/FileInfo.xml"), "");
        m_app.InitFramework();
    }

    std::string Save(const std::string& name = "") const
    {
        return m_dir.PathOf("data/Maker/word/Save/" + name);
    }
    std::string SaveFolderText() const { return m_app.GetSaveFolder().GetText(); }
    std::vector<std::u16string> Texts() const
    {
        std::vector<std::u16string> texts;
        for (const auto& shown : m_boxes.Shown())
            texts.push_back(shown.text);
        return texts;
    }

    TempDir m_dir;
    ScopedEnv m_module{"VESK_MODULE_PATH", m_dir.PathOf("game/vesk").c_str()};
    ScopedEnv m_data_home{"XDG_DATA_HOME", m_dir.PathOf("data").c_str()};
    platform::ScriptedMessageBoxPolicy m_boxes;
    TestApp m_app;
};

} // namespace

TEST_F(InitSaveDataTest, AFirstStartMakesTheFoldersAndWritesTheInitialSet)
{
    InitSaveData(nullptr);
    EXPECT_TRUE(m_boxes.Shown().empty());
    EXPECT_TRUE(fs::is_directory(Save()));
    EXPECT_FALSE(fs::exists(m_dir.PathOf("data/Maker/word/Save_b"))); // not made here

    // The system flag file as an independent writer lays out its listing.
    std::ifstream listing_file(SourceFile("resources/initial_save/FLAG000.txt"));
    const std::string listing((std::istreambuf_iterator<char>(listing_file)),
                              std::istreambuf_iterator<char>());
    const Bytes expected = tools::WriteFlagFile(tools::ParseFlagListing(listing));
    const std::string written = ReadWholeFile(Save("FLAG000"));
    EXPECT_EQ(Bytes(written.begin(), written.end()), expected);
    EXPECT_EQ(ReadWholeFile(Save("config.xml")),
              ReadWholeFile(SourceFile("resources/initial_save/config.xml")));

    // The unpacked configuration is the one in force.
    EXPECT_EQ(m_app.GetConfigInt("/Screen/Window/Width", 0, 0), 1280);
}

TEST_F(InitSaveDataTest, TheFirstFlagFileIsWrittenLast)
{
    InitSaveData(nullptr);
    const auto marker_time = fs::last_write_time(Save("FLAG000"));
    size_t others = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(Save())) {
        if (entry.path().filename() == "FLAG000")
            continue;
        ++others;
        EXPECT_LE(entry.last_write_time(), marker_time) << entry.path();
    }
    EXPECT_GT(others, 0u);
}

TEST_F(InitSaveDataTest, ALaterStartLeavesThePlayersFilesAndConfigurationAlone)
{
    InitSaveData(nullptr);
    std::ofstream(Save("FLAG000"), std::ios::binary) << "the player's flags";
    std::ofstream(Save("config.xml"), std::ios::binary) << "the player's settings";
    CXMLDocument* config = m_app.GetConfigDocument();

    InitSaveData(nullptr);
    EXPECT_EQ(ReadWholeFile(Save("FLAG000")), "the player's flags");
    EXPECT_EQ(ReadWholeFile(Save("config.xml")), "the player's settings");
    EXPECT_EQ(m_app.GetConfigDocument(), config);
    EXPECT_TRUE(m_boxes.Shown().empty());
}

// A set extracted again (its marker lost) keeps the settings the player has, and leaves no
// temporary behind.
TEST_F(InitSaveDataTest, AnExtractionRunAgainKeepsThePlayersSettings)
{
    InitSaveData(nullptr);
    fs::remove(Save("FLAG000"));
    std::ofstream(Save("config.xml"), std::ios::binary) << "the player's settings";
    InitSaveData(nullptr);
    EXPECT_TRUE(fs::exists(Save("FLAG000")));
    EXPECT_EQ(ReadWholeFile(Save("config.xml")), "the player's settings");
    for (const auto& entry : fs::directory_iterator(Save("")))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    EXPECT_TRUE(m_boxes.Shown().empty());
}

// A system flag file lost while saves stayed: the initial one written in its place lists them.
TEST_F(InitSaveDataTest, SavesBesideAMissingFirstFlagFileAreListedInTheInitialOne)
{
    fs::create_directories(Save());
    FlagBuffer state;
    state.SetMoney(704);
    state.SetEngineStateWord(ENGINE_STATE_SNAPSHOT); // as every save stores it
    std::string bytes;
    state.AppendTo(bytes);
    std::ofstream(Save("FLAG001"), std::ios::binary) << bytes;
    bytes.clear();
    ScriptValueTable().AppendTo(bytes);
    std::ofstream(Save("SaveData001.dat"), std::ios::binary) << bytes;

    InitSaveData(nullptr);
    FlagBuffer system;
    const std::string written = ReadWholeFile(Save("FLAG000"));
    ByteCursor cursor(std::span(reinterpret_cast<const uint8_t*>(written.data()), written.size()));
    ASSERT_TRUE(system.ReadFrom(cursor));
    const SaveSlotTable table(system.Bytes);
    EXPECT_EQ(table.CountUsed(0), 1);
    EXPECT_EQ(table.Get(1).Money, 704);
    EXPECT_EQ(system.Flags.size(), 10000u); // the initial file's arrays
    EXPECT_EQ(m_boxes.Shown().size(), 1u);  // the notice
}

TEST_F(InitSaveDataTest, WithR18TheFirstFlagFileIsLookedForWhereTheSetIsWritten)
{
    // "/R18" = 1 sends the game's flag files to the alternate folder, which holds none yet; the
    // set goes to the save folder, so that is where it must be looked for.
    fs::create_directories(Save());
    std::ofstream(Save("FLAG000"), std::ios::binary) << "the player's flags";
    WriteSettingsFile(Save("config.xml"), "<R18>1</R18>\n");
    m_app.UseConfigFile(Save("config.xml"));
    ASSERT_STREQ(m_app.GetAppString().GetText(), m_app.GetAltSaveFolder().GetText());

    InitSaveData(nullptr);
    EXPECT_EQ(ReadWholeFile(Save("FLAG000")), "the player's flags");
    EXPECT_EQ(m_app.GetConfigInt("/R18", 0, 0), 1);
}

TEST_F(InitSaveDataTest, AnEntryThatCannotBeDecodedTakesBackEveryFileWritten)
{
    Bytes image = tools::BuildFlagImage(
        std::vector<tools::ArchiveEntry>{{"FIRST", Bytes(300, 'a')}, {"SECOND", Bytes(300, 'b')}});
    SetDecodedSize(image, 1, 301); // one byte more than the stream gives
    fs::create_directories(m_dir.PathOf("out"));

    EXPECT_FALSE(ExtractFlagImage(nullptr, RegisterImage(image), (m_dir.PathOf("out") + "/").c_str()));
    EXPECT_TRUE(fs::is_empty(m_dir.PathOf("out")));
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{ENTRY_ERROR, SET_ERROR}));
}

TEST_F(InitSaveDataTest, AnEntryThatCannotBeOpenedTakesBackTheEntriesBeforeIt)
{
    const Bytes image = tools::BuildFlagImage(
        std::vector<tools::ArchiveEntry>{{"FIRST", Bytes(10, 'a')}, {"SECOND", Bytes(10, 'b')}});
    fs::create_directories(m_dir.PathOf("out/SECOND")); // a folder where the file should go

    EXPECT_FALSE(ExtractFlagImage(nullptr, RegisterImage(image), (m_dir.PathOf("out") + "/").c_str()));
    EXPECT_FALSE(fs::exists(m_dir.PathOf("out/FIRST")));
    EXPECT_TRUE(fs::is_directory(m_dir.PathOf("out/SECOND")));
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{SET_ERROR}));
}

TEST_F(InitSaveDataTest, AShortWriteIsAFailureAndLeavesNoFileBehind)
{
    const Bytes image = tools::BuildFlagImage(std::vector<tools::ArchiveEntry>{{"BIG", Bytes(4096, 'b')}});
    fs::create_directories(m_dir.PathOf("out"));
    const uint16_t id = RegisterImage(image);

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 1000; // the disk is full after 1000 bytes
    setrlimit(RLIMIT_FSIZE, &small);
    const bool result = ExtractFlagImage(nullptr, id, (m_dir.PathOf("out") + "/").c_str());
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(result);
    EXPECT_FALSE(fs::exists(m_dir.PathOf("out/BIG")));
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{ENTRY_ERROR, SET_ERROR}));
}

TEST_F(InitSaveDataTest, TheStartAfterAFailedExtractionTriesAgain)
{
    // "config.xml" cannot be written while a folder has its name.
    fs::create_directories(Save("config.xml"));
    InitSaveData(nullptr);
    EXPECT_FALSE(fs::exists(Save("FLAG000")));
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{SET_ERROR}));

    fs::remove(Save("config.xml"));
    InitSaveData(nullptr);
    EXPECT_TRUE(fs::exists(Save("FLAG000")));
    EXPECT_TRUE(fs::is_regular_file(Save("config.xml")));
    EXPECT_EQ(m_boxes.Shown().size(), 1u);
}

TEST_F(InitSaveDataTest, EnsureDirectoryTakesAFolderWithOrWithoutItsSeparator)
{
    const std::string base = m_dir.PathOf("made");
    EXPECT_EQ(EnsureDirectory((base + "\\").c_str()), 1);
    EXPECT_TRUE(fs::is_directory(base));
    EXPECT_EQ(EnsureDirectory(base.c_str()), 1);
    EXPECT_EQ(EnsureDirectory((base + "\\").c_str()), 1);

    // A file of that name counts as the folder; nothing is made.
    std::ofstream(m_dir.PathOf("plain")) << "x";
    EXPECT_EQ(EnsureDirectory((m_dir.PathOf("plain") + "\\").c_str()), 1);
    EXPECT_TRUE(fs::is_regular_file(m_dir.PathOf("plain")));
    EXPECT_TRUE(m_boxes.Shown().empty());
}

TEST_F(InitSaveDataTest, OnlyTheLastLevelIsMadeAndAFailureIsReported)
{
    const std::string deep = m_dir.PathOf("missing") + "\\deeper";
    EXPECT_EQ(EnsureDirectory((deep + "\\").c_str()), 0);
    EXPECT_FALSE(fs::exists(m_dir.PathOf("missing")));
    ASSERT_EQ(Texts().size(), 1u);
    // A box shows the path with the system's own separator.
    EXPECT_EQ(CStringUTF8(Texts()[0].c_str()),
              CStringUTF8((m_dir.PathOf("missing") + "/deeper\nCreate Directory FAILED.").c_str()));
}

TEST_F(InitSaveDataTest, TheFolderChainStopsAtItsFirstFailure)
{
    // A file stands where the maker folder goes: it counts as the folder, the user data root
    // cannot be made in it, and the save folder is not tried.
    fs::create_directories(m_dir.PathOf("data"));
    std::ofstream(m_dir.PathOf("data/Maker")) << "x";
    EXPECT_EQ(CreateUserFolders(), 0);
    EXPECT_EQ(Texts().size(), 1u);
}
