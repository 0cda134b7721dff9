#include "script/commands/LibraryTable.h"

#include "script/commands/CFuncBackLog.h"
#include "script/commands/CFuncFlag.h"
#include "script/commands/CFuncOneMes.h"
#include "script/commands/CFuncSave.h"
#include "script/commands/CFuncValue.h"

std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id)
{
    // FIXME: each group joins this switch as it is built: 1 CFuncSelect, 2 CFuncMesWnd,
    // 3 CFuncShake, 10 CFuncFont, 12 CFuncMouse, 13 CFuncAnime,
    // 15 CFuncMusic, 16 CFuncEffect, 17 CFuncHEffect, 18 CFuncVoice, 19 CFuncSprite,
    // 20 CFuncScreen, 21 CFuncScript, 23 CFuncMovie, 25 CFuncXML,
    // 26 CFuncUI, 28 CFuncWait.
    switch (id) {
    case 11:
        return std::make_unique<CFuncValue>();
    case 14:
        return std::make_unique<CFuncFlag>();
    case 22:
        return std::make_unique<CFuncBackLog>();
    case 24:
        return std::make_unique<CFuncOneMes>();
    case 27:
        return std::make_unique<CFuncSave>();
    default:
        return nullptr;
    }
}
