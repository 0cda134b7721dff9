#pragma once
// The journal of a save or delete that moves slot files: written durably beside the slots before
// the first rename, removed once the set-aside files are gone or the renames are undone. A
// journal found later means the process stopped in between. The operation finished when every
// rename was made, the system file on disk is byte for byte the one it writes last, and each new
// file the journal still names is there: a repeated save can write a system file equal to the one
// it replaces, and only its own files then tell. Finished, only the set-aside files remain to
// delete; otherwise the files written after the renames (when the journal says all renames were
// made) are removed and every rename made is put back, newest first. A system file lost or
// damaged since tells nothing, and then no save's file is deleted: renames all made and new files
// whole go forward, the set-aside files kept under ".kept" names; otherwise the new files are
// kept so and the renames put back. Both ways may stop and run again. Names are kept relative to
// the save folder. Main thread only.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "foundation/CStringUTF8.h"

inline constexpr uint32_t SLOT_MOVE_JOURNAL_VERSION = 2;

struct SlotMoveJournal
{
    // 2: SystemHash is that of the whole system file written when done. 1, left by an older
    // build: that of its slot table alone.
    uint32_t Version = SLOT_MOVE_JOURNAL_VERSION;
    uint64_t SystemHash = 0;
    CStringUTF8 SystemFile;            // the flag file whose table concludes the operation
    std::vector<CStringUTF8> NewFiles; // written after the renames, into the emptied slot
    std::vector<std::pair<CStringUTF8, CStringUTF8>> Renames; // in the order they are made

    std::vector<uint8_t> Encode() const;
    // False for anything Encode cannot have written (names outside the save folder included).
    bool Decode(std::span<const uint8_t> bytes);
};

// A name the save file namers made, without the save folder; empty when it lies elsewhere.
CStringUTF8 SaveFolderRelativeName(const CStringUTF8& path);

uint64_t HashSaveBytes(std::span<const uint8_t> bytes);

// Writes the journal through the atomic writer, already marked when it announces no rename (the
// new files are then all it guards); false, reported, when it cannot.
bool WriteSlotMoveJournal(const SlotMoveJournal& journal, bool marked);
// Renames the journal to say that every rename was made, and back before they are undone; false,
// reported, when it cannot, or when the folder flush on either side fails (renamed then says
// whether the mark was made all the same).
bool MarkSlotMovesMade(bool& renamed);
bool UnmarkSlotMovesMade();
// After renames put back (undone) the folder is flushed first; false, reported, and the journal
// kept, when that fails.
bool RemoveSlotMoveJournal(bool undone);

// Finishes or undoes the operation a journal left behind describes. False, reported, while the
// slot files are still between two states (a rename back that failed): nothing may be saved,
// loaded or deleted then.
bool RecoverSlotMoves();
