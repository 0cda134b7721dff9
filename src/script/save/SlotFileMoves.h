#pragma once
// Moving the files of save slots as sets, undoably. A slot's files (flag file, save data,
// thumbnail, selection file) move together: a file of the source that is missing leaves the
// target without that kind, and whatever a target already held is first set aside under a
// temporary name, so no slot ever ends up with files of two saves. The renames are planned
// first and recorded in the slot move journal before the first is made, so a stop at any point
// is finished or undone at the next start; Undo puts them back in reverse order, Finish deletes
// what was set aside once the new slot table is on disk. Main thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "script/save/SlotMoveJournal.h"

inline constexpr size_t SLOT_FILE_KINDS = 4;

// The slot's files in moving order: flag file, save data, thumbnail, selection file.
std::array<CStringUTF8, SLOT_FILE_KINDS> MakeSlotFileNames(uint32_t slot);

// Replaces new_name by old_name; on failure shows "Failed to rename the file." with both names
// and answers false.
bool RenameSaveFile(const CStringUTF8& old_name, const CStringUTF8& new_name);

bool SaveFileExists(const CStringUTF8& name);

// The number of a slot's file (or the system file, 0) named as the store names them, either
// scenario's, without the folder.
std::optional<uint32_t> SlotNumberOfFileName(std::string_view name);

class SlotFileMoves
{
public:
    // The plan: the renames are only recorded, with the folder as it will be after the ones
    // before them.
    void MoveSlotFiles(uint32_t from, uint32_t to);
    void SetAsideSlot(uint32_t slot);
    // Writes the journal (the planned renames, the system file and the bytes it gets last, and
    // the files written after the renames), then makes the renames and marks them made, flushed
    // to the disk before anything that follows. Nothing to rename and no new file: no journal.
    // False at the first failure, which has been reported; the caller then undoes.
    bool Run(const CStringUTF8& system_file, std::span<const uint8_t> new_system_file,
             const std::vector<CStringUTF8>& new_files);
    // A new file that will not be written after all (a thumbnail that could not be): the journal
    // stops naming it, or a stop after the system file's write would undo a finished save. False,
    // reported, when the journal cannot be written.
    bool ForgetNewFile(const CStringUTF8& name);
    void Undo();
    void Finish();

private:
    void Plan(const CStringUTF8& from, const CStringUTF8& to);
    // Whether the file was there to set aside.
    bool SetAside(const CStringUTF8& name);
    bool Exists(const CStringUTF8& name);

    std::vector<std::pair<CStringUTF8, CStringUTF8>> m_plan; // renames to make, oldest first
    size_t m_done = 0;                                       // how many of them were made
    bool m_journal = false;                                  // written
    bool m_moved = false;                                    // and marked: every rename made
    SlotMoveJournal m_record;                                // as written
    std::map<CStringUTF8, bool> m_present;                   // names looked at or planned, as they will be
    // A slot whose files have all just moved away; a move into it needs no look at its files
    // (each look at a missing name scans the folder).
    uint32_t m_emptied = UINT32_MAX;
    // Per kind, whether the folder holds any file of it; unknown until the first move.
    std::array<int8_t, SLOT_FILE_KINDS> m_kind_present{-1, -1, -1, -1};
    bool KindPresent(size_t kind);
};

// Tests only: called after every rename and file write of a save or delete, so a test can stop
// the process at each step.
void SetSaveStepHook(std::function<void()> hook);
void RunSaveStepHook();
