#include "script/save/SaveStore.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/AppLink.h"
#include "foundation/ByteCursor.h"
#include "foundation/CCriticalSection.h"
#include "foundation/CFile.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "foundation/ScopedLock.h"
#include "foundation/WriteFileAtomically.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveThumbnail.h"
#include "script/save/SlotFileMoves.h"
#include "script/save/SlotMoveJournal.h"
#include "script/vm/BacklogStore.h"
#include "script/vm/ScriptError.h"

namespace {

CStringUTF8 SaveFolder()
{
    AppLink* app = GetAppLink();
    return app != nullptr ? app->GetAppString() : CStringUTF8();
}

// Set while a system file of the scenario a journal names is relisted, whatever the game's.
std::optional<bool> g_relisted_scenario;

bool IsSecondScenario()
{
    if (g_relisted_scenario)
        return *g_relisted_scenario;
    const FlagBuffer* state = GetScriptState().m_current_state.get();
    return state != nullptr && state->SpMode() == 1;
}

CCriticalSection& FlagFileLock()
{
    static CCriticalSection lock{LOCK_LEVEL_FLAG_FILE};
    return lock;
}

std::span<const uint8_t> BytesOf(const std::string& bytes)
{
    return std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void ReportUnwritable(const CStringUTF8& name, const CStringUTF8& reason)
{
    CStringUTF8 text;
    ReportScriptError(text.Format("%s が作成出来ません。\n%s", name.GetText(), reason.GetText()));
}

void ReportRange()
{
    ReportScriptError(CStringUTF8("フラグバッファを超えて読み込もうとしています"));
}

// Runs the action on the arrays of one kind of two buffers.
template <typename A, typename B, typename Action>
auto WithArrays(FlagArray array, A& a, B& b, Action action)
{
    switch (array) {
    case FlagArray::Words:
        return action(a.Words, b.Words);
    case FlagArray::Bytes:
        return action(a.Bytes, b.Bytes);
    case FlagArray::Variables:
        return action(a.Variables, b.Variables);
    case FlagArray::Flags:
    default:
        return action(a.Flags, b.Flags);
    }
}

// Writes a flag file's bytes under the store's lock; false, reported, when it cannot. With keep_as
// the file's old bytes are kept under that name first.
bool WriteFlagBytes(const CStringUTF8& name, const std::string& bytes, const CStringUTF8* keep_as = nullptr)
{
    CStringUTF8 reason;
    bool written = false;
    {
        ScopedLock lock(FlagFileLock());
        written = WriteFileAtomically(name, BytesOf(bytes), &reason, keep_as);
    }
    // Reported after the lock: the error box runs a message loop, which takes the window locks.
    if (!written)
        ReportUnwritable(name, reason);
    return written;
}

bool WriteImage(const CStringUTF8& name, const FlagBuffer& image, const CStringUTF8* keep_as = nullptr)
{
    std::string bytes;
    image.AppendTo(bytes);
    return WriteFlagBytes(name, bytes, keep_as);
}

template <typename Target>
bool ReadsWhole(const CStringUTF8& name, Target& target)
{
    CFile file;
    return file.OpenRead(name) && target.Read(file.GetHandle());
}

void SetSaveVariable(FlagBuffer& image, size_t index, bool made)
{
    if (image.Variables.size() <= index)
        image.Variables.resize(index + 1);
    image.Variables[index] = ScriptValue::FromInteger(made ? 1 : 0);
}

// The slots (1-300) whose flag file the save folder holds, in order: one search of the folder.
std::vector<uint32_t> SlotsWithFlagFiles()
{
    const std::string system = SaveStore::FlagFileName(0).GetStdString();
    const std::string head = system.substr(0, system.size() - 3); // the folder and "FLAG" or "SP_FLAG"
    const std::string prefix = head.substr(head.find_last_of("\\/") + 1);
    std::vector<uint32_t> slots;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(CStringUTF8(head + "*").ToWide().c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return slots;
    do {
        const std::string name = CStringUTF8(found.cFileName).GetStdString();
        const auto number = name.starts_with(prefix) ? SlotNumberOfFileName(name) : std::nullopt;
        if (number && *number >= SLOT_FIRST && *number <= SLOT_LAST)
            slots.push_back(*number);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::ranges::sort(slots);
    return slots;
}

enum class SystemFileLoss
{
    Damaged,
    Missing,
    Initial, // missing, and the initial set's empty one written in its place
};

enum class Rebuild
{
    Written,
    NoSave, // nothing to list: a missing or initial system file stays as it is
    Failed,
};

// A lost system file costs its own state, never the saves. The table is made again from the slot
// files: in each group, every slot up to the last intact save (its flag file reads and carries the
// mark every save stores, and its save data reads), each header as the save stored it in its flag
// file. A slot between that does not read is listed all the same, with what its flag file tells: a
// group's saves run unbroken, and the player sees it, is told why it does not load and can delete
// it. Unmarked flag files are not saves: scripts keep flag files and save data of their own under
// slot names, which no save listed. Runs after any slot move was finished or undone, so every
// save's files left are those of a save a table listed. The listing is made in rebuilt, over the
// initial file's arrays when given; NoSave when a missing or initial file has nothing to list.
Rebuild ListSlotFiles(FlagBuffer& rebuilt, const FlagBuffer* initial, SystemFileLoss loss)
{
    // Its arrays are as long as the game's and the saves' (what scripts read from it is there), and
    // it keeps every flag a listed save had set, as each save merged them into it.
    if (initial != nullptr)
        rebuilt.Assign(*initial);
    const auto widen = [&rebuilt](const FlagBuffer& state) {
        rebuilt.Flags.resize(std::max(rebuilt.Flags.size(), state.Flags.size()));
        rebuilt.Words.resize(std::max(rebuilt.Words.size(), state.Words.size()));
        rebuilt.Bytes.resize(std::max(rebuilt.Bytes.size(), state.Bytes.size()));
        rebuilt.Values.resize(std::max(rebuilt.Values.size(), state.Values.size()));
        rebuilt.Variables.resize(std::max(rebuilt.Variables.size(), state.Variables.size()));
    };
    if (const FlagBuffer* live = GetScriptState().m_current_state.get())
        widen(*live);
    std::map<uint32_t, SaveSlotHeader> headers;
    std::array<uint32_t, 3> last_intact{};
    for (const uint32_t slot : SlotsWithFlagFiles()) {
        FlagBuffer state;
        if (!ReadsWhole(SaveStore::FlagFileName(slot), state) ||
            !state.TestEngineState(ENGINE_STATE_SNAPSHOT))
            continue;
        headers[slot] = SaveSlotHeader::OfStoredState(slot, state);
        ScriptValueTable data;
        if (!ReadsWhole(SaveStore::SaveDataFileName(slot), data))
            continue;
        last_intact[static_cast<size_t>(SlotGroupOf(slot))] = slot;
        widen(state);
        SaveStore::MergeFlagsIntoImage(rebuilt, state);
    }
    if (loss != SystemFileLoss::Damaged && last_intact == std::array<uint32_t, 3>{})
        return Rebuild::NoSave;
    GrowToSlotTable(rebuilt.Bytes);
    SaveSlotTable table(rebuilt.Bytes);
    for (int32_t group = 0; group < 3; ++group) {
        const uint32_t last = last_intact[static_cast<size_t>(group)];
        for (uint32_t slot = SlotGroupFirst(group); last != 0 && slot <= last; ++slot) {
            const auto found = headers.find(slot);
            SaveSlotHeader header = found != headers.end() ? found->second : SaveSlotHeader();
            header.Used = 1;
            table.Put(slot, header);
        }
    }
    const bool manual = table.IsUsed(SLOT_FIRST);
    const bool quick = table.IsUsed(SLOT_QUICK_FIRST);
    if (manual || quick)
        table.SetContinue(static_cast<uint16_t>(manual ? SLOT_FIRST : SLOT_QUICK_FIRST));
    // The title offers loading and continuing by these.
    SetSaveVariable(rebuilt, VARIABLE_SAVE_MADE, manual || quick || table.IsUsed(SLOT_AUTO_FIRST));
    SetSaveVariable(rebuilt, VARIABLE_SLOT_SAVE_MADE, manual || quick);
    SetSaveVariable(rebuilt, VARIABLE_QUICK_SAVE_MADE, quick);
    return Rebuild::Written;
}

void NoticeRebuiltList(SystemFileLoss loss)
{
    static constexpr std::array<const char*, 4> DAMAGED = {
        "%s was damaged, so the list of saves was made again from the save slots' files.",
        "%s 已损坏，已根据存档栏位的文件重新建立存档列表。",
        "%s 已損壞，已根據存檔欄位的檔案重新建立存檔清單。",
        "%s が壊れていたため、セーブデータの一覧をスロットのファイルから作り直しました。",
    };
    static constexpr std::array<const char*, 4> MISSING = {
        "%s was not found, so the list of saves was made again from the save slots' files.",
        "找不到 %s，已根据存档栏位的文件重新建立存档列表。",
        "找不到 %s，已根據存檔欄位的檔案重新建立存檔清單。",
        "%s が見つからなかったため、セーブデータの一覧をスロットのファイルから作り直しました。",
    };
    CStringUTF8 text;
    ShowPlayerMessage(
        0, text.Format(SaveStore::InPlayerLanguage(loss == SystemFileLoss::Damaged ? DAMAGED : MISSING),
                       SaveStore::FlagFileName(0).GetText()));
}

// The listing written at once; a damaged file's bytes are kept under ".bad" first, and until then
// it stays, so a stop anywhere finds it and rebuilds again. Failed, reported, when it cannot be
// written.
Rebuild RebuildSystemFile(FlagBuffer& image, SystemFileLoss loss)
{
    const CStringUTF8 name = SaveStore::FlagFileName(0);
    FlagBuffer rebuilt;
    if (ListSlotFiles(rebuilt, nullptr, loss) == Rebuild::NoSave)
        return Rebuild::NoSave;
    const CStringUTF8 bad = name + ".bad";
    if (!WriteImage(name, rebuilt, loss == SystemFileLoss::Damaged ? &bad : nullptr))
        return Rebuild::Failed;
    image.Assign(rebuilt);
    NoticeRebuiltList(loss);
    return Rebuild::Written;
}

// Whether the player was told that the system file is there but cannot be opened; told again only
// after it has been read since.
bool g_told_unopenable = false;

CStringUTF8 UnopenableText(const CStringUTF8& name)
{
    static constexpr std::array<const char*, 4> TEXTS = {
        "%s cannot be opened.",
        "无法打开 %s。",
        "無法開啟 %s。",
        "%s を開けません。",
    };
    CStringUTF8 text;
    return text.Format(SaveStore::InPlayerLanguage(TEXTS), name.GetText());
}

// A system file that is there but cannot be opened (a folder in its place, no permission to read)
// is neither rebuilt nor replaced: it may hold the saves' list. Nothing is saved, loaded or deleted
// while it stays so. A read nobody asked for tells the player why once, in the words of the game's
// language (the language tables may not be readable either); a caller that words its own refusal
// takes the reason every time.
void TellSystemFileUnopenable(const CStringUTF8& name, CStringUTF8* fault)
{
    if (fault != nullptr) {
        *fault = UnopenableText(name);
        return;
    }
    if (g_told_unopenable)
        return;
    g_told_unopenable = true;
    static constexpr std::array<const char*, 4> TEXTS = {
        "The game cannot save, load or delete saves until this file can be read.",
        "在此文件可以读取之前，游戏无法保存、读取或删除存档。",
        "在此檔案可以讀取之前，遊戲無法儲存、讀取或刪除存檔。",
        "このファイルが読めるようになるまで、セーブ・ロード・セーブデータの削除はできません。",
    };
    ShowPlayerMessage(0, UnopenableText(name) + "\n" + SaveStore::InPlayerLanguage(TEXTS));
}

// A flag file or save data file into the target; a damaged file is reported, a missing one when
// asked. A damaged system file is rebuilt instead, and so is a missing one while the slot files
// hold saves.
template <typename Target>
SaveFileRead ReadFolderFile(const CStringUTF8& name, Target& target, MissingSaveData missing,
                            bool system_file = false, CStringUTF8* fault = nullptr)
{
    // A caller that words its own refusal takes the text instead of the script's box.
    const auto report = [fault](const CStringUTF8& text) {
        if (fault != nullptr)
            *fault = text;
        else
            ReportScriptError(text);
    };
    CFile file;
    CStringUTF8 text;
    if (!file.OpenRead(name)) {
        if constexpr (std::is_same_v<Target, FlagBuffer>) {
            if (system_file) {
                if (!RecoverSlotMoves())
                    return SaveFileRead::Damaged; // reported
                if (SaveFileExists(name)) {
                    TellSystemFileUnopenable(name, fault);
                    return SaveFileRead::Damaged;
                }
                const Rebuild rebuild = RebuildSystemFile(target, SystemFileLoss::Missing);
                if (rebuild != Rebuild::NoSave)
                    return rebuild == Rebuild::Written ? SaveFileRead::Loaded : SaveFileRead::Damaged;
            }
        }
        if (missing == MissingSaveData::Report)
            report(text.Format("%s が存在しません", name.GetText()));
        return SaveFileRead::Missing;
    }
    if (!target.Read(file.GetHandle())) {
        file.Close();
        if constexpr (std::is_same_v<Target, FlagBuffer>) {
            if (system_file)
                return RecoverSlotMoves() &&
                               RebuildSystemFile(target, SystemFileLoss::Damaged) == Rebuild::Written
                           ? SaveFileRead::Loaded
                           : SaveFileRead::Damaged;
        }
        report(text.Format(SaveStore::DamagedFileText(), name.GetText()));
        return SaveFileRead::Damaged;
    }
    if (system_file)
        g_told_unopenable = false;
    return SaveFileRead::Loaded;
}

enum class LastWrite
{
    Written,
    Failed,
    Unsettled, // the new system file stayed and may not be on the disk: the next start finishes
};

// A folder flush that the next step relies on; false, reported, when it fails.
bool FlushSlotFiles(DeferredFolderFlush& flush, const CStringUTF8& name)
{
    if (flush.Flush())
        return true;
    ReportUnwritable(name, SystemErrorText(GetLastError()));
    return false;
}

// The system file that concludes a save or delete, its folder flushed before the set-aside files
// can go: a disk that kept their deletion and lost the rename would list the old saves over moved
// files. A flush that fails puts the previous file back, as a failed write keeps it, unless that
// too fails.
LastWrite WriteSystemFileLast(const std::string& bytes)
{
    const CStringUTF8 name = SaveStore::FlagFileName(0);
    std::optional<std::vector<uint8_t>> previous;
    {
        CFile file;
        std::vector<uint8_t> read;
        if (file.OpenRead(name) && ReadRestOfFile(file.GetHandle(), read))
            previous = std::move(read);
    }
    {
        DeferredFolderFlush system_entry;
        if (!WriteFlagBytes(name, bytes))
            return LastWrite::Failed;
        if (FlushSlotFiles(system_entry, name))
            return LastWrite::Written;
    }
    const bool put_back =
        previous ? WriteFileAtomically(name, *previous) : DeleteFileW(name.ToWide().c_str()) != FALSE;
    return put_back ? LastWrite::Failed : LastWrite::Unsettled;
}

// The last step of a save or delete, the system file's write, has its answer: on success the
// set-aside files go, on failure every move is undone.
bool Conclude(SlotFileMoves& moves, LastWrite last)
{
    if (last == LastWrite::Unsettled)
        return false;
    if (last == LastWrite::Failed) {
        moves.Undo();
        return false;
    }
    RunSaveStepHook();
    moves.Finish();
    return true;
}

} // namespace

CStringUTF8 SaveStore::FlagFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format(IsSecondScenario() ? "%sSP_FLAG%03u" : "%sFLAG%03u", SaveFolder().GetText(), number);
    return name;
}

CStringUTF8 SaveStore::SaveDataFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format(IsSecondScenario() ? "%sSP_SaveData%03u.dat" : "%sSaveData%03u.dat", SaveFolder().GetText(),
                number);
    return name;
}

CStringUTF8 SaveStore::SelectionFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format("%ssel%03u", SaveFolder().GetText(), number);
    return name;
}

