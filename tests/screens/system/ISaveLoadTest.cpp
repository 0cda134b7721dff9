// The save and load operations on a started document over a real save folder: slot pushes and
// deletes as seen in the files and the table, the slot pointers and save variables, the stored
// engine bits, saves and deletes cut at every step (by an injected file failure, and by a stop
// that leaves no chance to undo), the checked loads, and the thumbnail's average and covers.

#include "screens/system/ISaveLoad.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "app/CGameWork.h"
#include "app/CVeskDoc.h"
#include "app/InitSaveData.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "foundation/ConfigSettings.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/PictureSlot.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/FileFault.h"
#include "screens/ScreenFixture.h"
#include "screens/system/CLoadDialog.h"
#include "screens/system/CSaveDialog.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/commands/CFuncOneMes.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveStore.h"
#include "script/save/SaveThumbnail.h"
#include "script/save/SlotFileMoves.h"
#include "script/save/SlotMoveJournal.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptContext.h"
#include "slotwrite/SlotTableWriter.h"

namespace {

constexpr uint32_t ID_RECORD = 0x00070000; // a save-data record that carries the save's id
constexpr uint32_t COVER_COLOUR = 0xFF00FF00;

using Folder = std::map<std::string, std::vector<uint8_t>>;

struct FileStop
{};

class ISaveLoadThreadTest : public ScreenFixture
{
protected:
    explicit ISaveLoadThreadTest(bool dialog_sheet = true)
        : ScreenFixture({},
                        {{"K11_MOZ.AKB", tools::EncodeAkb(tools::MakePicture(1920, 1080, COVER_COLOUR), {})}},
                        dialog_sheet)
    {
        State().Variables.resize(90);
        State().Flags.assign(16, 0);
        GetScriptState().SaveDataSnapshot->Free();
    }
    ~ISaveLoadThreadTest() override
    {
        SetSaveStepHook(nullptr);
        platform::ClearFileFault();
        platform::PinLocalTime(nullptr);
        for (int32_t i = 0; i < PICTURE_SLOT_COUNT; ++i)
            GetShownPictureName(i).Empty();
        GetShownBaseName().Empty();
    }

    FlagBuffer& State() { return *GetScriptState().m_current_state; }
    std::string Path(const std::string& name) const { return m_dir.Path().string() + "/" + name; }
    static std::string Name(const char* format, uint32_t slot)
    {
        char text[32];
        std::snprintf(text, sizeof text, format, slot);
        return text;
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }

    // Gives the coming save an id in its flag file (Money) and in its save data.
    void Mark(int32_t id)
    {
        State().SetMoney(id);
        ScriptValueArray record;
        record.SetKey(ID_RECORD);
        record.Values.push_back(ScriptValue::FromInteger(id));
        GetScriptState().SaveDataSnapshot->Store(record);
    }
    bool ReadFlag(const std::string& name, FlagBuffer& out) const
    {
        if (!Exists(name))
            return false;
        const std::vector<uint8_t> bytes = m_dir.Read(name);
        ByteCursor cursor(bytes);
        return out.ReadFrom(cursor);
    }
    // The id of the save in the slot's flag file and in its save data; -1 for a missing file.
    std::pair<int32_t, int32_t> Ids(uint32_t slot) const
    {
        FlagBuffer flag;
        const int32_t flag_id = ReadFlag(Name("FLAG%03u", slot), flag) ? flag.Money() : -1;
        int32_t data_id = -1;
        if (Exists(Name("SaveData%03u.dat", slot))) {
            const std::vector<uint8_t> bytes = m_dir.Read(Name("SaveData%03u.dat", slot));
            ByteCursor cursor(bytes);
            ScriptValueTable table;
            const ScriptValueArray* record = table.ReadFrom(cursor) ? table.Find(ID_RECORD) : nullptr;
            if (record != nullptr && !record->Values.empty())
                data_id = record->Values[0].Integer;
        }
        return {flag_id, data_id};
    }
    std::vector<uint8_t> SystemTable() const
    {
        FlagBuffer system;
        if (!ReadFlag("FLAG000", system))
            return std::vector<uint8_t>(SLOT_TABLE_SIZE);
        GrowToSlotTable(system.Bytes);
        return std::vector<uint8_t>(system.Bytes.begin(), system.Bytes.begin() + SLOT_TABLE_SIZE);
    }
    SaveSlotHeader DiskHeader(uint32_t slot) const
    {
        std::vector<uint8_t> table = SystemTable();
        return SaveSlotTable(table).Get(slot);
    }
    void LoseSystemFile(bool damaged)
    {
        if (damaged)
            m_dir.Write("FLAG000", std::vector<uint8_t>{1, 2, 3});
        else
            std::filesystem::remove(Path("FLAG000"));
    }
    Folder ReadFolder() const
    {
        Folder files;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
            const std::string name = entry.path().filename().string();
            if (name.find(".arc") == std::string::npos && entry.is_regular_file())
                files[name] = m_dir.Read(name);
        }
        return files;
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path())) {
            if (entry.path().filename().string().find(".arc") == std::string::npos)
                names.push_back(entry.path().filename().string());
        }
        return names;
    }
    // The folder and the live state, to compare before and after an operation that must change
    // nothing.
    struct Unchanged
    {
        Folder files;
        std::string live;
        bool operator==(const Unchanged&) const = default;
    };
    Unchanged Look() const
    {
        Unchanged look{ReadFolder(), {}};
        GetScriptState().m_current_state->AppendTo(look.live);
        return look;
    }

    // Writes a used manual, auto or quick slot by hand: header with the id as its money, and
    // the four files holding the id.
    void PutSlot(std::vector<uint8_t>& table, uint32_t slot, int32_t id, bool with_files = true)
    {
        SaveSlotHeader header;
        header.Used = 1;
        header.Money = static_cast<uint16_t>(id);
        SaveSlotTable(table).Put(slot, header);
        if (!with_files)
            return;
        const std::string tag = std::to_string(id);
        for (const char* format : {"FLAG%03u", "SaveData%03u.dat", "thm%03u", "sel%03u"})
            m_dir.Write(Name(format, slot), tag);
    }
    // A used slot whose flag file and save data hold the id and load, with a selection file.
    void PutLoadableSlot(std::vector<uint8_t>& table, uint32_t slot, int32_t id)
    {
        PutSlot(table, slot, id, false);
        FlagBuffer flag;
        flag.SetMoney(id);
        flag.SetEngineStateWord(ENGINE_STATE_SNAPSHOT); // as every save stores it
        std::string bytes;
        flag.AppendTo(bytes);
        m_dir.Write(Name("FLAG%03u", slot), bytes);
        ScriptValueTable data;
        ScriptValueArray record;
        record.SetKey(ID_RECORD);
        record.Values.push_back(ScriptValue::FromInteger(id));
        data.Store(record);
        bytes.clear();
        data.AppendTo(bytes);
        m_dir.Write(Name("SaveData%03u.dat", slot), bytes);
        m_dir.Write(Name("sel%03u", slot), std::to_string(id));
    }
    // Slots first to last used, each with its number as its id, in the system file.
    std::vector<uint8_t> PutSlots(uint32_t first, uint32_t last)
    {
        std::vector<uint8_t> table(SLOT_TABLE_SIZE);
        for (uint32_t slot = first; slot <= last; ++slot)
            PutSlot(table, slot, static_cast<int32_t>(slot));
        PutSystemTable(table);
        return table;
    }
    void PutSystemTable(const std::vector<uint8_t>& table)
    {
        FlagBuffer system;
        system.Bytes = table;
        std::string bytes;
        system.AppendTo(bytes);
        m_dir.Write("FLAG000", std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    std::string FileText(const std::string& name) const
    {
        const std::vector<uint8_t> bytes = m_dir.Read(name);
        return std::string(bytes.begin(), bytes.end());
    }
    // Makes the folder hold exactly these files (the archives aside), writing only what differs.
    void PutFolder(const Folder& files)
    {
        const Folder now = ReadFolder();
        for (const auto& [name, bytes] : now) {
            if (!files.contains(name))
                std::filesystem::remove(Path(name));
        }
        for (const auto& [name, bytes] : files) {
            const auto found = now.find(name);
            if (found == now.end() || found->second != bytes)
                m_dir.Write(name, bytes);
        }
    }
    // Slot and id of each save the next start lists, after it has put the folder in order as the
    // start does; each listed slot's flag file and save data must hold its save. A folder without
    // a system file lists the saves its slot files hold, as the start lists them in the initial
    // set's one.
    using Listing = std::map<uint32_t, int32_t>;
    Listing ListedAtNextStart(bool whole = true)
    {
        Listing listed;
        SaveStore::RemoveLeftovers();
        CXMLDocument(CStringUTF8(Path("config.xml"))).RemoveCutSave(); // as the start does
        FlagBuffer system;
        EXPECT_TRUE(SaveStore::ReadSystemFile(system));
        GrowToSlotTable(system.Bytes);
        const SaveSlotTable table(system.Bytes);
        for (uint32_t slot = SLOT_FIRST; slot <= SLOT_LAST; ++slot) {
            if (!table.IsUsed(slot))
                continue;
            listed[slot] = table.Get(slot).Money;
            if (whole) {
                EXPECT_EQ(Ids(slot), std::make_pair(listed[slot], listed[slot])) << "slot " << slot;
            }
        }
        return listed;
    }
    // Slot and id of each save the system file on disk lists, as it is.
    Listing ListingOnDisk() const
    {
        Listing listed;
        std::vector<uint8_t> table = SystemTable();
        for (uint32_t slot = SLOT_FIRST; slot <= SLOT_LAST; ++slot) {
            if (SaveSlotTable(table).IsUsed(slot))
                listed[slot] = SaveSlotTable(table).Get(slot).Money;
        }
        return listed;
    }

    // Names of slot files no listed save owns, and of what is set aside, journalled or half
    // written.
    std::vector<std::string> Unowned(const Listing& listed) const
    {
        static const std::regex slot_file("(?:FLAG|thm|sel)([0-9]{3})|SaveData([0-9]{3})\\.dat");
        std::vector<std::string> unowned;
        for (const std::string& name : Names()) {
            std::smatch match;
            const bool owned =
                !std::regex_match(name, match, slot_file) ||
                listed.contains(static_cast<uint32_t>(std::stoi(match[1].matched ? match[1] : match[2]))) ||
                name == "FLAG000";
            if (!owned || name.find(".drop") != std::string::npos || name.find(".jn") != std::string::npos ||
                name.find(".tmp") != std::string::npos)
                unowned.push_back(name);
        }
        return unowned;
    }

    // The document code a load threw, or -1 when it returned.
    template <typename Load>
    int LoadCode(Load load)
    {
        try {
            load();
        } catch (CVeskDoc::tagDOCUMENT_CODE code) {
            return static_cast<int>(code);
        }
        return -1;
    }

    // Names of the files kept aside in the folder.
    std::set<std::string> KeptNames() const
    {
        std::set<std::string> kept;
        for (const std::string& name : Names()) {
            if (name.find(".kept") != std::string::npos)
                kept.insert(name);
        }
        return kept;
    }
    // Each listed row holds the save it shows and loads it (all rows, or the first and the last of
    // each group); one whose flag file is there but damaged is refused, and the player told.
    void ExpectRowsLoadTheirSaves(const Listing& listed, const std::string& at, bool load_every_row)
    {
        for (const auto& [slot, id] : listed) {
            FlagBuffer flag;
            if (Exists(Name("FLAG%03u", slot)) && !ReadFlag(Name("FLAG%03u", slot), flag)) {
                m_messages.clear();
                EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(slot); }), -1) << "slot " << slot << ", " << at;
                EXPECT_EQ(m_messages.size(), 1u) << "slot " << slot << ", " << at;
                continue;
            }
            EXPECT_EQ(Ids(slot), std::make_pair(id, id)) << "slot " << slot << ", " << at;
            const bool first = !listed.contains(slot - 1) || SlotGroupFirst(SlotGroupOf(slot)) == slot;
            const bool last = !listed.contains(slot + 1) || SlotGroupLast(SlotGroupOf(slot)) == slot;
            if (!load_every_row && !first && !last)
                continue;
            EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(slot); }), 3) << "slot " << slot << ", " << at;
            EXPECT_EQ(State().Money(), id) << "slot " << slot << ", " << at;
        }
    }

    CSaveDialog m_save{SYSTEM_PAGE_SAVE};
    CLoadDialog m_load{SYSTEM_PAGE_LOAD};
};

