#include "script/save/SaveStore.h"

#include <algorithm>
#include <string>

#include "foundation/AppLink.h"
#include "foundation/CCriticalSection.h"
#include "foundation/CFile.h"
#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "foundation/ScopedLock.h"
#include "foundation/WriteFileAtomically.h"
#include "platform/kernel/FileApi.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "script/ScriptValueTable.h"
#include "script/save/SaveSlotTable.h"
#include "script/save/SaveThumbnail.h"
#include "script/save/SlotFileMoves.h"
#include "script/save/SlotMoveJournal.h"
#include "script/vm/ScriptError.h"

namespace {

CStringUTF8 SaveFolder()
{
    AppLink* app = GetAppLink();
    return app != nullptr ? app->GetAppString() : CStringUTF8();
}

bool IsSecondScenario()
{
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

// A flag file or save data file into the target; a damaged file is reported, a missing one when
// asked.
template <typename Target>
SaveFileRead ReadFolderFile(const CStringUTF8& name, Target& target, MissingSaveData missing)
{
    CFile file;
    CStringUTF8 text;
    if (!file.OpenRead(name)) {
        if (missing == MissingSaveData::Report)
            ReportScriptError(text.Format("%s が存在しません", name.GetText()));
        return SaveFileRead::Missing;
    }
    if (!target.Read(file.GetHandle())) {
        ReportScriptError(text.Format("%s が壊れています", name.GetText()));
        return SaveFileRead::Damaged;
    }
    return SaveFileRead::Loaded;
}

// A damaged system file costs its own state, never the saves: it is kept aside under ".bad" and
// the table is made again from the slot files present, each group's unbroken run from its first
// slot, the headers from the slots' flag files (their comments and save times are lost).
void RebuildSystemFile(FlagBuffer& image)
{
    const CStringUTF8 name = SaveStore::FlagFileName(0);
    MoveFileExW(name.ToWide().c_str(), (name + ".bad").ToWide().c_str(), MOVEFILE_REPLACE_EXISTING);
    image.Assign(FlagBuffer());
    GrowToSlotTable(image.Bytes);
    SaveSlotTable table(image.Bytes);
    for (int32_t group = 0; group < 3; ++group) {
        for (uint32_t slot = SlotGroupFirst(group); slot <= SlotGroupLast(group); ++slot) {
            CFile file;
            FlagBuffer state;
            if (!SaveFileExists(SaveStore::SaveDataFileName(slot)) ||
                !file.OpenRead(SaveStore::FlagFileName(slot)) || !state.Read(file.GetHandle()))
                break;
            table.Put(slot, SaveSlotHeader::OfState(state));
        }
    }
    if (table.IsUsed(SLOT_FIRST))
        table.SetContinue(static_cast<uint16_t>(SLOT_FIRST));
    CStringUTF8 text;
    ShowPlayerMessage(
        0, text.Format("%s が壊れていたため、セーブデータの一覧をスロットのファイルから作り直しました。",
                       name.GetText()));
}

// The last step of a save or delete, the system file's write, has its answer: on success the
// set-aside files go, on failure every move is undone.
bool Conclude(SlotFileMoves& moves, bool done)
{
    if (!done) {
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

SaveFileRead SaveStore::ReadFlagFile(uint32_t number, FlagBuffer& target)
{
    return ReadFolderFile(FlagFileName(number), target, MissingSaveData::Report);
}

bool SaveStore::WriteFlagFile(uint32_t number, const FlagBuffer& source)
{
    const CStringUTF8 name = FlagFileName(number);
    CStringUTF8 reason;
    bool written = false;
    {
        ScopedLock lock(FlagFileLock());
        std::string bytes;
        source.AppendTo(bytes);
        written = WriteFileAtomically(name, BytesOf(bytes), &reason);
    }
    // Reported after the lock: the error box runs a message loop, which takes the window locks.
    if (!written)
        ReportUnwritable(name, reason);
    return written;
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

SaveFileRead SaveStore::ReadSaveData(uint32_t slot, ScriptValueTable& table, MissingSaveData missing)
{
    return ReadFolderFile(SaveDataFileName(slot), table, missing);
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

bool SaveStore::WriteThumbnail(uint32_t slot, std::span<const uint8_t> bytes, ThumbnailFailure failure)
{
    const CStringUTF8 name = ThumbnailFileName(slot);
    CStringUTF8 reason;
    if (WriteFileAtomically(name, bytes, &reason))
        return true;
    if (failure == ThumbnailFailure::Report)
        ReportUnwritable(name, reason);
    return false;
}

int32_t SaveStore::ReadThumbnail(uint32_t slot, ILayer& display)
{
    return ReadThumbnailFile(ThumbnailFileName(slot), display);
}

bool SaveStore::ReadSystemFile(FlagBuffer& image)
{
    if (!RecoverSlotMoves())
        return false;
    const CStringUTF8 name = FlagFileName(0);
    CFile file;
    if (file.OpenRead(name)) {
        if (!image.Read(file.GetHandle())) {
            file.Close();
            RebuildSystemFile(image);
            return true;
        }
    } else if (SaveFileExists(name)) {
        return ReadFlagFile(0, image) == SaveFileRead::Loaded; // there but unreadable: reported
    }
    GrowToSlotTable(image.Bytes);
    return true;
}

bool SaveStore::CommitSave(uint32_t slot, uint32_t dropped, const FlagBuffer& stored,
                           const ScriptValueTable& data, std::span<const uint8_t> thumbnail,
                           const FlagBuffer& system, std::span<const uint8_t> table)
{
    // The older saves move up as sets, into slots emptied before them.
    SlotFileMoves moves;
    moves.SetAsideSlot(dropped);
    for (uint32_t n = dropped; n > slot; --n)
        moves.MoveSlotFiles(n - 1, n);
    bool done = moves.Run(FlagFileName(0), table,
                          {FlagFileName(slot), SaveDataFileName(slot), ThumbnailFileName(slot)});
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
        // A save is kept without its picture: the slot then shows none.
        if (done && !thumbnail.empty() && WriteThumbnail(slot, thumbnail, ThumbnailFailure::Skip)) {
            written.push_back(ThumbnailFileName(slot));
            RunSaveStepHook();
        }
        if (done)
            slot_files.Flush();
    }
    // The table in the system file says which saves exist: written last, the save is complete.
    if (done)
        done = WriteFlagFile(0, system);
    if (!done) {
        for (const CStringUTF8& name : written)
            DeleteFileW(name.ToWide().c_str());
    }
    return Conclude(moves, done);
}

bool SaveStore::CommitDelete(uint32_t slot, uint32_t last, const FlagBuffer& system,
                             std::span<const uint8_t> table)
{
    SlotFileMoves moves;
    moves.SetAsideSlot(slot);
    for (uint32_t n = slot + 1; n <= last; ++n)
        moves.MoveSlotFiles(n, n - 1);
    bool done = moves.Run(FlagFileName(0), table, {});
    if (done)
        done = WriteFlagFile(0, system);
    return Conclude(moves, done);
}