CStringUTF8 SaveStore::ThumbnailFileName(uint32_t number)
{
    CStringUTF8 name;
    name.Format(IsSecondScenario() ? "%sSP_thm%03u" : "%sthm%03u", SaveFolder().GetText(), number);
    return name;
}

CStringUTF8 SaveStore::ReadBufferFileName()
{
    CStringUTF8 name;
    name.Format("%sonemes.dat", SaveFolder().GetText());
    return name;
}

CStringUTF8 SaveStore::FolderFileName(const char* name)
{
    return SaveFolder() + name;
}

const char* SaveStore::InPlayerLanguage(const std::array<const char*, 4>& texts)
{
    return texts[static_cast<size_t>(std::clamp(GetConfigLanguage(), LANGUAGE_ENGLISH, LANGUAGE_JAPANESE))];
}

const char* SaveStore::DamagedFileText()
{
    return InPlayerLanguage({"%s is damaged.", "%s 已损坏。", "%s 已損壞。", "%s が壊れています"});
}

SaveFileRead SaveStore::ReadFlagFile(uint32_t number, FlagBuffer& target, CStringUTF8* fault)
{
    // Every reader of the system file gets the saves' list, whichever comes first to a damaged one.
    return ReadFolderFile(FlagFileName(number), target, MissingSaveData::Report, number == 0, fault);
}

