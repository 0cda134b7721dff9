#include "script/save/SlotMoveJournal.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string>

#include "foundation/ByteCursor.h"
#include "foundation/CFile.h"
#include "foundation/PlayerMessage.h"
#include "foundation/WriteFileAtomically.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveStore.h"
#include "script/save/SlotFileMoves.h"
#include "script/save/SlotMoveRepair.h"
#include "script/vm/ScriptError.h"

namespace {

constexpr uint32_t JOURNAL_MAGIC = 0x4A4D5356; // "VSMJ"
constexpr size_t MAX_NAME = 64;
constexpr size_t MAX_NEW_FILES = 8;
// A save: a group's four kinds of file, each set aside once and moved once, and a slot more; a
// delete of every save: each slot's files set aside.
constexpr size_t MAX_RENAMES =
    std::max<size_t>((SLOT_GROUP_SIZE + 2) * SLOT_FILE_KINDS * 2, size_t{SLOT_LAST} * SLOT_FILE_KINDS);
constexpr const char* JOURNAL_NAME = "slotmove.jnl";
// The journal's name once every rename is made: the emptied slot's files are then the new save's.
constexpr const char* MOVED_NAME = "slotmove.jnm";
constexpr const char* DROP_SUFFIX = ".drop";

uint64_t Fnv1a(std::span<const uint8_t> bytes)
{
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

void PutU16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    PutU16(out, static_cast<uint16_t>(value));
    PutU16(out, static_cast<uint16_t>(value >> 16));
}

void PutName(std::vector<uint8_t>& out, const CStringUTF8& name)
{
    const std::string& text = name.GetStdString();
    PutU16(out, static_cast<uint16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

// A bare file name of the save folder: no separator, no "..", nothing a rename could take out of it.
bool IsFolderName(const std::string& text)
{
    if (text.empty() || text.size() > MAX_NAME || text == "." || text == "..")
        return false;
    return std::ranges::all_of(text, [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '.';
    });
}

bool ReadName(ByteCursor& cursor, CStringUTF8& name)
{
    uint16_t length = 0;
    std::span<const uint8_t> bytes;
    if (!cursor.ReadU16(length) || !cursor.ReadBytes(length, bytes))
        return false;
    std::string text(bytes.begin(), bytes.end());
    if (!IsFolderName(text))
        return false;
    name = CStringUTF8(std::move(text));
    return true;
}

bool ReadCount(ByteCursor& cursor, size_t limit, uint16_t& count)
{
    return cursor.ReadU16(count) && count <= limit;
}

CStringUTF8 InFolder(const CStringUTF8& name)
{
    return SaveStore::FolderFileName(name.GetText());
}

bool Exists(const CStringUTF8& name)
{
    return SaveFileExists(InFolder(name));
}

void Remove(const CStringUTF8& name)
{
    DeleteFileW(InFolder(name).ToWide().c_str());
}

bool EndsWithDrop(const CStringUTF8& name)
{
    const std::string& text = name.GetStdString();
    const size_t suffix = std::char_traits<char>::length(DROP_SUFFIX);
    return text.size() > suffix && text.compare(text.size() - suffix, suffix, DROP_SUFFIX) == 0;
}

// What the system file on disk says of the operation: done when it holds the bytes written last,
// not done when it holds those the operation replaced, and either when both are the same (a
// repeated save) or when the journal, an older build's, knows only the bytes written last. Any
// other content, and a file lost or unreadable, says nothing.
enum class SystemFileSays
{
    Written,
    NotWritten,
    Either,
    Nothing,
};

// readable: whether the file reads as a flag file (a lost or unreadable one is rebuilt by its next
// read).
SystemFileSays ReadWhatSystemFileSays(const SlotMoveJournal& journal, bool& readable)
{
    CFile file;
    std::vector<uint8_t> bytes;
    FlagBuffer system;
    readable = false;
    if (!file.OpenRead(InFolder(journal.SystemFile)) || !ReadRestOfFile(file.GetHandle(), bytes))
        return SystemFileSays::Nothing;
    ByteCursor cursor(bytes);
    readable = system.ReadFrom(cursor);
    if (!readable)
        return SystemFileSays::Nothing;
    if (journal.Version == 1) {
        GrowToSlotTable(system.Bytes);
        return HashSaveBytes(std::span(system.Bytes.data(), SLOT_TABLE_SIZE)) == journal.SystemHash
                   ? SystemFileSays::Either
                   : SystemFileSays::Nothing;
    }
    const uint64_t hash = HashSaveBytes(bytes);
    const bool written = hash == journal.SystemHash;
    const bool replaced = journal.HasPrevious && hash == journal.PreviousHash;
    if (written == replaced)
        return written || journal.Version < 3 ? SystemFileSays::Either : SystemFileSays::Nothing;
    if (written)
        return journal.Version < 3 ? SystemFileSays::Either : SystemFileSays::Written;
    return SystemFileSays::NotWritten;
}

// Whether every new file the journal still names is in place and reads as what it is: they come
// only after the renames emptied their names, each written whole or not at all.
bool NewFilesWhole(const SlotMoveJournal& journal)
{
    return std::ranges::all_of(journal.NewFiles, [](const CStringUTF8& name) {
        CFile file;
        if (!file.OpenRead(InFolder(name)))
            return false;
        const std::string& text = name.GetStdString();
        const std::string_view bare = std::string_view(text).substr(text.starts_with("SP_") ? 3 : 0);
        if (bare.starts_with("FLAG")) {
            FlagBuffer state;
            return state.Read(file.GetHandle());
        }
        if (bare.starts_with("SaveData")) {
            ScriptValueTable data;
            return data.Read(file.GetHandle());
        }
        return true;
    });
}

// Renames a save's file, when it is there, to the first free ".kept" name of its slot file's
// name, added to kept; false, reported, when it cannot.
bool KeepAside(const CStringUTF8& name, const CStringUTF8& slot_name, std::vector<CStringUTF8>& kept)
{
    if (!Exists(name))
        return true;
    const CStringUTF8 target = KeptSaveFileName(slot_name);
    if (!RenameSaveFile(InFolder(name), InFolder(target)))
        return false;
    kept.push_back(target);
    return true;
}

CStringUTF8 WithoutDrop(const CStringUTF8& name)
{
    const std::string& text = name.GetStdString();
    return CStringUTF8(text.substr(0, text.size() - std::char_traits<char>::length(DROP_SUFFIX)));
}

// Whether the slot table of either scenario's system file lists the slot.
bool ListedOnDisk(uint32_t slot)
{
    for (const char* system_name : {"FLAG000", "SP_FLAG000"}) {
        CFile file;
        FlagBuffer system;
        if (!file.OpenRead(InFolder(CStringUTF8(system_name))) || !system.Read(file.GetHandle()))
            continue;
        GrowToSlotTable(system.Bytes);
        if (slot >= SLOT_FIRST && slot <= SLOT_LAST && SaveSlotTable(system.Bytes).IsUsed(slot))
            return true;
    }
    return false;
}

// Set-aside files that no readable journal accounts for, and that no listed save took back, are the
// only copies of what a stopped move set aside, so none is deleted. A slot still listed whose set-aside files
// all have their names free again was stopped before anything moved into it: they go back, and the slot is as
// it was. Otherwise something moved in (a name is held twice), and putting them back would mix two saves'
// files in one slot, or the table no longer lists the slot (a delete that was done), and they
// would come back at a rebuild: they are kept aside under ".kept" names that no move or clean-up
// touches. False, reported, when a rename fails. kept gets the names of the files kept aside.
bool SettleSetAsideFiles(std::vector<CStringUTF8>& kept)
{
    std::map<uint32_t, std::vector<CStringUTF8>> by_slot;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(InFolder(CStringUTF8("*") + DROP_SUFFIX).ToWide().c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const CStringUTF8 name(found.cFileName);
            const std::string& text = name.GetStdString();
            const auto number = SlotNumberOfFileName(
                std::string_view(text).substr(0, text.size() - std::char_traits<char>::length(DROP_SUFFIX)));
            if (EndsWithDrop(name) && number)
                by_slot[*number].push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    for (const auto& [slot, names] : by_slot) {
        const bool keep =
            std::ranges::any_of(names, [](const CStringUTF8& name) { return Exists(WithoutDrop(name)); }) ||
            !ListedOnDisk(slot);
        for (const CStringUTF8& name : names) {
            const CStringUTF8 target = keep ? KeptSaveFileName(WithoutDrop(name)) : WithoutDrop(name);
            if (!RenameSaveFile(InFolder(name), InFolder(target)))
                return false;
            if (keep)
                kept.push_back(target);
        }
    }
    return true;
}

// What the player is told of saves a start kept aside: how many (the slots their files came from),
// where, and under which names.
CStringUTF8 KeptSavesText(const std::vector<CStringUTF8>& kept)
{
    static constexpr std::array<const char*, 4> ONE = {
        "An interrupted save or delete left a save that could not be put back in the list. Its files "
        "were kept in %s under these names:\n%s",
        "被中断的保存或删除留下了 1 个无法放回列表的存档。其文件已保留在 %s，名称如下：\n%s",
        "被中斷的儲存或刪除留下了 1 個無法放回清單的存檔。其檔案已保留在 %s，名稱如下：\n%s",
        "中断されたセーブか削除で、一覧に戻せないセーブデータが 1 件残りました。そのファイルは %s "
        "に次の名前で残してあります。\n%s",
    };
    static constexpr std::array<const char*, 4> MANY = {
        "An interrupted save or delete left %u saves that could not be put back in the list. Their "
        "files were kept in %s under these names:\n%s",
        "被中断的保存或删除留下了 %u 个无法放回列表的存档。其文件已保留在 %s，名称如下：\n%s",
        "被中斷的儲存或刪除留下了 %u 個無法放回清單的存檔。其檔案已保留在 %s，名稱如下：\n%s",
        "中断されたセーブか削除で、一覧に戻せないセーブデータが %u 件残りました。そのファイルは %s "
        "に次の名前で残してあります。\n%s",
    };
    constexpr size_t NAMES_SHOWN = 16;
    std::set<uint32_t> slots;
    std::string names;
    for (size_t i = 0; i < kept.size(); ++i) {
        const std::string& text = kept[i].GetStdString();
        if (const auto number = SlotNumberOfFileName(std::string_view(text).substr(0, text.rfind(".kept"))))
            slots.insert(*number);
        if (i < NAMES_SHOWN)
            names += (i == 0 ? "" : ", ") + text;
    }
    if (kept.size() > NAMES_SHOWN)
        names += ", … (+" + std::to_string(kept.size() - NAMES_SHOWN) + ")";
    const CStringUTF8 folder = SaveStore::FolderFileName("");
    CStringUTF8 text;
    if (slots.size() <= 1)
        return text.Format(SaveStore::InPlayerLanguage(ONE), folder.GetText(), names.c_str());
    return text.Format(SaveStore::InPlayerLanguage(MANY), static_cast<unsigned>(slots.size()),
                       folder.GetText(), names.c_str());
}

void ReportUnwritableJournal(const CStringUTF8& name, const CStringUTF8& reason)
{
    CStringUTF8 text;
    ReportScriptError(text.Format("%s が作成出来ません。\n%s", name.GetText(), reason.GetText()));
}

// A folder flush the order of the renames relies on; false, reported, when it fails.
bool FlushJournalFolder(const CStringUTF8& name)
{
    if (FlushFolderOf(name))
        return true;
    ReportUnwritableJournal(name, SystemErrorText(GetLastError()));
    return false;
}

} // namespace

std::vector<uint8_t> SlotMoveJournal::Encode() const
{
    std::vector<uint8_t> out;
    PutU32(out, JOURNAL_MAGIC);
    PutU32(out, Version);
    PutU32(out, static_cast<uint32_t>(SystemHash));
    PutU32(out, static_cast<uint32_t>(SystemHash >> 32));
    if (Version >= 3) {
        PutU32(out, HasPrevious ? 1 : 0);
        PutU32(out, static_cast<uint32_t>(PreviousHash));
        PutU32(out, static_cast<uint32_t>(PreviousHash >> 32));
    }
    PutName(out, SystemFile);
    PutU16(out, static_cast<uint16_t>(NewFiles.size()));
    for (const CStringUTF8& name : NewFiles)
        PutName(out, name);
    PutU16(out, static_cast<uint16_t>(Renames.size()));
    for (const auto& [from, to] : Renames) {
        PutName(out, from);
        PutName(out, to);
    }
    PutU32(out, static_cast<uint32_t>(Fnv1a(out)));
    return out;
}

bool SlotMoveJournal::Decode(std::span<const uint8_t> bytes)
{
    if (bytes.size() < 4 ||
        static_cast<uint32_t>(Fnv1a(bytes.first(bytes.size() - 4))) !=
            (bytes[bytes.size() - 4] | bytes[bytes.size() - 3] << 8 | bytes[bytes.size() - 2] << 16 |
             static_cast<uint32_t>(bytes[bytes.size() - 1]) << 24))
        return false;
    ByteCursor cursor(bytes.first(bytes.size() - 4));
    SlotMoveJournal read;
    uint32_t magic = 0;
    uint32_t version = 0;
    uint32_t low = 0;
    uint32_t high = 0;
    uint16_t count = 0;
    if (!cursor.ReadU32(magic) || magic != JOURNAL_MAGIC || !cursor.ReadU32(version) || version < 1 ||
        version > SLOT_MOVE_JOURNAL_VERSION || !cursor.ReadU32(low) || !cursor.ReadU32(high))
        return false;
    read.Version = version;
    read.SystemHash = static_cast<uint64_t>(high) << 32 | low;
    if (version >= 3) {
        uint32_t previous = 0;
        if (!cursor.ReadU32(previous) || previous > 1 || !cursor.ReadU32(low) || !cursor.ReadU32(high))
            return false;
        read.HasPrevious = previous == 1;
        read.PreviousHash = static_cast<uint64_t>(high) << 32 | low;
        if (!read.HasPrevious && read.PreviousHash != 0)
            return false;
    }
    if (!ReadName(cursor, read.SystemFile) || !ReadCount(cursor, MAX_NEW_FILES, count))
        return false;
    read.NewFiles.resize(count);
    for (CStringUTF8& name : read.NewFiles) {
        if (!ReadName(cursor, name))
            return false;
    }
    if (!ReadCount(cursor, MAX_RENAMES, count))
        return false;
    read.Renames.resize(count);
    for (auto& [from, to] : read.Renames) {
        if (!ReadName(cursor, from) || !ReadName(cursor, to))
            return false;
    }
    if (!cursor.AtEnd())
        return false;
    *this = std::move(read);
    return true;
}

uint64_t HashSaveBytes(std::span<const uint8_t> bytes)
{
    return Fnv1a(bytes);
}

bool WriteSlotMoveJournal(const SlotMoveJournal& journal, bool marked)
{
    // The journal is on the disk before any rename it guards can be.
    const CStringUTF8 name = SaveStore::FolderFileName(marked ? MOVED_NAME : JOURNAL_NAME);
    CStringUTF8 reason;
    DeferredFolderFlush journal_entry;
    if (!WriteFileAtomically(name, journal.Encode(), &reason)) {
        ReportUnwritableJournal(name, reason);
        return false;
    }
    if (journal_entry.Flush())
        return true;
    ReportUnwritableJournal(name, SystemErrorText(GetLastError()));
    return false;
}

// The mark's rename is flushed on both sides: a file system may keep a later rename of another
// name and lose an earlier one, and the mark must never be on the disk without the renames it
// speaks of, nor a new file's rename (or a rename back) without the mark it follows.
bool MarkSlotMovesMade(bool& renamed)
{
    const CStringUTF8 moved = SaveStore::FolderFileName(MOVED_NAME);
    renamed = FlushJournalFolder(moved) && RenameSaveFile(SaveStore::FolderFileName(JOURNAL_NAME), moved);
    return renamed && FlushJournalFolder(moved);
}

bool UnmarkSlotMovesMade()
{
    const CStringUTF8 journal = SaveStore::FolderFileName(JOURNAL_NAME);
    return FlushJournalFolder(journal) && RenameSaveFile(SaveStore::FolderFileName(MOVED_NAME), journal) &&
           FlushJournalFolder(journal);
}

bool RemoveSlotMoveJournal(bool flush)
{
    // Renames put back or kept aside must not be lost while the journal that would make them again
    // is; set-aside files left by a finished one are only clutter the start removes.
    const CStringUTF8 journal = SaveStore::FolderFileName(JOURNAL_NAME);
    if (flush && !FlushJournalFolder(journal))
        return false;
    DeleteFileW(journal.ToWide().c_str());
    DeleteFileW(SaveStore::FolderFileName(MOVED_NAME).ToWide().c_str());
    return true;
}

bool RecoverSlotMoves()
{
    const CStringUTF8 name = SaveStore::FolderFileName(JOURNAL_NAME);
    const CStringUTF8 moved_name = SaveStore::FolderFileName(MOVED_NAME);
    // A journal cut short while it was written: nothing had moved yet.
    DeleteFileW((name + ".tmp").ToWide().c_str());
    DeleteFileW((moved_name + ".tmp").ToWide().c_str());
    const bool moved = SaveFileExists(moved_name);
    if (!moved && !SaveFileExists(name))
        return true;
    CFile file;
    std::vector<uint8_t> bytes;
    SlotMoveJournal journal;
    std::vector<CStringUTF8> kept;
    if (!file.OpenRead(moved ? moved_name : name) || !ReadRestOfFile(file.GetHandle(), bytes) ||
        !journal.Decode(bytes)) {
        // Written whole or not at all, so only a damaged disk gets here; the folder must guide the
        // repair. It stays until that is done, so a stop on the way comes back here.
        file.Close();
        const bool settled =
            PutListedSavesBack(kept) && SettleSetAsideFiles(kept) && PutUnlistedSlotFilesInOrder(kept);
        // Told at start or under any script alike: the journal is no script's, so the box names
        // no script line.
        CStringUTF8 text;
        text.Format(SaveStore::DamagedFileText(), (moved ? moved_name : name).GetText());
        ShowPlayerMessage(0, kept.empty() ? text : text + "\n" + KeptSavesText(kept));
        return settled && RemoveSlotMoveJournal(true);
    }
    file.Close();
    // Temporaries of writes that were cut short.
    Remove(journal.SystemFile + ".tmp");
    for (const CStringUTF8& written : journal.NewFiles)
        Remove(written + ".tmp");

    // Done, or every rename made and the new files whole while the system file does not say the
    // operation was not done. What a system file that says nothing would have had deleted is a
    // save's too (one overwritten or deleted, but the files may be all that is left of it), and
    // so is what a move put back had written: both are kept aside.
    bool readable = false;
    const SystemFileSays system = ReadWhatSystemFileSays(journal, readable);
    const bool forward = moved && (system == SystemFileSays::Written ||
                                   (system != SystemFileSays::NotWritten && NewFilesWhole(journal)));
    if (forward) {
        for (const auto& [from, to] : journal.Renames) {
            if (!EndsWithDrop(to))
                continue;
            if (system == SystemFileSays::Written || system == SystemFileSays::Either)
                Remove(to);
            else if (!KeepAside(to, WithoutDrop(to), kept))
                return false;
        }
    } else {
        if (moved) {
            // Every rename was made, so what the emptied slot holds is the new save's; once it is
            // aside the journal says so, or a stop further on would take the restored files for
            // new.
            for (const CStringUTF8& written : journal.NewFiles) {
                if (!KeepAside(written, written, kept))
                    return false;
            }
            if (!UnmarkSlotMovesMade())
                return false;
        }
        // The renames made are a prefix of the plan; going back from the newest, each one made has
        // its target present and its source gone, each one not made its source still there.
        for (auto it = journal.Renames.rbegin(); it != journal.Renames.rend(); ++it) {
            if (Exists(it->second) && !Exists(it->first) &&
                !RenameSaveFile(InFolder(it->second), InFolder(it->first)))
                return false;
        }
    }
    // A system file that reads but may list another layout than the folder's now gets its slot
    // table from the slot files, before the journal that leads back here goes. One that holds the
    // same bytes before and after lists the same either way; an older build's journal cannot tell
    // a repeated save's from the one written last.
    const bool listed = forward ? system == SystemFileSays::Written || system == SystemFileSays::Either
                                : system == SystemFileSays::NotWritten ||
                                      (system == SystemFileSays::Either && journal.Version >= 3);
    if (readable && !listed && !SaveStore::RelistSlotFiles(journal.SystemFile))
        return false;
    // Renames put back or made to ".kept" names are on the disk before the journal can go: without
    // it a start would take the set-aside files for clutter.
    if (!RemoveSlotMoveJournal(!forward || !kept.empty()))
        return false;
    if (!kept.empty())
        ShowPlayerMessage(0, KeptSavesText(kept));
    return true;
}

CStringUTF8 SaveFolderRelativeName(const CStringUTF8& path)
{
    const std::string folder = SaveStore::FolderFileName("").GetStdString();
    const std::string& text = path.GetStdString();
    if (text.compare(0, folder.size(), folder) != 0)
        return CStringUTF8();
    return CStringUTF8(text.substr(folder.size()));
}
