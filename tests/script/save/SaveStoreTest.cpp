// The save store over a real save folder: the names of both scenarios, a slot commit that moves
// the older saves up as sets and a failed one that leaves the folder as it found it, and the
// thumbnail, which the script command and the save screen write through the same call.

#include "script/save/SaveStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "graphics/CDIBDC.h"
#include "platform/kernel/FileFault.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/commands/GameFileFixture.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveThumbnail.h"
#include "script/save/SlotMoveJournal.h"

namespace {

class SaveStoreTest : public GameFileTest
{
protected:
    // A game state, save data and thumbnail that tell saves apart by their mark.
    struct Save
    {
        FlagBuffer state;
        ScriptValueTable data;
        std::vector<uint8_t> thumbnail;
    };

    static Save MakeSave(uint8_t mark)
    {
        Save save;
        save.state.Flags.assign(4, mark);
        save.state.Words.assign(2, uint16_t{mark} * 100);
        ScriptValueArray record;
        record.SetKey(mark);
        record.Values = {ScriptValue::FromInteger(mark)};
        save.data.Store(record);
        save.thumbnail.assign(THUMBNAIL_BYTES, mark);
        return save;
    }

    // The system image whose slot table lists the used slots.
    static FlagBuffer SystemWith(std::initializer_list<uint32_t> used)
    {
        FlagBuffer system;
        GrowToSlotTable(system.Bytes);
        SaveSlotTable table(system.Bytes);
        for (const uint32_t slot : used) {
            SaveSlotHeader header;
            header.Used = 1;
            table.Put(slot, header);
        }
        return system;
    }

    bool Commit(uint32_t slot, uint32_t dropped, const Save& save, const FlagBuffer& system)
    {
        return SaveStore::CommitSave(slot, dropped, save.state, save.data, save.thumbnail, system);
    }

    static std::string BytesOf(const FlagBuffer& buffer)
    {
        std::string bytes;
        buffer.AppendTo(bytes);
        return bytes;
    }

    static std::string BytesOf(const ScriptValueTable& table)
    {
        std::string bytes;
        table.AppendTo(bytes);
        return bytes;
    }

    // Every file of the folder (journals and temporaries included) with its bytes.
    std::map<std::string, Bytes> Folder() const
    {
        std::map<std::string, Bytes> files;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
            if (entry.is_regular_file())
                files[entry.path().filename().string()] = Get(entry.path().filename().string());
        }
        return files;
    }

    // The slot's files hold the save.
    void ExpectSlot(uint32_t slot, const Save& save)
    {
        FlagBuffer state;
        ASSERT_EQ(SaveStore::ReadFlagFile(slot, state), SaveFileRead::Loaded) << slot;
        EXPECT_EQ(BytesOf(state), BytesOf(save.state)) << slot;
        ScriptValueTable data;
        ASSERT_EQ(SaveStore::ReadSaveData(slot, data, MissingSaveData::Report), SaveFileRead::Loaded) << slot;
        EXPECT_EQ(BytesOf(data), BytesOf(save.data)) << slot;
        EXPECT_EQ(
            m_dir.Read(
                std::filesystem::path(SaveStore::ThumbnailFileName(slot).GetStdString()).filename().string()),
            save.thumbnail)
            << slot;
    }
};

} // namespace

TEST_F(SaveStoreTest, NamesFollowTheScenario)
{
    EXPECT_EQ(SaveStore::FlagFileName(3).GetStdString(), m_folder + "FLAG003");
    EXPECT_EQ(SaveStore::FlagFileName(1000).GetStdString(), m_folder + "FLAG1000");
    EXPECT_EQ(SaveStore::SaveDataFileName(12).GetStdString(), m_folder + "SaveData012.dat");
    EXPECT_EQ(SaveStore::ThumbnailFileName(12).GetStdString(), m_folder + "thm012");
    State().Variables.resize(81);
    State().SetSpMode(1);
    EXPECT_EQ(SaveStore::FlagFileName(3).GetStdString(), m_folder + "SP_FLAG003");
    EXPECT_EQ(SaveStore::SaveDataFileName(12).GetStdString(), m_folder + "SP_SaveData012.dat");
    EXPECT_EQ(SaveStore::ThumbnailFileName(12).GetStdString(), m_folder + "SP_thm012");
    EXPECT_EQ(SaveStore::SelectionFileName(7).GetStdString(), m_folder + "sel007") << "no SP_ form";
    EXPECT_EQ(SaveStore::ReadBufferFileName().GetStdString(), m_folder + "onemes.dat") << "no SP_ form";
    EXPECT_EQ(SaveStore::FolderFileName("x.journal").GetStdString(), m_folder + "x.journal");
}