bool SaveStore::WriteFlagFile(uint32_t number, const FlagBuffer& source)
{
    return WriteImage(FlagFileName(number), source);
}

void SaveStore::MergeIntoFlagFile(uint32_t number, const FlagBuffer& source)
{
    FlagBuffer image;
    if (ReadFlagFile(number, image) == SaveFileRead::Damaged)
        return;
    MergeFlagsIntoImage(image, source);
    (void)WriteFlagFile(number, image); // a failure is reported by the write
}

void SaveStore::LoadRangeFromFile(FlagArray array, uint32_t number, FlagBuffer& state, int32_t start,
                                  int32_t count)
{
    FlagBuffer image;
    if (ReadFlagFile(number, image) == SaveFileRead::Loaded)
        LoadRangeFromImage(array, state, image, start, count);
}

void SaveStore::StoreRangeToFile(FlagArray array, uint32_t number, const FlagBuffer& state, int32_t start,
                                 int32_t count)
{
    // A missing file is made from a fresh image; a damaged one is left for the player to see.
    FlagBuffer image;
    if (ReadFlagFile(number, image) == SaveFileRead::Damaged)
        return;
    if (StoreRangeToImage(array, image, state, start, count))
        (void)WriteFlagFile(number, image); // a failure is reported by the write
}

