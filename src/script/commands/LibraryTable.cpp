#include "script/commands/LibraryTable.h"

#include "script/commands/CFuncBackLog.h"
#include "script/commands/CFuncValue.h"

std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id)
{
    // FIXME: each group joins this switch as it is built: 1 CFuncSelect, 2 CFuncMesWnd,
    // 3 CFuncShake, 10 CFuncFont, 12 CFuncMouse, 13 CFuncAnime, 14 CFuncFlag,
    // 15 CFuncMusic, 16 CFuncEffect, 17 CFuncHEffect, 18 CFuncVoice, 19 CFuncSprite,
    // 20 CFuncScreen, 21 CFuncScript, 23 CFuncMovie, 24 CFuncOneMes, 25 CFuncXML,
    // 26 CFuncUI, 27 CFuncSave, 28 CFuncWait.
    switch (id) {
    case 11:
        return std::make_unique<CFuncValue>();
    case 22:
        return std::make_unique<CFuncBackLog>();
    default:
        return nullptr;
    }
}