TEST_F(SaveStoreTest, ACommitMovesOlderSavesUpAndAFailedOneLeavesTheFolderAsItWas)
{
    const Save first = MakeSave(1);
    const Save second = MakeSave(2);
    const Save third = MakeSave(3);
    ASSERT_TRUE(Commit(1, 1, first, SystemWith({1})));
    ExpectSlot(1, first);
    // A new save into slot 1 pushes slots 1.. up: the first save's whole set is now slot 2's.
    const FlagBuffer two_used = SystemWith({1, 2});
    ASSERT_TRUE(Commit(1, 2, second, two_used));
    ExpectSlot(1, second);
    ExpectSlot(2, first);
    FlagBuffer system;
    ASSERT_TRUE(SaveStore::ReadSystemFile(system));
    EXPECT_EQ(BytesOf(system), BytesOf(two_used));
    EXPECT_TRUE(TakeMessageBoxes().empty());
    const std::map<std::string, Bytes> before = Folder();
    EXPECT_EQ(before.size(), 7u) << "two slots of three files and the system file, nothing else";

    // The system file cannot be written: the moves are undone and the new files removed.
    const std::filesystem::path system_file = m_dir.Path() / "FLAG000";
    std::filesystem::rename(system_file, m_dir.Path() / "kept");
    std::filesystem::create_directory(system_file);
    EXPECT_FALSE(Commit(1, 3, third, SystemWith({1, 2, 3})));
    EXPECT_EQ(TakeMessageBoxes().size(), 1u);
    std::filesystem::remove(system_file);
    std::filesystem::rename(m_dir.Path() / "kept", system_file);
    EXPECT_EQ(Folder(), before);
}

TEST_F(SaveStoreTest, TheScriptAndTheScreenThumbnailsAreOneFileButOnlyTheScriptReportsAFailure)
{
    State().Variables.resize(81);
    State().SetSpMode(1);
    const Save save = MakeSave(7);
    // The script command's write and the save screen's commit give the same file.
    ASSERT_TRUE(SaveStore::WriteThumbnail(3, save.thumbnail, ThumbnailFailure::Report));
    const Bytes from_script = Get("SP_thm003");
    ASSERT_TRUE(Commit(3, 3, save, SystemWith({3})));
    EXPECT_EQ(Get("SP_thm003"), from_script);
    EXPECT_EQ(from_script, save.thumbnail);
    CDIBDC display;
    display.Create(THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT);
    ASSERT_EQ(SaveStore::ReadThumbnail(3, display), 1);
    EXPECT_EQ(display.GetBits()[0], 7);
    EXPECT_EQ(display.GetBits()[3], 255) << "shown opaque";

    // A thumbnail that cannot be written: the script hears of it, a save goes on without one.
    std::filesystem::create_directory(m_dir.Path() / "SP_thm004");
    EXPECT_FALSE(SaveStore::WriteThumbnail(4, save.thumbnail, ThumbnailFailure::Report));
    const std::vector<std::string> boxes = TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("SP_thm004 が作成出来ません。"), std::string::npos) << boxes[0];
    EXPECT_FALSE(SaveStore::WriteThumbnail(4, save.thumbnail, ThumbnailFailure::Skip));
    EXPECT_TRUE(TakeMessageBoxes().empty());
    EXPECT_EQ(SaveStore::ReadThumbnail(4, display), 0);
    EXPECT_EQ(display.GetBits()[3], 0) << "no picture left over from slot 3";
}

// A delete sets the slot's files aside and moves every later save one slot down, its whole set
// with it: the slot before it keeps its own and the last slot is left empty.
TEST_F(SaveStoreTest, ADeleteMovesEveryLaterSaveDownOneSlot)
{
    const Save saves[] = {MakeSave(1), MakeSave(2), MakeSave(3), MakeSave(4)};
    for (uint32_t slot = 1; slot <= 4; ++slot)
        ASSERT_TRUE(Commit(slot, slot, saves[slot - 1], SystemWith({1, 2, 3, 4})));
    const FlagBuffer three_used = SystemWith({1, 2, 3});
    ASSERT_TRUE(SaveStore::CommitDelete(2, 4, three_used));
    ExpectSlot(1, saves[0]);
    ExpectSlot(2, saves[2]);
    ExpectSlot(3, saves[3]);
    for (const char* gone : {"FLAG004", "SaveData004.dat", "thm004"})
        EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / gone)) << gone;
    FlagBuffer system;
    ASSERT_TRUE(SaveStore::ReadSystemFile(system));
    EXPECT_EQ(BytesOf(system), BytesOf(three_used));
    EXPECT_EQ(Folder().size(), 10u) << "three slots of three files and the system file, nothing else";
    EXPECT_TRUE(TakeMessageBoxes().empty());
}