void SaveStore::LoadRangeFromImage(FlagArray array, FlagBuffer& state, const FlagBuffer& image, int32_t start,
                                   int32_t count)
{
    WithArrays(array, state, image, [start, count](auto& to, const auto& from) {
        for (int64_t i = 0; i < count; ++i) {
            const int64_t k = start + i;
            if (k < 0 || static_cast<uint64_t>(k) >= to.size() || static_cast<uint64_t>(k) >= from.size()) {
                ReportRange();
                return;
            }
            to[static_cast<size_t>(k)] = from[static_cast<size_t>(k)];
        }
    });
}

bool SaveStore::StoreRangeToImage(FlagArray array, FlagBuffer& image, const FlagBuffer& state, int32_t start,
                                  int32_t count)
{
    return WithArrays(array, image, state, [start, count](auto& to, const auto& from) {
        for (int64_t i = 0; i < count; ++i) {
            const int64_t k = start + i;
            if (k < 0 || static_cast<uint64_t>(k) >= from.size()) {
                ReportRange();
                return false;
            }
            // A file written before the scripts grew the array keeps its entries and gains the new.
            if (static_cast<uint64_t>(k) >= to.size())
                to.resize(static_cast<size_t>(k) + 1);
            to[static_cast<size_t>(k)] = from[static_cast<size_t>(k)];
        }
        return true;
    });
}