TEST_F(ISaveLoadThreadTest, PushingAFullGroupDropsItsLastSlot)
{
    PutSlots(201, 300);
    Mark(7000);
    ASSERT_TRUE(m_save.QuickSave());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(Ids(201), std::make_pair(7000, 7000));
    for (uint32_t slot : {202u, 250u, 300u}) {
        EXPECT_EQ(FileText(Name("FLAG%03u", slot)), std::to_string(slot - 1));
        EXPECT_EQ(FileText(Name("sel%03u", slot)), std::to_string(slot - 1));
        EXPECT_EQ(DiskHeader(slot).Money, slot - 1);
    }
    EXPECT_FALSE(Exists("sel201")); // the new save has no selection file
    for (const auto& [name, bytes] : ReadFolder())
        EXPECT_EQ(name.find(".drop"), std::string::npos) << name;
    // The live table is the one on disk.
    EXPECT_EQ(std::vector<uint8_t>(State().Bytes.begin(), State().Bytes.begin() + SLOT_TABLE_SIZE),
              SystemTable());
    EXPECT_EQ(m_save.GetCount(2), 100);
}

TEST_F(ISaveLoadThreadTest, DeletesCloseTheGapAndMoveSetsWhole)
{
    std::vector<uint8_t> table(SLOT_TABLE_SIZE);
    for (uint32_t slot = 1; slot <= 3; ++slot)
        PutSlot(table, slot, static_cast<int32_t>(slot));
    PutSlot(table, 100, 100);
    std::filesystem::remove(Path("thm003")); // slot 3 has no thumbnail: slot 2 must not keep its own
    PutSystemTable(table);

    ASSERT_TRUE(m_save.DeleteSlot(1));
    std::vector<uint8_t> after = SystemTable();
    SaveSlotTable view(after);
    EXPECT_EQ(view.Get(1).Money, 2);
    EXPECT_EQ(view.Get(2).Money, 3);
    EXPECT_FALSE(view.IsUsed(3));
    EXPECT_EQ(FileText("FLAG001"), "2");
    EXPECT_EQ(FileText("FLAG002"), "3");
    EXPECT_FALSE(Exists("thm002"));
    EXPECT_FALSE(Exists("FLAG003"));
    // Slot 100 moved down to 99 with the rest of the group.
    EXPECT_EQ(FileText("FLAG099"), "100");
    EXPECT_FALSE(view.IsUsed(100));

    // The last slot of a group: nothing moves, the header is just emptied.
    PutSlot(after, 300, 300);
    PutSlot(after, 299, 299);
    PutSystemTable(after);
    ASSERT_TRUE(m_save.DeleteSlot(300));
    EXPECT_FALSE(DiskHeader(300).Used);
    EXPECT_TRUE(DiskHeader(299).Used);
    EXPECT_EQ(FileText("FLAG299"), "299");
    EXPECT_FALSE(Exists("FLAG300"));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ISaveLoadThreadTest, PointersVariablesAndStoredBits)
{
    struct Case
    {
        const char* saves; // q quick, a auto, m manual new save
        uint16_t last_saved;
        uint16_t continue_slot;
        int32_t v53, v56, v57;
    };
    const Case cases[] = {
        {"a", 101, 0, 1, 0, 0},  {"q", 0, 201, 1, 1, 1},     {"qm", 1, 1, 1, 1, 1},
        {"mq", 1, 201, 1, 1, 1}, {"mqa", 101, 201, 1, 1, 1},
    };
    for (const Case& c : cases) {
        for (const auto& [name, bytes] : ReadFolder())
            std::filesystem::remove(Path(name));
        for (size_t i : {53u, 56u, 57u})
            State().Variables[i] = ScriptValue::FromInteger(0);
        State().SetEngineStateWord(ENGINE_STATE_ENTRY_OPEN | 0x4);
        for (const char* s = c.saves; *s != 0; ++s) {
            const bool saved = *s == 'q'   ? m_save.QuickSave()
                               : *s == 'a' ? m_save.AutoSave()
                                           : m_save.SaveNew("");
            ASSERT_TRUE(saved) << c.saves;
        }
        std::vector<uint8_t> disk = SystemTable();
        const SaveSlotTable table(disk);
        EXPECT_EQ(table.GetLastSaved(), c.last_saved) << c.saves;
        EXPECT_EQ(table.GetContinue(), c.continue_slot) << c.saves;
        FlagBuffer system;
        ASSERT_TRUE(ReadFlag("FLAG000", system));
        for (auto [index, wanted] : {std::pair{53u, c.v53}, {56u, c.v56}, {57u, c.v57}}) {
            EXPECT_EQ(system.Variables[index].Integer, wanted) << c.saves << " variable " << index;
            EXPECT_EQ(State().Variables[index].Integer, wanted) << c.saves << " variable " << index;
        }
        // The stored state is marked as a save in progress and has no open record; the live
        // one keeps its bits.
        FlagBuffer stored;
        const char* last = c.saves + std::strlen(c.saves) - 1;
        ASSERT_TRUE(ReadFlag(*last == 'q' ? "FLAG201" : *last == 'a' ? "FLAG101" : "FLAG001", stored));
        EXPECT_EQ(stored.EngineStateWord(), ENGINE_STATE_SNAPSHOT | 0x4) << c.saves;
        EXPECT_EQ(State().EngineStateWord(), ENGINE_STATE_ENTRY_OPEN | 0x4) << c.saves;
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ISaveLoadThreadTest, OverwriteMovesTheNewerSavesAndCommentsAreStored)
{
    PutSlots(1, 4);
    Mark(900);
    ASSERT_TRUE(m_save.SaveOver(3, "a comment that is longer than the field"));
    std::vector<uint8_t> disk = SystemTable();
    const SaveSlotTable view(disk);
    EXPECT_EQ(Ids(1), std::make_pair(900, 900));
    EXPECT_EQ(FileText("FLAG002"), "1");
    EXPECT_EQ(FileText("FLAG003"), "2"); // slot 3's old save is gone
    EXPECT_EQ(FileText("FLAG004"), "4");
    EXPECT_STREQ(view.Get(1).GetComment().GetText(), "a comment that is lon");
    EXPECT_EQ(view.Get(2).Money, 1);
    EXPECT_EQ(view.Get(4).Money, 4);
    EXPECT_EQ(m_save.GetCount(0), 4);
}

// Every counted file call of a save and of a delete fails once in turn: each failed attempt
// leaves the folder and the live state byte for byte as they were, with one report.
TEST_F(ISaveLoadThreadTest, AFailedStepChangesNothing)
{
    PutSlots(201, 203);
    Mark(555);
    struct Operation
    {
        const char* name;
        std::function<bool()> run;
    };
    const Operation operations[] = {{"quick save", [&] { return m_save.QuickSave(); }},
                                    {"delete", [&] { return m_save.DeleteSlot(202); }}};
    for (const Operation& operation : operations) {
        int failures = 0;
        for (int skip = 0;; ++skip) {
            const Unchanged before = Look();
            FlagBuffer live_copy;
            live_copy.Assign(State());
            ScriptValueTable data_copy;
            data_copy.Assign(*GetScriptState().SaveDataSnapshot);
            m_messages.clear();
            platform::InjectFileFault(skip, EIO);
            const bool done = operation.run();
            const bool struck = !platform::IsFileFaultPending();
            platform::ClearFileFault();
            if (done && !struck)
                break;
            if (done) {
                // A read's close, or the thumbnail's write (the save is kept without it), may fail
                // without failing the operation; a folder flush its order relies on may not. Go
                // back to where it started and try the next call.
                EXPECT_NE(platform::StruckFileCall(), platform::FileCall::FlushFolder)
                    << operation.name << " done failing at " << skip;
                for (const auto& [name, bytes] : ReadFolder())
                    std::filesystem::remove(Path(name));
                for (const auto& [name, bytes] : before.files)
                    m_dir.Write(name, bytes);
                State().Assign(live_copy);
                GetScriptState().SaveDataSnapshot->Assign(data_copy);
                continue;
            }
            ++failures;
            EXPECT_TRUE(Look() == before) << operation.name << " changed something failing at " << skip;
            EXPECT_EQ(m_messages.size(), 1u) << operation.name << " at " << skip;
            ASSERT_LT(skip, 200);
        }
        EXPECT_GT(failures, 8) << operation.name;
    }
}

// A fault at any file call of a quick save: a fault in the thumbnail's write keeps the save,
// loadable and without a picture, and the player is told; after a stop once its system file is
// written the next start keeps it too, silently.
TEST_F(ISaveLoadThreadTest, ASaveWhoseThumbnailCannotBeWrittenIsKept)
{
    int kept = 0;
    for (int skip = 0; skip < 200; ++skip) {
        bool struck = false;
        for (const bool stop : {false, true}) {
            for (const auto& [name, bytes] : ReadFolder())
                std::filesystem::remove(Path(name));
            Mark(skip + 1);
            m_messages.clear();
            if (stop) {
                SetSaveStepHook([&] {
                    if (DiskHeader(201).Money == skip + 1)
                        throw FileStop{};
                });
            }
            platform::InjectFileFault(skip, EIO);
            bool done = false;
            try {
                done = m_save.QuickSave();
            } catch (FileStop) {
                done = true;
            }
            SetSaveStepHook(nullptr);
            struck = !platform::IsFileFaultPending();
            platform::ClearFileFault();
            if (!struck || !done || Exists("thm201"))
                break;
            kept += stop ? 0 : 1;
            if (stop) {
                EXPECT_TRUE(m_messages.empty()) << skip;
                EXPECT_EQ(ListedAtNextStart(), Listing({{201, skip + 1}})) << skip;
            } else {
                EXPECT_EQ(m_messages, std::vector<std::string>({"The game was saved without its picture.\n"
                                                                "Input/output error."}))
                    << skip;
            }
            EXPECT_EQ(Ids(201), std::make_pair(skip + 1, skip + 1)) << skip;
            EXPECT_EQ(DiskHeader(201).Used, 1) << skip;
        }
        if (!struck)
            break;
    }
    EXPECT_GT(kept, 0);
}

// Every operation on the saves, the quit and the settings write, killed at each counted file call
// (the child process dies there every few calls; between those a throw stops it as cheaply), over a
// sound system file and over a damaged one: after the next start the slots are all as before or
// all as after, each listed slot's files hold its save and load it, and nothing unlisted, set
// aside, journalled or half written is left. Short groups, the quick save standing for the auto
// and the new save; VESK_LONG_TESTS=1 takes every group full (a save then drops the group's last
// slot) and every kind of save, and loads saves after every call, not every eighth. A save over
// slot 1 runs after one just like it in the same second: both write the same system file. Each
// stop that leaves a journal is also followed, in turn, by the system file lost, damaged so that it
// no longer reads, changed in a byte of its header or in a row's date, or put back as it was before
// the operation, by the journal rewritten as the previous build wrote it, and by the new save's flag
// file cut in half; a damaged journal by the same faults of the system file. No save's files are
// then deleted but those a finished operation's own system file proves gone (some may be kept
// aside, and the start says so, by name), and every listed row loads the save it shows.
TEST_F(ISaveLoadThreadTest, AKillAtAnyFileCallLeavesEverySaveWholeAndListed)
{
    const char* long_switch = std::getenv("VESK_LONG_TESTS");
    const bool long_run = long_switch != nullptr && std::string(long_switch) == "1";
    SYSTEMTIME now{};
    now.wYear = 2026;
    now.wMonth = 12;
    now.wDay = 24;
    now.wSecond = 58;
    platform::PinLocalTime(&now);
    std::vector<uint8_t> table(SLOT_TABLE_SIZE);
    Listing before;
    for (const auto& [first, last] : {std::pair{1u, long_run ? 100u : 3u},
                                      {101u, long_run ? 200u : 102u},
                                      {201u, long_run ? 300u : 203u}}) {
        for (uint32_t slot = first; slot <= last; ++slot) {
            before[slot] = static_cast<int32_t>(slot) + 800;
            PutLoadableSlot(table, slot, before[slot]);
            // Every other save has a thumbnail: a set with a kind missing moves all the same.
            if (slot % 2 == 1)
                m_dir.Write(Name("thm%03u", slot), std::to_string(before[slot]));
        }
    }
    PutSystemTable(table);
    m_dir.Write("config.xml", std::string("<?xml version=\"1.0\" ?>\n<Config>\n\t<A>1</A>\n</Config>\n"));
    CFuncOneMes().ResizeReadBuffer(64); // so that quitting saves what was read
    const Folder sound = ReadFolder();
    Folder damaged = sound;
    damaged["FLAG000"] = {1, 2, 3};
    damaged["config.xml"] = {'<', '?'};
    FlagBuffer live;
    live.Assign(State());

    struct Operation
    {
        const char* name;
        std::function<void()> run;
        bool long_only = false;  // takes the quick save's way through the store
        bool after_same = false; // starts after the same operation, made in the same second
    };
    const Operation operations[] = {
        {"quick save", [&] { (void)m_save.QuickSave(); }},
        {"auto save", [&] { (void)m_save.AutoSave(); }, true},
        {"new save", [&] { (void)m_save.SaveNew("note"); }, true},
        {"save over", [&] { (void)m_save.SaveOver(2, ""); }},
        {"second save over slot 1", [&] { (void)m_save.SaveOver(1, ""); }, false, true},
        {"delete", [&] { (void)m_save.DeleteSlot(long_run ? 291 : 202); }},
        {"delete all", [&] { (void)m_save.DeleteAll(); }},
        {"load", [&] { (void)LoadCode([&] { m_load.LoadSlot(2); }); }},
        {"quit",
         [&] {
             try {
                 GetGameWork()->QuitWithoutAsking();
             } catch (CVeskDoc::tagDOCUMENT_CODE) {
             }
         }},
        {"settings",
         [&] {
             CXMLDocument config(CStringUTF8(Path("config.xml")));
             config.Load();
             config.SetInt(CStringUTF8("/Config/B"), 2);
             (void)config.Save();
         }},
    };
    const auto start = [&](const Folder& files) {
        PutFolder(files);
        State().Assign(live);
        Mark(7000);
    };
    enum class Damage
    {
        None,
        SystemFile, // before the operation
        Journal,    // by the stop: whatever journal it leaves cannot be read
        AfterStop,  // after each stop that leaves a journal, each of the faults below in turn
    };
    static constexpr const char* DAMAGE_NAMES[] = {"", " (damaged system file)", " (damaged journal)",
                                                   " (faults after the stop)"};
    // What befalls the folder a stop left with its journal.
    enum class Fault
    {
        SystemLost,     // the system file removed
        SystemSpoilt,   // damaged so that it no longer reads
        SystemHeader,   // a byte of its header changed, and it still reads
        SystemRowDate,  // a row's date changed
        SystemBefore,   // the one from before the operation put back
        OlderJournal,   // the journal as the previous build wrote it
        NewFlagFileCut, // the new save's flag file cut in half
    };
    static constexpr const char* FAULT_NAMES[] = {
        "system file lost",   "system file damaged",      "system file header", "row date",
        "system file before", "previous build's journal", "new flag file cut"};
    // Each save's id, from every flag file and save data in the folder, under any name but that of
    // a write cut short.
    const auto ids_kept = [&] {
        std::set<int32_t> flag_ids;
        std::set<int32_t> data_ids;
        for (const auto& [name, bytes] : ReadFolder()) {
            if (name.ends_with(".tmp"))
                continue;
            ByteCursor cursor(bytes);
            FlagBuffer flag;
            ScriptValueTable data;
            if (name.starts_with("FLAG") && name != "FLAG000" && flag.ReadFrom(cursor))
                flag_ids.insert(flag.Money());
            const ScriptValueArray* record = nullptr;
            if (name.starts_with("SaveData") && data.ReadFrom(cursor) &&
                (record = data.Find(ID_RECORD)) != nullptr && !record->Values.empty())
                data_ids.insert(record->Values[0].Integer);
        }
        std::set<int32_t> both;
        std::ranges::set_intersection(flag_ids, data_ids, std::inserter(both, both.end()));
        return both;
    };
    // The fault on the folder a stop left; false when it does not apply.
    const auto befall = [&](Fault fault, const std::string& journal_name,
                            const Folder& before_operation_files, const std::vector<uint8_t>& table_after) {
        switch (fault) {
        case Fault::SystemLost:
        case Fault::SystemSpoilt:
            LoseSystemFile(fault == Fault::SystemSpoilt);
            return true;
        case Fault::SystemHeader:
        case Fault::SystemRowDate: {
            FlagBuffer system;
            if (!ReadFlag("FLAG000", system))
                return false;
            std::vector<uint8_t> bytes = m_dir.Read("FLAG000");
            if (fault == Fault::SystemHeader) {
                bytes[1] ^= 0x41; // in the name field
            } else {
                GrowToSlotTable(system.Bytes);
                SaveSlotTable table(system.Bytes);
                uint32_t row = SLOT_FIRST;
                while (row < SLOT_LAST && !table.IsUsed(row))
                    ++row;
                SaveSlotHeader header = table.Get(row);
                header.Year ^= 1;
                table.Put(row, header);
                std::string text;
                system.AppendTo(text);
                bytes.assign(text.begin(), text.end());
            }
            m_dir.Write("FLAG000", bytes);
            return true;
        }
        case Fault::SystemBefore: {
            const std::vector<uint8_t>& previous = before_operation_files.at("FLAG000");
            if (Exists("FLAG000") && m_dir.Read("FLAG000") == previous)
                return false;
            m_dir.Write("FLAG000", previous);
            return true;
        }
        case Fault::OlderJournal: {
            SlotMoveJournal journal;
            EXPECT_TRUE(journal.Decode(m_dir.Read(journal_name)));
            journal.Version = 1;
            journal.SystemHash = HashSaveBytes(table_after);
            m_dir.Write(journal_name, journal.Encode());
            return true;
        }
        case Fault::NewFlagFileCut: {
            SlotMoveJournal journal;
            EXPECT_TRUE(journal.Decode(m_dir.Read(journal_name)));
            for (const CStringUTF8& name : journal.NewFiles) {
                const std::string file = name.GetStdString();
                if (file.starts_with("FLAG") && Exists(file)) {
                    std::vector<uint8_t> bytes = m_dir.Read(file);
                    bytes.resize(bytes.size() / 2);
                    m_dir.Write(file, bytes);
                    return true;
                }
            }
            return false;
        }
        }
        return false;
    };
    std::map<Fault, int> fault_points;
    for (const Damage damage : {Damage::None, Damage::SystemFile, Damage::Journal, Damage::AfterStop}) {
        int journal_stops = 0;
        int journal_whole = 0;
        const bool after_stop = damage == Damage::AfterStop;
        for (const Operation& operation : operations) {
            if (operation.long_only && !long_run)
                continue;
            SCOPED_TRACE(std::string(operation.name) + DAMAGE_NAMES[static_cast<size_t>(damage)]);
            Folder first = damage == Damage::SystemFile ? damaged : sound;
            Listing before_operation = before;
            if (operation.after_same) {
                start(sound);
                operation.run();
                first = ReadFolder();
                before_operation = ListedAtNextStart();
                if (damage == Damage::SystemFile) {
                    first["FLAG000"] = damaged["FLAG000"];
                    first["config.xml"] = damaged["config.xml"];
                }
            }
            start(first);
            operation.run();
            // The previous build's journal named the slot table the system file gets at the end.
            const std::vector<uint8_t> table_after = SystemTable();
            const std::vector<uint8_t> system_after =
                Exists("FLAG000") ? m_dir.Read("FLAG000") : std::vector<uint8_t>();
            const Listing after = ListedAtNextStart();
            // A start after a fault on the folder a stop left. No save's files are deleted (some
            // may be kept aside) but those a finished operation's system file proves it deleted;
            // each listed row loads the save it shows, a damaged one is refused; a start that keeps
            // saves aside says so, by their names; nothing is left unlisted.
            const auto start_after_fault = [&](const std::string& at, bool may_finish) {
                const std::set<int32_t> kept_before = ids_kept();
                const bool proven = may_finish && Exists("FLAG000") && m_dir.Read("FLAG000") == system_after;
                const std::set<std::string> kept_names = KeptNames();
                m_messages.clear();
                const Listing listed = ListedAtNextStart(false);
                const std::set<int32_t> kept_after = ids_kept();
                for (const int32_t id : kept_before) {
                    const bool finished_away = proven && std::ranges::none_of(after, [id](const auto& row) {
                                                   return row.second == id;
                                               });
                    EXPECT_TRUE(kept_after.contains(id) || finished_away) << "save " << id << " gone, " << at;
                }
                ExpectRowsLoadTheirSaves(listed, at, long_run);
                std::string told;
                for (const std::string& message : m_messages)
                    told += message + "\n";
                for (const std::string& name : KeptNames()) {
                    EXPECT_TRUE(kept_names.contains(name) || told.find(name) != std::string::npos ||
                                told.find("(+") != std::string::npos)
                        << name << " set aside untold, " << at << ": " << told;
                }
                for (const std::string& name : Unowned(listed))
                    ADD_FAILURE() << name << " left, " << at;
                return listed;
            };
            int ended[2] = {0, 0};
            int stops = 0; // the file calls the operation was stopped at
            for (int stop_at = 0;; ++stop_at) {
                start(first);
                bool killed = false;
                if (stop_at % 8 == 0) {
                    const pid_t child = fork();
                    ASSERT_GE(child, 0);
                    if (child == 0) {
                        alarm(20);
                        platform::InjectFileStop(stop_at, [] { ::kill(getpid(), SIGKILL); });
                        operation.run();
                        _exit(0);
                    }
                    int status = 0;
                    ASSERT_EQ(waitpid(child, &status, 0), child);
                    killed = WIFSIGNALED(status);
                    ASSERT_TRUE(!killed || WTERMSIG(status) == SIGKILL) << "hung at " << stop_at;
                } else {
                    platform::InjectFileStop(
                        stop_at, [] { throw FileStop{}; }, true);
                    try {
                        operation.run();
                    } catch (FileStop) {
                        killed = true;
                    }
                    platform::ClearFileFault();
                }

                stops += killed ? 1 : 0;
                if (after_stop && killed) {
                    const std::string journal_name = Exists("slotmove.jnm") ? "slotmove.jnm" : "slotmove.jnl";
                    if (!Exists(journal_name))
                        continue;
                    ++journal_stops;
                    const Folder stopped = ReadFolder();
                    for (const Fault fault :
                         {Fault::SystemLost, Fault::SystemSpoilt, Fault::SystemHeader, Fault::SystemRowDate,
                          Fault::SystemBefore, Fault::OlderJournal, Fault::NewFlagFileCut}) {
                        const std::string at = std::string(FAULT_NAMES[static_cast<size_t>(fault)]) + " at " +
                                               std::to_string(stop_at);
                        PutFolder(stopped);
                        State().Assign(live);
                        if (!befall(fault, journal_name, first, table_after))
                            continue;
                        ++fault_points[fault];
                        const Listing listed = start_after_fault(at, true);
                        const bool done = listed == after;
                        EXPECT_TRUE(done || listed == before_operation) << "mixed, " << at;
                        ++ended[done ? 1 : 0];
                    }
                    continue;
                }
                if (damage == Damage::Journal && killed) {
                    bool journal = false;
                    for (const char* name : {"slotmove.jnl", "slotmove.jnm"}) {
                        if (Exists(name)) {
                            m_dir.Write(name, std::vector<uint8_t>{1, 2, 3});
                            journal = true;
                        }
                    }
                    if (journal) {
                        const Folder stopped = ReadFolder();
                        // The next start puts every save the system file on disk lists back whole
                        // in its slot, from the folder alone: all as before or all as after, what
                        // has no place kept aside; the start after changes nothing.
                        ++journal_stops;
                        const Listing listed_on_disk = ListingOnDisk();
                        for (int start_count = 0; start_count < 2; ++start_count) {
                            const Listing listed = ListedAtNextStart();
                            EXPECT_EQ(listed, listed_on_disk) << "at " << stop_at;
                            EXPECT_TRUE(listed == after || listed == before_operation)
                                << "mixed at " << stop_at;
                            bool whole = listed == listed_on_disk;
                            for (const auto& [slot, id] : listed) {
                                // The thumbnail and the selection file are the save's own too.
                                const bool older = id > 800 && id <= 1100;
                                const std::string thumbnail = Name("thm%03u", slot);
                                const std::string selection = Name("sel%03u", slot);
                                EXPECT_TRUE(!older || (Exists(thumbnail) == (id % 2 == 1) &&
                                                       (!Exists(thumbnail) ||
                                                        FileText(thumbnail) == std::to_string(id)) &&
                                                       FileText(selection) == std::to_string(id)))
                                    << "slot " << slot << " at " << stop_at;
                                EXPECT_TRUE(older || !Exists(selection))
                                    << "slot " << slot << " at " << stop_at;
                                whole = whole && Ids(slot) == std::make_pair(id, id);
                            }
                            for (const std::string& name : Names()) {
                                EXPECT_TRUE(name.find(".drop") == std::string::npos &&
                                            name.find(".jn") == std::string::npos &&
                                            name.find(".tmp") == std::string::npos)
                                    << name << " left at " << stop_at;
                            }
                            journal_whole += whole && start_count == 0 ? 1 : 0;
                        }
                        // The same with the system file lost or changed as well.
                        for (const Fault fault : {Fault::SystemLost, Fault::SystemSpoilt, Fault::SystemHeader,
                                                  Fault::SystemRowDate, Fault::SystemBefore}) {
                            PutFolder(stopped);
                            State().Assign(live);
                            if (befall(fault, "", first, table_after))
                                start_after_fault(std::string("damaged journal, ") +
                                                      FAULT_NAMES[static_cast<size_t>(fault)] + " at " +
                                                      std::to_string(stop_at),
                                                  false);
                        }
                        continue;
                    }
                }

                const Listing listed = ListedAtNextStart();
                const bool done = listed == after;
                EXPECT_TRUE(done || listed == before_operation) << "mixed at " << stop_at;
                ++ended[done ? 1 : 0];
                EXPECT_EQ(Unowned(listed), std::vector<std::string>()) << "left at " << stop_at;
                EXPECT_TRUE(Exists("config.xml")) << stop_at;
                // The first and the last listed slot of each group load their save.
                for (const auto& [slot, id] : listed) {
                    const bool first =
                        !listed.contains(slot - 1) || SlotGroupFirst(SlotGroupOf(slot)) == slot;
                    const bool last = !listed.contains(slot + 1) || SlotGroupLast(SlotGroupOf(slot)) == slot;
                    if ((!long_run && stop_at % 8 != 0) || !(first || last))
                        continue;
                    EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(slot); }), 3) << slot;
                    EXPECT_EQ(State().Money(), id) << "slot " << slot << " at " << stop_at;
                }
                if (!killed)
                    break;
            }
            // A change of the saves comes back as before up to its system file's rename, as after from
            // there on.
            EXPECT_GT(ended[1], 0);
            EXPECT_TRUE(after == before_operation || ended[0] > 0);
            std::fprintf(stderr, "%s%s: %d stops, %d as before, %d as after\n", operation.name,
                         DAMAGE_NAMES[static_cast<size_t>(damage)], stops, ended[0], ended[1]);
        }
        if (after_stop) {
            EXPECT_GT(journal_stops, 0);
            std::fprintf(stderr, "%s: %d stops leaving a journal\n",
                         DAMAGE_NAMES[static_cast<size_t>(damage)], journal_stops);
            for (const auto& [fault, points] : fault_points) {
                EXPECT_GT(points, 0) << FAULT_NAMES[static_cast<size_t>(fault)];
                std::fprintf(stderr, "  %s: %d points\n", FAULT_NAMES[static_cast<size_t>(fault)], points);
            }
        }
        if (damage == Damage::Journal) {
            EXPECT_GT(journal_stops, 0);
            std::fprintf(stderr, "damaged journal: %d stops, %d whole at the next start\n", journal_stops,
                         journal_whole);
        }
    }
}

