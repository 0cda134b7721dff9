#pragma once
// The demo's sheets with their words: the same cells as the screen tests' plain sheets, each
// control named in the language its picture is loaded for (see SheetWords.h).

#include <string>

#include "sheetgen/SheetWords.h"

namespace tools {

// The title's buttons: page 0 to 4 and item, or the shared back button (page -1).
CellWords TitleButtonWords(int32_t page, int32_t item);
AkbPicture DemoTitleSheet(WordsLanguage language);

// The message window's buttons and the side menu's, in both languages (neither picture has a
// language form).
CellWords MessageButtonWords(uint32_t button);
CellWords SideMenuWords(uint32_t button);
AkbPicture DemoMessageSheet();
AkbPicture DemoSideMenuSheet();

// The confirmation dialog's question of a kind (0 to 12), the notices' lines, yes, no and OK; the
// dialog pictures carry both languages.
CellWords DialogQuestion(int32_t kind);
AkbPicture DemoDialogSheet();
AkbPicture DemoNoticeSheet();

// The settings pages' parts.
AkbPicture DemoConfigSheet();

} // namespace tools
