#pragma once
// The repair of a slot move whose journal cannot be read. The folder alone then says where each
// save went: a save or delete moves a slot's files as a set, one slot at a time and one kind after
// the other (flag file first), each set one slot up (a save), one slot down (a delete) or aside
// under a ".drop" name; the new save's own files come only after every move; the system file,
// written last, lists the saves as they were before or as they are after. Each save a system
// file lists is found by its flag file, which carries the header the save showed, and its set
// (the kinds that went with the flag file, or those still left behind) goes back into its slot,
// undoing the moves newest first; whatever sits in a slot's way and belongs to no listed save is
// kept under a ".kept" name. Main thread only.

#include "foundation/CStringUTF8.h"

#include <vector>

// False, reported, when a rename fails; the journal must then stay for the next start. kept gets
// the names of the files kept aside.
bool PutListedSavesBack(std::vector<CStringUTF8>& kept);

// Then, for each scenario whose system file is lost, unreadable or lists a row that does not hold the
// save it shows, the folder alone puts the slot files in order: what is left of a save's set
// without its flag file and save data is kept under ".kept" names, whole saves move down to run
// unbroken from each group's first slot, and a system file that reads gets its slot table again from
// the slot files. False, reported, when a rename or the system file's write fails.
bool PutUnlistedSlotFilesInOrder(std::vector<CStringUTF8>& kept);

// The first name of the file's (relative to the save folder), with ".kept" and then a number, that
// nothing in the folder holds.
CStringUTF8 KeptSaveFileName(const CStringUTF8& name);