// A quick save into an empty group, stopped at each file call with its journal made unreadable:
// the next start lists what the system file on disk lists, and the stopped save's files, which no
// table lists, are kept aside rather than left for a rebuilt system file to list; the player is
// told of the journal by its name.
TEST_F(ISaveLoadThreadTest, ADamagedJournalLeavesNoUnlistedSaveInItsSlot)
{
    std::vector<uint8_t> table(SLOT_TABLE_SIZE);
    for (uint32_t slot : {1u, 2u})
        PutLoadableSlot(table, slot, static_cast<int32_t>(slot) + 800);
    PutSystemTable(table);
    const Folder first = ReadFolder();
    int journal_stops = 0;
    for (int stop_at = 0;; ++stop_at) {
        PutFolder(first);
        Mark(7000);
        platform::InjectFileStop(
            stop_at, [] { throw FileStop{}; }, true);
        bool stopped = false;
        try {
            (void)m_save.QuickSave();
        } catch (FileStop) {
            stopped = true;
        }
        platform::ClearFileFault();
        if (!stopped)
            break;
        if (!Exists("slotmove.jnl") && !Exists("slotmove.jnm"))
            continue;
        ++journal_stops;
        for (const char* name : {"slotmove.jnl", "slotmove.jnm"}) {
            if (Exists(name))
                m_dir.Write(name, std::vector<uint8_t>{1, 2, 3});
        }
        const Listing on_disk = ListingOnDisk();
        m_messages.clear();
        const Listing listed = ListedAtNextStart();
        EXPECT_EQ(listed, on_disk) << stop_at;
        // The box names the journal first: no script has run, so it names no script line.
        EXPECT_TRUE(!m_messages.empty() && m_messages[0].starts_with(Path("slotmove.jn")))
            << (m_messages.empty() ? "no box" : m_messages[0]) << " at " << stop_at;
        for (const std::string& name : Unowned(listed))
            EXPECT_NE(name.find(".kept"), std::string::npos) << name << " left at " << stop_at;
        m_messages.clear();
    }
    EXPECT_GT(journal_stops, 2);
}