// A save's header reaches the system file field by field: game clock, money, and the wall clock's
// date and time each where the slot table keeps it.
TEST_F(SaveStoreTest, ASavedHeaderKeepsEachOfItsClocksFields)
{
    FlagBuffer system = SystemWith({});
    SaveSlotHeader header;
    header.Used = 1;
    header.GameDate = 1231;
    header.Weekday = 3;
    header.GameTime = 1745;
    header.Money = 1200;
    header.Year = 2026;
    header.Month = 12;
    header.Day = 24;
    header.Hour = 23;
    header.Minute = 5;
    header.Second = 42;
    SaveSlotTable(system.Bytes).Put(7, header);
    ASSERT_TRUE(Commit(7, 7, MakeSave(7), system));
    FlagBuffer read;
    ASSERT_TRUE(SaveStore::ReadSystemFile(read));
    // Each field at its place in the file, low byte first: a field moved in both the writer and
    // the reader would still read back, but not from a system file written before.
    const uint8_t* at = read.Bytes.data() + SLOT_HEADER_SIZE * 7;
    const std::pair<size_t, uint16_t> fields[] = {{1, 1231}, {3, 3},   {5, 1745}, {7, 1200}, {9, 2026},
                                                  {11, 12},  {13, 24}, {15, 23},  {17, 5},   {19, 42}};
    EXPECT_EQ(at[0], 1);
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(at[offset] | at[offset + 1] << 8, value) << "field at " << offset;
    const SaveSlotHeader back = SaveSlotTable(read.Bytes).Get(7);
    EXPECT_EQ(back.Used, 1);
    EXPECT_EQ(back.GameDate, 1231);
    EXPECT_EQ(back.Weekday, 3);
    EXPECT_EQ(back.GameTime, 1745);
    EXPECT_EQ(back.Money, 1200);
    EXPECT_EQ(back.Year, 2026);
    EXPECT_EQ(back.Month, 12);
    EXPECT_EQ(back.Day, 24);
    EXPECT_EQ(back.Hour, 23);
    EXPECT_EQ(back.Minute, 5);
    EXPECT_EQ(back.Second, 42);
}

// A journal an older build left (its hash that of the slot table alone) is still finished when
// the system file holds the new table. It never knew the system file it replaced, so one that holds
// another cannot say the save was not made: the save whose files are whole goes forward, the one
// it replaced is kept aside, and the table is made again from the slot files.
TEST_F(SaveStoreTest, AnOlderBuildsJournalIsStillFinishedAndNeverDeletesTheNewSave)
{
    const Save older = MakeSave(1);
    const Save newer = MakeSave(2);
    const FlagBuffer listed = SystemWith({1});
    SlotMoveJournal journal;
    journal.Version = 1;
    journal.SystemHash = HashSaveBytes(std::span(listed.Bytes.data(), SLOT_TABLE_SIZE));
    journal.SystemFile = "FLAG000";
    journal.NewFiles = {"FLAG001", "SaveData001.dat"};
    journal.Renames = {{"FLAG001", "FLAG001.drop"}, {"SaveData001.dat", "SaveData001.dat.drop"}};
    const std::vector<uint8_t> bytes = journal.Encode();
    for (const bool finished : {false, true}) {
        for (const auto& [name, content] : Folder())
            std::filesystem::remove(m_dir.Path() / name);
        m_dir.Write("FLAG001.drop", BytesOf(older.state));
        m_dir.Write("SaveData001.dat.drop", BytesOf(older.data));
        m_dir.Write("FLAG001", BytesOf(newer.state));
        m_dir.Write("SaveData001.dat", BytesOf(newer.data));
        m_dir.Write("FLAG000", BytesOf(finished ? listed : SystemWith({})));
        m_dir.Write("slotmove.jnm", bytes);
        (void)TakeMessageBoxes();
        SaveStore::RemoveLeftovers();
        const std::string state = BytesOf(newer.state);
        const std::string data = BytesOf(newer.data);
        EXPECT_EQ(Get("FLAG001"), Bytes(state.begin(), state.end())) << finished;
        EXPECT_EQ(Get("SaveData001.dat"), Bytes(data.begin(), data.end())) << finished;
        if (finished) {
            EXPECT_EQ(Folder().size(), 3u) << "the slot's two files and the system file";
            EXPECT_TRUE(TakeMessageBoxes().empty());
            continue;
        }
        const std::string old_state = BytesOf(older.state);
        EXPECT_EQ(Get("FLAG001.kept"), Bytes(old_state.begin(), old_state.end()));
        EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "SaveData001.dat.kept"));
        EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "FLAG000.bad"));
        EXPECT_EQ(Folder().size(), 6u) << "and the system file's bytes before it was made again";
        EXPECT_EQ(TakeMessageBoxes().size(), 2u) << "the list made again, the save kept aside";
    }
}

