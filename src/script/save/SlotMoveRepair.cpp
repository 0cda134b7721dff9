#include "script/save/SlotMoveRepair.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "foundation/CFile.h"
#include "platform/kernel/FileApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveStore.h"
#include "script/save/SlotFileMoves.h"
#include "script/vm/BacklogStore.h"

namespace {

constexpr size_t FLAG_KIND = 0;
constexpr size_t DATA_KIND = 1;
constexpr const char* DROP_SUFFIX = ".drop";

// The slot's file of a kind, in the moving order, of either scenario; the selection file has one
// name for both.
std::string SlotFileName(size_t kind, uint32_t slot, bool second)
{
    static constexpr std::array<const char*, SLOT_FILE_KINDS> FIRST = {"FLAG%03u", "SaveData%03u.dat",
                                                                       "thm%03u", "sel%03u"};
    static constexpr std::array<const char*, SLOT_FILE_KINDS> SECOND = {"SP_FLAG%03u", "SP_SaveData%03u.dat",
                                                                        "SP_thm%03u", "sel%03u"};
    char name[32];
    std::snprintf(name, sizeof name, (second ? SECOND : FIRST)[kind], slot);
    return name;
}

// Where a slot's set of files can be: under its own names or set aside.
struct Place
{
    uint32_t Slot = 0;
    bool Dropped = false;
    std::string Name(size_t kind, bool second) const
    {
        return SlotFileName(kind, Slot, second) + (Dropped ? DROP_SUFFIX : "");
    }
    bool operator==(const Place&) const = default;
};

class Folder
{
public:
    Folder()
    {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW(SaveStore::FolderFileName("*").ToWide().c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return;
        do {
            m_names.insert(CStringUTF8(found.cFileName).GetStdString());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    bool Has(const std::string& name) const { return m_names.contains(name); }

    bool Rename(const std::string& from, const std::string& to)
    {
        if (!RenameSaveFile(SaveStore::FolderFileName(from.c_str()), SaveStore::FolderFileName(to.c_str())))
            return false;
        m_names.erase(from);
        m_names.insert(to);
        return true;
    }

    // The header a save showed, from its flag file as it is now; none for a file that is no save's
    // (a script's own flag file carries no save's mark).
    std::optional<SaveSlotHeader> ReadHeader(const std::string& name, uint32_t slot) const
    {
        CFile file;
        FlagBuffer state;
        if (!Has(name) || !file.OpenRead(SaveStore::FolderFileName(name.c_str())) ||
            !state.Read(file.GetHandle()) || !state.TestEngineState(ENGINE_STATE_SNAPSHOT))
            return std::nullopt;
        return SaveSlotHeader::OfStoredState(slot, state);
    }
    // The same, read once, before anything moves.
    std::optional<SaveSlotHeader> StoredHeader(const std::string& name, uint32_t slot)
    {
        const auto found = m_headers.find(name);
        if (found != m_headers.end())
            return found->second;
        return m_headers[name] = ReadHeader(name, slot);
    }

    // Renames the file to its first free ".kept" name, added to kept.
    bool KeepAside(const std::string& name, std::vector<CStringUTF8>& kept)
    {
        const CStringUTF8 target = KeptSaveFileName(CStringUTF8(name));
        if (!Rename(name, target.GetStdString()))
            return false;
        kept.push_back(target);
        return true;
    }

private:
    std::set<std::string> m_names;
    // By name as the folder was read: a flag file is looked at before anything moves.
    std::map<std::string, std::optional<SaveSlotHeader>> m_headers;
};

// Whether the flag file's header is the listed one: the game fields always, and the time of saving
// and the note when the file still carries the copy its save stored (an older one may not).
bool SameSave(const SaveSlotHeader& listed, const SaveSlotHeader& stored)
{
    std::array<uint8_t, SLOT_HEADER_SIZE> a{};
    std::array<uint8_t, SLOT_HEADER_SIZE> b{};
    listed.Encode(a);
    stored.Encode(b);
    constexpr size_t GAME_FIELDS = 9; // the used byte, date, weekday, time and money
    const bool dated =
        std::any_of(b.begin() + GAME_FIELDS, b.begin() + SLOT_HEADER_SIZE, [](uint8_t v) { return v != 0; });
    return std::equal(a.begin(), a.begin() + (dated ? SLOT_HEADER_SIZE : GAME_FIELDS), b.begin());
}

// A listed slot's files, by kind, where they are now; an empty name for a kind it lacks.
struct SlotSet
{
    uint32_t Slot = 0;
    Place From;
    std::array<std::string, SLOT_FILE_KINDS> Names;
};

// The set a listed slot's save left at a place its flag file was found: a kind there went with
// the flag file; a kind missing there is still under the slot's own name while that name holds no
// flag file (had the save's move ended, the next save's flag file would have come first).
SlotSet SetAt(const Folder& folder, uint32_t slot, const Place& place, bool second,
              const std::set<std::string>& claimed)
{
    SlotSet set{slot, place, {}};
    const Place own{slot, false};
    const bool moving = place != own && !folder.Has(own.Name(FLAG_KIND, second));
    for (size_t kind = 0; kind < SLOT_FILE_KINDS; ++kind) {
        for (const Place& at : {place, own}) {
            const std::string name = at.Name(kind, second);
            if ((at == place || (moving && kind != FLAG_KIND)) && folder.Has(name) &&
                !claimed.contains(name)) {
                set.Names[kind] = name;
                break;
            }
        }
    }
    return set;
}

// What one scenario's system file lists, and where the listed saves' sets are now.
struct Listing
{
    std::set<uint32_t> Listed;
    std::vector<SlotSet> Sets;
};

// The slots the system file lists with the sets their saves are in now: in place, set aside, one
// slot up (a save's push) or one slot down (a delete), a whole set (flag file and save data) before
// one that is not, and in that order among equals. None when the system file cannot be read.
std::optional<Listing> FindListedSets(Folder& folder, bool second)
{
    const std::string system_name = SlotFileName(FLAG_KIND, 0, second);
    CFile file;
    FlagBuffer system;
    if (!folder.Has(system_name) || !file.OpenRead(SaveStore::FolderFileName(system_name.c_str())) ||
        !system.Read(file.GetHandle()))
        return std::nullopt;
    GrowToSlotTable(system.Bytes);
    const SaveSlotTable table(system.Bytes);
    Listing listing;
    std::set<std::string> claimed;
    for (uint32_t slot = SLOT_FIRST; slot <= SLOT_LAST; ++slot) {
        if (!table.IsUsed(slot))
            continue;
        listing.Listed.insert(slot);
        const SaveSlotHeader listed = table.Get(slot);
        const int32_t group = SlotGroupOf(slot);
        std::vector<Place> places{{slot, false}, {slot, true}};
        if (slot < SlotGroupLast(group))
            places.push_back({slot + 1, false});
        if (slot > SlotGroupFirst(group))
            places.push_back({slot - 1, false});
        std::optional<SlotSet> chosen;
        for (const Place& place : places) {
            const std::string flag = place.Name(FLAG_KIND, second);
            if (claimed.contains(flag))
                continue;
            const auto stored = folder.StoredHeader(flag, slot);
            if (!stored || !SameSave(listed, *stored))
                continue;
            SlotSet set = SetAt(folder, slot, place, second, claimed);
            const bool whole = !set.Names[DATA_KIND].empty();
            if (!chosen || (whole && chosen->Names[DATA_KIND].empty()))
                chosen = std::move(set);
            if (whole)
                break;
        }
        if (!chosen)
            continue;
        for (const std::string& name : chosen->Names) {
            if (!name.empty())
                claimed.insert(name);
        }
        listing.Sets.push_back(std::move(*chosen));
    }
    return listing;
}

// One rename back into a listed slot, or the clearing of a kind the slot's save lacks.
struct Step
{
    std::string From; // empty: only clear the target
    std::string To;
    uint32_t Slot = 0;
    size_t Kind = 0;
    int Order = 0; // which way the set moves back: the moves are undone newest first
};

// The renames that undo a save's push go from the lowest slot up, those that undo a delete from
// the highest down, the set-aside sets last, newest first; each set's kinds last to first.
bool StepBefore(const Step& a, const Step& b)
{
    if (a.Order != b.Order)
        return a.Order < b.Order;
    if (a.Slot != b.Slot)
        return a.Order == 0 ? a.Slot < b.Slot : a.Slot > b.Slot;
    return a.Kind > b.Kind;
}

// Whether the save data file reads as one.
bool DataReads(const Folder& folder, const std::string& name)
{
    CFile file;
    ScriptValueTable data;
    return folder.Has(name) && file.OpenRead(SaveStore::FolderFileName(name.c_str())) &&
           data.Read(file.GetHandle());
}

// Whether each slot the system file lists holds a whole save with the header the row shows.
bool RowsShowTheirSaves(Folder& folder, bool second)
{
    const std::string system_name = SlotFileName(FLAG_KIND, 0, second);
    CFile file;
    FlagBuffer system;
    if (!folder.Has(system_name) || !file.OpenRead(SaveStore::FolderFileName(system_name.c_str())) ||
        !system.Read(file.GetHandle()))
        return false;
    GrowToSlotTable(system.Bytes);
    const SaveSlotTable table(system.Bytes);
    for (uint32_t slot = SLOT_FIRST; slot <= SLOT_LAST; ++slot) {
        if (!table.IsUsed(slot))
            continue;
        const auto stored = folder.ReadHeader(SlotFileName(FLAG_KIND, slot, second), slot);
        if (!stored || !SameSave(table.Get(slot), *stored) ||
            !DataReads(folder, SlotFileName(DATA_KIND, slot, second)))
            return false;
    }
    return true;
}

// The folder alone puts a scenario's saves in order: what a slot holds without a save's flag file
// and save data that read is what an interrupted move left of a save, kept aside; whole saves then
// move down into the slots emptied before them, so that each group's run unbroken from its first
// slot, in their order. A script's own flag file (no save's mark) stays, and keeps its slot. The
// selection files, shared by both scenarios, go with the first's.
bool PutSlotFilesInOrder(Folder& folder, bool second, std::vector<CStringUTF8>& kept)
{
    const size_t kinds = second ? SLOT_FILE_KINDS - 1 : SLOT_FILE_KINDS;
    for (int32_t group = 0; group < 3; ++group) {
        uint32_t next = SlotGroupFirst(group);
        for (uint32_t slot = SlotGroupFirst(group); slot <= SlotGroupLast(group); ++slot) {
            std::vector<std::string> names;
            for (size_t kind = 0; kind < kinds; ++kind) {
                if (folder.Has(SlotFileName(kind, slot, second)))
                    names.push_back(SlotFileName(kind, slot, second));
            }
            if (names.empty())
                continue;
            const std::string flag = SlotFileName(FLAG_KIND, slot, second);
            const bool save = folder.ReadHeader(flag, slot).has_value();
            if (folder.Has(flag) && !save) {
                next = slot + 1;
                continue;
            }
            if (!save || !DataReads(folder, SlotFileName(DATA_KIND, slot, second))) {
                for (const std::string& name : names) {
                    if (!folder.KeepAside(name, kept))
                        return false;
                }
                continue;
            }
            for (size_t kind = 0; slot != next && kind < kinds; ++kind) {
                const std::string name = SlotFileName(kind, slot, second);
                if (folder.Has(name) && !folder.Rename(name, SlotFileName(kind, next, second)))
                    return false;
            }
            ++next;
        }
    }
    return true;
}

} // namespace

CStringUTF8 KeptSaveFileName(const CStringUTF8& name)
{
    CStringUTF8 kept = name + ".kept";
    for (uint32_t number = 2; SaveFileExists(SaveStore::FolderFileName(kept.GetText())); ++number)
        kept.Format("%s.kept%u", name.GetText(), number);
    return kept;
}

bool PutListedSavesBack(std::vector<CStringUTF8>& kept)
{
    Folder folder;
    std::vector<Step> steps;
    std::array<std::optional<Listing>, 2> listings;
    for (const bool second : {false, true}) {
        std::optional<Listing>& listing = listings[second ? 1 : 0];
        listing = FindListedSets(folder, second);
        for (const SlotSet& set : listing ? listing->Sets : std::vector<SlotSet>()) {
            const int order = set.From.Dropped ? 2 : set.From.Slot > set.Slot ? 0 : 1;
            for (size_t kind = 0; kind < SLOT_FILE_KINDS; ++kind) {
                const std::string own = SlotFileName(kind, set.Slot, second);
                if (set.Names[kind] != own && (!set.Names[kind].empty() || folder.Has(own)))
                    steps.push_back({set.Names[kind], own, set.Slot, kind, order});
            }
        }
    }
    std::ranges::sort(steps, StepBefore);
    // Each step waits while its target holds a file another step takes away; a target held by a
    // file no listed save owns (the interrupted save's own files) is kept aside first.
    for (bool progress = true; progress && !steps.empty();) {
        progress = false;
        for (auto step = steps.begin(); step != steps.end(); ++step) {
            if (folder.Has(step->To) && step->From != step->To) {
                if (std::ranges::any_of(steps, [&](const Step& other) { return other.From == step->To; }))
                    continue;
                if (!folder.KeepAside(step->To, kept))
                    return false;
            }
            if (!step->From.empty() && !folder.Rename(step->From, step->To))
                return false;
            steps.erase(step);
            progress = true;
            break;
        }
    }
    // A save in a slot its table does not list is the stopped save's own, whose table was never
    // written: left there, a system file rebuilt later would list it. Its selection file, which no
    // save writes, is not its own.
    for (const bool second : {false, true}) {
        const std::optional<Listing>& listing = listings[second ? 1 : 0];
        for (uint32_t slot = SLOT_FIRST; listing && slot <= SLOT_LAST; ++slot) {
            if (listing->Listed.contains(slot) ||
                !folder.ReadHeader(SlotFileName(FLAG_KIND, slot, second), slot))
                continue;
            for (size_t kind = 0; kind + 1 < SLOT_FILE_KINDS; ++kind) {
                const std::string name = SlotFileName(kind, slot, second);
                if (folder.Has(name) && !folder.KeepAside(name, kept))
                    return false;
            }
        }
    }
    return true;
}

bool PutUnlistedSlotFilesInOrder(std::vector<CStringUTF8>& kept)
{
    Folder folder;
    for (const bool second : {false, true}) {
        const std::string system_name = SlotFileName(FLAG_KIND, 0, second);
        if (RowsShowTheirSaves(folder, second))
            continue;
        const bool listed = folder.Has(system_name);
        if (!PutSlotFilesInOrder(folder, second, kept) ||
            (listed && !SaveStore::RelistSlotFiles(CStringUTF8(system_name))))
            return false;
    }
    return true;
}