// A start that finds the system flag file lost while saves stayed writes the initial set with the
// saves listed. Killed at any file call of that start, or failing at any call on a full disk, it
// leaves a folder whose every later start lists every save; a folder flush that fails takes the
// set back.
TEST_F(ISaveLoadThreadTest, AStartAfterALostSystemFileLosesNoSaveAtAnyStopOrFullDisk)
{
    const std::string folder = m_dir.Path().string() + "/";
    m_app.SetUserFolders(folder.c_str(), folder.c_str());
    std::vector<uint8_t> table(SLOT_TABLE_SIZE);
    Listing saves;
    for (const uint32_t slot : {1u, 2u, 101u, 201u, 202u}) {
        saves[slot] = static_cast<int32_t>(slot) + 800;
        PutLoadableSlot(table, slot, saves[slot]);
    }
    m_dir.Write("config.xml", std::string("<?xml version=\"1.0\" ?>\n<Config>\n\t<A>1</A>\n</Config>\n"));
    Folder lost = ReadFolder();
    lost.erase("FLAG000");
    const auto start = [] {
        InitSaveData(nullptr);
        SaveStore::RemoveLeftovers();
    };
    const auto next_start = [&](const char* what, int at) {
        InitSaveData(nullptr);
        const Listing listed = ListedAtNextStart();
        EXPECT_EQ(listed, saves) << what << " at " << at;
        EXPECT_EQ(Unowned(listed), std::vector<std::string>()) << what << " at " << at;
        EXPECT_TRUE(Exists("config.xml")) << what << " at " << at;
    };

    int stops = 0;
    for (int stop_at = 0;; ++stop_at) {
        PutFolder(lost);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            alarm(20);
            platform::InjectFileStop(stop_at, [] { ::kill(getpid(), SIGKILL); });
            start();
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const bool killed = WIFSIGNALED(status);
        ASSERT_TRUE(!killed || WTERMSIG(status) == SIGKILL) << "hung at " << stop_at;
        next_start("stop", stop_at);
        if (!killed)
            break;
        ++stops;
    }
    int faults = 0;
    for (int skip = 0;; ++skip) {
        PutFolder(lost);
        platform::InjectFileFault(skip, ENOSPC);
        start();
        const bool struck = !platform::IsFileFaultPending();
        // The set's renames may not be on the disk in order: it is taken back, for the next start.
        if (platform::StruckFileCall() == platform::FileCall::FlushFolder) {
            EXPECT_FALSE(Exists("FLAG000")) << "full disk at " << skip;
        }
        platform::ClearFileFault();
        next_start("full disk", skip);
        if (!struck)
            break;
        ++faults;
    }
    std::fprintf(stderr, "start after a lost system file: %d stops, %d full-disk failures\n", stops, faults);
    EXPECT_GT(stops, 4);
    EXPECT_GT(faults, 4);
}

