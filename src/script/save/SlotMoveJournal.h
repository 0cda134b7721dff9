#pragma once
// The journal of a save or delete that moves slot files: written durably beside the slots before
// the first rename, removed once the set-aside files are gone or the renames are undone. A
// journal found later means the process stopped in between. The system file says how far the
// operation went only while it holds bytes the journal knows: those written last (done) or, from
// a journal that knows them, those it replaced (not done). Any other content, and a file lost or
// unreadable, is trusted for nothing. Done, the move goes forward and only the set-aside files
// remain to delete, even when a new file was damaged since (its load reports it). Not done, the
// renames are put back newest first. Otherwise a move whose renames were all made and whose new
// files are whole goes forward, else it is put back, and the slot table is then made again from
// the slot files. No start deletes a file a save may still need: the new files of a move put back,
// and the set-aside files of one gone forward without a system file that says so, are kept under
// ".kept" names, and the player is told how many saves and under which names. A system file equal
// before and after (a repeated save) leaves the choice to the new files. Both ways may stop and
// run again. Names are kept relative to the save folder. Main thread only.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "foundation/CStringUTF8.h"

inline constexpr uint32_t SLOT_MOVE_JOURNAL_VERSION = 3;

struct SlotMoveJournal
{
    // 3 and 2: SystemHash is that of the whole system file written when done; 1, left by an older
    // build: that of its slot table alone. 3 adds the system file the operation replaces.
    uint32_t Version = SLOT_MOVE_JOURNAL_VERSION;
    uint64_t SystemHash = 0;
    bool HasPrevious = false; // the folder held a system file before (3 only)
    uint64_t PreviousHash = 0;
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
// After renames put back or made to ".kept" names (flush) the folder is flushed first; false,
// reported, and the journal kept, when that fails.
bool RemoveSlotMoveJournal(bool flush);

// Finishes or undoes the operation a journal left behind describes. False, reported, while the
// slot files are still between two states (a rename back that failed): nothing may be saved,
// loaded or deleted then.
bool RecoverSlotMoves();