void SaveStore::MergeFlagsIntoImage(FlagBuffer& image, const FlagBuffer& source)
{
    if (image.Flags.size() < source.Flags.size())
        image.Flags.resize(source.Flags.size());
    for (size_t i = 0; i < source.Flags.size(); ++i)
        image.Flags[i] |= source.Flags[i];
}

SaveFileRead SaveStore::ReadSaveData(uint32_t slot, ScriptValueTable& table, MissingSaveData missing,
                                     CStringUTF8* fault)
{
    return ReadFolderFile(SaveDataFileName(slot), table, missing, false, fault);
}

bool SaveStore::WriteSaveData(uint32_t slot, const ScriptValueTable& table)
{
    const CStringUTF8 name = SaveDataFileName(slot);
    std::string bytes;
    table.AppendTo(bytes);
    CStringUTF8 reason;
    if (!WriteFileAtomically(name, BytesOf(bytes), &reason)) {
        ReportUnwritable(name, reason);
        return false;
    }
    return true;
}

bool SaveStore::WriteThumbnail(uint32_t slot, std::span<const uint8_t> bytes, ThumbnailFailure failure,
                               CStringUTF8* fault)
{
    const CStringUTF8 name = ThumbnailFileName(slot);
    CStringUTF8 reason;
    if (WriteFileAtomically(name, bytes, &reason))
        return true;
    if (failure == ThumbnailFailure::Report)
        ReportUnwritable(name, reason);
    else if (fault != nullptr)
        *fault = reason;
    return false;
}