// A disk that keeps the changes of one name in order but, until the folder is flushed, may keep a
// later change and lose earlier ones of other names: at a power cut it holds the folder as the
// last flush left it, with any change made since and every earlier one that shares a name with
// it. For each such state of a save that pushes a group, of one into an empty group, of a delete
// and of a delete of every save, the next start finds the slots all as before or all as after.
TEST_F(ISaveLoadThreadTest, APowerCutKeepingChangesOutOfOrderMixesNoSlots)
{
    std::vector<uint8_t> table(SLOT_TABLE_SIZE);
    Listing before;
    for (uint32_t slot : {1u, 2u, 201u, 202u, 203u}) {
        before[slot] = static_cast<int32_t>(slot) + 800;
        PutLoadableSlot(table, slot, before[slot]);
    }
    PutSystemTable(table);
    const Folder start = ReadFolder();

    struct Change
    {
        platform::FolderCall call;
        std::string from;
        std::string to;
        std::optional<std::vector<uint8_t>> bytes; // of the renamed file, when it was there
    };
    struct Epoch
    {
        Folder folder; // as the flush left it
        std::vector<Change> changes;
    };
    std::vector<Epoch> epochs;
    const auto name_of = [](std::u16string_view path) {
        const std::string text = CStringUTF8(std::u16string(path)).GetStdString();
        return text.substr(text.find_last_of("/\\") + 1);
    };
    struct Operation
    {
        const char* name;
        std::function<bool()> run;
    };
    const Operation operations[] = {
        {"quick save", [&] { return m_save.QuickSave(); }},
        {"auto save", [&] { return m_save.AutoSave(); }},
        {"delete", [&] { return m_save.DeleteSlot(201); }},
        {"delete all", [&] { return m_save.DeleteAll(); }},
    };
    for (const Operation& operation : operations) {
        PutFolder(start);
        Mark(7000);
        epochs.assign(1, Epoch{start, {}});
        platform::ObserveFolderCalls(
            [&](platform::FolderCall call, std::u16string_view first, std::u16string_view second) {
                if (call == platform::FolderCall::Flush) {
                    epochs.push_back(Epoch{ReadFolder(), {}});
                    return;
                }
                Change change{call, name_of(first), second.empty() ? std::string() : name_of(second),
                              std::nullopt};
                if (call == platform::FolderCall::Rename && Exists(change.from))
                    change.bytes = m_dir.Read(change.from);
                epochs.back().changes.push_back(std::move(change));
            });
        const bool done = operation.run();
        platform::ObserveFolderCalls(nullptr);
        ASSERT_TRUE(done) << operation.name;
        const Listing after = ListedAtNextStart();
        ASSERT_NE(after, before) << operation.name;

        int states = 0;
        for (size_t epoch = 0; epoch < epochs.size(); ++epoch) {
            const std::vector<Change>& changes = epochs[epoch].changes;
            for (size_t kept = 0; kept < changes.size(); ++kept) {
                std::set<std::string> names{changes[kept].from, changes[kept].to};
                std::vector<bool> keep(kept + 1, false);
                keep[kept] = true;
                for (size_t earlier = kept; earlier-- > 0;) {
                    const Change& change = changes[earlier];
                    if (names.contains(change.from) || (!change.to.empty() && names.contains(change.to))) {
                        keep[earlier] = true;
                        names.insert(change.from);
                        names.insert(change.to);
                    }
                }
                Folder state = epochs[epoch].folder;
                for (size_t i = 0; i <= kept; ++i) {
                    const Change& change = changes[i];
                    if (!keep[i])
                        continue;
                    if (change.call == platform::FolderCall::Delete) {
                        state.erase(change.from);
                    } else if (change.bytes) {
                        state.erase(change.from);
                        state[change.to] = *change.bytes;
                    }
                }
                PutFolder(state);
                const Listing listed = ListedAtNextStart();
                EXPECT_TRUE(listed == before || listed == after)
                    << operation.name << ": change " << kept << " after flush " << epoch << " ("
                    << changes[kept].from << " " << changes[kept].to << ")";
                EXPECT_EQ(Unowned(listed), std::vector<std::string>());
                ++states;
            }
        }
        EXPECT_GT(states, 5) << operation.name;
    }
}

