#include "script/commands/LibraryTable.h"

#include "script/commands/CFuncAnime.h"
#include "script/commands/CFuncScreen.h"
#include "script/commands/CFuncScript.h"
#include "script/commands/CFuncSelect.h"
#include "script/commands/CFuncShake.h"
#include "script/commands/CFuncSprite.h"
#include "script/commands/CFuncUI.h"
#include "script/commands/CFuncWait.h"
#include "script/commands/CFuncXML.h"

std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id)
{
    // FIXME: each group joins this switch as it is built: 2 CFuncMesWnd,
    // 10 CFuncFont, 11 CFuncValue, 12 CFuncMouse, 14 CFuncFlag,
    // 15 CFuncMusic, 16 CFuncEffect, 17 CFuncHEffect, 18 CFuncVoice,
    // 22 CFuncBackLog, 23 CFuncMovie, 24 CFuncOneMes,
    // 27 CFuncSave.
    switch (id) {
    case 1:
        return std::make_unique<CFuncSelect>();
    case 3:
        return std::make_unique<CFuncShake>();
    case 13:
        return std::make_unique<CFuncAnime>();
    case 19:
        return std::make_unique<CFuncSprite>();
    case 20:
        return std::make_unique<CFuncScreen>();
    case 21:
        return std::make_unique<CFuncScript>();
    case 25:
        return std::make_unique<CFuncXML>();
    case 26:
        return std::make_unique<CFuncUI>();
    case 28:
        return std::make_unique<CFuncWait>();
    default:
        return nullptr;
    }
}
