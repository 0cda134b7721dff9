#pragma once
// The names of the files a save slot and the system keep in the save folder. A play in the second
// scenario (SpMode 1 in the document's current game state) keeps its own set under "SP_" names.

#include <cstdint>

#include "foundation/CStringUTF8.h"

// "%sFLAG%03u", or "%sSP_FLAG%03u" in the second scenario.
CStringUTF8 MakeFlagFileName(uint32_t number);
// "%sSaveData%03u.dat", or "%sSP_SaveData%03u.dat" in the second scenario.
CStringUTF8 MakeSaveDataFileName(uint32_t number);
// "%ssel%03u": the choice snapshot of a slot; there is no "SP_" form.
CStringUTF8 MakeSelectionFileName(uint32_t number);
// "%sthm%03u", or "%sSP_thm%03u" in the second scenario.
CStringUTF8 MakeThumbnailFileName(uint32_t number);
// "%sonemes.dat": one file for both scenarios.
CStringUTF8 MakeReadBufferFileName();
// Any other file of the save folder: "%s" + name.
CStringUTF8 MakeSaveFolderFileName(const char* name);