// A damaged system file costs no save, whatever comes to it first: the table is rebuilt from the
// slot files and written at once, the damaged bytes kept aside, so continuing, a refused load
// followed by the exit, and a quick save failing or stopped at any of its file calls all leave
// every save listed for the next start.
TEST_F(ISaveLoadThreadTest, ADamagedSystemFileCostsNoSave)
{
    for (int32_t id = 1; id <= 3; ++id) {
        Mark(id);
        State().Flags[5] = id == 1 ? 1 : 0; // seen only in the oldest save
        ASSERT_TRUE(id == 3 ? m_save.SaveNew("note") : m_save.QuickSave());
    }
    const Folder sound = ReadFolder();
    const std::vector<uint8_t> damaged{1, 2, 3};
    const auto damage = [&] {
        PutFolder(sound);
        m_dir.Write("FLAG000", damaged);
        m_messages.clear();
    };
    const Listing saves{{1, 3}, {201, 2}, {202, 1}};

    damage();
    EXPECT_EQ(LoadCode([&] { m_load.ContinueGame(); }), CVeskDoc::DOCUMENT_RESTORE_STACK);
    EXPECT_EQ(State().Money(), 3);
    EXPECT_EQ(m_messages.size(), 1u); // the notice of the rebuild
    EXPECT_EQ(m_dir.Read("FLAG000.bad"), damaged);
    EXPECT_EQ(ListedAtNextStart(), saves);
    {
        // What the saves had seen is seen still, and what scripts read of the game's arrays is there.
        FlagBuffer rebuilt;
        ASSERT_TRUE(ReadFlag("FLAG000", rebuilt));
        ASSERT_GT(rebuilt.Flags.size(), 5u);
        EXPECT_EQ(rebuilt.Flags[5], 1);
        EXPECT_GE(rebuilt.Variables.size(), 90u);
    }

    damage();
    EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(150); }), -1);
    SaveStore::MergeIntoFlagFile(0, State()); // as the exit does
    EXPECT_EQ(ListedAtNextStart(), saves);
    FlagBuffer system;
    ASSERT_TRUE(ReadFlag("FLAG000", system));
    EXPECT_EQ(system.Variables.at(VARIABLE_QUICK_SAVE_MADE).Integer, 1); // the title offers to continue

    const Listing saved{{1, 3}, {201, 4}, {202, 2}, {203, 1}};
    for (const bool stop : {false, true}) {
        int kept = 0;
        for (int call = 0;; ++call) {
            damage();
            Mark(4);
            if (stop)
                platform::InjectFileStop(
                    call, [] { throw FileStop{}; }, true);
            else
                platform::InjectFileFault(call, EIO);
            try {
                (void)m_save.QuickSave();
            } catch (FileStop) {
            }
            const bool struck = !platform::IsFileFaultPending();
            platform::ClearFileFault();
            const Listing listed = ListedAtNextStart();
            EXPECT_TRUE(listed == saves || listed == saved)
                << (stop ? "stopped" : "failed") << " at " << call;
            kept += listed == saves ? 1 : 0;
            if (!struck)
                break;
        }
        EXPECT_GT(kept, 10);
    }
}

// A rebuilt table lists every intact save: one save that does not read hides none after it (it
// is listed too, so that the group runs unbroken, and refuses to load), a group's damaged last
// slot is left out, and a missing system file is rebuilt like a damaged one.
TEST_F(ISaveLoadThreadTest, ARebuiltTableListsEveryIntactSave)
{
    std::vector<uint8_t> table(SLOT_TABLE_SIZE);
    for (uint32_t slot : {1u, 2u, 3u, 4u, 5u, 101u, 102u})
        PutLoadableSlot(table, slot, static_cast<int32_t>(slot) + 800);
    PutSystemTable(table);
    m_dir.Write("SaveData003.dat", std::vector<uint8_t>{9, 9, 9});
    m_dir.Write("FLAG102", std::vector<uint8_t>{9, 9, 9});
    const Folder saves = ReadFolder();
    const Listing listed{{1, 801}, {2, 802}, {3, 803}, {4, 804}, {5, 805}, {101, 901}};
    for (const bool missing : {false, true}) {
        PutFolder(saves);
        if (missing)
            std::filesystem::remove(Path("FLAG000"));
        else
            m_dir.Write("FLAG000", std::vector<uint8_t>{1, 2, 3});
        m_messages.clear();
        m_load.LoadSlotTable();
        EXPECT_EQ(m_messages.size(), 1u) << missing; // the notice of the rebuild
        EXPECT_EQ(m_load.GetCount(0), 5) << missing;
        EXPECT_EQ(m_load.GetCount(1), 1) << missing;
        for (uint32_t slot : {4u, 5u, 101u}) {
            EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(slot); }), CVeskDoc::DOCUMENT_RESTORE_STACK);
            EXPECT_EQ(State().Money(), static_cast<int32_t>(slot) + 800) << slot << " " << missing;
        }
        m_messages.clear();
        EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(3); }), -1) << missing;
        EXPECT_EQ(m_messages.size(), 1u) << missing;
        EXPECT_EQ(DiskHeader(3).Money, 803) << missing; // from its flag file
    }
    // A new save pushes them along, all still listed; deleting the damaged one closes the gap.
    Mark(7);
    ASSERT_TRUE(m_save.SaveNew(""));
    ASSERT_TRUE(m_save.DeleteSlot(4));
    m_dir.Write("FLAG000", std::vector<uint8_t>{1, 2, 3});
    EXPECT_EQ(ListedAtNextStart(), Listing({{1, 7}, {2, 801}, {3, 802}, {4, 804}, {5, 805}, {101, 901}}));
}

// A system file lost or damaged: the notice of the list made again from the slot files speaks
// the player's language.
TEST_F(ISaveLoadThreadTest, TheRebuildNoticeSpeaksThePlayersLanguage)
{
    Mark(1);
    ASSERT_TRUE(m_save.QuickSave());
    const auto notice = [&](bool damaged, int32_t language) {
        LoseSystemFile(damaged);
        m_app.Config().SetInt("/Config/Language", language);
        m_messages.clear();
        m_load.LoadSlotTable();
        return m_messages.size() == 1 ? m_messages[0] : std::to_string(m_messages.size()) + " boxes";
    };
    const std::string system = Path("FLAG000");
    EXPECT_EQ(notice(false, 0),
              system + " was not found, so the list of saves was made again from the save slots' files.");
    EXPECT_EQ(notice(true, 0),
              system + " was damaged, so the list of saves was made again from the save slots' files.");
    EXPECT_EQ(notice(true, 3),
              system + " が壊れていたため、セーブデータの一覧をスロットのファイルから作り直しました。");
}

// A row made again from the slot files shows what the save showed, its saving time and note, in
// every group, though a newer save and a delete have moved its files since.
TEST_F(ISaveLoadThreadTest, RebuiltRowsKeepTheTimeAndNoteTheyWereSavedWith)
{
    SYSTEMTIME now{};
    now.wYear = 2026;
    now.wMonth = 3;
    for (int32_t id = 1; id <= 5; ++id) {
        now.wDay = static_cast<WORD>(id);
        now.wSecond = static_cast<WORD>(id * 7);
        platform::PinLocalTime(&now);
        Mark(id);
        ASSERT_TRUE(id == 2 || id == 5 ? m_save.QuickSave()
                    : id == 3          ? m_save.AutoSave()
                                       : m_save.SaveNew(id == 1 ? "first note" : "second"));
    }
    ASSERT_TRUE(m_save.DeleteSlot(1)); // the first save moves back into slot 1
    const std::vector<uint8_t> shown = SystemTable();
    // Used, game fields, saving time and note: all a row draws.
    const auto row = [](const std::vector<uint8_t>& table, uint32_t slot) {
        const auto start = table.begin() + SLOT_HEADER_SIZE * slot;
        return std::vector<uint8_t>(start, start + SLOT_COMMENT_OFFSET + SLOT_COMMENT_BYTES);
    };
    for (const bool damaged : {false, true}) {
        LoseSystemFile(damaged);
        m_load.LoadSlotTable();
        for (uint32_t slot : {1u, 101u, 201u, 202u})
            EXPECT_EQ(row(SystemTable(), slot), row(shown, slot)) << slot << " " << damaged;
        EXPECT_EQ(DiskHeader(1).Day, 1);
        EXPECT_EQ(DiskHeader(1).GetComment().GetStdString(), "first note");
    }
}