// A stop after a save's system file was written and before its journal went: the system file
// says the save was not made only while it holds the very bytes the save replaced (its new files
// are then kept aside, not deleted); any other content says nothing (a save whose files are whole
// goes forward, what it replaced kept aside, the table made from the slot files, the folder
// flushed before the journal goes); the bytes the save wrote say it was made, even when a new file
// was damaged since. The player hears of each save kept aside, and under which names.
TEST_F(SaveStoreTest, AStoppedSavesSystemFileIsBelievedOnlyForTheBytesItsJournalKnows)
{
    const Save older = MakeSave(1);
    Save newer = MakeSave(2);
    newer.state.SetEngineStateWord(ENGINE_STATE_SNAPSHOT);
    const std::string before = BytesOf(SystemWith({}));
    const std::string after = BytesOf(SystemWith({1}));
    const auto span_of = [](const std::string& text) {
        return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
    SlotMoveJournal journal;
    journal.SystemHash = HashSaveBytes(span_of(after));
    journal.HasPrevious = true;
    journal.PreviousHash = HashSaveBytes(span_of(before));
    journal.SystemFile = "FLAG000";
    journal.NewFiles = {"FLAG001", "SaveData001.dat"};
    journal.Renames = {{"FLAG001", "FLAG001.drop"}, {"SaveData001.dat", "SaveData001.dat.drop"}};
    m_app.UseConfigFile(m_folder + "config.xml");
    m_app.Config().SetInt("/Config/Language", 0);
    enum class Found
    {
        Before,
        BeforeWithAByteChanged,
        AfterWithTheFlagFileCut,
        Lost,
    };
    for (const Found found :
         {Found::Before, Found::BeforeWithAByteChanged, Found::AfterWithTheFlagFileCut, Found::Lost}) {
        for (const auto& [name, content] : Folder())
            std::filesystem::remove(m_dir.Path() / name);
        m_dir.Write("FLAG001.drop", BytesOf(older.state));
        m_dir.Write("SaveData001.dat.drop", BytesOf(older.data));
        std::string state = BytesOf(newer.state);
        if (found == Found::AfterWithTheFlagFileCut)
            state.resize(state.size() / 2);
        m_dir.Write("FLAG001", state);
        m_dir.Write("SaveData001.dat", BytesOf(newer.data));
        std::string system = found == Found::AfterWithTheFlagFileCut ? after : before;
        if (found == Found::BeforeWithAByteChanged)
            system[1] ^= 0x41; // the name field: it still reads
        if (found != Found::Lost)
            m_dir.Write("FLAG000", system);
        m_dir.Write("slotmove.jnm", journal.Encode());
        std::vector<std::pair<platform::FolderCall, std::string>> calls;
        platform::ObserveFolderCalls(
            [&](platform::FolderCall call, std::u16string_view first, std::u16string_view) {
                const std::string name = CStringUTF8(std::u16string(first)).GetStdString();
                calls.emplace_back(call, name.substr(name.find_last_of('/') + 1));
            });
        (void)TakeMessageBoxes();
        SaveStore::RemoveLeftovers();
        platform::ObserveFolderCalls(nullptr);
        const std::vector<std::string> boxes = TakeMessageBoxes();
        const auto holds = [&](const char* name, const Save& save, bool state_file) {
            const std::string bytes = state_file ? BytesOf(save.state) : BytesOf(save.data);
            return std::filesystem::exists(m_dir.Path() / name) &&
                   Get(name) == Bytes(bytes.begin(), bytes.end());
        };
        switch (found) {
        case Found::Before:
            EXPECT_TRUE(holds("FLAG001", older, true) && holds("SaveData001.dat", older, false));
            EXPECT_TRUE(holds("FLAG001.kept", newer, true) && holds("SaveData001.dat.kept", newer, false));
            EXPECT_EQ(Folder().size(), 5u);
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0], "An interrupted save or delete left a save that could not be put back in the "
                                "list. Its files were kept in " +
                                    m_folder + " under these names:\nFLAG001.kept, SaveData001.dat.kept");
            break;
        case Found::BeforeWithAByteChanged: {
            EXPECT_TRUE(holds("FLAG001", newer, true) && holds("SaveData001.dat", newer, false));
            EXPECT_TRUE(holds("FLAG001.kept", older, true) && holds("SaveData001.dat.kept", older, false));
            EXPECT_EQ(Get("FLAG000.bad"), Bytes(system.begin(), system.end()));
            FlagBuffer relisted;
            ASSERT_TRUE(SaveStore::ReadSystemFile(relisted));
            EXPECT_TRUE(SaveSlotTable(relisted.Bytes).IsUsed(1)) << "the save in slot 1 is listed";
            EXPECT_EQ(boxes.size(), 2u) << "the list made again, the save kept aside";
            break;
        }
        case Found::Lost:
            EXPECT_TRUE(holds("FLAG001", newer, true) && holds("SaveData001.dat", newer, false));
            EXPECT_TRUE(holds("FLAG001.kept", older, true) && holds("SaveData001.dat.kept", older, false));
            EXPECT_EQ(Folder().size(), 4u);
            EXPECT_EQ(boxes.size(), 1u) << "the save kept aside";
            break;
        case Found::AfterWithTheFlagFileCut:
            EXPECT_EQ(Get("FLAG001"), Bytes(state.begin(), state.end()));
            EXPECT_TRUE(holds("SaveData001.dat", newer, false));
            EXPECT_EQ(Folder().size(), 3u) << "the set-aside files deleted";
            EXPECT_TRUE(boxes.empty());
            break;
        }
        if (found == Found::Lost || found == Found::BeforeWithAByteChanged) {
            // The renames to ".kept" names are flushed before the journal goes.
            const auto last_kept = std::ranges::find_if(calls.rbegin(), calls.rend(), [](const auto& call) {
                return call.first == platform::FolderCall::Rename &&
                       call.second.starts_with("SaveData001.dat");
            });
            const auto unlinked = std::ranges::find(
                calls, std::pair{platform::FolderCall::Delete, std::string("slotmove.jnm")});
            ASSERT_TRUE(last_kept != calls.rend() && unlinked != calls.end());
            EXPECT_TRUE(std::any_of(last_kept.base(), unlinked, [](const auto& call) {
                return call.first == platform::FolderCall::Flush;
            })) << "no flush between the last rename and the journal's removal";
        }
    }
}