int32_t SaveStore::ReadThumbnail(uint32_t slot, ILayer& display)
{
    return ReadThumbnailFile(ThumbnailFileName(slot), display);
}

bool SaveStore::ReadSystemFile(FlagBuffer& image, CStringUTF8* fault)
{
    if (!RecoverSlotMoves())
        return false;
    // A missing one without saves beside it starts empty.
    if (ReadFolderFile(FlagFileName(0), image, MissingSaveData::Empty, true, fault) == SaveFileRead::Damaged)
        return false;
    GrowToSlotTable(image.Bytes);
    return true;
}

InitialListing SaveStore::ListSavesInInitialSystemFile(std::vector<uint8_t>& bytes)
{
    if (!RecoverSlotMoves())
        return InitialListing::Unsettled;
    FlagBuffer initial;
    ByteCursor cursor(bytes);
    FlagBuffer listed;
    if (!initial.ReadFrom(cursor) ||
        ListSlotFiles(listed, &initial, SystemFileLoss::Initial) == Rebuild::NoSave)
        return InitialListing::NoSave;
    std::string listed_bytes;
    listed.AppendTo(listed_bytes);
    bytes.assign(listed_bytes.begin(), listed_bytes.end());
    return InitialListing::Listed;
}

void SaveStore::NoticeListedSaves()
{
    NoticeRebuiltList(SystemFileLoss::Initial);
}

bool SaveStore::CommitSave(uint32_t slot, uint32_t dropped, const FlagBuffer& stored,
                           const ScriptValueTable& data, std::span<const uint8_t> thumbnail,
                           const FlagBuffer& system)
{
    // The older saves move up as sets, into slots emptied before them.
    SlotFileMoves moves;
    moves.SetAsideSlot(dropped);
    for (uint32_t n = dropped; n > slot; --n)
        moves.MoveSlotFiles(n - 1, n);
    std::string system_bytes;
    system.AppendTo(system_bytes);
    std::vector<CStringUTF8> new_files{FlagFileName(slot), SaveDataFileName(slot)};
    if (!thumbnail.empty())
        new_files.push_back(ThumbnailFileName(slot));
    bool done = moves.Run(FlagFileName(0), BytesOf(system_bytes), new_files);
    std::optional<CStringUTF8> picture_lost; // why the thumbnail could not be written
    std::vector<CStringUTF8> written;
    auto write = [&](const CStringUTF8& name, bool ok) {
        done = ok;
        if (ok) {
            written.push_back(name);
            RunSaveStepHook();
        }
    };
    {
        // The slot's files, and the moves before them, are on the disk before the system file
        // can be: one flush of the folder for all of them.
        DeferredFolderFlush slot_files;
        if (done)
            write(FlagFileName(slot), WriteFlagFile(slot, stored));
        if (done)
            write(SaveDataFileName(slot), WriteSaveData(slot, data));
        // A save is kept without its picture: the slot then shows none, and the player is told.
        if (done && !thumbnail.empty()) {
            CStringUTF8 reason;
            if (WriteThumbnail(slot, thumbnail, ThumbnailFailure::Skip, &reason)) {
                write(ThumbnailFileName(slot), true);
            } else {
                picture_lost = reason;
                done = moves.ForgetNewFile(ThumbnailFileName(slot));
            }
        }
        if (done)
            done = FlushSlotFiles(slot_files, FlagFileName(slot));
    }
    // The table in the system file says which saves exist: written last, the save is complete.
    const LastWrite last = done ? WriteSystemFileLast(system_bytes) : LastWrite::Failed;
    if (last == LastWrite::Failed) {
        for (const CStringUTF8& name : written)
            DeleteFileW(name.ToWide().c_str());
    }
    if (!Conclude(moves, last))
        return false;
    if (picture_lost) {
        static constexpr std::array<const char*, 4> SAVED_WITHOUT_PICTURE = {
            "The game was saved without its picture.",
            "游戏已保存，但未能保存画面缩略图。",
            "遊戲已儲存，但未能儲存畫面縮圖。",
            "セーブしましたが、サムネイル画像は保存できませんでした。",
        };
        ShowPlayerMessage(0, CStringUTF8(InPlayerLanguage(SAVED_WITHOUT_PICTURE)) + "\n" + *picture_lost);
    }
    return true;
}