// What no table lists never comes back as a save: the files of a delete of every save go with
// it, a save stopped before its files are all written (into an empty group, so nothing moved) is
// taken back, kept aside as the damaged system file cannot say it was not made (the player is
// told), and what cut writes left is gone by the next start; a rebuilt table lists none of them,
// nor a script's own flag file and save data kept under a slot's name, which stay.
TEST_F(ISaveLoadThreadTest, WhatNoTableListsNeverComesBack)
{
    Mark(1);
    ASSERT_TRUE(m_save.SaveNew(""));
    Mark(2);
    ASSERT_TRUE(m_save.QuickSave());
    ASSERT_TRUE(m_save.DeleteAll());
    EXPECT_EQ(Unowned({}), std::vector<std::string>());

    Mark(3);
    SetSaveStepHook([this] {
        if (Exists("SaveData101.dat"))
            throw FileStop{};
    });
    EXPECT_THROW((void)m_save.AutoSave(), FileStop);
    SetSaveStepHook(nullptr);
    ASSERT_TRUE(SaveStore::WriteFlagFile(1, State())); // as a script keeps its own
    ASSERT_TRUE(SaveStore::WriteSaveData(1, *GetScriptState().SaveDataSnapshot));
    for (const char* name : {"FLAG005.tmp", "SaveData005.dat.tmp", "thm005.tmp", "FLAG000.tmp",
                             "onemes.dat.tmp", "SP_FLAG007.tmp", "FLAG000.bad.tmp", "sel009.drop"})
        m_dir.Write(name, std::string("left"));
    m_dir.Write("FLAG000", std::vector<uint8_t>{1, 2, 3});
    m_messages.clear();
    EXPECT_EQ(ListedAtNextStart(), Listing());
    // The notice of the stopped save kept aside, by its files' names, and that of the rebuild.
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_NE(m_messages[0].find("FLAG101.kept, SaveData101.dat.kept"), std::string::npos) << m_messages[0];
    EXPECT_EQ(Unowned({{1, 3}}), std::vector<std::string>());
    EXPECT_EQ(Ids(1), std::make_pair(3, 3));
}

TEST_F(ISaveLoadThreadTest, LoadsCheckBeforeTheyChangeAnything)
{
    Mark(41);
    State().Flags[3] = 1;
    ASSERT_TRUE(m_save.QuickSave());
    Mark(42);
    ASSERT_TRUE(m_save.SaveNew("x"));
    m_dir.Write("FLAG002", std::vector<uint8_t>{1, 2, 3}); // a damaged flag file
    std::vector<uint8_t> table = SystemTable();
    PutSlot(table, 2, 2, false);
    PutSlot(table, 3, 3, false);
    m_dir.Write("FLAG003", m_dir.Read("FLAG001")); // a flag file without its save data
    // A save whose script stack names a script the game does not hold.
    PutSlot(table, 4, 4, false);
    m_dir.Write("FLAG004", m_dir.Read("FLAG001"));
    {
        ScriptValueTable stack;
        ScriptValueArray record;
        record.SetKey(0xFFFF0000);
        record.Values = {ScriptValue::FromText("gone.mes"), ScriptValue::FromInteger(0),
                         ScriptValue::FromInteger(1)};
        stack.Store(record);
        std::string bytes;
        stack.AppendTo(bytes);
        m_dir.Write("SaveData004.dat", std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    PutSystemTable(table);

    struct Case
    {
        const char* what;
        std::function<void()> load;
        std::string box; // the refusal names the row the player chose
    };
    const Case refused[] = {
        {"unused slot", [&] { m_load.LoadSlot(150); }, "Auto save 50 is empty."},
        {"damaged flag file", [&] { m_load.LoadSlot(2); },
         "Save 02 cannot be loaded.\n" + Path("FLAG002") + " is damaged."},
        {"missing save data", [&] { m_load.LoadSlot(3); },
         "Save 03 cannot be loaded.\n" + Path("SaveData003.dat") + " が存在しません"},
        {"a script the game does not hold", [&] { m_load.LoadSlot(4); },
         "Save 04 cannot be loaded.\nThe script gone.mes is missing."},
        {"slot 0", [&] { m_load.LoadSlot(0); }, "Save 00 is empty."},
        {"slot 301", [&] { m_load.LoadSlot(301); }, "Save 301 is empty."},
    };
    State().SetMoney(77);
    State().Flags[5] = 1;
    // Two lines read in the game being left.
    BacklogStore& backlog = GetScriptState().m_script_context->Backlog;
    backlog.Allocate(4);
    for (const char* line : {"one", "two"}) {
        ASSERT_TRUE(backlog.NextEntry());
        backlog.AppendCode(0x01);
        backlog.AppendText(CStringUTF8(line));
    }
    for (const Case& c : refused) {
        const Unchanged before = Look();
        m_messages.clear();
        EXPECT_EQ(LoadCode(c.load), -1) << c.what;
        EXPECT_EQ(m_messages, std::vector<std::string>{c.box}) << c.what;
        EXPECT_TRUE(Look() == before) << c.what;
        EXPECT_EQ(CountBacklogEntries(), 2) << c.what;
    }
    // In Japanese the rows go by the labels the screen draws.
    m_app.Config().SetInt("/Config/Language", 3);
    m_messages.clear();
    EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(150); }), -1);
    EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(2); }), -1);
    EXPECT_EQ(m_messages, (std::vector<std::string>{"オートセーブ50番のセーブデータはありません。",
                                                    "02番のセーブデータは読み込めません。\n" +
                                                        Path("FLAG002") + " が壊れています"}));
    // Continue slots out of range are refused the same way.
    const std::vector<uint8_t> sound_table = SystemTable();
    for (uint16_t continue_slot : {0, 301}) {
        table = sound_table;
        SaveSlotTable(table).SetContinue(continue_slot);
        PutSystemTable(table);
        m_messages.clear();
        EXPECT_EQ(LoadCode([&] { m_load.ContinueGame(); }), -1);
        EXPECT_EQ(m_messages.size(), 1u);
    }
    PutSystemTable(sound_table);

    // A sound quick load restores the state and the script stack, keeps what was seen, and
    // turns skipping off.
    SetConfigOneMes(1);
    EXPECT_EQ(LoadCode([&] { m_load.QuickLoad(); }), CVeskDoc::DOCUMENT_RESTORE_STACK);
    EXPECT_EQ(State().Money(), 41);
    const ScriptValueArray* id_record = GetScriptState().SaveDataTable->Find(ID_RECORD);
    ASSERT_NE(id_record, nullptr);
    ASSERT_FALSE(id_record->Values.empty());
    EXPECT_EQ(id_record->Values[0].Integer, 41);
    EXPECT_NE(GetScriptState().SaveDataTable->Find(0xFFFF0000), nullptr);
    FlagBuffer system;
    ASSERT_TRUE(ReadFlag("FLAG000", system));
    EXPECT_EQ(system.Flags[5], 1); // merged from the game that was left
    EXPECT_EQ(State().Variables[57].Integer, 1);
    EXPECT_EQ(GetConfigOneMes(), 0);
    // The lines read before the load stay in the backlog: it is not saved, and a load keeps it.
    EXPECT_EQ(CountBacklogEntries(), 2);
    EXPECT_EQ(backlog.CurrentIndex, 1);

    // Continue loads the continue slot: slot 1 after the manual save.
    EXPECT_EQ(LoadCode([&] { m_load.ContinueGame(); }), CVeskDoc::DOCUMENT_RESTORE_STACK);
    EXPECT_EQ(State().Money(), 42);
}

TEST_F(ISaveLoadThreadTest, ThumbnailIsTheAreaAverageBottomUpWithCovers)
{
    CSpriteLayer* snapshot = GetSpriteLayerRegistry().GetStackLayer();
    ASSERT_NE(snapshot, nullptr);
    auto pattern = [](int x, int y, int c) {
        return static_cast<uint8_t>((x * (3 + c) + y * (5 + 2 * c)) & 0xFF);
    };
    for (int y = 0; y < SNAPSHOT_HEIGHT; ++y)
        for (int x = 0; x < SNAPSHOT_WIDTH; ++x) {
            uint8_t* pixel = snapshot->GetPixelPtr(x, y);
            for (int c = 0; c < 4; ++c)
                pixel[c] = pattern(x, y, c);
        }
    ASSERT_TRUE(m_save.WriteThumbnail(7));
    const std::vector<uint8_t> file = m_dir.Read("thm007");
    ASSERT_EQ(file.size(), THUMBNAIL_BYTES);
    for (int ty : {0, 1, 53, 107})
        for (int tx : {0, 1, 100, 191})
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int y = 0; y < 10; ++y)
                    for (int x = 0; x < 10; ++x)
                        sum += pattern(tx * 10 + x, ty * 10 + y, c);
                const size_t at = (static_cast<size_t>(107 - ty) * 192 + static_cast<size_t>(tx)) * 4 + c;
                EXPECT_EQ(file[at], (sum + 50) / 100) << tx << "," << ty << " byte " << c;
            }

    // Reading it back fills the display layer; a longer file gives its first picture, a file one
    // byte short counts as missing.
    ASSERT_EQ(m_save.ReadThumbnail(7), 1);
    EXPECT_EQ(EffectPixel(*m_save.GetThumbnailLayer(), 0, 107) & 0xFFFFFF,
              file[0] | file[1] << 8 | file[2] << 16);
    EXPECT_EQ(EffectPixel(*m_save.GetThumbnailLayer(), 0, 107) >> 24, 255u);
    std::vector<uint8_t> longer(file.size(), 0x11);
    longer.insert(longer.end(), 100, 0x22);
    m_dir.Write("thm006", longer);
    ASSERT_EQ(m_save.ReadThumbnail(6), 1);
    EXPECT_EQ(EffectPixel(*m_save.GetThumbnailLayer(), 191, 0), 0xFF111111u);
    EXPECT_EQ(EffectPixel(*m_save.GetThumbnailLayer(), 0, 107), 0xFF111111u);
    m_dir.Write("thm008", std::vector<uint8_t>(file.begin(), file.end() - 1));
    EXPECT_EQ(m_save.ReadThumbnail(8), 0);
    EXPECT_EQ(EffectPixel(*m_save.GetThumbnailLayer(), 0, 107) >> 24, 0u);
    EXPECT_EQ(m_save.ReadThumbnail(9), 0);

    // A shown picture with a covered variant in the table is covered; another letter case is not.
    struct Case
    {
        const char* shown;
        bool covered;
    };
    for (const Case& c : {Case{"K11.akb", false}, Case{"bg\\k11.akb", true}}) {
        snapshot->FillRect(0, 0, SNAPSHOT_WIDTH, SNAPSHOT_HEIGHT, 0xFF000080, 1);
        GetShownPictureName(3) = c.shown;
        ASSERT_TRUE(m_save.WriteThumbnail(7));
        const std::vector<uint8_t> covered = m_dir.Read("thm007");
        EXPECT_EQ(covered[1], c.covered ? 0xFF : 0x00) << c.shown; // green
        EXPECT_EQ(covered[0], c.covered ? 0x00 : 0x80) << c.shown; // blue
    }
    EXPECT_EQ(EffectPixel(*snapshot, 5, 5), COVER_COLOUR); // the snapshot keeps the cover
}