// An unreadable journal deletes nothing it set aside: a listed slot whose names are free gets its
// files back; a slot something moved into, or that no table lists any more, keeps them under
// ".kept" names beside any kept before, which no later start removes; the player is told so in
// their language. The rows list slots whose files are no saves: the list is made again.
TEST_F(SaveStoreTest, AnUnreadableJournalsSetAsideFilesAreRestoredOrKept)
{
    m_dir.Write("FLAG000", BytesOf(SystemWith({1, 3})));
    for (const char* name :
         {"FLAG001.drop", "sel001.drop", "FLAG002.drop", "FLAG003.drop", "SaveData003.dat.drop"})
        m_dir.Write(name, std::string(name));
    m_dir.Write("FLAG003", std::string("moved in"));
    m_dir.Write("FLAG003.kept", std::string("kept before"));
    m_dir.Write("slotmove.jnl", std::string("damaged"));
    m_app.UseConfigFile(m_folder + "config.xml");
    m_app.Config().SetInt("/Config/Language", 0);

    (void)TakeMessageBoxes();
    SaveStore::RemoveLeftovers();
    SaveStore::RemoveLeftovers();
    EXPECT_EQ(
        TakeMessageBoxes(),
        (std::vector<std::string>{
            m_folder + "FLAG000 was damaged, so the list of saves was made again from the save slots' files.",
            m_folder +
                "slotmove.jnl is damaged.\nAn interrupted save or delete left 2 "
                "saves that could not be put back in the list. Their files were "
                "kept in " +
                m_folder + " under these names:\nFLAG002.kept, FLAG003.kept2, SaveData003.dat.kept"}));
    const auto text = [&](const char* name) {
        const Bytes bytes = Get(name);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(text("FLAG001"), "FLAG001.drop");
    EXPECT_EQ(text("sel001"), "sel001.drop");
    EXPECT_EQ(text("FLAG002.kept"), "FLAG002.drop");
    EXPECT_EQ(text("FLAG003"), "moved in");
    EXPECT_EQ(text("FLAG003.kept"), "kept before");
    EXPECT_EQ(text("FLAG003.kept2"), "FLAG003.drop");
    EXPECT_EQ(text("SaveData003.dat.kept"), "SaveData003.dat.drop");
    EXPECT_EQ(Folder().size(), 9u) << "the journal is gone, the old list kept as FLAG000.bad";
}
