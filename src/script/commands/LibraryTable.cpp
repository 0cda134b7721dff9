#include "script/commands/LibraryTable.h"

#include "script/commands/CFuncFont.h"
#include "script/commands/CFuncMesWnd.h"
#include "script/commands/CFuncMouse.h"
#include "script/commands/CFuncMovie.h"

std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id)
{
    // FIXME: each group joins this switch as it is built: 1 CFuncSelect,
    // 3 CFuncShake, 11 CFuncValue, 13 CFuncAnime, 14 CFuncFlag,
    // 15 CFuncMusic, 16 CFuncEffect, 17 CFuncHEffect, 18 CFuncVoice, 19 CFuncSprite,
    // 20 CFuncScreen, 21 CFuncScript, 22 CFuncBackLog, 24 CFuncOneMes, 25 CFuncXML,
    // 26 CFuncUI, 27 CFuncSave, 28 CFuncWait.
    switch (id) {
    case 2:
        return std::make_unique<CFuncMesWnd>();
    case 10:
        return std::make_unique<CFuncFont>();
    case 12:
        return std::make_unique<CFuncMouse>();
    case 23:
        return std::make_unique<CFuncMovie>();
    default:
        return nullptr;
    }
}