TEST_F(ISaveLoadThreadTest, TheToolAndTheEngineAgreeOnTheTable)
{
    m_dir.Write("FLAG000", tools::WriteSystemFlagFile(tools::ParseSlotTableListing("slot 1 money 10\nslot 2\n"
                                                                                   "slot 101\nslot 103\n"
                                                                                   "slot 201 comment 注\n"
                                                                                   "continue 201\n"),
                                                      1, 1, 0));
    m_load.LoadSlotTable();
    EXPECT_EQ(m_load.GetCount(0), 2);
    EXPECT_EQ(m_load.GetCount(1), 1);
    EXPECT_EQ(m_load.GetCount(2), 1);
    EXPECT_STREQ(SaveSlotTable(State().Bytes).Get(201).GetComment().GetText(), "注");

    State().SetGameDate(1302);
    State().SetWeekday(5);
    State().SetGameTime(1830);
    Mark(0x12345); // money keeps its low 16 bits
    ASSERT_TRUE(m_save.SaveNew("メモ"));
    const tools::SlotListingHeader header =
        tools::ParseSlotTableListing(tools::DumpSlotTable(SystemTable())).headers[0];
    EXPECT_EQ(header.slot, 1u);
    EXPECT_EQ(header.date, 1302);
    EXPECT_EQ(header.weekday, 5);
    EXPECT_EQ(header.time, 1830);
    EXPECT_EQ(header.money, 0x2345);
    EXPECT_GE(header.saved[0], 2024);
    EXPECT_TRUE(header.comment == u"メモ");
    EXPECT_EQ(m_save.GetCount(0), 3);
}

// A system file that is there but cannot be opened (here a folder in its place) refuses every save,
// load and delete and is left as it is. Reads the player did not ask for (a screen's table, the
// auto save) say why once; each refusal of what the player asked for says so, in the player's
// language. Once it reads again, a later loss of it is told again.
TEST_F(ISaveLoadThreadTest, AnUnopenableSystemFileRefusesEverythingAndEachAskedRefusalSaysSo)
{
    PutSlots(201, 202);
    FlagBuffer system;
    ASSERT_TRUE(SaveStore::ReadSystemFile(system));
    const std::vector<uint8_t> sound_file = m_dir.Read("FLAG000");
    std::filesystem::remove(Path("FLAG000"));
    std::filesystem::create_directory(Path("FLAG000"));
    const Folder files = ReadFolder();
    m_app.Config().SetInt("/Config/Language", 0);
    m_messages.clear();

    m_save.LoadSlotTable();
    EXPECT_FALSE(m_save.AutoSave());
    m_load.LoadSlotTable();
    const std::string reason = Path("FLAG000") + " cannot be opened.";
    EXPECT_EQ(m_messages,
              (std::vector<std::string>{
                  reason + "\nThe game cannot save, load or delete saves until this file can be read."}));
    m_messages.clear();

    EXPECT_FALSE(m_save.QuickSave());
    EXPECT_FALSE(m_save.QuickSave());
    EXPECT_FALSE(m_save.SaveNew(""));
    EXPECT_FALSE(m_save.SaveOver(1, ""));
    EXPECT_FALSE(m_save.DeleteSlot(201));
    EXPECT_FALSE(m_save.DeleteAll());
    EXPECT_EQ(LoadCode([&] { m_load.LoadSlot(201); }), -1);
    EXPECT_EQ(LoadCode([&] { m_load.ContinueGame(); }), -1);
    const std::string saved = "The game was not saved.\n" + reason;
    const std::string deleted = "The save was not deleted.\n" + reason;
    const std::string loaded = "The save was not loaded.\n" + reason;
    EXPECT_EQ(m_messages,
              (std::vector<std::string>{saved, saved, saved, saved, deleted, deleted, loaded, loaded}));
    EXPECT_TRUE(std::filesystem::is_directory(Path("FLAG000")));
    EXPECT_TRUE(ReadFolder() == files);

    // Readable again, the saves are there; lost again, the player is told again, in Japanese now.
    std::filesystem::remove(Path("FLAG000"));
    m_dir.Write("FLAG000", sound_file);
    EXPECT_TRUE(m_save.DeleteSlot(202));
    std::filesystem::remove(Path("FLAG000"));
    std::filesystem::create_directory(Path("FLAG000"));
    m_app.Config().SetInt("/Config/Language", 3);
    m_messages.clear();
    EXPECT_FALSE(m_save.QuickSave());
    m_save.LoadSlotTable();
    EXPECT_EQ(m_messages, (std::vector<std::string>{
                              "セーブできませんでした。\n" + Path("FLAG000") + " を開けません。",
                              Path("FLAG000") + " を開けません。\nこのファイルが読めるようになるまで、"
                                                "セーブ・ロード・セーブデータの削除はできません。"}));
}

// On the demo's own system file, and a game state whose byte array is too short for the table:
// the quick save grows it, the quick load and the continue bring the save back.
TEST_F(ISaveLoadThreadTest, QuickSaveLoadAndContinueOnTheDemosData)
{
    const char* binary = std::getenv("VESK_BINARY_DIR");
    const std::filesystem::path initial =
        std::filesystem::path(binary != nullptr ? binary : ".") / "resources/initial_save/FLAG000";
    ASSERT_TRUE(std::filesystem::exists(initial)) << "build the initial save set first";
    std::filesystem::copy_file(initial, Path("FLAG000"));
    State().Bytes.assign(4, 7);
    Mark(31);
    ASSERT_TRUE(m_save.QuickSave());
    EXPECT_EQ(State().Bytes.size(), SLOT_TABLE_SIZE);
    EXPECT_TRUE(std::vector<uint8_t>(State().Bytes.begin(), State().Bytes.end()) == SystemTable());
    EXPECT_EQ(SaveSlotTable(State().Bytes).GetContinue(), 201);
    Mark(32);
    GetGameWork()->ClearSnapshotTaken();
    EXPECT_EQ(LoadCode([&] { m_load.QuickLoad(); }), CVeskDoc::DOCUMENT_RESTORE_STACK);
    EXPECT_EQ(State().Money(), 31);
    State().SetMoney(33);
    EXPECT_EQ(LoadCode([&] { m_load.ContinueGame(); }), CVeskDoc::DOCUMENT_RESTORE_STACK);
    EXPECT_EQ(State().Money(), 31);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ISaveLoadThreadTest, TheLoadScreenAsksFirstUnlessTheQuestionIsOff)
{
    Mark(51);
    ASSERT_TRUE(m_save.SaveNew(""));
    SetConfigDialogEnable(1, 0); // the load question switched off: the load goes ahead
    EXPECT_EQ(LoadCode([&] { m_load.LoadChosenSlot(1); }), CVeskDoc::DOCUMENT_RESTORE_STACK);
    SetConfigDialogEnable(1, 1);
    SetConfigDialogEnable(7, 0);
    EXPECT_TRUE(m_load.ConfirmAndDeleteSlot(1));
    SetConfigDialogEnable(7, 1);
    EXPECT_EQ(m_load.GetCount(0), 0);
}

// Without the dialog's picture the question cannot be asked: the load, the delete and the
// delete all, which cannot be undone, do not happen, with a report each.
class SaveLoadWithoutDialogThreadTest : public ISaveLoadThreadTest
{
protected:
    SaveLoadWithoutDialogThreadTest()
        : ISaveLoadThreadTest(false)
    {}
};

TEST_F(SaveLoadWithoutDialogThreadTest, AQuestionThatCannotBeAskedIsANo)
{
    Mark(61);
    ASSERT_TRUE(m_save.SaveNew(""));
    m_load.LoadSlotTable(); // as the screen does when it opens
    const Unchanged before = Look();
    EXPECT_EQ(LoadCode([&] { m_load.LoadChosenSlot(1); }), -1);
    EXPECT_FALSE(m_load.ConfirmAndDeleteSlot(1));
    EXPECT_FALSE(m_load.ConfirmAndDeleteAll());
    // (The missing picture is reported by the picture loader as well.)
    const auto refusals = std::count_if(m_messages.begin(), m_messages.end(), [](const std::string& text) {
        return text.find("確認ダイアログの作成に失敗しました。") != std::string::npos;
    });
    EXPECT_EQ(refusals, 3) << ::testing::PrintToString(m_messages);
    EXPECT_TRUE(Look() == before);
}

} // namespace