bool SaveStore::CommitDelete(uint32_t slot, uint32_t last, const FlagBuffer& system)
{
    SlotFileMoves moves;
    moves.SetAsideSlot(slot);
    for (uint32_t n = slot + 1; n <= last; ++n)
        moves.MoveSlotFiles(n, n - 1);
    std::string system_bytes;
    system.AppendTo(system_bytes);
    const bool done = moves.Run(FlagFileName(0), BytesOf(system_bytes), {});
    return Conclude(moves, done ? WriteSystemFileLast(system_bytes) : LastWrite::Failed);
}

bool SaveStore::CommitDeleteAll(std::span<const uint32_t> slots, const FlagBuffer& system)
{
    SlotFileMoves moves;
    for (uint32_t slot : slots)
        moves.SetAsideSlot(slot);
    std::string system_bytes;
    system.AppendTo(system_bytes);
    const bool done = moves.Run(FlagFileName(0), BytesOf(system_bytes), {});
    return Conclude(moves, done ? WriteSystemFileLast(system_bytes) : LastWrite::Failed);
}

bool SaveStore::RelistSlotFiles(const CStringUTF8& system_file)
{
    g_relisted_scenario = system_file.GetStdString().starts_with("SP_");
    const CStringUTF8 name = FlagFileName(0);
    FlagBuffer kept;
    FlagBuffer relisted;
    bool written = ReadsWhole(name, kept);
    if (written) {
        GrowToSlotTable(kept.Bytes);
        std::fill_n(kept.Bytes.begin(), SLOT_TABLE_SIZE, uint8_t{0});
        (void)ListSlotFiles(relisted, &kept, SystemFileLoss::Damaged);
        const CStringUTF8 bad = name + ".bad";
        written = WriteImage(name, relisted, &bad);
    }
    // One that no longer reads is rebuilt by its next read.
    if (written)
        NoticeRebuiltList(SystemFileLoss::Damaged);
    g_relisted_scenario.reset();
    return written || !SaveFileExists(name) || !ReadsWhole(name, kept);
}

void SaveStore::RemoveLeftovers()
{
    // A move not yet put in order still needs what it set aside.
    if (!RecoverSlotMoves())
        return;
    // Slot files no table lists stay: scripts keep flag files and save data of their own under
    // slot names. Temporaries of cut writes and set-aside files no journal needs are the store's.
    const CStringUTF8 folder = SaveFolder();
    std::vector<CStringUTF8> left;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + "*").ToWide().c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = CStringUTF8(found.cFileName).GetStdString();
        std::string_view base(name);
        bool remove = false;
        if (base.ends_with(".tmp")) {
            base.remove_suffix(4);
            // The system file's rebuild keeps the damaged bytes through a temporary of its own.
            const bool kept_copy = base.ends_with(".bad");
            if (kept_copy)
                base.remove_suffix(4);
            const auto number = SlotNumberOfFileName(base);
            remove = kept_copy ? number == 0u : base == "onemes.dat" || number.has_value();
        } else if (base.ends_with(".drop")) {
            base.remove_suffix(5);
            remove = SlotNumberOfFileName(base).has_value();
        }
        if (remove)
            left.push_back(folder + name.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    for (const CStringUTF8& path : left)
        DeleteFileW(path.ToWide().c_str());
}
