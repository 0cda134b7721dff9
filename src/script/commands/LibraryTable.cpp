#include "script/commands/LibraryTable.h"

#include "script/commands/CFuncEffect.h"
#include "script/commands/CFuncHEffect.h"
#include "script/commands/CFuncMusic.h"
#include "script/commands/CFuncVoice.h"

std::unique_ptr<IFunc> CreateLibraryGroup(int32_t id)
{
    // FIXME: each group joins this switch as it is built: 1 CFuncSelect, 2 CFuncMesWnd,
    // 3 CFuncShake, 10 CFuncFont, 11 CFuncValue, 12 CFuncMouse, 13 CFuncAnime, 14 CFuncFlag,
    // 19 CFuncSprite,
    // 20 CFuncScreen, 21 CFuncScript, 22 CFuncBackLog, 23 CFuncMovie, 24 CFuncOneMes, 25 CFuncXML,
    // 26 CFuncUI, 27 CFuncSave, 28 CFuncWait.
    switch (id) {
    case 15:
        return std::make_unique<CFuncMusic>();
    case 16:
        return std::make_unique<CFuncEffect>();
    case 17:
        return std::make_unique<CFuncHEffect>();
    case 18:
        return std::make_unique<CFuncVoice>();
    default:
        return nullptr;
    }
}
